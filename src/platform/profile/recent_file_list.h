#pragma once
// The most recently used documents, newest first, kept in the settings store
// (section "Recent File List", keys "File1".."FileN").

#include <string>
#include <vector>

namespace lumetra {

class SettingsStore;

class RecentFileList {
 public:
  RecentFileList(SettingsStore& store, std::size_t capacity);

  const std::vector<std::string>& Files() const { return files_; }

  // Moves the path to the front (adding it if new) and saves the list.
  void Add(const std::string& path);
  // Forgets a file that could not be opened, and saves the list.
  void Remove(const std::string& path);

 private:
  void Save();

  SettingsStore& store_;
  std::size_t capacity_;
  std::vector<std::string> files_;
};

}  // namespace lumetra
