#include "gui/dialogs/text_properties_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/step_arrows.h"
#include "lang/message_text.h"
#include "units/text.h"

namespace lumetra::gui {
namespace {

constexpr int kDialogId = 195;
constexpr int kFontButtonId = 1147;
constexpr int kRowSpacingLabelId = 1176;
constexpr int kRowSpacingEditId = 1040;
constexpr int kSpinId = 1041;
constexpr int kOkId = 1151;
constexpr int kCancelId = 1152;
constexpr int kApplyId = 1153;
constexpr int kWordBreakId = 1156;
constexpr int kAutoAlignId = 1157;
constexpr int kTextBoxId = 1035;

constexpr int kRowSpacingWidth = 44;

std::optional<QFont> ChooseWithFontDialog(const QFont& initial, QWidget* parent) {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, initial, parent);
  if (!chosen) return std::nullopt;
  return font;
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

LOGFONT LogFontFromQFont(const QFont& font, std::string_view codePage) {
  FontChoice choice;
  choice.face = ToUtf8(font.family());
  choice.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / kScreenDpi;
  choice.weight = font.weight();
  choice.italic = font.italic();
  choice.underline = font.underline();
  choice.strikeOut = font.strikeOut();
  choice.fixedPitch = font.fixedPitch() || QFontDatabase::isFixedPitch(font.family());
  choice.chinese = QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese);
  return LogFontFromChoice(choice, codePage);
}

QFont QFontFromLogFont(const LOGFONT& lf, std::string_view codePage) {
  const FontChoice choice = ChoiceFromLogFont(lf, codePage);
  QFont font(FromUtf8(choice.face));
  if (choice.pointSize > 0) font.setPointSizeF(choice.pointSize);
  font.setWeight(QFont::Weight(choice.weight));
  font.setItalic(choice.italic);
  font.setUnderline(choice.underline);
  font.setStrikeOut(choice.strikeOut);
  font.setFixedPitch(choice.fixedPitch);
  // A face this machine lacks falls back to one of the same kind.
  if (choice.fixedPitch) font.setStyleHint(QFont::TypeWriter);
  return font;
}

CTextPropertiesDlg::CTextPropertiesDlg(CText& unit, bool newUnit, std::function<void()> changed, std::string codePage,
                                       QWidget* parent)
    : QDialog(parent),
      model_(unit, newUnit, std::move(codePage)),
      changed_(std::move(changed)),
      chooseFont_(ChooseWithFontDialog) {
  setWindowTitle(QStringLiteral("Text Properties"));
  textBox_ = WithId(new QPlainTextEdit, kTextBoxId);
  textBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  textBox_->setTabChangesFocus(true);
  wordBreak_ = WithId(new QCheckBox(QStringLiteral("Word Break")), kWordBreakId);
  autoAlign_ = WithId(new QCheckBox(QStringLiteral("Auto Align")), kAutoAlignId);
  connect(autoAlign_, &QCheckBox::toggled, this, &CTextPropertiesDlg::SyncRowSpacingEnabled);

  auto* fontButton = WithId(new QPushButton(QStringLiteral("&Font...")), kFontButtonId);
  fontButton->setAutoDefault(false);
  connect(fontButton, &QPushButton::clicked, this, &CTextPropertiesDlg::ChooseFont);

  // The face by its own name, installed or not.
  fontName_ = new QLabel;
  fontName_->setObjectName(QStringLiteral("fontName"));

  auto* settings = new QGridLayout;
  settings->addWidget(fontButton, 0, 0);
  settings->addWidget(fontName_, 2, 0, 1, 2);
  settings->addWidget(CreateRowSpacing(), 0, 1);
  settings->addWidget(wordBreak_, 1, 0);
  settings->addWidget(autoAlign_, 1, 1);
  settings->setColumnStretch(2, 1);
  auto* top = new QHBoxLayout;
  top->addLayout(settings);
  top->addWidget(CreateButtons());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(CreateRowLook());
  layout->addWidget(textBox_, 1);

  showMessage_ = [this](const QString& text) { QMessageBox::warning(this, QApplication::applicationName(), text); };
  ShowInput(model_.InitialInput());
  ShowWorkingFont();
  textBox_->setFocus();
  TranslateDialog(this, kDialogId);
}

QWidget* CTextPropertiesDlg::CreateRowSpacing() {
  rowSpacing_ = WithId(new QLineEdit, kRowSpacingEditId);
  rowSpacing_->setAlignment(Qt::AlignCenter);
  rowSpacing_->setFixedWidth(kRowSpacingWidth);
  rowSpacing_->installEventFilter(this);

  // The spin's up arrow is its 100 end.
  spin_ = NewStepArrows(kSpinId, [this](int delta) { StepRowSpacing(delta); });

  auto* group = new QWidget;
  auto* line = new QHBoxLayout(group);
  line->setContentsMargins(0, 0, 0, 0);
  line->addWidget(WithId(new QLabel(QStringLiteral("Row Spacing:")), kRowSpacingLabelId));
  line->addWidget(rowSpacing_);
  line->addWidget(spin_);
  line->addStretch();
  return group;
}

QWidget* CTextPropertiesDlg::CreateRowLook() {
  alignment_ = new QComboBox;
  for (const int key : {text_key::kAlignRowsLeft, text_key::kAlignRowsCentre, text_key::kAlignRowsRight}) {
    alignment_->addItem(Text(key));
  }
  letterSpacing_ = new QSpinBox;
  letterSpacing_->setRange(CText::kMinLetterSpacing, CText::kMaxLetterSpacing);
  auto* group = new QWidget;
  auto* line = new QHBoxLayout(group);
  line->setContentsMargins(0, 0, 0, 0);
  line->addWidget(new QLabel(Text(text_key::kAlignRows)));
  line->addWidget(alignment_);
  line->addSpacing(12);
  line->addWidget(new QLabel(Text(text_key::kLetterSpacing)));
  line->addWidget(letterSpacing_);
  line->addStretch();
  return group;
}

// Ordinary buttons with handlers of their own; Enter means OK.
QWidget* CTextPropertiesDlg::CreateButtons() {
  auto* ok = WithId(new QPushButton(QStringLiteral("&OK")), kOkId);
  auto* cancel = WithId(new QPushButton(QStringLiteral("Cancel")), kCancelId);
  auto* apply = WithId(new QPushButton(QStringLiteral("&Apply")), kApplyId);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &CTextPropertiesDlg::OnOk);
  connect(cancel, &QPushButton::clicked, this, &CTextPropertiesDlg::reject);
  connect(apply, &QPushButton::clicked, this, &CTextPropertiesDlg::ApplyToUnit);

