#include "oil/compiler/expression_compilers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_objects.h"

namespace {

// Operator trees deeper than this are refused: their runs would nest as deep.
constexpr int kMaxExpressionDepth = 400;

using Operator = std::unique_ptr<TOilOperator>;

TOilOperator* NewBinary(int token) {
  switch (token) {
    case tokStar: return new TOilKrat;
    case tokSlash: return new TOilDeleno;
    case tokDiv: return new TOilDiv;
    case tokMod: return new TOilMod;
    case tokAnd: return new TOilAnd;
    case tokPlus: return new TOilPlus;
    case tokMinus: return new TOilMinus;
    case tokOr: return new TOilOr;
    case tokEqual: return new TOilRovno;
    case tokLess: return new TOilMensi;
    case tokGreater: return new TOilVetsi;
    case tokLessEqual: return new TOilMensiRovno;
    case tokGreaterEqual: return new TOilVetsiRovno;
    case tokNotEqual: return new TOilRuzne;
    default: return nullptr;
  }
}

bool IsTermOperator(int token) {
  return token == tokStar || token == tokSlash || token == tokDiv || token == tokMod || token == tokAnd;
}
bool IsSimpleOperator(int token) { return token == tokPlus || token == tokMinus || token == tokOr; }
bool IsRelation(int token) {
  return token == tokEqual || token == tokLess || token == tokGreater || token == tokLessEqual ||
         token == tokGreaterEqual || token == tokNotEqual;
}
bool IsSelector(int token) {
  return token == tokDot || token == tokLBracket || token == tokNameDivider || token == tokOwnerDivider ||
         token == tokOwnerBracket;
}

Operator Constant(TTypeElement* value) {
  auto* constant = new TOilConst;
  constant->SetValue(TOilValue(value));
  return Operator(constant);
}

// Text between its quotes.
std::string Unquoted(const std::string& text) { return text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string(); }

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

TOilOperator* NewNilConstant() { return Constant(TPointerElement::CreateValue(nullptr)).release(); }

// ---------------------------------------------------------------- arithmetic levels

namespace {

// Joins two operands with the operator of token and checks its type.
Operator Join(int token, Operator left, Operator right, const TCompiler& compiler) {
  Operator joined(NewBinary(token));
  auto* binary = static_cast<TOilTwoPtrOperator*>(joined.get());
  binary->SetOperand(left.release());
  binary->SetSecondOperand(right.release());
  auto fail = [](TCompiler::Position at, int code) { throw TCompilerError(code, at.Line, at.Pos, ""); };
  if (!joined->HasValidType()) fail(compiler.CurrentPosition(), cerTypeMismatch);
  if (joined->Depth() > kMaxExpressionDepth) fail(compiler.TokenPosition(), cerSyntax);
  return joined;
}

}  // namespace

TElement* TExpressionCompiler::Compile() {
  TNesting nesting(*this);
  Operator left = Run<TOilOperator, TSimpleExpCompiler>(simple_);
  const int token = ReadToken();
  if (!IsRelation(token)) {
    UnreadToken();
    return left.release();
  }
  Operator right = Run<TOilOperator, TSimpleExpCompiler>(simple_);
  return Join(token, std::move(left), std::move(right), *this).release();
}

TElement* TSimpleExpCompiler::Compile() {
  int token = ReadToken();
  const bool negative = token == tokMinus;
  if (token != tokPlus && token != tokMinus) UnreadToken();
  Operator left = Run<TOilOperator, TTermCompiler>(term_);
  // The sign belongs to the first term only.
  if (negative) {
    Operator minus(new TOilUnMinus);
    static_cast<TOilUnMinus*>(minus.get())->SetOperand(left.release());
    if (!minus->HasValidType()) ErrorHere(cerTypeMismatch);
    left = std::move(minus);
  }
  for (;;) {
    token = ReadToken();
    if (!IsSimpleOperator(token)) break;
    Operator right = Run<TOilOperator, TTermCompiler>(term_);
    left = Join(token, std::move(left), std::move(right), *this);
  }
  UnreadToken();
  return left.release();
}

TElement* TTermCompiler::Compile() {
  TNesting nesting(*this);
  Operator left = Run<TOilOperator, TFactorCompiler>(factor_);
  for (;;) {
    const int token = ReadToken();
    if (!IsTermOperator(token)) break;
    Operator right = Run<TOilOperator, TFactorCompiler>(factor_);
    left = Join(token, std::move(left), std::move(right), *this);
  }
  UnreadToken();
  return left.release();
}

TElement* TFactorCompiler::Compile() {
  std::string text;
  const int token = ReadToken(text);
  switch (token) {
    case tokNot: {
      TNesting nesting(*this);
      Operator result(new TOilNot);
      static_cast<TOilNot*>(result.get())->SetOperand(static_cast<TOilOperator*>(Compile()));
      if (!result->HasValidType()) ErrorHere(cerTypeMismatch);
      if (result->Depth() > kMaxExpressionDepth) ErrorAtToken(cerSyntax);
      return result.release();
    }
    case tokLParen: {
      TNesting nesting(*this);
      Operator inner = Run<TOilOperator, TExpressionCompiler>(expression_);
      if (ReadToken() != tokRParen) ErrorHere(cerExpected, ")");
      return inner.release();
    }
    case tokTrue:
    case tokFalse: return Constant(TBooleanElement::CreateValue(token == tokTrue)).release();
    case tokInteger: {
      // A literal beyond the integer range is a Float.
      const long double value = std::trunc(TextToFloatAnySep(text));
      if (value > std::numeric_limits<std::int32_t>::max())
        return Constant(TFloatElement::CreateValue(static_cast<double>(value))).release();
      return Constant(TIntegerElement::CreateValue(static_cast<std::int32_t>(value))).release();
    }
    case tokReal: return Constant(TFloatElement::CreateValue(static_cast<double>(TextToFloatAnySep(text)))).release();
    case tokString: {
      const std::string inner = Unquoted(text);
      if (text[0] == '\'' && CharacterCount(inner) <= 1) {
        auto* value = TCharElement::CreateValue('\0');
        if (!inner.empty()) value->SetAsString(inner);
        return Constant(value).release();
      }
      return Constant(TStringElement::CreateValue(inner)).release();
    }
    case tokNil:
    case tokDot:
    case tokLBracket:
    case tokNameDivider:
    case tokOwnerDivider:
    case tokIdentifier: {
      UnreadToken();
      return Run<TOilOperator, TPathCompiler>(path_).release();
    }
    default: ErrorAtToken(cerSyntax);
  }
}

// ---------------------------------------------------------------- paths

namespace {

// The start of a path that names no element: ACTIVEELEMENT, slot 2 of the
// program's scope.
Operator ActiveElement(const TCompileContext& context) {
  auto* variable = new TNormalVariable;
  variable->VarIndex = 2;
  variable->SetBlock(context.BlockInfos.empty() ? nullptr : context.BlockInfos.front()->Block);
  return Operator(variable);
}

}  // namespace

bool TPathCompiler::SelectorFollows() const {
  const char c = CurrentChar();
  const TPreCompiler& scanner = *GetPreCompiler();
  return c != '\0' && (c == '.' || c == '[' || c == scanner.NameDivider()[0] || c == scanner.OwnerDivider()[0]);
}

TElement* TPathCompiler::Compile() {
  std::string text;
  const int token = ReadToken(text);
  const Position start = TokenPosition();
  Operator path;
  switch (token) {
    case tokNameDivider:
    case tokOwnerDivider:
    case tokOwnerBracket:
    case tokDot:
    case tokLBracket: {
      GoBack(start);
      const int selector = ReadToken();
      return Selectors(ActiveElement(*Context()), selector, CurrentPosition()).release();
    }
    case tokIdentifier: {
      const bool call = CurrentChar() == '(';
      if (call && RoutineExists(text)) {
        UnreadToken();
        path = Run<TOilOperator, TFuncCallerCompiler>(caller_);
        break;
      }
      if (!call) path.reset(FindVariable(text));
      if (!path) {
        // An unknown name is a property of the active element (followed by
        // "(": a tool called on it).
        GoBack(start);
        return Selectors(ActiveElement(*Context()), tokDot, start).release();
      }
      break;
    }
    case tokNil: path.reset(NewNilConstant()); break;
    default: ErrorAt(start, cerSyntax);
  }
  if (!SelectorFollows()) return path.release();
  const int selector = ReadToken();
  if (!IsSelector(selector)) {
    UnreadToken();
    return path.release();
  }
  if ((path->TypeFlags() & (TypeBit(otElement) | TypeBit(otAny))) == 0) ErrorAtToken(cerNoElementPointer);
  return Selectors(std::move(path), selector, CurrentPosition()).release();
}

Operator TPathCompiler::Selectors(Operator path, int selector, Position after) {
  for (;;) {
    std::string name;
    int token = ReadToken(name);
    if (token == tokString) {
      token = tokIdentifier;
      name = Unquoted(name);
    }
    const Position at = TokenPosition();
    const bool adjacent = token == tokIdentifier && !name.empty() && at.Line == after.Line && at.Pos == after.Pos;
    switch (selector) {
      case tokDot: {
        if (!adjacent) ErrorAt(after, cerExpected, "název property");
        if (CurrentChar() == '(') {
          UnreadToken();
          Operator tool = Run<TOilOperator, TToolCompiler>(tool_);
          static_cast<TToolOperator*>(tool.get())->SetOperand(path.release());
          path = std::move(tool);
        } else {
          auto* property = new TPropVariable;
          property->PropertyName = name;
          property->SetOwnerExpression(path.release());
          path.reset(property);
        }
        break;
      }
      case tokNameDivider:
      case tokOwnerDivider: {
        if (!adjacent) ErrorAt(after, cerExpected, "jméno prvku");
        auto* step = selector == tokNameDivider ? new TElementOperator : new TOwnerOperator;
        step->ElementName = name;
        step->SetOperand(path.release());
        path.reset(step);
        break;
      }
      default: {
        UnreadToken();
        Operator index = Run<TOilOperator, TTermCompiler>(term_);
        if ((index->TypeFlags() & kIntegralTypes) == 0) {
          ReadToken();
          ErrorAtToken(cerTypeMismatch);
        }
        if (ReadToken() != tokRBracket) ErrorHere(cerExpected, "]");
        auto* step = selector == tokLBracket ? new TElementByNumberOperator : new TOwnerByNumberOperator;
        step->SetOperand(path.release());
        step->SetPositionIndex(index.release());
        path.reset(step);
        break;
      }
    }
    if (path->Depth() > kMaxExpressionDepth) ErrorAtToken(cerSyntax);
    if (!SelectorFollows()) return path;
    selector = ReadToken();
    if (!IsSelector(selector)) {
      UnreadToken();
      return path;
    }
    after = CurrentPosition();
  }
}

// ---------------------------------------------------------------- calls

std::unique_ptr<TOilOperator> TWithExprCompiler::Expression() {
  return Run<TOilOperator, TExpressionCompiler>(expression_);
}

namespace {

// Whether an argument of the given flags fits a by-value parameter's type.
bool ArgumentFits(int type, unsigned flags) {
  if (flags & (TypeBit(type) | TypeBit(otAny))) return true;
  if (type == otFloat) return (flags & kIntegralTypes) != 0;
  if (type == otString) return (flags & TypeBit(otChar)) != 0;
  if (type == otInteger) return (flags & TypeBit(otByte)) != 0;
  return false;
}

bool ClassDescends(const std::string& name, const std::string& ancestor) {
  TClass cls = FindKestuClass(name);
  TClass base = FindKestuClass(ancestor);
  return cls && base && cls->InheritsFrom(base);
}

}  // namespace

TElement* TFuncCallerCompiler::Compile() {
  std::string name;
  if (ReadToken(name) != tokIdentifier) ErrorAtToken(cerExpected, "identifikátor procedury");
  TProcHeaderInfo* header = FindHeader(name);
  if (!header) ErrorAtToken(cerUnknownIdentifier);
  if (CurrentChar() != '(') ErrorHere(cerExpected, "(");
  ReadToken();
  auto caller = std::make_unique<TProcCaller>();
  caller->SetProc(header->Proc);
  const std::size_t count = header->Parameters.size();
  for (std::size_t i = 0; i < count; ++i) {
    const TVarCompileInfo& parameter = header->Parameters[i];
    auto argument = std::make_unique<TParametr>();
    argument->Target = parameter.Slot;
    if (!parameter.ByRef) {
      Operator expression = Expression();
      if (!ArgumentFits(parameter.TypeCode, expression->TypeFlags())) ErrorHere(cerTypeMismatch);
      argument->SetExpression(expression.release());
    } else {
      std::string variableName;
      const int token = ReadToken(variableName);
      std::unique_ptr<TNormalVariable> variable(token == tokIdentifier ? FindVariable(variableName) : nullptr);
      if (!variable) ErrorAtToken(cerExpected, "proměnnou");
      const int type = variable->GetValueType();
      bool fits = type == parameter.TypeCode || (parameter.TypeCode == otFloat && type == otInteger) ||
                  (parameter.TypeCode == otString && type == otChar);
      if (fits && parameter.TypeCode == otElement)
        fits = ClassDescends(variable->GetTypeName(), parameter.TypeName);
      if (!fits) ErrorHere(cerTypeMismatch);
      argument->ByRef = true;
      argument->SetExpression(variable.release());
    }
    caller->AddArgument(argument.release());
    if (i + 1 < count && ReadToken() != tokComma) ErrorHere(cerExpected, ",");
  }
  if (ReadToken() != tokRParen) ErrorHere(cerExpected, ")");
  return caller.release();
}

TElement* TToolCompiler::Compile() {
  std::string name;
  const int token = ReadToken(name);
  if (token == tokString) {
    name = Unquoted(name);
    if (name.empty()) ErrorAtToken(cerExpected, "název nástoje");
  } else if (token != tokIdentifier) {
    ErrorAtToken(cerSyntax);
  }
  std::string className = name;
  TClass cls = FindKestuClass(EnsureTPrefix(className));
  if (!cls || !cls->InheritsFrom(TTool::StaticClass()) || !cls->Factory) ErrorAtToken(cerUnknownTool);
  auto tool = std::make_unique<TToolOperator>();
  tool->ToolClass = cls;
  if (CurrentChar() != '(') ErrorHere(cerExpected, "(");
  ReadToken();
  if (ReadToken() == tokRParen) return tool.release();
  UnreadToken();
  const auto& props = cls->Props();
  std::vector<int> given;
  int unnamed = 0;
  for (;;) {
    std::string first;
    const int firstToken = ReadToken(first);
    const Position at = TokenPosition();
    if (firstToken == tokColon) ErrorAt(at, cerExpected, "název property");
    std::string property;
    if (firstToken == tokIdentifier && ReadToken() == tokColon) {
      property = first;
    } else {
      GoBack(at);
      std::unique_ptr<TElement> probe(NewElement(cls));
      static_cast<TTool*>(probe.get())->GetParameterName(unnamed++, property);
    }
    int index = -1;
    for (std::size_t i = 0; i < props.size(); ++i) {
      if (!property.empty() && AsciiUpperCase(props[i]->Name) == AsciiUpperCase(property)) {
        index = static_cast<int>(i);
        break;
      }
    }
    if (index < 0) ErrorAt(at, cerNoSuchProperty);
    if (std::find(given.begin(), given.end(), index) != given.end()) ErrorAt(at, cerPropertyGiven);
    given.push_back(index);
    auto input = std::make_unique<TToolInputInfo>();
    input->PropIndex = index + 1;
    input->SetExpression(Expression().release());
    tool->AddInput(input.release());
    const int next = ReadToken();
    if (next == tokRParen) break;
    if (next != tokComma) ErrorAtToken(cerExpected, ",");
  }
  if (tool->Depth() > kMaxExpressionDepth) ErrorAtToken(cerSyntax);
  return tool.release();
}

#define OIL_COMPILER_INFO(Self, Parent) OIL_CLASS_INFO(Self, Parent, "OilCompiler")
OIL_COMPILER_INFO(TExpressionCompiler, TCompiler)
OIL_COMPILER_INFO(TSimpleExpCompiler, TCompiler)
OIL_COMPILER_INFO(TTermCompiler, TCompiler)
OIL_COMPILER_INFO(TFactorCompiler, TCompiler)
OIL_COMPILER_INFO(TPathCompiler, TCompiler)
OIL_COMPILER_INFO(TWithExprCompiler, TCompiler)
OIL_COMPILER_INFO(TFuncCallerCompiler, TWithExprCompiler)
OIL_COMPILER_INFO(TToolCompiler, TWithExprCompiler)
