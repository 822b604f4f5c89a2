#include "view/unit_clipboard.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

#include "document/document.h"
#include "platform/archive/archive.h"
#include "platform/gdi/dc.h"
#include "platform/png_encoder.h"
#include "units/timer.h"
#include "units/unit_classes.h"
#include "units/unit_geometry.h"
#include "view/canvas_render.h"

namespace lumetra {
namespace {

// The archive starts with these bytes, a format version, the source
// document's token and the copied units' ids there, then holds the unit array.
constexpr std::array<std::uint8_t, 4> kMagic{'L', 'M', 'T', 'U'};
constexpr std::uint16_t kFormatVersion = 1;
// Larger pictures are left off the clipboard: 64 MB of pixels while drawing.
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 24;

template <class Units>
CRect PaintedBox(const Units& units) {
  CRect box;
  for (const auto& unit : units) box = box.Union(unit->Bounds());
  return box;
}

std::vector<std::uint8_t> PictureOf(const CTessaraDoc& doc, std::span<CUnit* const> units, CPoint origin) {
  const CSize canvas = doc.CanvasPixels();
  const CRect onCanvas = OffsetRect({0, 0, canvas.cx, canvas.cy}, origin);
  const CRect box = PaintedBox(units).ClipTo(onCanvas);
  if (box.IsEmpty() || std::int64_t(box.Width()) * box.Height() > kMaxPicturePixels) return {};
  try {
    Bitmap32 picture(box.Width(), box.Height(), kCanvasBackground);
    CDC dc(picture);
    dc.SetWindowOrg(box.left, box.top);
    const DrawContext context = doc.DrawContextAt(LocalTime{});
    for (const CUnit* unit : units) unit->Draw(dc, context);
    return EncodePng(picture);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

// How far a span [lo, hi) moves to lie inside [min, max), its low end first.
std::int64_t ShiftInside(std::int64_t lo, std::int64_t hi, std::int64_t min, std::int64_t max) {
  std::int64_t shift = hi > max ? max - hi : 0;
  if (lo + shift < min) shift = min - lo;
  return shift;
}

}  // namespace

ClipboardUnits CopyUnits(const CTessaraDoc& doc, std::span<CUnit* const> units, CPoint origin) {
  CArchive ar(UnitClasses());
  ByteWriter& out = ar.Output();
  out.Write(kMagic.data(), kMagic.size());
  out.WriteU16(kFormatVersion);
  const std::uint64_t token = doc.InstanceToken();
  out.Write(&token, sizeof token);
  out.WriteU32(std::uint32_t(units.size()));
  for (const CUnit* unit : units) out.Write(&unit->m_nId, sizeof unit->m_nId);
  WriteUnitArray(ar, units);
  return {out.TakeBytes(), PictureOf(doc, units, origin)};
}

PastedUnits ReadClipboardUnits(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > CTessaraDoc::kMaxFileBytes) throw ClipboardError("they are larger than any document");
  PastedUnits pasted;
  std::vector<UnitReadProblem> problems;
  std::vector<std::unique_ptr<CUnit>> units;
  try {
    CArchive ar(bytes, UnitClasses());
    ByteReader& in = ar.Input();
    std::array<std::uint8_t, 4> magic{};
    in.Read(magic.data(), magic.size());
    if (magic != kMagic) throw ClipboardError("they are not units of this program");
    if (in.ReadU16() != kFormatVersion) throw ClipboardError("they come from another version of this program");
    in.Read(&pasted.sourceDocument, sizeof pasted.sourceDocument);
    const std::uint32_t ids = in.ReadU32();
    if (ids > in.BytesLeft() / sizeof(std::uint64_t)) throw ClipboardError("they are damaged (too many unit ids)");
    pasted.sourceUnitIds.resize(ids);
    in.Read(pasted.sourceUnitIds.data(), ids * sizeof(std::uint64_t));
    units = ReadUnitArray(ar, problems);
    if (in.BytesLeft() != 0) throw ClipboardError("they are damaged (unexpected bytes after the units)");
  } catch (const ArchiveError& error) {
    throw ClipboardError(std::string("they are damaged (") + error.what() + ")");
  }
  if (!problems.empty()) {
    throw ClipboardError("unit " + std::to_string(problems.front().unit + 1) + " is damaged (" +
                         problems.front().reason + ")");
  }
  for (std::unique_ptr<CUnit>& unit : units) {
    if (!IsClock(*unit)) pasted.units.push_back(std::move(unit));
  }
  return pasted;
}

void PlacePastedUnits(std::span<const std::unique_ptr<CUnit>> units, bool besideOriginals, const CRect& canvas) {
  const auto moveAll = [&](std::int64_t dx, std::int64_t dy) {
    if (dx == 0 && dy == 0) return;
    for (const auto& unit : units) unit->Translate(SaturateToInt(dx), SaturateToInt(dy));
  };
  if (besideOriginals) moveAll(kPasteOffset.x, kPasteOffset.y);
  CRect box = PaintedBox(units);
  // Units that paint nothing are placed by the box their points span.
  if (box.IsEmpty()) {
    for (const auto& unit : units) box = box.Union(unit->Extent());
  }
  if (box.IsEmpty()) return;
  moveAll(ShiftInside(box.left, box.right, canvas.left, canvas.right),
          ShiftInside(box.top, box.bottom, canvas.top, canvas.bottom));
}

}  // namespace lumetra
