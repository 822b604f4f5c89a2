#pragma once
// ByteLink: the bytes between a host and its panels, whatever carries them:
// a serial line (SerialLine) or a TCP connection to a network controller
// (TcpLink). Every wait is bounded by a timeout. FdLink is what both share:
// writing, reading and draining one non-blocking file descriptor.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace lumetra::protocol {

// A link that cannot be opened or set up.
class LinkError : public std::runtime_error {
 public:
  // `osError` is the errno behind the failure, 0 when there is none (an
  // unknown port name, a rate the line cannot take).
  explicit LinkError(const std::string& what, int osError = 0) : std::runtime_error(what), osError_(osError) {}
  int OsError() const { return osError_; }

 private:
  int osError_;
};

// Owns one file descriptor and closes it once.
class OwnedFd {
 public:
  OwnedFd() = default;
  explicit OwnedFd(int fd) : fd_(fd) {}
  OwnedFd(OwnedFd&& other) noexcept : fd_(other.Release()) {}
  OwnedFd& operator=(OwnedFd&& other) noexcept;
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  ~OwnedFd();

  int Get() const { return fd_; }
  int Release();

 private:
  int fd_ = -1;
};

enum class ReadStatus {
  Ok,       // count > 0 bytes arrived
  Timeout,  // nothing arrived in time; count is 0
  Closed,   // the other end went away (hang-up, I/O error, end of file); count is 0
};

struct ReadResult {
  std::size_t count = 0;
  ReadStatus status = ReadStatus::Timeout;
};

class ByteLink {
 public:
  virtual ~ByteLink() = default;

  // Writes every byte within timeoutMs. False when the time runs out or the
  // link is gone; LastError() then says why.
  virtual bool WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) = 0;
  // Waits up to timeoutMs for at least one byte and reads what is there, at
  // most buffer.size() bytes. An empty buffer reads nothing and reports Timeout.
  virtual ReadResult Read(std::span<std::uint8_t> buffer, int timeoutMs) = 0;
  // Waits until the output has left, at most timeoutMs; errors are ignored.
  virtual void Drain(int timeoutMs) = 0;
  // Throws away bytes received but not yet read.
  virtual void DiscardInput() = 0;
  // Why the last WriteAll or Read failed.
  const std::string& LastError() const { return lastError_; }

 protected:
  ByteLink() = default;
  ByteLink(ByteLink&&) noexcept = default;
  ByteLink& operator=(ByteLink&&) noexcept = default;
  // Records why an operation failed, for LastError().
  bool Fail(std::string reason);
  ReadResult Closed(std::string reason);

 private:
  std::string lastError_;
};

// A link over one non-blocking file descriptor (a terminal or a socket).
class FdLink : public ByteLink {
 public:
  bool WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) override;
  ReadResult Read(std::span<std::uint8_t> buffer, int timeoutMs) override;
  // Watches the bytes still queued for output (TIOCOUTQ, which sockets
  // answer too); tcdrain would have no time limit.
  void Drain(int timeoutMs) override;

  int Fd() const { return fd_.Get(); }

 protected:
  explicit FdLink(OwnedFd fd) : fd_(std::move(fd)) {}
  // One write(2) of as many bytes as the descriptor takes now.
  virtual long WriteSome(const std::uint8_t* bytes, std::size_t count);

  OwnedFd fd_;
};

}  // namespace lumetra::protocol
