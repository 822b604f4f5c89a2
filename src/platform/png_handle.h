#pragma once
// A libpng read or write handle, for the PNG reader and writer. libpng
// reports an error by a longjmp back to where its caller set a jump target,
// skipping every frame in between without running destructors. Run() keeps
// that jump inside itself: it sets the target and calls a step, a plain
// function that makes libpng calls and owns nothing that needs destroying; an
// error ends the step and comes back as false, with libpng's words in Error().
// Warnings are dropped.

#include <png.h>

namespace lumetra {

class PngHandle {
 public:
  enum class Mode { kRead, kWrite };
  using Step = void (*)(png_structp png, png_infop info, void* argument);

  // Throws std::bad_alloc when libpng cannot make the handle.
  explicit PngHandle(Mode mode);
  ~PngHandle();
  PngHandle(const PngHandle&) = delete;
  PngHandle& operator=(const PngHandle&) = delete;

  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

  // step(png(), info(), argument); false when libpng reported an error.
  bool Run(Step step, void* argument);
  const char* Error() const { return error_; }

 private:
  void Destroy();
  static void OnError(png_structp png, png_const_charp message);
  static void OnWarning(png_structp png, png_const_charp message);

  Mode mode_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  char error_[160] = "";
};

}  // namespace lumetra
