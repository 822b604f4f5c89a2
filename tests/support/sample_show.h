#pragma once
// A small show for tests that play documents: a 32 × 16 panel with three
// frames, each a block of its own colour and place, a clock on frame 2, and
// the play-mode rows a test gives.

#include <filesystem>
#include <memory>
#include <vector>

#include "document/document.h"
#include "units/rectangle.h"
#include "units/timer.h"

namespace lumetra::test {

constexpr int kPageTurning = 0, kMoveLeft = 1, kMoveRight = 2, kStretch = 3;
constexpr int kFastest = 5;  // speed code 2: 10 ms a column

struct ShowRow {
  int mode, start, end, delay;
};

// A 32 × 16 panel with three frames, each a block of its own colour and
// place, and a clock on frame 2 in the colour set's second colour.
inline void MakeShow(const std::filesystem::path& path, const std::vector<ShowRow>& rows) {
  CTessaraDoc doc;
  doc.m_nWidthWords = 2;
  doc.m_nHeightWords = 1;
  doc.m_nFrames = 3;
  const COLORREF colours[] = {0x0000FF, 0x00FF00, 0x00FFFF};
  for (int frame = 0; frame < 3; ++frame) {
    auto block = std::make_unique<CRectangle>();
    block->m_crPen = block->m_crBrush = colours[frame];
    block->m_ptFirst = {2 + 9 * frame, frame * 16 + 2};
    block->m_ptSecond = {12 + 9 * frame, frame * 16 + 14};
    doc.m_units.push_back(std::move(block));
  }
  auto clock = std::make_unique<CTimer>();
  clock->m_ptFirst = {0, 16};
  doc.m_units.push_back(std::move(clock));
  doc.m_nClockStyle = 4;
  doc.m_nClockColour = 2;
  doc.m_nClockAlign = 1;
  doc.m_playMode.m_nRowCount = int(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    doc.m_playMode.m_abEnable[r] = 1;
    doc.m_playMode.m_anMode[r] = rows[r].mode;
    doc.m_playMode.m_anStart[r] = rows[r].start;
    doc.m_playMode.m_anEnd[r] = rows[r].end;
    doc.m_playMode.m_anSpeed[r] = kFastest;
    doc.m_playMode.m_anDelay[r] = rows[r].delay;
  }
  doc.OnSaveDocument(path);
}

}  // namespace lumetra::test
