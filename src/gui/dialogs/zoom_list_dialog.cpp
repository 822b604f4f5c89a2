#include "gui/dialogs/zoom_list_dialog.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/dialogs/dialog_translation.h"

namespace lumetra::gui {
namespace {

// The list takes its texts with the Preview's dialog number.
constexpr int kTranslatedAs = 198;
constexpr int kZoomListId = 1154;
constexpr int kFactorCount = 6;

}  // namespace

CZoomListDlg::CZoomListDlg(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setWindowTitle(QStringLiteral("Zoom In"));
  list_ = new QListWidget;
  SetControlId(list_, kZoomListId);
  for (int factor = 1; factor <= kFactorCount; ++factor) list_->addItem(QStringLiteral("%1X").arg(factor));
  list_->setCurrentRow(0);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) emit zoomChosen(row + 1);
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);

  move(300, 200);
  resize(80, 150);
  TranslateDialog(this, kTranslatedAs);
}

void CZoomListDlg::Toggle() { setVisible(!isVisible()); }

void CZoomListDlg::ShowFactor(int factor) {
  const QSignalBlocker quiet(list_);
  list_->setCurrentRow(std::clamp(factor, 1, kFactorCount) - 1);
}

}  // namespace lumetra::gui
