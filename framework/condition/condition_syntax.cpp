#include "framework/condition/condition_syntax.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 37> kKeywords = {
    "FIND",  "FINDFIRST", "FINDABSFIRST", "FINDTOLEVEL", "CLASS",     "ANCESTOR", "EXISTSPROP", "ROUND",
    "TRUNC", "COS",       "SIN",          "ARCTAN",      "EXP",       "FRAC",     "LN",         "SQR",
    "SQRT",  "ODD",       "ABS",          "NOT",         "AND",       "OR",       "MOD",        "DIV",
    "<",     ">",         "=",            "+",           "-",         "*",        "/",          "TOBOOLEAN",
    "TOCHAR", "TOBYTE",   "TOFLOAT",      "TOSTRING",    "TOINTEGER"};

std::int32_t Length(std::string_view text) { return static_cast<std::int32_t>(text.size()); }
char At(std::string_view text, std::int32_t pos) { return text[static_cast<std::size_t>(pos - 1)]; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::int32_t ZeroBeyond(std::string_view text, std::int32_t pos) { return pos > Length(text) ? 0 : pos; }

// The longest run from pos of characters that take accepts.
template <class Accept>
void ReadRun(std::string_view text, std::int32_t& pos, std::string& run, Accept take) {
  SkipSpaces(text, pos);
  run.clear();
  if (pos == 0) return;
  const std::int32_t start = pos;
  while (pos <= Length(text) && take(At(text, pos))) ++pos;
  run.assign(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(pos - start)));
  pos = ZeroBeyond(text, pos);
}

// Position after the quote that closes the literal opening at pos.  A literal
// that is not closed ends with the text, as if its quote stood just past it.
std::int32_t AfterLiteral(std::string_view text, std::int32_t pos) {
  const std::size_t close = text.find('\'', static_cast<std::size_t>(pos));
  return close == std::string_view::npos ? Length(text) + 2 : static_cast<std::int32_t>(close) + 2;
}

// Does the word (upper case) start at pos, not followed by a letter?
bool WordAt(std::string_view text, std::int32_t pos, std::string_view word) {
  const auto size = static_cast<std::int32_t>(word.size());
  if (pos + size - 1 > Length(text)) return false;
  for (std::int32_t k = 0; k < size; ++k)
    if (Upper(At(text, pos + k)) != word[static_cast<std::size_t>(k)]) return false;
  return pos + size > Length(text) || !IsLetter(At(text, pos + size));
}

// What one level's scan does at a character outside literals and groups:
// returns the length of an operator starting there (0 when none).
struct LevelRule {
  std::int32_t limit;  // the scan covers positions 1 to limit
  std::int32_t (*atChar)(std::string_view text, std::int32_t pos, bool& flag);
  bool flagAtStart;
  bool flagAfterGroup;  // value of the flag after a literal or a group
};

std::int32_t WordOperator(std::string_view text, std::int32_t pos, bool& wordStart, std::string_view first,
                          std::string_view second) {
  const char c = Upper(At(text, pos));
  if (wordStart) {
    if (c == first[0] && WordAt(text, pos, first)) return static_cast<std::int32_t>(first.size());
    if (c == second[0] && WordAt(text, pos, second)) return static_cast<std::int32_t>(second.size());
  }
  wordStart = !IsLetter(c);
  return 0;
}

std::int32_t LogicAt(std::string_view text, std::int32_t pos, bool& wordStart) {
  return WordOperator(text, pos, wordStart, "AND", "OR");
}

std::int32_t RelationAt(std::string_view text, std::int32_t pos, bool&) {
  const char c = At(text, pos);
  return c == '<' || c == '=' || c == '>' ? 1 : 0;
}

std::int32_t DivisionAt(std::string_view text, std::int32_t pos, bool& wordStart) {
  return WordOperator(text, pos, wordStart, "MOD", "DIV");
}

// A sign with no operand before it is unary, not a split point.
std::int32_t AdditionAt(std::string_view text, std::int32_t pos, bool& operandSeen) {
  const char c = At(text, pos);
  if (c == '+' || c == '-') {
    const bool hit = operandSeen;
    operandSeen = false;
    return hit ? 1 : 0;
  }
  if (c == '*' || c == '/') operandSeen = false;
  else if (c != ' ') operandSeen = true;
  return 0;
}

std::int32_t ProductAt(std::string_view text, std::int32_t pos, bool&) {
  const char c = At(text, pos);
  return c == '*' || c == '/' ? 1 : 0;
}

