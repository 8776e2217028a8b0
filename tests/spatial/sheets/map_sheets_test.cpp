#include "spatial/sheets/map_sheets.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/spatial/spatial_fixture.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// Every sheet filed in a tree's matrix.
std::vector<TSMO_2*> FiledSheets(const TSpaceTree& tree) {
  std::vector<TSMO_2*> sheets;
  for (int s = 0; s < tree.GetRowCount(); ++s)
    for (TElement* element : tree.GetRow(s)->Children()) sheets.push_back(DynamicCast<TSMO_2>(element));
  return sheets;
}

template <class Sheet>
std::vector<Sheet*> ChildrenOf(const TEntity& entity) {
  std::vector<Sheet*> found;
  for (TElement* child : entity.Children())
    if (auto* sheet = DynamicCast<Sheet>(child)) found.push_back(sheet);
  return found;
}

// A world with coordinate systems and a series in it; the sheet (0, 0) named
// "N" with the abbreviation "Z" runs from (-25000, -20000) to (0, 0).
class SeriesTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
    smo = std::make_unique<TSMO>();
  }
  void TearDown() override {
    smo.reset();
    SetWorld(nullptr);
    world.reset();
    SpatialTest::TearDown();
  }
  // The sheet (0, 0) with all its detail down to 1:2 000.
  TSMO_50* DetailedSheet() {
    TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
    sheet->CreateDetail10();
    for (TSMO_2* sheet10 : FiledSheets(*sheet)) {
      sheet10->CreateDetail();
      for (TSMO_2* sheet5 : FiledSheets(*sheet10)) sheet5->CreateDetail();
    }
    return sheet;
  }

  std::unique_ptr<TWCSWorld> world;
  std::unique_ptr<TSMO> smo;
};

// ---------------------------------------------------------------- the series

TEST_F(SeriesTest, ASheetOfFiftyThousandIsPlacedThroughTheNationalGrid) {
  EXPECT_EQ(smo->GetWCS(), world->GetWCS(1));
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  ExpectBounds(*sheet, -25000, -20000, 0, 0);
  EXPECT_EQ(sheet->GetName(), "N");
  EXPECT_EQ(sheet->GetZkratka(), "Z");
  EXPECT_EQ(smo->FindSheet50At(-100, -100), sheet);
  TSMO_50* other = smo->CreateSheet50(2, 3, "M", "Y");
  ExpectBounds(*other, -75000, -80000, -50000, -60000);
  ExpectBounds(*smo, -75000, -80000, 0, 0);
  EXPECT_EQ(smo->GetSMO(), smo.get());
  EXPECT_EQ(sheet->GetSMO(), smo.get());
}

TEST_F(SeriesTest, WithoutAWorldTheSeriesStillUsesTheNationalGrid) {
  SetWorld(nullptr);
  TSMO alone;
  ASSERT_NE(DynamicCast<TJTSK>(alone.GetWCS()), nullptr);
  ExpectBounds(*alone.CreateSheet50(1, 1, "N", "Z"), -50000, -40000, -25000, -20000);
}

TEST_F(SeriesTest, QuartersAreNumberedFromNorthEastAnticlockwiseAsTheGridSays) {
  EXPECT_EQ(TSMO::QuarterOf(5, 0), 1);
  EXPECT_EQ(TSMO::QuarterOf(4, 4), 2);
  EXPECT_EQ(TSMO::QuarterOf(0, 9), 4);
  EXPECT_EQ(TSMO::QuarterOf(9, 5), 3);
  EXPECT_EQ(TSMO::QuarterOf(4, 5), 4);
  EXPECT_EQ(TSMO::QuarterOf(5, 4), 1);
}

TEST_F(SeriesTest, NamesNearTheNorthEastCorner) {
  smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_EQ(smo->SheetName50At(-100, -100), "N");
  EXPECT_EQ(smo->SheetName25At(-100, -100), "Z25-2");
  EXPECT_EQ(smo->SheetName10At(-100, -100), "Z 0-0");
  EXPECT_EQ(smo->SheetName5At(-100, -100), "Z 0-0");
  EXPECT_EQ(smo->SheetName2At(-100, -100), "Z 0-0 / 2");
  EXPECT_EQ(smo->SheetFullName50At(-100, -100), "N  ");
  EXPECT_EQ(smo->SheetFullName25At(-100, -100), "N  25-2");
  EXPECT_EQ(smo->SheetFullName10At(-100, -100), "N  0-0");
  EXPECT_EQ(smo->SheetFullName5At(-100, -100), "N  0-0");
  EXPECT_EQ(smo->SheetFullName2At(-100, -100), "N  0-0 / 2");
}

