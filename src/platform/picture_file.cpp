#include "platform/picture_file.h"

#include <gif_lib.h>

// In this order: jpeglib.h needs FILE declared, and jerror.h the library's
// configuration, which decides its messages, from jpeglib.h.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/gdi/dib_pixels.h"
#include "platform/png_handle.h"

namespace lumetra {
namespace {

using Reason = PictureError::Reason;

constexpr std::uint32_t kOpaque = 0xFF000000;

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint16_t LittleEndian16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return std::uint32_t(LittleEndian16(p)) | (std::uint32_t(LittleEndian16(p + 2)) << 16);
}

[[noreturn]] void Fail(Reason reason, std::string_view format, std::string_view detail) {
  throw PictureError(reason, std::string(format) + ": " + std::string(detail));
}

// Holds an announced size to the limits; a picture without pixels is damaged.
void CheckAnnouncedSize(std::string_view format, std::int64_t width, std::int64_t height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width <= 0 || height <= 0) Fail(Reason::kDamaged, format, "the header announces " + size);
  if (width > kMaxPictureSide || height > kMaxPictureSide ||
      std::uint64_t(width) * std::uint64_t(height) * 4 > kMaxDecodedBytes) {
    Fail(Reason::kTooLarge, format,
         size + " is more than a picture may have (" + std::to_string(kMaxPictureSide) + " each way, " +
             std::to_string(kMaxDecodedBytes >> 20) + " MiB decoded)");
  }
}

// The file's bytes, handed out in order to a library's read callback.
struct ByteSource {
  std::span<const std::uint8_t> bytes;
  std::size_t offset = 0;

  // Copies up to `count` bytes to `out`; returns how many there were.
  std::size_t Take(std::uint8_t* out, std::size_t count) {
    count = std::min(count, bytes.size() - offset);
    std::memcpy(out, bytes.data() + offset, count);
    offset += count;
    return count;
  }
};

// Every pixel 0: transparent black. Only for a size CheckAnnouncedSize passed.
RgbaPicture EmptyPicture(std::int64_t width, std::int64_t height) {
  return {int(width), int(height), std::vector<std::uint32_t>(std::size_t(width) * std::size_t(height))};
}

// ---------------------------------------------------------------------------
// PNG, through libpng.

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count) {
  if (static_cast<ByteSource*>(png_get_io_ptr(png))->Take(out, count) != count) png_error(png, "the file is cut short");
}

// Reads the chunks before the pixel data and has libpng give every picture
// as 8-bit RGBA rows.
void ReadPngInfo(png_structp png, png_infop info, void*) {
  png_read_info(png, info);
  png_set_expand(png);  // palette to RGB, grey of 1, 2 and 4 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // for pictures that have no alpha by now
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

void ReadPngRows(png_structp png, png_infop, void* rows) {
  png_read_image(png, static_cast<png_bytepp>(rows));
  png_read_end(png, nullptr);
}

RgbaPicture DecodePng(std::span<const std::uint8_t> bytes) {
  // IHDR, the first chunk, is held to our limits before libpng reads it:
  // libpng refuses a size past its own limits (set the same below, as a
  // second guard) as an invalid header, not as one too large.
  constexpr std::size_t kHeaderEnd = 24;  // signature, IHDR's length and type, width, height
  if (bytes.size() >= kHeaderEnd && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0) {
    CheckAnnouncedSize("PNG", BigEndian32(&bytes[16]), BigEndian32(&bytes[20]));
  }
  PngHandle handle(PngHandle::Mode::kRead);
  ByteSource source{bytes};
  png_set_read_fn(handle.png(), &source, ReadPngBytes);
  png_set_user_limits(handle.png(), kMaxPictureSide, kMaxPictureSide);
  if (!handle.Run(ReadPngInfo, nullptr)) Fail(Reason::kDamaged, "PNG", handle.Error());

  const png_uint_32 width = png_get_image_width(handle.png(), handle.info());
  const png_uint_32 height = png_get_image_height(handle.png(), handle.info());
  // What the transforms above always give; checked, as the rows must fit the pixels.
  if (png_get_rowbytes(handle.png(), handle.info()) != std::size_t(width) * 4) {
    Fail(Reason::kDamaged, "PNG", "the rows do not come out as 8-bit RGBA");
  }
  RgbaPicture picture = EmptyPicture(width, height);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(picture.pixels.data() + std::size_t(y) * width);
  }
  if (!handle.Run(ReadPngRows, rows.data())) Fail(Reason::kDamaged, "PNG", handle.Error());
  // Each pixel holds the bytes R, G, B, A; made a value in place.
  for (std::uint32_t& pixel : picture.pixels) {
    const auto* rgba = reinterpret_cast<const std::uint8_t*>(&pixel);
    pixel = Argb(rgba[3], rgba[0], rgba[1], rgba[2]);
  }
  return picture;
}

