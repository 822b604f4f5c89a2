#pragma once
// A serial line over a POSIX terminal device: raw 8N1 bytes, no flow control,
// non-blocking underneath and every wait bounded by a timeout. The display
// libraries open a device (or the virtual panel's pseudo-terminal); the virtual
// panel owns the pseudo-terminal's master side.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace lumetra::protocol {

class SerialError : public std::runtime_error {
 public:
  // `osError` is the errno behind the failure, 0 when there is none (an
  // unknown port name, a rate the line cannot take).
  explicit SerialError(const std::string& what, int osError = 0) : std::runtime_error(what), osError_(osError) {}
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

struct PtyPair;

class SerialLine {
 public:
  // Rates outside 9600, 19200, 38400, 57600, 115200 and 230400 are refused.
  // Throws SerialError naming the path and the reason when the device cannot be
  // opened or is not a terminal.
  static SerialLine Open(const std::string& devicePath, int baud = 115200);

  // A raw pseudo-terminal for the virtual panel. The returned line is the
  // master side; it holds the slave open itself, so senders may open and close
  // the slave path any number of times without the master seeing a hang-up.
  // Throws SerialError when no pseudo-terminal can be set up.
  static PtyPair CreatePty();

  SerialLine(SerialLine&&) noexcept = default;
  SerialLine& operator=(SerialLine&&) noexcept = default;

  // Writes every byte within timeoutMs. False when the time runs out or the
  // line is gone; LastError() then says why.
  bool WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs);

  // Waits up to timeoutMs for at least one byte and reads what is there, at
  // most buffer.size() bytes. An empty buffer reads nothing and reports Timeout.
  ReadResult Read(std::span<std::uint8_t> buffer, int timeoutMs);

  // Waits until the output has gone out on the wire, at most timeoutMs;
  // errors are ignored.
  void Drain(int timeoutMs);
  // Throws away bytes received but not yet read.
  void DiscardInput();

  int Fd() const { return fd_.Get(); }
  // Why the last WriteAll or Read failed.
  const std::string& LastError() const { return lastError_; }

 private:
  SerialLine(OwnedFd fd, OwnedFd heldPeer) : fd_(std::move(fd)), heldPeer_(std::move(heldPeer)) {}

  // Record why an operation failed, for LastError().
  bool Fail(std::string reason);
  ReadResult Closed(std::string reason);

  OwnedFd fd_;
  OwnedFd heldPeer_;  // the pseudo-terminal's slave, held open and never used for I/O
  std::string lastError_;
};

struct PtyPair {
  SerialLine master;
  std::string slavePath;
};

}  // namespace lumetra::protocol
