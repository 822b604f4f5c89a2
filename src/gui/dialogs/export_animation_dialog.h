#pragma once
// "Export animation...": how much of the panel's show to export, how many
// pictures a second and how the LEDs look. The duration starts at one round
// of the show.

#include <QDialog>
#include <cstdint>

#include "render/animation.h"

class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

namespace lumetra::gui {

class ExportAnimationDialog : public QDialog {
  Q_OBJECT

 public:
  // `roundMs`: one round of the show, the duration offered first.
  ExportAnimationDialog(std::int64_t roundMs, QWidget* parent);

  AnimationOptions Options() const;

 private:
  QDoubleSpinBox* seconds_ = nullptr;
  QSpinBox* fps_ = nullptr;
  QRadioButton* squarePixels_ = nullptr;
  QRadioButton* roundLeds_ = nullptr;
  QSpinBox* ledSize_ = nullptr;
};

}  // namespace lumetra::gui
