#include "oil/compiler/statement_compilers.h"

#include <cmath>

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/debug_objects.h"

namespace {
using Operator = std::unique_ptr<TOilOperator>;
using Line = std::unique_ptr<TOilLine>;
}  // namespace

TElement* TCommandCompiler::Compile() {
  TNesting nesting(*this);
  const int token = ReadToken();
  const int sourceLine = TokenPosition().Line;
  UnreadToken();
  TElement* statement = Statement(token);
  // A debugger finds a statement by the line of its first token.
  if (Debug && statement) static_cast<TOilLine*>(statement)->SetSourceLine(sourceLine);
  return statement;
}

TElement* TCommandCompiler::Statement(int token) {
  switch (token) {
    case tokBegin: return Run<TElement, TBeginCompiler>(begin_).release();
    case tokIf: return Run<TElement, TIfCompiler>(if_).release();
    case tokCase: return Run<TElement, TCaseCompiler>(case_).release();
    case tokWhile: return Run<TElement, TWhileCompiler>(while_).release();
    case tokRepeat: return Run<TElement, TRepeatCompiler>(repeat_).release();
    case tokFor: return Run<TElement, TForCompiler>(for_).release();
    case tokTry: return Run<TElement, TTryCompiler>(try_).release();
    case tokSemicolon: return nullptr;
    case tokEndOfSource: ReadToken(); ErrorAtToken(cerUnexpectedEnd);
    default: return Run<TElement, TOtherCompiler>(other_).release();
  }
}

Line TLineCompiler::Statement() { return Run<TOilLine, TCommandCompiler>(command_); }

void TLineCompiler::Keyword(int token) {
  if (ReadToken() != token) ErrorAtToken(cerExpected, TokenText(token));
}

Operator TLineCompiler::Condition() {
  Operator condition = Expression();
  if (!condition->GetTypeFlag(otBoolean)) {
    ReadToken();
    ErrorAtToken(cerExpected, "logický výraz");
  }
  return condition;
}

void TLineCompiler::StatementsUntil(TOilBlock& block, int end) {
  for (;;) {
    if (ReadToken() == end) return;
    UnreadToken();
    block.AddLine(Statement().release());
    if (ReadToken() != tokSemicolon) ErrorAtToken(cerExpected, ";");
  }
}

TElement* TBeginCompiler::Compile() {
  Keyword(tokBegin);
  auto block = NewPlainOrTwin<TOilBlock, TDBOilBlock>(Debug);
  TBlockInfo* enclosing = TopBlockInfo();
  if (enclosing && enclosing->Block) ShareStacks(*enclosing->Block, *block);
  auto scope = std::make_unique<TBlockInfo>();
  scope->Block = block.get();
  PushBlockInfo(std::move(scope));
  struct Pop {
    TCompiler& compiler;
    ~Pop() { compiler.PopBlockInfo(); }
  } pop{*this};
  StatementsUntil(*block, tokEnd);
  return block.release();
}

TElement* TIfCompiler::Compile() {
  Keyword(tokIf);
  auto line = NewPlainOrTwin<TIfLine, TDBIfLine>(Debug);
  line->SetCondition(Condition().release());
  Keyword(tokThen);
  line->SetThenLine(Statement().release());
  const int token = ReadToken();
  if (token == tokElse) line->SetElseLine(Statement().release());
  else if (token == tokSemicolon) UnreadToken();
  else ErrorAtToken(cerExpected, "ELSE");
  return line.release();
}