TEST_F(SeriesTest, NamesNearTheSouthWestCorner) {
  smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_EQ(smo->SheetName5At(-24900, -19900), "Z 9-9");
  EXPECT_EQ(smo->SheetName10At(-24900, -19900), "Z 8-8");
  EXPECT_EQ(smo->SheetName25At(-24900, -19900), "Z25-3");
  EXPECT_EQ(smo->SheetName2At(-24900, -19900), "Z 9-9 / 3");
  EXPECT_EQ(smo->SheetFullName2At(-24900, -19900), "N  9-9 / 3");
}

TEST_F(SeriesTest, NamesOnInnerEdgesBelongToTheSheetWestAndSouthOfThem) {
  smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_EQ(smo->SheetName5At(-2500, -100), "Z 1-0");
  EXPECT_EQ(smo->SheetName2At(-2500, -100), "Z 1-0 / 2");
  EXPECT_EQ(smo->SheetName2At(-1250, -1000), "Z 0-0 / 3");
  EXPECT_EQ(smo->SheetName5At(-12500, -10000), "Z 5-5");
  EXPECT_EQ(smo->SheetName10At(-12500, -10000), "Z 4-4");
  EXPECT_EQ(smo->SheetName25At(-12500, -10000), "Z25-3");
  EXPECT_EQ(smo->SheetFullName10At(-5000, -4000), "N  2-2");
}

TEST_F(SeriesTest, APointOnAnOuterEdgeHasNoSheetAndNoNames) {
  smo->CreateSheet50(0, 0, "N", "Z");
  smo->CreateSheet50(1, 0, "W", "V");
  for (const auto& [x, y] : {std::pair{0.0, -100.0}, std::pair{-100.0, 0.0}, std::pair{-25000.0, -100.0},
                             std::pair{-100.0, -20000.0}, std::pair{-60000.0, -100.0}}) {
    EXPECT_EQ(smo->FindSheet50At(x, y), nullptr) << x << " " << y;
    EXPECT_EQ(smo->SheetName50At(x, y), "");
    EXPECT_EQ(smo->SheetName25At(x, y), "");
    EXPECT_EQ(smo->SheetName5At(x, y), "");
    EXPECT_EQ(smo->SheetFullName2At(x, y), "");
  }
  EXPECT_EQ(smo->SheetName50At(-25000.5, -100), "W");
}

TEST_F(SeriesTest, APointJustInsideTheWestOrSouthEdgeStaysInColumnAndRowNine) {
  smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_EQ(smo->SheetName5At(-24999.7, -19999.6), "Z 9-9");
  EXPECT_EQ(smo->SheetName10At(-24999.7, -19999.6), "Z 8-8");
  EXPECT_EQ(smo->SheetName25At(-24999.7, -19999.6), "Z25-3");
  EXPECT_EQ(smo->SheetName2At(-24999.7, -19999.6), "Z 9-9 / 3");
  EXPECT_EQ(smo->SheetFullName5At(-24999.7, -100), "N  9-0");
}

TEST_F(SeriesTest, TheFullNameAtAPointIsTheFullNameOfTheSheetThere) {
  TSMO_50* sheet = DetailedSheet();
  sheet->CreateDetail25();
  for (const auto& [x, y] : {std::pair{-100.0, -100.0}, std::pair{-24900.0, -19900.0}, std::pair{-7600.0, -13100.0},
                             std::pair{-16300.0, -2100.0}}) {
    EXPECT_EQ(smo->SheetFullName50At(x, y), smo->FindSheet50At(x, y)->GetFullName());
    EXPECT_EQ(smo->SheetFullName25At(x, y), smo->FindSheet25At(x, y)->GetFullName());
    EXPECT_EQ(smo->SheetFullName10At(x, y), smo->FindSheet10At(x, y)->GetFullName());
    TSMO_5* sheet5 = smo->FindSheet5At(x, y);
    EXPECT_EQ(smo->SheetFullName5At(x, y), sheet5->GetFullName());
    EXPECT_EQ(smo->SheetName5At(x, y), sheet5->GetName());
    auto* sheet2 = DynamicCast<TSMO_2>(sheet5->FindSheetAt(x, y));
    ASSERT_NE(sheet2, nullptr);
    EXPECT_EQ(smo->SheetFullName2At(x, y), sheet2->GetFullName());
    EXPECT_EQ(smo->SheetName2At(x, y), sheet2->GetName());
  }
}

