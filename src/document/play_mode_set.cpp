#include "document/play_mode_set.h"

#include <algorithm>

#include "platform/archive/archive.h"

namespace lumetra {

CPlayModeSet::CPlayModeSet() {
  for (int i = 0; i < kRows; ++i) {
    m_abEnable[i] = i == 0 ? 1 : 0;
    m_anStart[i] = 3 * i + 1;
    m_anEnd[i] = 3 * i + 3;
    m_anMode[i] = 1;   // move left
    m_anSpeed[i] = 2;  // normal
    m_anDelay[i] = 3;
  }
}

void CPlayModeSet::ApplyRowRule(int row, bool ticked) {
  if (row < 1 || row > kRows) return;
  if (row == 1) ticked = true;
  for (int i = 0; i < kRows; ++i) {
    if (i < row - 1) {
      if (ticked) m_abEnable[i] = 1;
    } else {
      m_abEnable[i] = ticked && i == row - 1 ? 1 : 0;
    }
  }
  UpdateRowCount();
}

void CPlayModeSet::UpdateRowCount() {
  m_nRowCount = 1;
  for (int i = 0; i < kRows; ++i) {
    if (m_abEnable[i] != 0) m_nRowCount = i + 1;
  }
}

void CPlayModeSet::CorrectFrameRanges(int maxFrame) {
  for (int i = 0; i < std::min<int>(m_nRowCount, kRows); ++i) {
    m_anStart[i] = std::min(m_anStart[i], maxFrame);
    m_anEnd[i] = std::min(m_anEnd[i], maxFrame);
    if (m_anEnd[i] < m_anStart[i]) std::swap(m_anStart[i], m_anEnd[i]);
  }
}

void CPlayModeSet::Serialize(CArchive& ar) {
  ar.Transfer(m_nRowCount);
  for (auto* values : {&m_abEnable, &m_anStart, &m_anEnd, &m_anMode, &m_anSpeed, &m_anDelay}) {
    for (std::int32_t& v : *values) ar.Transfer(v);
  }
}

}  // namespace lumetra
