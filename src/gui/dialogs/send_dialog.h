#pragma once
// The send dialog (181): port, addresses, controller type and the two
// options of a transfer, over the core's SendDialogModel. Created anew for
// every transfer, so nothing is remembered between transfers.

#include <QDialog>

#include <functional>
#include <optional>

#include "comm/send_dialog_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace lumetra::gui {

class CSendDlg : public QDialog {
  Q_OBJECT

 public:
  // In clock mode "Refresh timer" is ticked and, like "Reverse color", disabled.
  explicit CSendDlg(bool clockMode, QWidget* parent = nullptr);

  // The choice after "Send"; nothing after Cancel.
  const std::optional<SendChoice>& Choice() const { return choice_; }

  // Shows a refusal; a message box with the application's title unless replaced (tests).
  void SetMessageHandler(std::function<void(const QString&)> show) { showMessage_ = std::move(show); }

  void accept() override;

 private:
  // The model takes what the controls show before each reaction...
  void TakeValues();
  // ...and the controls show the model afterwards.
  void ShowValues();

  SendDialogModel model_;
  std::optional<SendChoice> choice_;
  std::function<void(const QString&)> showMessage_;
  QComboBox* port_ = nullptr;
  QLineEdit* portTarget_ = nullptr;  // what the chosen port stands for, read-only
  QCheckBox* reverse_ = nullptr;
  QRadioButton* mova_ = nullptr;
  QRadioButton* movaOut_ = nullptr;
  QCheckBox* refreshTimer_ = nullptr;
  QLineEdit* address_ = nullptr;
  QCheckBox* broadcast_ = nullptr;
};

}  // namespace lumetra::gui