TEST_F(SeriesTest, LookupsAtAPointFindTheSheetsOfEachLevel) {
  DetailedSheet()->CreateDetail25();
  EXPECT_EQ(smo->FindSheet10At(-7600, -13100)->GetName(), "Z 2-6");
  EXPECT_EQ(smo->FindSheet5At(-7600, -13100)->GetName(), "Z 3-6");
  EXPECT_EQ(smo->FindSheet25At(-7600, -13100)->GetName(), "Z25-4");
  EXPECT_EQ(smo->FindSheet10At(-5000, -100), nullptr);  // on a 1:10 000 edge
  EXPECT_EQ(smo->FindSheet5At(30, 30), nullptr);
}

TEST_F(SeriesTest, TheSeriesStandsForItselfAsAnEnvelope) { EXPECT_EQ(smo->CreateEnvelope(), smo.get()); }

TEST_F(SeriesTest, CompactRemovesSheetsWithoutDetail) {
  smo->CreateSheet50(0, 0, "N", "Z")->CreateDetail10();
  smo->CreateSheet50(1, 0, "W", "V");
  smo->Compact();
  ASSERT_EQ(smo->GetRowCount(), 1);
  EXPECT_EQ(smo->GetRow(0)->GetCell(0)->GetName(), "N");
}

// ---------------------------------------------------------------- detail

TEST_F(SeriesTest, TheTenThousandDetailIsTwentyFiveSheetsMadeOnce) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail10();
  auto sheets = FiledSheets(*sheet);
  ASSERT_EQ(sheets.size(), 25u);
  for (TSMO_2* s : sheets) {
    ASSERT_NE(DynamicCast<TSMO_10>(s), nullptr);
    EXPECT_EQ(s->GetWidth(), 5000);
    EXPECT_EQ(s->GetHeight(), 4000);
    EXPECT_EQ(s->Col % 2, 0);
    EXPECT_EQ(s->Row % 2, 0);
    EXPECT_EQ(s->GetName(), "Z " + std::to_string(s->Col) + "-" + std::to_string(s->Row));
    EXPECT_EQ(s->GetZkratka(), "Z");
  }
  sheet->CreateDetail10();
  EXPECT_EQ(FiledSheets(*sheet).size(), 25u);
  TSMO_10* s24 = sheet->FindSheet10(3, 5);
  EXPECT_EQ(s24->GetName(), "Z 2-4");
  ExpectBounds(*s24, -10000, -12000, -5000, -8000);
  EXPECT_TRUE(FiledSheets(*s24).empty());
}

TEST_F(SeriesTest, TheTwentyFiveThousandQuartersComeFirstAndAreMadeOnEveryCall) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail10();
  sheet->CreateDetail25();
  auto quarters = ChildrenOf<TSMO_25>(*sheet);
  ASSERT_EQ(quarters.size(), 4u);
  EXPECT_EQ(sheet->IndexOf(quarters[0]), 0);
  EXPECT_EQ(quarters[0]->Cislo, 4);  // each new one goes first
  TSMO_25* q1 = sheet->FindSheet25(5, 0);
  ASSERT_NE(q1, nullptr);
  EXPECT_EQ(q1->GetName(), "Z25-1");
  ExpectBounds(*q1, -25000, -10000, -12500, 0);
  EXPECT_EQ(q1->Col, 5);
  EXPECT_EQ(q1->Row, 0);
  ExpectBounds(*sheet->FindSheet25(0, 0), -12500, -10000, 0, 0);
  ExpectBounds(*sheet->FindSheet25(9, 9), -25000, -20000, -12500, -10000);
  TSMO_25* q4 = sheet->FindSheet25(0, 9);
  ExpectBounds(*q4, -12500, -20000, 0, -10000);
  EXPECT_EQ(q4->Col, 0);
  EXPECT_EQ(q4->Row, 5);
  sheet->CreateDetail25();
  EXPECT_EQ(ChildrenOf<TSMO_25>(*sheet).size(), 8u);
  EXPECT_EQ(FiledSheets(*sheet).size(), 25u);  // the quarters are not in the matrix
}

