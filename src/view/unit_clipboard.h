#pragma once
// Units on the system clipboard. Copied units travel as an archive of our
// own that needs no document around it (it carries its own class records),
// with a note of the document they came from, and as a PNG of their pixels
// at LED resolution for other programs. Clocks never travel: a document
// holds one clock, and it stays where it is.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;
class CUnit;

inline constexpr char kUnitsMimeType[] = "application/x-lumetra-units";
inline constexpr char kPngMimeType[] = "image/png";

// Pasted units that return to the document they came from land this far
// down and to the right of the originals.
inline constexpr CPoint kPasteOffset{8, 8};

// What goes on the clipboard for some units.
struct ClipboardUnits {
  std::vector<std::uint8_t> archive;  // kUnitsMimeType
  std::vector<std::uint8_t> png;      // kPngMimeType; empty when nothing shows on the canvas
};

// The clipboard's content for `units` of `doc` (no clock among them), in
// painting order. The picture is their pixels on black, cut to the part of
// their painted box that lies on the canvas, whose top-left LED shows the
// unit point `origin` (the view's window origin); a box too large for a
// picture leaves it out.
ClipboardUnits CopyUnits(const CTessaraDoc& doc, std::span<CUnit* const> units, CPoint origin);

// Clipboard data that are not units of ours, or are damaged; the text says
// why in a user's words.
class ClipboardError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PastedUnits {
  std::uint64_t sourceDocument = 0;          // CTessaraDoc::InstanceToken of the copy
  std::vector<std::uint64_t> sourceUnitIds;  // the copied units' ids in that document
  std::vector<std::unique_ptr<CUnit>> units;
};

// Reads what CopyUnits wrote; clocks in the data are dropped. Throws
// ClipboardError for anything else, never reading past the bytes.
PastedUnits ReadClipboardUnits(std::span<const std::uint8_t> bytes);

// Puts pasted units in their place: moved by kPasteOffset when they return
// beside their originals (`besideOriginals`), left where they were otherwise
// (another document, or their own after a cut); then,
// where their painted box leaves `canvas` (unit coordinates), moved by the
// least that brings it inside, its top-left corner first when it is larger.
void PlacePastedUnits(std::span<const std::unique_ptr<CUnit>> units, bool besideOriginals, const CRect& canvas);

}  // namespace lumetra
