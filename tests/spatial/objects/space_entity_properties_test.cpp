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

TEST_F(SpaceEntityPropsTest, FiledPropertiesShareThePrimaryOnesAndWriteOnlyAFoundRecord) {
  TPointElement* point = Point(4);  // filed: the block's register answers for its properties
  TProbeProps* props = PropsOf(point);
  EXPECT_EQ(std::pair(props->GetPropertyText("BlockName"), props->GetOrigNo()), std::pair(std::string("LES"), 4));
  TPointElement* second = Point(4);  // entities under one number share the first one's properties
  EXPECT_EQ(PropsOf(second)->GetPrimaryProps(), props);
  props->Record["PLOCHA"] = "12.5";
  point->SetPropertyText("PLOCHA", "13");
  point->SetPropertyText("Druh", "6");  // published by the props: no field
  EXPECT_EQ(std::tuple(point->GetPropertyText("PLOCHA"), props->Record.size(), props->Druh), std::tuple("13", 1u, 6));
  props->RecordFound = false;
  point->SetPropertyText("PLOCHA", "99");
  EXPECT_EQ(std::tuple(point->GetPropertyText("PLOCHA"), props->Record["PLOCHA"]), std::tuple("", "13"));
  props->IsDone = true;  // a clone copies the values only and stays linked until an entity takes it
  props->ID = 33;
  std::unique_ptr<TSpaceEntityProps> copy(props->CloneProps());
  auto* probe = DynamicCast<TProbeProps>(copy.get());
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(std::tuple(probe->Druh, probe->Cislo, probe->IsDone, probe->ID, probe->SpaceEntity()),
            std::tuple(6, 4, true, -1, point));
  auto* gone = Point(1, false);
  std::unique_ptr<TSpaceEntityProps> clone(PropsOf(gone)->CloneProps());
  delete gone;
  EXPECT_EQ(clone->SpaceEntity(), nullptr);
}

// Properties of an entity filed in a block's register answer for that block;
// those of one filed nowhere have no register, number -1, no block name and
// no primary properties.
TEST_F(SpaceEntityPropsTest, PropertiesOfAnEntityFiledNowhereAnswerNoRegisterAndNumberMinusOne) {
  const struct {
    const char* name;
    bool filed;
    int origNo;
    const char* blockName;
  } rows[] = {{"filed as 7", true, 7, "LES"}, {"filed nowhere", false, -1, ""}};
  for (const auto& row : rows) {
    TPointElement* point = Point(7, row.filed);
    TProbeProps* props = PropsOf(point);
    EXPECT_EQ(std::tuple(props->GetOrigNo(), props->GetPropertyText("BlockName"), props->GetObjectRegister() != nullptr,
                         props->GetPrimaryProps() == props),
              std::tuple(row.origNo, std::string(row.blockName), row.filed, row.filed))
        << row.name;
    if (!row.filed) delete point;
  }
}

}  // namespace
