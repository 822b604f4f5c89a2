#include "gui/dialogs/play_mode_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>

#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"
#include "lang/text_keys.h"
#include "platform/text_fields.h"

namespace lumetra::gui {
namespace {

constexpr int kDialogId = 178;
constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr int kApplyId = 1141;

// Control ids of row r (1-based) are these bases plus r.
constexpr int kEnableBase = 1134;
constexpr int kStartBase = 4000;
constexpr int kEndBase = 4100;
constexpr int kDelayBase = 4200;
constexpr int kModeBase = 4300;
constexpr int kSpeedBase = 4400;

constexpr int kFirstModeKey = 30000;   // page turning, move left, move right, stretch
constexpr int kFirstSpeedKey = 30004;  // slower ... very fast

constexpr int kNumberWidth = 40;

// Grid columns.
enum Column { kEnableColumn, kStartColumn, kToColumn, kEndColumn, kModeColumn, kSpeedColumn, kDelayColumn };

QLineEdit* NewNumberEdit(int id) {
  auto* edit = new QLineEdit;
  SetControlId(edit, id);
  edit->setFixedWidth(kNumberWidth);
  return edit;
}

QComboBox* NewList(int id, int firstKey, int count) {
  auto* list = new QComboBox;
  SetControlId(list, id);
  for (int i = 0; i < count; ++i) list->addItem(Text(firstKey + i));
  list->setCurrentIndex(1);
  return list;
}

QPushButton* NewButton(int id, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text));
  SetControlId(button, id);
  return button;
}

}  // namespace

CPlayModeDlg::CPlayModeDlg(CPlayModeSet& modes, int maximumFrame, QWidget* parent) : QDialog(parent), modes_(modes) {
  setWindowTitle(QStringLiteral("Display Mode Settings"));
  modes_.m_nMaxFrame = maximumFrame;
  shown_ = modes_;

  auto* grid = new QGridLayout;
  AddHeads(grid);
  for (int i = 0; i < CPlayModeSet::kEditableRows; ++i) AddRow(grid, i);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(CreateButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  showMessage_ = [this](const QString& text) { QMessageBox::warning(this, QApplication::applicationName(), text); };
  shown_.ApplyRowRule(shown_.m_nRowCount, true);
  ShowValues();
  TranslateDialog(this, kDialogId);
}

void CPlayModeDlg::AddHeads(QGridLayout* grid) {
  grid->addWidget(NewLabel(label_id::kHeadStartFrame, "Start Frame"), 0, kStartColumn);
  grid->addWidget(NewLabel(label_id::kHeadEndFrame, "End Frame"), 0, kEndColumn);
  grid->addWidget(NewLabel(label_id::kHeadPlayMode, "Play Mode"), 0, kModeColumn);
  grid->addWidget(NewLabel(label_id::kHeadSpeed, "Speed"), 0, kSpeedColumn);
  grid->addWidget(NewLabel(label_id::kHeadDelay, "Delay"), 0, kDelayColumn);
}

void CPlayModeDlg::AddRow(QGridLayout* grid, int index) {
  const int r = index + 1;
  Row& row = rows_[index];
  row.enable = new QCheckBox(QStringLiteral("From"));
  SetControlId(row.enable, kEnableBase + r);
  connect(row.enable, &QCheckBox::clicked, this, [this, r](bool ticked) { OnEnableClicked(r, ticked); });
  row.start = NewNumberEdit(kStartBase + r);
  row.end = NewNumberEdit(kEndBase + r);
  row.mode = NewList(kModeBase + r, kFirstModeKey, CPlayModeSet::kPlayModes);
  row.speed = NewList(kSpeedBase + r, kFirstSpeedKey, CPlayModeSet::kSpeeds);
  row.delay = NewNumberEdit(kDelayBase + r);

  grid->addWidget(row.enable, r, kEnableColumn);
  grid->addWidget(row.start, r, kStartColumn);
  grid->addWidget(NewLabel(label_id::kRangeTo1 + index, "to"), r, kToColumn);
  grid->addWidget(row.end, r, kEndColumn);
  grid->addWidget(row.mode, r, kModeColumn);
  grid->addWidget(row.speed, r, kSpeedColumn);
  grid->addWidget(row.delay, r, kDelayColumn);
}

QWidget* CPlayModeDlg::CreateButtons() {
  QPushButton* ok = NewButton(kOkId, "Ok");
  QPushButton* cancel = NewButton(kCancelId, "Cancel");
  QPushButton* apply = NewButton(kApplyId, "Apply...");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &CPlayModeDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CPlayModeDlg::reject);
  connect(apply, &QPushButton::clicked, this, &CPlayModeDlg::Apply);

  auto* buttons = new QWidget;
  auto* line = new QHBoxLayout(buttons);
  line->setContentsMargins(0, 0, 0, 0);
  line->addStretch();
  line->addWidget(ok);
  line->addWidget(cancel);
  line->addWidget(apply);
  return buttons;
}

