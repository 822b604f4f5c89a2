#pragma once
// The floating property box and its style page: pen, brush and background of
// the units drawn next, and of the unit the user picked.

#include <QDialog>
#include <array>
#include <cstdint>

#include "view/style_page.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QGridLayout;
class QLineEdit;
class QTabWidget;
class QToolButton;

namespace lumetra::gui {

// The "Style" page. Every user edit lands in Values() at once and is
// announced by styleChanged().
class CDLineDlg1 : public QWidget {
  Q_OBJECT

 public:
  // colourSet: the colours the panel can show (see AdaptColours).
  explicit CDLineDlg1(int colourSet, QWidget* parent = nullptr);

  StylePageValues& Values() { return values_; }
  const StylePageValues& Values() const { return values_; }

  // The values changed underneath (a unit was picked): shows them.
  void ShowValues();
  // Offers only the swatches of colour set 0 (black, green, yellow, red),
  // 1 (black, yellow, blue, white) or 2 (black, red) and resets the colours
  // to that set's defaults; other sets leave everything as it is.
  void AdaptColours(int colourSet);
  // Checks the pen, brush and hatch buttons of the current styles; the hatch
  // buttons are usable only with a hatched brush.
  void SyncStyleButtons();
  // Fills the background mode list in the current language.
  void FillModeList();

 signals:
  void styleChanged();

 private:
  // The preview and the swatches of the pen, brush or background colour.
  struct ColourRow {
    QFrame* preview = nullptr;
    std::array<QToolButton*, 6> swatches{};
  };

  QWidget* CreatePenGroup();
  QWidget* CreateBrushGroup();
  QWidget* CreateBackgroundGroup();
  void AddColourRow(QGridLayout* grid, int gridRow, int row);
  // A click on one of the buttons sets `style` to the button's id.
  void ConnectStyleButtons(QButtonGroup* buttons, std::int32_t StylePageValues::*style);

  // The width in the edit; a refused width warns and keeps the old one.
  bool TakeWidth();
  void ShowColours();
  void Notify();

  void OnWidthEdited();
  void StepWidth(int delta);
  void OnModeChosen(int index);

  StylePageValues values_;
  QButtonGroup* penButtons_ = nullptr;
  QButtonGroup* brushButtons_ = nullptr;
  QButtonGroup* hatchButtons_ = nullptr;
  QLineEdit* widthEdit_ = nullptr;
  QComboBox* modeList_ = nullptr;
  std::array<ColourRow, 3> colourRows_;
};

// The property box: a tool window beside the canvas holding the style page.
// Closing it only hides it.
class CDLineProperty : public QDialog {
  Q_OBJECT

 public:
  CDLineProperty(int colourSet, QWidget* parent);

  CDLineDlg1& StylePage() { return *page_; }

  // Takes on the texts of the current language.
  void Retranslate();

 private:
  QTabWidget* tabs_ = nullptr;
  CDLineDlg1* page_ = nullptr;
};

}  // namespace lumetra::gui
