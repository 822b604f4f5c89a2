#include "gui/dialogs/screen_size_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_translation.h"
#include "lang/text_keys.h"

namespace lumetra::gui {
namespace {

constexpr int kScreenSizeDialog = 157;
constexpr int kColourGroupId = 1163;
constexpr int kSizeGroupId = 1164;
constexpr int kLengthEditId = 1038;
constexpr int kHeightEditId = 1035;
constexpr int kFramesEditId = 1040;
constexpr int kOkId = 1;
constexpr int kCancelId = 2;

struct ColourChoice {
  int controlId;
  const char* text;
  ColourSet colourSet;
};
constexpr ColourChoice kColourChoices[] = {
    {1158, "Red and Green", kRedAndGreen},
    {1159, "Yellow and Blue", kYellowAndBlue},
    {1006, "Mono", kMono},
};

}  // namespace

CScreenSizeDlg::CScreenSizeDlg(ScreenSizeValues values, QWidget* parent) : QDialog(parent), values_(values) {
  setWindowTitle(QStringLiteral("Screen Size Set"));
  framesEdit_ = NewEdit(kFramesEditId, values_.frames, /*digitsOnly=*/false);

  auto* groups = new QHBoxLayout;
  groups->addWidget(CreateColourGroup());
  groups->addWidget(CreateSizeGroup());

  auto* frames = new QHBoxLayout;
  frames->addWidget(NewLabel(label_id::kScreenCount, "Number of Screen:"));
  frames->addWidget(framesEdit_);
  frames->addStretch();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  SetControlId(buttons->button(QDialogButtonBox::Ok), kOkId);
  SetControlId(buttons->button(QDialogButtonBox::Cancel), kCancelId);
  connect(buttons, &QDialogButtonBox::accepted, this, &CScreenSizeDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CScreenSizeDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(groups);
  layout->addLayout(frames);
  layout->addWidget(buttons);

  TranslateDialog(this, kScreenSizeDialog);
}

// A colour set the panel does not know checks no button and stays as it is
// unless the user picks one.
QWidget* CScreenSizeDlg::CreateColourGroup() {
  QGroupBox* group = NewGroup(kColourGroupId, "Color");
  auto* column = new QVBoxLayout(group);
  colourButtons_ = new QButtonGroup(group);
  for (const ColourChoice& choice : kColourChoices) {
    auto* radio = new QRadioButton(QString::fromLatin1(choice.text));
    SetControlId(radio, choice.controlId);
    radio->setChecked(choice.colourSet == values_.colourSet);
    colourButtons_->addButton(radio, choice.colourSet);
    column->addWidget(radio);
  }
  return group;
}

QWidget* CScreenSizeDlg::CreateSizeGroup() {
  QGroupBox* group = NewGroup(kSizeGroupId, "Screen Size(Word)");
  auto* grid = new QGridLayout(group);
  lengthEdit_ = NewEdit(kLengthEditId, values_.widthWords, /*digitsOnly=*/true);
  heightEdit_ = NewEdit(kHeightEditId, values_.heightWords, /*digitsOnly=*/true);
  grid->addWidget(NewLabel(label_id::kLength, "Length"), 0, 0);
  grid->addWidget(lengthEdit_, 0, 1);
  grid->addWidget(NewLabel(label_id::kHeight, "Height"), 1, 0);
  grid->addWidget(heightEdit_, 1, 1);
  return group;
}

QLineEdit* CScreenSizeDlg::NewEdit(int id, std::int32_t value, bool digitsOnly) {
  auto* edit = new QLineEdit(QString::number(value));
  SetControlId(edit, id);
  edit->setMaximumWidth(60);
  if (digitsOnly) edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), edit));
  return edit;
}

QLineEdit* CScreenSizeDlg::EditOf(ScreenSizeField field) const {
  if (field == ScreenSizeField::kLength) return lengthEdit_;
  return field == ScreenSizeField::kHeight ? heightEdit_ : framesEdit_;
}

void CScreenSizeDlg::accept() {
  ScreenSizeValues chosen = values_;
  if (colourButtons_->checkedId() >= 0) chosen.colourSet = colourButtons_->checkedId();
  const ScreenSizeTexts texts{lengthEdit_->text().toStdString(), heightEdit_->text().toStdString(),
                              framesEdit_->text().toStdString()};
  const auto checked = CheckScreenSize(texts, chosen);
  if (const auto* refusal = std::get_if<ScreenSizeRefusal>(&checked)) {
    Refuse(*refusal);
    return;
  }
  values_ = std::get<ScreenSizeValues>(checked);
  QDialog::accept();
}

void CScreenSizeDlg::Refuse(const ScreenSizeRefusal& refusal) {
  const QString text = FromUtf8(refusal.message);
  if (refusal.kind == ScreenSizeRefusal::Kind::kTooManyFrames) {
    Inform(QMessageBox::Information, FromUtf8(std::string(kTooManyFramesCaption)), text);
  } else {
    Inform(QMessageBox::Warning, windowTitle(), text);
  }
  QLineEdit* edit = EditOf(refusal.field);
  edit->setFocus();
  edit->selectAll();
}

void CScreenSizeDlg::Inform(QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
  box.exec();
}

}  // namespace lumetra::gui
