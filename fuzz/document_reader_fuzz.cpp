// Feeds arbitrary bytes to the document reader: it must answer with a document
// or a clear error, never crash, hang or allocate without bound. A document
// that loads must also save and load again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "document/document.h"
#include "platform/archive/archive_error.h"
#include "platform/report.h"

namespace {

class Quiet final : public lumetra::MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Quiet quiet;
  lumetra::SetMessageSink(&quiet);
  lumetra::CTessaraDoc doc;
  try {
    doc.LoadFromBytes(std::span(data, size));
  } catch (const lumetra::ArchiveError&) {
    return 0;
  } catch (const lumetra::DocumentError&) {
    return 0;
  }
  std::vector<std::uint8_t> saved = doc.SaveToBytes();
  lumetra::CTessaraDoc again;
  again.LoadFromBytes(saved);
  if (again.SaveToBytes() != saved) std::abort();
  return 0;
}