TEST_F(SeriesTest, TheDetailOfAFiftyThousandSheetIsBothLevels) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail();
  EXPECT_EQ(FiledSheets(*sheet).size(), 25u);
  EXPECT_EQ(ChildrenOf<TSMO_25>(*sheet).size(), 4u);
}

TEST_F(SeriesTest, ATenThousandSheetMakesItsFourFiveThousandSheetsOnce) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  TSMO_10* sheet10 = sheet->CreateSheet10At(2, 4);
  sheet10->CreateDetail();
  sheet10->CreateDetail();
  auto sheets = FiledSheets(*sheet10);
  ASSERT_EQ(sheets.size(), 4u);
  TSMO_5* west = sheet->FindSheet5(3, 4);
  ASSERT_NE(west, nullptr);
  EXPECT_EQ(west->GetName(), "Z 3-4");
  ExpectBounds(*west, -10000, -10000, -7500, -8000);
  ExpectBounds(*sheet->FindSheet5(2, 5), -7500, -12000, -5000, -10000);
  EXPECT_EQ(west->GetColRowText(), "3-4");
  EXPECT_EQ(west->GetFullName(), "N  3-4");
  EXPECT_EQ(sheet->FindSheet5(4, 4), nullptr);
}

TEST_F(SeriesTest, AFiveThousandSheetHasFourNamedQuartersOnce) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  TSMO_10* sheet10 = sheet->CreateSheet10At(0, 0);
  TSMO_5* sheet5 = sheet10->CreateSubSheet5(1, 0);
  sheet5->CreateDetail();
  sheet5->CreateDetail();
  auto quarters = FiledSheets(*sheet5);
  ASSERT_EQ(quarters.size(), 4u);
  Strings names;
  for (TSMO_2* q : quarters) {
    EXPECT_EQ(q->GetWidth(), 1250);
    EXPECT_EQ(q->GetHeight(), 1000);
    EXPECT_EQ(q->GetZkratka(), "Z");
    names.push_back(q->GetName());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"Z 1-0 / 1", "Z 1-0 / 2", "Z 1-0 / 3", "Z 1-0 / 4"}));
  // 1 north-west, 2 north-east, 3 south-west, 4 south-east.
  TSMO_2* nw = sheet5->CreateQuarter(true, false);
  EXPECT_EQ(nw->Cislo, 1);
  ExpectBounds(*nw, -5000, -1000, -3750, 0);
  ExpectBounds(*sheet5->CreateQuarter(false, false), -3750, -1000, -2500, 0);
  ExpectBounds(*sheet5->CreateQuarter(true, true), -5000, -2000, -3750, -1000);
  TSMO_2* se = sheet5->CreateQuarter(false, true);
  EXPECT_EQ(se->Cislo, 4);
  EXPECT_EQ(se->Col, 0);
  EXPECT_EQ(se->Row, 1);
  EXPECT_EQ(FiledSheets(*sheet5).size(), 4u);
  EXPECT_EQ(se->GetColRowText(), "1-0 / 4");
  EXPECT_EQ(se->GetFullName(), "N  1-0 / 4");
}

TEST_F(SeriesTest, ATwentyFiveThousandSheetTakesTheFiveThousandSheetsItCovers) {
  TSMO_50* sheet = DetailedSheet();
  sheet->CreateDetail25();
  TSMO_25* quarter = sheet->FindSheet25(7, 2);
  quarter->CreateDetail();
  quarter->CreateDetail();
  auto covered = ChildrenOf<TSMO_5>(*quarter);
  ASSERT_EQ(covered.size(), 25u);
  EXPECT_FALSE(quarter->HasMatrix());  // no 1:2 000 quarters of its own
  for (TSMO_5* s : covered) {
    EXPECT_GE(s->Col, 5);
    EXPECT_LT(s->Row, 5);
    EXPECT_EQ(s->GetOwnersCount(), 2);  // shared with its strip
  }
  EXPECT_EQ(quarter->GetColRowText(), "25-1");
  EXPECT_EQ(quarter->GetFullName(), "N  25-1");
}

