#pragma once
// Profile files ("INI" files): [Section] headers and key=value lines. Section
// and key names compare case-insensitively, values are trimmed and at most 999
// characters long, the first of two equal sections or keys wins, lines
// beginning with ';' are comments, and a value in matching quotes loses them. Language files and the settings store use
// it.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

class ProfileFile {
 public:
  static constexpr std::size_t kMaxValueLength = 999;
  static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

  static ProfileFile Parse(std::string_view text);
  // A missing or unreadable file reads as an empty profile, as the platform's
  // profile functions do; a file over kMaxFileBytes is read as empty too.
  static ProfileFile Load(const std::filesystem::path& path);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Leading optional sign and decimal digits, as GetPrivateProfileInt reads them.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;

  // Line breaks in the value become blanks; at most kMaxValueLength bytes are kept.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole file as text, sections and keys in the order they were first seen.
  std::string ToText() const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Section> sections_;
};

}  // namespace lumetra