TElement* TForCompiler::Compile() {
  Keyword(tokFor);
  std::string name;
  const int token = ReadToken(name);
  std::unique_ptr<TNormalVariable> variable(token == tokIdentifier ? FindVariable(name) : nullptr);
  if (!variable) ErrorAtToken(cerExpected, "proměnnou");
  const int type = variable->GetValueType();
  if (type != otChar && type != otInteger) ErrorAtToken(cerNotOrdinal);
  auto line = NewPlainOrTwin<TForLine, TDBForLine>(Debug);
  line->SetVariable(variable.release());
  if (ReadToken() != tokAssign) ErrorAtToken(cerExpected, ":=");
  auto bound = [&] {
    Operator expression = Expression();
    if (!expression->GetTypeFlag(type)) {
      ReadToken();
      ErrorAtToken(cerTypeMismatch);
    }
    return expression;
  };
  line->SetStart(bound().release());
  const int direction = ReadToken();
  if (direction != tokTo && direction != tokDownto) ErrorAtToken(cerExpected, "TO(DOWNTO)");
  line->Direction = direction == tokTo ? 1 : 0;
  line->SetEnd(bound().release());
  Keyword(tokDo);
  line->SetBody(Statement().release());
  return line.release();
}

TElement* TWhileCompiler::Compile() {
  Keyword(tokWhile);
  auto line = NewPlainOrTwin<TWhileLine, TDBWhileLine>(Debug);
  line->SetCondition(Condition().release());
  Keyword(tokDo);
  line->SetBody(Statement().release());
  return line.release();
}

TElement* TRepeatCompiler::Compile() {
  Keyword(tokRepeat);
  auto line = NewPlainOrTwin<TRepeatline, TDBRepeatLine>(Debug);
  StatementsUntil(*line, tokUntil);
  line->SetCondition(Condition().release());
  return line.release();
}

TElement* TTryCompiler::Compile() {
  Keyword(tokTry);
  auto block = NewPlainOrTwin<TProtectBlock, TDBProtectBlock>(Debug);
  StatementsUntil(*block, tokEnd);
  return block.release();
}

TElement* TCaseCompiler::Compile() {
  Keyword(tokCase);
  auto line = NewPlainOrTwin<TCaseLine, TDBCaseLine>(Debug);
  Operator selector = Expression();
  const unsigned allowed =
      TypeBit(otChar) | TypeBit(otInteger) | TypeBit(otBoolean) | TypeBit(otString) | TypeBit(otFloat);
  if ((selector->TypeFlags() & allowed) == 0) {
    ReadToken();
    ErrorAtToken(cerTypeNotAllowed);
  }
  line->SetSelector(selector.release());
  Keyword(tokOf);
  for (;;) {
    std::string text;
    const int token = ReadToken(text);
    TOilValue label;
    switch (token) {
      case tokTrue:
      case tokFalse: label = TOilValue::Boolean(token == tokTrue); break;
      case tokInteger: {
        const long double value = std::trunc(TextToFloatAnySep(text));
        if (value > 2147483647.0L) label = TOilValue::Float(static_cast<double>(value));
        else label = TOilValue::Integer(static_cast<std::int32_t>(value));
        break;
      }
      case tokReal: label = TOilValue::Float(static_cast<double>(TextToFloatAnySep(text))); break;
      case tokString: label = TOilValue::String(text.substr(1, text.size() - 2)); break;
      default: ErrorAtToken(cerExpected, "konstantu");
    }
    if (ReadToken() != tokColon) ErrorAtToken(cerExpected, ":");
    line->AddBranch(std::move(label), Statement().release());
    const int next = ReadToken();
    if (next == tokEnd) break;
    if (next == tokElse) {
      line->SetElseLine(Statement().release());
      break;
    }
    UnreadToken();
  }
  return line.release();
}

// ---------------------------------------------------------------- assignments, calls, declarations

