#include "block/topology/carry_attributes.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "block/topology/area_building.h"
#include "spatial/objects/registers.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

// Old areas of two blocks and the lines between them; the new areas are
// built from the lines and take the old areas' attributes across them.
class CarryAttributesTest : public TopologyTest {
 protected:
  void SetUp() override {
    TopologyTest::SetUp();
    SetWorld(&world);
    registry = new TRegister;
    world.ObjectModel()->AddElement(registry);
    oldBlock = registry->GetBlockRegister("OLD", "TLumarBlockRegister");
    otherBlock = registry->GetBlockRegister("OTHER", "TLumarBlockRegister");
  }
  void TearDown() override {
    maker.reset();
    SetWorld(nullptr);
    TopologyTest::TearDown();
  }
  TAreaElement* OldArea(TBlockRegister* block, int cislo, int druh, double x0) {
    auto* area = new TAreaElement;
    auto* props = new TLumarAreaProps;
    props->Cislo = cislo;
    props->Druh = static_cast<std::int16_t>(druh);
    area->SetProperties(props);
    for (const auto& [x, y] : Points{{x0, 0}, {x0, 10}, {x0 + 10, 10}, {x0 + 10, 0}, {x0, 0}}) area->AddVertex(x, y);
    area->CalcBounds();
    block->RegisterElement(area);
    area->SetAbsRefX(x0 + 5);
    area->SetAbsRefY(5);
    return area;
  }
  TPolyLineElement* BlockLine(TBlockRegister* block, int cislo, const Points& points, int left, int right) {
    TPolyLineElement* line = Line(points, cislo, 1);
    auto* props = static_cast<TLumarLineProps*>(line->Properties());
    props->LeftArea = left;
    props->RightArea = right;
    block->RegisterElement(line);
    return line;
  }
  // Old areas 31 (left) and 32 (right) of one block and the lines around
  // and between them, fresh; the left square's outer line, whose right side
  // names leftLineRight, is returned.
  TPolyLineElement* TwoOldSquares(int leftLineRight) {
    lines.Clear();
    OldArea(oldBlock, 31, 5, -10);
    OldArea(oldBlock, 32, 6, 0);
    BlockLine(oldBlock, 1, {{0, 0}, {0, 10}}, 32, 31);
    BlockLine(oldBlock, 2, {{0, 10}, {10, 10}, {10, 0}, {0, 0}}, 32, 0);
    return BlockLine(oldBlock, 3, {{0, 10}, {-10, 10}, {-10, 0}, {0, 0}}, 0, leftLineRight);
  }
  TAreaString& NewAreas() {
    maker = std::make_unique<TMakeNodesAndAreas>();
    maker->SetInput(&lines);
    maker->DoIt();
    return *static_cast<TAreaString*>(maker->Output());
  }

  TWorld world;
  TRegister* registry = nullptr;
  TBlockRegister* oldBlock = nullptr;
  TBlockRegister* otherBlock = nullptr;
  std::unique_ptr<TMakeNodesAndAreas> maker;
};

