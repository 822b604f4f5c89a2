#include "gui/app/child_frame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>

#include "document/document.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"

namespace lumetra::gui {

CChildFrame::CChildFrame(std::unique_ptr<CTessaraDoc> document, QString title, StylePageValues* stylePage,
                         QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)), title_(std::move(title)) {
  // The document window has no caption or border of its own: the main
  // window's caption names the document.
  setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_DeleteOnClose);
  canvas_ = new CanvasWidget(*document_, stylePage, this);
  setWidget(canvas_);
  setWindowTitle(title_);
  connect(canvas_, &CanvasWidget::canvasSizeChanged, this, &CChildFrame::FitToCanvas);
}

// The canvas goes before the document it shows.
CChildFrame::~CChildFrame() { delete canvas_; }

CTessaraView& CChildFrame::View() { return canvas_->View(); }

void CChildFrame::SetTitle(const QString& title) {
  title_ = title;
  setWindowTitle(title_);
  emit titleChanged();
}

// Scroll bars get room only when the canvas does not fit the workspace, and
// then beside the canvas rather than over it.
void CChildFrame::FitToCanvas() {
  QSize size = canvas_->CanvasFrameSize();
  if (QMdiArea* area = mdiArea(); area && !area->viewport()->size().isEmpty()) {
    const QSize room = area->viewport()->size();
    const int barWidth = canvas_->verticalScrollBar()->sizeHint().width();
    const int barHeight = canvas_->horizontalScrollBar()->sizeHint().height();
    bool vertical = size.height() > room.height();
    bool horizontal = size.width() > room.width();
    if (vertical && !horizontal) horizontal = size.width() + barWidth > room.width();
    if (horizontal && !vertical) vertical = size.height() + barHeight > room.height();
    if (vertical) size.rwidth() += barWidth;
    if (horizontal) size.rheight() += barHeight;
    size = size.boundedTo(room);
  }
  setGeometry(QRect(QPoint(0, 0), size));
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (document_->IsModified()) {
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Lumetra"),
                    FromUtf8(FormatText(text_key::kSaveChangesPrompt, {title_.toStdString()})),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    ask.setDefaultButton(QMessageBox::Save);
    ask.button(QMessageBox::Save)->setText(Text(text_key::kSaveButton));
    ask.button(QMessageBox::Discard)->setText(Text(text_key::kDiscardButton));
    ask.button(QMessageBox::Cancel)->setText(Text(text_key::kCancelButton));
    const int answer = ask.exec();
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !(save_ && save_(*this)))) {
      event->ignore();
      return;
    }
  }
  document_->OnCloseDocument();
  QMdiSubWindow::closeEvent(event);
}

}  // namespace lumetra::gui
