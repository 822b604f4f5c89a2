#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumetra {
namespace {

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what, int error) {
  throw FileError(path.string() + ": " + what + ": " + Reason(error));
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) Fail(path, "cannot open", errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) Fail(path, "cannot read", errno);
  if (S_ISDIR(info.st_mode)) Fail(path, "cannot read", EISDIR);
  if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    throw FileError(path.string() + ": file too large (" + std::to_string(info.st_size) + " bytes, at most " +
                    std::to_string(maxBytes) + ")");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::read(file.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(path, "cannot read", errno);
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

AtomicFile::AtomicFile(const std::filesystem::path& requested) : target_(requested) {
  // Through a symbolic link the file it points to is replaced, not the link.
  std::error_code linkError;
  if (std::filesystem::is_symlink(requested, linkError)) {
    std::filesystem::path resolved = std::filesystem::weakly_canonical(requested, linkError);
    if (!linkError) target_ = resolved;
  }
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  // A short fixed name, so that a target name of any legal length still fits.
  temp_ = (folder / ".lumetra-save-XXXXXX").string();
  fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
  if (fd_ < 0) Fail(target_, "cannot create a temporary file in " + folder.string(), errno);
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temp_.c_str());
  }
}

void AtomicFile::Discard(const std::string& what, int error) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  Fail(target_, what, error);
}

void AtomicFile::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) Fail(target_, "cannot write", EBADF);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Discard("cannot write", errno);
    done += static_cast<std::size_t>(n);
  }
}

void AtomicFile::Commit() {
  if (fd_ < 0) Fail(target_, "cannot write", EBADF);
  // Keep the permissions of the file we replace; new files get the usual 0666 & ~umask.
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0) {
    ::fchmod(fd_, existing.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
  if (::fsync(fd_) != 0) Discard("cannot write", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    ::unlink(temp_.c_str());
    Fail(target_, "cannot write", errno);
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp_.c_str());
    Fail(target_, "cannot replace the file", error);
  }
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  AtomicFile file(path);
  file.Write(bytes);
  file.Commit();
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view text) {
  WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::filesystem::path MakeTempFileName() {
  const char* folder = std::getenv("TMPDIR");
  std::filesystem::path dir = folder && *folder ? folder : "/tmp";
  // mkstemp picks the name and creates the file in one step, so no other
  // process can slip a file or a link in between.
  std::string pattern = (dir / "~LumetraXXXXXX").string();
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) Fail(dir, "cannot create a temporary file", errno);
  ::close(fd);
  return pattern;
}

}  // namespace lumetra