std::vector<TTopOperator> ScanLevel(std::string_view text, const LevelRule& rule) {
  std::vector<TTopOperator> hits;
  bool flag = rule.flagAtStart;
  std::int32_t pos = 1;
  while (pos <= rule.limit) {
    const char c = At(text, pos);
    if (c == '\'' || c == '(') {
      if (c == '\'') {
        pos = AfterLiteral(text, pos);
      } else {
        std::string inner;
        ReadParenthesized(text, pos, inner);
        if (pos == 0) break;
      }
      flag = rule.flagAfterGroup;
      continue;
    }
    const std::int32_t size = rule.atChar(text, pos, flag);
    if (size == 0) {
      ++pos;
      continue;
    }
    hits.push_back({pos, pos + size - 1, text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(size))});
    pos += size;
  }
  return hits;
}

}  // namespace

SyntaxExcept::SyntaxExcept(const std::string& message, std::int32_t position)
    : std::runtime_error(message), Position(position) {}

int FindConditionKeyword(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = Upper(c);
  for (std::size_t i = 0; i < kKeywords.size(); ++i)
    if (upper == kKeywords[i]) return static_cast<int>(i) + 1;
  return ckNone;
}

bool HoldsWordOperator(std::string_view text) {
  bool logicStart = true;
  bool divisionStart = true;
  for (std::int32_t pos = 1; pos <= Length(text); ++pos)
    if (LogicAt(text, pos, logicStart) > 0 || DivisionAt(text, pos, divisionStart) > 0) return true;
  return false;
}

bool IsIdentChar(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

void SkipSpaces(std::string_view text, std::int32_t& pos) {
  if (pos <= 0 || pos > Length(text)) {
    pos = 0;
    return;
  }
  while (pos <= Length(text) && At(text, pos) == ' ') ++pos;
  pos = ZeroBeyond(text, pos);
}

void ReadIdentifier(std::string_view text, std::int32_t& pos, std::string& ident) {
  ReadRun(text, pos, ident, IsIdentChar);
}

void ReadNumber(std::string_view text, std::int32_t& pos, std::string& digits) {
  ReadRun(text, pos, digits, [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

void ReadQuoted(std::string_view text, std::int32_t& pos, std::string& str) {
  SkipSpaces(text, pos);
  str.clear();
  if (pos == 0) return;
  const std::int32_t first = pos + 1;
  const std::int32_t after = AfterLiteral(text, pos);
  str.assign(text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(after - 1 - first)));
  pos = ZeroBeyond(text, after);
}

bool IsAtEnd(std::string_view text, std::int32_t pos) {
  SkipSpaces(text, pos);
  return pos == 0;
}

void ReadParenthesized(std::string_view text, std::int32_t& pos, std::string& inner) {
  const std::int32_t start = pos == 0 ? Length(text) + 1 : pos;
  SkipSpaces(text, pos);
  if (pos == 0) throw SyntaxExcept("Ocekavam: (", start);
  if (At(text, pos) != '(') throw SyntaxExcept("Ocekavam: (", pos);
  int depth = 1;
  ++pos;
  const std::int32_t first = pos;
  while (pos <= Length(text) && depth >= 1) {
    if (At(text, pos) == '(') ++depth;
    else if (At(text, pos) == ')') --depth;
    ++pos;
  }
  if (depth != 0) throw SyntaxExcept("Ocekavam: )", Length(text) + 1);
  inner.assign(text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(pos - 1 - first)));
  pos = ZeroBeyond(text, pos);
}

bool SplitAtTopOperator(std::string_view text, std::int32_t& pos, std::string& op) {
  const std::vector<TTopOperator> found = FindTopOperators(text);
  if (found.empty()) return false;
  op.assign(found.back().Text);
  pos = ZeroBeyond(text, found.back().Last + 1);
  return true;
}

std::vector<TTopOperator> FindTopOperators(std::string_view text) {
  const std::int32_t length = Length(text);
  const std::array<LevelRule, 5> levels = {{
      {length - 1, LogicAt, true, true},
      {length, RelationAt, false, false},
      {length - 1, DivisionAt, true, true},
      {length, AdditionAt, false, true},
      {length, ProductAt, false, false},
  }};
  for (const LevelRule& level : levels)
    if (std::vector<TTopOperator> hits = ScanLevel(text, level); !hits.empty()) return hits;
  return {};
}
