#pragma once
// Pictures from files as picture units. A BMP with a 40-byte header is taken
// as it is, byte for byte, as it always was. Any other picture (PNG, JPEG,
// GIF, BMPs with other headers) is reduced to the panel's colours first: cut
// to size (natural, the frame's height, or inside the frame, keeping its
// aspect ratio; a box filter when shrinking), transparent pixels off, then
// each LED the nearest of the colour set's colours (one-colour panels: lit
// at a brightness threshold), optionally with error diffusion. The result is
// stored as a plain 4-bit BMP, which every reader of our documents reads.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/picture_file.h"
#include "platform/types.h"

namespace lumetra {

class CBmp;

enum class PictureFit { kNatural, kFrameHeight, kInsideFrame };

struct PictureReduction {
  PictureFit fit = PictureFit::kNatural;
  int threshold = 128;  // one-colour panels: an LED lights from this brightness (0..255) on
  bool dither = false;  // error diffusion: the rounding of each LED spread to its neighbours
  bool invert = false;  // dark parts light, light parts dark
};

// A picture at LED resolution: each LED an index into the colour set's colours.
struct ReducedPicture {
  int width = 0;
  int height = 0;
  int colourSet = 0;
  std::vector<std::uint8_t> leds;  // width × height, top row first

  COLORREF ColourAt(int x, int y) const;
};

// Whether a file is a BMP stored as it is: one with a 40-byte information header.
bool IsPlainBmp(std::span<const std::uint8_t> file);

// The size a picture of `size` pixels gets: as it is, as high as `frame`, or
// as large as fits inside `frame`; never below one LED a side.
CSize FittedSize(CSize size, PictureFit fit, CSize frame);

// Throws PictureError (kTooLarge) when the fitted picture would be more than
// kMaxPictureSide LEDs a side.
ReducedPicture ReducePicture(const RgbaPicture& picture, const PictureReduction& how, int colourSet, CSize frame);

// The BMP file of a reduced picture: 40-byte header, 4 bits a pixel, the
// colour set's colours as its table.
std::vector<std::uint8_t> BmpFileOf(const ReducedPicture& picture);

// A picture unit with a BMP file's picture at its natural size, its top-left
// LED at `topLeft`; nullptr when the file cannot be read (the reader has
// said why).
std::unique_ptr<CBmp> MakePictureUnit(std::span<const std::uint8_t> bmpFile, CPoint topLeft);

}  // namespace lumetra
