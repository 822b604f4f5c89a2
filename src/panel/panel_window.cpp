#include "panel/panel_window.h"

#include <QPainter>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <iterator>

#include "render/playback.h"

namespace lumetra::panel {
namespace {

const QString kTitle = QStringLiteral("Lumetra panel");
// Unlit LEDs stay faintly visible, so the matrix shows on black.
constexpr std::uint32_t kUnlitPixel = PixelFromColor(0x00303030);
constexpr std::uint32_t kOpaque = 0xFF000000;
// Samples per pixel each way when measuring how much of it a dot covers.
constexpr int kSamples = 4;

// The dot's circle leaves a dark gap of one pixel between neighbours.
std::vector<std::uint8_t> DotCoverage(int size) {
  const double centre = size / 2.0;
  const double radius = (size - 1) / 2.0;
  std::vector<std::uint8_t> coverage;
  coverage.reserve(std::size_t(size) * std::size_t(size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int inside = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double dx = x + (sx + 0.5) / kSamples - centre;
          const double dy = y + (sy + 0.5) / kSamples - centre;
          inside += dx * dx + dy * dy <= radius * radius;
        }
      }
      coverage.push_back(std::uint8_t(inside * 255 / (kSamples * kSamples)));
    }
  }
  return coverage;
}

// `pixel` (0x00RRGGBB) at `coverage` / 255 of its brightness, over black.
std::uint32_t Dimmed(std::uint32_t pixel, std::uint8_t coverage) {
  std::uint32_t result = kOpaque;
  for (const int shift : {0, 8, 16}) result |= ((pixel >> shift & 0xFF) * coverage / 255) << shift;
  return result;
}

}  // namespace

PanelWindow::PanelWindow(int ledSize, QWidget* parent)
    : QWidget(parent), ledSize_(std::max(ledSize, kMinLedSize)), coverage_(DotCoverage(ledSize_)) {
  setWindowTitle(kTitle);
  frameTimer_ = new QTimer(this);
  frameTimer_->setInterval(kFrameMs);
  connect(frameTimer_, &QTimer::timeout, this, [this] { ShowMoment(nowMs_() - showStartMs_); });
  monotonic_.start();
  nowMs_ = [this] { return monotonic_.elapsed(); };
  ShowState(PanelState{});
}

void PanelWindow::ShowState(const PanelState& state) {
  state_ = state;
  showStartMs_ = nowMs_();
  ShowMoment(0);
  frameTimer_->start();
}

void PanelWindow::SetAddresses(const std::vector<std::uint8_t>& addresses) {
  QStringList numbers;
  for (const std::uint8_t address : addresses) numbers << QString::number(address);
  setWindowTitle(numbers.isEmpty() ? kTitle : kTitle + ' ' + numbers.join(QStringLiteral(", ")));
}

void PanelWindow::ShowMoment(std::int64_t elapsedMs) {
  Bitmap32 frame = RenderPanelFrame(state_, elapsedMs);
  const bool sameSize = frame.Width() == frame_.Width() && frame.Height() == frame_.Height();
  if (sameSize && frame.Pixels() == frame_.Pixels()) return;
  frame_ = std::move(frame);
  if (!sameSize) {
    image_ = QImage(frame_.Width() * ledSize_, frame_.Height() * ledSize_, QImage::Format_RGB32);
    setFixedSize(image_.size());
  }
  DrawDots();
  update();
}

void PanelWindow::DrawDots() {
  std::vector<const std::uint32_t*> dots(std::size_t(frame_.Width()));
  for (int y = 0; y < frame_.Height(); ++y) {
    for (int x = 0; x < frame_.Width(); ++x) dots[std::size_t(x)] = Dot(frame_.At(x, y)).data();
    for (int dy = 0; dy < ledSize_; ++dy) {
      auto* line = reinterpret_cast<std::uint32_t*>(image_.scanLine(y * ledSize_ + dy));
      for (const std::uint32_t* dot : dots) line = std::copy_n(dot + dy * ledSize_, ledSize_, line);
    }
  }
}

const std::vector<std::uint32_t>& PanelWindow::Dot(std::uint32_t pixel) {
  auto [entry, added] = dots_.try_emplace(pixel);
  if (added) {
    const std::uint32_t colour = pixel == 0 ? kUnlitPixel : pixel;
    std::ranges::transform(coverage_, std::back_inserter(entry->second),
                           [colour](std::uint8_t covered) { return Dimmed(colour, covered); });
  }
  return entry->second;
}

void PanelWindow::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, image_); }

}  // namespace lumetra::panel