// ---------------------------------------------------------------------------
// JPEG, through libjpeg. Its errors end in a longjmp too, kept inside
// JpegDecoder::Run as PngHandle::Run keeps libpng's; the steps it runs own
// nothing that needs destroying.

// Real progressive files have about ten scans; a hostile one could make
// every pixel cost work per scan.
constexpr int kMaxJpegScans = 100;

// One channel of CMYK as RGB's: what the ink leaves of the light, and of that
// what black leaves. Adobe's files hold each ink inverted, as the light left.
std::uint32_t LightThrough(std::uint32_t ink, std::uint32_t black, bool inverted) {
  if (!inverted) {
    ink = 255 - ink;
    black = 255 - black;
  }
  return (ink * black + 127) / 255;
}

class JpegDecoder {
 public:
  JpegDecoder() {
    info_.err = jpeg_std_error(&errors_);
    errors_.error_exit = OnError;
    errors_.emit_message = OnMessage;
    progress_.progress_monitor = LimitScans;
    info_.client_data = this;
  }
  ~JpegDecoder() { jpeg_destroy_decompress(&info_); }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // Reads the headers of `bytes`, which must outlive the decoder. Each of
  // these is false after an error, which Error() describes.
  bool ReadHeader(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    return Run(&JpegDecoder::StartReading);
  }
  // Width() × Height() opaque pixels.
  bool ReadPixels(std::uint32_t* pixels) {
    pixels_ = pixels;
    return Run(&JpegDecoder::ReadRows);
  }
  JDIMENSION Width() const { return info_.image_width; }
  JDIMENSION Height() const { return info_.image_height; }
  const char* Error() const { return message_; }
  // Whether the error was memory beyond max_memory_to_use, which libjpeg
  // refuses as a missing backing store.
  bool NeededTooMuchMemory() const {
    return errors_.msg_code == JERR_NO_BACKING_STORE || errors_.msg_code == JERR_OUT_OF_MEMORY;
  }

 private:
  bool Run(void (JpegDecoder::*step)()) {
    if (setjmp(jump_)) return false;
    (this->*step)();
    return true;
  }

  void StartReading() {
    jpeg_create_decompress(&info_);
    info_.progress = &progress_;
    info_.mem->max_memory_to_use = long(kMaxDecodedBytes);
    jpeg_mem_src(&info_, bytes_.data(), static_cast<unsigned long>(bytes_.size()));
    jpeg_read_header(&info_, TRUE);
    info_.out_color_space =
        info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK ? JCS_CMYK : JCS_RGB;
  }

