#pragma once
// `lumetra-cli import`: a picture file added to a document as the editor
// adds it — a BMP with a 40-byte header as it is, any other picture reduced
// to the document's colours — with its top-left LED at a canvas point.

#include <filesystem>

#include "document/picture_import.h"

namespace lumetra {

class CTessaraDoc;

// Throws FileError naming the file and why when it cannot be read,
// PictureError when it is no picture we can decode.
void ImportPicture(CTessaraDoc& doc, const std::filesystem::path& picture, CPoint at, const PictureReduction& how);

// "X,Y" as a canvas point; throws std::invalid_argument for anything else.
CPoint ParseCanvasPoint(const std::string& text);

}  // namespace lumetra
