#include "cli/cancel_on_signal.h"

#include <pthread.h>

#include <ctime>

namespace lumetra {

CancelOnSignal::CancelOnSignal(std::function<void()> cancel) {
  sigemptyset(&signals_);
  sigaddset(&signals_, SIGINT);
  sigaddset(&signals_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
  watcher_ = std::thread([this, cancel = std::move(cancel)] {
    const timespec slice{0, 100'000'000};
    while (!done_) {
      if (sigtimedwait(&signals_, nullptr, &slice) > 0) {
        cancelled_ = true;
        cancel();
      }
    }
  });
}

CancelOnSignal::~CancelOnSignal() {
  done_ = true;
  watcher_.join();
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace lumetra
