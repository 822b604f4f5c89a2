#include "platform/archive/byte_stream.h"

#include <bit>
#include <cstring>

#include "platform/archive/archive_error.h"

namespace lumetra {

static_assert(std::endian::native == std::endian::little, "the byte streams assume a little-endian host");

ArchiveError::ArchiveError(ArchiveFailure failure, const std::string& detail, std::size_t offset)
    : std::runtime_error(std::string(ToString(failure)) + ": " + detail + " (at byte " + std::to_string(offset) + ")"),
      failure_(failure),
      offset_(offset) {}

const char* ToString(ArchiveFailure failure) {
  switch (failure) {
    case ArchiveFailure::BadClass: return "bad class";
    case ArchiveFailure::BadSchema: return "bad schema";
    case ArchiveFailure::EndOfFile: return "unexpected end of file";
    case ArchiveFailure::BadIndex: return "bad index";
  }
  return "archive error";
}

void ByteReader::Read(void* out, std::size_t n) {
  if (n > BytesLeft()) {
    throw ArchiveError(ArchiveFailure::EndOfFile,
                       std::to_string(n) + " bytes needed, " + std::to_string(BytesLeft()) + " left", pos_);
  }
  if (n != 0) std::memcpy(out, bytes_.data() + pos_, n);
  pos_ += n;
}

std::size_t ByteReader::ReadUpTo(void* out, std::size_t n) {
  std::size_t take = n < BytesLeft() ? n : BytesLeft();
  if (take != 0) std::memcpy(out, bytes_.data() + pos_, take);
  pos_ += take;
  return take;
}

std::uint8_t ByteReader::ReadU8() {
  std::uint8_t v;
  Read(&v, 1);
  return v;
}

std::uint16_t ByteReader::ReadU16() {
  std::uint16_t v;
  Read(&v, 2);
  return v;
}

std::uint32_t ByteReader::ReadU32() {
  std::uint32_t v;
  Read(&v, 4);
  return v;
}

double ByteReader::ReadDouble() {
  double v;
  Read(&v, 8);
  return v;
}

void ByteWriter::Write(const void* data, std::size_t n) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::WriteU16(std::uint16_t v) { Write(&v, 2); }
void ByteWriter::WriteU32(std::uint32_t v) { Write(&v, 4); }
void ByteWriter::WriteDouble(double v) { Write(&v, 8); }

}  // namespace lumetra