  auto* buttons = new QWidget;
  auto* column = new QVBoxLayout(buttons);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(ok);
  column->addWidget(cancel);
  column->addWidget(apply);
  return buttons;
}

void CTextPropertiesDlg::ShowInput(const TextDialogInput& input) {
  textBox_->setPlainText(FromUtf8(input.text));
  rowSpacing_->setText(FromUtf8(input.rowSpacing));
  wordBreak_->setChecked(input.wordBreak);
  autoAlign_->setChecked(input.autoAlign);
  alignment_->setCurrentIndex(input.alignment);
  letterSpacing_->setValue(input.letterSpacing);
  SyncRowSpacingEnabled();
}

TextDialogInput CTextPropertiesDlg::Input() const {
  return {ToUtf8(textBox_->toPlainText()), ToUtf8(rowSpacing_->text()), wordBreak_->isChecked(),
          autoAlign_->isChecked(),         alignment_->currentIndex(),  letterSpacing_->value()};
}

void CTextPropertiesDlg::ShowWorkingFont() {
  const QFont font = QFontFromLogFont(WorkingFont(), model_.CodePage());
  textBox_->setFont(font);
  fontName_->setText(QStringLiteral("%1, %2 pt").arg(font.family()).arg(font.pointSizeF()));
}

// Auto align spreads the rows over bands and ignores the spacing.
void CTextPropertiesDlg::SyncRowSpacingEnabled() {
  const bool usable = !autoAlign_->isChecked();
  rowSpacing_->setEnabled(usable);
  spin_->setEnabled(usable);
}

bool CTextPropertiesDlg::ApplyToUnit() {
  const TextApplyResult result = model_.Apply(Input());
  if (!result.Applied()) {
    showMessage_(FromUtf8(result.message));
    if (result.failure == TextApplyFailure::kRowSpacing) {
      rowSpacing_->setFocus();
      rowSpacing_->selectAll();
    } else {
      textBox_->setFocus();
    }
    return false;
  }
  appliedAny_ = true;
  if (changed_) changed_();
  return true;
}

// The chooser opens on the working font's size, weight and effects, and on
// the installed face that draws it when the face itself is not installed
// (the system font, a document from another machine). The unit keeps its
// font until the next apply.
void CTextPropertiesDlg::ChooseFont() {
  QFont offered = QFontFromLogFont(WorkingFont(), model_.CodePage());
  if (!QFontDatabase::hasFamily(offered.family())) offered.setFamily(QFontInfo(offered).family());
  const std::optional<QFont> chosen = chooseFont_(offered, this);
  if (!chosen) return;
  model_.TakeChosenFont(LogFontFromQFont(*chosen, model_.CodePage()), chosen->family() == offered.family());
  ShowWorkingFont();
}

void CTextPropertiesDlg::StepRowSpacing(int delta) {
  rowSpacing_->setText(QString::number(model_.SteppedRowSpacing(ToUtf8(rowSpacing_->text()), delta)));
  ApplyToUnit();
}

void CTextPropertiesDlg::OnOk() {
  if (ApplyToUnit()) accept();
}

bool CTextPropertiesDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == rowSpacing_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      StepRowSpacing(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lumetra::gui
