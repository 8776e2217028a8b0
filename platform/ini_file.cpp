#include "platform/ini_file.h"

#include <charconv>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace platform {
namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsHeader(const std::string& line, std::string* name) {
  const std::string text = Trimmed(line);
  if (text.size() < 2 || text.front() != '[') return false;
  const std::size_t close = text.find(']');
  if (close == std::string::npos) return false;
  if (name) *name = Trimmed(text.substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false for a comment or a line without "=".
bool KeyOf(const std::string& line, std::string& key, std::string* value) {
  const std::string text = Trimmed(line);
  if (text.empty() || text[0] == ';') return false;
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  key = Trimmed(text.substr(0, equals));
  if (value) *value = Trimmed(text.substr(equals + 1));
  return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  if (FileExists(fileName_)) {
    try {
      lines_ = ReadTextLines(fileName_);
    } catch (const EStreamError&) {
      lines_.clear();  // an unreadable file reads as empty, like a missing one
    }
  }
}

int TIniFile::SectionLine(const std::string& section) const {
  std::string name;
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (IsHeader(lines_[i], &name) && AnsiSameText(name, section)) return static_cast<int>(i);
  return -1;
}

int TIniFile::KeyLine(int header, const std::string& key) const {
  std::string name;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (IsHeader(lines_[i], nullptr)) break;
    if (KeyOf(lines_[i], name, nullptr) && AnsiSameText(name, key)) return static_cast<int>(i);
  }
  return -1;
}

int TIniFile::SectionEnd(int header) const {
  int end = header + 1;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
    if (IsHeader(lines_[i], nullptr)) break;
    if (!Trimmed(lines_[i]).empty()) end = static_cast<int>(i) + 1;
  }
  return end;
}

bool TIniFile::SectionExists(const std::string& section) const { return SectionLine(section) >= 0; }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  const int header = SectionLine(section);
  return header >= 0 && KeyLine(header, key) >= 0;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const int header = SectionLine(section);
  const int line = header < 0 ? -1 : KeyLine(header, key);
  if (line < 0) return def;
  std::string name, value;
  KeyOf(lines_[static_cast<std::size_t>(line)], name, &value);
  return value;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const std::string text = ReadString(section, key, "");
  int value = 0;
  const char* end = text.data() + text.size();
  const char* start = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
  const auto [ptr, error] = std::from_chars(start, end, value);
  return error == std::errc() && ptr == end && !text.empty() ? value : def;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!EncodableInCp1250(value)) return false;
  const std::string entry = key + "=" + value;
  int header = SectionLine(section);
  if (header < 0) {
    if (!lines_.empty() && !Trimmed(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + section + "]");
    lines_.push_back(entry);
  } else if (const int line = KeyLine(header, key); line >= 0) {
    lines_[static_cast<std::size_t>(line)] = entry;
  } else {
    lines_.insert(lines_.begin() + SectionEnd(header), entry);
  }
  changed_ = true;
  return true;
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::EraseSection(const std::string& section) {
  const int header = SectionLine(section);
  if (header < 0) return;
  std::size_t end = static_cast<std::size_t>(header) + 1;
  while (end < lines_.size() && !IsHeader(lines_[end], nullptr)) ++end;
  lines_.erase(lines_.begin() + header, lines_.begin() + static_cast<std::ptrdiff_t>(end));
  changed_ = true;
}

void TIniFile::UpdateFile() {
  if (!changed_) return;
  WriteTextLines(fileName_, lines_);
  changed_ = false;
}

}  // namespace platform
