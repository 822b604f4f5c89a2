#pragma once
// Animated GIF files, written through giflib as the frames come: every frame
// of one size with its own delay, the animation looping forever. A frame equal
// to the one before only lengthens that one's delay; a frame that differs is
// stored as the box of pixels that changed, over the picture before it. The
// writer holds two frames: the one shown and the one waiting for its delay.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "platform/files.h"
#include "platform/gdi/bitmap.h"

namespace lumetra {

// GIF sides are 16-bit and delays 16-bit hundredths of a second.
inline constexpr int kMaxGifSide = 65535;
inline constexpr int kMaxGifDelay = 65535;
inline constexpr int kMaxGifColours = 256;

class GifAnimation {
 public:
  // Throws std::invalid_argument for a side outside 1..kMaxGifSide and
  // FileError when the file cannot be started. Nothing replaces `path`
  // before Finish().
  GifAnimation(const std::filesystem::path& path, int width, int height);
  ~GifAnimation();
  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;

  // A frame of the animation's size, shown for `delay` hundredths of a second
  // (1..kMaxGifDelay). Throws std::invalid_argument for another size, a delay
  // out of range or a changed box of more than kMaxGifColours colours, and
  // FileError when the file cannot be written.
  void AddFrame(Bitmap32 frame, int delay);
  // Writes the last frame and replaces the file; throws as AddFrame does.
  void Finish();

 private:
  struct Encoder;
  void WritePending();

  AtomicFile file_;
  std::unique_ptr<Encoder> encoder_;
  Bitmap32 shown_;    // what the frames written so far leave on the screen
  Bitmap32 pending_;  // the latest frame, not yet written
  int pendingDelay_ = 0;
};

}  // namespace lumetra
