#include "gui/dialogs/picture_import_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "document/panel_settings.h"
#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"
#include "platform/gdi/bitmap.h"

namespace lumetra::gui {
namespace {

// The preview's LEDs are squares of at most this many screen pixels, and
// the whole preview at most this wide and high where the LEDs allow.
constexpr int kLargestLed = 8;
constexpr int kPreviewSide = 480;
constexpr int kLargestPreview = 4 * kPreviewSide;

}  // namespace

PictureImportDialog::PictureImportDialog(const RgbaPicture& picture, const std::string& name, int colourSet,
                                         CSize frame, QWidget* parent)
    : QDialog(parent), picture_(picture), name_(name), colourSet_(colourSet), frame_(frame) {
  setWindowTitle(FromUtf8(FormatText(text_key::kImportPictureTitle, {name})));

  natural_ = new QRadioButton(Text(text_key::kImportNaturalSize));
  fitHeight_ = new QRadioButton(Text(text_key::kImportFitHeight));
  fitFrame_ = new QRadioButton(Text(text_key::kImportFitFrame));
  // A picture larger than the frame starts fitted into it.
  const bool fits = picture.width <= frame.cx && picture.height <= frame.cy;
  (fits ? natural_ : fitFrame_)->setChecked(true);
  auto* size = new QGroupBox(Text(text_key::kImportSize));
  auto* sizeLayout = new QVBoxLayout(size);
  for (QRadioButton* button : {natural_, fitHeight_, fitFrame_}) {
    sizeLayout->addWidget(button);
    connect(button, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) UpdatePreview();
    });
  }

  threshold_ = new QSlider(Qt::Horizontal);
  threshold_->setRange(1, 255);
  threshold_->setValue(PictureReduction{}.threshold);
  auto* thresholdRow = new QHBoxLayout;
  thresholdRow->addWidget(new QLabel(Text(text_key::kImportThreshold)));
  thresholdRow->addWidget(threshold_);
  dither_ = new QCheckBox(Text(text_key::kImportDither));
  invert_ = new QCheckBox(Text(text_key::kImportInvert));
  connect(threshold_, &QSlider::valueChanged, this, &PictureImportDialog::UpdatePreview);
  connect(dither_, &QCheckBox::toggled, this, &PictureImportDialog::UpdatePreview);
  connect(invert_, &QCheckBox::toggled, this, &PictureImportDialog::UpdatePreview);

  preview_ = new QLabel;
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setStyleSheet(QStringLiteral("background: #202020"));
  auto* scroll = new QScrollArea;
  scroll->setWidget(preview_);
  scroll->setWidgetResizable(true);
  scroll->setMinimumSize(kPreviewSide / 2, kPreviewSide / 4);
  ledCount_ = new QLabel;

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* options = new QVBoxLayout;
  options->addWidget(size);
  options->addLayout(thresholdRow);
  options->addWidget(dither_);
  options->addWidget(invert_);
  options->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(options);
  top->addWidget(scroll, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ledCount_);
  layout->addWidget(buttons);
  // Only a one-colour panel lights by brightness.
  if (ColoursOf(colourSet).count != 2) {
    for (int i = 0; i < thresholdRow->count(); ++i) thresholdRow->itemAt(i)->widget()->hide();
  }
  UpdatePreview();
}

PictureReduction PictureImportDialog::Reduction() const {
  PictureReduction how;
  how.fit = fitHeight_->isChecked() ? PictureFit::kFrameHeight
            : fitFrame_->isChecked() ? PictureFit::kInsideFrame
                                     : PictureFit::kNatural;
  how.threshold = threshold_->value();
  how.dither = dither_->isChecked();
  how.invert = invert_->isChecked();
  return how;
}

// A size the picture cannot take is named instead, and OK waits for another.
void PictureImportDialog::UpdatePreview() {
  ReducedPicture reduced;
  try {
    reduced = ReducePicture(picture_, Reduction(), colourSet_, frame_);
  } catch (const PictureError& e) {
    ShowRefusal(e.what());
    return;
  } catch (const std::bad_alloc&) {
    ShowRefusal("there is not enough memory for it");
    return;
  }
  ok_->setEnabled(true);
  ledCount_->setText(FromUtf8(
      FormatText(text_key::kImportLedCount, {std::to_string(reduced.width), std::to_string(reduced.height)})));
  if (reduced.width <= 0 || reduced.height <= 0) return;
  QImage image(reduced.width, reduced.height, QImage::Format_RGB32);
  for (int y = 0; y < reduced.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < reduced.width; ++x) row[x] = 0xFF000000 | PixelFromColor(reduced.ColourAt(x, y));
  }
  const int longest = std::max(reduced.width, reduced.height);
  const int led = std::clamp(kPreviewSide / longest, 1, kLargestLed);
  // A picture far larger than the preview is shown shrunk rather than as a huge pixmap.
  const QSize shown = longest > kLargestPreview ? QSize(reduced.width, reduced.height).scaled(
                                                      kLargestPreview, kLargestPreview, Qt::KeepAspectRatio)
                                                : QSize(reduced.width * led, reduced.height * led);
  preview_->setPixmap(QPixmap::fromImage(image.scaled(shown)));
}

void PictureImportDialog::ShowRefusal(const std::string& why) {
  ok_->setEnabled(false);
  preview_->clear();
  ledCount_->setText(FromUtf8(FormatText(text_key::kPictureTooLarge, {name_, why})));
}

}  // namespace lumetra::gui
