#pragma once
// SIGINT and SIGTERM, while a CancelOnSignal lives, cancel what the program
// is doing instead of killing it: a thread of its own takes them and calls
// `cancel`, so that the work can stop cleanly and say so.

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace lumetra {

class CancelOnSignal {
 public:
  explicit CancelOnSignal(std::function<void()> cancel);
  ~CancelOnSignal();
  CancelOnSignal(const CancelOnSignal&) = delete;
  CancelOnSignal& operator=(const CancelOnSignal&) = delete;

  bool Cancelled() const { return cancelled_; }

 private:
  sigset_t signals_{};
  sigset_t previous_{};
  std::atomic<bool> done_{false};
  std::atomic<bool> cancelled_{false};
  std::thread watcher_;
};

}  // namespace lumetra
