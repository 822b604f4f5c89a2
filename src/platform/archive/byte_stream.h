#pragma once
// Little-endian byte streams over memory: the raw layer under the object
// archive, also used directly for the BMP images embedded in documents.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace lumetra {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t Position() const { return pos_; }
  std::size_t BytesLeft() const { return bytes_.size() - pos_; }

  // Reads exactly n bytes; throws ArchiveError(EndOfFile) when fewer are left.
  void Read(void* out, std::size_t n) {
    if (n > BytesLeft()) ThrowEndOfFile(n);
    if (n != 0) std::memcpy(out, bytes_.data() + pos_, n);
    pos_ += n;
  }
  // Reads what is there, up to n bytes; returns the number read.
  std::size_t ReadUpTo(void* out, std::size_t n);
  // Passes over exactly n bytes and returns them where they lie, valid as
  // long as the bytes being read; throws like Read.
  std::span<const std::uint8_t> ReadInPlace(std::size_t n) {
    if (n > BytesLeft()) ThrowEndOfFile(n);
    pos_ += n;
    return bytes_.subspan(pos_ - n, n);
  }

  // One value from its bytes. It comes back by value, not through memory the
  // compiler would have to assume overlaps the reader's own position.
  template <typename T>
  T ReadValue() {
    T v;
    Read(&v, sizeof v);
    return v;
  }
  std::uint8_t ReadU8() { return ReadValue<std::uint8_t>(); }
  std::uint16_t ReadU16() { return ReadValue<std::uint16_t>(); }
  std::uint32_t ReadU32() { return ReadValue<std::uint32_t>(); }
  std::int32_t ReadI32() { return ReadValue<std::int32_t>(); }
  double ReadDouble() { return ReadValue<double>(); }

 private:
  [[noreturn]] void ThrowEndOfFile(std::size_t needed) const;

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

class ByteWriter {
 public:
  std::size_t Position() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(bytes_); }

  void Write(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
  }
  void WriteU8(std::uint8_t v) { bytes_.push_back(v); }
  void WriteU16(std::uint16_t v) { Write(&v, sizeof v); }
  void WriteU32(std::uint32_t v) { Write(&v, sizeof v); }
  void WriteI32(std::int32_t v) { Write(&v, sizeof v); }
  void WriteDouble(double v) { Write(&v, sizeof v); }
  void Reserve(std::size_t n) { bytes_.reserve(n); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace lumetra
