#include "platform/png_encoder.h"

#include <new>
#include <string>
#include <utility>

#include "platform/png_handle.h"

namespace lumetra {
namespace {

// Keeps one enlarged row within a few megabytes.
constexpr std::uint64_t kMaxPngSide = 1 << 20;

struct PngOutput {
  std::vector<std::uint8_t> bytes;
  bool full = false;  // the vector could not grow
};

void WritePngBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  try {
    output->bytes.insert(output->bytes.end(), data, data + size);
  } catch (const std::bad_alloc&) {
    output->full = true;
  }
  // Outside the handler: png_error jumps away and would skip its end.
  if (output->full) png_error(png, "out of memory");
}

void FlushPngBytes(png_structp) {}

struct PngRows {
  const Bitmap32* image;
  int scale;
  png_bytep row;  // 3 × image width × scale bytes
};

// Each pixel becomes `scale` RGB triples, and each row `scale` rows.
void WritePng(png_structp png, png_infop info, void* argument) {
  // libpng refuses rows wider than a million pixels unless told otherwise.
  png_set_user_limits(png, png_uint_32(kMaxPngSide), png_uint_32(kMaxPngSide));
  const PngRows& rows = *static_cast<const PngRows*>(argument);
  png_set_IHDR(png, info, png_uint_32(rows.image->Width() * rows.scale), png_uint_32(rows.image->Height() * rows.scale),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // A row repeated for the scale filtered "Up" is all zeros, which costs
  // little to compress; other rows usually do best unfiltered.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_UP);
  png_write_info(png, info);
  for (int y = 0; y < rows.image->Height(); ++y) {
    const std::uint32_t* in = rows.image->Row(y);
    png_bytep out = rows.row;
    for (int x = 0; x < rows.image->Width(); ++x) {
      const std::uint32_t p = in[x];  // 0x00RRGGBB
      for (int k = 0; k < rows.scale; ++k) {
        *out++ = std::uint8_t(p >> 16);
        *out++ = std::uint8_t(p >> 8);
        *out++ = std::uint8_t(p);
      }
    }
    for (int k = 0; k < rows.scale; ++k) png_write_row(png, rows.row);
  }
  png_write_end(png, nullptr);
}

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

  PngHandle handle(PngHandle::Mode::kWrite);
  PngOutput output;
  png_set_write_fn(handle.png(), &output, WritePngBytes, FlushPngBytes);
  std::vector<png_byte> row(std::size_t(width) * 3);
  PngRows rows{&image, scale, row.data()};
  if (!handle.Run(WritePng, &rows)) {
    if (output.full) throw std::bad_alloc();
    throw std::runtime_error(std::string("PNG: ") + handle.Error());
  }
  return std::move(output.bytes);
}

}  // namespace lumetra
