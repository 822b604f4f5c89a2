#include "gui/app/transfer_runner.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QMessageBox>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <exception>
#include <iostream>
#include <thread>

#include "document/document.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/send_dialog.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "render/picture.h"
#include "view/tessara_view.h"

namespace lumetra::gui {
namespace {

// The progress window: Cancel (or Escape) stops the transfer at the next
// frame, and the window stays until the transfer has stopped.
class ProgressWindow : public QDialog {
 public:
  ProgressWindow(std::function<void()> cancel, QWidget* parent)
      : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), cancel_(std::move(cancel)) {
    setWindowTitle(QStringLiteral("Tessara"));
    setModal(true);
    step_ = new QLabel(this);
    step_->setMinimumWidth(280);
    cancelButton_ = new QPushButton(Text(text_key::kCancelButton), this);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(step_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
  }
  void ShowStep(const QString& text) {
    if (!cancelButton_->isEnabled()) return;  // the cancel's note stays
    step_->setText(text);
  }
  void Finish() {
    finished_ = true;
    accept();
  }
  void reject() override {
    if (finished_) {
      QDialog::reject();
    } else if (cancelButton_->isEnabled()) {
      cancelButton_->setEnabled(false);
      step_->setText(Text(text_key::kTransferCancelling));
      cancel_();
    }
  }

 private:
  std::function<void()> cancel_;
  QLabel* step_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  bool finished_ = false;
};

}  // namespace

TransferRunner::TransferRunner(const DisplayLibrary* driver, const DisplayLibrary* panel, QWidget* parent)
    : QObject(parent), driver_(driver), panel_(panel), parent_(parent) {
  choose_ = [this](bool clockMode) -> std::optional<SendChoice> {
    CSendDlg dialog(clockMode, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
  };
  showMessage_ = [this](const QString& text) { QMessageBox::information(parent_, QStringLiteral("Tessara"), text); };
}

void TransferRunner::SendPicture(CTessaraDoc& doc, const CTessaraView& view) {
  const std::optional<SendChoice> choice = choose_(false);
  if (!choice) return;
  // Taken here, on the thread that draws: the sequence runs on another.
  const TransferPlan plan = PlanTransfer(doc, view.m_nClockCount, view.m_ptOrigin, *choice);
  const TransferReport report =
      Run([&](SendOperations& operations) { return SendPictureToDevice(operations, doc, plan); });
  showMessage_(FromUtf8(TransferMessage(CurrentLanguage(), report)));
}

void TransferRunner::SendClock() {
  const std::optional<SendChoice> choice = choose_(true);
  if (!choice) return;
  const TransferPlan plan = PlanClockTransfer(*choice);
  const TransferReport report = Run([&](SendOperations& operations) { return SendClockToDevice(operations, plan); });
  showMessage_(FromUtf8(TransferMessage(CurrentLanguage(), report)));
}

void TransferRunner::ApplyPlayModes(CTessaraDoc& doc, const CTessaraView& view) {
  const std::optional<SendChoice> choice = choose_(false);
  if (!choice) return;
  const TransferPlan plan = PlanTransfer(doc, view.m_nClockCount, view.m_ptOrigin, *choice);
  const TransferReport report =
      Run([&](SendOperations& operations) { return lumetra::ApplyPlayModes(operations, plan); });
  showMessage_(FromUtf8(AppliedMessage(CurrentLanguage(), report)));
}

TransferReport TransferRunner::Run(const std::function<TransferReport(SendOperations&)>& sequence) {
  TransferReport report;
  const double scale = std::max(pauseScale_, 0.0);
  CancelFlag cancel;
  SendOperations operations(
      driver_, panel_,
      [scale, &cancel](int milliseconds) {
        cancel.WaitFor(std::chrono::milliseconds(std::llround(milliseconds * scale)));
      },
      std::cout);
  operations.SetCancelFlag(&cancel);
  ProgressWindow progress([&operations] { operations.Cancel(); }, parent_);
  progressWindow_ = &progress;
  std::thread worker([&] {
    operations.SetStepObserver([&](SendStep step, int milliseconds) {
      const QString text = QString::fromStdString(SendStepText(step, milliseconds));
      QMetaObject::invokeMethod(
          &progress,
          [this, &progress, text] {
            progress.ShowStep(text);
            emit stepShown(text);
          },
          Qt::QueuedConnection);
    });
    // The picture is drawn where the canvas is drawn, never beside it.
    operations.SetPictureWriter([&](CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin) {
      bool written = false;
      std::exception_ptr failure;
      QMetaObject::invokeMethod(
          &progress,
          [&] {
            try {
              written = WritePicture(doc, path, origin);
            } catch (...) {
              failure = std::current_exception();
            }
          },
          Qt::BlockingQueuedConnection);
      if (failure) std::rethrow_exception(failure);
      return written;
    });
    report = sequence(operations);
    QMetaObject::invokeMethod(&progress, [&progress] { progress.Finish(); }, Qt::QueuedConnection);
  });
  progress.exec();
  worker.join();
  progressWindow_ = nullptr;
  return report;
}

}  // namespace lumetra::gui
