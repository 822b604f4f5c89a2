#pragma once
// The Zoom In list: a small tool window beside the canvas offering the zoom
// factors 1X to 6X. It stays open while the user draws and is shown and
// hidden by the zoom command.

#include <QDialog>

class QListWidget;

namespace lumetra::gui {

class CZoomListDlg : public QDialog {
  Q_OBJECT

 public:
  // At screen position (300, 200), 80 x 150, with "1X" selected; not shown yet.
  explicit CZoomListDlg(QWidget* parent);

  // Hides the list when it is visible and shows it otherwise.
  void Toggle();
  // Marks the entry of `factor` (1..6) as the current one without choosing it.
  void ShowFactor(int factor);

 signals:
  // The user chose an entry: its row + 1.
  void zoomChosen(int factor);

 private:
  QListWidget* list_ = nullptr;
};

}  // namespace lumetra::gui
