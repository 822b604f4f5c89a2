#pragma once
// A serial line over a POSIX terminal device: raw 8N1 bytes, no flow control,
// non-blocking underneath and every wait bounded by a timeout. The display
// libraries open a device (or the virtual panel's pseudo-terminal) for their
// use alone; the virtual panel owns the pseudo-terminal's master side.

#include <string>
#include <utility>

#include "protocol/byte_link.h"

namespace lumetra::protocol {

struct PtyPair;

// Who else may use a line while it is open.
enum class LineAccess {
  kExclusive,  // nobody: a lock on the device and the terminal's exclusive mode
  kShared,     // anybody (the panel's own hold on its pseudo-terminal)
};

class SerialLine : public FdLink {
 public:
  // Rates outside 9600, 19200, 38400, 57600, 115200 and 230400 are refused.
  // Throws LinkError naming the path and the reason when the device cannot be
  // opened or is not a terminal, and with EBUSY ("in use by another program")
  // when another program holds it exclusively.
  static SerialLine Open(const std::string& devicePath, int baud = 115200,
                         LineAccess access = LineAccess::kExclusive);

  // A raw pseudo-terminal for the virtual panel. The returned line is the
  // master side; it holds the slave open itself, so senders may open and close
  // the slave path any number of times without the master seeing a hang-up.
  // Throws LinkError when no pseudo-terminal can be set up.
  static PtyPair CreatePty();

  SerialLine(SerialLine&&) noexcept = default;
  SerialLine& operator=(SerialLine&&) = delete;
  ~SerialLine() override;

  void DiscardInput() override;

 private:
  SerialLine(OwnedFd fd, OwnedFd heldPeer, bool exclusive)
      : FdLink(std::move(fd)), heldPeer_(std::move(heldPeer)), exclusive_(exclusive) {}

  OwnedFd heldPeer_;  // the pseudo-terminal's slave, held open and never used for I/O
  // The terminal's exclusive mode outlives this descriptor while others hold
  // the device open, so it is ended before closing.
  struct ExclusiveMode {
    bool on = false;
    ExclusiveMode(bool o) : on(o) {}
    ExclusiveMode(ExclusiveMode&& other) noexcept : on(std::exchange(other.on, false)) {}
  } exclusive_;
};

struct PtyPair {
  SerialLine master;
  std::string slavePath;
};

}  // namespace lumetra::protocol
