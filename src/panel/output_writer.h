#pragma once
// Writes the panels' files (panel/panel_output.h) on a thread of its own, so
// the line is answered while large pictures are written: a change of a panel
// is only noted, and the thread writes each changed panel's latest state
// once. A fleet of panels taking the largest picture thus answers in its
// reply slots, and the files follow.

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "render/panel_state.h"

namespace lumetra::panel {

class OutputWriter {
 public:
  // `copyState` gives a panel's state as it is now; it is called on the
  // writer's thread with `stateMutex` held, which whoever changes the states
  // holds while doing so.
  OutputWriter(std::function<PanelState(std::uint8_t)> copyState, std::mutex& stateMutex,
               std::function<std::filesystem::path(std::uint8_t)> folderOf, std::vector<std::int64_t> snapshotTimesMs);
  // Writes what is still pending, then ends the thread; Finish() first.
  ~OutputWriter();
  OutputWriter(const OutputWriter&) = delete;
  OutputWriter& operator=(const OutputWriter&) = delete;

  void Changed(std::uint8_t address);
  // Writes what is still pending and ends the thread; changes noted later
  // are not written.
  void Finish();
  // The first failure to write, naming the file; the writer stops there.
  std::optional<std::string> Failure() const;

 private:
  void Run();

  std::function<PanelState(std::uint8_t)> copyState_;
  std::mutex& stateMutex_;
  std::function<std::filesystem::path(std::uint8_t)> folderOf_;
  std::vector<std::int64_t> snapshotTimesMs_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::set<std::uint8_t> pending_;
  bool stopping_ = false;
  std::optional<std::string> failure_;
  std::thread thread_;
};

}  // namespace lumetra::panel
