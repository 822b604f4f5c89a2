#include "gui/dialogs/style_property_box.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/step_arrows.h"
#include "lang/message_text.h"
#include "lang/text_keys.h"

namespace lumetra::gui {
namespace {

constexpr int kStyleDialog = 107;
constexpr int kStyleTabKey = 34000;
constexpr int kTransparentKey = 34001;
constexpr int kOpaqueKey = 34002;

constexpr int kWidthEditId = 1013;
constexpr int kWidthSpinId = 1014;
constexpr int kModeListId = 1077;
constexpr int kMinPenWidth = 1;
constexpr int kMaxPenWidth = 10;

// QButtonGroup's id for "no button".
constexpr int kNoButton = -1;

struct StyleChoice {
  int controlId;
  const char* text;
  std::int32_t value;
};

constexpr StyleChoice kPenChoices[] = {
    {1006, "SOLID", PS_SOLID},
    {1007, "DASH", PS_DASH},
    {1008, "DOT", PS_DOT},
    {1009, "DASHDOT", PS_DASHDOT},
    {1010, "DASHDOTDOT", PS_DASHDOTDOT},
    {1068, "NULL", PS_NULL},
    {1069, "INSIDEFRAME", PS_INSIDEFRAME},
};
constexpr StyleChoice kBrushChoices[] = {
    {1059, "HOLLOW", BS_HOLLOW},
    {1060, "SOLID", BS_SOLID},
    {1061, "HATCHED", BS_HATCHED},
};
// In screen order, two to a row.
constexpr StyleChoice kHatchChoices[] = {
    {1062, "BDIAGONAL", HS_BDIAGONAL}, {1064, "DIAGCROSS", HS_DIAGCROSS},   {1066, "FDIAGONAL", HS_FDIAGONAL},
    {1063, "CROSS", HS_CROSS},         {1067, "HORIZONTAL", HS_HORIZONTAL}, {1065, "VERTICAL", HS_VERTICAL},
};

constexpr COLORREF kGreen = 0x0000FF00;
constexpr COLORREF kYellow = 0x0000FFFF;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kWhite = 0x00FFFFFF;

// Colour rows: pen, brush, background.
constexpr int kPenRow = 0;
constexpr int kBrushRow = 1;
constexpr int kBackgroundRow = 2;

struct ColourRowIds {
  int label;
  int preview;
  COLORREF StylePageValues::*colour;
};
constexpr ColourRowIds kColourRows[] = {
    {label_id::kPenColour, 1056, &StylePageValues::crPen},
    {label_id::kBrushColour, 1057, &StylePageValues::crBrush},
    {label_id::kBackgroundColour, 1058, &StylePageValues::crBk},
};

struct Swatch {
  COLORREF colour;
  int controlIds[3];  // by colour row
};
constexpr Swatch kSwatches[] = {
    {kBlack, {1019, 1020, 1021}}, {kGreen, {1029, 1031, 1033}}, {kYellow, {1024, 1025, 1026}},
    {kRed, {1028, 1030, 1032}},   {kBlue, {1027, 1035, 1037}},  {kWhite, {1034, 1036, 1038}},
};

// The swatches a panel can show, in the order of kSwatches, and the colour
// pen and brush start with; the background always starts black.
struct ColourSet {
  bool offered[std::size(kSwatches)];
  COLORREF penAndBrush;
};
constexpr ColourSet kColourSets[] = {
    {{true, true, true, true, false, false}, kRed},
    {{true, false, true, false, true, true}, kYellow},
    {{true, false, false, true, false, false}, kRed},
};

QColor ToQColor(COLORREF colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

int ModeIndex(std::int32_t bkMode) { return bkMode == OPAQUE ? 1 : 0; }

QGridLayout* CompactGrid(QWidget* owner) {
  auto* grid = new QGridLayout(owner);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setSpacing(3);
  return grid;
}

// Radio buttons `columns` to a row, grouped by their style value.
QButtonGroup* AddRadioButtons(QGroupBox* box, QGridLayout* grid, int columns, std::span<const StyleChoice> choices) {
  auto* buttons = new QButtonGroup(box);
  for (int i = 0; i < int(choices.size()); ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(choices[i].text));
    SetControlId(radio, choices[i].controlId);
    buttons->addButton(radio, choices[i].value);
    grid->addWidget(radio, i / columns, i % columns);
  }
  return buttons;
}

// An exclusive group cannot uncheck its checked button, so exclusivity is
// lifted while the check moves.
void CheckOnly(QButtonGroup* buttons, int id) {
  buttons->setExclusive(false);
  for (QAbstractButton* button : buttons->buttons()) button->setChecked(buttons->id(button) == id);
  buttons->setExclusive(true);
}

QToolButton* NewSwatch(COLORREF colour) {
  QPixmap pixmap(12, 12);
  pixmap.fill(ToQColor(colour));
  // An outline, so that white shows on a light window.
  QPainter(&pixmap).drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  auto* swatch = new QToolButton;
  swatch->setAutoRaise(true);
  // The style greys the icon of a disabled swatch.
  swatch->setIcon(QIcon(pixmap));
  swatch->setIconSize(pixmap.size());
  return swatch;
}

}  // namespace

CDLineDlg1::CDLineDlg1(int colourSet, QWidget* parent) : QWidget(parent) {
  auto* grid = CompactGrid(this);
  grid->addWidget(CreatePenGroup(), 0, 0);
  grid->addWidget(CreateBrushGroup(), 0, 1);
  grid->addWidget(CreateBackgroundGroup(), 1, 0, 1, 2);

  AdaptColours(colourSet);
  FillModeList();
  ShowValues();
  TranslateDialog(this, kStyleDialog);
}

QWidget* CDLineDlg1::CreatePenGroup() {
  QGroupBox* group = NewGroup(label_id::kPenGroup, "Pen");
  auto* grid = CompactGrid(group);
  penButtons_ = AddRadioButtons(group, grid, 2, kPenChoices);
  ConnectStyleButtons(penButtons_, &StylePageValues::penStyle);

  widthEdit_ = new QLineEdit;
  SetControlId(widthEdit_, kWidthEditId);
  widthEdit_->setMaximumWidth(36);
  connect(widthEdit_, &QLineEdit::textEdited, this, &CDLineDlg1::OnWidthEdited);
  auto* width = new QHBoxLayout;
  width->addWidget(widthEdit_);
  width->addWidget(NewStepArrows(kWidthSpinId, [this](int delta) { StepWidth(delta); }));
  width->addStretch();

  const int widthRow = grid->rowCount();
  grid->addWidget(NewLabel(label_id::kPenWidth, "Width:"), widthRow, 0);
  grid->addLayout(width, widthRow, 1);
  AddColourRow(grid, widthRow + 1, kPenRow);
  return group;
}

QWidget* CDLineDlg1::CreateBrushGroup() {
  QGroupBox* group = NewGroup(label_id::kBrushGroup, "Brush");
  auto* grid = CompactGrid(group);
  brushButtons_ = AddRadioButtons(group, grid, 3, kBrushChoices);
  ConnectStyleButtons(brushButtons_, &StylePageValues::brushStyle);

  QGroupBox* fill = NewGroup(label_id::kHatchGroup, "Fill");
  hatchButtons_ = AddRadioButtons(fill, CompactGrid(fill), 2, kHatchChoices);
  ConnectStyleButtons(hatchButtons_, &StylePageValues::hatchStyle);
  grid->addWidget(fill, 1, 0, 1, -1);
  AddColourRow(grid, 2, kBrushRow);
  return group;
}

QWidget* CDLineDlg1::CreateBackgroundGroup() {
  QGroupBox* group = NewGroup(label_id::kBackgroundGroup, "Background");
  auto* grid = CompactGrid(group);
  modeList_ = new QComboBox;
  SetControlId(modeList_, kModeListId);
  connect(modeList_, &QComboBox::activated, this, &CDLineDlg1::OnModeChosen);
  grid->addWidget(NewLabel(label_id::kBackgroundMode, "Mode:"), 0, 0);
  grid->addWidget(modeList_, 0, 1, Qt::AlignLeft);
  AddColourRow(grid, 1, kBackgroundRow);
  return group;
}

// Label, preview and swatches of colour row `row` in grid row `gridRow`.
void CDLineDlg1::AddColourRow(QGridLayout* grid, int gridRow, int row) {
  static_assert(std::size(kSwatches) == std::tuple_size_v<decltype(ColourRow::swatches)>);
  const ColourRowIds& ids = kColourRows[row];
  ColourRow& colours = colourRows_[row];

  colours.preview = new QFrame;
  SetControlId(colours.preview, ids.preview);
  colours.preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  colours.preview->setFixedSize(20, 18);
  colours.preview->setAutoFillBackground(true);

  auto* line = new QHBoxLayout;
  line->setSpacing(1);
  line->addWidget(colours.preview);
  line->addSpacing(4);
  for (std::size_t i = 0; i < std::size(kSwatches); ++i) {
    const COLORREF colour = kSwatches[i].colour;
    QToolButton* swatch = NewSwatch(colour);
    SetControlId(swatch, kSwatches[i].controlIds[row]);
    connect(swatch, &QToolButton::clicked, this, [this, row, colour] {
      values_.*kColourRows[row].colour = colour;
      Notify();
    });
    colours.swatches[i] = swatch;
    line->addWidget(swatch);
  }
  line->addStretch();

  grid->addWidget(NewLabel(ids.label, "Color:"), gridRow, 0);
  grid->addLayout(line, gridRow, 1, 1, -1);
}

void CDLineDlg1::ConnectStyleButtons(QButtonGroup* buttons, std::int32_t StylePageValues::*style) {
  connect(buttons, &QButtonGroup::idClicked, this, [this, style](int id) {
    values_.*style = id;
    // A brush change decides whether the hatch buttons may be used.
    SyncStyleButtons();
    Notify();
  });
}

void CDLineDlg1::ShowValues() {
  widthEdit_->setText(QString::number(values_.penWidth));
  modeList_->setCurrentIndex(ModeIndex(values_.bkMode));
  SyncStyleButtons();
  ShowColours();
}

void CDLineDlg1::SyncStyleButtons() {
  const bool hatched = values_.brushStyle == BS_HATCHED;
  CheckOnly(penButtons_, values_.penStyle);
  CheckOnly(brushButtons_, values_.brushStyle);
  CheckOnly(hatchButtons_, hatched ? values_.hatchStyle : kNoButton);
  for (QAbstractButton* button : hatchButtons_->buttons()) button->setEnabled(hatched);
}

void CDLineDlg1::AdaptColours(int colourSet) {
  if (colourSet >= 0 && colourSet < int(std::size(kColourSets))) {
    const ColourSet& set = kColourSets[colourSet];
    for (ColourRow& row : colourRows_) {
      for (std::size_t i = 0; i < row.swatches.size(); ++i) row.swatches[i]->setEnabled(set.offered[i]);
    }
    values_.crPen = set.penAndBrush;
    values_.crBrush = set.penAndBrush;
    values_.crBk = kBlack;
  }
  ShowColours();
}

void CDLineDlg1::FillModeList() {
  modeList_->clear();
  modeList_->addItems({Text(kTransparentKey), Text(kOpaqueKey)});
  modeList_->setCurrentIndex(ModeIndex(values_.bkMode));
}

bool CDLineDlg1::TakeWidth() {
  bool isNumber = false;
  const int width = widthEdit_->text().trimmed().toInt(&isNumber);
  if (!isNumber || width < kMinPenWidth || width > kMaxPenWidth) {
    QMessageBox::warning(this, window()->windowTitle(), FromUtf8(RangeWarning(kMinPenWidth, kMaxPenWidth)));
    return false;
  }
  values_.penWidth = width;
  return true;
}

void CDLineDlg1::ShowColours() {
  for (std::size_t row = 0; row < colourRows_.size(); ++row) {
    QFrame* preview = colourRows_[row].preview;
    QPalette palette = preview->palette();
    palette.setColor(QPalette::Window, ToQColor(values_.*kColourRows[row].colour));
    preview->setPalette(palette);
  }
}

void CDLineDlg1::Notify() {
  ShowColours();
  emit styleChanged();
}

// textEdited comes from the user only, so showing values never lands here.
void CDLineDlg1::OnWidthEdited() {
  if (TakeWidth()) Notify();
}

void CDLineDlg1::StepWidth(int delta) {
  const int width = std::clamp(values_.penWidth + delta, kMinPenWidth, kMaxPenWidth);
  widthEdit_->setText(QString::number(width));
  if (width != values_.penWidth) OnWidthEdited();
}

void CDLineDlg1::OnModeChosen(int index) {
  values_.bkMode = index != 0 ? OPAQUE : TRANSPARENT;
  Notify();
}

CDLineProperty::CDLineProperty(int colourSet, QWidget* parent) : QDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Property"));
  tabs_ = new QTabWidget;
  page_ = new CDLineDlg1(colourSet);
  tabs_->addTab(page_, Text(kStyleTabKey));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  // The box keeps the size of its contents, also after a language change.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(tabs_);
}

void CDLineProperty::Retranslate() {
  page_->FillModeList();
  tabs_->setTabText(tabs_->indexOf(page_), Text(kStyleTabKey));
  // Reaches the page's controls as well.
  TranslateDialog(this, kStyleDialog);
}

}  // namespace lumetra::gui
