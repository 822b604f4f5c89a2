#include "gui/app/about_box.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace lumetra::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  auto* picture = new QLabel(this);
  picture->setPixmap(QPixmap(QStringLiteral(":/about.png")));
  // Clicks on the picture reach the box.
  picture->setAttribute(Qt::WA_TransparentForMouseEvents);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(picture);
  setFixedSize(sizeHint());
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) accept();
}

}  // namespace lumetra::gui
