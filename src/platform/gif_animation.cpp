#include "platform/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <exception>
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

// giflib's handle and its output: the bytes are gathered into blocks for the
// file, and the first failure of the file is kept, since giflib goes on
// writing after a failed write and does not always say so.
struct GifAnimation::Encoder {
  static constexpr std::size_t kBlockBytes = 64 * 1024;

  Encoder(const std::filesystem::path& target, AtomicFile& output) : path(target), file(output) {
    int error = 0;
    gif = EGifOpen(this, &Encoder::Output, &error);
    if (!gif) Fail(error);
  }
  ~Encoder() {
    if (gif) EGifCloseFile(gif, nullptr);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  static int Output(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* self = static_cast<Encoder*>(gif->UserData);
    if (self->failure) return 0;
    try {
      self->block.insert(self->block.end(), bytes, bytes + count);
      if (self->block.size() >= kBlockBytes) self->Flush();
      return count;
    } catch (...) {
      self->failure = std::current_exception();
      return 0;
    }
  }

  void Flush() {
    file.Write(block);
    block.clear();
  }

  // Throws the file's failure, if there was one.
  void Check() const {
    if (failure) std::rethrow_exception(failure);
  }
  // After giflib reported `error`: the file's failure, else giflib's reason.
  [[noreturn]] void Fail(int error) const {
    Check();
    const char* reason = GifErrorString(error);
    throw FileError(path.string() + ": cannot write the GIF: " + (reason ? reason : "unknown error"));
  }

  // Closes the handle and writes what is left; throws on any failure.
  void Close() {
    int error = 0;
    if (EGifCloseFile(std::exchange(gif, nullptr), &error) == GIF_ERROR) Fail(error);
    Check();
    Flush();
  }

  const std::filesystem::path path;
  AtomicFile& file;
  GifFileType* gif = nullptr;
  std::vector<GifByteType> block;
  std::exception_ptr failure;
};

GifAnimation::GifAnimation(const std::filesystem::path& path, int width, int height) : file_(path) {
  if (width < 1 || height < 1 || width > kMaxGifSide || height > kMaxGifSide) {
    throw std::invalid_argument("a GIF is 1 to " + std::to_string(kMaxGifSide) + " pixels each way, not " +
                                std::to_string(width) + " x " + std::to_string(height));
  }
  encoder_ = std::make_unique<Encoder>(path, file_);
  GifFileType* gif = encoder_->gif;
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, width, height, kColourResolution, 0, nullptr) == GIF_ERROR ||
      EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, int(kLoopApplication.size()), kLoopApplication.data()) == GIF_ERROR ||
      EGifPutExtensionBlock(gif, int(kLoopForever.size()), kLoopForever.data()) == GIF_ERROR ||
      EGifPutExtensionTrailer(gif) == GIF_ERROR) {
    encoder_->Fail(gif->Error);
  }
  encoder_->Check();
  pending_ = Bitmap32(width, height);
}

GifAnimation::~GifAnimation() = default;

void GifAnimation::AddFrame(Bitmap32 frame, int delay) {
  if (frame.Width() != pending_.Width() || frame.Height() != pending_.Height()) {
    throw std::invalid_argument("every frame of a GIF has the animation's size");
  }
  if (delay < 1 || delay > kMaxGifDelay) {
    throw std::invalid_argument("a GIF frame is shown for 1 to " + std::to_string(kMaxGifDelay) +
                                " hundredths of a second, not " + std::to_string(delay));
  }
  if (pendingDelay_ > 0 && frame.Pixels() == pending_.Pixels() && pendingDelay_ <= kMaxGifDelay - delay) {
    pendingDelay_ += delay;
    return;
  }
  if (pendingDelay_ > 0) WritePending();
  pending_ = std::move(frame);
  pendingDelay_ = delay;
}

void GifAnimation::Finish() {
  if (!encoder_->gif) throw std::logic_error("GifAnimation: finished twice");
  if (pendingDelay_ > 0) WritePending();
  encoder_->Close();
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
  // Neighbours mostly share a colour: the last one found is tried first.
  std::uint32_t lastPixel = 0;
  GifPixelType lastIndex = 0;
  bool haveLast = false;
  std::vector<GifPixelType> line(std::size_t(box.Width()));
  std::vector<GifPixelType> indices;
  indices.reserve(std::size_t(box.Width()) * std::size_t(box.Height()));
  for (int y = box.top; y < box.bottom; ++y) {
    const std::uint32_t* row = pending_.Row(y);
    for (int x = box.left; x < box.right; ++x) {
      const std::uint32_t pixel = row[x] & 0xFFFFFF;
      if (!haveLast || pixel != lastPixel) {
        auto [entry, added] = index.try_emplace(pixel, GifPixelType(colours.size()));
        if (added) {
          if (colours.size() == kMaxGifColours) {
            throw std::invalid_argument("a GIF frame holds at most " + std::to_string(kMaxGifColours) + " colours");
          }
          colours.push_back({GifByteType(pixel >> 16), GifByteType(pixel >> 8), GifByteType(pixel)});
        }
        lastPixel = pixel;
        lastIndex = entry->second;
        haveLast = true;
      }
      indices.push_back(lastIndex);
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
  if (!written) encoder_->Fail(gif->Error);
  encoder_->Check();
  if (shown_.Width() == 0) {
    shown_ = pending_;  // the next frame is compared with both
  } else {
    for (int y = box.top; y < box.bottom; ++y) {
      std::copy(pending_.Row(y) + box.left, pending_.Row(y) + box.right, shown_.Row(y) + box.left);
    }
  }
  pendingDelay_ = 0;
}

}  // namespace lumetra
