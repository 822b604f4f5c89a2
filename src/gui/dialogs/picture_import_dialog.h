#pragma once
// How a picture becomes a panel's LEDs: its size (natural, the frame's
// height or inside the frame), the threshold of a one-colour panel, error
// diffusion, inverting; with a live preview at LED resolution in the
// document's colours, each LED a square, transparent parts off.

#include <QDialog>
#include <string>

#include "document/picture_import.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace lumetra::gui {

class PictureImportDialog : public QDialog {
  Q_OBJECT

 public:
  // `picture` outlives the dialog.
  PictureImportDialog(const RgbaPicture& picture, const std::string& name, int colourSet, CSize frame,
                      QWidget* parent);

  PictureReduction Reduction() const;

 private:
  void UpdatePreview();
  void ShowRefusal(const std::string& why);

  const RgbaPicture& picture_;
  std::string name_;
  int colourSet_;
  CSize frame_;
  QRadioButton* natural_ = nullptr;
  QRadioButton* fitHeight_ = nullptr;
  QRadioButton* fitFrame_ = nullptr;
  QSlider* threshold_ = nullptr;
  QCheckBox* dither_ = nullptr;
  QCheckBox* invert_ = nullptr;
  QLabel* preview_ = nullptr;
  QLabel* ledCount_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace lumetra::gui
