#include "comm/cancel_flag.h"

namespace lumetra {

void CancelFlag::Raise() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  raised_.notify_all();
}

bool CancelFlag::IsRaised() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool CancelFlag::WaitFor(std::chrono::milliseconds duration) const {
  std::unique_lock lock(mutex_);
  return !raised_.wait_for(lock, duration, [this] { return set_; });
}

}  // namespace lumetra
