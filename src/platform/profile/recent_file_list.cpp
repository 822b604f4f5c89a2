#include "platform/profile/recent_file_list.h"

#include <algorithm>

#include "platform/profile/settings_store.h"

namespace lumetra {
namespace {

constexpr std::string_view kSection = "Recent File List";

std::string KeyOf(std::size_t i) { return "File" + std::to_string(i + 1); }

}  // namespace

RecentFileList::RecentFileList(SettingsStore& store, std::size_t capacity) : store_(store), capacity_(capacity) {
  for (std::size_t i = 0; i < capacity_; ++i) {
    std::string path = store_.GetProfileString(kSection, KeyOf(i), "");
    if (!path.empty() && std::find(files_.begin(), files_.end(), path) == files_.end()) files_.push_back(path);
  }
}

void RecentFileList::Add(const std::string& path) {
  std::erase(files_, path);
  files_.insert(files_.begin(), path);
  if (files_.size() > capacity_) files_.resize(capacity_);
  Save();
}

void RecentFileList::Remove(const std::string& path) {
  std::erase(files_, path);
  Save();
}

void RecentFileList::Save() {
  for (std::size_t i = 0; i < capacity_; ++i) {
    store_.WriteProfileString(kSection, KeyOf(i), i < files_.size() ? files_[i] : "");
  }
}

}  // namespace lumetra
