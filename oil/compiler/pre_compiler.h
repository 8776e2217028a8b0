#pragma once
// The scanner of the OIL language: hands out one token at a time with its
// text and where it began, skipping blanks and comments and obeying the
// directives that change the element-path dividers.
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/tools/tools.h"

// Token codes: the entries of the token table, then the kinds without one.
enum OilToken : int {
  tokProgram = 0, tokFunction, tokProcedure, tokBegin, tokIf, tokCase, tokWhile, tokRepeat, tokFor, tokTry,
  tokEnd, tokThen, tokElse, tokOf, tokDo, tokTo, tokDownto, tokUntil, tokOr, tokVar,
  tokAnd, tokNot, tokMod, tokDiv, tokNil, tokIntegerType, tokFloatType, tokCharType, tokBooleanType, tokTrue,
  tokFalse, tokStringType, tokDot, tokComma, tokSemicolon, tokEqual, tokPlus, tokMinus, tokStar, tokSlash,
  tokLBracket, tokRBracket, tokLParen, tokRParen, tokColon, tokLess, tokGreater, tokDoubleQuote, tokQuote,
  tokLessEqual, tokGreaterEqual, tokNotEqual, tokAssign, tokNameDivider, tokOwnerDivider, tokBracketUnused,
  tokOwnerBracket, tokBlankUnused,
  tokIdentifier = 58, tokReal = 59, tokInteger = 60, tokString = 61, tokEndOfSource = 62,
};

// The text of a token table entry (codes 0 to 57).
std::string TokenText(int code);

class TPreCompiler : public TTool {
  KESTX_CLASS(TPreCompiler)
 public:
  TPreCompiler();

  std::int32_t RealLine = 0;
  std::int32_t RealPos = 1;
  std::int32_t Pos = 1;

  virtual void SetSourceLines(const std::vector<std::string>& lines);
  const std::vector<std::string>& GetSourceLines() const { return sourceLines_; }
  virtual void SetOwnerDivider(const std::string& text);
  virtual void SetNameDivider(const std::string& text);
  const std::string& NameDivider() const { return nameDivider_; }
  const std::string& OwnerDivider() const { return ownerDivider_; }
  std::int32_t GetLine() const { return line_; }
  // Loads that line when it exists; the position stays.
  virtual void SetLine(std::int32_t line);
  virtual void NextLine();
  virtual void UnreadToken() { unreadFlag_ = true; }
  virtual void ClearUnreadToken() { unreadFlag_ = false; }

  // The next token's code, and its text (left as given at the end of the source).
  int ReadToken(std::string& text);
  // The character at Pos, or 0 past the line's end.
  char CurrentChar() const;
  int LineCount() const { return lineCount_; }

 private:
  bool SkipBlanksAndComments();
  void ReadComment();
  void ReadDirective();
  int ReadSymbol(std::string& text);
  [[noreturn]] void Error(int code, int column, const std::string& text = {}) const;

  bool unreadFlag_ = false;
  std::string currentText_;
  std::string lastText_;
  int lastCode_ = tokEndOfSource;
  std::int32_t line_ = 0;
  std::int32_t lineLength_ = 0;
  std::int32_t lineCount_ = 0;
  std::bitset<256> specialChars_;
  std::string nameDivider_ = "\\";
  std::string ownerDivider_ = "\\\\";
  std::vector<std::string> sourceLines_;
};
