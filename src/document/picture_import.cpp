#include "document/picture_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "document/panel_settings.h"
#include "platform/archive/byte_stream.h"
#include "units/bmp.h"
#include "units/unit_geometry.h"

namespace lumetra {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;

struct Rgb {
  float r = 0, g = 0, b = 0;
};

Rgb RgbOf(COLORREF colour) {
  return {float(colour & 0xFF), float((colour >> 8) & 0xFF), float((colour >> 16) & 0xFF)};
}

// One LED's share of the picture: the average of the pixels it covers,
// weighted by their opacity, and their average opacity (0..1).
struct Sample {
  Rgb colour;
  float alpha = 0;
};

// The pixels LED `i` of `count` covers among `source`: a box when shrinking,
// the nearest pixel when enlarging.
std::pair<int, int> Covered(int i, int count, int source) {
  if (count > source) {
    const int nearest = int((2 * std::int64_t(i) + 1) * source / (2 * std::int64_t(count)));
    return {nearest, nearest + 1};
  }
  const int from = int(std::int64_t(i) * source / count);
  const int to = std::max(from + 1, int(std::int64_t(i + 1) * source / count));
  return {from, to};
}

std::vector<Sample> SampleRow(const RgbaPicture& picture, int y, CSize size) {
  const auto [y0, y1] = Covered(y, size.cy, picture.height);
  std::vector<Sample> row(std::size_t(size.cx));
  for (int x = 0; x < size.cx; ++x) {
    const auto [x0, x1] = Covered(x, size.cx, picture.width);
    float r = 0, g = 0, b = 0, a = 0;
    for (int sy = y0; sy < y1; ++sy) {
      for (int sx = x0; sx < x1; ++sx) {
        const std::uint32_t p = picture.At(sx, sy);
        const float alpha = float(p >> 24) / 255;
        r += alpha * float((p >> 16) & 0xFF);
        g += alpha * float((p >> 8) & 0xFF);
        b += alpha * float(p & 0xFF);
        a += alpha;
      }
    }
    Sample& s = row[std::size_t(x)];
    s.alpha = a / float((x1 - x0) * (y1 - y0));
    if (a > 0) s.colour = {r / a, g / a, b / a};
  }
  return row;
}

float Brightness(const Rgb& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

}  // namespace

COLORREF ReducedPicture::ColourAt(int x, int y) const {
  return ColoursOf(colourSet).colours[leds[std::size_t(y) * std::size_t(width) + std::size_t(x)]];
}

bool IsPlainBmp(std::span<const std::uint8_t> file) {
  return file.size() >= kFileHeaderBytes + 4 && file[0] == 'B' && file[1] == 'M' &&
         (file[14] | file[15] << 8 | file[16] << 16 | std::uint32_t(file[17]) << 24) == kInfoHeaderBytes;
}

CSize FittedSize(CSize size, PictureFit fit, CSize frame) {
  const auto scaled = [](std::int64_t length, std::int64_t to, std::int64_t from) {
    return std::int32_t(std::max<std::int64_t>(1, (length * to + from / 2) / from));
  };
  if (size.cx <= 0 || size.cy <= 0 || frame.cx <= 0 || frame.cy <= 0) return size;
  switch (fit) {
    case PictureFit::kNatural:
      return size;
    case PictureFit::kFrameHeight:
      return {scaled(size.cx, frame.cy, size.cy), frame.cy};
    case PictureFit::kInsideFrame:
      // The side that meets the frame first sets the scale.
      if (std::int64_t(size.cx) * frame.cy >= std::int64_t(size.cy) * frame.cx) {
        return {frame.cx, scaled(size.cy, frame.cx, size.cx)};
      }
      return {scaled(size.cx, frame.cy, size.cy), frame.cy};
  }
  return size;
}

ReducedPicture ReducePicture(const RgbaPicture& picture, const PictureReduction& how, int colourSet, CSize frame) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const CSize size = FittedSize({picture.width, picture.height}, how.fit, frame);
  if (size.cx > kMaxPictureSide || size.cy > kMaxPictureSide) {
    throw PictureError(PictureError::Reason::kTooLarge, "it would be " + std::to_string(size.cx) + " x " +
                                                            std::to_string(size.cy) + " LEDs; at most " +
                                                            std::to_string(kMaxPictureSide) + " a side");
  }
  ReducedPicture reduced{size.cx, size.cy, colourSet,
                         std::vector<std::uint8_t>(std::size_t(size.cx) * std::size_t(size.cy), 0)};
  const ColourSetColours& set = ColoursOf(colourSet);
  std::array<Rgb, 4> palette;
  for (int i = 0; i < set.count; ++i) palette[std::size_t(i)] = RgbOf(set.colours[std::size_t(i)]);
  const bool oneColour = set.count == 2;

