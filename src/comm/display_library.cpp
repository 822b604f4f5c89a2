#include "comm/display_library.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/app_paths.h"

namespace lumetra {

namespace {

class SharedLibrary : public DisplayLibrary {
 public:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  ~SharedLibrary() override { dlclose(handle_); }
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  void* Find(const char* exportName) const override { return dlsym(handle_, exportName); }

 private:
  void* handle_;
};

}  // namespace

// A bare name makes dlopen search the system's library path, which does not
// hold the current folder; the program's own folder is tried first by absolute path.
std::unique_ptr<DisplayLibrary> LoadDisplayLibrary(const std::string& fileName) {
  if (fileName.empty() || fileName.find('/') != std::string::npos) return nullptr;
  void* handle = nullptr;
  if (!g_strAppFolder.empty()) {
    const std::filesystem::path besideProgram = std::filesystem::path(g_strAppFolder) / fileName;
    handle = dlopen(besideProgram.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (!handle) handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::make_unique<SharedLibrary>(handle);
}

}  // namespace lumetra
