#pragma once
// "Timer Option": the format, colour and alignment of the panel's clock.
// The colour list offers the colours of the document's colour set.

#include <QDialog>
#include <span>

#include "view/view_host.h"

class QComboBox;

namespace lumetra::gui {

class CTimerOptionDlg : public QDialog {
  Q_OBJECT

 public:
  // An option outside its list selects nothing; a colour set the panel does
  // not know shows the colours of set 0 and becomes set 0.
  explicit CTimerOptionDlg(ClockOptions options, QWidget* parent = nullptr);

  // The options shown at the start; after OK the three selections, -1 for a
  // list with nothing selected.
  const ClockOptions& Values() const { return options_; }

  void accept() override;

 private:
  QComboBox* NewList(int id, std::span<const int> keys, int index);

  ClockOptions options_;
  QComboBox* styleList_ = nullptr;
  QComboBox* colourList_ = nullptr;
  QComboBox* alignList_ = nullptr;
};

}  // namespace lumetra::gui