// ---------------------------------------------------------------- neighbours

TEST_F(SeriesTest, NeighboursAreTheSheetsOneSheetAwayAtTheSameLevel) {
  TSMO_50* sheet = DetailedSheet();
  TSMO_50* west = smo->CreateSheet50(1, 0, "W", "V");
  EXPECT_EQ(sheet->GetLeftMS(), west);
  EXPECT_EQ(west->GetRightMS(), sheet);
  EXPECT_EQ(sheet->GetRightMS(), nullptr);
  EXPECT_EQ(sheet->GetLeftMSName(), "W");
  EXPECT_EQ(sheet->GetLeftMSFullName(), "W  ");
  EXPECT_EQ(sheet->GetTopMSName(), "");

  TSMO_10* s22 = sheet->FindSheet10(2, 2);
  EXPECT_EQ(s22->GetTopMS(), sheet->FindSheet10(2, 0));
  EXPECT_EQ(s22->GetBottomMS(), sheet->FindSheet10(2, 4));
  EXPECT_EQ(s22->GetLeftMS(), sheet->FindSheet10(4, 2));
  EXPECT_EQ(s22->GetRightMS(), sheet->FindSheet10(0, 2));
  EXPECT_EQ(s22->GetTopMSName(), "Z 2-0");
  EXPECT_EQ(s22->GetBottomMSFullName(), "N  2-4");
  EXPECT_EQ(sheet->FindSheet10(8, 0)->GetLeftMSName(), "V 0-0");

  TSMO_5* s11 = sheet->FindSheet5(1, 1);
  EXPECT_EQ(s11->GetRightMS(), sheet->FindSheet5(0, 1));
  EXPECT_EQ(s11->GetTopMSName(), "Z 1-0");
  EXPECT_EQ(s11->GetLeftMSFullName(), "N  2-1");
}

TEST_F(SeriesTest, NeighboursOfTwentyFiveThousandSheetsAreFoundByQuarter) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail25();
  TSMO_25* q2 = sheet->FindSheet25(0, 0);
  EXPECT_EQ(q2->GetLeftMS(), sheet->FindSheet25(5, 0));
  EXPECT_EQ(q2->GetBottomMS(), sheet->FindSheet25(0, 5));
  EXPECT_EQ(q2->GetTopMS(), nullptr);
  EXPECT_EQ(q2->GetLeftMSName(), "Z25-1");
  EXPECT_EQ(q2->GetBottomMSFullName(), "N  25-4");
}

TEST_F(SeriesTest, ATwoThousandSheetHasNeighbourNamesButNoNeighbours) {
  TSMO_50* sheet = DetailedSheet();
  auto* nw = DynamicCast<TSMO_2>(sheet->FindSheet5(0, 0)->FindSheetAt(-2000, -100));
  ASSERT_NE(nw, nullptr);
  EXPECT_EQ(nw->GetName(), "Z 0-0 / 1");
  EXPECT_EQ(nw->GetLeftMS(), nullptr);
  EXPECT_EQ(nw->GetRightMS(), nullptr);
  EXPECT_EQ(nw->GetRightMSName(), "Z 0-0 / 2");
  EXPECT_EQ(nw->GetLeftMSName(), "Z 1-0 / 2");
  EXPECT_EQ(nw->GetBottomMSName(), "Z 0-0 / 3");
  EXPECT_EQ(nw->GetTopMSName(), "");
  EXPECT_EQ(nw->GetBottomMSFullName(), "N  0-0 / 3");
}

TEST_F(SeriesTest, ASheetOutsideASeriesHasNoNeighboursOrFullName) {
  TSMO_10 loose;
  loose.SetBounds({0, 0, 5000, 4000});
  EXPECT_EQ(loose.GetSMO(), nullptr);
  EXPECT_EQ(loose.GetTopMS(), nullptr);
  EXPECT_EQ(loose.GetTopMSName(), "");
  EXPECT_EQ(loose.GetFullName(), "");
}

// ---------------------------------------------------------------- copies

