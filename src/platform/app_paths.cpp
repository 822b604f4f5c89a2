#include "platform/app_paths.h"

#include <filesystem>
#include <system_error>

namespace lumetra {

std::string g_strAppFolder;
std::string g_strSettingsFile;

std::string AppFolderFromExecutable(std::string_view executablePath) {
  std::size_t cut = executablePath.find_last_of('/');
  if (cut == std::string_view::npos) return {};
  return std::string(executablePath.substr(0, cut + 1));
}

bool InitAppPaths() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return false;
  g_strAppFolder = AppFolderFromExecutable(exe.string());
  g_strSettingsFile = g_strAppFolder + "setting.ini";
  return true;
}

}  // namespace lumetra