// Only the boxes follow the row rule; the other values wait for the next take.
void CPlayModeDlg::OnEnableClicked(int row, bool ticked) {
  shown_.ApplyRowRule(row, ticked);
  ShowRowStates();
}

void CPlayModeDlg::ShowValues() {
  for (int i = 0; i < CPlayModeSet::kEditableRows; ++i) {
    const Row& row = rows_[i];
    row.start->setText(QString::number(shown_.m_anStart[i]));
    row.end->setText(QString::number(shown_.m_anEnd[i]));
    row.mode->setCurrentIndex(shown_.m_anMode[i]);
    row.speed->setCurrentIndex(shown_.m_anSpeed[i]);
    row.delay->setText(QString::number(shown_.m_anDelay[i]));
  }
  ShowRowStates();
}

// A row's box stays usable so that the row can be ticked; its fields only while it is ticked.
void CPlayModeDlg::ShowRowStates() {
  for (int i = 0; i < CPlayModeSet::kEditableRows; ++i) {
    const Row& row = rows_[i];
    const bool ticked = shown_.m_abEnable[i] != 0;
    row.enable->setChecked(ticked);
    for (QWidget* field : std::initializer_list<QWidget*>{row.start, row.end, row.mode, row.speed, row.delay}) {
      field->setEnabled(ticked);
    }
  }
}

bool CPlayModeDlg::TakeValues() {
  CPlayModeSet taken = shown_;
  for (int i = 0; i < CPlayModeSet::kEditableRows; ++i) {
    const Row& row = rows_[i];
    if (!TakeNumber(row.start, CPlayModeSet::kMinFrame, CPlayModeSet::kMaxFrame, taken.m_anStart[i]) ||
        !TakeNumber(row.end, CPlayModeSet::kMinFrame, CPlayModeSet::kMaxFrame, taken.m_anEnd[i]) ||
        !TakeNumber(row.delay, CPlayModeSet::kMinDelay, CPlayModeSet::kMaxDelay, taken.m_anDelay[i])) {
      return false;
    }
    taken.m_abEnable[i] = row.enable->isChecked() ? 1 : 0;
    // A list without a selection (a value out of the list's range) leaves the value alone.
    if (row.mode->currentIndex() >= 0) taken.m_anMode[i] = row.mode->currentIndex();
    if (row.speed->currentIndex() >= 0) taken.m_anSpeed[i] = row.speed->currentIndex();
  }
  taken.UpdateRowCount();
  modes_ = taken;
  shown_ = taken;
  return true;
}

bool CPlayModeDlg::TakeNumber(QLineEdit* edit, std::int32_t lo, std::int32_t hi, std::int32_t& value) {
  const std::optional<std::int32_t> number = ParseIntegerInRange(edit->text().toStdString(), lo, hi);
  if (!number) {
    showMessage_(FromUtf8(RangeWarning(lo, hi)));
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  value = *number;
  return true;
}

void CPlayModeDlg::accept() {
  if (TakeValues()) QDialog::accept();
}

// The corrected values stay in the document even when the dialog is then cancelled.
void CPlayModeDlg::Apply() {
  if (!TakeValues()) return;
  appliedAny_ = true;
  modes_.CorrectFrameRanges(modes_.m_nMaxFrame);
  shown_ = modes_;
  ShowValues();
  if (apply_) apply_(modes_);
}

}  // namespace lumetra::gui
