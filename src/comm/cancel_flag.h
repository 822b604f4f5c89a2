#pragma once
// CancelFlag: the user's cancel of a transfer. Any thread may raise it; the
// transfer's pauses wait on it, so that a cancel ends a pause at once.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumetra {

class CancelFlag {
 public:
  void Raise();
  bool IsRaised() const;
  // Waits `duration`, or less when the flag is raised meanwhile; false then.
  bool WaitFor(std::chrono::milliseconds duration) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable raised_;
  bool set_ = false;
};

}  // namespace lumetra
