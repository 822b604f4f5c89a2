// Feeds arbitrary bytes to the BMP reader, as an imported file and as a
// picture inline in a document: it must keep the picture or refuse it and stay
// empty, never crash, hang or allocate without bound. Whatever it keeps is
// drawn into a small canvas at its own size (where run-length pictures paint
// only what their stream reached), stretched and partly off the canvas, so the
// rasterizer's decoding is fuzzed too. A kept picture must write and read back
// inline to the same bytes, and one it cannot draw is written exactly as read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/archive/byte_stream.h"
#include "platform/gdi/dc.h"
#include "platform/report.h"
#include "units/dib.h"

namespace {

class Quiet final : public lumetra::MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
};

std::vector<std::uint8_t> Written(const lumetra::CDib& dib) {
  lumetra::ByteWriter out;
  dib.WriteBmp(out);
  return out.TakeBytes();
}

// `read` is the part of the input the picture was read from.
void Check(const lumetra::CDib& dib, std::span<const std::uint8_t> read) {
  // Its own size, enlarged, shrunk, partly off the canvas, one pixel.
  lumetra::Bitmap32 canvas(24, 16);
  lumetra::CDC dc(canvas);
  const lumetra::CSize extent = dib.ImageExtent();
  dib.DrawStretched(dc, 0, 0, extent.cx, extent.cy);
  dib.DrawStretched(dc, -2, -1, extent.cx, extent.cy);
  dib.DrawStretched(dc, 3, 2, 17, 11);
  dib.DrawStretched(dc, -5, -3, 9, 4);
  dib.DrawStretched(dc, 23, 15, 1, 1);

  const std::vector<std::uint8_t> written = Written(dib);
  if (!dib.CanDraw() && !std::equal(written.begin(), written.end(), read.begin(), read.end())) std::abort();
  lumetra::ByteReader again(written);
  lumetra::CDib back;
  if (back.ReadInline(again) || again.BytesLeft() != 0 || back.CanDraw() != dib.CanDraw() || Written(back) != written) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Quiet quiet;
  lumetra::SetMessageSink(&quiet);
  const std::span<const std::uint8_t> input(data, size);

  lumetra::ByteReader stored(input);
  lumetra::CDib dib;
  if (dib.ReadInline(stored)) {
    if (!dib.IsEmpty()) std::abort();
  } else {
    Check(dib, input.first(stored.Position()));
  }

  lumetra::ByteReader file(input);
  lumetra::CDib imported;
  const bool ok = imported.ReadBmp(file);
  if (ok != imported.CanDraw()) std::abort();
  if (!imported.IsEmpty()) Check(imported, input.first(file.Position()));
  return 0;
}
