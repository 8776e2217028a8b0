#include <locale>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/condition/condition_compiler.h"

namespace {

// An element with published properties of every kind conditions read, and
// attributes it answers only as text.
class TProbe : public TOwnerEntity {
  KESTX_CLASS(TProbe)
 public:
  std::int32_t Count = 0;
  std::uint8_t Small = 0;
  double Width = 0;
  std::string Label;
  bool Active = false;
  char Letter = 'A';
  TType Kind = TType::Float;
  std::int64_t Big = 0;
  mutable int touched = 0;
  std::map<std::string, std::string> attributes;  // upper-case names

  std::string GetPropertyText(const std::string& name) const override {
    std::string text = TOwnerEntity::GetPropertyText(name);
    if (!text.empty()) return text;
    auto found = attributes.find(AsciiUpperCase(name));
    return found == attributes.end() ? std::string() : found->second;
  }
};

TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "ConditionTest",
      {FieldProp("Count", &TProbe::Count), FieldProp("Small", &TProbe::Small), FieldProp("Width", &TProbe::Width),
       FieldProp("Label", &TProbe::Label), FieldProp("Active", &TProbe::Active), FieldProp("Letter", &TProbe::Letter),
       FieldProp("Kind", &TProbe::Kind), FieldProp("Big", &TProbe::Big),
       AccessorProp<TProbe, int>(
           "Touched",
           [](const TProbe& probe) {
             ++probe.touched;
             return 1;
           },
           nullptr),
       AccessorProp<TProbe, int>(
           "Broken", [](const TProbe&) -> int { throw std::runtime_error("cannot read"); }, nullptr)});
  return &info;
}

// The tree as text: operator classes without "T" and "Operator", constants quoted, reads by name.
std::string Shape(TOperator* op) {
  if (!op) return "";
  if (auto* constant = DynamicCast<TConstOperator>(op)) return "'" + constant->ConstValue()->GetAsString() + "'";
  std::string text = op->ClassName().substr(1, op->ClassName().size() - 9);
  if (auto* read = DynamicCast<TReadPropOperator>(op)) text += " " + read->PropName();
  const std::string operands = Join({Shape(op->GetOperand1()), Shape(op->GetOperand2())}, op->GetOperand2() ? " " : "");
  return operands.empty() ? text : text + "(" + operands + ")";
}

std::string CompileError(const std::string& text) {
  TExpressionCreator creator;
  try {
    delete creator.ParseExpression(text);
  } catch (const SyntaxExcept& e) {
    return std::string(e.what()) + "@" + std::to_string(e.Position);
  }
  return "compiles";
}

class ConditionTest : public FrameworkTest {
 protected:
  std::unique_ptr<TCondition> Compile(const std::string& text) {
    TCondCreator creator;
    return std::unique_ptr<TCondition>(CompileCondition(creator, text));
  }

  bool Holds(const std::string& text, TElement* element) { return ConditionHolds(*Compile(text), element); }
  bool Holds(const std::string& text) { return Holds(text, &probe); }

  std::unique_ptr<TOperator> Tree(const std::string& text) {
    TExpressionCreator creator;
    creator.Command = text;
    creator.DoIt();
    return std::unique_ptr<TOperator>(static_cast<TOperator*>(creator.Output()));
  }

  // The value of an expression for the probe: its type and text, or "none".
  std::string ValueOf(const std::string& text) {
    std::unique_ptr<TOperator> tree = Tree(text);
    tree->SetResultItem(0, &probe);
    tree->DoIt();
    std::string result = "none";
    if (auto* value = DynamicCast<TTypeElement>(tree->Output())) {
      const bool isFloat = value->GetTyp() == TType::Float;
      result = value->GetTypeAsString() + ":" + (isFloat ? FloatToText(value->GetAsFloat()) : value->GetAsString());
    }
    tree->ReleaseResult();
    return result;
  }

  TProbe probe;
};

