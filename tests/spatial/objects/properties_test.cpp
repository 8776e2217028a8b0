#include "spatial/objects/properties.h"

#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class DynamicPropertiesTest : public SpatialTest {};

TEST_F(DynamicPropertiesTest, UnknownNamesReadEmptyAndCreateNothing) {
  TDynamicProperties props;
  EXPECT_FALSE(props.HasProperty("Barva"));
  EXPECT_EQ(props.GetPropertyText("Barva"), "");
  EXPECT_EQ(props.GetPropertyInteger("Barva"), 0);
  EXPECT_FALSE(props.GetPropertyBoolean("Barva"));
  EXPECT_TRUE(props.Children().empty());
  EXPECT_NE(FindKestuClass("TDynamicProperties"), nullptr);
  EXPECT_EQ(FindKestuClass("TProperties"), nullptr);
  EXPECT_EQ(FindKestuClass("TInstanceProperties"), nullptr);
}

TEST_F(DynamicPropertiesTest, EachKindOfWriteCreatesItsOwnValueElement) {
  TDynamicProperties props;
  props.SetPropertyInteger("SPACEID", 12);
  props.SetPropertyText("Popis", "Les č. 5");
  props.SetPropertyBoolean("Hotovo", true);
  ASSERT_EQ(props.Children().size(), 3u);
  auto* number = DynamicCast<TIntegerElement>(props.Children()[0]);
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->GetName(), "SPACEID");
  EXPECT_NE(DynamicCast<TStringElement>(props.Children()[1]), nullptr);
  EXPECT_NE(DynamicCast<TBooleanElement>(props.Children()[2]), nullptr);
  EXPECT_EQ(props.Children()[2]->GetName(), "Hotovo");
  EXPECT_TRUE(props.HasProperty("spaceid"));
  EXPECT_EQ(props.GetPropertyText("popis"), "Les č. 5");
  EXPECT_TRUE(props.GetPropertyBoolean("HOTOVO"));
}

TEST_F(DynamicPropertiesTest, AValueKeepsItsTypeAndConvertsLaterWrites) {
  TDynamicProperties props;
  props.SetPropertyInteger("Druh", 4);
  props.SetPropertyText("druh", "17");
  props.SetPropertyText("DRUH", "sedmnáct");  // no integer: the value stays
  ASSERT_EQ(props.Children().size(), 1u);
  EXPECT_NE(DynamicCast<TIntegerElement>(props.Children()[0]), nullptr);
  EXPECT_EQ(props.GetPropertyInteger("Druh"), 17);
  props.SetPropertyText("Nazev", "42");
  props.SetPropertyInteger("Nazev", 43);
  EXPECT_NE(DynamicCast<TStringElement>(props.Children()[1]), nullptr);
  EXPECT_EQ(props.GetPropertyText("Nazev"), "43");
  props.SetPropertyBoolean("Nazev", true);
  EXPECT_EQ(props.GetPropertyText("Nazev"), "TRUE");
  EXPECT_EQ(props.Children().size(), 2u);
}

TEST_F(DynamicPropertiesTest, AChildOfAnotherClassIsNeitherReadNorShadowed) {
  TDynamicProperties props;
  auto* other = new TOwnerElement;
  other->SetName("Vrstva");
  props.AddElement(other);
  EXPECT_TRUE(props.HasProperty("Vrstva"));
  EXPECT_EQ(props.GetPropertyText("Vrstva"), "");
  props.SetPropertyText("Vrstva", "x");
  props.SetPropertyInteger("Vrstva", 1);
  props.SetPropertyBoolean("Vrstva", true);
  EXPECT_EQ(props.Children().size(), 1u);
}

// ---------------------------------------------------------------- reflection view

class TProbe : public TOwnerEntity {
  KESTX_CLASS(TProbe)
 public:
  std::int32_t Width = 0;
  std::string Label;
  bool Visible = false;
  TElement* Target = nullptr;
};

TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "E_propsTest",
      {FieldProp("Width", &TProbe::Width), FieldProp("Label", &TProbe::Label),
       StoredWhen(FieldProp("Visible", &TProbe::Visible),
                  [](const TObject& o) { return static_cast<const TProbe&>(o).Visible; }),
       FieldProp("Target", &TProbe::Target)});
  return &info;
}

class InstancePropertiesTest : public SpatialTest {
 protected:
  int IndexOf(const std::string& name) { return GetPropertyIndex(probe, name); }
  TProbe probe;
  TInstanceProperties view;
};

TEST_F(InstancePropertiesTest, BindingNamesTheViewAfterTheInstanceClass) {
  EXPECT_EQ(view.InstClassName(), "Unknown class");
  EXPECT_EQ(view.GetPropIndex(), -1);
  EXPECT_EQ(view.PropKind(), 0);
  view.SetInstance(&probe);
  EXPECT_EQ(view.GetName(), "TProbe_Instance");
  EXPECT_EQ(view.InstClassName(), "TProbe");
  EXPECT_EQ(view.PropCount(), GetPropertyCount(probe));
  EXPECT_EQ(view.GetPropertyText("PropCount"), std::to_string(GetPropertyCount(probe)));
}

