#include "platform/profile/profile_file.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/files.h"
#include "platform/text_fields.h"

namespace lumetra {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A value written in matching quotes loses them, as the platform's reader does.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

// Cut at kMaxValueLength bytes without splitting a UTF-8 sequence.
std::string_view Limit(std::string_view v) {
  if (v.size() <= ProfileFile::kMaxValueLength) return v;
  std::size_t cut = ProfileFile::kMaxValueLength;
  while (cut > 0 && (static_cast<unsigned char>(v[cut]) & 0xC0) == 0x80) --cut;
  return v.substr(0, cut);
}

}  // namespace

ProfileFile ProfileFile::Parse(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  ProfileFile profile;
  Section* current = nullptr;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end), kWhitespace);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name =
          Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1), kWhitespace);
      // A repeated section is kept, so rewriting the file loses nothing, but
      // lookups only ever see the first one.
      profile.sections_.push_back({std::string(name), {}});
      current = &profile.sections_.back();
      continue;
    }
    std::size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, equals), kWhitespace);
    bool known = false;
    for (const Entry& e : current->entries) known = known || EqualsIgnoringCase(e.key, key);
    if (!known)
      current->entries.push_back(
          {std::string(key), std::string(Limit(Unquote(Trim(line.substr(equals + 1), kWhitespace))))});
  }
  return profile;
}

ProfileFile ProfileFile::Load(const std::filesystem::path& path) {
  try {
    std::vector<std::uint8_t> bytes = ReadWholeFile(path, kMaxFileBytes);
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const FileError&) {
    return {};
  }
}

ProfileFile::Section* ProfileFile::FindSection(std::string_view name) {
  for (Section& s : sections_) {
    if (EqualsIgnoringCase(s.name, name)) return &s;
  }
  return nullptr;
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view name) const {
  return const_cast<ProfileFile*>(this)->FindSection(name);
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  for (const Entry& e : s->entries) {
    if (EqualsIgnoringCase(e.key, key)) return e.value;
  }
  return std::nullopt;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::optional<std::string> v = Get(section, key);
  return v ? *v : std::string(Limit(fallback));
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> v = Get(section, key);
  if (!v) return fallback;
  std::string_view digits = *v;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  long long value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (end == digits.data()) return 0;  // no digits: the platform reads 0
  if (error != std::errc{}) return fallback;
  value = negative ? -value : value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return fallback;
  return static_cast<int>(value);
}

// A line break cannot be stored in a profile line; it becomes a blank.
void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view rawValue) {
  std::string value(Limit(rawValue));
  std::replace_if(
      value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  Section* s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  for (Entry& e : s->entries) {
    if (EqualsIgnoringCase(e.key, key)) {
      e.value = std::move(value);
      return;
    }
  }
  s->entries.push_back({std::string(key), std::move(value)});
}

// Values that reading would change (surrounding blanks or quotes) are written in quotes.
std::string ProfileFile::ToText() const {
  std::string text;
  for (const Section& s : sections_) {
    if (!text.empty()) text += '\n';
    text += '[' + s.name + "]\n";
    for (const Entry& e : s.entries) {
      bool quote = e.value != Trim(e.value, kWhitespace) || Unquote(e.value) != e.value;
      text += e.key + '=' + (quote ? '"' + e.value + '"' : e.value) + '\n';
    }
  }
  return text;
}

}  // namespace lumetra
