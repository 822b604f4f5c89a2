#include "cli/info_command.h"

#include "document/document.h"
#include "platform/codepage/codepage.h"
#include "units/bmp.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/ellipse_arc.h"
#include "units/poly_bezier.h"
#include "units/polygon.h"
#include "units/round.h"
#include "units/round_arc.h"
#include "units/text.h"

namespace lumetra {
namespace {

using Json = nlohmann::ordered_json;

Json PointJson(CPoint p) { return Json::array({p.x, p.y}); }

Json PointsJson(const CPointArray& points) {
  Json list = Json::array();
  for (CPoint p : points) list.push_back(PointJson(p));
  return list;
}

template <std::size_t N>
Json ArrayJson(const std::array<std::int32_t, N>& values) {
  return Json(std::vector<std::int32_t>(values.begin(), values.end()));
}

bool StoresBrush(std::string_view cls) {
  return cls == "CRectangle" || cls == "CRoundRectangle" || cls == "CTimer" || cls == "CEllipse" ||
         cls == "CLiEllipse" || cls == "CRound" || cls == "CEllipseArc";
}

Json DescribeUnit(const CUnit& unit, const std::string& codePage) {
  std::string_view cls = unit.GetRuntimeClass().name;
  Json u;
  u["class"] = cls;
  if (cls != "CCurve") {
    u["first"] = PointJson(unit.m_ptFirst);
    u["second"] = PointJson(unit.m_ptSecond);
  }
  if (const auto* curve = ObjectCast<CCurve>(&unit)) u["points"] = PointsJson(curve->m_aPoints);
  if (const auto* polygon = ObjectCast<CPolygon>(&unit)) u["points"] = PointsJson(polygon->m_aPoints);
  if (const auto* bezier = ObjectCast<CPolyBezier>(&unit)) u["points"] = PointsJson(bezier->m_aPoints);
  u["pen"] = {{"colour", unit.m_crPen}, {"style", unit.m_nPenStyle}, {"width", unit.m_nPenWidth}};
  if (cls != "CCurve") {
    u["background"] = {{"mode", unit.m_nBkMode}, {"colour", unit.m_crBk}};
    u["rop2"] = unit.m_nDrawMode;
  }
  if (StoresBrush(cls)) {
    u["brush"] = {{"style", unit.m_nBrushStyle}, {"hatch", unit.m_nHatchStyle}, {"colour", unit.m_crBrush}};
  }
  if (const auto* text = ObjectCast<CText>(&unit)) {
    const LOGFONT& lf = text->m_pFont->GetLogFont();
    u["text"] = CodePageToUtf8(text->m_strText, codePage);
    u["font"] = {{"face", CodePageToUtf8(lf.FaceName(), codePage)},
                 {"height", lf.lfHeight},
                 {"weight", lf.lfWeight},
                 {"italic", lf.lfItalic != 0}};
    u["autoAlign"] = text->m_bAutoAlign != 0;
    u["wordBreak"] = text->m_bWordBreak != 0;
    u["rowSpacing"] = text->m_nRowSpacing;
    static constexpr const char* kAlignments[] = {"left", "centre", "right"};
    u["alignment"] = kAlignments[text->Alignment()];
    u["letterSpacing"] = text->LetterSpacing();
    u["clipped"] = text->ClippedCharacters();
  }
  if (const auto* bmp = ObjectCast<CBmp>(&unit)) {
    BITMAPINFOHEADER h = bmp->m_dib.Header();
    u["image"] = {{"width", h.biWidth},
                  {"height", h.biHeight},
                  {"bitCount", h.biBitCount},
                  {"compression", h.biCompression},
                  {"colours", bmp->m_dib.ColourCount()},
                  {"drawn", bmp->m_dib.CanDraw()}};
  }
  if (const auto* ellipse = ObjectCast<CEllipse>(&unit)) u["center"] = PointJson(ellipse->m_ptCenter);
  if (const auto* round = ObjectCast<CRound>(&unit)) u["center"] = PointJson(round->m_ptCenter);
  if (const auto* arc = ObjectCast<CEllipseArc>(&unit)) {
    u["center"] = PointJson(arc->m_ptCenter);
    u["angles"] = {arc->m_dAngle1, arc->m_dAngle2};
  }
  if (const auto* arc = ObjectCast<CRoundArc>(&unit)) {
    u["center"] = PointJson(arc->m_ptCenter);
    u["third"] = PointJson(arc->m_ptThird);
  }
  return u;
}

}  // namespace

Json DescribeDocument(const CTessaraDoc& doc, const std::string& codePage) {
  const CPlayModeSet& play = doc.m_playMode;
  Json units = Json::array();
  for (const auto& unit : doc.m_units) units.push_back(DescribeUnit(*unit, codePage));
  CSize canvas = doc.CanvasPixels();
  return Json{
      {"widthWords", doc.m_nWidthWords},
      {"heightWords", doc.m_nHeightWords},
      {"frames", doc.m_nFrames},
      {"canvas", {{"width", canvas.cx}, {"height", canvas.cy}}},
      {"clock",
       {{"style", doc.m_nClockStyle},
        {"row", doc.m_nClockRow},
        {"frame", doc.m_nClockFrame},
        {"align", doc.m_nClockAlign},
        {"colour", doc.m_nClockColour}}},
      {"playMode",
       {{"rows", play.m_nRowCount},
        {"enabled", ArrayJson(play.m_abEnable)},
        {"start", ArrayJson(play.m_anStart)},
        {"end", ArrayJson(play.m_anEnd)},
        {"mode", ArrayJson(play.m_anMode)},
        {"speed", ArrayJson(play.m_anSpeed)},
        {"delay", ArrayJson(play.m_anDelay)}}},
      {"units", std::move(units)},
  };
}

}  // namespace lumetra
