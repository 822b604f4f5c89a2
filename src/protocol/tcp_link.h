#pragma once
// The link to a panel controller on the network: one TCP connection carrying
// the same frames as a serial line, with Nagle's delay off so that every
// frame leaves at once. TcpListener is the virtual panel's side.

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/byte_link.h"

namespace lumetra::protocol {

class TcpLink : public FdLink {
 public:
  // Connects to host:port within timeoutMs. Throws LinkError with the errno
  // (ECONNREFUSED, ETIMEDOUT, EHOSTUNREACH for a host that cannot be found, ...).
  static TcpLink Connect(const std::string& host, std::uint16_t port, int timeoutMs);

  // The bytes that have arrived are read and dropped.
  void DiscardInput() override;

 protected:
  // A peer that has gone makes the write fail (EPIPE), never a SIGPIPE.
  long WriteSome(const std::uint8_t* bytes, std::size_t count) override;

 private:
  friend class TcpListener;
  explicit TcpLink(OwnedFd fd) : FdLink(std::move(fd)) {}
};

class TcpListener {
 public:
  // Listens on host:port (port 0: any free one). Throws LinkError.
  static TcpListener Listen(const std::string& host, std::uint16_t port);

  // The port it listens on.
  std::uint16_t Port() const { return port_; }
  // The next connection, when one comes within timeoutMs.
  std::optional<TcpLink> Accept(int timeoutMs);

 private:
  TcpListener(OwnedFd fd, std::uint16_t port) : fd_(std::move(fd)), port_(port) {}

  OwnedFd fd_;
  std::uint16_t port_;
};

}  // namespace lumetra::protocol