TEST_F(SeriesTest, ACopyWithDetailOfAFiveThousandSheetIsDetachedAndNamedBlank) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  TSMO_5* sheet5 = sheet->CreateSheet10At(0, 0)->CreateSubSheet5(1, 1);
  sheet5->Cislo = 7;
  std::unique_ptr<TMapSpace> copy(sheet5->GetSelfCopyWithDetail());
  ASSERT_EQ(copy->ClassType(), TSMO_5::StaticClass());
  EXPECT_EQ(copy->ID, 0);
  EXPECT_EQ(copy->GetName(), " ");
  EXPECT_EQ(copy->GetZkratka(), "Z");
  EXPECT_EQ(copy->Cislo, 7);
  EXPECT_EQ(static_cast<TSMO_5*>(copy.get())->Col, 1);
  EXPECT_EQ(static_cast<TSMO_5*>(copy.get())->Row, 1);
  ExpectBounds(*copy, sheet5->GetMinX(), sheet5->GetMinY(), sheet5->GetMaxX(), sheet5->GetMaxY());
  auto quarters = FiledSheets(*copy);
  ASSERT_EQ(quarters.size(), 4u);
  EXPECT_EQ(quarters[0]->GetName().substr(0, 8), "Z 1-1 / ");
  EXPECT_TRUE(FiledSheets(*sheet5).empty());
  EXPECT_EQ(copy->GetOwnersCount(), 0);
}

TEST_F(SeriesTest, CopiesOfAFiftyThousandSheetWithOneLevelOfDetail) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  std::unique_ptr<TMapSpace> copy10(sheet->GetSelfCopyWithDetail10());
  EXPECT_EQ(FiledSheets(*copy10).size(), 25u);
  EXPECT_TRUE(ChildrenOf<TSMO_25>(*copy10).empty());
  EXPECT_EQ(copy10->GetName(), " ");
  std::unique_ptr<TMapSpace> copy25(sheet->GetSelfCopyWithDetail25());
  EXPECT_TRUE(FiledSheets(*copy25).empty());
  EXPECT_EQ(ChildrenOf<TSMO_25>(*copy25).size(), 4u);
  std::unique_ptr<TMapSpace> full(sheet->GetSelfCopyWithDetail());
  EXPECT_EQ(FiledSheets(*full).size(), 25u);
  EXPECT_EQ(ChildrenOf<TSMO_25>(*full).size(), 4u);
  EXPECT_TRUE(sheet->MatrixIsEmpty());
}

TEST_F(SeriesTest, ACopyOfATwentyFiveThousandSheetJoinsTheSeriesToFindItsDetail) {
  TSMO_50* sheet = DetailedSheet();
  sheet->CreateDetail25();
  TSMO_25* quarter = sheet->FindSheet25(9, 9);
  TMapSpace* copy = quarter->GetSelfCopyWithDetail();
  EXPECT_GE(smo->IndexOf(copy), 0);
  EXPECT_EQ(copy->GetName(), " ");
  EXPECT_EQ(ChildrenOf<TSMO_5>(*copy).size(), 25u);
  EXPECT_TRUE(ChildrenOf<TSMO_5>(*quarter).empty());
}

// ---------------------------------------------------------------- fields

TEST_F(SeriesTest, TheAbbreviationKeepsFourCharacters) {
  TMapSpace space;
  space.SetZkratka("ABCDEF");
  EXPECT_EQ(space.GetZkratka(), "ABCD");
  space.SetPropertyText("Zkratka", "ŽÁČŘŠÝ");
  EXPECT_EQ(space.GetPropertyText("Zkratka"), "ŽÁČŘ");
  EXPECT_EQ(TMapSpace::StaticClass()->FindProp("Zkratka")->Kind, tkString);
}

TEST_F(SeriesTest, PaperSizeIsTheExtentOverTheScale) {
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_DOUBLE_EQ(sheet->GetPageWidth(), 0.5);
  EXPECT_DOUBLE_EQ(sheet->GetPageHeight(), 0.4);
  TUserMapSpace user;
  user.SetBounds({0, 0, 300, 100});
  EXPECT_EQ(user.GetPageWidth(), 0);  // no scale yet
  user.SetScale(1000);
  EXPECT_DOUBLE_EQ(user.GetPageWidth(), 0.3);
  EXPECT_DOUBLE_EQ(user.GetPageHeight(), 0.1);
}