  void ReadRows() {
    jpeg_start_decompress(&info_);
    const int channels = info_.output_components;
    JSAMPARRAY row = (*info_.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info_), JPOOL_IMAGE,
                                                info_.output_width * JDIMENSION(channels), 1);
    const bool cmyk = info_.out_color_space == JCS_CMYK;
    const bool inverted = info_.saw_Adobe_marker;
    std::uint32_t* out = pixels_;
    while (info_.output_scanline < info_.output_height) {
      jpeg_read_scanlines(&info_, row, 1);
      const JSAMPLE* in = row[0];
      for (JDIMENSION x = 0; x < info_.output_width; ++x, in += channels) {
        *out++ = cmyk ? Argb(0xFF, LightThrough(in[0], in[3], inverted), LightThrough(in[1], in[3], inverted),
                             LightThrough(in[2], in[3], inverted))
                      : Argb(0xFF, in[0], in[1], in[2]);
      }
    }
    jpeg_finish_decompress(&info_);
  }

  static JpegDecoder& Of(j_common_ptr info) { return *static_cast<JpegDecoder*>(info->client_data); }
  [[noreturn]] static void OnError(j_common_ptr info) {
    (*info->err->format_message)(info, Of(info).message_);
    std::longjmp(Of(info).jump_, 1);
  }
  // Warnings that mean pixels are missing or made up are errors; the others,
  // and all trace messages, are dropped.
  static void OnMessage(j_common_ptr info, int level) {
    if (level >= 0) return;
    switch (info->err->msg_code) {
      case JWRN_JPEG_EOF:
      case JWRN_HIT_MARKER:
      case JWRN_HUFF_BAD_CODE:
      case JWRN_ARITH_BAD_CODE:
      case JWRN_MUST_RESYNC:
        OnError(info);
    }
  }
  static void LimitScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxJpegScans) return;
    std::snprintf(Of(info).message_, sizeof message_, "more than %d scans", kMaxJpegScans);
    std::longjmp(Of(info).jump_, 1);
  }

  jpeg_decompress_struct info_{};
  jpeg_error_mgr errors_{};
  jpeg_progress_mgr progress_{};
  std::jmp_buf jump_;
  char message_[JMSG_LENGTH_MAX] = "";
  std::span<const std::uint8_t> bytes_;
  std::uint32_t* pixels_ = nullptr;
};

RgbaPicture DecodeJpeg(std::span<const std::uint8_t> bytes) {
  JpegDecoder decoder;
  const auto failed = [&decoder] {
    Fail(decoder.NeededTooMuchMemory() ? Reason::kTooLarge : Reason::kDamaged, "JPEG", decoder.Error());
  };
  if (!decoder.ReadHeader(bytes)) failed();
  CheckAnnouncedSize("JPEG", decoder.Width(), decoder.Height());
  RgbaPicture picture = EmptyPicture(decoder.Width(), decoder.Height());
  if (!decoder.ReadPixels(picture.pixels.data())) failed();
  return picture;
}

// ---------------------------------------------------------------------------
// GIF, through giflib: the first frame, read line by line onto the screen.

int ReadGifBytes(GifFileType* gif, GifByteType* out, int count) {
  return int(static_cast<ByteSource*>(gif->UserData)->Take(out, std::size_t(std::max(count, 0))));
}

struct CloseGif {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

[[noreturn]] void GifFailed(int error) {
  const char* reason = GifErrorString(error);
  Fail(Reason::kDamaged, "GIF", reason ? reason : "unknown error");
}

// The rows of a frame in the order they are stored: passes of every step-th
// row from start, four of them when the frame is interlaced.
struct GifPass {
  int start;
  int step;
};
constexpr GifPass kSequentialRows[] = {{0, 1}};
constexpr GifPass kInterlacedRows[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

RgbaPicture DecodeGif(std::span<const std::uint8_t> bytes) {
  ByteSource source{bytes};
  int error = D_GIF_SUCCEEDED;
  const std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&source, ReadGifBytes, &error));
  if (!gif) GifFailed(error);
  CheckAnnouncedSize("GIF", gif->SWidth, gif->SHeight);

