#include "view/preview_animation.h"

#include <algorithm>
#include <cstdlib>

namespace lumetra {
namespace {

// Where moving right starts over once frame 1 has been held in full view.
constexpr std::int32_t kMoveRightRestart = -256;
// The wipe reveals and covers this many columns a tick.
constexpr std::int32_t kWipeStep = 2;

}  // namespace

void PreviewAnimation::ApplySelection(std::int32_t effect) {
  m_nEffect = effect;
  switch (effect) {
    case kPreviewMoveRight:
      m_nOffset = -(m_nFrameCount - 1) * m_nFrameWidth;
      break;
    case kPreviewWipe:
      m_nCover = 0;
      m_nCoverPhase = 0;
      [[fallthrough]];
    case kPreviewMoveLeft:
    case kPreviewPageTurning:
      m_nOffset = 0;
      break;
  }
  m_bRestartAfterPause = false;
  m_bRunning = true;
}

PreviewTick PreviewAnimation::Tick() {
  if (!m_bRunning || m_nFrameWidth <= 0) return PreviewTick::Idle;
  switch (m_nEffect) {
    case kPreviewMoveLeft:
      MoveLeft();
      break;
    case kPreviewMoveRight:
      MoveRight();
      break;
    case kPreviewPageTurning:
      TurnPage();
      break;
    case kPreviewWipe:
      Wipe();
      break;
  }
  return m_bRunning ? PreviewTick::Advanced : PreviewTick::PauseStarted;
}

void PreviewAnimation::EndPause() {
  m_bRunning = true;
  if (m_bRestartAfterPause) {
    m_bRestartAfterPause = false;
    m_nOffset = kMoveRightRestart + 1;  // the rest of the tick that began the wait
  }
}

void PreviewAnimation::MoveLeft() {
  if (AtFrameEdge()) Pause();
  if (m_nFrameCount == 1 || std::abs(m_nOffset) >= m_nFrameCount * m_nFrameWidth) m_nOffset = 0;
  --m_nOffset;
}

void PreviewAnimation::MoveRight() {
  if (AtFrameEdge()) Pause();
  if (m_nOffset >= m_nFrameWidth) m_nOffset = -(m_nFrameCount - 1) * m_nFrameWidth;
  if (m_nOffset == 0) {
    Pause();
    m_bRestartAfterPause = true;
    return;
  }
  ++m_nOffset;
}

void PreviewAnimation::TurnPage() {
  if (AtFrameEdge()) Pause();
  m_nOffset = std::abs(m_nOffset) < (m_nFrameCount - 1) * m_nFrameWidth ? m_nOffset - m_nFrameWidth : 0;
}

void PreviewAnimation::Wipe() {
  if (std::abs(m_nOffset) >= m_nFrameCount * m_nFrameWidth) {
    m_nOffset = 0;
    m_nCover = 0;
  } else if (m_nCoverPhase == 0) {
    m_nCover += kWipeStep;
    if (m_nCover >= m_nFrameWidth) {
      m_nCoverPhase = 1;
      Pause();
    }
  } else {
    m_nCover -= kWipeStep;
    if (m_nCover < 1) {
      m_nCoverPhase = 0;
      m_nOffset -= m_nFrameWidth;
    }
  }
}

Bitmap32 PreviewAnimation::Picture(const Bitmap32& strip) const {
  Bitmap32 picture(m_nFrameWidth, m_nFrameHeight);
  const std::int32_t shown = m_nEffect == kPreviewWipe ? m_nCover : m_nFrameWidth;
  const std::int32_t left = std::max(0, m_nOffset);
  const std::int32_t right = std::min({picture.Width(), shown, strip.Width() + m_nOffset});
  if (left >= right) return picture;
  const int rows = std::min(picture.Height(), strip.Height());
  for (int y = 0; y < rows; ++y) {
    std::copy(strip.Row(y) + (left - m_nOffset), strip.Row(y) + (right - m_nOffset), picture.Row(y) + left);
  }
  return picture;
}

}  // namespace lumetra