TEST_F(SeriesTest, EachLevelAnswersItsScaleAndIgnoresWrites) {
  TSMO_50* sheet = DetailedSheet();
  sheet->CreateDetail25();
  EXPECT_EQ(smo->GetScale(), 50000);
  EXPECT_EQ(sheet->GetScale(), 50000);
  EXPECT_EQ(smo->FindSheet25At(-100, -100)->GetScale(), 25000);
  EXPECT_EQ(smo->FindSheet10At(-100, -100)->GetScale(), 10000);
  TSMO_5* sheet5 = smo->FindSheet5At(-100, -100);
  EXPECT_EQ(sheet5->GetScale(), 5000);
  EXPECT_EQ(DynamicCast<TSMO_2>(sheet5->FindSheetAt(-100, -100))->GetScale(), 2000);
  sheet->SetScale(7);
  EXPECT_EQ(sheet->GetScale(), 50000);
  TMapSpace plain;
  EXPECT_EQ(plain.GetScale(), 0);
}

TEST_F(SeriesTest, AZMSheetTakesItsScaleAndAngleFromItsLocatorChild) {
  TZMSpace space;
  EXPECT_EQ(space.GetScale(), 200000);
  ASSERT_EQ(space.GetCount(), 0);  // reading makes no locator
  TMapsZM* zm = space.GetZM();
  EXPECT_EQ(zm->GetName(), "ZM");
  EXPECT_EQ(space.GetElement(0), zm);
  space.SetScale(25000.5);
  EXPECT_EQ(zm->GetScale(), 25000);
  space.SetScale(10001.5);
  EXPECT_EQ(zm->GetScale(), 10002);
  zm->SetMap200(1);
  zm->SetScale(200000);
  EXPECT_EQ(space.GetAngle(), zm->GetAngle());
  EXPECT_EQ(space.GetRAngle(), -zm->GetAngle());
  space.SetPropertyText("Angle", "1");
  EXPECT_EQ(space.GetAngle(), zm->GetAngle());
  EXPECT_THROW(space.SetScale(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(space.SetScale(1e12), EInvalidOp);
  EXPECT_EQ(space.GetCount(), 1);
}

TEST_F(SeriesTest, AZMSheetFindsALocatorListedAmongItsChildren) {
  TZMSpace space;
  auto* zm = new TMapsZM;
  zm->SetName("zm");
  zm->SetScale(50000);
  space.AddElement(zm);
  EXPECT_EQ(space.GetZM(), zm);
  EXPECT_EQ(space.GetScale(), 50000);
  auto stored = StoredPropertyNames(space);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), "Scale"), 1);
}

TEST_F(SeriesTest, AUserSheetKeepsItsScale) {
  TUserMapSpace user;
  user.SetPropertyText("Scale", "7500");
  EXPECT_EQ(user.GetScale(), 7500);
}

