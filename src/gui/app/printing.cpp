#include "gui/app/printing.h"

#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include "document/document.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "view/tessara_view.h"

namespace lumetra::gui {
namespace {

QPrinter& Printer() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

// The units on white paper at one pixel per LED, each LED then printed as a
// block of (printer resolution ÷ screen resolution) dots.
void Render(CTessaraView& view, QPrinter& printer, QWidget* parent) {
  CTessaraDoc* document = view.GetDocument();
  if (!document) return;
  const CSize size = document->CanvasPixels();
  Bitmap32 page(size.cx, size.cy, 0x00FFFFFF);
  CDC dc(page);
  view.OnPrint(dc);
  const QImage image(reinterpret_cast<const uchar*>(page.Pixels().data()), page.Width(), page.Height(),
                     qsizetype(page.Width()) * 4, QImage::Format_RGB32);
  const int screenDpi = parent && parent->screen() ? int(parent->screen()->logicalDotsPerInchX()) : 96;
  const int scale = std::max(1, printer.resolution() / std::max(screenDpi, 1));
  QPainter painter(&printer);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(0, 0, page.Width() * scale, page.Height() * scale), image);
}

}  // namespace

void PrintView(CTessaraView& view, QWidget* parent, bool preview) {
  QPrinter& printer = Printer();
  if (preview) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&](QPrinter* target) { Render(view, *target, parent); });
    dialog.exec();
    return;
  }
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() == QDialog::Accepted) Render(view, printer, parent);
}

void ShowPrintSetup(QWidget* parent) {
  QPageSetupDialog dialog(&Printer(), parent);
  dialog.exec();
}

}  // namespace lumetra::gui
