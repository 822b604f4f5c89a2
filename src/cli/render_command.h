#pragma once
// `lumetra-cli render`: a document's picture as the panel receives it (BMP,
// byte for byte what the editor saves) and, for looking at, PNGs of that
// picture and of the canvas as the editor shows it.

#include <string>

namespace lumetra {

class CTessaraDoc;

struct RenderRequest {
  std::string bmp;     // the picture strip as BMP; empty for none
  std::string png;     // the picture strip as PNG; empty for none
  std::string canvas;  // the canvas at zoom 1 as PNG; empty for none
  int scale = 1;       // PNGs only: each LED becomes scale × scale pixels
};

// Makes every requested file; throws FileError naming the file and the
// reason when one cannot be made or written.
void RenderDocument(CTessaraDoc& doc, const RenderRequest& request);

}  // namespace lumetra
