// Units through the system clipboard between documents of the editor, and
// the drawing order commands, offscreen.

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <memory>
#include <vector>

#include "document/document.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/canvas/canvas_widget.h"
#include "lang/language.h"
#include "platform/archive/archive.h"
#include "platform/profile/settings_store.h"
#include "support/editor_session.h"
#include "support/sample_units.h"
#include "units/rectangle.h"
#include "units/timer.h"
#include "units/unit_classes.h"
#include "view/tessara_view.h"
#include "view/unit_clipboard.h"
#include "view/view_commands.h"

using namespace lumetra;
using namespace lumetra::gui;

namespace {

std::vector<std::uint8_t> StoredBytes(const CUnit& unit) {
  CArchive ar(UnitClasses());
  std::unique_ptr<CUnit> copy = unit.Clone();
  copy->Serialize(ar);
  return ar.Output().TakeBytes();
}

void Activate(CChildFrame* child) { child->mdiArea()->setActiveSubWindow(child); }

// The tests pick units without the mouse: the commands' states follow as after a click.
void Picked(CChildFrame* child, CUnit& current) {
  child->View().m_pCurUnit = &current;
  emit child->Canvas().viewStateChanged();
}

void SetCanvas(CTessaraDoc& doc, int widthWords, int heightWords, int frames) {
  doc.m_nWidthWords = widthWords;
  doc.m_nHeightWords = heightWords;
  doc.m_nFrames = frames;
}

}  // namespace

class ClipboardTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { session_ = std::make_unique<test::EditorSession>("lumetra-clipboard"); }

  void cleanup() { session_.reset(); }


  // Every class but the clock arrives byte for byte in another document and,
  // moved by (8, 8), in its own; the clock stays behind and the status bar says so.
  void everyUnitButTheClockTravelsByteForByte() {
    CChildFrame* source = session_->frame->NewDocument();
    CTessaraDoc& from = source->Document();
    SetCanvas(from, 16, 2, 4);
    for (std::unique_ptr<CUnit>& unit : test::OneUnitOfEveryClass()) {
      unit->Translate(20, 20);
      from.History().Append(std::move(unit)).m_bSelected = true;
    }
    std::vector<std::vector<std::uint8_t>> originals;
    for (const auto& unit : from.m_units) {
      if (!dynamic_cast<CTimer*>(unit.get())) originals.push_back(StoredBytes(*unit));
      const CRect box = unit->Bounds();
      QVERIFY(box.left >= 0 && box.top >= 0 && box.right <= 256 - 8 && box.bottom <= 128 - 8);
    }
    Picked(source, *from.m_units.back());
    session_->frame->Action(kCmdCopyToClipboard)->trigger();
    QVERIFY(session_->frame->statusBar()->currentMessage().contains(QStringLiteral("clock")));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(QLatin1String(kUnitsMimeType)));
    QVERIFY(data->data(QLatin1String(kPngMimeType)).startsWith("\x89PNG"));

    CChildFrame* target = session_->frame->NewDocument();
    SetCanvas(target->Document(), 16, 2, 4);
    QVERIFY(session_->frame->Action(kCmdPasteFromClipboard)->isEnabled());
    session_->frame->Action(kCmdPasteFromClipboard)->trigger();
    const auto& pasted = target->Document().m_units;
    QCOMPARE(pasted.size(), originals.size());
    for (std::size_t i = 0; i < pasted.size(); ++i) {
      QVERIFY(pasted[i]->m_bSelected);
      QVERIFY(StoredBytes(*pasted[i]) == originals[i]);
    }
    QVERIFY(target->Document().IsModified());
    session_->frame->Action(kCmdUndo)->trigger();
    QVERIFY(target->Document().m_units.empty());

    Activate(source);
    const std::size_t before = from.m_units.size();
    session_->frame->Action(kCmdPasteFromClipboard)->trigger();
    QCOMPARE(from.m_units.size(), before + originals.size());
    for (std::size_t i = 0; i < originals.size(); ++i) {
      std::unique_ptr<CUnit> moved = from.m_units[i < 6 ? i : i + 1]->Clone();  // the clock is unit 6
      moved->Translate(kPasteOffset.x, kPasteOffset.y);
      QVERIFY(StoredBytes(*from.m_units[before + i]) == StoredBytes(*moved));
      QVERIFY(!from.m_units[i]->m_bSelected);
    }
  }

  // Whatever does not fit moves in, by no more than it must; what is larger
  // than the canvas keeps its top-left corner on the canvas's.
  void aPasteIntoASmallerCanvasLandsInsideIt() {
    struct Case {
      CRect rectangle;
      CRect expected;  // its painted box after the paste into a 32 x 16 canvas
    };
    const Case cases[] = {
        {{200, 100, 210, 106}, {22, 10, 32, 16}},
        {{-30, 5, -20, 9}, {0, 5, 10, 9}},
        {{3, 2, 13, 8}, {3, 2, 13, 8}},
        {{40, -50, 90, 70}, {0, 0, 50, 120}},
    };
    CChildFrame* source = session_->frame->NewDocument();
    CChildFrame* target = session_->frame->NewDocument();
    SetCanvas(target->Document(), 2, 1, 1);
    for (const Case& c : cases) {
      Activate(source);
      auto rectangle = std::make_unique<CRectangle>();
      rectangle->m_ptFirst = c.rectangle.TopLeft();
      rectangle->m_ptSecond = c.rectangle.BottomRight();
      rectangle->m_nPenWidth = 1;
      CUnit& unit = source->Document().History().Append(std::move(rectangle));
      Picked(source, unit);
      session_->frame->Action(kCmdCopyToClipboard)->trigger();
      Activate(target);
      session_->frame->Action(kCmdPasteFromClipboard)->trigger();
      const CRect box = target->Document().m_units.back()->Bounds();
      QCOMPARE(box.TopLeft().x, c.expected.left);
      QCOMPARE(box.TopLeft().y, c.expected.top);
      QCOMPARE(box.BottomRight().x, c.expected.right);
      QCOMPARE(box.BottomRight().y, c.expected.bottom);
    }
  }

  // Units 1 and 3 of five are selected; each command, then Undo and Redo.
  void drawingOrderCommandsUndoAndRedo() {
    struct Case {
      int command;
      std::vector<std::size_t> order;  // the original indices, bottom to top
    };
    const Case cases[] = {
        {kCmdBringToFront, {0, 2, 4, 1, 3}},
        {kCmdSendToBack, {1, 3, 0, 2, 4}},
        {kCmdBringForward, {0, 2, 1, 4, 3}},
        {kCmdSendBackward, {1, 0, 3, 2, 4}},
    };
    for (const Case& c : cases) {
      CChildFrame* child = session_->frame->NewDocument();
      CTessaraDoc& doc = child->Document();
      std::vector<CUnit*> units;
      for (int i = 0; i < 5; ++i) {
        units.push_back(&doc.History().Append(std::make_unique<CRectangle>()));
        units.back()->m_bSelected = i == 1 || i == 3;
      }
      Picked(child, *units[3]);
      const auto order = [&] {
        std::vector<std::size_t> now;
        for (const auto& unit : doc.m_units) {
          now.push_back(std::size_t(std::find(units.begin(), units.end(), unit.get()) - units.begin()));
        }
        return now;
      };
      QVERIFY(session_->frame->Action(c.command)->isEnabled());
      session_->frame->Action(c.command)->trigger();
      QCOMPARE(order(), c.order);
      QVERIFY(session_->frame->Action(kCmdUndo)->text().contains(QStringLiteral("Drawing Order")));
      session_->frame->Action(kCmdUndo)->trigger();
      QCOMPARE(order(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
      QVERIFY(!doc.IsModified());
      session_->frame->Action(kCmdRedo)->trigger();
      QCOMPARE(order(), c.order);
      // At the front or the back, the command has nothing more to do; a step can go on.
      emit child->Canvas().viewStateChanged();
      QCOMPARE(session_->frame->Action(c.command)->isEnabled(), c.command == kCmdBringForward || c.command == kCmdSendBackward);
    }
  }

  // Cut takes what it copied, the clock among the selected units stays, and
  // a paste puts the units back where they were.
  void cutLeavesTheClock() {
    CChildFrame* child = session_->frame->NewDocument();
    CTessaraDoc& doc = child->Document();
    doc.History().Append(std::make_unique<CRectangle>()).m_bSelected = true;
    doc.History().Append(std::make_unique<CTimer>()).m_bSelected = true;
    Picked(child, *doc.m_units.back());
    session_->frame->Action(kCmdCutToClipboard)->trigger();
    QCOMPARE(int(doc.m_units.size()), 1);
    QVERIFY(dynamic_cast<CTimer*>(doc.m_units[0].get()));
    QVERIFY(session_->frame->Action(kCmdUndo)->text().contains(QStringLiteral("Cut")));
    const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data(QLatin1String(kUnitsMimeType));
    const PastedUnits onClipboard = ReadClipboardUnits(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    QCOMPARE(int(onClipboard.units.size()), 1);
    QVERIFY(dynamic_cast<CRectangle*>(onClipboard.units[0].get()));
    session_->frame->Action(kCmdPasteFromClipboard)->trigger();
    QCOMPARE(int(doc.m_units.size()), 2);
    QVERIFY(StoredBytes(*doc.m_units[1]) == StoredBytes(*onClipboard.units[0]));
  }

 private:
  std::unique_ptr<test::EditorSession> session_;
};

QTEST_MAIN(ClipboardTest)
#include "clipboard_test.moc"
