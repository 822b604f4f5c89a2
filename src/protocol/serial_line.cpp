#include "protocol/serial_line.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>

namespace lumetra::protocol {
namespace {

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

[[noreturn]] void ThrowErrno(std::string_view what, const std::string& path, int error = errno) {
  throw LinkError(std::string(what) + " \"" + path + "\": " + ErrorText(error), error);
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

// A pseudo-terminal's slave (Unix98 majors 136..143), which the virtual
// panel holds open itself.
bool IsPseudoTerminalSlave(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 && major(info.st_rdev) <= 143;
}

// The lock keeps out every sender that takes it, whoever runs it; the
// terminal's exclusive mode also keeps out other programs that open the
// device without locking it (root excepted). A pseudo-terminal gets the lock
// alone: its exclusive mode would outlive a sender that died while the panel
// holds the terminal, and lock out every sender after it. Returns whether
// the exclusive mode was set.
bool TakeExclusively(int fd, const std::string& path) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno == EWOULDBLOCK ? EBUSY : errno;
    ThrowErrno("cannot open serial line", path, error);
  }
  if (IsPseudoTerminalSlave(fd)) return false;
  if (::ioctl(fd, TIOCEXCL) != 0) ThrowErrno("cannot open serial line", path);
  return true;
}

}  // namespace

SerialLine SerialLine::Open(const std::string& devicePath, int baud, LineAccess access) {
  const std::optional<speed_t> speed = SpeedFor(baud);
  if (!speed) throw LinkError("unsupported baud rate " + std::to_string(baud) + " for \"" + devicePath + "\"");
  OwnedFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) ThrowErrno("cannot open serial line", devicePath);
  // Locked before it is set up: the settings of a line in use stay as they are.
  const bool exclusive = access == LineAccess::kExclusive && TakeExclusively(fd.Get(), devicePath);
  SerialLine line(std::move(fd), OwnedFd(), exclusive);
  MakeRaw(line.Fd(), *speed, devicePath);
  return line;
}

SerialLine::~SerialLine() {
  if (exclusive_.on && Fd() >= 0) ::ioctl(Fd(), TIOCNXCL);
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
  // made raw here, before any sender opens it; senders lock it for themselves.
  SerialLine slave = Open(name, 115200, LineAccess::kShared);
  return PtyPair{SerialLine(std::move(master), std::move(slave.fd_), false), name};
}

void SerialLine::DiscardInput() { ::tcflush(Fd(), TCIFLUSH); }

}  // namespace lumetra::protocol
