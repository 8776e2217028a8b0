#include "block/guide/guide_lines.h"

#include <gmock/gmock.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "block/guide/guide_model.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;
using Ring = std::vector<std::pair<double, double>>;
// Frames of each line string under the output, by the string's name.
using FrameMap = std::map<std::string, std::vector<Ring>>;

// The closed ring round a box, in the order a frame runs.
Ring RingOf(const Box4& b) { return {{b[0], b[1]}, {b[2], b[1]}, {b[2], b[3]}, {b[0], b[3]}, {b[0], b[1]}}; }

class GuideLinesTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
    MainTool = &log;
    BuildGuide();
  }
  void TearDown() override {
    guide.reset();
    SetWorld(nullptr);
    world.reset();
    BlockTest::TearDown();
  }

  template <class S>
  static S* Selected(S* sheet) {
    sheet->Selected = true;
    return sheet;
  }
  TUserMapSpace* UserSpace(const std::string& name, const TRealRect* bounds) {
    auto* space = new TUserMapSpace();
    space->SetName(name);
    if (bounds) space->SetBounds(*bounds);
    guide->UserMapSpaces()->AddElement(space);
    return space;
  }

  // Two 1:50 000 sheets, one selected; below the selected one a selected
  // and an unselected 1:10 000 sheet, a selected 1:5 000 sheet (also under
  // the selected 1:25 000 quarter that covers it) with its unselected
  // neighbours, a selected and an unselected 1:2 000 quarter; below the
  // unselected one a selected 1:10 000 sheet; two user map spaces.
  void BuildGuide() {
    guide = std::make_unique<TGuide>();
    sheet50 = Selected(guide->CreateSheet50(0, 0, "Nymburk", "NY"));
    other50 = guide->CreateSheet50(1, 0, "Poděbrady", "PO");
    TSMO_10* ten = Selected(sheet50->CreateSheet10At(0, 0));
    sheet50->CreateSheet10At(2, 0);
    ten->CreateDetail();
    TSMO_5* five = Selected(sheet50->FindSheet5(1, 0));
    five->CreateDetail();
    sheet5 = five;
    sheet2 = Selected(five->CreateQuarter(true, false));
    sheet50->CreateDetail25();
    TSMO_25* twentyFive = Selected(sheet50->FindSheet25(1, 0));
    twentyFive->FillDetail();
    quarter = twentyFive;
    sheet10 = ten;
    otherTen = Selected(other50->CreateSheet10At(4, 4));
    const TRealRect small{0, 0, 10, 5};
    const TRealRect obora{100, 200, 160, 240};
    user1 = UserSpace("Lesík", &small);
    user2 = UserSpace("Obora", &obora);
  }

  void Run(TSelectGuideLines& select) {
    select.SetInput(guide.get());
    select.SetOutput(&lin);
    select.DoIt();
    RunMessages();
  }

  FrameMap Frames() {
    FrameMap frames;
    for (int i = 0; i < lin.GetCount(); ++i) {
      auto* lines = DynamicCast<TPolyLineString>(lin.GetElement(i));
      EXPECT_NE(lines, nullptr) << lin.GetElement(i)->ClassName();
      if (!lines) continue;
      std::vector<Ring>& rings = frames[lines->GetName()];
      for (int j = 0; j < lines->GetCount(); ++j) {
        auto* frame = DynamicCast<TPolyLineElement>(lines->GetElement(j));
        if (!frame) continue;
        Ring ring;
        for (int k = 0; k < frame->GetCoordsCount(); ++k) ring.emplace_back(frame->GetCoordX(k), frame->GetCoordY(k));
        rings.push_back(ring);
      }
    }
    return frames;
  }

  std::unique_ptr<TWCSWorld> world;
  TLogLines log;
  TOwnerEntity lin;
  std::unique_ptr<TGuide> guide;
  TSMO_50* sheet50 = nullptr;
  TSMO_50* other50 = nullptr;
  TMapSpace* sheet10 = nullptr;
  TMapSpace* otherTen = nullptr;
  TMapSpace* sheet5 = nullptr;
  TMapSpace* sheet2 = nullptr;
  TMapSpace* quarter = nullptr;
  TUserMapSpace* user1 = nullptr;
  TUserMapSpace* user2 = nullptr;
};

