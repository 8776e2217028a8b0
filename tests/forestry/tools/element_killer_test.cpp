#include "forestry/tools/element_killer.h"

#include <string>
#include <vector>

#include "forestry/reconstruction/layer_rebuilding.h"
#include "platform/forms.h"
#include "render/tool_forms/interface_tool.h"
#include "tests/forestry/forest_data_fixture.h"

namespace {

// DATA/KILL holds a line "line" (0,0)-(10,10), a point "point", an area
// "area" (50,50)-(60,60) and an area bounded by lines "bounded"; the area is
// also held by DATA/OTHER.
class ElementKillerTest : public ForestDataTest {
 protected:
  void SetUp() override {
    ForestDataTest::SetUp();
    target = Named<TRectEntity>("KILL", data);
    other = Named<TOwnerEntity>("OTHER", data);
    auto* line = Named<TPolyLineElement>("line", target);
    line->AddVertex(0, 0);
    line->AddVertex(10, 10);
    line->CalcBounds();
    Named<TPointElement>("point", target);
    auto* area = Named<TAreaElement>("area", target);
    for (const auto& [x, y] : {std::pair{50, 50}, {50, 60}, {60, 60}, {60, 50}}) area->AddVertex(x, y);
    area->CalcBounds();
    Named<TPolyLineAreaElement>("bounded", target);
    other->AddElement(area);
    target->UpdateRect();
    killer = new TAllElementKiller;
    owner.AddElement(killer);
  }
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    owner.Clear();
    ForestDataTest::TearDown();
  }
  static std::vector<std::string> Names(TEntity* entity) {
    std::vector<std::string> names;
    for (TElement* child : entity->Children()) names.push_back(child->GetName());
    return names;
  }
  std::vector<int> Codes(const TRecorder& recorder) const {
    std::vector<int> codes;
    for (const TRecorder::Entry& entry : recorder.Messages) codes.push_back(entry.Code);
    return codes;
  }

  TRectEntity* target = nullptr;
  TOwnerEntity* other = nullptr;
  TRecorder owner;
  TAllElementKiller* killer = nullptr;
};

TEST_F(ElementKillerTest, ConfirmedItDestroysTheClassAndItsSubclassesAndTellsTheCount) {
  struct Row {
    const char* name;
    const char* path;
    const char* className;
    const char* answer;  // nil: no confirmation may be asked
    std::vector<std::string> messages;
    std::vector<std::string> left;
    std::vector<std::string> leftInOther;
    std::vector<int> ownerCodes;
    int dataChanges;
  } rows[] = {
      {"a path to nothing", "ObjectModel.DATA.NIC", "TAreaElement", nullptr,
       {"Nemohu nalézt cestu: ObjectModel.DATA.NIC"}, {"line", "point", "area", "bounded"}, {"area"}, {}, 0},
      {"a path to no entity", "ObjectModel.DATA.Name", "TAreaElement", nullptr,
       {"Nemohu nalézt cestu: ObjectModel.DATA.Name"}, {"line", "point", "area", "bounded"}, {"area"}, {}, 0},
      {"declined", "ObjectModel.DATA.KILL", "TAreaElement", "bt_Ne", {}, {"line", "point", "area", "bounded"}, {"area"}, {}, 0},
      {"confirmed", "ObjectModel.DATA.KILL", "TAreaElement", "bt_Ano", {"Bylo odstraněno celkem 2 elementů"},
       {"line", "point"}, {}, {msgRequestReView}, 1},
  };
  for (const Row& row : rows) {
    bool asked = false;
    platform::SetModalAnswerer([&](platform::Form& form) {
      asked = true;
      if (row.answer) platform::UserClick(form, row.answer);
      else platform::UserCloseWindow(form);
    });
    killer->ConfirmText = "Smazat?";
    killer->SetPropertyText("ElementClassName", row.className);
    killer->SetPropertyText("GlobalPath", row.path);
    dialogs.Messages.clear();
    killer->DoIt();
    RunMessages();
    EXPECT_EQ(asked, row.answer != nullptr) << row.name;
    EXPECT_EQ(Boxes(), row.messages) << row.name;
    EXPECT_EQ(Names(target), row.left) << row.name;
    EXPECT_EQ(Names(other), row.leftInOther) << row.name << ": a destroyed element leaves every owner";
    EXPECT_EQ(Codes(owner), row.ownerCodes) << row.name;
    EXPECT_EQ(MessageTexts(msgDataChanged).size(), static_cast<std::size_t>(row.dataChanges)) << row.name;
    recorder.Messages.clear();
  }
  EXPECT_EQ(std::vector<double>({target->GetMinX(), target->GetMaxY()}), std::vector<double>({0, 10}))
      << "the bounds are those of what is left";
}

TEST_F(ElementKillerTest, AnUnknownClassIsLoggedWhenSetAndFreesNothing) {
  platform::SetModalAnswerer([](platform::Form& form) { platform::UserClick(form, "bt_Ano"); });
  killer->SetPropertyText("ElementClassName", "TNic");
  killer->SetPropertyText("GlobalPath", "ObjectModel.DATA.KILL");
  EXPECT_EQ(MessageTexts(msgLogText), std::vector<std::string>{"ElementKiller - unknown class: TNic"});
  EXPECT_EQ(killer->GetPropertyText("ElementClassName"), "");
  killer->DoIt();
  RunMessages();
  EXPECT_EQ(Names(target), std::vector<std::string>({"line", "point", "area", "bounded"}));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Bylo odstraněno celkem 0 elementů"});
  EXPECT_EQ(Codes(owner), std::vector<int>{});
}

}  // namespace
