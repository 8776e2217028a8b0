#include "spatial/objects/space_entity_properties.h"

#include <map>

#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

// Block properties with a number, one published value of their own and an
// attribute record of named fields.
class TProbeProps : public TSpaceEntityProps {
  KESTX_CLASS(TProbeProps)
 public:
  std::int32_t Cislo = 0;
  std::int32_t Druh = 0;
  std::map<std::string, std::string> Record;
  bool RecordFound = true;

  int GetSpaceID() const override { return Cislo; }
  bool HasField(const std::string& Name) const override { return Record.count(Name) != 0; }
  void GetFieldValue(const std::string& Name, std::string& Value) const override {
    auto found = Record.find(Name);
    Value = found == Record.end() ? "" : found->second;
  }
  void SetFieldValue(const std::string& Name, const std::string& Value) override { Record[Name] = Value; }
  bool LocateRecord() const override { return RecordFound; }
};

TClass TProbeProps::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TProbeProps>("TProbeProps", TSpaceEntityProps::StaticClass(), "E_SpaPrpTest",
                                 {FieldProp("Cislo", &TProbeProps::Cislo), FieldProp("Druh", &TProbeProps::Druh)});
  return &info;
}

class SpaceEntityPropsTest : public SpatialTest {
 protected:
  // A point numbered n with probe properties, filed in block "LES" of the register when asked.
  TPointElement* Point(int n, bool filed = true) {
    auto* point = new TPointElement;
    auto* props = new TProbeProps;
    props->Cislo = n;
    point->SetProperties(props);
    if (filed) registry.GetBlockRegister("LES", "TBlockRegister")->RegisterElement(point);
    return point;
  }
  static TProbeProps* PropsOf(const TSpaceEntity* entity) { return DynamicCast<TProbeProps>(entity->Properties()); }
  TRegister registry;
};

TEST_F(SpaceEntityPropsTest, PropertiesWalkUpToTheirRegistersAndNumberOnceFiled) {
  std::unique_ptr<TPointElement> loose(Point(4, false));
  TProbeProps* props = PropsOf(loose.get());
  EXPECT_EQ(std::tuple(props->GetObjectRegister(), props->GetBlockRegister(), props->GetOrigNo(), props->GetBlockName(),
                       props->GetPrimaryProps()),
            std::tuple(nullptr, nullptr, -1, "", nullptr));
  TSpaceEntityProps bare;
  EXPECT_EQ(std::tuple(bare.SpaceEntity(), bare.GetSpaceID(), bare.GetObjectRegister()),
            std::tuple(nullptr, -1, nullptr));
  TPointElement* point = Point(4);
  props = PropsOf(point);
  ASSERT_NE(props->GetObjectRegister(), nullptr);
  EXPECT_EQ(std::tuple(props->GetObjectRegister()->GetName(), props->GetBlockRegister(), props->GetOrigNo(),
                       props->GetPrimaryProps(), props->GetPropertyText("BlockName")),
            std::tuple("B", registry.FindBlockRegister("les"), 4, props, "LES"));
  TPointString layer;  // also owned elsewhere, it still resolves through its slot
  layer.AddElement(point);
  TPointElement* second = Point(4);  // entities under one number share the first one's properties
  EXPECT_EQ(std::tuple(props->GetOrigNo(), PropsOf(second)->GetPrimaryProps()), std::tuple(4, props));
}

TEST_F(SpaceEntityPropsTest, NamesNoLevelPublishesAreFieldsOfTheLocatedRecord) {
  TPointElement* point = Point(2);
  TProbeProps* props = PropsOf(point);
  props->Record["PLOCHA"] = "12.5";
  EXPECT_EQ(std::tuple(point->HasProperty("PLOCHA"), point->GetPropertyText("PLOCHA")), std::tuple(true, "12.5"));
  point->SetPropertyText("PLOCHA", "13");
  point->SetPropertyText("Druh", "6");  // published by the props: no field
  EXPECT_EQ(props->Record, (std::map<std::string, std::string>{{"PLOCHA", "13"}}));
  EXPECT_EQ(props->Druh, 6);
  props->RecordFound = false;
  point->SetPropertyText("PLOCHA", "99");
  EXPECT_EQ(std::tuple(point->GetPropertyText("PLOCHA"), props->Record["PLOCHA"]), std::tuple("", "13"));
  std::unique_ptr<TPointElement> loose(Point(3, false));  // without a register the record is never asked
  PropsOf(loose.get())->Record["PLOCHA"] = "1";
  EXPECT_EQ(std::tuple(loose->HasProperty("PLOCHA"), loose->GetPropertyText("PLOCHA")), std::tuple(false, ""));
}

TEST_F(SpaceEntityPropsTest, CloneCopiesOnlyTheValuesAndLinksTheEntityUntilItIsGone) {
  TPointElement* point = Point(9);
  TProbeProps* props = PropsOf(point);
  props->Druh = 12;
  props->IsDone = true;
  props->SetName("vlastnosti");
  props->ID = 33;
  std::unique_ptr<TSpaceEntityProps> copy(props->CloneProps());
  auto* probe = DynamicCast<TProbeProps>(copy.get());
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(std::tuple(probe->Druh, probe->Cislo, probe->IsDone, probe->HasName(), probe->ID, probe->SpaceEntity()),
            std::tuple(12, 9, true, false, -1, point));  // linked until an entity takes it
  TPointElement other;
  other.SetProperties(copy.release());
  EXPECT_EQ(PropsOf(&other)->SpaceEntity(), &other);
  auto* gone = Point(1, false);
  std::unique_ptr<TSpaceEntityProps> clone(PropsOf(gone)->CloneProps());
  delete gone;
  EXPECT_EQ(std::tuple(clone->SpaceEntity(), clone->GetObjectRegister()), std::tuple(nullptr, nullptr));
}

}  // namespace
