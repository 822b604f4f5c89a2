#include "gui/dialogs/send_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "comm/send_data.h"
#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"
#include "lang/text_keys.h"
#include "protocol/port_names.h"

namespace lumetra::gui {
namespace {

constexpr int kDialogId = 181;

// What a port stands for, or why it stands for nothing usable.
QString PortTargetText(int port) {
  try {
    return FromUtf8(FormatText(text_key::kPortGoesTo, {protocol::ResolvePort(PortName(port)).Describe()}));
  } catch (const protocol::LinkError& error) {
    return FromUtf8(error.what());
  }
}

}  // namespace

CSendDlg::CSendDlg(bool clockMode, QWidget* parent) : QDialog(parent), model_(clockMode) {
  port_ = WithId(new QComboBox(this), 1121);
  for (int i = 0; i < kPortCount; ++i) port_->addItem(QString::fromStdString(PortName(i)));
  portTarget_ = new QLineEdit(this);
  portTarget_->setReadOnly(true);
  portTarget_->setMinimumWidth(260);
  connect(port_, &QComboBox::currentIndexChanged, this, [this](int index) {
    portTarget_->setText(PortTargetText(index));
    portTarget_->setCursorPosition(0);
  });
  reverse_ = WithId(new QCheckBox(QStringLiteral("Reverse color"), this), 1138);
  mova_ = WithId(new QRadioButton(QStringLiteral("MOVA"), this), 1006);
  movaOut_ = WithId(new QRadioButton(QStringLiteral("MOVA_OUT"), this), 1142);
  refreshTimer_ = WithId(new QCheckBox(QStringLiteral("Refresh timer"), this), 1139);
  address_ = WithId(new QLineEdit(this), 1035);
  broadcast_ = WithId(new QCheckBox(QStringLiteral("Broadcast"), this), 1146);
  auto* example = WithId(new QLabel(QStringLiteral("For example:\"1,2,3-5\" Max 127, others will be ignored "), this), 1170);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* send = WithId(buttons->addButton(QStringLiteral("Send"), QDialogButtonBox::AcceptRole), 1);
  WithId(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), 2);
  send->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(WithId(new QLabel(QStringLiteral("Select COM Port"), this), label_id::kPort), 0, 0);
  grid->addWidget(port_, 0, 1);
  grid->addWidget(portTarget_, 0, 2);
  grid->addWidget(mova_, 1, 0);
  grid->addWidget(movaOut_, 1, 1);
  grid->addWidget(reverse_, 2, 0);
  grid->addWidget(refreshTimer_, 2, 1);
  grid->addWidget(WithId(new QLabel(QStringLiteral("Screen Address"), this), label_id::kAddress), 3, 0);
  grid->addWidget(address_, 3, 1);
  grid->addWidget(broadcast_, 4, 0);
  grid->addWidget(example, 5, 0, 1, 3);
  grid->addWidget(buttons, 6, 0, 1, 3);

  connect(buttons, &QDialogButtonBox::accepted, this, &CSendDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSendDlg::reject);
  connect(movaOut_, &QRadioButton::clicked, this, [this] {
    TakeValues();
    model_.OnControllerType(kControllerMovaOut);
    ShowValues();
  });
  connect(mova_, &QRadioButton::clicked, this, [this] {
    TakeValues();
    model_.OnControllerType(kControllerMova);
    ShowValues();
  });
  connect(broadcast_, &QCheckBox::clicked, this, [this] {
    TakeValues();
    ShowValues();
  });
  connect(reverse_, &QCheckBox::clicked, this, &CSendDlg::TakeValues);

  showMessage_ = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Tessara"), text); };
  ShowValues();
  portTarget_->setText(PortTargetText(port_->currentIndex()));
  TranslateDialog(this, kDialogId);
}

void CSendDlg::TakeValues() {
  model_.m_nPort = port_->currentIndex();
  model_.m_bReverseColour = reverse_->isChecked();
  model_.m_nControllerType = movaOut_->isChecked() ? kControllerMovaOut : kControllerMova;
  model_.m_bRefreshTimer = refreshTimer_->isChecked();
  model_.m_strAddress = address_->text().toStdString();
  model_.OnBroadcast(broadcast_->isChecked());
}

void CSendDlg::ShowValues() {
  port_->setCurrentIndex(model_.m_nPort);
  reverse_->setChecked(model_.m_bReverseColour);
  reverse_->setEnabled(model_.ReverseColourEnabled());
  mova_->setChecked(model_.m_nControllerType == kControllerMova);
  movaOut_->setChecked(model_.m_nControllerType == kControllerMovaOut);
  refreshTimer_->setChecked(model_.m_bRefreshTimer);
  refreshTimer_->setEnabled(model_.RefreshTimerEnabled());
  address_->setText(QString::fromStdString(model_.m_strAddress));
  address_->setEnabled(model_.AddressEditEnabled());
  broadcast_->setChecked(model_.m_bBroadcast);
}

// "Send" checks the address text, also with "Broadcast" ticked; a refused
// text leaves the dialog open.
void CSendDlg::accept() {
  TakeValues();
  choice_ = model_.OnSend();
  if (!choice_) {
    showMessage_(Text(kInvalidAddressKey));
    return;
  }
  QDialog::accept();
}

}  // namespace lumetra::gui
