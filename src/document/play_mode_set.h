#pragma once
// How the panel plays the frames: up to six rows (three editable) of a frame
// range with a transition, a speed and a delay. Saved with the document.

#include <array>
#include <cstdint>

namespace lumetra {

class CArchive;

class CPlayModeSet {
 public:
  static constexpr int kRows = 6;
  static constexpr int kEditableRows = 3;
  static constexpr int kMinFrame = 1, kMaxFrame = 64;
  static constexpr int kMinDelay = 0, kMaxDelay = 100;
  static constexpr int kPlayModes = 4;  // page turning, move left, move right, stretch
  static constexpr int kSpeeds = 6;     // slower ... very fast
  static constexpr std::size_t kSerializedBytes = 148;

  CPlayModeSet();

  // Box r (1-based) ticked: rows 1..r become ticked and the rest unticked; box
  // 1 cannot be unticked. Box r unticked: rows r..6 become unticked. Values of
  // r outside 1..6 are ignored. The row count follows the last ticked row.
  void ApplyRowRule(int row, bool ticked);
  // Row count = number of the last ticked row (at least 1).
  void UpdateRowCount();

  // Before a send: each active row's range is limited to the document's
  // frames, and a range given backwards is turned round.
  void CorrectFrameRanges(int maxFrame);

  // 37 int32: row count, then enable flags, starts, ends, modes, speeds, delays of rows 1..6.
  void Serialize(CArchive& ar);

  std::int32_t m_nMaxFrame = 0;  // the document's frames, set before the dialog opens; not saved
  std::array<std::int32_t, kRows> m_abEnable{};
  std::array<std::int32_t, kRows> m_anStart{};
  std::array<std::int32_t, kRows> m_anEnd{};
  std::array<std::int32_t, kRows> m_anMode{};
  std::array<std::int32_t, kRows> m_anSpeed{};
  std::array<std::int32_t, kRows> m_anDelay{};
  std::int32_t m_nRowCount = 1;

  bool operator==(const CPlayModeSet&) const = default;
};

}  // namespace lumetra
