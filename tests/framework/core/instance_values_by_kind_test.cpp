#include <cstdint>
#include <string>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"

namespace {

enum class TGauge { gNarrow, gNormal, gBroad };

}  // namespace

template <>
const TEnumType& typinfo::EnumTypeOf<TGauge>() {
  static const TEnumType type{"TGauge", {"gNarrow", "gNormal", "gBroad"}};
  return type;
}

namespace {

// A published property of each kind the property editor edits.
class TEdited : public TOwnerEntity {
  KESTX_CLASS(TEdited)
 public:
  int Whole = 0;
  char Letter = 'a';
  bool Flag = false;
  TGauge Gauge = TGauge::gNarrow;
  std::int64_t Big = 0;
  double Real = 0;
  std::string Label;
  TOwnerEntity* Link = nullptr;
  TMethod Handler;
  int Fixed() const { return 42; }
};

TClass TEdited::StaticClass() {
  using E = TEdited;
  static const TClassInfo info = DescribeClass<E>(
      "TEdited", TOwnerEntity::StaticClass(), "E_EditedTest",
      {FieldProp("Whole", &E::Whole), FieldProp("Letter", &E::Letter), FieldProp("Flag", &E::Flag),
       FieldProp("Gauge", &E::Gauge), FieldProp("Big", &E::Big), FieldProp("Real", &E::Real),
       FieldProp("Label", &E::Label), FieldProp("Link", &E::Link), FieldProp("Handler", &E::Handler),
       ReadProp("Fixed", &E::Fixed)});
  return &info;
}

using InstanceValuesByKindTest = FrameworkTest;

TEST_F(InstanceValuesByKindTest, OrdinalsAreTakenWithinTheirKindAndRange) {
  struct Case {
    const char* Property;
    std::int64_t Value;
    bool Taken;
    std::int64_t ReadBack;
  };
  const Case cases[] = {
      {"whole", -5, true, -5},  // names in any case
      {"Whole", std::int64_t{1} << 40, false, 0},
      {"Letter", 0xE8, true, 0xE8},
      {"Letter", 256, false, 'a'},
      {"Flag", 1, true, 1},
      {"Flag", 2, false, 0},
      {"Gauge", 2, true, 2},
      {"Gauge", 3, false, 0},
      {"Big", 9000000000, true, 9000000000},
      {"Real", 5, false, 0},
      {"Fixed", 5, false, 42},
      {"Missing", 5, false, 0},
  };
  for (const Case& c : cases) {
    TEdited edited;
    TKestuInstance instance;
    instance.SetInstance(&edited);
    EXPECT_EQ(instance.SetOrdValue(c.Property, c.Value), c.Taken) << c.Property << " <- " << c.Value;
    EXPECT_EQ(instance.GetOrdValue(c.Property), c.ReadBack) << c.Property << " <- " << c.Value;
  }
}

TEST_F(InstanceValuesByKindTest, FloatsTextsMethodsAndEnumerationNamesGoToTheirKindOnly) {
  TEdited edited;
  TKestuInstance instance;
  instance.SetInstance(&edited);
  EXPECT_TRUE(instance.SetFloatValue("Real", 2.5L));
  EXPECT_EQ(edited.Real, 2.5);
  EXPECT_EQ(instance.GetFloatValue("Real"), 2.5L);
  EXPECT_FALSE(instance.SetFloatValue("Whole", 2.5L));
  EXPECT_EQ(instance.GetFloatValue("Whole"), 0.0L);

  EXPECT_TRUE(instance.SetStrValue("Label", "Průvodce"));
  EXPECT_EQ(instance.GetStrValue("Label"), "Průvodce");
  EXPECT_FALSE(instance.SetStrValue("Whole", "7"));
  EXPECT_EQ(edited.Whole, 0);
  EXPECT_EQ(instance.GetStrValue("Whole"), "");

  EXPECT_TRUE(instance.SetMethodValue("Handler", TMethod{1, 2}));
  EXPECT_EQ(instance.GetMethodValue("Handler"), (TMethod{1, 2}));
  EXPECT_FALSE(instance.SetMethodValue("Label", TMethod{1, 2}));

  EXPECT_TRUE(instance.SetEnumName("Gauge", "gbroad"));
  EXPECT_EQ(edited.Gauge, TGauge::gBroad);
  EXPECT_EQ(instance.GetEnumName("Gauge"), "gBroad");
  EXPECT_FALSE(instance.SetEnumName("Gauge", "gWide"));
  EXPECT_EQ(edited.Gauge, TGauge::gBroad);
  EXPECT_TRUE(instance.SetEnumName("Flag", "True"));
  EXPECT_TRUE(edited.Flag);
  EXPECT_FALSE(instance.SetEnumName("Whole", "True"));
  EXPECT_EQ(instance.GetEnumName("Whole"), "");
}

TEST_F(InstanceValuesByKindTest, AnElementPropertyTakesOnlyElementsOfItsClass) {
  TEdited edited;
  TOwnerEntity target;
  TOwnerElement wrongClass;
  TKestuInstance instance;
  EXPECT_FALSE(instance.SetElementValue("Link", &target));  // bound to nothing
  instance.SetInstance(&edited);
  EXPECT_TRUE(instance.SetElementValue("Link", &target));
  EXPECT_EQ(instance.GetElementValue("Link"), &target);
  EXPECT_FALSE(instance.SetElementValue("Link", &wrongClass));
  EXPECT_EQ(edited.Link, &target);
  EXPECT_FALSE(instance.SetElementValue("Label", &target));
  EXPECT_TRUE(instance.SetElementValue("Link", nullptr));
  EXPECT_EQ(edited.Link, nullptr);
}

}  // namespace
