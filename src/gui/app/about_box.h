#pragma once
// The About box: the program's picture alone on a borderless box; a click
// anywhere, Enter or Escape closes it.

#include <QDialog>

namespace lumetra::gui {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace lumetra::gui