  // Extensions up to the first frame; the last graphic control block before
  // it says which index is transparent.
  int transparent = NO_TRANSPARENT_COLOR;
  for (GifRecordType record = UNDEFINED_RECORD_TYPE; record != IMAGE_DESC_RECORD_TYPE;) {
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) GifFailed(gif->Error);
    if (record == TERMINATE_RECORD_TYPE) Fail(Reason::kDamaged, "GIF", "the file holds no frame");
    if (record != EXTENSION_RECORD_TYPE) continue;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) GifFailed(gif->Error);
    GraphicsControlBlock control;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      transparent = control.TransparentColor;
    }
    while (block) {
      if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) GifFailed(gif->Error);
    }
  }
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) GifFailed(gif->Error);
  const GifImageDesc& frame = gif->Image;
  CheckAnnouncedSize("GIF", frame.Width, frame.Height);
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!map) Fail(Reason::kDamaged, "GIF", "the first frame has no colour map");

  // Indices past the colour map read as opaque black.
  std::array<std::uint32_t, 256> colours;
  colours.fill(kOpaque);
  for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
    const GifColorType& c = map->Colors[i];
    colours[std::size_t(i)] = Argb(0xFF, c.Red, c.Green, c.Blue);
  }
  if (transparent >= 0 && transparent < 256) colours[std::size_t(transparent)] = 0;

  RgbaPicture picture = EmptyPicture(gif->SWidth, gif->SHeight);
  std::vector<GifPixelType> line(std::size_t(frame.Width));
  // The part of each frame row that falls on the screen.
  const int x0 = std::clamp(frame.Left, 0, picture.width);
  const int x1 = std::clamp(frame.Left + frame.Width, x0, picture.width);
  using Passes = std::span<const GifPass>;
  for (const GifPass& pass : frame.Interlace ? Passes(kInterlacedRows) : Passes(kSequentialRows)) {
    for (int row = pass.start; row < frame.Height; row += pass.step) {
      if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) GifFailed(gif->Error);
      const int y = frame.Top + row;
      if (y >= picture.height) continue;
      std::uint32_t* out = picture.pixels.data() + std::size_t(y) * std::size_t(picture.width);
      for (int x = x0; x < x1; ++x) out[x] = colours[line[std::size_t(x - frame.Left)]];
    }
  }
  return picture;
}

// ---------------------------------------------------------------------------
// BMP, through DibPixels, which reads the rows of a 40-byte header and of the
// later versions that extend it. The headers are copied to an aligned block
// for it: a Windows header with what follows it up to the rows (masks and
// colour table) as it is; an OS/2 header rewritten as the 40-byte header it
// matches, its colour table widened to 4-byte entries for OS/2 1.x.

constexpr std::size_t kBmpFileHeader = 14;
constexpr std::uint32_t kInfoHeader = sizeof(BITMAPINFOHEADER);
constexpr std::uint32_t kMaxWindowsHeader = 124;
constexpr std::uint32_t kCoreHeader = 12;    // OS/2 1.x: 16-bit sides, 3-byte colours
constexpr std::uint32_t kMinOs2Header = 16;  // OS/2 2.x: 16 to 64 bytes, the fields
constexpr std::uint32_t kMaxOs2Header = 64;  // past its size are zero
constexpr std::size_t kMaxBmpTable = 256 * 4;
constexpr std::size_t kMaskBytes = 12;
// OS/2 2.x numbers its own compressions from 3 on (Huffman 1D, RLE24).
constexpr std::uint32_t kFirstOs2OnlyCompression = 3;

bool IsWindowsHeader(std::uint32_t size) {
  return size == kInfoHeader || size == 52 || size == 56 || size == 108 || size == kMaxWindowsHeader;
}

