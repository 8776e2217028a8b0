#include "spatial/objects/properties.h"

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

// The class names of a property list's children.
Strings ClassesIn(const TEntity& entity) {
  Strings names;
  for (TElement* child : entity.Children()) names.push_back(child->ClassName());
  return names;
}

class DynamicPropertiesTest : public SpatialTest {};

TEST_F(DynamicPropertiesTest, EachKindOfWriteCreatesItsOwnValueWhichKeepsItsType) {
  TDynamicProperties props;
  EXPECT_FALSE(props.HasProperty("Barva"));
  EXPECT_EQ(std::tuple(props.GetPropertyText("Barva"), props.GetPropertyInteger("Barva"),
                       props.GetPropertyBoolean("Barva")),
            std::tuple("", 0, false));
  EXPECT_TRUE(props.Children().empty());  // reading creates nothing
  props.SetPropertyInteger("SPACEID", 12);
  props.SetPropertyText("Popis", "Les č. 5");
  props.SetPropertyBoolean("Hotovo", true);
  EXPECT_EQ(ClassesIn(props), (Strings{"TIntegerElement", "TStringElement", "TBooleanElement"}));
  EXPECT_EQ(props.Children()[0]->GetName(), "SPACEID");
  EXPECT_TRUE(props.HasProperty("spaceid"));
  EXPECT_EQ(Texts(props, {"popis", "HOTOVO"}), "Les č. 5|true");

  props.SetPropertyText("spaceid", "17");
  props.SetPropertyText("SPACEID", "sedmnáct");  // no integer: the value stays
  props.SetPropertyInteger("Popis", 43);
  EXPECT_EQ(props.GetPropertyInteger("SpaceID"), 17);
  EXPECT_EQ(props.GetPropertyText("Popis"), "43");
  props.SetPropertyBoolean("Popis", true);
  EXPECT_EQ(props.GetPropertyText("Popis"), "TRUE");
  EXPECT_EQ(ClassesIn(props), (Strings{"TIntegerElement", "TStringElement", "TBooleanElement"}));

  auto* other = new TOwnerElement;  // a child of another class is neither read nor shadowed
  other->SetName("Vrstva");
  props.AddElement(other);
  EXPECT_TRUE(props.HasProperty("Vrstva"));
  props.SetPropertyText("Vrstva", "x");
  props.SetPropertyInteger("Vrstva", 1);
  props.SetPropertyBoolean("Vrstva", true);
  EXPECT_EQ(props.GetPropertyText("Vrstva"), "");
  EXPECT_EQ(props.Children().size(), 4u);
}

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

TEST_F(InstancePropertiesTest, TheViewSelectsPropertiesOfItsInstanceByIndexOrName) {
  EXPECT_EQ(std::tuple(view.InstClassName(), view.GetPropIndex(), view.PropKind()),
            std::tuple("Unknown class", -1, 0));
  view.SetInstance(&probe);
  EXPECT_EQ(view.GetName(), "TProbe_Instance");
  EXPECT_EQ(view.GetPropertyText("PropCount"), std::to_string(GetPropertyCount(probe)));
  probe.Width = 25;
  view.SetPropName("width");
  EXPECT_EQ(std::tuple(view.GetPropIndex(), view.GetPropName(), view.GetPropString(), view.PropKind()),
            std::tuple(IndexOf("Width"), "Width", "25", int{tkInteger}));
  view.SetPropString("30");
  EXPECT_EQ(probe.Width, 30);
  EXPECT_EQ(view.ActualProperty()->PropLongInt(), 30);
  view.SetPropName("NoSuchProperty");  // the selection stays
  view.SetPropIndex(view.PropCount());  // beyond the count: ignored
  view.SetPropIndex(-1);
  EXPECT_EQ(view.GetPropName(), "Width");
  view.SetPropIndex(IndexOf("Label"));
  EXPECT_EQ(std::tuple(view.GetPropName(), view.PropKind()), std::tuple(std::string("Label"), int{tkLString}));

  view.SetPropertyText("Label", "Porost");  // foreign names reach the instance
  EXPECT_EQ(probe.Label, "Porost");
  EXPECT_EQ(view.GetPropertyText("LABEL"), "Porost");
  EXPECT_EQ(view.GetPropertyText("Height"), "");  // a name the instance lacks reads empty
  view.SetPropertyText("Height", "5");
  EXPECT_EQ(probe.Label, "Porost");
  view.SetPropertyText("Delimiter", ";");  // the view's own names stay its own
  EXPECT_EQ(view.Delimiter, ";");

  view.NextName("stale");
  view.SetPropertyBoolean("IsList", true);  // one name=value item per property
  ASSERT_EQ(static_cast<int>(view.Children().size()), view.PropCount());
  EXPECT_EQ(std::tuple(view.GetItemName(IndexOf("Width")), view.GetValue(IndexOf("Width"))), std::tuple("Width", "30"));
  view.SetIsList(false);
  EXPECT_TRUE(view.Children().empty());

  view.SetInstance(nullptr);  // unbinding clears instance, count and selection
  EXPECT_EQ(view.Instance(), nullptr);
  EXPECT_EQ(view.PropCount(), 0);
  EXPECT_EQ(view.ActualProperty(), nullptr);
  EXPECT_EQ(view.InstClassName(), "Unknown class");
  view.SetPropIndex(0);
  view.SetPropName("Width");
  EXPECT_EQ(view.GetPropIndex(), -1);
  EXPECT_EQ(view.GetPropertyText("Width"), "");
}

TEST_F(InstancePropertiesTest, APropertyReportsItsStoredRuleKindAndRawValue) {
  TProperty unbound;
  EXPECT_EQ(std::tuple(unbound.IsStored(), unbound.TypeKind(), unbound.PropLongInt(), unbound.GetPropString()),
            std::tuple(false, 0, 0, ""));
  unbound.SetPropString("1");  // nothing to write to
  const auto& props = probe.ClassType()->Props();
  TProperty visible, reference;
  visible.Bind(&probe, props[static_cast<std::size_t>(IndexOf("Visible"))], IndexOf("Visible"));
  EXPECT_EQ(std::tuple(visible.GetName(), visible.PropIndex), std::tuple(std::string("Visible"), IndexOf("Visible")));
  EXPECT_FALSE(visible.IsStored());
  probe.Visible = true;
  EXPECT_EQ(std::tuple(visible.IsStored(), visible.PropLongInt(), visible.GetPropString()), std::tuple(true, 1, "True"));
  TOwnerElement target;
  probe.Target = &target;
  reference.Bind(&probe, props[static_cast<std::size_t>(IndexOf("Target"))], IndexOf("Target"));
  EXPECT_EQ(reference.TypeKind(), tkClass);
  EXPECT_EQ(reference.PropLongInt(), static_cast<int>(HandleOfElement(&target)));
}

}  // namespace
