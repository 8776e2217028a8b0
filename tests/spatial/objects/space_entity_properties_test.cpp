#include "spatial/objects/space_entity_properties.h"

#include <map>

#include "framework/core/class_registry.h"
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
  // A point numbered n with probe properties, filed in block "LES" of the register.
  TPointElement* Filed(int n) {
    auto* point = new TPointElement;
    auto* props = new TProbeProps;
    props->Cislo = n;
    point->SetProperties(props);
    registry.GetBlockRegister("LES", "TBlockRegister")->RegisterElement(point);
    return point;
  }
  static TProbeProps* PropsOf(const TSpaceEntity* entity) { return DynamicCast<TProbeProps>(entity->Properties()); }

  TRegister registry;
};

TEST_F(SpaceEntityPropsTest, UnfiledPropertiesFindNoRegisterNumberOrBlock) {
  TPointElement point;
  auto* props = new TProbeProps;
  point.SetProperties(props);
  EXPECT_EQ(props->GetObjectRegister(), nullptr);
  EXPECT_EQ(props->GetBlockRegister(), nullptr);
  EXPECT_EQ(props->GetOrigNo(), -1);
  EXPECT_EQ(props->GetBlockName(), "");
  EXPECT_EQ(props->GetPrimaryProps(), nullptr);
  EXPECT_EQ(props->GetPropertyText("OrigNo"), "-1");
  TSpaceEntityProps loose;
  EXPECT_EQ(loose.SpaceEntity(), nullptr);
  EXPECT_EQ(loose.GetSpaceID(), -1);
  EXPECT_EQ(loose.GetObjectRegister(), nullptr);
}

TEST_F(SpaceEntityPropsTest, FiledPropertiesWalkUpToTheirRegistersAndNumber) {
  TPointElement* point = Filed(4);
  TProbeProps* props = PropsOf(point);
  ASSERT_NE(props->GetObjectRegister(), nullptr);
  EXPECT_EQ(props->GetObjectRegister()->GetName(), "B");
  EXPECT_EQ(props->GetBlockRegister(), registry.FindBlockRegister("les"));
  EXPECT_EQ(props->GetOrigNo(), 4);
  EXPECT_EQ(props->GetBlockName(), "LES");
  EXPECT_EQ(props->GetPrimaryProps(), props);
  EXPECT_EQ(props->GetPropertyText("BlockName"), "LES");
  EXPECT_EQ(point->GetSpaceID(), 4);
  // Also owned elsewhere, it still resolves through its slot.
  TPointString layer;
  layer.AddElement(point);
  EXPECT_EQ(props->GetOrigNo(), 4);
}

TEST_F(SpaceEntityPropsTest, EntitiesUnderOneNumberShareTheFirstOnesProperties) {
  TPointElement* first = Filed(7);
  TPointElement* second = Filed(7);
  EXPECT_EQ(PropsOf(second)->GetPrimaryProps(), first->Properties());
  EXPECT_EQ(PropsOf(first)->GetPrimaryProps(), first->Properties());
  EXPECT_EQ(PropsOf(second)->GetOrigNo(), 7);
}

TEST_F(SpaceEntityPropsTest, NamesNoLevelPublishesAreFieldsOfTheLocatedRecord) {
  TPointElement* point = Filed(2);
  TProbeProps* props = PropsOf(point);
  props->Record["PLOCHA"] = "12.5";
  EXPECT_TRUE(point->HasProperty("PLOCHA"));
  EXPECT_EQ(point->GetPropertyText("PLOCHA"), "12.5");
  point->SetPropertyText("PLOCHA", "13");
  EXPECT_EQ(props->Record["PLOCHA"], "13");
  point->SetPropertyText("Druh", "6");  // published by the props: no field
  EXPECT_EQ(props->Druh, 6);
  EXPECT_EQ(props->Record.count("Druh"), 0u);

  props->RecordFound = false;
  EXPECT_EQ(point->GetPropertyText("PLOCHA"), "");
  point->SetPropertyText("PLOCHA", "99");
  EXPECT_EQ(props->Record["PLOCHA"], "13");
  EXPECT_FALSE(point->HasProperty("NEZNAMY"));

  // Without a register the record is never asked.
  TPointElement loose;
  auto* looseProps = new TProbeProps;
  looseProps->Record["PLOCHA"] = "1";
  loose.SetProperties(looseProps);
  EXPECT_FALSE(loose.HasProperty("PLOCHA"));
  EXPECT_EQ(loose.GetPropertyText("PLOCHA"), "");
}

TEST_F(SpaceEntityPropsTest, CloneCopiesOnlyTheValuesOfThePropertyClasses) {
  TPointElement* point = Filed(9);
  TProbeProps* props = PropsOf(point);
  props->Druh = 12;
  props->IsDone = true;
  props->SetName("vlastnosti");
  props->ID = 33;
  std::unique_ptr<TSpaceEntityProps> copy(props->CloneProps());
  auto* probe = DynamicCast<TProbeProps>(copy.get());
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->Druh, 12);
  EXPECT_EQ(probe->Cislo, 9);
  EXPECT_TRUE(probe->IsDone);
  EXPECT_EQ(probe->SpaceEntity(), point);  // until an entity takes it
  EXPECT_FALSE(probe->HasName());
  EXPECT_EQ(probe->ID, -1);
  TPointElement other;
  other.SetProperties(copy.release());
  EXPECT_EQ(PropsOf(&other)->SpaceEntity(), &other);
  EXPECT_EQ(other.GetSpaceID(), 9);
}

TEST_F(SpaceEntityPropsTest, TheEntityLinkReadsNilOnceTheEntityIsGone) {
  auto* point = new TPointElement;
  point->SetProperties(new TProbeProps);
  std::unique_ptr<TSpaceEntityProps> clone(PropsOf(point)->CloneProps());
  delete point;
  EXPECT_EQ(clone->SpaceEntity(), nullptr);
  EXPECT_EQ(clone->GetObjectRegister(), nullptr);
}

}  // namespace
