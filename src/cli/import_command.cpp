#include "cli/import_command.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#include "document/document.h"
#include "document/panel_settings.h"
#include "platform/files.h"
#include "units/bmp.h"
#include "units/dib.h"

namespace lumetra {

void ImportPicture(CTessaraDoc& doc, const std::filesystem::path& picture, CPoint at, const PictureReduction& how) {
  std::vector<std::uint8_t> bytes = ReadWholeFile(picture, CDib::kMaxFileBytes);
  if (!IsPlainBmp(bytes)) {
    const CSize frame{doc.m_nWidthWords * kWordPixels, doc.m_nHeightWords * kWordPixels};
    bytes = BmpFileOf(ReducePicture(DecodePicture(bytes), how, doc.m_nColourSet, frame));
  }
  std::unique_ptr<CBmp> unit = MakePictureUnit(bytes, at);
  if (!unit) throw FileError(picture.string() + ": the picture cannot be read");
  doc.History().Append(std::move(unit));
}

CPoint ParseCanvasPoint(const std::string& text) {
  const std::size_t comma = text.find(',');
  CPoint point;
  const auto parse = [](std::string_view part, std::int32_t& value) {
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && end == part.data() + part.size() && !part.empty();
  };
  const std::string_view all(text);
  if (comma == std::string::npos || !parse(all.substr(0, comma), point.x) || !parse(all.substr(comma + 1), point.y)) {
    throw std::invalid_argument("--at " + text + " is not X,Y");
  }
  return point;
}

}  // namespace lumetra
