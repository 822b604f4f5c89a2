#include "platform/archive/byte_stream.h"

#include <bit>

#include "platform/archive/archive_error.h"

namespace lumetra {

static_assert(std::endian::native == std::endian::little, "the byte streams assume a little-endian host");

ArchiveError::ArchiveError(ArchiveFailure failure, const std::string& detail, std::size_t offset)
    : std::runtime_error(std::string(ToString(failure)) + ": " + detail + " (at byte " + std::to_string(offset) + ")"),
      failure_(failure),
      offset_(offset) {}

const char* ToString(ArchiveFailure failure) {
  switch (failure) {
    case ArchiveFailure::BadClass:
      return "bad class";
    case ArchiveFailure::BadSchema:
      return "bad schema";
    case ArchiveFailure::EndOfFile:
      return "unexpected end of file";
    case ArchiveFailure::BadIndex:
      return "bad index";
  }
  return "archive error";
}

void ByteReader::ThrowEndOfFile(std::size_t needed) const {
  throw ArchiveError(ArchiveFailure::EndOfFile,
                     std::to_string(needed) + " bytes needed, " + std::to_string(BytesLeft()) + " left", pos_);
}

std::size_t ByteReader::ReadUpTo(void* out, std::size_t n) {
  std::size_t take = n < BytesLeft() ? n : BytesLeft();
  if (take != 0) std::memcpy(out, bytes_.data() + pos_, take);
  pos_ += take;
  return take;
}

}  // namespace lumetra
