#include "protocol/plane_code.h"

#include <algorithm>
#include <optional>

namespace lumetra::protocol {
namespace {

constexpr std::size_t kMinCopy = 4;
constexpr std::size_t kMaxDistance = 65535;
constexpr std::size_t kNibbleMore = 15;  // a nibble of 15: extension bytes follow
constexpr int kHashBits = 16;
// The chains remember this many positions back, more than a copy reaches.
constexpr std::size_t kChainSpan = std::size_t(1) << 17;
constexpr int kCandidates = 1024;   // earlier places with the same hash looked at for each match
constexpr std::size_t kLongEnough = 512;  // a copy this long ends the search

// Bytes after the token that carry `value` beyond what its nibble holds.
std::size_t ExtensionBytes(std::size_t value) { return value < kNibbleMore ? 0 : (value - kNibbleMore) / 255 + 1; }

// A sequence of `literals` literals, with a copy of `copyLength` bytes unless that is 0.
std::size_t SequenceCost(std::size_t literals, std::size_t copyLength) {
  const std::size_t copy = copyLength == 0 ? 0 : 2 + ExtensionBytes(copyLength - kMinCopy);
  return 1 + ExtensionBytes(literals) + literals + copy;
}

void AppendExtension(std::vector<std::uint8_t>& code, std::size_t value) {
  if (value < kNibbleMore) return;
  std::size_t rest = value - kNibbleMore;
  for (; rest >= 255; rest -= 255) code.push_back(255);
  code.push_back(std::uint8_t(rest));
}

std::uint32_t HashAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::uint32_t v = bytes[at] | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
                          std::uint32_t(bytes[at + 3]) << 24;
  return (v * 2654435761u) >> (32 - kHashBits);
}

// A nibble's value with its extension bytes; nullopt when they are cut off
// or the value passes `limit`.
std::optional<std::size_t> ReadValue(std::span<const std::uint8_t> code, std::size_t& at, std::size_t nibble,
                                     std::size_t base, std::size_t limit) {
  std::size_t value = nibble + base;
  if (nibble == kNibbleMore) {
    for (std::uint8_t more = 255; more == 255;) {
      if (at == code.size() || value > limit) return std::nullopt;
      more = code[at++];
      value += more;
    }
  }
  if (value > limit) return std::nullopt;
  return value;
}

// Walks the code for a piece that starts `offset` bytes into the planes,
// handing each run of literals to `literal(codeAt, made, count)` and each
// copy to `copy(distance, made, length)`; the number of bytes it stands for,
// or nullopt when it is cut off, copies from before the planes' start or
// stands for more than `limit`.
template <class Literal, class Copy>
std::optional<std::size_t> WalkCode(std::span<const std::uint8_t> code, std::size_t offset, std::size_t limit,
                                    Literal&& literal, Copy&& copy) {
  std::size_t made = 0;
  for (std::size_t at = 0; at < code.size();) {
    const std::uint8_t token = code[at++];
    const std::optional<std::size_t> literals = ReadValue(code, at, token >> 4, 0, limit - made);
    if (!literals || *literals > code.size() - at) return std::nullopt;
    literal(at, made, *literals);
    at += *literals;
    made += *literals;
    if (at == code.size()) break;  // the last sequence, without a copy
    if (code.size() - at < 2) return std::nullopt;
    const std::size_t distance = code[at] | std::size_t(code[at + 1]) << 8;
    at += 2;
    const std::optional<std::size_t> length = ReadValue(code, at, token & 0x0F, kMinCopy, limit - made);
    if (!length || distance == 0 || distance > offset + made) return std::nullopt;
    copy(distance, made, *length);
    made += *length;
  }
  return made;
}

}  // namespace

PlaneEncoder::PlaneEncoder(std::span<const std::uint8_t> planes)
    : planes_(planes), head_(std::size_t(1) << kHashBits, -1), previous_(std::min(planes.size(), kChainSpan), -1) {}

void PlaneEncoder::Index(std::size_t upTo) {
  for (; indexed_ < upTo && indexed_ + kMinCopy <= planes_.size(); ++indexed_) {
    std::int32_t& head = head_[HashAt(planes_, indexed_)];
    previous_[indexed_ % kChainSpan] = head;
    head = std::int32_t(indexed_);
  }
  indexed_ = std::max(indexed_, upTo);
}

