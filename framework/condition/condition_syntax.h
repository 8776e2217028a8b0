#pragma once
// Scanners of the condition language.  They work on the condition text in
// Windows-1250, so a position counts characters; positions are 1-based and 0
// means that nothing is left.  Only the space is blank.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A condition text that cannot be parsed.  Only the message reaches a user;
// Position is where in the parsed text the error was found.
class SyntaxExcept : public std::runtime_error {
 public:
  SyntaxExcept(const std::string& message, std::int32_t position);
  std::int32_t Position;
};

// Codes of the keyword table.
enum TConditionKeyword : int {
  ckNone = 0,
  ckFind = 1,
  ckFindFirst = 2,
  ckFindAbsFirst = 3,
  ckFindToLevel = 4,
  ckClass = 5,
  ckAncestor = 6,
  ckExistsProp = 7,
  ckRound = 8,
  ckTrunc = 9,
  ckCos = 10,
  ckSin = 11,
  ckArcTan = 12,
  ckExp = 13,
  ckFrac = 14,
  ckLn = 15,
  ckSqr = 16,
  ckSqrt = 17,
  ckOdd = 18,
  ckAbs = 19,
  ckNot = 20,
  ckAnd = 21,
  ckOr = 22,
  ckMod = 23,
  ckDiv = 24,
  ckLess = 25,
  ckGreater = 26,
  ckEqual = 27,
  ckPlus = 28,
  ckMinus = 29,
  ckTimes = 30,
  ckSlash = 31,
  ckToBoolean = 32,
  ckToChar = 33,
  ckToByte = 34,
  ckToFloat = 35,
  ckToString = 36,
  ckToInteger = 37,
};

// The code of the keyword equal to text (any case), 0 when none is.
int FindConditionKeyword(std::string_view text);
bool IsIdentChar(char c);
// Whether the scanner finds AND, OR, MOD or DIV in the text: a word operator
// starts after any character that is no letter, so "D6AND" holds one.
bool HoldsWordOperator(std::string_view text);
void SkipSpaces(std::string_view text, std::int32_t& pos);
void ReadIdentifier(std::string_view text, std::int32_t& pos, std::string& ident);
void ReadNumber(std::string_view text, std::int32_t& pos, std::string& digits);
// A literal without its closing quote runs to the end of the text.
void ReadQuoted(std::string_view text, std::int32_t& pos, std::string& str);
bool IsAtEnd(std::string_view text, std::int32_t pos);
void ReadParenthesized(std::string_view text, std::int32_t& pos, std::string& inner);
// Finds the binary operator of the loosest level that stands outside quotes
// and parentheses, its last occurrence on that level.  op is the operator as
// written, pos the position after it.
bool SplitAtTopOperator(std::string_view text, std::int32_t& pos, std::string& op);

// A binary operator standing at the top level of a text.
struct TTopOperator {
  std::int32_t First;  // positions of its first and last character
  std::int32_t Last;
  std::string_view Text;  // as written
};
// Every top-level operator of the loosest level that has one, in text order.
std::vector<TTopOperator> FindTopOperators(std::string_view text);
