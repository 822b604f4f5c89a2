#pragma once
// "Export animation...": how much of the panel's show to export, how many
// pictures a second and how the LEDs look. The duration starts at one round
// of the show (at most a minute); OK takes only options the export can meet.

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
  // `show` outlives the dialog.
  ExportAnimationDialog(const PanelState& show, QWidget* parent);

  AnimationOptions Options() const;

  void accept() override;

 private:
  QDoubleSpinBox* seconds_ = nullptr;
  QSpinBox* fps_ = nullptr;
  QRadioButton* squarePixels_ = nullptr;
  QRadioButton* roundLeds_ = nullptr;
  QSpinBox* ledSize_ = nullptr;
  const PanelState& show_;
};

}  // namespace lumetra::gui
