#include "block/guide/guide_lines.h"

#include "block/guide/guide_model.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;
using Ring = std::vector<std::pair<double, double>>;
// The frames of each line string under the output, by the string's name.
using FrameMap = std::map<std::string, std::vector<Ring>>;

Ring RingOf(const TRectEntity* e) {
  const Box4 b = BoxOf(*e);
  return {{b[0], b[1]}, {b[2], b[1]}, {b[2], b[3]}, {b[0], b[3]}, {b[0], b[1]}};
}

template <class S>
S* Selected(S* sheet) {
  sheet->Selected = true;
  return sheet;
}

// A guide of two 1:50 000 sheets, one selected.  Under the selected one: a
// selected and an unselected 1:10 000 sheet, a selected 1:5 000 sheet with
// unselected neighbours, also reached through the selected 1:25 000 quarter
// that covers it, and a selected and an unselected 1:2 000 quarter.  Under
// the other: a selected 1:10 000 sheet.  Two user map spaces.
class GuideLinesTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    SetWorld(&world);
    MainTool = &log;
    sheet50 = Selected(guide.CreateSheet50(0, 0, "Nymburk", "NY"));
    TSMO_50* other50 = guide.CreateSheet50(1, 0, "Poděbrady", "PO");
    sheet10 = Selected(sheet50->CreateSheet10At(0, 0));
    sheet50->CreateSheet10At(2, 0);
    sheet10->CreateDetail();
    sheet5 = Selected(sheet50->FindSheet5(1, 0));
    sheet5->CreateDetail();
    sheet2 = Selected(sheet5->CreateQuarter(true, false));
    sheet50->CreateDetail25();
    quarter = Selected(sheet50->FindSheet25(1, 0));
    quarter->FillDetail();
    otherTen = Selected(other50->CreateSheet10At(4, 4));
    user1 = UserSpace("Lesík", TRealRect{0, 0, 10, 5});
    user2 = UserSpace("Obora", TRealRect{100, 200, 160, 240});
  }
  void TearDown() override {
    SetWorld(nullptr);
    BlockTest::TearDown();
  }
  // An inverted box leaves the space without bounds.
  TUserMapSpace* UserSpace(const std::string& name, const TRealRect& bounds) {
    auto* space = Named<TUserMapSpace>(name, guide.UserMapSpaces());
    if (bounds.MinX <= bounds.MaxX) space->SetBounds(bounds);
    return space;
  }
  // Runs a selection with the series flags 50, 25, 10, 5, 2, User, as many
  // times as asked.
  void Run(const std::array<bool, 6>& flags, int runs = 1) {
    TSelectGuideLines select;
    const std::array setters{&TSelectGuideLines::Set50, &TSelectGuideLines::Set25, &TSelectGuideLines::Set10,
                             &TSelectGuideLines::Set5,  &TSelectGuideLines::Set2,  &TSelectGuideLines::SetUser};
    for (std::size_t i = 0; i < setters.size(); ++i) (select.*setters[i])(flags[i]);
    select.SetInput(&guide);
    select.SetOutput(&lin);
    for (int run = 0; run < runs; ++run) select.DoIt();
    RunMessages();
  }

  // The frames' vertices, by line string.
  FrameMap Frames() const {
    FrameMap frames;
    for (TElement* string : lin.Children())
      for (TElement* line : DynamicCast<TPolyLineString>(string)->Children())
        frames[string->GetName()].push_back(VerticesOf(*DynamicCast<TPolyLineElement>(line)));
    return frames;
  }

  TWCSWorld world;
  TLogLines log;
  TOwnerEntity lin;
  TGuide guide;
  TSMO_50* sheet50;
  TSMO_10 *sheet10, *otherTen;
  TSMO_5* sheet5;
  TSMO_2* sheet2;
  TSMO_25* quarter;
  TUserMapSpace *user1, *user2;
};

TEST_F(GuideLinesTest, EachChosenSeriesFramesItsSelectedSheetsOnceVertexByVertex) {
  ASSERT_GE(quarter->IndexOf(sheet5), 0);
  const std::vector<std::pair<std::array<bool, 6>, FrameMap>> cases = {
      {{}, {}},
      {{false, false, true}, {{"10", {RingOf(otherTen), RingOf(sheet10)}}}},
      {{false, false, false, true}, {{"5", {RingOf(sheet5)}}}},
      {{false, false, false, false, false, true},
       {{"User", {{{0, 0}, {10, 0}, {10, 5}, {0, 5}, {0, 0}}, RingOf(user2)}}}},
      {{true, true, true, true, true, true},
       {{"50", {RingOf(sheet50)}}, {"25", {RingOf(quarter)}}, {"10", {RingOf(otherTen), RingOf(sheet10)}},
        {"5", {RingOf(sheet5)}}, {"2", {RingOf(sheet2)}}, {"User", {RingOf(user1), RingOf(user2)}}}},
  };
  for (const auto& [flags, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(flags));
    lin.Clear();
    Run(flags);
    EXPECT_EQ(Frames(), expected);
  }
  EXPECT_THAT(log.Lines, ElementsAre());
}

TEST_F(GuideLinesTest, FramesAreKind1Colour13Symbol0AddedByEachRunAndASheetWithoutBoundsOrAForeignStringLogs) {
  UserSpace("Prázdný", TRealRect{1, 1, 0, 0});
  Run({false, false, false, false, false, true});
  Run({false, false, false, false, false, true});
  auto* lines = DynamicCast<TPolyLineString>(lin.FindElementByName("User"));
  ASSERT_EQ(lines->GetCount(), 4);
  auto* frame = DynamicCast<TPolyLineElement>(lines->GetElement(0));
  auto* props = DynamicCast<TLumarLineProps>(frame->Properties());
  ASSERT_NE(props, nullptr);
  EXPECT_EQ(Texts(*props, {"Cislo", "Druh", "Barva", "Znacka", "Presnost", "Symbol"}), "0|1|13|0|0|0");
  EXPECT_EQ(BoxOf(*frame), (Box4{0, 0, 10, 5}));
  EXPECT_EQ(BoxOf(*lines), (Box4{0, 0, 160, 240}));
  lin.Clear();
  Named("User", &lin);
  Run({false, false, false, false, false, true});
  EXPECT_EQ(DynamicCast<TEntity>(lin.GetElement(0))->GetCount(), 0);
  const std::string noBounds = "Mapový prostor Prázdný nemá rozsah, rámeček nevytvořen";
  EXPECT_THAT(log.Lines,
              ElementsAre(noBounds, noBounds, "Prvek User není řetězec linií, rámeček listu Lesík nevytvořen",
                          "Prvek User není řetězec linií, rámeček listu Obora nevytvořen", noBounds));
}

// A selection run again walks the guide again: each run frames every
// chosen sheet.
TEST_F(GuideLinesTest, TheSameSelectionRunTwiceFramesEachChosenSheetTwice) {
  Run({false, false, true, false, false, true}, 2);
  EXPECT_EQ(Frames(), (FrameMap{{"10", {RingOf(otherTen), RingOf(sheet10), RingOf(otherTen), RingOf(sheet10)}},
                                {"User", {RingOf(user1), RingOf(user2), RingOf(user1), RingOf(user2)}}}));
}

}  // namespace
