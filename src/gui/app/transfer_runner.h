#pragma once
// The editor's transfers to the panels: the send dialog, then the sequence
// with its pauses on a worker thread while a modal progress window names the
// current step (the windows keep painting) and offers Cancel, then the
// result as a message.

#include <QObject>

#include <functional>
#include <optional>

#include "comm/send_commands.h"

class QDialog;
class QWidget;

namespace lumetra {
class CTessaraDoc;
class CTessaraView;
class DisplayLibrary;
}  // namespace lumetra

namespace lumetra::gui {

class TransferRunner : public QObject {
  Q_OBJECT

 public:
  TransferRunner(const DisplayLibrary* driver, const DisplayLibrary* panel, QWidget* parent);

  // "Send picture to device" (32881): clear, parameters, picture, clock.
  void SendPicture(CTessaraDoc& doc, const CTessaraView& view);
  // The clock alone (32892), the dialog in clock mode.
  void SendClock();
  // "Apply..." of the play modes: parameters and clock; "2001" (with the
  // port and the panels that failed) or "2002".
  void ApplyPlayModes(CTessaraDoc& doc, const CTessaraView& view);

  // What tests replace: the send dialog, the length of the pauses, the message boxes.
  using Chooser = std::function<std::optional<SendChoice>(bool clockMode)>;
  void SetChooser(Chooser chooser) { choose_ = std::move(chooser); }
  void SetPauseScale(double scale) { pauseScale_ = scale; }
  void SetMessageHandler(std::function<void(const QString&)> show) { showMessage_ = std::move(show); }
  // The progress window while a transfer runs (its Cancel button), else null.
  QDialog* ActiveProgressWindow() const { return progressWindow_; }

 signals:
  // The progress window shows a step ("Sending the picture", "Waiting 500 ms", ...).
  void stepShown(const QString& text);

 private:
  // Runs the sequence on a worker thread under the progress window; what it came to.
  TransferReport Run(const std::function<TransferReport(SendOperations&)>& sequence);

  const DisplayLibrary* driver_;
  const DisplayLibrary* panel_;
  QWidget* parent_;
  Chooser choose_;
  double pauseScale_ = 1.0;
  std::function<void(const QString&)> showMessage_;
  QDialog* progressWindow_ = nullptr;
};

}  // namespace lumetra::gui
