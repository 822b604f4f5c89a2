#pragma once
// Whole-file reads with a size limit, and writes that never destroy the
// previous file: the bytes go to a temporary file in the target folder, which is
// then renamed over the target.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumetra {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws FileError naming the file and the reason when the file cannot be read
// or is larger than maxBytes.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

// A file written piece by piece that replaces `path` only when committed:
// until then, and when anything fails or the writer is dropped uncommitted,
// the previous file stays as it was. Every step throws FileError naming the
// file and the reason.
class AtomicFile {
 public:
  explicit AtomicFile(const std::filesystem::path& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::span<const std::uint8_t> bytes);
  void Commit();

 private:
  [[noreturn]] void Discard(const std::string& what, int error);

  std::filesystem::path target_;
  std::string temp_;
  int fd_ = -1;
};

// Throws FileError when any step fails; the target is then left as it was.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
void WriteFileAtomically(const std::filesystem::path& path, std::string_view text);

// Creates a fresh empty file named "~Lumetra" and six unique characters in
// $TMPDIR (or /tmp), readable and writable by the user alone, and returns its
// path; the caller removes it. Throws FileError naming the folder and the
// reason when no file can be created there.
std::filesystem::path MakeTempFileName();

}  // namespace lumetra