RgbaPicture DecodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kBmpFileHeader + 4) Fail(Reason::kDamaged, "BMP", "the headers are cut short");
  const std::uint32_t rowsAt = LittleEndian32(&file[10]);
  const std::uint32_t headerSize = LittleEndian32(&file[kBmpFileHeader]);
  const bool windows = IsWindowsHeader(headerSize);
  if (!windows && headerSize != kCoreHeader && (headerSize < kMinOs2Header || headerSize > kMaxOs2Header)) {
    Fail(Reason::kNotSupported, "BMP", "a header of " + std::to_string(headerSize) + " bytes is not one we know");
  }
  if (rowsAt < kBmpFileHeader + headerSize || rowsAt > file.size()) {
    Fail(Reason::kDamaged, "BMP",
         "the pixel rows would start at byte " + std::to_string(rowsAt) + " of " + std::to_string(file.size()) +
             ", inside the headers or past the end");
  }
  const std::uint8_t* header = &file[kBmpFileHeader];
  const std::size_t between = rowsAt - kBmpFileHeader - headerSize;  // masks, colour table, gap

  std::array<std::uint32_t, (kMaxWindowsHeader + kMaskBytes + kMaxBmpTable) / 4> block{};
  auto* bytes = reinterpret_cast<std::uint8_t*>(block.data());
  auto& info = *reinterpret_cast<BITMAPINFOHEADER*>(block.data());
  std::size_t blockSize;
  if (windows) {
    blockSize = headerSize + std::min(between, kMaskBytes + kMaxBmpTable);
    std::memcpy(bytes, header, blockSize);
  } else if (headerSize == kCoreHeader) {
    info.biSize = kInfoHeader;
    info.biWidth = LittleEndian16(header + 4);
    info.biHeight = LittleEndian16(header + 6);
    info.biPlanes = LittleEndian16(header + 8);
    info.biBitCount = LittleEndian16(header + 10);
    const std::size_t entries = std::min<std::size_t>(between / 3, 256);
    for (std::size_t i = 0; i < entries; ++i) {
      std::memcpy(bytes + kInfoHeader + 4 * i, header + kCoreHeader + 3 * i, 3);  // blue, green, red
    }
    blockSize = kInfoHeader + 4 * entries;
  } else {
    std::memcpy(bytes, header, std::min(headerSize, kInfoHeader));
    info.biSize = kInfoHeader;
    if (info.biCompression >= kFirstOs2OnlyCompression) {
      Fail(Reason::kNotSupported, "BMP",
           "OS/2 compression " + std::to_string(info.biCompression) + " is not one we read");
    }
    const std::size_t table = std::min(between, kMaxBmpTable);
    std::memcpy(bytes + kInfoHeader, header + headerSize, table);
    blockSize = kInfoHeader + table;
  }
  CheckAnnouncedSize("BMP", info.biWidth, std::abs(std::int64_t(info.biHeight)));
  if (!DibPixels::ReadsFormat(info)) {
    Fail(Reason::kNotSupported, "BMP",
         "compression " + std::to_string(info.biCompression) + " with " + std::to_string(info.biBitCount) +
             " bits a pixel is not one we read");
  }
  const std::optional<DibPixels> dib =
      DibPixels::Open(&info, blockSize, &file[rowsAt], file.size() - rowsAt, DibPixels::Alpha::kFromMask);
  if (!dib) Fail(Reason::kDamaged, "BMP", "the pixel rows or the channel masks are cut short");

  RgbaPicture picture = EmptyPicture(dib->Width(), dib->Height());
  for (int y = 0; y < picture.height; ++y) {
    dib->ReadRow(y, 0, picture.width, picture.pixels.data() + std::size_t(y) * std::size_t(picture.width));
  }
  // An alpha channel that is 0 throughout was never filled in: the picture is opaque.
  const bool alphaUsed = dib->HasAlpha() && std::any_of(picture.pixels.begin(), picture.pixels.end(),
                                                         [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
  if (!alphaUsed) {
    for (std::uint32_t& pixel : picture.pixels) pixel |= kOpaque;
  }
  return picture;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

}  // namespace

PictureError::PictureError(Reason reason, const std::string& detail) : std::runtime_error(detail), reason_(reason) {}

PictureError::Reason PictureError::reason() const { return reason_; }

std::optional<PictureFormat> SniffPictureFormat(std::span<const std::uint8_t> bytes) {
  if (StartsWith(bytes, "\x89PNG\r\n\x1A\n")) return PictureFormat::kPng;
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return PictureFormat::kJpeg;
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return PictureFormat::kGif;
  if (StartsWith(bytes, "BM")) return PictureFormat::kBmp;
  return std::nullopt;
}

RgbaPicture DecodePicture(std::span<const std::uint8_t> bytes) {
  const std::optional<PictureFormat> format = SniffPictureFormat(bytes);
  if (!format) throw PictureError(Reason::kNotSupported, "not a PNG, JPEG, GIF or BMP file");
  switch (*format) {
    case PictureFormat::kPng:
      return DecodePng(bytes);
    case PictureFormat::kJpeg:
      return DecodeJpeg(bytes);
    case PictureFormat::kGif:
      return DecodeGif(bytes);
    case PictureFormat::kBmp:
      return DecodeBmp(bytes);
  }
  throw PictureError(Reason::kNotSupported, "an unknown picture format");
}

}  // namespace lumetra
