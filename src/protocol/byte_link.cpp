#include "protocol/byte_link.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

namespace lumetra::protocol {
namespace {

using Clock = std::chrono::steady_clock;

constexpr short kHangUp = POLLHUP | POLLERR | POLLNVAL;

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

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

bool ByteLink::Fail(std::string reason) {
  lastError_ = std::move(reason);
  return false;
}

ReadResult ByteLink::Closed(std::string reason) {
  lastError_ = std::move(reason);
  return {0, ReadStatus::Closed};
}

long FdLink::WriteSome(const std::uint8_t* bytes, std::size_t count) { return ::write(fd_.Get(), bytes, count); }

bool FdLink::WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) {
  const Clock::time_point deadline = DeadlineAfter(timeoutMs);
  while (!bytes.empty()) {
    // Once past the deadline a full buffer ends the write even when poll() keeps
    // calling the line writable.
    const bool late = Clock::now() >= deadline;
    const ssize_t written = WriteSome(bytes.data(), bytes.size());
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

ReadResult FdLink::Read(std::span<std::uint8_t> buffer, int timeoutMs) {
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

void FdLink::Drain(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  int queued = 0;
  while (::ioctl(fd_.Get(), TIOCOUTQ, &queued) == 0 && queued > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace lumetra::protocol
