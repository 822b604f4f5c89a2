#include "gui/dialogs/timer_option_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_translation.h"
#include "view/clock_option_lists.h"

namespace lumetra::gui {
namespace {

constexpr int kTimerOptionDialog = 192;
constexpr int kNoticeId = 1172;
constexpr int kStyleLabelId = 1173;
constexpr int kColourLabelId = 1174;
constexpr int kAlignLabelId = 1175;
constexpr int kStyleListId = 1121;
constexpr int kColourListId = 1123;
constexpr int kAlignListId = 1124;
constexpr int kOkId = 1;
constexpr int kCancelId = 2;

}  // namespace

CTimerOptionDlg::CTimerOptionDlg(ClockOptions options, QWidget* parent) : QDialog(parent), options_(options) {
  setWindowTitle(QStringLiteral("Timer Option"));
  const ClockColourList colours = ClockColourKeys(options_.colourSet);
  options_.colourSet = colours.colourSet;
  styleList_ = NewList(kStyleListId, ClockStyleKeys(), options_.style);
  colourList_ = NewList(kColourListId, colours.keys, options_.colour);
  alignList_ = NewList(kAlignListId, ClockAlignKeys(), options_.align);

  auto* grid = new QGridLayout;
  grid->addWidget(NewLabel(kStyleLabelId, "Style"), 0, 0);
  grid->addWidget(styleList_, 0, 1);
  grid->addWidget(NewLabel(kColourLabelId, "Color"), 1, 0);
  grid->addWidget(colourList_, 1, 1);
  grid->addWidget(NewLabel(kAlignLabelId, "Align"), 2, 0);
  grid->addWidget(alignList_, 2, 1);
  grid->setColumnStretch(1, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  SetControlId(buttons->button(QDialogButtonBox::Ok), kOkId);
  SetControlId(buttons->button(QDialogButtonBox::Cancel), kCancelId);
  connect(buttons, &QDialogButtonBox::accepted, this, &CTimerOptionDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CTimerOptionDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(NewLabel(kNoticeId, "Only one timer allowed on a panel display."));
  layout->addLayout(grid);
  layout->addWidget(buttons);

  TranslateDialog(this, kTimerOptionDialog);
}

QComboBox* CTimerOptionDlg::NewList(int id, std::span<const int> keys, int index) {
  auto* list = new QComboBox;
  SetControlId(list, id);
  for (const int key : keys) list->addItem(Text(key));
  // An index outside the list selects nothing.
  list->setCurrentIndex(index);
  return list;
}

void CTimerOptionDlg::accept() {
  options_.style = styleList_->currentIndex();
  options_.colour = colourList_->currentIndex();
  options_.align = alignList_->currentIndex();
  QDialog::accept();
}

}  // namespace lumetra::gui
