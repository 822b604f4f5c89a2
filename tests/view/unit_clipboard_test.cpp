// The clipboard's unit archive from outside the program: whatever the bytes,
// reading them gives units of ours or a reason, never a crash.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "document/document.h"
#include "support/sample_units.h"
#include "view/unit_clipboard.h"

namespace lumetra {
namespace {

std::vector<std::uint8_t> CopiedSamples(const CTessaraDoc& doc) {
  std::vector<std::unique_ptr<CUnit>> samples = test::OneUnitOfEveryClass();
  std::vector<CUnit*> units;
  for (const auto& unit : samples) {
    if (!IsClock(*unit)) units.push_back(unit.get());
  }
  return CopyUnits(doc, units, {}).archive;
}

TEST(UnitClipboard, DamagedOrForeignBytesAreRefusedWithAReason) {
  CTessaraDoc doc;
  const std::vector<std::uint8_t> good = CopiedSamples(doc);
  const PastedUnits read = ReadClipboardUnits(good);
  EXPECT_EQ(read.sourceDocument, doc.InstanceToken());
  EXPECT_EQ(read.units.size(), test::OneUnitOfEveryClass().size() - 1);

  // Magic, version, token, the ids' count and the ids; then the unit array.
  const std::size_t array = 4 + 2 + 8 + 4 + 8 * read.units.size();
  const std::vector<std::function<void(std::vector<std::uint8_t>&)>> damages = {
      [](auto& b) { b[0] = 'X'; },                                        // not ours
      [](auto& b) { b[4] = 2; },                                          // another format version
      [](auto& b) { b.push_back(0); },                                    // bytes after the units
      [](auto& b) { b[14] = b[15] = b[16] = b[17] = 0xFF; },              // more ids than bytes
      [&](auto& b) { b[array] = b[array + 1] = b[array + 2] = 0xFF; },    // more units than bytes
      [&](auto& b) { b[array + 4] = 0xFF; b[array + 5] = 0x7F; },         // a schema the class does not accept
  };
  for (std::size_t i = 0; i < damages.size(); ++i) {
    std::vector<std::uint8_t> bytes = good;
    damages[i](bytes);
    EXPECT_THROW(ReadClipboardUnits(bytes), ClipboardError) << "damage " << i;
  }
  for (std::size_t length = 0; length < good.size(); ++length) {
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(length));
    EXPECT_THROW(ReadClipboardUnits(cut), ClipboardError) << "cut at " << length;
  }
}

}  // namespace
}  // namespace lumetra
