#include "render/area_symbols/keyword_reader.h"

#include "framework/values/line_scanner.h"
#include "platform/code_page.h"

namespace {

// Spaces and NULs only: a tab is part of the text.
std::string TrimSpacesAndNuls(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\0'; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string UpperTrimmed(const std::string& utf8) { return TrimSpacesAndNuls(platform::AnsiUpperCase(utf8)); }

// At most this many characters of a value are taken.
constexpr std::size_t kValueLength = 250;
constexpr std::size_t kLinePositions = 254;

}  // namespace

TCteniParametru::TCteniParametru(const std::string& fileName) : file_(fileName, std::ios::binary) {
  if (!file_) return;
  ReadNextLine();
  opened_ = moreLines_;
  conversionError_ = false;
}

TCteniParametru::~TCteniParametru() = default;

void TCteniParametru::ReadNextLine() {
  moreLines_ = false;
  currentLine_.clear();
  if (!file_ || file_.peek() == std::char_traits<char>::eof()) return;
  std::getline(file_, currentLine_);
  if (!currentLine_.empty() && currentLine_.back() == '\r') currentLine_.pop_back();
  moreLines_ = true;
}

void TCteniParametru::ReadParameter(bool& IsKey, bool& IsSection, bool& IsLast, std::string& Key,
                                    std::string& Value) {
  IsLast = !file_ || file_.peek() == std::char_traits<char>::eof();
  IsKey = false;
  IsSection = false;
  Key.clear();
  Value.clear();
  // A line's kind is told by its first byte, the same in both code pages:
  // only a section's text is converted whole.
  const std::string bytes = TrimSpacesAndNuls(currentLine_);
  if (!bytes.empty() && bytes.front() != ';') {
    if (bytes.front() == '[') {
      TCtiRadekClass scanner(platform::Cp1250ToUtf8(bytes));
      IsSection = true;
      scanner.Skip();
      std::string first;
      scanner.ReadUntil(']', first);
      Value = UpperTrimmed(first);
      if (first.find('[') != std::string::npos) {
        scanner.Skip();
        std::string second;
        scanner.ReadUntil(']', second);
        Value += "]" + UpperTrimmed(second);
      }
      lastValue_ = Value;
    } else {
      // The tokenizer's positions end at 254: an "=" past them is part of
      // a key that has no value.
      const std::size_t equals = bytes.find('=');
      if (equals == std::string::npos || equals >= kLinePositions) {
        Key = UpperTrimmed(platform::Cp1250ToUtf8(bytes.substr(0, kLinePositions)));
      } else {
        Key = UpperTrimmed(platform::Cp1250ToUtf8(bytes.substr(0, equals)));
        Value = TrimSpacesAndNuls(platform::Cp1250ToUtf8(bytes.substr(equals + 1, kValueLength)));
      }
      IsKey = true;
      lastValue_ = Value;
    }
  }
  if (opened_ && !IsLast)
    ReadNextLine();
  else
    currentLine_.clear();
}

double TCteniParametru::ValueAsReal() {
  TCtiRadekClass scanner(lastValue_);
  const double value = scanner.ReadReal();
  conversionError_ = scanner.IsEnd();
  return conversionError_ ? 0 : value;
}

std::int32_t TCteniParametru::ValueAsInteger() {
  TCtiRadekClass scanner(lastValue_);
  const std::int32_t value = scanner.ReadInteger();
  conversionError_ = scanner.IsEnd();
  return conversionError_ ? 0 : value;
}

bool TCteniParametru::ValueAsBoolean() const {
  TCtiRadekClass scanner(lastValue_);
  return scanner.ReadBoolean();
}

bool TCodesNotFound::Holds(const std::string& fileName, std::int32_t code) {
  platform::FileStamp version = platform::StampOfFile(found_);
  // A file gone may have come back under a name of another case.
  if (fileName != name_ || version == platform::FileStamp{}) {
    name_ = fileName;
    found_ = platform::FindFileAnyCase(fileName);
    version = platform::StampOfFile(found_);
  }
  if (version != version_) {
    codes_.clear();
    version_ = version;
  }
  return codes_.contains(code);
}
