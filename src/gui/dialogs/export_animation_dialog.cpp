#include "gui/dialogs/export_animation_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"
#include "render/led_dots.h"
#include "render/playback.h"

namespace lumetra::gui {
namespace {

constexpr int kDefaultLedSize = 6;
constexpr double kLeastSeconds = 0.1;

}  // namespace

ExportAnimationDialog::ExportAnimationDialog(const PanelState& show, QWidget* parent) : QDialog(parent), show_(show) {
  setWindowTitle(Text(text_key::kExportAnimationTitle));
  const std::int64_t roundMs = ShowCycleMs(show);

  seconds_ = new QDoubleSpinBox;
  seconds_->setRange(kLeastSeconds, double(kMaxAnimationMs) / 1000);
  seconds_->setDecimals(2);
  seconds_->setValue(double(DefaultAnimationMs(show, kDefaultAnimationFps)) / 1000);
  fps_ = new QSpinBox;
  fps_->setRange(1, kMaxAnimationFps);
  fps_->setValue(kDefaultAnimationFps);
  auto* form = new QFormLayout;
  form->addRow(Text(text_key::kAnimationSeconds), seconds_);
  form->addRow(Text(text_key::kAnimationFps), fps_);

  squarePixels_ = new QRadioButton(Text(text_key::kAnimationSquarePixels));
  roundLeds_ = new QRadioButton(Text(text_key::kAnimationRoundLeds));
  ledSize_ = new QSpinBox;
  ledSize_->setRange(LedDots::kMinSize, kMaxAnimationLedSize);
  ledSize_->setValue(kDefaultLedSize);
  roundLeds_->setChecked(true);
  connect(roundLeds_, &QRadioButton::toggled, ledSize_, &QWidget::setEnabled);
  auto* roundRow = new QHBoxLayout;
  roundRow->addWidget(roundLeds_);
  roundRow->addWidget(ledSize_);
  roundRow->addStretch();
  auto* look = new QGroupBox(Text(text_key::kAnimationLook));
  auto* lookLayout = new QVBoxLayout(look);
  lookLayout->addWidget(squarePixels_);
  lookLayout->addLayout(roundRow);

  auto* round = new QLabel(
      FromUtf8(FormatText(text_key::kAnimationRound, {QString::number(double(roundMs) / 1000, 'g', 6).toStdString()})));
  round->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(look);
  layout->addWidget(round);
  layout->addWidget(buttons);
}

void ExportAnimationDialog::accept() {
  try {
    CheckAnimationOptions(show_, Options());
  } catch (const std::invalid_argument& e) {
    QMessageBox::warning(this, windowTitle(), FromUtf8(e.what()));
    return;
  }
  QDialog::accept();
}

AnimationOptions ExportAnimationDialog::Options() const {
  return {std::llround(seconds_->value() * 1000), fps_->value(), roundLeds_->isChecked() ? ledSize_->value() : 0};
}

}  // namespace lumetra::gui
