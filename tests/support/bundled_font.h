#pragma once
// The font file the text goldens are drawn with, registered once per process
// so that "Arial" and "Liberation Sans" resolve to it whatever is installed.

#include <filesystem>

#include "platform/gdi/font_cache.h"

namespace lumetra::test {

inline bool UseBundledFont() {
  static const bool registered =
      AddPrivateFontFile(std::filesystem::path(LUMETRA_TEST_DATA) / "fonts" / "LiberationSans-Regular.ttf");
  return registered;
}

}  // namespace lumetra::test