TEST_F(ConditionTest, ValuesTheirTypesAndWhatHasNoValue) {
  probe.Count = 7;
  probe.Small = 200;
  probe.Width = 2.25;
  probe.Label = "12";
  probe.Active = true;
  probe.Letter = 'x';
  probe.Big = 5000000000;
  probe.SetName("P1");
  probe.attributes = {{"CODE", "12"}, {"RATIO", "12,5"}, {"SHARE", "12.5"}, {"TAG", "abc"}, {"HUGE", "4294967297"}};
  const std::pair<const char*, const char*> cases[] = {
      // levels, left association, signs
      {"2 * 3 + 4", "integer:10"}, {"4 + 2 * 3", "integer:10"}, {"8 - 3 - 2", "integer:3"},
      {"2 + 3 MOD 2", "integer:1"},  // MOD binds more loosely than +
      {"12 / 2 / 3", "float:2"}, {"(2 + 3) * 4", "integer:20"}, {"2 - -3", "integer:5"}, {"-2 - 3", "integer:-5"},
      {"- (2 + 3)", "integer:-5"}, {"+ 4", "integer:4"},
      // arithmetic and its types
      {"7 / 2", "float:3.5"}, {"6 / 2", "float:3"}, {"7 DIV 2", "integer:3"}, {"-7 DIV 2", "integer:-3"},
      {"-7 MOD 2", "integer:-1"}, {"7 mod -2", "integer:1"}, {"2.5 + 1", "float:3.5"}, {"1 - 0.25", "float:0.75"},
      {"1.5 * 2", "float:3"}, {"46340 * 46340", "integer:2147395600"}, {"65536 * 65536", "float:4294967296"},
      {"'ab' + 'cd'", "string:abcd"}, {"TOCHAR(TOBYTE(65)) + 'b'", "string:Ab"}, {"'a' + 1", "none"},
      {"'a' - 'b'", "none"}, {"2.5 DIV 2", "none"}, {"'6' / 2", "none"},
      // literals: integers when whole, beyond 32 bits kept as Float (not cut to the low bits)
      {"3", "integer:3"}, {"3.0", "integer:3"}, {"3.", "integer:3"}, {"2.5", "float:2.5"}, {"-7", "integer:-7"},
      {"-0.5", "float:-0.5"}, {"2147483647", "integer:2147483647"}, {"-2147483648", "integer:-2147483648"},
      {"2147483648", "float:2147483648"}, {"4294967297", "float:4294967297"}, {"-3000000000", "float:-3000000000"},
      // integer overflow widens to Float
      {"2147483647 + 1", "float:2147483648"}, {"-2147483647 - 2", "float:-2147483649"},
      {"-(-2147483648)", "float:2147483648"}, {"ABS(-2147483648)", "float:2147483648"},
      {"(-2147483648) DIV -1", "float:2147483648"}, {"(-2147483648) MOD -1", "integer:0"},
      // values that cannot be computed
      {"7 MOD 0", "none"}, {"7 DIV 0", "none"}, {"7 / 0", "none"}, {"0 / 0.0", "none"}, {"LN(0)", "none"},
      {"SQRT(-1)", "none"}, {"EXP(1000)", "none"}, {"SQR(EXP(600))", "none"}, {"ROUND(3000000000.5)", "none"},
      {"TRUNC(-3000000000.5)", "none"}, {"TOINTEGER(3000000000.5)", "none"},
      // functions
      {"ROUND(2.5)", "integer:2"}, {"ROUND(3.5)", "integer:4"}, {"ROUND(-2.5)", "integer:-2"},
      {"ROUND(2.6)", "integer:3"}, {"ROUND(7)", "integer:7"}, {"ROUND(TOBYTE(7))", "byte:7"},
      {"TRUNC(-2.7)", "integer:-2"}, {"ABS(-3)", "integer:3"}, {"ABS(-2.5)", "float:2.5"},
      {"ABS(TOBYTE(5))", "byte:5"}, {"FRAC(-2.5)", "float:-0.5"}, {"FRAC(3)", "float:0"}, {"SQR(3)", "float:9"},
      {"SQRT(6.25)", "float:2.5"}, {"COS(0)", "float:1"}, {"SIN(0)", "float:0"},
      {"ARCTAN(1) * 4", "float:3.14159265358979"}, {"EXP(0)", "float:1"}, {"LN(1)", "float:0"},
      {"ODD(-3)", "boolean:true"}, {"ODD(2.0)", "boolean:false"}, {"ODD(2.5)", "none"}, {"-(1 = 1)", "none"},
      {"SIN('a')", "none"},
      // conversions
      {"TOSTRING(12)", "string:12"}, {"TOSTRING(1 = 1)", "string:true"}, {"TOINTEGER(2.9)", "integer:2"},
      {"TOINTEGER(-2.9)", "integer:-2"}, {"TOINTEGER(TOCHAR(TOBYTE(66)))", "integer:66"}, {"TOINTEGER('5')", "none"},
      {"TOFLOAT(3)", "float:3"}, {"TOFLOAT('3')", "none"}, {"TOBYTE(300)", "byte:44"}, {"TOBYTE(1 = 1)", "byte:1"},
      {"TOBYTE(2.5)", "none"}, {"TOCHAR(TOBYTE(65))", "char:A"}, {"TOCHAR(65)", "none"},
      {"TOBOOLEAN(0)", "boolean:false"}, {"TOBOOLEAN(2)", "boolean:true"}, {"TOBOOLEAN('true')", "none"},
      // comparisons by the left type, logic only on Booleans
      {"(1 = 1) > (2 = 3)", "none"}, {"(1 = 1) = 1", "none"}, {"'1' = 1", "none"},
      {"TOCHAR(TOBYTE(49)) = '1'", "none"}, {"1 AND 1 = 1", "none"}, {"1 = 1 AND 5", "none"},
      {"1 = 2 OR 'x'", "none"}, {"1 = 2 AND 5", "boolean:false"}, {"EXISTSPROP()", "boolean:false"},
      // attributes an element answers as text read as numbers when they are; published properties by kind
      {"code + 1", "integer:13"}, {"RATIO", "float:12.5"}, {"SHARE", "float:12.5"}, {"TAG", "string:abc"},
      {"HUGE", "float:4294967297"}, {"MISSING", "none"}, {"COUNT", "integer:7"}, {"Small", "byte:200"},
      {"width", "float:2.25"}, {"LABEL", "string:12"}, {"ACTIVE", "boolean:true"}, {"LETTER", "char:x"},
      {"KIND", "string:_Float"},  // other enumerations read as their text
      {"BIG", "float:5000000000"}, {"NAME", "string:P1"}, {"BROKEN", "none"},
      // an unclosed quote ends the text
      {"'", "string:"}, {"'a' + 'b", "string:ab"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ValueOf(text), expected) << text;
}

TEST_F(ConditionTest, ConditionsHoldOrNot) {
  probe.Count = 7;
  probe.Label = "12";
  probe.Active = true;
  probe.attributes = {{"CODE", "12"}, {"TAG", "abc"}};
  const std::pair<const char*, bool> cases[] = {
      {"1 + 1 = 2 AND 2 * 2 = 4", true}, {"1 = 2 OR 3 > 2", true}, {"4294967297 > 1", true},
      {"7 / 0 = 1", false}, {"NOT (7 DIV 0 = 1)", false},  // no value is not false
      {"0.1 + 0.2 = 0.3", true},                           // "=" has a tolerance
      {"0.1 + 0.2 > 0.3", true},                           // ">" has none
      {"1 = 1.00000000000001", true}, {"1 = 1.000000000001", false},  // 1E-14 and 1E-12 apart
      {"1 = 1.0", true}, {"TOBYTE(3) < 3.5", true}, {"'abc' < 'abd'", true},
      {"'B' < 'a'", true}, {"'a' = 'A'", false},  // case-sensitive, by code
      {"'š' < 'á'", true},                        // by the Windows-1250 codes
      {"TOCHAR(TOBYTE(200)) > TOCHAR(TOBYTE(65))", true},  // unsigned codes
      {"(1 = 1) = (2 = 2)", true}, {"(1 = 1) = (2 = 3)", false}, {"NOT (1 = 2)", true},
      {"NOT 1 = 2", false},  // (NOT 1) = 2
      {"NOT(1 = 2) AND NOT(2 = 3)", true}, {"CODE = 12", true}, {"CODE = '12'", false}, {"TAG = 'abc'", true},
      {"MISSING = MISSING", false},
      {"LABEL = 12", false}, {"LABEL = '12'", true},  // a published text stays a text
      {"ACTIVE AND COUNT > 5", true}, {"BROKEN = 1", false}, {"CLASS(TProbe)", true}, {"CLASS(tprobe)", true},
      {"CLASS(TOwnerEntity)", false}, {"CLASS( TProbe)", false},  // the blank is part of the name
      {"ANCESTOR(TOwnerEntity)", true}, {"ANCESTOR(TElement)", true}, {"ANCESTOR(TProbe)", true},
      {"ANCESTOR(TTool)", false}, {"EXISTSPROP(count)", true},
      {"EXISTSPROP(CODE)", false},  // attributes are no published properties
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Holds(text), expected) << text;
  probe.touched = 0;
  EXPECT_FALSE(Holds("1 = 2 AND TOUCHED = 1"));  // the right side only when needed
  EXPECT_TRUE(Holds("1 = 1 OR TOUCHED = 1"));
  EXPECT_EQ(probe.touched, 0);
  EXPECT_TRUE(Holds("1 = 1 AND TOUCHED = 1"));
  EXPECT_EQ(probe.touched, 1);
  TOwnerElement other;
  EXPECT_FALSE(Holds("CLASS(TProbe)", &other));
  EXPECT_TRUE(Holds("CLASS(TOwnerElement) AND NOT EXISTSPROP(Count)", &other));
  probe.SetName("abc AND 1");
  EXPECT_TRUE(Holds("NAME = 'abc AND 1"));  // an unclosed quote ends the text
}

TEST_F(ConditionTest, DecimalPointIsReadTheSameWhateverTheLocale) {
  struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const std::string value = ValueOf("2.5 * 2");
  const bool holds = Holds("2.5 = 5 / 2");
  std::locale::global(saved);
  EXPECT_EQ(value, "float:5");
  EXPECT_TRUE(holds);
}

TEST_F(ConditionTest, WithoutElementOrCommandNothingHolds) {
  std::unique_ptr<TCondition> condition = Compile("CLASS(TProbe) OR 1 = 1");
  EXPECT_FALSE(condition->Test());  // nothing stored yet
  auto* doomed = new TProbe;
  condition->SetResultItem(0, doomed);
  EXPECT_TRUE(condition->Test());
  delete doomed;
  EXPECT_FALSE(condition->Test());
  EXPECT_FALSE(Holds("COUNT = 0", nullptr));
  std::unique_ptr<TCondition> empty = Compile("");
  EXPECT_EQ(empty->GetName(), "Condition");
  EXPECT_EQ(empty->GetOperand1(), nullptr);
  empty->SetResultItem(0, &probe);
  EXPECT_FALSE(empty->Test());
  EXPECT_EQ(Tree(""), nullptr);
}

TEST_F(ConditionTest, ParserBuildsTheTreeTheTextDescribes) {
  const std::pair<const char*, const char*> cases[] = {
      {"CLASS(TAreaElement)", "ClassIs('TAreaElement')"}, {"(a)", "ReadProp A(PropExists('A'))"},
      {"Find", "ReadProp FIND(PropExists('FIND'))"},
      {"A - -B", "Minus(ReadProp A(PropExists('A')) UnMinus(ReadProp B(PropExists('B'))))"},
      {"-A - B", "Minus(UnMinus(ReadProp A(PropExists('A'))) ReadProp B(PropExists('B')))"},
      {"NOT A = B", "Rovno(Not(ReadProp A(PropExists('A'))) ReadProp B(PropExists('B')))"},
      {"+ A", "ReadProp A(PropExists('A'))"}, {"'A=B'", "'A=B'"},
      {"a > 1 or b < 2", "Or(Vetsi(ReadProp A(PropExists('A')) '1') Mensi(ReadProp B(PropExists('B')) '2'))"},
  };
  for (const auto& [text, shape] : cases) EXPECT_EQ(Shape(Tree(text).get()), shape) << text;
}

TEST_F(ConditionTest, ResultListReachesEveryOperatorAndIntermediateValuesAreReleased) {
  std::unique_ptr<TCondition> condition = Compile("COUNT + 1 > 1");
  auto* compare = condition->GetOperand1();
  auto* plus = compare->GetOperand1();
  TShortList* list = condition->GetResultList();
  EXPECT_EQ(compare->GetResultList(), list);
  EXPECT_EQ(plus->GetOperand1()->GetOperand1()->GetResultList(), list);  // the inner EXISTSPROP
  probe.Count = 1;
  condition->SetResultItem(0, &probe);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(condition->Test());
  EXPECT_EQ(compare->Output(), nullptr);
  EXPECT_EQ(plus->Output(), nullptr);
  EXPECT_EQ(list->Count(), 1);
  condition->DoIt();
  condition->DoIt();  // the previous value goes with the next evaluation
  EXPECT_TRUE(DynamicCast<TBooleanElement>(condition->Output())->GetAsBoolean());
  TShortList items;  // items are appended up to their index
  TOwnerElement a, b;
  items.SetItem(2, &a);
  items.SetItem(1, &b);
  EXPECT_EQ(items.Count(), 3);
  EXPECT_TRUE(items.GetItem(0) == &a && items.GetItem(1) == &b && items.GetItem(2) == &a);
  EXPECT_TRUE(items.GetItem(3) == nullptr && items.GetItem(-1) == nullptr);
}

TEST_F(ConditionTest, TypeFlagsSayWhichTypesAnExpressionCanHave) {
  const std::pair<const char*, const char*> flags[] = {
      {"2 * 3", "FI"}, {"2 * 3.5", "F"}, {"1 + 2", "I"}, {"'a' + TOCHAR(TOBYTE(1))", "S"}, {"X + 1", "FI"},
      {"X + 'a'", "S"}, {"X", "BCbFSIPO"}, {"7 / 2", "F"}, {"7 DIV X", "I"}, {"ROUND(X)", "bI"},
      {"ABS(TOBYTE(1))", "b"}, {"-X", "FI"}, {"ODD(X)", "B"}, {"X = 1", "B"}, {"CLASS(T)", "B"},
  };
  for (const auto& [text, expected] : flags) {
    std::unique_ptr<TOperator> tree = Tree(text);
    tree->ComputeTypeFlags();
    std::string kinds;
    for (int code = 0; code < 8; ++code)
      if (tree->GetTypeFlag(static_cast<TType>(code))) kinds += "BCbFSIPO"[code];
    tree->FreeTypeFlags();
    EXPECT_EQ(kinds, expected) << text;
    EXPECT_EQ(tree->GetTypeFlags(), nullptr);
    EXPECT_EQ(tree->GetOperand1() ? tree->GetOperand1()->GetTypeFlags() : nullptr, nullptr);
  }
  const std::pair<const char*, bool> valid[] = {
      {"1 + 2 > 2", true}, {"'a' - 1", false}, {"NOT 1", false}, {"TOCHAR(1.5)", false}, {"TOCHAR(TOBYTE(1))", true},
      {"'a' = 1", false}, {"(1 = 1) = (1 = 1)", false},  // Booleans are not among the comparable pairs
      {"X AND Y", true},
  };
  for (const auto& [text, expected] : valid) EXPECT_EQ(Tree(text)->HasValidType(), expected) << text;
  EXPECT_TRUE(Compile("1 = 1")->HasValidType());
}

// How many of the elements that come into being while work runs are still
// alive afterwards (every element a tree holds by link has a handle).
template <class Work>
int Survivors(Work work) {
  TOwnerElement before;
  const std::uint32_t first = HandleOfElement(&before);
  work();
  TOwnerElement after;
  const std::uint32_t last = HandleOfElement(&after);
  int alive = 0;
  for (std::uint32_t handle = first + 1; handle < last; ++handle) alive += ElementOfHandle(handle) != nullptr;
  return alive;
}

TEST_F(ConditionTest, FailedParsesAndFreedTreesLeaveNothingBehind) {
  for (const char* text : {"1 + 2 * (3", "CLASS(A) AND NOT", "ROUND(1) + SIN(2) x", "A = 1 OR B = 'x' AND #",
                           "NOT NOT -(COUNT * 2) = 1.2.3", "(1 + 2) = (3 + 4) AND (5 + (6 * 7)) < 8 x"}) {
    EXPECT_EQ(Survivors([&] { EXPECT_NE(CompileError(text), "compiles"); }), 0) << text;
    EXPECT_EQ(Survivors([&] {
                TCondCreator creator;
                EXPECT_THROW(CompileCondition(creator, text), SyntaxExcept);
              }),
              0)
        << text;
  }
  EXPECT_EQ(Survivors([&] { Compile("COUNT + 1 > ROUND(2.5) AND CLASS(TProbe)"); }), 0);
  std::unique_ptr<TCondition> condition = Compile("COUNT * 2 + LN(2) > 1 OR NAME + 'x' = 'x'");
  condition->SetResultItem(0, &probe);
  EXPECT_EQ(Survivors([&] {
              for (int i = 0; i < 5; ++i) condition->Test();
            }),
            0);
}

TEST(ConditionErrors, EveryMessageWithItsPosition) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "Ocekavam vyraz@1"}, {"   ", "Ocekavam vyraz@1"}, {"A <= B", "Ocekavam vyraz@4"},
      {"* 3", "Ocekavam vyraz@1"}, {"3 *", "Ocekavam vyraz@4"}, {"3 + ", "Ocekavam vyraz@4"},
      {"* 2 *", "Ocekavam vyraz@6"},  // the last operator is checked first
      {"2 ** 3", "Ocekavam vyraz@4"}, {"1 = 2 = ", "Ocekavam vyraz@8"}, {"NOT", "Ocekavam vyraz@4"},
      {"A AND NOT", "Ocekavam vyraz@10"}, {"+", "Ocekavam vyraz@2"}, {"-  ", "Ocekavam vyraz@4"},
      {"X_OR = 1", "Ocekavam vyraz@5"}, {"+'a'", "Vyraz nema smysl@2"}, {"1 + - 'a'", "Vyraz nema smysl@7"},
      {"#", "Nesmyslny znak@1"}, {"  #", "Nesmyslny znak@3"}, {"1 = .5", "Nesmyslny znak@5"},
      {"Šířka = 1", "Nesmyslny znak@1"}, {"'a' b", "Chyba v syntaxi@4"}, {"(A) B", "Chyba v syntaxi@4"},
      {"ROUND(2) x", "Chyba v syntaxi@9"}, {"CLASS(TProbe) x", "Chyba v syntaxi@14"},
      {"CLASS('TProbe')", "Chyba v syntaxi@3"}, {"'it' 's", "Chyba v syntaxi@5"},  // no quote inside a literal
      {"12abc", "Chyba v sytaxi@3"}, {"1e5", "Chyba v sytaxi@2"}, {"A B", "Chyba v systaxi@2"},
      {"Aš = 1", "Chyba v systaxi@2"}, {"1.2.3", "Chybna hodnota@1"}, {"2 + -1.2.3", "Chybna hodnota@6"},
      {"ROUND (2.5)", "Ocekavam: (@6"}, {"ROUND", "Ocekavam: (@6"}, {"EXISTSPROP x", "Ocekavam: (@11"},
      {"(A = B", "Ocekavam: )@7"}, {"ROUND(2", "Ocekavam: )@8"}, {"1 + (2 * 3", "Ocekavam: )@11"},
      // positions count in the whole text except inside arguments
      {" (A B)", "Chyba v systaxi@4"}, {"ROUND(1 +)", "Ocekavam vyraz@4"},
      {"1 + NOT #", "Nesmyslny znak@5"},  // "NOT" is followed by " #": position 2 there, + 3 for "1 +"
      {"1 + (2 #)", "Chyba v sytaxi@7"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(CompileError(text), expected) << text;
}

TEST(ConditionErrors, ExpressionCreatorLeavesNoOutputAndCondCreatorTheEmptyCondition) {
  TExpressionCreator expressions;
  expressions.Command = "1 +";
  EXPECT_THROW(expressions.DoIt(), SyntaxExcept);
  EXPECT_EQ(expressions.Output(), nullptr);
  TCondCreator creator;
  creator.Command = "COUNT = (1";
  EXPECT_THROW(creator.DoIt(), SyntaxExcept);
  std::unique_ptr<TElement> left(creator.Output());
  auto* condition = DynamicCast<TCondition>(left.get());
  ASSERT_NE(condition, nullptr);
  EXPECT_EQ(condition->GetOperand1(), nullptr);
  EXPECT_FALSE(condition->Test());
}

}  // namespace