TEST_F(InstancePropertiesTest, SelectsPropertiesByIndexOrName) {
  view.SetInstance(&probe);
  probe.Width = 25;
  view.SetPropName("width");
  EXPECT_EQ(view.GetPropIndex(), IndexOf("Width"));
  EXPECT_EQ(view.GetPropName(), "Width");
  EXPECT_EQ(view.GetPropString(), "25");
  EXPECT_EQ(view.PropKind(), tkInteger);
  view.SetPropString("30");
  EXPECT_EQ(probe.Width, 30);
  EXPECT_EQ(view.ActualProperty()->PropLongInt(), 30);

  view.SetPropName("NoSuchProperty");  // the selection stays
  EXPECT_EQ(view.GetPropName(), "Width");
  view.SetPropIndex(view.PropCount());  // beyond the count: ignored
  view.SetPropIndex(-1);
  EXPECT_EQ(view.GetPropName(), "Width");
  view.SetPropIndex(IndexOf("Label"));
  EXPECT_EQ(view.GetPropName(), "Label");
  EXPECT_EQ(view.PropKind(), tkLString);
}

TEST_F(InstancePropertiesTest, UnboundingClearsInstanceCountAndSelection) {
  view.SetInstance(&probe);
  view.SetPropName("Width");
  view.SetInstance(nullptr);
  EXPECT_EQ(view.Instance(), nullptr);
  EXPECT_EQ(view.PropCount(), 0);
  EXPECT_EQ(view.ActualProperty(), nullptr);
  EXPECT_EQ(view.InstClassName(), "Unknown class");
  view.SetPropIndex(0);
  view.SetPropName("Width");
  EXPECT_EQ(view.GetPropIndex(), -1);
  EXPECT_EQ(view.GetPropertyText("Width"), "");
}

TEST_F(InstancePropertiesTest, ForeignNamesReachTheInstance) {
  view.SetInstance(&probe);
  view.SetPropertyText("Label", "Porost");
  EXPECT_EQ(probe.Label, "Porost");
  EXPECT_EQ(view.GetPropertyText("LABEL"), "Porost");
  EXPECT_EQ(view.GetPropName(), "Label");
  // A name the instance lacks reads empty instead of the selected value.
  EXPECT_EQ(view.GetPropertyText("Height"), "");
  view.SetPropertyText("Height", "5");
  EXPECT_EQ(probe.Label, "Porost");
  // The view's own names stay its own.
  view.SetPropertyText("Delimiter", ";");
  EXPECT_EQ(view.Delimiter, ";");
  EXPECT_EQ(view.GetPropertyText("InstClassName"), "TProbe");
}

TEST_F(InstancePropertiesTest, IsListFillsOneNameValueItemPerProperty) {
  view.NextName("stale");
  view.SetInstance(&probe);
  probe.Width = 3;
  view.SetPropertyBoolean("IsList", true);
  ASSERT_EQ(static_cast<int>(view.Children().size()), view.PropCount());
  EXPECT_EQ(view.GetItemName(IndexOf("Width")), "Width");
  EXPECT_EQ(view.GetValue(IndexOf("Width")), "3");
  EXPECT_EQ(view.GetValueByName("Label"), "");
  view.SetIsList(false);
  EXPECT_TRUE(view.Children().empty());
}

TEST_F(InstancePropertiesTest, APropertyReportsItsStoredRuleKindAndRawValue) {
  TProperty unbound;
  EXPECT_FALSE(unbound.IsStored());
  EXPECT_EQ(unbound.TypeKind(), 0);
  EXPECT_EQ(unbound.PropLongInt(), 0);
  EXPECT_EQ(unbound.GetPropString(), "");
  unbound.SetPropString("1");  // nothing to write to

  const auto& props = probe.ClassType()->Props();
  TProperty visible;
  visible.Bind(&probe, props[static_cast<std::size_t>(IndexOf("Visible"))], IndexOf("Visible"));
  EXPECT_EQ(visible.GetName(), "Visible");
  EXPECT_EQ(visible.PropIndex, IndexOf("Visible"));
  EXPECT_FALSE(visible.IsStored());
  probe.Visible = true;
  EXPECT_TRUE(visible.IsStored());
  EXPECT_EQ(visible.PropLongInt(), 1);
  EXPECT_EQ(visible.GetPropString(), "True");

  TOwnerElement target;
  probe.Target = &target;
  TProperty reference;
  reference.Bind(&probe, props[static_cast<std::size_t>(IndexOf("Target"))], IndexOf("Target"));
  EXPECT_EQ(reference.TypeKind(), tkClass);
  EXPECT_EQ(reference.PropLongInt(), static_cast<int>(HandleOfElement(&target)));
}

}  // namespace
