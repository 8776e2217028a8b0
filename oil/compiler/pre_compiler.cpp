#include "oil/compiler/pre_compiler.h"

#include <array>
#include <string_view>

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "platform/app_queue.h"

namespace {

constexpr std::array<std::string_view, 58> kTokens = {
    "PROGRAM", "FUNCTION", "PROCEDURE", "BEGIN", "IF",     "CASE",    "WHILE",  "REPEAT", "FOR",   "TRY",
    "END",     "THEN",     "ELSE",      "OF",    "DO",     "TO",      "DOWNTO", "UNTIL",  "OR",    "VAR",
    "AND",     "NOT",      "MOD",       "DIV",   "NIL",    "INTEGER", "FLOAT",  "CHAR",   "BOOLEAN", "TRUE",
    "FALSE",   "STRING",   ".",         ",",     ";",      "=",       "+",      "-",      "*",     "/",
    "[",       "]",        "(",         ")",     ":",      "<",       ">",      "\"",     "'",     "<=",
    ">=",      "<>",       ":=",        "\\",    "\\\\",   "[",       "[",      " ",
};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentifierChar(char c) { return IsLetter(c) || IsDigit(c); }
bool IsDividerChar(char c) { return std::string_view("!#$%&?@\\^|~").find(c) != std::string_view::npos; }
unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

}  // namespace

std::string TokenText(int code) {
  return code >= 0 && code < static_cast<int>(kTokens.size()) ? std::string(kTokens[static_cast<std::size_t>(code)])
                                                               : std::string();
}

TPreCompiler::TPreCompiler() {
  for (int code = tokDot; code <= tokQuote; ++code) specialChars_.set(Byte(kTokens[static_cast<std::size_t>(code)][0]));
  specialChars_.set(Byte('\\'));
}

void TPreCompiler::Error(int code, int column, const std::string& text) const {
  throw TCompilerError(code, line_, column, text);
}

void TPreCompiler::SetSourceLines(const std::vector<std::string>& lines) {
  sourceLines_ = lines;
  line_ = 0;
  Pos = 1;
  lineCount_ = static_cast<std::int32_t>(sourceLines_.size());
  unreadFlag_ = false;
  if (lineCount_ > 0) SetLine(0);
}

void TPreCompiler::SetLine(std::int32_t line) {
  line_ = line;
  if (line_ >= 0 && line_ < lineCount_) {
    currentText_ = sourceLines_[static_cast<std::size_t>(line_)];
    lineLength_ = static_cast<std::int32_t>(currentText_.size());
  }
}

void TPreCompiler::NextLine() {
  Pos = 1;
  SetLine(line_ + 1);
}

char TPreCompiler::CurrentChar() const {
  if (line_ >= lineCount_ || Pos < 1 || Pos > lineLength_) return '\0';
  return currentText_[static_cast<std::size_t>(Pos - 1)];
}

void TPreCompiler::SetNameDivider(const std::string& text) {
  if (text == ownerDivider_) Error(cerDividerCollision, Pos);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!IsDividerChar(text[i])) Error(cerCharNotAllowed, Pos + static_cast<int>(i), std::string(1, text[i]));
  if (!nameDivider_.empty()) specialChars_.reset(Byte(nameDivider_[0]));
  nameDivider_ = text;
  specialChars_.set(Byte(nameDivider_[0]));
  specialChars_.set(Byte(ownerDivider_[0]));
}

void TPreCompiler::SetOwnerDivider(const std::string& text) {
  if (text == nameDivider_) Error(cerDividerCollision, Pos);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!IsDividerChar(text[i])) Error(cerCharNotAllowed, Pos + static_cast<int>(i), std::string(1, text[i]));
  if (!ownerDivider_.empty()) specialChars_.reset(Byte(ownerDivider_[0]));
  ownerDivider_ = text;
  specialChars_.set(Byte(ownerDivider_[0]));
  specialChars_.set(Byte(nameDivider_[0]));
}

