#include "view/canvas_render.h"

#include <gtest/gtest.h>

#include <memory>

#include "document/document.h"
#include "platform/gdi/dc.h"
#include "platform/local_time.h"
#include "units/ellipse.h"
#include "units/rectangle.h"
#include "units/text.h"

namespace lumetra {
namespace {

constexpr COLORREF kSentinel = 0x00123456;

std::unique_ptr<CTessaraDoc> SampleDoc() {
  auto doc = std::make_unique<CTessaraDoc>();
  doc->OnOpenDocument(LUMETRA_SOURCE_DIR "/resources/samples/welcome.tz", PanelSettings{});
  // An inverting unit across a separator shows whether the separators are
  // under the units in a clipped paint as well.
  auto ellipse = std::make_unique<CEllipse>();
  ellipse->m_ptFirst = {-20, 5};
  ellipse->m_ptSecond = {150, 100};
  ellipse->m_nDrawMode = R2_XORPEN;
  ellipse->m_nPenWidth = 3;
  ellipse->m_nBrushStyle = BS_HATCHED;
  ellipse->m_nHatchStyle = HS_DIAGCROSS;
  ellipse->m_crBrush = 0x0000FF00;
  doc->m_units.push_back(std::move(ellipse));
  for (std::size_t i = 0; i < doc->m_units.size(); i += 3) doc->m_units[i]->m_bSelected = true;
  return doc;
}

TEST(CanvasRender, AClippedPaintMatchesAFullPaintInsideTheClipAndLeavesTheRestAlone) {
  FixedLocalTime time({2024, 2, 29, 4, 23, 59, 0});
  auto doc = SampleDoc();
  // Wider and higher than the 128 x 160 canvas, as a zoomed view's bitmap may be.
  Bitmap32 full(150, 170, kSentinel);
  CDC fullDc(full);
  RenderCanvas(*doc, fullDc, LocalTime{}, std::nullopt, true);

  for (CRect clip : {CRect{3, 5, 61, 40}, CRect{100, 20, 150, 170}, CRect{0, 15, 128, 17}, CRect{-10, -10, 20, 20},
                     CRect{40, 60, 41, 160}}) {
    Bitmap32 part(150, 170, kSentinel);
    CDC partDc(part);
    RenderCanvas(*doc, partDc, LocalTime{}, clip, true);
    int differences = 0, touchedOutside = 0;
    for (int y = 0; y < part.Height(); ++y) {
      for (int x = 0; x < part.Width(); ++x) {
        if (clip.PtInRect({x, y})) {
          differences += part.At(x, y) != full.At(x, y);
        } else {
          touchedOutside += part.At(x, y) != PixelFromColor(kSentinel);
        }
      }
    }
    EXPECT_EQ(differences, 0) << clip.left << "," << clip.top;
    EXPECT_EQ(touchedOutside, 0) << clip.left << "," << clip.top;
  }
  // Off the canvas the bitmap is black, like the field.
  EXPECT_EQ(full.At(140, 10), 0u);
  EXPECT_EQ(full.At(5, 165), 0u);
}

TEST(CanvasRender, SeparatorsAreBlueLinesBetweenFramesAcrossThePanelWidthOnly) {
  CTessaraDoc doc;
  doc.m_nWidthWords = 8;
  doc.m_nHeightWords = 1;
  doc.m_nFrames = 3;
  Bitmap32 canvas(150, 60, kSentinel);
  CDC dc(canvas);
  RenderCanvas(doc, dc, LocalTime{}, std::nullopt, false);
  const std::uint32_t blue = PixelFromColor(kFrameSeparatorColour);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 150; ++x) {
      const bool separator = (y == 16 || y == 32) && x < 128;
      ASSERT_EQ(canvas.At(x, y), separator ? blue : 0u) << x << "," << y;
    }
  }
  doc.m_nFrames = 1;
  RenderCanvas(doc, dc, LocalTime{}, std::nullopt, false);
  EXPECT_EQ(canvas.At(0, 16), 0u);
}

TEST(CanvasRender, HandlesFollowTheirUnitSoALaterUnitCoversThem) {
  CTessaraDoc doc;
  auto add = [&](CRect box) {
    auto unit = std::make_unique<CRectangle>();
    unit->m_ptFirst = {box.left, box.top};
    unit->m_ptSecond = {box.right, box.bottom};
    unit->m_nBrushStyle = BS_SOLID;
    doc.m_units.push_back(std::move(unit));
  };
  add({20, 20, 60, 50});
  add({10, 10, 30, 30});  // over the first one's top-left handle
  doc.m_units[0]->m_bSelected = true;
  Bitmap32 canvas(128, 160);
  CDC dc(canvas);
  auto handlePixels = [&](CRect within) {
    int count = 0;
    for (int y = within.top; y < within.bottom; ++y) {
      for (int x = within.left; x < within.right; ++x) count += canvas.At(x, y) == PixelFromColor(0x00FFFF00);
    }
    return count;
  };
  RenderCanvas(doc, dc, LocalTime{}, std::nullopt, false);
  EXPECT_EQ(handlePixels({0, 0, 128, 160}), 0);
  RenderCanvas(doc, dc, LocalTime{}, std::nullopt, true);
  EXPECT_GT(handlePixels({0, 0, 128, 160}), 0);
  EXPECT_EQ(handlePixels({10, 10, 30, 30}), 0);
}

TEST(CanvasRender, ATextWhoseBoxCutsCharactersIsFramedOnlyInTheEditor) {
  CTessaraDoc doc;
  doc.m_nWidthWords = 4;
  doc.m_nHeightWords = 2;
  doc.m_nFrames = 1;
  for (const char* words : {"fits", "far too long to fit"}) {
    auto text = std::make_unique<CText>();
    text->m_strText = words;
    const int top = doc.m_units.empty() ? 1 : 17;
    text->m_ptFirst = {1, top};
    text->m_ptSecond = {doc.m_units.empty() ? 62 : 30, top + 14};
    doc.m_units.push_back(std::move(text));
  }
  ASSERT_EQ(dynamic_cast<CText&>(*doc.m_units[0]).ClippedCharacters(), 0);
  const CSize size = doc.CanvasPixels();
  for (const bool editor : {true, false}) {
    Bitmap32 canvas(size.cx, size.cy);
    CDC dc(canvas);
    RenderCanvas(doc, dc, LocalTime{}, std::nullopt, editor);
    const std::uint32_t magenta = PixelFromColor(kClippedTextColour);
    EXPECT_EQ(canvas.At(0, 25), editor ? magenta : 0u) << editor;  // round the long text's box
    EXPECT_EQ(canvas.At(0, 8), 0u) << editor;                      // the text that fits has none
  }
}

}  // namespace
}  // namespace lumetra