  // Floyd and Steinberg's weights: 7/16 on, 3/16, 5/16 and 1/16 on the next row.
  std::vector<Rgb> error(std::size_t(size.cx) + 2), nextError(std::size_t(size.cx) + 2);
  for (int y = 0; y < size.cy; ++y) {
    const std::vector<Sample> row = SampleRow(picture, y, size);
    std::fill(nextError.begin(), nextError.end(), Rgb{});
    for (int x = 0; x < size.cx; ++x) {
      const Sample& s = row[std::size_t(x)];
      if (s.alpha < 0.5f) continue;  // transparent: off, and nothing to spread
      Rgb want = s.colour;
      if (how.invert) want = {255 - want.r, 255 - want.g, 255 - want.b};
      const Rgb& carried = error[std::size_t(x) + 1];
      if (how.dither) want = {want.r + carried.r, want.g + carried.g, want.b + carried.b};
      std::uint8_t led = 0;
      if (oneColour) {
        led = Brightness(want) >= float(how.threshold) ? 1 : 0;
      } else {
        float nearest = INFINITY;
        for (int i = 0; i < set.count; ++i) {
          const Rgb& c = palette[std::size_t(i)];
          const float d = (want.r - c.r) * (want.r - c.r) + (want.g - c.g) * (want.g - c.g) +
                          (want.b - c.b) * (want.b - c.b);
          if (d < nearest) {
            nearest = d;
            led = std::uint8_t(i);
          }
        }
      }
      reduced.leds[std::size_t(y) * std::size_t(size.cx) + std::size_t(x)] = led;
      if (!how.dither) continue;
      // One colour: what is spread is brightness, the same on every channel.
      Rgb rest;
      if (oneColour) {
        const float e = Brightness(want) - (led ? 255.0f : 0.0f);
        rest = {e, e, e};
      } else {
        const Rgb& c = palette[led];
        rest = {want.r - c.r, want.g - c.g, want.b - c.b};
      }
      const auto spread = [&](Rgb& to, float share) {
        to.r += rest.r * share;
        to.g += rest.g * share;
        to.b += rest.b * share;
      };
      spread(error[std::size_t(x) + 2], 7.0f / 16);
      spread(nextError[std::size_t(x)], 3.0f / 16);
      spread(nextError[std::size_t(x) + 1], 5.0f / 16);
      spread(nextError[std::size_t(x) + 2], 1.0f / 16);
    }
    std::swap(error, nextError);
  }
  return reduced;
}

std::vector<std::uint8_t> BmpFileOf(const ReducedPicture& picture) {
  const ColourSetColours& set = ColoursOf(picture.colourSet);
  const std::uint32_t stride = (std::uint32_t(picture.width) * 4 + 31) / 32 * 4;
  const std::uint32_t tableBytes = std::uint32_t(set.count) * 4;
  const std::uint32_t rowsAt = kFileHeaderBytes + kInfoHeaderBytes + tableBytes;
  const std::uint32_t imageBytes = stride * std::uint32_t(picture.height);
  std::vector<std::uint8_t> file(rowsAt + imageBytes, 0);
  const auto put16 = [&](std::size_t at, std::uint32_t v) {
    file[at] = std::uint8_t(v);
    file[at + 1] = std::uint8_t(v >> 8);
  };
  const auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, std::uint32_t(file.size()));
  put32(10, rowsAt);
  put32(14, kInfoHeaderBytes);
  put32(18, std::uint32_t(picture.width));
  put32(22, std::uint32_t(picture.height));  // positive: bottom-up rows
  put16(26, 1);
  put16(28, 4);
  put32(34, imageBytes);
  put32(46, std::uint32_t(set.count));
  for (int i = 0; i < set.count; ++i) {
    const COLORREF c = set.colours[std::size_t(i)];
    const std::size_t at = kFileHeaderBytes + kInfoHeaderBytes + std::size_t(i) * 4;
    file[at] = std::uint8_t(c >> 16);  // blue, green, red, 0
    file[at + 1] = std::uint8_t(c >> 8);
    file[at + 2] = std::uint8_t(c);
  }
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = file.data() + rowsAt + std::size_t(picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t led = picture.leds[std::size_t(y) * std::size_t(picture.width) + std::size_t(x)];
      row[x / 2] |= std::uint8_t(x % 2 ? led : led << 4);
    }
  }
  return file;
}

std::unique_ptr<CBmp> MakePictureUnit(std::span<const std::uint8_t> bmpFile, CPoint topLeft) {
  auto unit = std::make_unique<CBmp>();
  ByteReader in(bmpFile);
  if (!unit->m_dib.ReadBmp(in)) return nullptr;
  const CSize extent = unit->m_dib.ImageExtent();
  unit->m_ptFirst = topLeft;
  unit->m_ptSecond = Offset(topLeft, {extent.cx, extent.cy});
  return unit;
}

}  // namespace lumetra