void TPreCompiler::ReadDirective() {
  const int dollar = Pos + 1;  // the position of "$"
  auto keyword = [&](std::string_view word) {
    return dollar + static_cast<int>(word.size()) <= lineLength_ &&
           AsciiUpperCase(currentText_.substr(static_cast<std::size_t>(dollar), word.size())) == word;
  };
  const bool element = keyword("ELEMENTDIVIDER");
  const bool owner = !element && keyword("OWNERDIVIDER");
  if (!element && !owner) Error(cerExpected, dollar + 1, "identifikátor");
  int p = dollar + 1 + (element ? 14 : 12);
  while (p <= lineLength_ && currentText_[static_cast<std::size_t>(p - 1)] == ' ') ++p;
  if (p > lineLength_) Error(cerExpected, p, "identifikátor");
  const char first = currentText_[static_cast<std::size_t>(p - 1)];
  if (!IsDividerChar(first)) Error(cerCharNotAllowed, p, std::string(1, first));
  Pos = p;
  int end = p;
  while (end <= lineLength_ && currentText_[static_cast<std::size_t>(end - 1)] != ' ' &&
         currentText_[static_cast<std::size_t>(end - 1)] != '}')
    ++end;
  const std::string value = currentText_.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(end - p));
  if (element) SetNameDivider(value);
  else SetOwnerDivider(value);
  Pos = end;
}

void TPreCompiler::ReadComment() {
  if (Pos < lineLength_ && currentText_[static_cast<std::size_t>(Pos)] == '$') ReadDirective();
  // Up to and including the next "}", across lines; the source's end ends it too.
  while (line_ < lineCount_) {
    if (Pos > lineLength_) {
      NextLine();
      continue;
    }
    const char c = currentText_[static_cast<std::size_t>(Pos - 1)];
    ++Pos;
    if (c == '}') return;
  }
}

bool TPreCompiler::SkipBlanksAndComments() {
  if (line_ >= lineCount_) return false;
  for (;;) {
    if (Pos <= lineLength_) {
      const char c = currentText_[static_cast<std::size_t>(Pos - 1)];
      if (c == ' ') {
        ++Pos;
        continue;
      }
      if (c != '{') break;
      ReadComment();
    } else {
      NextLine();
    }
    if (line_ >= lineCount_) return false;
  }
  RealPos = Pos;
  RealLine = line_;
  if (InProgress()) {
    SetProgressText("Line no." + std::to_string(RealLine));
    SetProgress(RealLine);
  }
  platform::Application::Instance().ProcessMessages();
  return true;
}

int TPreCompiler::ReadSymbol(std::string& text) {
  const char c = currentText_[static_cast<std::size_t>(Pos - 1)];
  text.assign(1, c);
  if (!specialChars_.test(Byte(c))) Error(cerSyntax, Pos);
  auto standsAt = [&](const std::string& what, int at) {
    return !what.empty() && at - 1 + static_cast<int>(what.size()) <= lineLength_ &&
           currentText_.compare(static_cast<std::size_t>(at - 1), what.size(), what) == 0;
  };
  int code = -1;
  int length = 0;
  const bool beginsOwner = c == ownerDivider_[0];
  const bool beginsName = c == nameDivider_[0];
  if (beginsOwner && standsAt(ownerDivider_, Pos)) {
    if (standsAt(ownerDivider_ + "[", Pos)) {
      code = tokOwnerBracket;
      length = static_cast<int>(ownerDivider_.size()) + 1;
    } else {
      code = tokOwnerDivider;
      length = static_cast<int>(ownerDivider_.size());
    }
  }
  if (code != tokOwnerBracket && beginsName && standsAt(nameDivider_, Pos)) {
    if (code != tokOwnerDivider || nameDivider_.size() >= ownerDivider_.size()) {
      code = tokNameDivider;
      length = static_cast<int>(nameDivider_.size());
    }
  }
  if (code >= 0) {
    Pos += length;
    return code;
  }
  if (beginsOwner || beginsName) Error(cerSyntax, Pos);
  const char next = Pos < lineLength_ ? currentText_[static_cast<std::size_t>(Pos)] : '\0';
  auto pair = [&](int single, char second, int doubled) {
    if (next == second) {
      text.push_back(second);
      Pos += 2;
      return doubled;
    }
    ++Pos;
    return single;
  };
  switch (c) {
    case ':': return pair(tokColon, '=', tokAssign);
    case '>': return pair(tokGreater, '=', tokGreaterEqual);
    case '<':
      if (next == '>') {
        text = "<>";
        Pos += 2;
        return tokNotEqual;
      }
      return pair(tokLess, '=', tokLessEqual);
    default: break;
  }
  for (int entry = tokDot; entry <= tokRParen; ++entry) {
    if (kTokens[static_cast<std::size_t>(entry)][0] == c) {
      ++Pos;
      return entry;
    }
  }
  Error(cerSyntax, Pos);
}

