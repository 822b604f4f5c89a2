// Feeds arbitrary bytes to the BMP reader: it must keep an image it can draw
// or refuse it and stay empty, never crash, hang or allocate without bound.
// Whatever it keeps is drawn into a small canvas (so the rasterizer's picture
// decoding is fuzzed too), and must write and read back to the same bytes.

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Quiet quiet;
  lumetra::SetMessageSink(&quiet);
  lumetra::ByteReader in(std::span(data, size));
  lumetra::CDib dib;
  const bool ok = dib.ReadBmp(in);
  if (!ok && !dib.IsEmpty()) std::abort();

  // Natural size, enlarged, shrunk, partly off the canvas, one pixel.
  lumetra::Bitmap32 canvas(24, 16);
  lumetra::CDC dc(canvas);
  const lumetra::CSize extent = dib.ImageExtent();
  dib.DrawStretched(dc, 0, 0, extent.cx, extent.cy);
  dib.DrawStretched(dc, 3, 2, 17, 11);
  dib.DrawStretched(dc, -5, -3, 9, 4);
  dib.DrawStretched(dc, 23, 15, 1, 1);

  if (ok) {
    const std::vector<std::uint8_t> written = Written(dib);
    lumetra::ByteReader again(written);
    lumetra::CDib back;
    if (!back.ReadBmp(again) || again.BytesLeft() != 0 || Written(back) != written) std::abort();
  }
  return 0;
}
