#include "panel/output_writer.h"

#include <exception>
#include <new>
#include <utility>

#include "panel/panel_output.h"

namespace lumetra::panel {

OutputWriter::OutputWriter(std::function<PanelState(std::uint8_t)> copyState, std::mutex& stateMutex,
                           std::function<std::filesystem::path(std::uint8_t)> folderOf,
                           std::vector<std::int64_t> snapshotTimesMs)
    : copyState_(std::move(copyState)),
      stateMutex_(stateMutex),
      folderOf_(std::move(folderOf)),
      snapshotTimesMs_(std::move(snapshotTimesMs)),
      thread_([this] { Run(); }) {}

OutputWriter::~OutputWriter() { Finish(); }

void OutputWriter::Finish() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void OutputWriter::Changed(std::uint8_t address) {
  {
    const std::lock_guard lock(mutex_);
    pending_.insert(address);
  }
  wake_.notify_one();
}

std::optional<std::string> OutputWriter::Failure() const {
  const std::lock_guard lock(mutex_);
  return failure_;
}

void OutputWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (pending_.empty() || failure_) return;  // stopping, with nothing left that can be written
    const std::uint8_t address = *pending_.begin();
    pending_.erase(pending_.begin());
    lock.unlock();
    std::optional<std::string> failure;
    try {
      PanelState state;
      {
        const std::lock_guard stateLock(stateMutex_);
        state = copyState_(address);
      }
      WritePanelFiles(state, folderOf_(address), snapshotTimesMs_);
    } catch (const std::bad_alloc&) {
      failure = folderOf_(address).string() + ": not enough memory to write the panel's files";
    } catch (const std::exception& e) {  // FileError and filesystem_error name the file
      failure = e.what();
    }
    lock.lock();
    if (failure) failure_ = std::move(failure);
  }
}

}  // namespace lumetra::panel
