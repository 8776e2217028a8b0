#pragma once
// Failures of the OIL language.  Every one carries a code into one of two
// fixed message tables; compile errors also carry where in the source they
// were found.
#include <cstdint>
#include <stdexcept>
#include <string>

// The run-time table entry of a code; empty outside the used range.
std::string RunTimeMessage(int code);
// The compiler table entry of a code; empty outside the used range.
std::string CompilerMessage(int code);

// Raised by the expression operators; neither TRY nor the run's report takes it.
class TLangError : public std::runtime_error {
 public:
  explicit TLangError(int code);
  std::int32_t Code = 0;
  // The source line of the failing statement; -1 when unknown.
  std::int32_t Line = -1;

 protected:
  TLangError(const std::string& message, int code, int line);
};

// The run-time checks of statements, variables and element access.
class TRunTimeError : public TLangError {
 public:
  explicit TRunTimeError(int code) : TLangError(code) {}
};

class TCompilerError : public TLangError {
 public:
  // The message is the table text followed directly by text.
  TCompilerError(int code, int line, int column, const std::string& text);
  std::int32_t ErrorLine = 0;
  std::int32_t ErrorColumn = 0;
};

// Run-time codes by meaning.
enum OilRunTimeCode : int {
  rteNoValue = 1,
  rteNoVariable = 2,
  rteTypeMismatch = 3,
  rteNotElement = 4,
  rteBadProperty = 5,
  rteNoSuchElement = 6,
  rteCannotAssign = 7,
  rteInputNotElement = 8,
  rteNoTool = 9,
  rteNotBoolean = 10,
  rteNotOrdinal = 11,
  rteInternal = 12,
  rteBadCaseType = 13,
  rteNotEntity = 14,
  rteBadPropertyKind = 15,
};

// Compiler codes by meaning.
enum OilCompilerCode : int {
  cerExpected = 1,
  cerNotAllowedHere = 2,
  cerSyntax = 3,
  cerByRefNotAllowed = 4,
  cerTooManyVariables = 5,
  cerNotOrdinal = 6,
  cerTypeNotAllowed = 7,
  cerTypeMismatch = 8,
  cerNoElementPointer = 9,
  cerUnknownType = 10,
  cerVariableExists = 11,
  cerPropertyGiven = 12,
  cerUnknownTool = 13,
  cerNoSuchProperty = 14,
  cerUnknownIdentifier = 15,
  cerOpenString = 16,
  cerUnexpectedEnd = 17,
  cerTooManyParameters = 18,
  cerDividerCollision = 19,
  cerCharNotAllowed = 20,
  cerIdentifierUsed = 21,
};

// A floating-point fault of the arithmetic (division by zero, a result
// beyond the range of a Float): no language error, it ends the run with the
// general failure report.
class EOilArithmetic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
