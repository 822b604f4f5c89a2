#include "protocol/tcp_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>

namespace lumetra::protocol {
namespace {

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

std::string Where(const std::string& host, std::uint16_t port) { return host + ":" + std::to_string(port); }

struct AddressList {
  addrinfo* first = nullptr;
  ~AddressList() {
    if (first) ::freeaddrinfo(first);
  }
};

// The addresses of host:port for a stream socket; `passive` for listening.
void Resolve(const std::string& host, std::uint16_t port, bool passive, AddressList& list) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
  const std::string service = std::to_string(port);
  if (const int error = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list.first); error != 0) {
    throw LinkError("cannot find network host " + Where(host, port) + ": " + ::gai_strerror(error), EHOSTUNREACH);
  }
}

// Connects one socket to `address` within timeoutMs; the errno on failure.
int ConnectWithin(int fd, const addrinfo& address, int timeoutMs) {
  if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  if (errno != EINPROGRESS) return errno;
  pollfd entry{fd, POLLOUT, 0};
  int ready;
  do {
    ready = ::poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return ETIMEDOUT;
  if (ready < 0) return errno;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

}  // namespace

TcpLink TcpLink::Connect(const std::string& host, std::uint16_t port, int timeoutMs) {
  AddressList addresses;
  Resolve(host, port, false, addresses);
  int lastError = EHOSTUNREACH;
  for (const addrinfo* address = addresses.first; address; address = address->ai_next) {
    OwnedFd fd(::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address->ai_protocol));
    if (fd.Get() < 0) {
      lastError = errno;
      continue;
    }
    lastError = ConnectWithin(fd.Get(), *address, timeoutMs);
    if (lastError != 0) continue;
    const int on = 1;
    ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return TcpLink(std::move(fd));
  }
  throw LinkError("cannot connect to " + Where(host, port) + ": " + ErrorText(lastError), lastError);
}

// What is there now, no more: a controller that keeps sending cannot hold the host here.
void TcpLink::DiscardInput() {
  std::uint8_t buffer[4096];
  int pending = 0;
  if (::ioctl(Fd(), FIONREAD, &pending) != 0) return;
  while (pending > 0) {
    const ssize_t count = ::recv(Fd(), buffer, std::min(sizeof buffer, std::size_t(pending)), MSG_DONTWAIT);
    if (count <= 0) return;
    pending -= int(count);
  }
}

long TcpLink::WriteSome(const std::uint8_t* bytes, std::size_t count) {
  return ::send(Fd(), bytes, count, MSG_NOSIGNAL);
}

TcpListener TcpListener::Listen(const std::string& host, std::uint16_t port) {
  AddressList addresses;
  Resolve(host, port, true, addresses);
  int lastError = EADDRNOTAVAIL;
  for (const addrinfo* address = addresses.first; address; address = address->ai_next) {
    OwnedFd fd(::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address->ai_protocol));
    const int on = 1;
    if (fd.Get() < 0 || ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd.Get(), address->ai_addr, address->ai_addrlen) != 0 || ::listen(fd.Get(), 1) != 0) {
      lastError = errno;
      continue;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&bound), &length);
    const std::uint16_t boundPort = ntohs(bound.ss_family == AF_INET6
                                              ? reinterpret_cast<const sockaddr_in6&>(bound).sin6_port
                                              : reinterpret_cast<const sockaddr_in&>(bound).sin_port);
    return TcpListener(std::move(fd), boundPort);
  }
  throw LinkError("cannot listen on " + Where(host, port) + ": " + ErrorText(lastError), lastError);
}

std::optional<TcpLink> TcpListener::Accept(int timeoutMs) {
  pollfd entry{fd_.Get(), POLLIN, 0};
  if (::poll(&entry, 1, timeoutMs) <= 0) return std::nullopt;
  OwnedFd fd(::accept4(fd_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
  if (fd.Get() < 0) return std::nullopt;
  const int on = 1;
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return TcpLink(std::move(fd));
}

}  // namespace lumetra::protocol
