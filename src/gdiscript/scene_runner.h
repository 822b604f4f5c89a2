#pragma once
// Runs drawing scripts in the scene language of our GDI reference tool on our
// own rasterizer, so any scene can be compared with the reference pixel for
// pixel: each scene starts from a fresh device context in GDI's default state,
// images are written as NAME.bmp (24-bit, bottom-up), query results go to the
// query stream in the reference's format.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/gdi/dc.h"

namespace lumetra {

class SceneRunner {
 public:
  SceneRunner(std::filesystem::path outDir, std::ostream& queries, std::ostream& diagnostics);
  ~SceneRunner();

  void RunLine(std::string_view line, int lineNumber);
  // Closes an open scene; call at the end of the script.
  void Finish();
  bool HadErrors() const { return errors_; }

 private:
  struct Scene;
  void Execute(std::string_view line);
  void CloseScene(bool warn);
  void Error(const std::string& message);

  std::filesystem::path outDir_;
  std::ostream& queries_;
  std::ostream& diagnostics_;
  std::unique_ptr<Scene> scene_;
  int lineNumber_ = 0;
  bool errors_ = false;
};

// 24-bit bottom-up BMP of the bitmap, written through a temporary file.
void WriteBmp24(const Bitmap32& bitmap, const std::filesystem::path& path);

}  // namespace lumetra
