#include "platform/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <string>

namespace lumetra {
namespace {

constexpr std::size_t kMaxChunkData = 1 << 20;
// Keeps one enlarged row within a few megabytes.
constexpr std::uint64_t kMaxPngSide = 1 << 20;

void PutU32BE(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::uint8_t* data, std::size_t size) {
  PutU32BE(out, std::uint32_t(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, uInt(out.size() - start));
  PutU32BE(out, std::uint32_t(crc));
}

// Feeds rows to zlib and collects the compressed stream.
class Deflater {
 public:
  Deflater() {
    if (deflateInit(&stream_, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::runtime_error("zlib: cannot start deflating");
  }
  ~Deflater() { deflateEnd(&stream_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void Add(const std::uint8_t* data, std::size_t size, int flush) {
    stream_.next_in = const_cast<Bytef*>(data);
    stream_.avail_in = uInt(size);
    std::array<std::uint8_t, 1 << 16> buffer;
    int result;
    do {
      stream_.next_out = buffer.data();
      stream_.avail_out = uInt(buffer.size());
      result = deflate(&stream_, flush);
      if (result == Z_STREAM_ERROR) throw std::runtime_error("zlib: deflate failed");
      out_.insert(out_.end(), buffer.data(), buffer.data() + (buffer.size() - stream_.avail_out));
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  }
  const std::vector<std::uint8_t>& Output() const { return out_; }

 private:
  z_stream stream_{};
  std::vector<std::uint8_t> out_;
};

}  // namespace

std::vector<std::uint8_t> EncodePng(const Bitmap32& image, int scale) {
  if (image.Width() <= 0 || image.Height() <= 0) throw std::invalid_argument("PNG: the picture is empty");
  if (scale < 1) throw std::invalid_argument("PNG: the scale must be at least 1");
  const std::uint64_t width = std::uint64_t(image.Width()) * std::uint64_t(scale);
  const std::uint64_t height = std::uint64_t(image.Height()) * std::uint64_t(scale);
  if (width * height > kMaxPngPixels || width > kMaxPngSide || height > kMaxPngSide) {
    throw std::invalid_argument("PNG: " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels is more than allowed");
  }

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::array<std::uint8_t, 13> header{};
  for (int i = 0; i < 4; ++i) {
    header[i] = std::uint8_t(width >> (24 - 8 * i));
    header[4 + i] = std::uint8_t(height >> (24 - 8 * i));
  }
  header[8] = 8;  // bits per channel
  header[9] = 2;  // RGB
  PutChunk(png, "IHDR", header.data(), header.size());

  // Each row starts with its filter byte. A repeated row is filtered "Up",
  // which makes it all zeros: enlarged pictures then cost little to compress.
  std::vector<std::uint8_t> row(1 + 3 * width), repeat(1 + 3 * width, 0);
  repeat[0] = 2;
  Deflater deflater;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint32_t* in = image.Row(y);
    std::uint8_t* out = row.data() + 1;
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint32_t p = in[x];  // 0x00RRGGBB
      for (int k = 0; k < scale; ++k) {
        *out++ = std::uint8_t(p >> 16);
        *out++ = std::uint8_t(p >> 8);
        *out++ = std::uint8_t(p);
      }
    }
    deflater.Add(row.data(), row.size(), Z_NO_FLUSH);
    for (int k = 1; k < scale; ++k) deflater.Add(repeat.data(), repeat.size(), Z_NO_FLUSH);
  }
  deflater.Add(nullptr, 0, Z_FINISH);

  const std::vector<std::uint8_t>& data = deflater.Output();
  for (std::size_t at = 0; at < data.size(); at += kMaxChunkData) {
    PutChunk(png, "IDAT", data.data() + at, std::min(kMaxChunkData, data.size() - at));
  }
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace lumetra
