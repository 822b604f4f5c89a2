#include "platform/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lumetra {
namespace {

constexpr int kColourResolution = 8;
constexpr std::array<GifByteType, 11> kLoopApplication = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
constexpr std::array<GifByteType, 3> kLoopForever = {1, 0, 0};  // sub-block 1, repeat count 0

// The box of pixels where `frame` differs from `before`; the whole frame
// when `before` is empty, and an empty box when nothing differs.
CRect ChangedBox(const Bitmap32& before, const Bitmap32& frame) {
  if (before.Width() == 0) return {0, 0, frame.Width(), frame.Height()};
  CRect box;
  for (int y = 0; y < frame.Height(); ++y) {
    const std::uint32_t* a = before.Row(y);
    const std::uint32_t* b = frame.Row(y);
    const auto [first, _] = std::mismatch(a, a + frame.Width(), b);
    if (first == a + frame.Width()) continue;
    int last = frame.Width() - 1;
    while (a[last] == b[last]) --last;
    box = box.Union({std::int32_t(first - a), y, last + 1, y + 1});
  }
  return box;
}

}  // namespace

struct GifAnimation::Encoder {
  GifFileType* gif = nullptr;
  AtomicFile* file = nullptr;
  std::string failure;  // what the last write to the file threw

  static int Output(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* self = static_cast<Encoder*>(gif->UserData);
    try {
      self->file->Write(std::span(bytes, std::size_t(count)));
      return count;
    } catch (const FileError& e) {
      self->failure = e.what();
      return 0;
    }
  }

  [[noreturn]] void Fail(const std::filesystem::path& path, int error) {
    if (!failure.empty()) throw FileError(failure);
    const char* reason = GifErrorString(error);
    throw FileError(path.string() + ": cannot write the GIF: " + (reason ? reason : "unknown error"));
  }
};

GifAnimation::GifAnimation(const std::filesystem::path& path, int width, int height)
    : path_(path), file_(path), encoder_(std::make_unique<Encoder>()) {
  if (width < 1 || height < 1 || width > kMaxGifSide || height > kMaxGifSide) {
    throw std::invalid_argument("a GIF is 1 to " + std::to_string(kMaxGifSide) + " pixels each way, not " +
                                std::to_string(width) + " x " + std::to_string(height));
  }
  encoder_->file = &file_;
  int error = 0;
  encoder_->gif = EGifOpen(encoder_.get(), &Encoder::Output, &error);
  if (!encoder_->gif) encoder_->Fail(path_, error);
  EGifSetGifVersion(encoder_->gif, true);
  if (EGifPutScreenDesc(encoder_->gif, width, height, kColourResolution, 0, nullptr) == GIF_ERROR ||
      EGifPutExtensionLeader(encoder_->gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(encoder_->gif, int(kLoopApplication.size()), kLoopApplication.data()) == GIF_ERROR ||
      EGifPutExtensionBlock(encoder_->gif, int(kLoopForever.size()), kLoopForever.data()) == GIF_ERROR ||
      EGifPutExtensionTrailer(encoder_->gif) == GIF_ERROR) {
    encoder_->Fail(path_, encoder_->gif->Error);
  }
  shown_ = Bitmap32();
  pending_ = Bitmap32(width, height);
}

GifAnimation::~GifAnimation() {
  if (encoder_->gif) EGifCloseFile(encoder_->gif, nullptr);
}

void GifAnimation::AddFrame(const Bitmap32& frame, int delay) {
  if (frame.Width() != pending_.Width() || frame.Height() != pending_.Height()) {
    throw std::invalid_argument("every frame of a GIF has the animation's size");
  }
  if (delay < 1) throw std::invalid_argument("a GIF frame is shown for at least a hundredth of a second");
  if (pendingDelay_ > 0 && frame.Pixels() == pending_.Pixels() && pendingDelay_ <= kMaxGifDelay - delay) {
    pendingDelay_ += delay;
    return;
  }
  if (pendingDelay_ > 0) WritePending();
  pending_ = frame;
  pendingDelay_ = delay;
}

void GifAnimation::Finish() {
  if (pendingDelay_ > 0) WritePending();
  GifFileType* gif = std::exchange(encoder_->gif, nullptr);
  int error = 0;
  if (EGifCloseFile(gif, &error) == GIF_ERROR) encoder_->Fail(path_, error);
  file_.Commit();
}

void GifAnimation::WritePending() {
  GifFileType* gif = encoder_->gif;
  if (!gif) throw std::logic_error("GifAnimation: frame after Finish");
  CRect box = ChangedBox(shown_, pending_);
  // A repeat of what is shown that could not lengthen its delay any more
  // still needs a frame of its own: one pixel, unchanged.
  if (box.IsEmpty()) box = {0, 0, 1, 1};

  std::unordered_map<std::uint32_t, GifPixelType> index;
  std::vector<GifColorType> colours;
  std::vector<GifPixelType> line(std::size_t(box.Width()));
  std::vector<GifPixelType> indices;
  indices.reserve(std::size_t(box.Width()) * std::size_t(box.Height()));
  for (int y = box.top; y < box.bottom; ++y) {
    const std::uint32_t* row = pending_.Row(y);
    for (int x = box.left; x < box.right; ++x) {
      const std::uint32_t pixel = row[x] & 0xFFFFFF;
      auto [entry, added] = index.try_emplace(pixel, GifPixelType(colours.size()));
      if (added) {
        if (colours.size() == kMaxGifColours) {
          throw std::invalid_argument("a GIF frame holds at most " + std::to_string(kMaxGifColours) + " colours");
        }
        colours.push_back({GifByteType(pixel >> 16), GifByteType(pixel >> 8), GifByteType(pixel)});
      }
      indices.push_back(entry->second);
    }
  }
  // A colour map has a power of two entries, at least two.
  int mapSize = 2;
  while (mapSize < int(colours.size())) mapSize *= 2;
  colours.resize(std::size_t(mapSize));
  ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
  if (!map) throw std::bad_alloc();

  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.DelayTime = pendingDelay_;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const std::size_t extensionBytes = EGifGCBToExtension(&control, extension);
  bool written = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(extensionBytes), extension) != GIF_ERROR &&
                 EGifPutImageDesc(gif, box.left, box.top, box.Width(), box.Height(), false, map) != GIF_ERROR;
  GifFreeMapObject(map);
  for (int y = 0; written && y < box.Height(); ++y) {
    written = EGifPutLine(gif, indices.data() + std::size_t(y) * std::size_t(box.Width()), box.Width()) != GIF_ERROR;
  }
  if (!written) encoder_->Fail(path_, gif->Error);
  if (shown_.Width() == 0) {
    shown_ = pending_;
  } else {
    for (int y = box.top; y < box.bottom; ++y) {
      std::copy(pending_.Row(y) + box.left, pending_.Row(y) + box.right, shown_.Row(y) + box.left);
    }
  }
  pendingDelay_ = 0;
  ++framesWritten_;
}

}  // namespace lumetra
