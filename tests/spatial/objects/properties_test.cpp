#include "spatial/objects/properties.h"

#include "framework/core/class_registry.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class DynamicPropertiesTest : public SpatialTest {};

TEST_F(DynamicPropertiesTest, EachKindOfWriteCreatesItsOwnValueWhichKeepsItsType) {
  TDynamicProperties props;
  EXPECT_EQ(std::tuple(props.HasProperty("Barva"), props.GetPropertyText("Barva"), props.GetPropertyInteger("Barva"),
                       props.GetPropertyBoolean("Barva"), props.Children().empty()),
            std::tuple(false, "", 0, false, true));  // reading creates nothing
  props.SetPropertyText("Popis", "Les č. 5");  // a text value keeps its type
  props.SetPropertyBoolean("popis", true);
  EXPECT_EQ(props.GetPropertyText("Popis"), "TRUE");
  auto* other = new TOwnerElement;  // a child of another class is neither read nor shadowed
  other->SetName("Vrstva");
  props.AddElement(other);
  props.SetPropertyText("Vrstva", "x");
  props.SetPropertyInteger("Vrstva", 1);
  EXPECT_EQ(std::tuple(props.HasProperty("Vrstva"), props.GetPropertyText("Vrstva"), props.Children().size()),
            std::tuple(true, "", 2u));
}

// A value written under a new name is read back under that name, whatever
// its kind.
TEST_F(DynamicPropertiesTest, ANewValueIsReadBackByItsName) {
  TDynamicProperties props;
  props.SetPropertyText("Popis", "Les");
  props.SetPropertyInteger("Barva", 5);
  props.SetPropertyBoolean("Hotovo", true);
  EXPECT_EQ(Texts(props, {"Popis", "Barva"}), "Les|5");
  EXPECT_EQ(std::tuple(props.GetPropertyInteger("barva"), props.GetPropertyBoolean("HOTOVO"), props.Children().size()),
            std::tuple(5, true, 3u));
}

class TProbe : public TOwnerEntity {
  KESTX_CLASS(TProbe)
 public:
  std::int32_t Width = 0;
  std::string Label;
  bool Visible = false;
};

TClass TProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TProbe>(
      "TProbe", TOwnerEntity::StaticClass(), "E_propsTest",
      {FieldProp("Width", &TProbe::Width), FieldProp("Label", &TProbe::Label), FieldProp("Visible", &TProbe::Visible)});
  return &info;
}

// A plain object, no element, whose first published property is its own.
class TPlainProbe : public TPersistent {
  KESTX_CLASS(TPlainProbe)
 public:
  std::string Label = "Les";
};

TClass TPlainProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TPlainProbe>("TPlainProbe", TPersistent::StaticClass(), "E_propsTest",
                                                            {FieldProp("Label", &TPlainProbe::Label)});
  return &info;
}

class InstancePropertiesTest : public SpatialTest {
 protected:
  int IndexOf(const std::string& name) { return GetPropertyIndex(probe, name); }
  TProbe probe;
  TInstanceProperties view;
};

TEST_F(InstancePropertiesTest, TheViewSelectsPropertiesOfItsInstanceAndReportsTheirRules) {
  EXPECT_EQ(std::tuple(view.InstClassName(), view.GetPropIndex(), view.PropKind()), std::tuple("Unknown class", -1, 0));
  view.SetInstance(&probe);
  probe.Width = 25;
  view.SetPropName("width");
  EXPECT_EQ(std::tuple(view.GetPropIndex(), view.GetPropName(), view.GetPropString(), view.PropKind()),
            std::tuple(IndexOf("Width"), "Width", "25", int{tkInteger}));
  view.SetPropString("30");
  view.SetPropName("NoSuchProperty");   // the selection stays
  view.SetPropIndex(view.PropCount());  // beyond the count: ignored
  view.SetPropIndex(-1);
  EXPECT_EQ(std::tuple(probe.Width, view.GetPropName()), std::tuple(30, "Width"));
  view.SetPropIndex(0);  // the first property is selected like any other
  EXPECT_EQ(std::pair(view.GetPropIndex(), IndexOf(view.GetPropName())), std::pair(0, 0));
  view.SetPropIndex(IndexOf("Label"));
  EXPECT_EQ(std::tuple(view.GetPropName(), view.PropKind()), std::tuple("Label", int{tkLString}));
  view.SetPropertyText("Label", "Porost");  // foreign names reach the instance, the view's own stay its own
  view.SetPropertyText("Delimiter", ";");
  EXPECT_EQ(std::tuple(probe.Label, view.GetPropertyText("Height"), view.Delimiter), std::tuple("Porost", "", ";"));
  view.SetInstance(nullptr);  // unbinding clears instance, count and selection
  view.SetPropName("Width");
  EXPECT_EQ(std::tuple(view.PropCount(), view.ActualProperty(), view.GetPropIndex(), view.GetPropertyText("Width")),
            std::tuple(0, nullptr, -1, ""));

  TProperty unbound;
  unbound.SetPropString("1");  // nothing to write to
  EXPECT_EQ(std::tuple(unbound.IsStored(), unbound.TypeKind(), unbound.PropLongInt(), unbound.GetPropString()),
            std::tuple(false, 0, 0, ""));
}

// Any published property of the instance is read and written by its name,
// the first one too.
TEST_F(InstancePropertiesTest, AFirstPropertyIsReadAndWrittenByItsNameOnAPlainObject) {
  TPlainProbe plain;
  view.SetInstance(&plain);
  EXPECT_EQ(view.GetPropertyText("label"), "Les");
  view.SetPropertyText("LABEL", "Porost");
  EXPECT_EQ(std::pair(plain.Label, view.GetPropName()), std::pair(std::string("Porost"), std::string("Label")));
}

TEST_F(InstancePropertiesTest, AListIsRefilledWithOneItemPerPropertyAndEmptiedWhenTurnedOff) {
  view.SetInstance(&probe);
  probe.Width = 25;
  const struct {
    const char* name;
    bool value;
    int items;
  } rows[] = {{"on", true, view.PropCount()}, {"on again", true, view.PropCount()}, {"off", false, 0}};
  for (const auto& row : rows) {
    view.SetIsList(row.value);
    EXPECT_EQ(view.GetCount(), row.items) << row.name;
  }
  view.SetIsList(true);
  EXPECT_EQ(view.GetValueByName("Width"), "25");
}

}  // namespace
