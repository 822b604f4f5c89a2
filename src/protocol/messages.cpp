#include "protocol/messages.h"

#include <algorithm>

#include "protocol/plane_code.h"

namespace lumetra::protocol {
namespace {

std::size_t RowBytes(int width) { return (std::size_t(width) + 7) / 8; }

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(value >> shift));
}

std::optional<int> FromPackedBcd(std::uint8_t byte) {
  if ((byte >> 4) > 9 || (byte & 0x0F) > 9) return std::nullopt;
  return (byte >> 4) * 10 + (byte & 0x0F);
}

}  // namespace

LedColour LedColourOf(std::uint32_t pixel, std::uint8_t colourFlags) {
  const bool first = ((pixel >> 16) & 0xFF) >= 0x80;
  const std::uint32_t secondChannel = (colourFlags & kFlagYellowAndBlue) ? pixel : pixel >> 8;
  const bool second = (secondChannel & 0xFF) >= 0x80;
  const LedColour led = LedColour((first ? 1 : 0) | (second ? 2 : 0));
  return (colourFlags & kFlagReverse) ? LedColour((led >> 1) | ((led & 1) << 1)) : led;
}

std::size_t PlaneBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return kPlaneCount * std::size_t(height) * RowBytes(width);
}

std::vector<std::uint8_t> PackPlanes(const Bitmap32& picture, std::uint8_t colourFlags) {
  const int width = picture.Width();
  const int height = picture.Height();
  const std::size_t planeSize = PlaneBytes(width, height) / kPlaneCount;
  std::vector<std::uint8_t> planes(planeSize * kPlaneCount, 0);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = picture.Row(y);
    const std::size_t rowStart = std::size_t(y) * RowBytes(width);
    for (int x = 0; x < width; ++x) {
      const LedColour led = LedColourOf(row[x], colourFlags);
      const std::size_t at = rowStart + std::size_t(x) / 8;
      const auto bit = std::uint8_t(0x80 >> (x % 8));
      if (led & 1) planes[at] |= bit;
      if (led & 2) planes[planeSize + at] |= bit;
    }
  }
  return planes;
}

std::vector<LedColour> UnpackPlanes(std::span<const std::uint8_t> planes, int width, int height) {
  const std::size_t planeSize = PlaneBytes(width, height) / kPlaneCount;
  std::vector<LedColour> leds;
  if (planeSize == 0 || planes.size() != planeSize * kPlaneCount) return leds;
  leds.resize(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    const std::size_t rowStart = std::size_t(y) * RowBytes(width);
    for (int x = 0; x < width; ++x) {
      const std::size_t at = rowStart + std::size_t(x) / 8;
      const int shift = 7 - x % 8;
      leds[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
          LedColour(((planes[at] >> shift) & 1) | ((planes[planeSize + at] >> shift) & 1) << 1);
    }
  }
  return leds;
}

std::vector<std::uint8_t> EncodePictureHeader(const PictureHeader& header) {
  return {std::uint8_t(header.width), std::uint8_t(header.width >> 8), std::uint8_t(header.height),
          std::uint8_t(header.height >> 8), header.colourFlags, header.planes};
}

std::optional<PictureHeader> DecodePictureHeader(std::span<const std::uint8_t> payload) {
  if (payload.size() != kPictureHeaderBytes) return std::nullopt;
  return PictureHeader{ReadU16(payload, 0), ReadU16(payload, 2), payload[4], payload[5]};
}

std::vector<std::uint8_t> EncodePictureData(std::uint32_t offset, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> payload;
  payload.reserve(kDataOffsetBytes + bytes.size());
  AppendU32(payload, offset);
  payload.insert(payload.end(), bytes.begin(), bytes.end());
  return payload;
}

std::optional<PictureData> DecodePictureData(std::span<const std::uint8_t> payload) {
  if (payload.size() < kDataOffsetBytes) return std::nullopt;
  return PictureData{ReadU32(payload, 0), payload.subspan(kDataOffsetBytes)};
}

std::vector<std::uint8_t> EncodePackedPictureData(std::uint32_t offset, std::uint32_t count,
                                                  std::span<const std::uint8_t> code) {
  std::vector<std::uint8_t> payload;
  payload.reserve(kPackedDataHeaderBytes + code.size());
  AppendU32(payload, offset);
  AppendU32(payload, count);
  payload.insert(payload.end(), code.begin(), code.end());
  return payload;
}

std::optional<PackedPictureData> DecodePackedPictureData(std::span<const std::uint8_t> payload) {
  if (payload.size() < kPackedDataHeaderBytes) return std::nullopt;
  return PackedPictureData{ReadU32(payload, 0), ReadU32(payload, 4), payload.subspan(kPackedDataHeaderBytes)};
}

std::vector<PictureDataFrame> PlanPictureData(std::span<const std::uint8_t> planes, std::size_t from, bool packed) {
  std::vector<PictureDataFrame> frames;
  std::optional<PlaneEncoder> encoder;
  if (packed) encoder.emplace(planes);
  for (std::size_t offset = from; offset < planes.size();) {
    const std::span<const std::uint8_t> rest = planes.subspan(offset);
    const std::size_t plainCount = std::min(kMaxDataChunk, rest.size());
    if (encoder) {
      const PackedPiece piece = encoder->Pack(offset, kMaxPackedCode);
      const bool carriesMore = piece.count > plainCount;
      const bool costsLess =
          piece.count == plainCount && piece.code.size() + kPackedDataHeaderBytes < plainCount + kDataOffsetBytes;
      if (carriesMore || costsLess) {
        frames.push_back({Function::kPictureDataPacked,
                          EncodePackedPictureData(std::uint32_t(offset), std::uint32_t(piece.count), piece.code),
                          offset, piece.count});
        offset += piece.count;
        continue;
      }
    }
    frames.push_back({Function::kPictureData, EncodePictureData(std::uint32_t(offset), rest.first(plainCount)), offset,
                      plainCount});
    offset += plainCount;
  }
  return frames;
}

std::vector<std::uint8_t> EncodeU32(std::uint32_t value) {
  std::vector<std::uint8_t> payload;
  AppendU32(payload, value);
  return payload;
}

std::optional<std::uint32_t> DecodeU32(std::span<const std::uint8_t> payload) {
  if (payload.size() != 4) return std::nullopt;
  return ReadU32(payload, 0);
}

std::optional<LocalTime> DecodeClock(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kClockBytes) return std::nullopt;
  std::array<int, kClockBytes> v{};
  for (std::size_t i = 0; i < kClockBytes; ++i) {
    const std::optional<int> value = FromPackedBcd(bytes[i]);
    if (!value) return std::nullopt;
    v[i] = *value;
  }
  const LocalTime time{v[0] * 100 + v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
  const bool valid = time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 &&
                     time.dayOfWeek <= 6 && time.hour <= 23 && time.minute <= 59 && time.second <= 60;
  if (!valid) return std::nullopt;
  return time;
}

}  // namespace lumetra::protocol
