#include "framework/values/line_scanner.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "framework/values/real48.h"
#include "platform/code_page.h"

namespace {

// Character-wise advancing stops here; the other reads run to the line's end.
constexpr std::int32_t kCharLimit = 254;

bool IsDigit(char Ch) { return Ch >= '0' && Ch <= '9'; }
bool IsSign(char Ch) { return Ch == '+' || Ch == '-'; }
bool StartsInteger(char Ch) { return IsSign(Ch) || IsDigit(Ch); }
bool StartsReal(char Ch) { return IsSign(Ch) || IsDigit(Ch) || Ch == '.'; }

// A sign right after a digit ends the number.
bool TakesInteger(char Ch, char Previous) { return IsDigit(Ch) || (IsSign(Ch) && !IsDigit(Previous)); }
bool TakesReal(char Ch, char /*Previous*/) { return StartsReal(Ch); }

// One optional sign, then the unsigned rest.
std::string_view SplitSign(std::string_view Text, bool& Negative) {
  Negative = false;
  if (!Text.empty() && IsSign(Text.front())) {
    Negative = Text.front() == '-';
    Text.remove_prefix(1);
  }
  return Text;
}

bool ToInteger(std::string_view Text, std::int32_t& Value) {
  bool Negative = false;
  const std::string_view Digits = SplitSign(Text, Negative);
  if (Digits.empty() || !IsDigit(Digits.front())) return false;
  std::int64_t Magnitude = 0;
  const auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Magnitude);
  if (Error != std::errc() || End != Digits.data() + Digits.size()) return false;
  const std::int64_t Signed = Negative ? -Magnitude : Magnitude;
  if (Signed < std::numeric_limits<std::int32_t>::min() || Signed > std::numeric_limits<std::int32_t>::max())
    return false;
  Value = static_cast<std::int32_t>(Signed);
  return true;
}

bool ToReal(std::string_view Text, long double& Value) {
  bool Negative = false;
  const std::string_view Rest = SplitSign(Text, Negative);
  if (Rest.empty() || IsSign(Rest.front())) return false;
  long double Magnitude = 0;
  const auto [End, Error] =
      std::from_chars(Rest.data(), Rest.data() + Rest.size(), Magnitude, std::chars_format::fixed);
  if (Error != std::errc() || End != Rest.data() + Rest.size()) return false;
  Value = Negative ? -Magnitude : Magnitude;
  return true;
}

}  // namespace

TCtiRadekClass::TCtiRadekClass(std::string_view Line) : FLine(platform::Utf8ToCp1250(Line)) {}

bool TCtiRadekClass::AtLineEnd() const { return FPosition > static_cast<std::int64_t>(FLine.size()); }

char TCtiRadekClass::Current() const { return FLine[static_cast<std::size_t>(FPosition - 1)]; }

void TCtiRadekClass::Back() {
  if (FPosition <= 1)
    FEnd = true;
  else
    --FPosition;
}

void TCtiRadekClass::Skip() {
  if (FPosition >= kCharLimit)
    FEnd = true;
  else
    ++FPosition;
}

char TCtiRadekClass::ReadChar() {
  if (FEnd) return '\0';
  if (AtLineEnd()) {
    FEnd = true;
    return '\0';
  }
  const char Ch = Current();
  Skip();
  return Ch;
}

void TCtiRadekClass::SkipBlanks() {
  while (!AtLineEnd() && Current() == ' ') ++FPosition;
}

void TCtiRadekClass::ReadCount(std::int32_t Count, std::string& Text) {
  if (FEnd) return;
  // A negative count would move the position before the line.
  if (Count < 0) Count = 0;
  Text.clear();
  if (!AtLineEnd()) Text = platform::Cp1250ToUtf8(std::string_view(FLine).substr(FPosition - 1, Count));
  const std::int64_t Next = std::int64_t{FPosition} + Count;
  FPosition = static_cast<std::int32_t>(std::min<std::int64_t>(Next, std::numeric_limits<std::int32_t>::max()));
}

void TCtiRadekClass::ReadUntil(char Ch, std::string& Text) {
  TCharSet Chars;
  Chars.set(static_cast<unsigned char>(Ch));
  ReadUntilSet(Chars, Text);
}

void TCtiRadekClass::ReadUntilSet(const TCharSet& Chars, std::string& Text) {
  if (FEnd) return;
  const std::int32_t Start = FPosition;
  while (!AtLineEnd() && !Chars.test(static_cast<unsigned char>(Current()))) ++FPosition;
  Text = Start > static_cast<std::int64_t>(FLine.size())
             ? std::string()
             : platform::Cp1250ToUtf8(std::string_view(FLine).substr(Start - 1, FPosition - Start));
}

std::string TCtiRadekClass::TakeWhile(bool (*Accept)(char Ch, char Previous)) {
  std::string Taken;
  char Previous = '\0';
  while (!AtLineEnd() && Accept(Current(), Previous)) {
    Previous = Current();
    Taken += Previous;
    ++FPosition;
  }
  return Taken;
}

std::int32_t TCtiRadekClass::ReadInteger() {
  if (FEnd) return 0;
  while (!AtLineEnd() && !StartsInteger(Current())) ++FPosition;
  std::int32_t Value = 0;
  if (!ToInteger(TakeWhile(TakesInteger), Value)) {
    FEnd = true;
    return 0;
  }
  return Value;
}

bool TCtiRadekClass::ReadNumber(long double& Value) {
  Value = 0;
  if (FEnd) return false;
  while (!AtLineEnd() && !StartsReal(Current())) ++FPosition;
  if (!ToReal(TakeWhile(TakesReal), Value)) {
    FEnd = true;
    return false;
  }
  return true;
}

double TCtiRadekClass::ReadReal() {
  long double Value = 0;
  if (!ReadNumber(Value)) return 0;
  try {
    return Real48ToDouble(ExtendedToReal48(Value));
  } catch (const EReal48Overflow&) {
    FEnd = true;
    return 0;
  }
}

long double TCtiRadekClass::ReadFloat() {
  long double Value = 0;
  ReadNumber(Value);
  return Value;
}

bool TCtiRadekClass::ReadBoolean() {
  while (true) {
    const char Ch = platform::UpperCp1250(ReadChar());
    switch (Ch) {
      case '1':
      case 'A':
      case 'T':
        return true;
      case '0':
      case 'F':
      case 'N':
        return false;
      default:
        if (FEnd) return false;
    }
  }
}
