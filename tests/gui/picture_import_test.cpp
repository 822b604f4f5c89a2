// Importing a picture by dropping it on the canvas: the import dialog asks
// how to reduce it, the picture lands with its top-left LED at the drop
// point, in the LEDs the reduction makes, selected; a dropped document opens.

#include <QCheckBox>
#include <QMimeData>
#include <QRadioButton>
#include <QtTest>

#include "document/document.h"
#include "document/picture_import.h"
#include "gui/app/child_frame.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/picture_import_dialog.h"
#include "platform/archive/byte_stream.h"
#include "platform/files.h"
#include "platform/gdi/bmp_file.h"
#include "platform/png_encoder.h"
#include "support/editor_session.h"
#include "units/bmp.h"
#include "view/tessara_view.h"

using namespace lumetra;

namespace {

void Drop(gui::CanvasWidget& canvas, const std::filesystem::path& file, QPoint at) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
  // Qt hands a drop to the widget that accepted the drag's entering.
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas.viewport(), &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas.viewport(), &drop);
}

}  // namespace

class PictureImportTest : public QObject {
  Q_OBJECT

 private slots:
  void aDroppedPictureIsReducedAsChosenAndLandsWhereDropped() {
    test::EditorSession session("picture-import");
    gui::CChildFrame* child = session.frame->NewDocument();
    QVERIFY(child);
    Bitmap32 logo(60, 30);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 60; ++x) logo.At(x, y) = x < 20 ? 0xFF0000 : (x < 40 ? 0x00FF00 : 0xF0F000 * ((x + y) % 2));
    }
    const std::filesystem::path png = session.folder / "logo.png";
    WriteFileAtomically(png, EncodePng(logo));

    const std::size_t before = child->Document().m_units.size();
    Drop(child->Canvas(), png, QPoint(37, 21));
    // The canvas takes what was dropped once the drop has ended; then the dialog opens.
    PictureReduction chosen;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<gui::PictureImportDialog*>(QApplication::activeModalWidget());
      if (!dialog) {
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
        QFAIL("the import dialog did not open");
      }
      for (auto* button : dialog->findChildren<QRadioButton*>()) {
        if (button->text() == "Fit to the frame's height") button->setChecked(true);
      }
      for (auto* box : dialog->findChildren<QCheckBox*>()) {
        if (box->text() == "Dithering") box->setChecked(true);
      }
      chosen = dialog->Reduction();
      dialog->accept();
    });
    QCoreApplication::processEvents();
    QCOMPARE(chosen.fit, PictureFit::kFrameHeight);
    QVERIFY(chosen.dither);
    QCOMPARE(child->Document().m_units.size(), before + 1);

    const auto* unit = dynamic_cast<const CBmp*>(child->Document().m_units.back().get());
    QVERIFY(unit);
    QVERIFY(unit->m_bSelected);
    CTessaraView& view = child->View();
    QCOMPARE(unit->m_ptFirst, view.ToCanvas({37, 21}));
    QVERIFY(unit->m_ptFirst != CPoint{});
    const CTessaraDoc& doc = child->Document();
    const ReducedPicture expected =
        ReducePicture(DecodePicture(EncodePng(logo)), chosen, doc.m_nColourSet,
                      {doc.m_nWidthWords * kWordPixels, doc.m_nHeightWords * kWordPixels});
    ByteWriter out;
    unit->m_dib.WriteBmp(out);
    const std::optional<Bitmap32> drawn = DecodeBmp(out.Bytes());
    QVERIFY(drawn);
    QCOMPARE(drawn->Width(), expected.width);
    QCOMPARE(drawn->Height(), 16);
    for (int y = 0; y < expected.height; ++y) {
      for (int x = 0; x < expected.width; ++x) QCOMPARE(drawn->At(x, y), PixelFromColor(expected.ColourAt(x, y)));
    }

    // A document dropped on the canvas opens as a document.
    CTessaraDoc().OnSaveDocument(session.folder / "other.tz");
    const int windows = int(session.frame->findChildren<gui::CChildFrame*>().size());
    Drop(child->Canvas(), session.folder / "other.tz", QPoint(5, 5));
    QCoreApplication::processEvents();
    QCOMPARE(int(session.frame->findChildren<gui::CChildFrame*>().size()), windows + 1);
  }
};

QTEST_MAIN(PictureImportTest)
#include "picture_import_test.moc"
