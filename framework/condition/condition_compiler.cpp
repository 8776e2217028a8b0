#include "framework/condition/condition_compiler.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "platform/code_page.h"

namespace {

using TNode = std::unique_ptr<TOperator>;

// Texts nested deeper would exhaust the stack while they are parsed; no
// condition a person writes comes near.  A chain of operators of one level
// is no nesting: it parses in one pass whatever its length, and the tree it
// makes is evaluated, typed and freed without nesting on the stack.
constexpr int kMaxNesting = 1000;

std::int32_t Length(std::string_view text) { return static_cast<std::int32_t>(text.size()); }
char At(std::string_view text, std::int32_t pos) { return text[static_cast<std::size_t>(pos - 1)]; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// The characters from pos to the end.
std::string_view From(std::string_view text, std::int32_t pos) { return text.substr(static_cast<std::size_t>(pos - 1)); }

TNode ParseText(std::string_view text, int nesting);

// Parses a sub-text whose errors count from offset + 1 in the enclosing text.
TNode ParseShifted(std::string_view text, std::int32_t offset, int nesting) {
  try {
    return ParseText(text, nesting);
  } catch (SyntaxExcept& e) {
    e.Position += offset;
    throw;
  }
}

TNode NewOperator(int code) {
  switch (code) {
    case ckClass: return std::make_unique<TClassIsOperator>();
    case ckAncestor: return std::make_unique<TIsAncestorOperator>();
    case ckExistsProp: return std::make_unique<TPropExistsOperator>();
    case ckRound: return std::make_unique<TRoundOperator>();
    case ckTrunc: return std::make_unique<TTruncOperator>();
    case ckCos: return std::make_unique<TCosOperator>();
    case ckSin: return std::make_unique<TSinOperator>();
    case ckArcTan: return std::make_unique<TArcTanOperator>();
    case ckExp: return std::make_unique<TExpOperator>();
    case ckFrac: return std::make_unique<TFracOperator>();
    case ckLn: return std::make_unique<TLnOperator>();
    case ckSqr: return std::make_unique<TSqrOperator>();
    case ckSqrt: return std::make_unique<TSqrtOperator>();
    case ckOdd: return std::make_unique<TOddOperator>();
    case ckAbs: return std::make_unique<TAbsValOperator>();
    case ckNot: return std::make_unique<TNotOperator>();
    case ckAnd: return std::make_unique<TAndOperator>();
    case ckOr: return std::make_unique<TOrOperator>();
    case ckMod: return std::make_unique<TModOperator>();
    case ckDiv: return std::make_unique<TDivOperator>();
    case ckLess: return std::make_unique<TMensiOperator>();
    case ckGreater: return std::make_unique<TVetsiOperator>();
    case ckEqual: return std::make_unique<TRovnoOperator>();
    case ckPlus: return std::make_unique<TPlusOperator>();
    case ckMinus: return std::make_unique<TMinusOperator>();
    case ckTimes: return std::make_unique<TKratOperator>();
    case ckSlash: return std::make_unique<TDelenoOperator>();
    case ckToBoolean: return std::make_unique<TNaBooleanOperator>();
    case ckToChar: return std::make_unique<TNaCharOperator>();
    case ckToByte: return std::make_unique<TNaByteOperator>();
    case ckToFloat: return std::make_unique<TNaFloatOperator>();
    case ckToString: return std::make_unique<TNaStringOperator>();
    case ckToInteger: return std::make_unique<TNaIntegerOperator>();
    default: return nullptr;
  }
}

bool IsFunction(int code) {
  return (code >= ckRound && code <= ckAbs) || (code >= ckToBoolean && code <= ckToInteger);
}

TNode NewConstant(TTypeElement* value) {
  auto node = std::make_unique<TConstOperator>();
  node->SetConstValue(value);
  return node;
}

// Decimal digits with at most one point, read the same in every locale.
bool ToNumber(const std::string& digits, double& value) {
  const char* first = digits.data();
  const char* last = first + digits.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
  return error == std::errc() && end == last;
}

TNode NumberLiteral(std::string_view text, std::int32_t pos, bool negative) {
  const std::int32_t start = pos;
  std::string digits;
  ReadNumber(text, pos, digits);
  if (!IsAtEnd(text, pos)) throw SyntaxExcept("Chyba v sytaxi", pos);
  double value = 0;
  if (!ToNumber(digits, value)) throw SyntaxExcept("Chybna hodnota", start);
  if (negative) value = -value;
  // A whole number beyond 32 bits stays a Float.
  if (std::trunc(value) == value && value >= std::numeric_limits<std::int32_t>::min() &&
      value <= std::numeric_limits<std::int32_t>::max())
    return NewConstant(TIntegerElement::CreateValue(static_cast<std::int32_t>(value)));
  return NewConstant(TFloatElement::CreateValue(value));
}

// The "(" argument ")" after a keyword, as the whole rest of the operand.
std::string Argument(std::string_view text, std::int32_t pos) {
  if (pos == 0 || At(text, pos) != '(') throw SyntaxExcept("Ocekavam: (", pos == 0 ? Length(text) + 1 : pos);
  std::string argument;
  ReadParenthesized(text, pos, argument);
  if (!IsAtEnd(text, pos)) throw SyntaxExcept("Chyba v syntaxi", pos);
  return argument;
}

// The keyword's operator over the tree of its operand text.
TNode WithOperand(int code, std::string_view operand, int nesting) {
  TNode node = NewOperator(code);
  node->SetOperand1(ParseText(operand, nesting).release());
  return node;
}

TNode Identifier(std::string_view text, std::int32_t pos, int nesting) {
  std::string ident;
  ReadIdentifier(text, pos, ident);
  ident = AsciiUpperCase(ident);
  const int code = FindConditionKeyword(ident);
  // The argument of a class or property test is a name, read as a literal.
  if (code == ckClass || code == ckAncestor || code == ckExistsProp)
    return WithOperand(code, std::string("'").append(Argument(text, pos)).append("'"), nesting);
  if (IsFunction(code)) return WithOperand(code, Argument(text, pos), nesting);
  if (code == ckNot) {
    if (IsAtEnd(text, pos)) throw SyntaxExcept("Ocekavam vyraz", Length(text) + 1);
    return WithOperand(code, From(text, pos), nesting);
  }
  if (!IsAtEnd(text, pos)) throw SyntaxExcept("Chyba v systaxi", pos);
  auto node = std::make_unique<TReadPropOperator>();
  node->SetPropName(ident);
  return node;
}

TNode Operand(std::string_view text, int nesting) {
  const std::int32_t length = Length(text);
  std::int32_t pos = 1;
  SkipSpaces(text, pos);
  const char c = At(text, pos);
  if (c == '\'') {
    std::string literal;
    ReadQuoted(text, pos, literal);
    if (!IsAtEnd(text, pos)) throw SyntaxExcept("Chyba v syntaxi", pos);
    return NewConstant(TStringElement::CreateValue(platform::Cp1250ToUtf8(literal)));
  }
  if (c == '(') {
    const std::int32_t open = pos;
    std::string ignored;
    ReadParenthesized(text, pos, ignored);
    if (!IsAtEnd(text, pos)) throw SyntaxExcept("Chyba v syntaxi", pos);
    const std::int32_t close = (pos == 0 ? length + 1 : pos) - 1;
    return ParseShifted(text.substr(static_cast<std::size_t>(open), static_cast<std::size_t>(close - open - 1)), open,
                        nesting);
  }
  if (c == '+' || c == '-') {
    ++pos;
    std::int32_t first = pos;
    SkipSpaces(text, first);
    if (first == 0) throw SyntaxExcept("Ocekavam vyraz", length + 1);
    if (At(text, first) == '\'') throw SyntaxExcept("Vyraz nema smysl", first);
    if (c == '+') return ParseShifted(From(text, pos), pos - 1, nesting);
    if (IsDigit(At(text, first))) return NumberLiteral(text, first, true);
    auto node = std::make_unique<TUnMinusOperator>();
    node->SetOperand1(ParseShifted(From(text, first), first - 1, nesting).release());
    return node;
  }
  if (IsDigit(c)) return NumberLiteral(text, pos, false);
  if (IsLetter(c) || c == '_') return Identifier(text, pos, nesting);
  throw SyntaxExcept("Nesmyslny znak", pos);
}

// A text of Windows-1250 characters; the tree is freed when an error passes.
// A text that splits at several operators of one level is read as splitting
// at the last of them, then again in the part before it: checks and sub-texts
// come in that order, without scanning each part again.
TNode ParseText(std::string_view text, int nesting) {
  if (IsAtEnd(text, 1)) throw SyntaxExcept("Ocekavam vyraz", 1);
  if (++nesting > kMaxNesting) throw SyntaxExcept("Vyraz nema smysl", 1);
  const std::vector<TTopOperator> operators = FindTopOperators(text);
  if (operators.empty()) {
    TNode node = Operand(text, nesting);
    node->SetElementIndex(0);
    return node;
  }
  const auto count = static_cast<std::int32_t>(operators.size());
  // Where the part that ends with operator k ends.
  auto partEnd = [&](std::int32_t k) { return k + 1 < count ? operators[k + 1].First - 1 : Length(text); };
  for (std::int32_t k = count - 1; k >= 0; --k)
    if (operators[k].Last == partEnd(k)) throw SyntaxExcept("Ocekavam vyraz", partEnd(k) + 1);
  if (operators.front().First == 1) throw SyntaxExcept("Ocekavam vyraz", 1);
  TNode node = ParseText(text.substr(0, static_cast<std::size_t>(operators.front().First - 1)), nesting);
  for (std::int32_t k = 0; k < count; ++k) {
    TNode parent = NewOperator(FindConditionKeyword(operators[k].Text));
    parent->SetElementIndex(0);
    parent->SetOperand1(node.release());
    const std::int32_t from = operators[k].Last + 1;
    const std::string_view right =
        text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(partEnd(k) - from + 1));
    parent->SetOperand2(ParseShifted(right, from - 1, nesting).release());
    node = std::move(parent);
  }
  return node;
}

}  // namespace