TElement* TOtherCompiler::Compile() {
  std::string name;
  const int token = ReadToken(name);
  const Position start = TokenPosition();
  if (token == tokIdentifier && CurrentChar() == '(' && ProcedureExists(name)) {
    UnreadToken();
    auto line = NewPlainOrTwin<TExprLine, TDBExprLine>(Debug);
    line->SetExpression(Run<TOilOperator, TFuncCallerCompiler>(caller_).release());
    return line.release();
  }
  if (token == tokIdentifier) {
    const int separator = ReadToken();
    if (separator == tokComma || separator == tokColon) return Declaration(name, start, separator);
  }
  GoBack(start);
  Operator term = Run<TOilOperator, TTermCompiler>(term_);
  if (auto* variable = DynamicCast<TVariable>(term.get())) {
    if (ReadToken() != tokAssign) ErrorAtToken(cerExpected, ":=");
    const Position after = CurrentPosition();
    Operator expression = Expression();
    if (!AssignmentCompatible(variable->TypeFlags(), expression->TypeFlags())) ErrorAt(after, cerTypeMismatch);
    auto line = NewPlainOrTwin<TAssignLine, TDBAssignLine>(Debug);
    line->SetVariable(static_cast<TVariable*>(term.release()));
    line->SetExpression(expression.release());
    return line.release();
  }
  if (DynamicCast<TToolOperator>(term.get()) || DynamicCast<TCaller>(term.get())) {
    auto line = NewPlainOrTwin<TExprLine, TDBExprLine>(Debug);
    line->SetExpression(term.release());
    return line.release();
  }
  ErrorAt(start, cerSyntax);
}

TElement* TOtherCompiler::Declaration(std::string name, Position nameAt, int separator) {
  TBlockInfo* scope = TopBlockInfo();
  if (!scope || !scope->Block) ErrorAtToken(cerSyntax);
  TOilBlock& block = *scope->Block;
  std::vector<int> slots;
  for (;;) {
    const Position separatorAt = TokenPosition();
    const std::string upper = AsciiUpperCase(name);
    for (const std::string& known : scope->Names)
      if (known == upper) ErrorAt(nameAt, cerVariableExists);
    const int slot = block.VarCount();
    if (slot >= kMaxBlockVariables) ErrorAt(separatorAt, cerTooManyVariables);
    block.AddVariable(otInteger, std::string(), name);
    scope->Names.push_back(upper);
    slots.push_back(slot);
    if (separator == tokColon) break;
    if (ReadToken(name) != tokIdentifier) ErrorAtToken(cerExpected, "název proměnné");
    nameAt = TokenPosition();
    separator = ReadToken();
    if (separator != tokComma && separator != tokColon) ErrorAtToken(cerExpected, ":");
  }
  const TDeclaredType type = ReadDeclaredType(cerSyntax, "");
  for (int slot : slots) {
    block.SetVarType(slot, type.Code);
    block.SetVarTypeName(slot, type.Name);
  }
  if (slots.size() == 1) {
    if (ReadToken() == tokAssign) {
      const Position after = CurrentPosition();
      auto target = std::make_unique<TNormalVariable>();
      target->VarIndex = slots.front();
      target->SetBlock(&block);
      Operator expression = Expression();
      if (!AssignmentCompatible(target->TypeFlags(), expression->TypeFlags())) ErrorAt(after, cerTypeMismatch);
      auto line = NewPlainOrTwin<TAssignLine, TDBAssignLine>(Debug);
      line->SetVariable(target.release());
      line->SetExpression(expression.release());
      return line.release();
    }
  } else {
    ReadToken();
  }
  UnreadToken();
  return nullptr;
}

#define OIL_STATEMENT_COMPILER_INFO(Self, Parent) OIL_CLASS_INFO(Self, Parent, "OilStatementCompilers")
OIL_STATEMENT_COMPILER_INFO(TCommandCompiler, TCompiler)
OIL_STATEMENT_COMPILER_INFO(TLineCompiler, TWithExprCompiler)
OIL_STATEMENT_COMPILER_INFO(TForCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TIfCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TWhileCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TRepeatCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TCaseCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TTryCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TBeginCompiler, TLineCompiler)
OIL_STATEMENT_COMPILER_INFO(TOtherCompiler, TWithExprCompiler)
