#pragma once
// CChildFrame: the window of one document, holding the document and its
// canvas. It sits in the main window's workspace without a caption, at the
// top left, as large as the zoomed canvas allows.

#include <QMdiSubWindow>

#include <functional>
#include <memory>

namespace lumetra {
class CTessaraDoc;
class CTessaraView;
struct StylePageValues;
}  // namespace lumetra

namespace lumetra::gui {

class CanvasWidget;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT

 public:
  CChildFrame(std::unique_ptr<CTessaraDoc> document, QString title, StylePageValues* stylePage,
              QWidget* parent = nullptr);
  ~CChildFrame() override;

  CTessaraDoc& Document() { return *document_; }
  CanvasWidget& Canvas() { return *canvas_; }
  CTessaraView& View();

  // The file name, or the name a new document got ("Lumet1", ...).
  const QString& Title() const { return title_; }
  void SetTitle(const QString& title);

  // Asked when a modified document is closed: save it (true when saved).
  void SetSaveHandler(std::function<bool(CChildFrame&)> save) { save_ = std::move(save); }

  // Places the window at the top left with the canvas' size, limited to the workspace.
  void FitToCanvas();

 signals:
  void titleChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<CTessaraDoc> document_;
  CanvasWidget* canvas_;
  QString title_;
  std::function<bool(CChildFrame&)> save_;
};

}  // namespace lumetra::gui
