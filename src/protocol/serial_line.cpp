#include "protocol/serial_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

namespace lumetra::protocol {
namespace {

using Clock = std::chrono::steady_clock;

constexpr short kHangUp = POLLHUP | POLLERR | POLLNVAL;

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

[[noreturn]] void ThrowErrno(std::string_view what, const std::string& path, int error = errno) {
  throw SerialError(std::string(what) + " \"" + path + "\": " + ErrorText(error), error);
}

std::optional<speed_t> SpeedFor(int baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return std::nullopt;
  }
}

// Raw bytes, 8N1, receiver on, modem lines ignored, no flow control, and
// read() returning at once with whatever is there.
void MakeRaw(int fd, speed_t speed, const std::string& path) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) ThrowErrno("cannot configure serial line", path);
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 || ::tcsetattr(fd, TCSANOW, &tio) != 0)
    ThrowErrno("cannot configure serial line", path);
}

Clock::time_point DeadlineAfter(int timeoutMs) {
  return Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// poll() on one descriptor until the deadline, riding out signals. Returns the
// events seen, 0 when the deadline passed, or -1 with errno set.
int PollUntil(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
    if (ready > 0) return entry.revents;
    if (ready == 0) return 0;
    if (errno != EINTR) return -1;
  }
}

}  // namespace

OwnedFd& OwnedFd::operator=(OwnedFd&& other) noexcept {
  if (this != &other) {
    OwnedFd old(std::exchange(fd_, other.Release()));
  }
  return *this;
}

OwnedFd::~OwnedFd() {
  if (fd_ >= 0) ::close(fd_);
}

int OwnedFd::Release() { return std::exchange(fd_, -1); }

SerialLine SerialLine::Open(const std::string& devicePath, int baud) {
  const std::optional<speed_t> speed = SpeedFor(baud);
  if (!speed) throw SerialError("unsupported baud rate " + std::to_string(baud) + " for \"" + devicePath + "\"");
  OwnedFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) ThrowErrno("cannot open serial line", devicePath);
  MakeRaw(fd.Get(), *speed, devicePath);
  return SerialLine(std::move(fd), OwnedFd());
}

PtyPair SerialLine::CreatePty() {
  const std::string masterPath = "/dev/ptmx";
  OwnedFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (master.Get() < 0) ThrowErrno("cannot create pseudo-terminal", masterPath);
  if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0)
    ThrowErrno("cannot unlock pseudo-terminal", masterPath);
  char name[128];
  if (const int error = ::ptsname_r(master.Get(), name, sizeof name); error != 0)
    ThrowErrno("cannot name pseudo-terminal", masterPath, error);
  // The slave's settings govern what passes through the pair, so the slave is
  // made raw here, before any sender opens it.
  SerialLine slave = Open(name);
  return PtyPair{SerialLine(std::move(master), std::move(slave.fd_)), name};
}

bool SerialLine::WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) {
  const Clock::time_point deadline = DeadlineAfter(timeoutMs);
  while (!bytes.empty()) {
    // Once past the deadline a full buffer ends the write even when poll() keeps
    // calling the line writable.
    const bool late = Clock::now() >= deadline;
    const ssize_t written = ::write(fd_.Get(), bytes.data(), bytes.size());
    if (written > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Fail("write failed: " + ErrorText(errno));
    const int events = late ? 0 : PollUntil(fd_.Get(), POLLOUT, deadline);
    if (events < 0) return Fail("poll failed: " + ErrorText(errno));
    if (events == 0) return Fail("write timed out after " + std::to_string(timeoutMs) + " ms");
    if (events & kHangUp) return Fail("line hung up");
  }
  return true;
}

ReadResult SerialLine::Read(std::span<std::uint8_t> buffer, int timeoutMs) {
  if (buffer.empty()) return {};
  const Clock::time_point deadline = DeadlineAfter(timeoutMs);
  for (;;) {
    // Once past the deadline an empty read ends the wait even when poll() keeps
    // calling the line readable.
    const bool late = Clock::now() >= deadline;
    const int events = PollUntil(fd_.Get(), POLLIN, deadline);
    if (events == 0) return {0, ReadStatus::Timeout};
    if (events < 0) return Closed("poll failed: " + ErrorText(errno));
    const ssize_t count = ::read(fd_.Get(), buffer.data(), buffer.size());
    if (count > 0) return {static_cast<std::size_t>(count), ReadStatus::Ok};
    if (count == 0) return Closed("line hung up");
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return Closed("read failed: " + ErrorText(errno));
    if (events & kHangUp) return Closed("line hung up");
    if (late) return {0, ReadStatus::Timeout};
  }
}

// tcdrain has no time limit, and an adapter that stopped sending would keep
// it waiting for ever; the bytes still queued are watched instead.
void SerialLine::Drain(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  int queued = 0;
  while (::ioctl(fd_.Get(), TIOCOUTQ, &queued) == 0 && queued > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SerialLine::DiscardInput() { ::tcflush(fd_.Get(), TCIFLUSH); }

bool SerialLine::Fail(std::string reason) {
  lastError_ = std::move(reason);
  return false;
}

ReadResult SerialLine::Closed(std::string reason) {
  lastError_ = std::move(reason);
  return {0, ReadStatus::Closed};
}

}  // namespace lumetra::protocol