TEST_F(GuideLinesTest, EachChosenSeriesFramesItsSelectedSheetsOnceVertexByVertex) {
  struct Case {
    const char* name;
    bool s50, s25, s10, s5, s2, user;
    FrameMap expected;
  };
  auto ring = [](const TRectEntity* sheet) { return RingOf(BoxOf(*sheet)); };
  ASSERT_GE(quarter->IndexOf(sheet5), 0);
  ASSERT_NE(sheet5->GetOwnersCount(), 1);
  const std::vector<Case> cases = {
      {"nothing chosen", false, false, false, false, false, false, {}},
      {"1:50 000 only", true, false, false, false, false, false,
       {{"50", {ring(sheet50)}}}},
      {"1:25 000 only", false, true, false, false, false, false,
       {{"25", {ring(quarter)}}}},
      {"1:10 000 only", false, false, true, false, false, false,
       {{"10", {ring(otherTen), ring(sheet10)}}}},
      {"1:5 000 reached twice, framed once", false, false, false, true, false, false,
       {{"5", {ring(sheet5)}}}},
      {"1:2 000 only", false, false, false, false, true, false,
       {{"2", {ring(sheet2)}}}},
      {"user map spaces only", false, false, false, false, false, true,
       {{"User",
         {{{0, 0}, {10, 0}, {10, 5}, {0, 5}, {0, 0}},
          {{100, 200}, {160, 200}, {160, 240}, {100, 240}, {100, 200}}}}}},
      {"everything", true, true, true, true, true, true,
       {{"50", {ring(sheet50)}},
        {"25", {ring(quarter)}},
        {"10", {ring(otherTen), ring(sheet10)}},
        {"5", {ring(sheet5)}},
        {"2", {ring(sheet2)}},
        {"User", {ring(user1), ring(user2)}}}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    lin.Clear();
    std::unique_ptr<TSelectGuideLines> select(CreateElement<TSelectGuideLines>());
    select->Set50(row.s50);
    select->Set25(row.s25);
    select->Set10(row.s10);
    select->Set5(row.s5);
    select->Set2(row.s2);
    select->SetUser(row.user);
    Run(*select);
    EXPECT_EQ(Frames(), row.expected);
  }
  EXPECT_THAT(log.Lines, ElementsAre());
}

TEST_F(GuideLinesTest, AFrameIsALumarLineOfKind1Colour13Symbol0WithItsBounds) {
  TSelectGuideLines select;
  select.SetUser(true);
  Run(select);
  auto* lines = DynamicCast<TPolyLineString>(lin.FindElementByName("User"));
  ASSERT_NE(lines, nullptr);
  ASSERT_EQ(lines->GetCount(), 2);
  auto* frame = DynamicCast<TPolyLineElement>(lines->GetElement(0));
  ASSERT_NE(frame, nullptr);
  auto* props = DynamicCast<TLumarLineProps>(frame->Properties());
  ASSERT_NE(props, nullptr);
  EXPECT_EQ(Texts(*props, {"Cislo", "Druh", "Barva", "Znacka", "Presnost", "Symbol"}), "0|1|13|0|0|0");
  EXPECT_EQ(BoxOf(*frame), (Box4{0, 0, 10, 5}));
  EXPECT_EQ(BoxOf(*lines), (Box4{0, 0, 160, 240}));
}

TEST_F(GuideLinesTest, ASecondRunAddsASecondFramePerSheet) {
  for (int run = 1; run <= 2; ++run) {
    TSelectGuideLines select;
    select.Set10(true);
    Run(select);
    EXPECT_EQ(Frames()["10"].size(), 2u * run);
  }
  EXPECT_EQ(lin.GetCount(), 1);
}

TEST_F(GuideLinesTest, ASheetWithoutBoundsIsLoggedAndGivesNoFrame) {
  UserSpace("Prázdný", nullptr);
  TSelectGuideLines select;
  select.SetUser(true);
  Run(select);
  EXPECT_EQ(Frames()["User"].size(), 2u);
  EXPECT_THAT(log.Lines, ElementsAre("Mapový prostor Prázdný nemá rozsah, rámeček nevytvořen"));
}

TEST_F(GuideLinesTest, NothingIsFramedWithoutAnInputOrAnEntityOutputOrIntoAForeignChild) {
  TSelectGuideLines select;
  select.SetUser(true);
  select.SetOutput(&lin);
  select.AddSheetFrame("User", user1);
  EXPECT_EQ(lin.GetCount(), 0);

  T2DCoordinate notAnEntity;
  select.SetInput(guide.get());
  select.SetOutput(&notAnEntity);
  select.AddSheetFrame("User", user1);
  select.SetOutput(&lin);
  select.AddSheetFrame("User", nullptr);
  EXPECT_EQ(lin.GetCount(), 0);

  Named<TOwnerEntity>("User", &lin);
  select.DoIt();
  RunMessages();
  EXPECT_EQ(static_cast<TEntity*>(lin.GetElement(0))->GetCount(), 0);
  EXPECT_THAT(log.Lines, ElementsAre("Prvek User není řetězec linií, rámeček listu Lesík nevytvořen",
                                     "Prvek User není řetězec linií, rámeček listu Obora nevytvořen"));
}

}  // namespace