// Two squares side by side: the right one walks the middle line and its own
// line forward (their left numbers), the left one both its lines backward
// (their right numbers).
TEST_F(CarryAttributesTest, NewAreasTakeTheLargestOldAreaAcrossTheirLinesAndTheProtocolListsEachCarry) {
  const std::string right = " New XY:       5.00,        5.00 New area:    100.0000 Old XY:       5.00,        5.00"
                            " Old area:    100.0000 Old No:    32 Type:   6";
  const std::string left = " New XY:      -5.00,        5.00 New area:    100.0000 Old XY:      -5.00,        5.00"
                           " Old area:    100.0000 Old No:    31 Type:   5";
  const struct {
    const char* name;
    int leftLineRight;  // the old area the left line names on the left square's side
    bool onlyProblems;
    std::map<double, int> carried;  // by the new area's label X: the old area's number (0: none)
    std::map<double, std::string> protocol;
    std::map<double, bool> selected;
  } rows[] = {
      {"every carry protocolled", 31, false, {{5, 32}, {-5, 31}}, {{5, right}, {-5, left}}, {{5, false}, {-5, false}}},
      {"an area the block lacks: reported on the line", 99, false, {{5, 32}, {-5, 31}},
       {{5, right}, {-5, left + "| L:-10.00,5.00 No Reg.Area"}}, {{5, false}, {-5, true}}},
      {"only problems protocolled", 99, true, {{5, 32}, {-5, 31}}, {{-5, left + "| L:-10.00,5.00 No Reg.Area"}},
       {{5, false}, {-5, true}}},
  };
  for (const auto& row : rows) {
    TPolyLineElement* leftLine = TwoOldSquares(row.leftLineRight);
    leftLine->SetAbsRefX(-10);
    leftLine->SetAbsRefY(5);
    TAreaString& areas = NewAreas();
    TCarryArToArThroughLines carry;
    carry.ProtocolFile = File("carry.txt");
    carry.ProtocolOnlyProblem = row.onlyProblems;
    carry.SelectForProblem = true;
    carry.SetInput(&areas);
    carry.DoIt();
    std::string expected;
    ASSERT_EQ(areas.GetCount(), 2) << row.name;
    for (TElement* child : areas.Children()) {
      auto* area = static_cast<TAreaElement*>(child);
      const double x = area->GetAbsRefX();
      auto* props = DynamicCast<TLumarProps>(area->Properties());
      EXPECT_EQ(props ? props->Cislo : 0, row.carried.at(x)) << row.name << " at " << x;
      EXPECT_EQ(props && props->Vyber, row.selected.at(x)) << row.name << " at " << x;
      if (row.protocol.count(x)) expected += row.protocol.at(x) + "\r\n";
    }
    const Bytes bytes = FileContent(File("carry.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected) << row.name;
  }
}

// The gauge counts the areas carried; the user's close request, made as the
// first area is done, stops the carry before the second only when confirmed.
TEST_F(CarryAttributesTest, TheGaugeCountsTheAreasAndAConfirmedCloseRequestStopsTheCarry) {
  const std::string question = "ConfirmAbort=Přerušit přenos atributů ?";
  const std::vector<std::string> opening{"Caption=Carry props area-area", "MaxValue=2", "Show", "Progress=1"};
  const struct {
    const char* name;
    int closeRequestAt;
    bool answer;
    int carried;
    std::vector<std::string> rest;  // the gauge's calls after the opening ones
  } rows[] = {
      {"no request", -1, true, 2, {"Progress=2", "Hide"}},
      {"confirmed", 1, true, 1, {question, "Hide"}},
      {"cancelled", 1, false, 2, {question, "Progress=2", "Hide"}},
  };
  for (const auto& row : rows) {
    TwoOldSquares(31);
    TAreaString& areas = NewAreas();
    std::vector<std::string> calls;
    struct TKeptGauge : platform::RecordingGaugeForm {
      explicit TKeptGauge(std::vector<std::string>& kept) : kept(kept) {}
      ~TKeptGauge() override { kept = Calls; }
      std::vector<std::string>& kept;
    };
    platform::SetGaugeFormFactory([&] {
      auto gauge = std::make_unique<TKeptGauge>(calls);
      gauge->CloseRequestAt = row.closeRequestAt;
      gauge->AbortAnswers = {row.answer};
      return gauge;
    });
    TCarryArToArThroughLines carry;
    carry.SetInput(&areas);
    carry.DoIt();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
    ASSERT_EQ(areas.GetCount(), 2) << row.name;
    const auto carried = std::count_if(areas.Children().begin(), areas.Children().end(), [](TElement* area) {
      return DynamicCast<TLumarProps>(static_cast<TAreaElement*>(area)->Properties()) != nullptr;
    });
    EXPECT_EQ(carried, row.carried) << row.name;
    std::vector<std::string> expected = opening;
    expected.insert(expected.end(), row.rest.begin(), row.rest.end());
    EXPECT_EQ(calls, expected) << row.name;
  }
}

TEST_F(CarryAttributesTest, AnOldAreaOfAnotherBlockMarksItsLineAsAProblem) {
  OldArea(oldBlock, 31, 5, -10);
  OldArea(otherBlock, 41, 7, -10);
  TPolyLineElement* middle = BlockLine(oldBlock, 1, {{0, 0}, {0, 10}}, 0, 31);
  TPolyLineElement* outer = BlockLine(otherBlock, 3, {{0, 10}, {-10, 10}, {-10, 0}, {0, 0}}, 0, 41);
  TAreaString& areas = NewAreas();
  TCarryArToArThroughLines carry;
  carry.SetInput(&areas);
  carry.DoIt();
  ASSERT_EQ(areas.GetCount(), 1);
  const int marked = (static_cast<TLumarProps*>(middle->Properties())->Symbol == -23) +
                     (static_cast<TLumarProps*>(outer->Properties())->Symbol == -23);
  EXPECT_EQ(marked, 1);
  EXPECT_NE(carry.ProtocolLine().find(" Diff.Block"), std::string::npos);
}

}  // namespace

namespace {

// One square stand drawn by one line; what the line names decides the reason.
TEST_F(CarryAttributesTest, AnAreaThatCannotBeFoundAcrossALineIsReportedWithTheReason) {
  const struct {
    const char* name;
    bool lineInABlock;
    int rightArea;
    bool oldAreaHasProps;
    std::string reason;
    bool carried = false;
    bool lineProps = true;
  } rows[] = {
      {"a line of no block the register knows", false, 31, true, "| L:5.00,5.00 No BlockReg"},
      {"an area number the block lacks", true, 77, true, "| L:5.00,5.00 No Reg.Area"},
      {"the old area found", true, 31, true, "", true},
      {"an old area without properties", true, 31, false, "| L:5.00,5.00 No Area Props"},
      // Only a line with line properties names the areas on its sides.
      {"a line without properties: not looked across", false, 31, true, "", false, false},
  };
  for (const auto& row : rows) {
    lines.Clear();
    auto* old = new TAreaElement;
    for (const auto& [x, y] : Points{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}) old->AddVertex(x, y);
    old->CalcBounds();
    if (row.oldAreaHasProps) {
      auto* props = new TLumarAreaProps;
      props->Cislo = 31;
      old->SetProperties(props);
      oldBlock->RegisterElement(old);
    } else {
      // The slot of number 31 (made by the rows before) holds an area without properties.
      oldBlock->GetObjectRegister('P')->ClearSlot(31);
      auto* slot = static_cast<TEntity*>(oldBlock->GetObjectRegister('P')->GetElement(31));
      slot->AddElement(old);
    }
    TPolyLineElement* line = Line({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 1, 1);
    static_cast<TLumarLineProps*>(line->Properties())->RightArea = row.rightArea;
    static_cast<TLumarLineProps*>(line->Properties())->LeftArea = row.rightArea;
    if (row.lineInABlock) oldBlock->RegisterElement(line);
    if (!row.lineProps) line->SetProperties(nullptr);
    line->SetAbsRefX(5);
    line->SetAbsRefY(5);
    TAreaString& areas = NewAreas();
    ASSERT_EQ(areas.GetCount(), 1) << row.name;
    TCarryArToArThroughLines carry;
    carry.SetInput(&areas);
    carry.DoIt();
    EXPECT_EQ(carry.ProtocolLine(), row.reason) << row.name;
    EXPECT_EQ(DynamicCast<TLumarProps>(static_cast<TAreaElement*>(areas.GetElement(0))->Properties()) != nullptr,
              row.carried)
        << row.name;
    maker.reset();
  }
}

}  // namespace

namespace {

TEST_F(CarryAttributesTest, TheCarryIsAToolPublishingItsProtocolSettings) {
  EXPECT_EQ(MisplacedClasses({{&TCarryArToArThroughLines::StaticClass, "TCarryArToArThroughLines", &TTool::StaticClass,
                               {"SelectForProblem", "ProtocolOnlyProblem", "ProtocolFile"}}}),
            "");
}

}  // namespace

namespace {

// A new area of two lines, each naming another old area on the new area's
// side: the larger old area is carried, and of two as large the one found
// first, across the area's first line, is kept.
TEST_F(CarryAttributesTest, OfOldAreasAsLargeAsEachOtherTheOneAcrossTheFirstLineIsCarried) {
  const struct {
    const char* name;
    double firstSide, secondSide;  // of the old squares named by the first and the second line
    int carried;                   // 0: the first's number, 1: the second's
  } rows[] = {
      {"as large: the first", 10, 10, 0},
      {"the second larger", 10, 12, 1},
      {"the first larger", 12, 10, 0},
  };
  int number = 100;
  for (const auto& row : rows) {
    const int numbers[] = {++number, ++number};
    const double sides[] = {row.firstSide, row.secondSide};
    for (int k = 0; k < 2; ++k) {
      auto* old = new TAreaElement;
      auto* props = new TLumarAreaProps;
      props->Cislo = numbers[k];
      old->SetProperties(props);
      const double x0 = 100.0 * k, s = sides[k];
      for (const auto& [x, y] : Points{{x0, 0}, {x0, s}, {x0 + s, s}, {x0 + s, 0}, {x0, 0}}) old->AddVertex(x, y);
      old->CalcBounds();
      oldBlock->RegisterElement(old);
    }
    lines.Clear();
    TPolyLineElement* first = BlockLine(oldBlock, 1, {{0, 0}, {0, 10}, {10, 10}}, numbers[0], 0);
    TPolyLineElement* second = BlockLine(oldBlock, 2, {{10, 10}, {10, 0}, {0, 0}}, numbers[1], 0);
    TAreaString areas;
    auto* area = new TPolyLineAreaElement;
    // Both walked forward: each names the old area on its left.
    area->AddLine(first, true);
    area->AddLine(second, true);
    areas.AddEntity(area);
    TCarryArToArThroughLines carry;
    carry.SetInput(&areas);
    carry.DoIt();
    auto* props = DynamicCast<TLumarProps>(area->Properties());
    ASSERT_NE(props, nullptr) << row.name;
    EXPECT_EQ(props->Cislo, numbers[row.carried]) << row.name;
    EXPECT_EQ(carry.ProtocolLine(), "") << row.name;
  }
}

}  // namespace
