#pragma once
// A shipped language file as the process's language for one scope, for tests
// of texts the core builds from language keys.

#include <filesystem>
#include <string>

#include "lang/language.h"

namespace lumetra::test {

class ScopedLanguage {
 public:
  explicit ScopedLanguage(const std::string& name = "English")
      : language_(std::filesystem::path(LUMETRA_SOURCE_DIR) / "resources", nullptr) {
    language_.SelectLanguage(name);
    SetCurrentLanguage(&language_);
  }
  ~ScopedLanguage() { SetCurrentLanguage(nullptr); }
  ScopedLanguage(const ScopedLanguage&) = delete;
  ScopedLanguage& operator=(const ScopedLanguage&) = delete;

 private:
  Language language_;
};

}  // namespace lumetra::test
