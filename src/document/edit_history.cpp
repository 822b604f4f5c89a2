#include "document/edit_history.h"

#include <algorithm>

#include "document/document.h"
#include "platform/archive/archive.h"
#include "units/unit.h"
#include "units/unit_classes.h"

namespace lumetra {

// The document's own fields that edits change; the view's canvas size and
// origin, which the document only keeps for the next opening, are not among them.
struct EditHistory::Fields {
  std::int32_t widthWords, heightWords, frames, colourSet;
  std::uint8_t clockStyle, clockColour, clockRow, clockFrame, clockAlign;
  CPlayModeSet playModes;

  // The play modes' frame limit, which only the dialog uses, is not among them.
  static Fields Of(const CTessaraDoc& d) {
    Fields fields{d.m_nWidthWords, d.m_nHeightWords, d.m_nFrames,    d.m_nColourSet,  d.m_nClockStyle,
                  d.m_nClockColour, d.m_nClockRow,  d.m_nClockFrame, d.m_nClockAlign, d.m_playMode};
    fields.playModes.m_nMaxFrame = 0;
    return fields;
  }
  void PutInto(CTessaraDoc& d) const {
    d.m_nWidthWords = widthWords;
    d.m_nHeightWords = heightWords;
    d.m_nFrames = frames;
    d.m_nColourSet = colourSet;
    d.m_nClockStyle = clockStyle;
    d.m_nClockColour = clockColour;
    d.m_nClockRow = clockRow;
    d.m_nClockFrame = clockFrame;
    d.m_nClockAlign = clockAlign;
    const std::int32_t maxFrame = d.m_playMode.m_nMaxFrame;
    d.m_playMode = playModes;
    d.m_playMode.m_nMaxFrame = maxFrame;
    d.FitTextsToFrames();
  }
  bool operator==(const Fields&) const = default;
};

// A unit that came into the document (kInsert) or left it (kRemove) at
// `index`, or went from `index` to `to` in the painting order (kReorder);
// `held` owns it while it is out of the document.
struct EditHistory::UnitMove {
  enum class Kind { kInsert, kRemove, kReorder } kind;
  std::size_t index;
  std::unique_ptr<CUnit> held;
  std::size_t to = 0;
};

// A changed unit: `other` is the state the document does not hold at the
// moment; undo and redo swap the two.
struct EditHistory::UnitSwap {
  std::uint64_t id;
  std::unique_ptr<CUnit> other;
};

struct EditHistory::Step {
  StepKind kind;
  std::vector<UnitMove> moves;
  std::vector<UnitSwap> swaps;
  std::optional<Fields> fieldsBefore, fieldsAfter;
};

struct EditHistory::OpenChange {
  int depth = 1;
  Step step;
  Fields fields;
  std::vector<std::unique_ptr<CUnit>> touched;  // copies taken before the change
  std::vector<std::uint64_t> inserted;           // ids of the units it brought in
};

namespace {

std::vector<std::uint8_t> StoredBytes(CUnit& unit) {
  CArchive ar(UnitClasses());
  unit.Serialize(ar);
  return ar.Output().TakeBytes();
}

std::size_t IndexOf(const CTessaraDoc& doc, std::uint64_t id) {
  const auto& units = doc.m_units;
  const auto it = std::find_if(units.begin(), units.end(), [&](const auto& unit) { return unit->m_nId == id; });
  return std::size_t(it - units.begin());
}

void Insert(CTessaraDoc& doc, std::size_t index, std::unique_ptr<CUnit> unit) {
  auto& units = doc.m_units;
  units.insert(units.begin() + std::ptrdiff_t(std::min(index, units.size())), std::move(unit));
}

std::unique_ptr<CUnit> Take(CTessaraDoc& doc, std::size_t index) {
  auto& units = doc.m_units;
  std::unique_ptr<CUnit> unit = std::move(units.at(index));
  units.erase(units.begin() + std::ptrdiff_t(index));
  return unit;
}

}  // namespace

EditHistory::EditHistory(CTessaraDoc& document) : doc_(document) {}

EditHistory::~EditHistory() = default;

void EditHistory::Begin(StepKind kind) {
  if (open_) {
    ++open_->depth;
    return;
  }
  open_ = std::make_unique<OpenChange>();
  open_->step.kind = kind;
  open_->fields = Fields::Of(doc_);
}

void EditHistory::SetKind(StepKind kind) {
  if (open_) open_->step.kind = kind;
}

void EditHistory::Touch(CUnit& unit) {
  if (!open_) return;
  if (unit.m_nId == 0) unit.m_nId = doc_.NewUnitId();
  const auto& touched = open_->touched;
  if (std::any_of(touched.begin(), touched.end(), [&](const auto& copy) { return copy->m_nId == unit.m_nId; })) return;
  // A unit the change brought in is kept as it ends up.
  const auto& inserted = open_->inserted;
  if (std::find(inserted.begin(), inserted.end(), unit.m_nId) != inserted.end()) return;
  open_->touched.push_back(unit.Clone());
}

CUnit& EditHistory::Append(std::unique_ptr<CUnit> unit) {
  unit->m_nId = doc_.NewUnitId();
  CUnit& added = *unit;
  const std::size_t index = doc_.m_units.size();
  doc_.m_units.push_back(std::move(unit));
  if (open_) {
    open_->step.moves.push_back({UnitMove::Kind::kInsert, index, nullptr});
    open_->inserted.push_back(added.m_nId);
  }
  return added;
}

void EditHistory::Remove(std::size_t index) {
  std::unique_ptr<CUnit> unit = Take(doc_, index);
  if (unit->m_nId == 0) unit->m_nId = doc_.NewUnitId();
  if (open_) open_->step.moves.push_back({UnitMove::Kind::kRemove, index, std::move(unit)});
}

void EditHistory::MoveUnit(std::size_t from, std::size_t to) {
  if (from == to) return;
  std::unique_ptr<CUnit> unit = Take(doc_, from);
  if (unit->m_nId == 0) unit->m_nId = doc_.NewUnitId();
  Insert(doc_, to, std::move(unit));
  if (open_) open_->step.moves.push_back({UnitMove::Kind::kReorder, from, nullptr, to});
}

bool EditHistory::Commit(Merge merge) {
  if (!open_) return false;
  if (--open_->depth > 0) return false;
  std::unique_ptr<OpenChange> change = std::move(open_);
  auto step = std::make_unique<Step>(std::move(change->step));
  for (std::unique_ptr<CUnit>& before : change->touched) {
    CUnit* now = FindTouched(*step, before->m_nId);
    if (now && StoredBytes(*before) != StoredBytes(*now)) step->swaps.push_back({before->m_nId, std::move(before)});
  }
  if (const Fields after = Fields::Of(doc_); !(after == change->fields)) {
    step->fieldsBefore = change->fields;
    step->fieldsAfter = after;
  }
  if (step->moves.empty() && step->swaps.empty() && !step->fieldsBefore) {
    Notify();  // nothing changed, but the change is no longer open
    return false;
  }
  if (merge == Merge::kWithLast && JoinsLast(*step)) {
    steps_.resize(position_);
    if (clean_ && *clean_ > position_) clean_.reset();
    Notify();
    return true;
  }
  Push(std::move(step));
  return true;
}

void EditHistory::Abort() {
  if (!open_) return;
  std::unique_ptr<OpenChange> change = std::move(open_);
  Step& step = change->step;
  // Units the change left as they were stay the very objects they were.
  for (std::unique_ptr<CUnit>& before : change->touched) {
    CUnit* now = FindTouched(step, before->m_nId);
    if (now && StoredBytes(*before) != StoredBytes(*now)) step.swaps.push_back({before->m_nId, std::move(before)});
  }
  step.fieldsBefore = change->fields;
  step.fieldsAfter = Fields::Of(doc_);
  // Units the change removed come back before the copies are swapped in.
  Undo(step);
  Notify();
}

// The last step keeps the states before both, so the joining step adds nothing.
bool EditHistory::JoinsLast(const Step& step) const {
  if (position_ == 0 || clean_ == position_ || !step.moves.empty() || step.fieldsBefore) return false;
  const Step& last = *steps_[position_ - 1];
  if (last.kind != step.kind || !last.moves.empty() || last.fieldsBefore) return false;
  return std::all_of(step.swaps.begin(), step.swaps.end(), [&](const UnitSwap& swap) {
    return std::any_of(last.swaps.begin(), last.swaps.end(), [&](const UnitSwap& s) { return s.id == swap.id; });
  });
}

// A touched unit as the open change leaves it: in the document, or taken out by the change.
CUnit* EditHistory::FindTouched(Step& step, std::uint64_t id) const {
  if (const std::size_t i = IndexOf(doc_, id); i < doc_.m_units.size()) return doc_.m_units[i].get();
  for (UnitMove& move : step.moves) {
    if (move.held && move.held->m_nId == id) return move.held.get();
  }
  return nullptr;
}

void EditHistory::MarkClean() {
  // Saved in the middle of a change: no step ends where the file stands.
  clean_ = open_ ? std::nullopt : std::optional(position_);
}

void EditHistory::Push(std::unique_ptr<Step> step) {
  steps_.resize(position_);
  if (clean_ && *clean_ > position_) clean_.reset();
  steps_.push_back(std::move(step));
  ++position_;
  if (steps_.size() > kMaxSteps) {
    steps_.erase(steps_.begin());
    --position_;
    if (clean_) clean_ = *clean_ == 0 ? std::nullopt : std::optional(*clean_ - 1);
  }
  Notify();
}

std::optional<StepKind> EditHistory::UndoKind() const {
  return CanUndo() ? std::optional(steps_[position_ - 1]->kind) : std::nullopt;
}

std::optional<StepKind> EditHistory::RedoKind() const {
  return CanRedo() ? std::optional(steps_[position_]->kind) : std::nullopt;
}

void EditHistory::Undo() {
  if (!CanUndo()) return;
  Undo(*steps_[--position_]);
  Notify();
}

void EditHistory::Redo() {
  if (!CanRedo()) return;
  Redo(*steps_[position_++]);
  Notify();
}

// Units go back in the reverse order they came and went, then the changed
// ones take their other states.
void EditHistory::Undo(Step& step) {
  for (auto move = step.moves.rbegin(); move != step.moves.rend(); ++move) {
    switch (move->kind) {
      case UnitMove::Kind::kInsert:
        move->held = Take(doc_, move->index);
        break;
      case UnitMove::Kind::kRemove:
        Insert(doc_, move->index, std::move(move->held));
        break;
      case UnitMove::Kind::kReorder:
        Insert(doc_, move->index, Take(doc_, move->to));
        break;
    }
  }
  for (UnitSwap& swap : step.swaps) {
    if (const std::size_t i = IndexOf(doc_, swap.id); i < doc_.m_units.size()) std::swap(doc_.m_units[i], swap.other);
  }
  if (step.fieldsBefore) step.fieldsBefore->PutInto(doc_);
}

void EditHistory::Redo(Step& step) {
  for (UnitSwap& swap : step.swaps) {
    if (const std::size_t i = IndexOf(doc_, swap.id); i < doc_.m_units.size()) std::swap(doc_.m_units[i], swap.other);
  }
  for (UnitMove& move : step.moves) {
    switch (move.kind) {
      case UnitMove::Kind::kInsert:
        Insert(doc_, move.index, std::move(move.held));
        break;
      case UnitMove::Kind::kRemove:
        move.held = Take(doc_, move.index);
        break;
      case UnitMove::Kind::kReorder:
        Insert(doc_, move.to, Take(doc_, move.index));
        break;
    }
  }
  if (step.fieldsAfter) step.fieldsAfter->PutInto(doc_);
}

void EditHistory::Clear() {
  open_.reset();
  steps_.clear();
  position_ = 0;
  clean_ = 0;
  Notify();
}

std::size_t EditHistory::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const auto& step : steps_) {
    bytes += sizeof(Step) + step->moves.capacity() * sizeof(UnitMove) + step->swaps.capacity() * sizeof(UnitSwap);
    for (const UnitSwap& swap : step->swaps) bytes += sizeof(CUnit) + StoredBytes(*swap.other).size();
    for (const UnitMove& move : step->moves) {
      if (move.held) bytes += sizeof(CUnit) + StoredBytes(*move.held).size();
    }
  }
  return bytes;
}

void EditHistory::Notify() const {
  if (listener_) listener_();
}

}  // namespace lumetra
