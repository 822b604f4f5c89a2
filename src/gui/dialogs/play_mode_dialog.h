#pragma once
// "Display Mode Settings" (178): the document's play-mode rows. Rows 1..3
// have controls; rows 4..6 live only in the data, where the row rule ticks
// and unticks them like the others.

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

#include "document/play_mode_set.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace lumetra::gui {

class CPlayModeDlg : public QDialog {
  Q_OBJECT

 public:
  // Runs the send (the transfer of the parameters) after "Apply...".
  using ApplyHandler = std::function<void(CPlayModeSet&)>;

  // Edits `modes` of a document of `maximumFrame` frames, which becomes its
  // m_nMaxFrame at once; the other values reach `modes` only through "Ok"
  // and "Apply...".
  CPlayModeDlg(CPlayModeSet& modes, int maximumFrame, QWidget* parent = nullptr);

  // "Apply..." hands the corrected values to it; without one, Apply stops
  // once the values are taken, corrected and shown.
  void SetApplyHandler(ApplyHandler apply) { apply_ = std::move(apply); }
  // Shows a range warning; a message box with the application's title unless replaced (tests).
  void SetMessageHandler(std::function<void(const QString&)> show) { showMessage_ = std::move(show); }

  // "Ok": takes the values and closes; stays open when a value is refused.
  void accept() override;
  // Whether "Apply..." took the values at least once.
  bool AppliedAny() const { return appliedAny_; }

 private:
  struct Row {
    QCheckBox* enable = nullptr;
    QLineEdit* start = nullptr;
    QLineEdit* end = nullptr;
    QComboBox* mode = nullptr;
    QComboBox* speed = nullptr;
    QLineEdit* delay = nullptr;
  };

  void AddHeads(QGridLayout* grid);
  void AddRow(QGridLayout* grid, int index);
  QWidget* CreateButtons();

  // A click on the box of row `row` (1-based).
  void OnEnableClicked(int row, bool ticked);
  // The controls show shown_: values, ticks, and which rows can be edited.
  void ShowValues();
  void ShowRowStates();
  // All or nothing: the values reach `modes` only when every number passes its range check.
  bool TakeValues();
  bool TakeNumber(QLineEdit* edit, std::int32_t lo, std::int32_t hi, std::int32_t& value);
  void Apply();

  CPlayModeSet& modes_;
  // What the controls show, with the ticks of rows 4..6 that have no box.
  CPlayModeSet shown_;
  std::array<Row, CPlayModeSet::kEditableRows> rows_;
  ApplyHandler apply_;
  std::function<void(const QString&)> showMessage_;
  bool appliedAny_ = false;
};

}  // namespace lumetra::gui