int TPreCompiler::ReadToken(std::string& text) {
  if (unreadFlag_) {
    unreadFlag_ = false;
    text = lastText_;
    return lastCode_;
  }
  int code = tokEndOfSource;
  if (SkipBlanksAndComments()) {
    const char c = currentText_[static_cast<std::size_t>(Pos - 1)];
    const int start = Pos;
    auto digits = [&] {
      while (Pos <= lineLength_ && IsDigit(currentText_[static_cast<std::size_t>(Pos - 1)])) ++Pos;
    };
    if (IsLetter(c)) {
      while (Pos <= lineLength_ && IsIdentifierChar(currentText_[static_cast<std::size_t>(Pos - 1)])) ++Pos;
      text = currentText_.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(Pos - start));
      const std::string upper = AsciiUpperCase(text);
      code = tokIdentifier;
      for (int entry = 0; entry <= tokStringType; ++entry) {
        if (kTokens[static_cast<std::size_t>(entry)] == upper) {
          code = entry;
          break;
        }
      }
    } else if (c == '"' || c == '\'') {
      const std::size_t close = currentText_.find(c, static_cast<std::size_t>(Pos));
      if (close == std::string::npos) Error(cerOpenString, Pos);
      Pos = static_cast<int>(close) + 2;
      text = currentText_.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(Pos - start));
      code = tokString;
    } else if (IsDigit(c)) {
      digits();
      code = tokInteger;
      auto needDigit = [&] {
        if (Pos > lineLength_ || !IsDigit(currentText_[static_cast<std::size_t>(Pos - 1)]))
          Error(cerExpected, Pos, "celé číslo");
        digits();
      };
      if (CurrentChar() == '.') {
        code = tokReal;
        ++Pos;
        needDigit();
      }
      if (CurrentChar() == 'e' || CurrentChar() == 'E') {
        code = tokReal;
        ++Pos;
        if (CurrentChar() == '+' || CurrentChar() == '-') ++Pos;
        needDigit();
      }
      text = currentText_.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(Pos - start));
    } else {
      code = ReadSymbol(text);
    }
  }
  lastText_ = text;
  lastCode_ = code;
  return code;
}

TClass TPreCompiler::StaticClass() {
  static const TClassInfo info = DescribeClass<TPreCompiler>(
      "TPreCompiler", TTool::StaticClass(), "OilPreCompiler",
      {NotStored(AccessorProp<TPreCompiler, std::int32_t>(
           "RealLine", [](const TPreCompiler& p) { return p.RealLine; }, nullptr)),
       NotStored(AccessorProp<TPreCompiler, std::int32_t>(
           "RealPos", [](const TPreCompiler& p) { return p.RealPos; }, nullptr)),
       NotStored(AccessorProp<TPreCompiler, std::int32_t>(
           "Line", [](const TPreCompiler& p) { return p.GetLine(); },
           [](TPreCompiler& p, std::int32_t line) { p.SetLine(line); })),
       NotStored(FieldProp("Pos", &TPreCompiler::Pos))});
  return &info;
}