PlaneEncoder::Match PlaneEncoder::LongestMatch(std::size_t at, std::size_t most) const {
  Match best;
  most = std::min(most, planes_.size() - std::min(at, planes_.size()));
  if (most < kMinCopy || at + kMinCopy > planes_.size()) return best;
  std::int32_t candidate = head_[HashAt(planes_, at)];
  for (int tries = 0; candidate >= 0 && tries < kCandidates;
       ++tries, candidate = previous_[std::size_t(candidate) % kChainSpan]) {
    const std::size_t from = std::size_t(candidate);
    if (from >= at) continue;  // indexed ahead by an earlier piece
    if (at - from > kMaxDistance) break;
    if (planes_[from + best.length] != planes_[at + best.length]) continue;
    std::size_t length = 0;
    while (length < most && planes_[from + length] == planes_[at + length]) ++length;
    if (length > best.length) best = {length, at - from};
    if (length == most || length >= kLongEnough) break;
  }
  if (best.length < kMinCopy) best = {};
  return best;
}

PackedPiece PlaneEncoder::Pack(std::size_t from, std::size_t capacity) {
  PackedPiece piece;
  std::vector<std::uint8_t>& code = piece.code;
  std::size_t literalsFrom = from;
  // One sequence: the literals up to `end`, then a copy unless its length is 0.
  const auto emit = [&](std::size_t end, Match copy) {
    const std::size_t literals = end - literalsFrom;
    const std::size_t copyNibble = copy.length == 0 ? 0 : std::min(copy.length - kMinCopy, kNibbleMore);
    code.push_back(std::uint8_t(std::min(literals, kNibbleMore) << 4 | copyNibble));
    AppendExtension(code, literals);
    code.insert(code.end(), planes_.begin() + std::ptrdiff_t(literalsFrom), planes_.begin() + std::ptrdiff_t(end));
    if (copy.length > 0) {
      code.push_back(std::uint8_t(copy.distance));
      code.push_back(std::uint8_t(copy.distance >> 8));
      AppendExtension(code, copy.length - kMinCopy);
    }
    literalsFrom = end + copy.length;
  };
  std::size_t at = from;
  while (at < planes_.size()) {
    // The longest copy whose sequence still fits: its length beyond 18 costs
    // a byte in 255.
    const std::size_t literals = at - literalsFrom;
    const std::size_t fixedCost = code.size() + SequenceCost(literals, 0) + 2;
    const std::size_t longest = fixedCost > capacity ? 0 : kMinCopy + kNibbleMore - 1 + 255 * (capacity - fixedCost);
    Index(at);
    const Match match = LongestMatch(at, longest);
    // A longer copy one byte on is worth the byte spent on the way.
    Index(at + 2);
    const bool betterNext = match.length > 0 && (LongestMatch(at + 1, longest).length > match.length + 1 ||
                                                 LongestMatch(at + 2, longest).length > match.length + 2);
    const bool copyFits =
        match.length > 0 && !betterNext && code.size() + SequenceCost(literals, match.length) <= capacity;
    if (!copyFits) {
      if (code.size() + SequenceCost(at + 1 - literalsFrom, 0) > capacity) break;
      ++at;
      continue;
    }
    emit(at, match);
    at = literalsFrom;
  }
  // The literals before the end, as many as still fit.
  std::size_t count = at - literalsFrom;
  while (count > 0 && code.size() + SequenceCost(count, 0) > capacity) --count;
  if (count > 0) emit(literalsFrom + count, {});
  piece.count = literalsFrom - from;
  return piece;
}

bool UnpackPlaneCode(std::span<const std::uint8_t> code, std::span<std::uint8_t> planes, std::size_t offset,
                     std::size_t count) {
  if (offset > planes.size() || count > planes.size() - offset) return false;
  // Checked in full first, so a damaged code leaves the planes as they were.
  const auto noLiteral = [](std::size_t, std::size_t, std::size_t) {};
  const auto noCopy = [](std::size_t, std::size_t, std::size_t) {};
  if (WalkCode(code, offset, count, noLiteral, noCopy) != count) return false;
  std::uint8_t* out = planes.data() + offset;
  WalkCode(
      code, offset, count,
      [&](std::size_t at, std::size_t made, std::size_t n) { std::copy_n(code.data() + at, n, out + made); },
      [&](std::size_t distance, std::size_t made, std::size_t length) {
        // One byte after another: a copy may repeat what it has just made.
        for (std::size_t i = 0; i < length; ++i) out[made + i] = out[made + i - distance];
      });
  return true;
}

}  // namespace lumetra::protocol
