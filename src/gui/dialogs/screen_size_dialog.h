#pragma once
// "Screen Size Set": the panel's colour set, its length and height in words
// of 16 LEDs and the number of frames (screens) stacked on the canvas. OK
// closes the dialog only with values the panel can take.

#include <QDialog>
#include <QMessageBox>

#include "view/screen_size_rules.h"

class QButtonGroup;
class QLineEdit;

namespace lumetra::gui {

class CScreenSizeDlg : public QDialog {
  Q_OBJECT

 public:
  CScreenSizeDlg(ScreenSizeValues values, QWidget* parent);

  // The values shown at the start; after OK the ones accepted.
  const ScreenSizeValues& Values() const { return values_; }

  // Closes with OK when the edits hold valid values; otherwise says why and
  // puts the focus into the edit at fault.
  void accept() override;

 protected:
  // A modal message box with an OK button; tests record it instead.
  virtual void Inform(QMessageBox::Icon icon, const QString& caption, const QString& text);

 private:
  QWidget* CreateColourGroup();
  QWidget* CreateSizeGroup();
  QLineEdit* NewEdit(int id, std::int32_t value, bool digitsOnly);
  QLineEdit* EditOf(ScreenSizeField field) const;
  void Refuse(const ScreenSizeRefusal& refusal);

  ScreenSizeValues values_;
  QButtonGroup* colourButtons_ = nullptr;
  QLineEdit* lengthEdit_ = nullptr;
  QLineEdit* heightEdit_ = nullptr;
  QLineEdit* framesEdit_ = nullptr;
};

}  // namespace lumetra::gui