TEST_F(SeriesTest, PublishedPropertiesOfTheSheets) {
  EXPECT_EQ(OwnPropertyNames(TMapSpace::StaticClass()),
            (Strings{"Cislo", "Zkratka", "Selected", "Jmeno", "FullName", "ColRowText", "Scale", "PageWidth",
                     "PageHeight", "TopMSName", "BottomMSName", "LeftMSName", "RightMSName", "TopMSFullName",
                     "BottomMSFullName", "LeftMSFullName", "RightMSFullName", "SelfCopyWithDetail"}));
  EXPECT_EQ(OwnPropertyNames(TSMO_2::StaticClass()), (Strings{"Col", "Row"}));
  EXPECT_EQ(OwnPropertyNames(TSMO_50::StaticClass()), (Strings{"SelfCopyWithDetail10", "SelfCopyWithDetail25"}));
  EXPECT_EQ(OwnPropertyNames(TZMSpace::StaticClass()), (Strings{"Angle", "RAngle"}));
  TSMO_50* sheet = smo->CreateSheet50(0, 0, "N", "Z");
  EXPECT_EQ(sheet->GetPropertyText("FullName"), "N  ");
  EXPECT_EQ(sheet->GetPropertyText("Jmeno"), "N");
  for (const char* name : {"TMapSpace", "TUserMapSpace", "TZMSpace", "TSMO_2", "TSMO_5", "TSMO_10", "TSMO_25",
                           "TSMO_50", "TSMO", "TSpaceTree", "TSpaceMatrix", "TSpaces", "TMapsZM",
                           "TGeometryElement"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
}

// ---------------------------------------------------------------- element data

Bytes Tail(const Bytes& bytes, std::size_t count) {
  return {bytes.end() - static_cast<std::ptrdiff_t>(count), bytes.end()};
}

TEST_F(SeriesTest, ATwoThousandRecordHoldsColumnAndRowOnceAFiveThousandOneTwice) {
  TSMO_2 sheet2;
  sheet2.Col = 1;
  sheet2.Row = 0;
  const auto bytes2 = WrittenRecord(sheet2);
  EXPECT_EQ(Tail(bytes2, 8), (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(bytes2[bytes2.size() - 19], 0x05);  // the scale before them

  TSMO_5 sheet5;
  sheet5.Col = 3;
  sheet5.Row = 0x01020304;
  const auto bytes5 = WrittenRecord(sheet5);
  EXPECT_EQ(Tail(bytes5, 16), (Bytes{3, 0, 0, 0, 4, 3, 2, 1, 3, 0, 0, 0, 4, 3, 2, 1}));
  EXPECT_EQ(bytes5[bytes5.size() - 27], 0x05);
  EXPECT_EQ(bytes5.size(), bytes2.size() + 8);
}

TEST_F(SeriesTest, ASheetRecordReadsBackWithItsFields) {
  TUserMapSpace user;
  user.SetName("Mapa");
  user.SetBounds({1, 2, 301, 102});
  user.Cislo = 300;
  user.SetZkratka("UMS");
  user.Selected = true;
  user.SetScale(2500);
  const auto bytes = WrittenRecord(user);
  // Zkratka as a short string, then the Boolean's own tag, then the scale.
  const Bytes fields{0x06, 3, 'U', 'M', 'S', 0x09, 0x05};
  EXPECT_TRUE(std::search(bytes.begin(), bytes.end(), fields.begin(), fields.end()) != bytes.end());
  TQuickEntity map;
  TUserMapSpace read;
  ReadRecord(bytes, read, map);
  EXPECT_EQ(read.GetName(), "Mapa");
  ExpectBounds(read, 1, 2, 301, 102);
  EXPECT_EQ(read.Cislo, 300);
  EXPECT_EQ(read.GetZkratka(), "UMS");
  EXPECT_TRUE(read.Selected);
  EXPECT_EQ(read.GetScale(), 2500);
  EXPECT_FALSE(read.HasMatrix());
}

TEST_F(SeriesTest, ASheetRecordNamesItsMatrixByNumber) {
  TSMO_5 sheet;
  sheet.SetBounds({-5000, -2000, -2500, 0});
  sheet.Col = 1;
  sheet.Row = 0;
  sheet.SetName("Z 1-0");
  sheet.CreateDetail();
  sheet.Matrix()->ID = 0;
  const auto bytes = WrittenRecord(sheet);
  TQuickEntity map;
  auto* matrix = new TSpaceMatrix;
  map.AddElement(matrix);
  TSMO_5 read;
  ReadRecord(bytes, read, map);
  map.RemoveElement(matrix);  // the map lists without holding
  EXPECT_EQ(read.Matrix(), matrix);
  EXPECT_EQ(read.GetCount(), 1);
  EXPECT_EQ(read.Col, 1);
  EXPECT_EQ(read.Row, 0);
}

TEST_F(SeriesTest, ASheetRecordWithoutMatrixGivesMinusOneBeforeTheSheetFields) {
  TMapSpace space;
  const auto bytes = WrittenRecord(space);
  // Matrix -1, Cislo 0, empty Zkratka, False, then the scale.
  EXPECT_EQ(Tail(bytes, 18), (Bytes{0x02, 0xFF, 0x02, 0x00, 0x06, 0x00, 0x08, 0x05, 0, 0, 0, 0, 0,
                                                         0, 0, 0, 0, 0}));
}

TEST_F(SeriesTest, ABooleanWithAnotherTagIsARecordError) {
  TMapSpace space;
  auto bytes = WrittenRecord(space);
  const std::size_t at = bytes.size() - 12;  // the Boolean before the scale's 11 bytes
  ASSERT_EQ(bytes[at], 0x08);
  bytes[at] = 0x02;
  TQuickEntity map;
  platform::TMemoryStream stream(bytes);
  platform::TReader reader(stream, 4096);
  reader.ReadString();
  TMapSpace read;
  EXPECT_THROW(read.ReadData(reader, map), platform::EReadError);
}

}  // namespace
