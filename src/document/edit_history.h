#pragma once
// EditHistory: undo and redo for one document. Every change of a document is
// one step, made between Begin and Commit by whoever changes it: before a
// unit changes it is touched (a copy of it is kept), units come and go
// through Append and Remove, and the document's own fields (panel geometry,
// colour set, clock options and position, play modes) are compared as a
// whole. A step keeps only what changed: the inserted or removed units with
// their places, one other state of each changed unit, and the fields before
// and after when they changed. Pictures share their pixels between states.
//
// Units keep their ids through undo and redo, but a changed unit is swapped
// for its other state, so holders of units find them again by id
// (CTessaraDoc::FindUnit); every unit the history ever holds has an id, and
// a unit without one is never swapped or taken away. The modified flag is
// "not at the clean point".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/play_mode_set.h"

namespace lumetra {

class CTessaraDoc;
class CUnit;

// What a step did, which names it in the Edit menu.
enum class StepKind : std::uint8_t {
  kCreate,
  kDelete,
  kMove,
  kResize,
  kRestyle,
  kPaste,
  kCentre,
  kImport,
  kScreenSet,
  kClockOptions,
  kPlayModes,
  kTextProperties,
  kNudge,
  kCut,
  kDrawingOrder,
};

class EditHistory {
 public:
  // The oldest steps are forgotten beyond this many.
  static constexpr std::size_t kMaxSteps = 1000;

  explicit EditHistory(CTessaraDoc& document);
  ~EditHistory();
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // Opens a change of `kind`. A Begin inside an open change joins it (its
  // Commit only closes the inner Begin); the outer kind names the step.
  void Begin(StepKind kind);
  bool IsOpen() const { return open_ != nullptr; }
  // Renames the open change (a press that turns out to be a move).
  void SetKind(StepKind kind);
  // Call before `unit`, which is in the document, changes in the open change.
  void Touch(CUnit& unit);
  // Adds `unit` at the end of the document's units, with a new id.
  CUnit& Append(std::unique_ptr<CUnit> unit);
  // Takes unit `index` out of the document; the step keeps it.
  void Remove(std::size_t index);
  // Moves unit `from` to index `to` of the units, the units between closing up.
  void MoveUnit(std::size_t from, std::size_t to);
  // Closes the open change: a step when anything changed. Returns whether it
  // made one. With kMergeWithLast a change that only changed units the last
  // step changed, of the same kind, joins that step (consecutive nudges),
  // unless the document was saved in between.
  enum class Merge { kNo, kWithLast };
  bool Commit(Merge merge = Merge::kNo);
  // Closes the open change and undoes whatever it did.
  void Abort();

  // Nothing is undone or redone while a change is open.
  bool CanUndo() const { return position_ > 0 && !open_; }
  bool CanRedo() const { return position_ < steps_.size() && !open_; }
  // The kinds of the steps Undo and Redo would take, while they can.
  std::optional<StepKind> UndoKind() const;
  std::optional<StepKind> RedoKind() const;
  void Undo();
  void Redo();

  // Whether the document is as it was when last marked clean (saved,
  // opened, new); an open change counts once it is committed.
  bool IsClean() const { return clean_ == position_; }
  void MarkClean();
  // Forgets every step; the document is clean.
  void Clear();

  std::size_t StepCount() const { return steps_.size(); }
  // What the steps keep, in bytes: an estimate for the benchmarks, each kept
  // unit counted as its base object and the bytes it stores.
  std::size_t MemoryBytes() const;

  // Called after every step made, undone or redone, and after Clear.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  struct Fields;
  struct UnitMove;
  struct UnitSwap;
  struct Step;
  struct OpenChange;

  CUnit* FindTouched(Step& step, std::uint64_t id) const;
  bool JoinsLast(const Step& step) const;
  void Push(std::unique_ptr<Step> step);
  void Undo(Step& step);
  void Redo(Step& step);
  void Notify() const;

  CTessaraDoc& doc_;
  std::vector<std::unique_ptr<Step>> steps_;
  std::size_t position_ = 0;              // steps done
  std::optional<std::size_t> clean_ = 0;  // the position that is clean; none once it cannot come back
  std::unique_ptr<OpenChange> open_;
  std::function<void()> listener_;
};

}  // namespace lumetra
