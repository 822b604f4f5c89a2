#pragma once
// The Preview: the document's frames played the way a panel would show them,
// with a choice of effect. The animation itself is PreviewAnimation; this
// window runs its two timers and paints what it shows.

#include <QDialog>
#include <QRect>

#include "platform/gdi/bitmap.h"
#include "view/preview_animation.h"

class QComboBox;
class QTimer;

namespace lumetra::gui {

class CPreviewDlg : public QDialog {
  Q_OBJECT

 public:
  // `strip` holds the frames side by side, frameWidth × frames wide and
  // frameHeight high, and must outlive the dialog. Every LED is shown as
  // zoom × zoom screen pixels: the view's zoom, or the largest smaller one
  // at which the window fits the screen (at least 1).
  CPreviewDlg(const Bitmap32& strip, int frameWidth, int frameHeight, int frames, int zoom = 1,
              QWidget* parent = nullptr);

  const PreviewAnimation& Animation() const { return animation_; }

  // Closing the window, by its close box or Escape, stops the animation.
  void done(int result) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateEffectList();
  // Where the picture is painted, in window pixels.
  QRect PictureRect() const;

  void OnEffectChosen(int index);
  void OnTick();
  void OnPauseOver();

  const Bitmap32& strip_;
  const int zoom_;
  PreviewAnimation animation_;
  QComboBox* effectList_ = nullptr;
  QTimer* tickTimer_ = nullptr;
  QTimer* pauseTimer_ = nullptr;
};

}  // namespace lumetra::gui