TOperator* TExpressionCreator::ParseExpression(const std::string& text) {
  return ParseText(platform::Utf8ToCp1250(text), 0).release();
}

void TExpressionCreator::DoIt() {
  TTool::DoIt();
  SetOutput(nullptr);
  if (Command.empty()) return;
  TOperator* tree = ParseExpression(Command);
  SetOutput(tree);
  if (tree) tree->SetResultList(new TShortList);
}

void TCondCreator::DoIt() {
  TTool::DoIt();
  auto* condition = new TCondition;
  SetOutput(condition);
  condition->SetName("Condition");
  if (Command.empty()) {
    condition->SetOperand1(nullptr);
    return;
  }
  condition->SetOperand1(ParseExpression(Command));
  condition->SetResultList(new TShortList);
}

TCondition* CompileCondition(TCondCreator& creator, const std::string& text) {
  creator.Command = text;
  try {
    creator.DoIt();
  } catch (const SyntaxExcept&) {
    TElement* shell = creator.Output();
    creator.SetOutput(nullptr);
    delete shell;
    throw;
  }
  return static_cast<TCondition*>(creator.Output());
}

TClass TExpressionCreator::StaticClass() {
  static const TClassInfo info = DescribeClass<TExpressionCreator>(
      "TExpressionCreator", TTool::StaticClass(), "creacond", {FieldProp("Command", &TExpressionCreator::Command)});
  return &info;
}

TClass TCondCreator::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCondCreator>("TCondCreator", TExpressionCreator::StaticClass(), "creacond", {});
  return &info;
}
