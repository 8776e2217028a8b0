#include <locale>
#include <memory>
#include <string>

#include "tests/framework/condition/condition_fixture.h"

namespace {

class ConditionTest : public ConditionFixture {
 protected:
  bool Holds(const std::string& text, TElement* element) { return ConditionHolds(*Compile(text), element); }
  std::string ValueOf(const std::string& text) { return ConditionFixture::ValueOf(*Tree(text), &probe); }

  TProbe probe;
};

TEST_F(ConditionTest, ValuesTheirTypesAndWhatHasNoValue) {
  const std::pair<const char*, const char*> cases[] = {
      // levels and left association
      {"2 * 3 + 4", "I:10"}, {"8 - 3 - 2", "I:3"}, {"12 / 2 / 3", "F:2"}, {"- (2 + 3)", "I:-5"}, {"2 - -3", "I:5"},
      {"-2 - 3", "I:-5"}, {"+ 4", "I:4"}, {"FIND", "none"}, {"'A=B'", "S:A=B"},
      {"2 + 3 MOD 2", "I:1"},  // MOD binds more loosely than +
      // arithmetic and its types
      {"7 / 2", "F:3.5"}, {"7 DIV 2", "I:3"}, {"-7 DIV 2", "I:-3"}, {"-7 MOD 2", "I:-1"}, {"7 mod -2", "I:1"},
      {"2.5 + 1", "F:3.5"}, {"1 - 0.25", "F:0.75"}, {"1.5 * 2", "F:3"}, {"46340 * 46340", "I:2147395600"},
      {"65536 * 65536", "F:4294967296"}, {"'ab' + 'cd'", "S:abcd"}, {"TOCHAR(TOBYTE(65)) + 'b'", "S:Ab"},
      {"'a' + 1", "none"}, {"'a' - 'b'", "none"}, {"2.5 DIV 2", "none"}, {"'6' / 2", "none"},
      // literals: integers when whole, beyond 32 bits kept as Float (not cut to the low bits)
      {"3.0", "I:3"}, {"3.", "I:3"}, {"2.5", "F:2.5"}, {"-7", "I:-7"}, {"-0.5", "F:-0.5"},
      {"2147483647", "I:2147483647"}, {"-2147483648", "I:-2147483648"}, {"2147483648", "F:2147483648"},
      {"4294967297", "F:4294967297"}, {"-3000000000", "F:-3000000000"},
      // integer overflow widens to Float
      {"2147483647 + 1", "F:2147483648"}, {"-2147483647 - 2", "F:-2147483649"}, {"-(-2147483648)", "F:2147483648"},
      {"ABS(-2147483648)", "F:2147483648"}, {"(-2147483648) DIV -1", "F:2147483648"}, {"(-2147483648) MOD -1", "I:0"},
      // values that cannot be computed
      {"7 MOD 0", "none"}, {"7 DIV 0", "none"}, {"7 / 0", "none"}, {"0 / 0.0", "none"}, {"LN(0)", "none"},
      {"SQRT(-1)", "none"}, {"EXP(1000)", "none"}, {"SQR(EXP(600))", "none"}, {"ROUND(3000000000.5)", "none"},
      {"TRUNC(-3000000000.5)", "none"}, {"TOINTEGER(3000000000.5)", "none"},
      // functions
      {"ROUND(2.5)", "I:2"}, {"ROUND(3.5)", "I:4"}, {"ROUND(-2.5)", "I:-2"}, {"ROUND(2.6)", "I:3"}, {"ROUND(7)", "I:7"},
      {"ROUND(TOBYTE(7))", "b:7"}, {"TRUNC(-2.7)", "I:-2"}, {"ABS(-3)", "I:3"}, {"ABS(-2.5)", "F:2.5"},
      {"ABS(TOBYTE(5))", "b:5"}, {"FRAC(-2.5)", "F:-0.5"}, {"FRAC(3)", "F:0"}, {"SQR(3)", "F:9"},
      {"SQRT(6.25)", "F:2.5"}, {"COS(0)", "F:1"}, {"SIN(0)", "F:0"}, {"ARCTAN(1) * 4", "F:3.14159265358979"},
      {"EXP(0)", "F:1"}, {"LN(1)", "F:0"}, {"ODD(-3)", "B:true"}, {"ODD(2.0)", "B:false"}, {"ODD(2.5)", "none"},
      {"-(1 = 1)", "none"}, {"SIN('a')", "none"},
      // conversions
      {"TOSTRING(12)", "S:12"}, {"TOSTRING(1 = 1)", "S:true"}, {"TOINTEGER(2.9)", "I:2"}, {"TOINTEGER(-2.9)", "I:-2"},
      {"TOINTEGER(TOCHAR(TOBYTE(66)))", "I:66"}, {"TOINTEGER('5')", "none"}, {"TOFLOAT(3)", "F:3"},
      {"TOFLOAT('3')", "none"}, {"TOBYTE(300)", "b:44"}, {"TOBYTE(1 = 1)", "b:1"}, {"TOBYTE(2.5)", "none"},
      {"TOCHAR(TOBYTE(65))", "C:A"}, {"TOCHAR(65)", "none"}, {"TOBOOLEAN(0)", "B:false"}, {"TOBOOLEAN(2)", "B:true"},
      {"TOBOOLEAN('true')", "none"},
      // comparisons by the left type, logic only on Booleans; no value is not false
      {"(1 = 1) > (2 = 3)", "none"}, {"(1 = 1) = 1", "none"}, {"'1' = 1", "none"}, {"NOT (7 DIV 0 = 1)", "none"},
      {"TOCHAR(TOBYTE(49)) = '1'", "none"}, {"1 AND 1 = 1", "none"}, {"1 = 1 AND 5", "none"}, {"1 = 2 OR 'x'", "none"},
      {"1 = 2 AND 5", "B:false"}, {"1 = 2 OR 3 > 2", "B:true"}, {"0.1 + 0.2 = 0.3", "B:true"},
      {"0.1 + 0.2 > 0.3", "B:true"},  // only "=" has a tolerance
      {"1 = 1.00000000000001", "B:true"}, {"1 = 1.000000000001", "B:false"},  // 1E-14 and 1E-12 apart
      {"TOBYTE(3) < 3.5", "B:true"}, {"'abc' < 'abd'", "B:true"}, {"'B' < 'a'", "B:true"}, {"'a' = 'A'", "B:false"},
      {"'š' < 'á'", "B:true"},  // by the Windows-1250 codes
      {"TOCHAR(TOBYTE(200)) > TOCHAR(TOBYTE(65))", "B:true"},  // unsigned codes
      {"(1 = 1) = (2 = 2)", "B:true"}, {"(1 = 1) = (2 = 3)", "B:false"}, {"NOT 1 = 2", "none"},
      {"NOT(1 = 2) AND NOT(2 = 3)", "B:true"},
      // attributes an element answers as text read as numbers when they are; published properties by kind
      {"code + 1", "I:13"}, {"RATIO", "F:12.5"}, {"SHARE", "F:12.5"}, {"TAG", "S:abc"}, {"HUGE", "F:4294967297"},
      {"MISSING", "none"}, {"COUNT", "I:7"}, {"Small", "b:200"}, {"width", "F:2.25"}, {"LABEL", "S:12"},
      {"ACTIVE", "B:true"}, {"LETTER", "C:x"}, {"KIND", "S:_Float"},  // other enumerations read as their text
      {"BIG", "F:5000000000"}, {"NAME", "S:P1"}, {"BROKEN", "none"}, {"CODE = '12'", "none"}, {"LABEL = 12", "none"},
      {"ACTIVE AND COUNT > 5", "B:true"}, {"EXISTSPROP()", "B:false"}, {"CLASS(tprobe)", "B:true"},
      {"CLASS(TOwnerEntity)", "B:false"}, {"CLASS( TProbe)", "B:false"},  // the blank is part of the name
      {"ANCESTOR(TOwnerEntity)", "B:true"}, {"ANCESTOR(TProbe)", "B:true"}, {"ANCESTOR(TTool)", "B:false"},
      {"ANCESTOR(TElement)", "B:true"}, {"EXISTSPROP(count)", "B:true"},
      {"EXISTSPROP(CODE)", "B:false"},  // attributes are no published properties
      // an unclosed quote ends the text
      {"'", "S:"}, {"'a' + 'b", "S:ab"}, {"NAME = 'P1", "B:true"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ValueOf(text), expected) << text;
}

TEST_F(ConditionTest, TheRightSideOfAndAndOrRunsOnlyWhenTheLeftDoesNotDecide) {
  EXPECT_TRUE(!Holds("1 = 2 AND TOUCHED = 1", &probe) && Holds("1 = 1 OR TOUCHED = 1", &probe) && probe.touched == 0);
  EXPECT_TRUE(Holds("1 = 1 AND TOUCHED = 1", &probe) && probe.touched == 1);
}

TEST_F(ConditionTest, DecimalPointIsReadTheSameWhateverTheLocale) {
  struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const std::string value = ValueOf("2.5 * 2");
  std::locale::global(saved);
  EXPECT_EQ(value, "F:5");
}

TEST_F(ConditionTest, WithoutElementOrCommandNothingHolds) {
  std::unique_ptr<TCondition> condition = Compile("CLASS(TProbe) OR 1 = 1");
  EXPECT_FALSE(condition->Test());  // nothing stored yet
  auto* doomed = new TProbe;
  condition->SetResultItem(0, doomed);
  const bool held = condition->Test();
  delete doomed;
  EXPECT_TRUE(held && !condition->Test());
  std::unique_ptr<TCondition> empty = Compile("");
  EXPECT_TRUE(empty->GetName() == "Condition" && !ConditionHolds(*empty, &probe) && Tree("") == nullptr);
  TExpressionCreator expressions;  // a syntax error leaves no tree, and the condition without operand
  expressions.Command = "1 +";
  EXPECT_THROW(expressions.DoIt(), SyntaxExcept);
  EXPECT_EQ(expressions.Output(), nullptr);
  TCondCreator creator;
  creator.Command = "COUNT = (1";
  EXPECT_THROW(creator.DoIt(), SyntaxExcept);
  std::unique_ptr<TElement> left(creator.Output());
  auto* shell = DynamicCast<TCondition>(left.get());
  ASSERT_NE(shell, nullptr);
  EXPECT_EQ(shell->GetOperand1(), nullptr);
}

TEST_F(ConditionTest, ResultListReachesEveryOperatorAndIntermediateValuesAreReleased) {
  std::unique_ptr<TCondition> condition = Compile("COUNT + 1 > 1");
  TOperator* plus = condition->GetOperand1()->GetOperand1();
  EXPECT_EQ(plus->GetOperand1()->GetOperand1()->GetResultList(), condition->GetResultList());  // the inner EXISTSPROP
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(ConditionHolds(*condition, &probe));
  EXPECT_TRUE(condition->GetOperand1()->Output() == nullptr && plus->Output() == nullptr);
  condition->DoIt();
  condition->DoIt();  // the previous value goes with the next evaluation
  EXPECT_TRUE(DynamicCast<TBooleanElement>(condition->Output())->GetAsBoolean());
  TAndOperator alone;  // without a list an operator makes its own, as its child, once
  TShortList* own = alone.GetResultList();
  EXPECT_TRUE(own && alone.IndexOf(own) == 0 && alone.GetResultList() == own && alone.GetCount() == 1);
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

}  // namespace
