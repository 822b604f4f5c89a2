// Importing a photo: a 1920 × 1080 JPEG decoded and reduced to a 16-LED
// high frame (box filter, nearest colours, and with error diffusion).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <jpeglib.h>
#include <vector>

#include "document/panel_settings.h"
#include "document/picture_import.h"
#include "platform/picture_file.h"

namespace {

using namespace lumetra;

// A smooth colour field with some detail, as a photo of a shop front would have.
std::vector<std::uint8_t> PhotoJpeg(int width, int height) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(std::size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      row[std::size_t(x) * 3] = static_cast<unsigned char>(x * 255 / width);
      row[std::size_t(x) * 3 + 1] = static_cast<unsigned char>(y * 255 / height);
      row[std::size_t(x) * 3 + 2] = static_cast<unsigned char>(((x / 40 + y / 40) % 2) * 200);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> jpeg(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return jpeg;
}

void BM_ImportFullHdJpegFittedToA16LedFrame(benchmark::State& state) {
  const std::vector<std::uint8_t> jpeg = PhotoJpeg(1920, 1080);
  const PictureReduction how{PictureFit::kFrameHeight, 128, state.range(0) != 0, false};
  for (auto _ : state) {
    const ReducedPicture reduced = ReducePicture(DecodePicture(jpeg), how, kRedAndGreen, {128, 16});
    benchmark::DoNotOptimize(BmpFileOf(reduced));
  }
}
BENCHMARK(BM_ImportFullHdJpegFittedToA16LedFrame)->ArgName("dither")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
