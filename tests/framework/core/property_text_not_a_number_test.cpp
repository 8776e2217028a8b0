#include <string>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"

namespace {

class TNumbers : public TOwnerEntity {
  KESTX_CLASS(TNumbers)
 public:
  int Whole = 7;
  double Real = 7;
};

TClass TNumbers::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TNumbers>("TNumbers", TOwnerEntity::StaticClass(), "E_NumbersTest",
                              {FieldProp("Whole", &TNumbers::Whole), FieldProp("Real", &TNumbers::Real)});
  return &info;
}

using PropertyTextNotANumberTest = FrameworkTest;

// A text that is no number sets an Integer and a Float property alike: to 0,
// quietly.
TEST_F(PropertyTextNotANumberTest, IntegerAndFloatPropertiesTakeZeroAlike) {
  struct Case {
    const char* Text;
    int Whole;
    double Real;
  };
  const Case cases[] = {
      {"abc", 0, 0}, {"", 0, 0}, {"12abc", 0, 0}, {"1.5", 0, 1.5}, {"1,5", 0, 1.5}, {"-3", -3, -3}, {"1e99999", 0, 0},
  };
  for (const Case& c : cases) {
    TNumbers numbers;
    numbers.SetPropertyText("Whole", c.Text);
    numbers.SetPropertyText("Real", c.Text);
    EXPECT_EQ(numbers.Whole, c.Whole) << '"' << c.Text << '"';
    EXPECT_EQ(numbers.Real, c.Real) << '"' << c.Text << '"';
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace
