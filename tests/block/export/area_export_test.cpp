#include "block/export/area_export.h"

#include <cmath>
#include <deque>
#include <map>
#include <optional>

#include "bench/stand_map.h"
#include "block/export/line_export.h"
#include "block/export/point_export.h"
#include "block/reading/block_reader.h"
#include "block/topology/carry_attributes.h"
#include "block/topology/area_building.h"
#include "platform/gauge_form.h"
#include "spatial/index/quadtree.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/platform/file_size_limit.h"
#include "tests/block/reading/reading_fixture.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

// Areas built by the topology from drawn lines, exported into OUT.BLK and
// read back by the block reader.
class AreaExportTest : public ReadingTest {
 protected:
  void SetUp() override {
    ReadingTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
  }
  void TearDown() override {
    built.reset();
    platform::SetGaugeFormFactory(nullptr);
    ReadingTest::TearDown();
  }

  void Draw(const Points& points, std::int16_t druh = 3) {
    auto* line = new TPolyLineElement;
    for (const auto& [x, y] : points) line->AddVertex(x, y);
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Druh = druh;
    line->SetProperties(props);
    lines.AddEntity(line);
  }
  void DrawSquare(double x0, double y0, double side) {
    Draw({{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}, {x0, y0}});
  }
  // The areas of the drawn lines, in the order the topology lists them.
  TAreaString& Build() {
    built = std::make_unique<TMakeNodesAndAreas>();
    built->SetInput(&lines);
    built->DoIt();
    return *DynamicCast<TAreaString>(built->Output());
  }
  void Save(TEntity& areas) {
    TSaveAreasToBlok save;
    save.BlockDir = block;
    save.SetInput(&areas);
    save.DoIt();
  }
  std::unique_ptr<TAreaString> ReadBack() {
    auto reader = std::make_unique<TLumaRBlokReader>();
    reader->Create(block);
    return std::unique_ptr<TAreaString>(reader->ReadAreas());
  }
  std::vector<TLineRecord> LineRecords() const {
    std::vector<TLineRecord> records;
    const Bytes bytes = FileContent(block + "/" + kLineFileName);
    for (std::size_t at = TLineRecord::Size; at + TLineRecord::Size <= bytes.size(); at += TLineRecord::Size)
      records.push_back(TLineRecord::Decode(&bytes[at]));
    return records;
  }
  static TLumarAreaProps& Props(TElement* area) {
    return *static_cast<TLumarAreaProps*>(static_cast<TAreaElement*>(area)->Properties());
  }

  TPolyLineString lines;
  std::unique_ptr<TMakeNodesAndAreas> built;
  const std::string block = folder.Path() + "/OUT.BLK";
};

// What the block says of one area, and what it must say.
struct AreaFacts {
  int kind = 0;
  double area = 0;
  double labelX = 0;
  double labelY = 0;
  int parent = 0;
  double holes = 0;
};

std::map<int, AreaFacts> FactsOf(const TEntity& areas) {
  std::map<int, AreaFacts> facts;
  for (TElement* child : areas.Children()) {
    const auto* area = static_cast<TAreaElement*>(child);
    const auto& props = *static_cast<TLumarAreaProps*>(area->Properties());
    double holes = 0;
    if (area->Holes())
      for (TElement* hole : area->Holes()->Children()) holes += std::abs(static_cast<TAreaElement*>(hole)->WholeArea());
    facts[props.Cislo] = {props.Druh, area->WholeArea(), area->GetAbsRefX(), area->GetAbsRefY(), props.PaterNo, holes};
  }
  return facts;
}

bool Near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

TEST_F(AreaExportTest, PreparingNumbersAreasThatAreNotHolesOnceAndNamesTheAreasInTheirHolesAsChildren) {
  DrawSquare(0, 0, 30);   // A
  DrawSquare(30, 0, 30);  // B, beside A
  DrawSquare(10, 10, 5);  // C, an island in A
  TAreaString& areas = Build();
  ASSERT_EQ(areas.GetCount(), 3);
  TAreaElement* a = nullptr;
  TAreaElement* b = nullptr;
  TAreaElement* c = nullptr;
  for (TElement* child : areas.Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    (area->GetMinX() == 0 ? a : area->GetMinX() == 30 ? b : c) = area;
  }
  ASSERT_TRUE(a && b && c);
  TAreaString input;
  const struct {
    const char* name;
    std::vector<TAreaElement*> listed;
    std::int32_t druh;
    std::vector<int> numbers;  // of A, B, C and A's hole
    std::vector<int> parents;  // of A, B, C
    bool aHasChildren;
  } rows[] = {
      {"A, B, C in order", {a, b, c}, 0, {1, 2, 3, -1}, {-1, -1, 1}, true},
      {"C first, A twice", {c, a, b, a}, 0, {2, 3, 1, -1}, {-1, -1, 2}, true},
      {"C without A: no parent in the input", {b, c}, 6, {-1, 1, 2, -1}, {-1, -1, -1}, false},
      {"A without C: no child in the input", {a, b}, 0, {1, 2, -1, -1}, {-1, -1, -1}, false},
      {"A's hole listed: never numbered", {static_cast<TAreaElement*>(a->Holes()->GetElement(0))}, 0, {-1, -1, -1, -1}, {-1, -1, -1}, false},
  };
  for (const auto& row : rows) {
    a->ID = b->ID = c->ID = 0;
    input.Clear();
    for (TAreaElement* area : row.listed) input.AddElement(area);
    for (TAreaElement* area : {a, b, c})
      if (area->Properties()) {
        Props(area).PaterNo = 77;
        Props(area).HasChildren = false;
      }
    TPrepareExportAreasToLumar prepare;
    prepare.Druh = row.druh;
    prepare.SetInput(&input);
    prepare.DoIt();
    EXPECT_EQ(prepare.Output(), &input) << row.name;
    const auto* hole = static_cast<TAreaElement*>(a->Holes()->GetElement(0));
    const std::vector<int> numbers{a->ID == 0 ? -1 : a->ID, b->ID == 0 ? -1 : b->ID, c->ID == 0 ? -1 : c->ID,
                                   hole->ID == 0 ? -1 : hole->ID};
    EXPECT_EQ(numbers, row.numbers) << row.name;
    for (TAreaElement* area : row.listed)
      if (!area->IsHole) {
        EXPECT_EQ(Props(area).Cislo, area->ID) << row.name;
      }
    std::vector<int> parents;
    for (TAreaElement* area : {a, b, c})
      parents.push_back(input.IndexOf(area) >= 0 ? Props(area).PaterNo : -1);
    EXPECT_EQ(parents, row.parents) << row.name;
    EXPECT_EQ(Props(a).HasChildren, row.aHasChildren) << row.name;
    if (row.druh > 0) {
      EXPECT_EQ(Props(c).Druh, row.druh) << row.name;
    }
  }
  // New block props: colour 2, symbol 1, no parent.
  EXPECT_EQ(std::tuple(Props(b).Barva, Props(b).Znacka), std::tuple(2, 1));
}

TEST_F(AreaExportTest, TheSavedStandMapReadsBackWithItsNumbersKindsAreasLabelsAndParentsAndEveryWalkClosed) {
  const struct {
    const char* name;
    int side;
    std::uint64_t seed;
    int segments;
  } rows[] = {{"one stand", 1, 1, 4}, {"6 x 6 stands", 6, 7, 4}, {"11 x 11 stands of one-segment edges", 11, 3, 1}};
  for (const auto& row : rows) {
    world->ObjectModel()->Clear();
    lines.Clear();
    const TStandMap map = MakeStandMap(row.side, row.seed, row.segments);
    std::unique_ptr<TPolyLineString> drawn(MakeStandMapLines(map));
    for (TElement* line : drawn->Children()) {
      Points points = VerticesOf(*static_cast<TPolyElement*>(line));
      Draw(points, 5);
    }
    TAreaString& areas = Build();
    Save(areas);
    // The export's numbers mark the lines as done; the save leaves none marked.
    int marked = 0;
    for (TElement* line : lines.Children()) marked += static_cast<TSpaceEntity*>(line)->GetIsDone() ? 1 : 0;
    EXPECT_EQ(marked, 0) << row.name;
    const std::map<int, AreaFacts> want = FactsOf(areas);
    ASSERT_EQ(static_cast<int>(want.size()), map.ExpectedAreas) << row.name;
    std::unique_ptr<TAreaString> back = ReadBack();
    const std::map<int, AreaFacts> got = FactsOf(*back);
    ASSERT_EQ(got.size(), want.size()) << row.name << Join(LogLines(), "\n");
    for (const auto& [number, facts] : want) {
      const AreaFacts& read = got.at(number);
      const std::string where = std::string(row.name) + ", area " + std::to_string(number);
      EXPECT_EQ(read.kind, facts.kind) << where;
      EXPECT_TRUE(Near(read.area, facts.area)) << where << ": " << read.area << " vs " << facts.area;
      EXPECT_TRUE(Near(read.labelX, facts.labelX) && Near(read.labelY, facts.labelY)) << where;
      EXPECT_EQ(read.parent, facts.parent) << where;
      EXPECT_TRUE(Near(read.holes, facts.holes)) << where << ": " << read.holes << " vs " << facts.holes;
    }
    // Every walk closed: the reader logged nothing.
    EXPECT_EQ(LogLines(), std::vector<std::string>{}) << row.name;
    built.reset();
  }
}

TEST_F(AreaExportTest, EachLineNamesTheInputAreaWalkingItForwardOnTheLeftAndBackwardOnTheRight) {
  Draw({{0, 0}, {0, 10}});                                // shared by both squares
  Draw({{0, 10}, {10, 10}, {10, 0}, {0, 0}});             // the right square's rest
  Draw({{0, 10}, {-10, 10}, {-10, 0}, {0, 0}});           // the left square's rest
  TAreaString& areas = Build();
  ASSERT_EQ(areas.GetCount(), 2);
  const struct {
    const char* name;
    int exported;  // index in the topology's list; -1 both
  } rows[] = {{"both squares", -1}, {"the first square only", 0}, {"the second square only", 1}};
  for (const auto& row : rows) {
    TAreaString input;
    for (int i = 0; i < 2; ++i)
      if (row.exported < 0 || row.exported == i) input.AddElement(areas.GetElement(i));
    // The export itself: the lines keep their numbers.
    TExportAreasToLumar tool;
    tool.SetBlockName(block);
    tool.SetInput(&input);
    tool.DoIt();
    // For each line: which areas hold it and in which direction.
    for (const TLineRecord& r : LineRecords()) {
      for (const auto& [number, forward] : {std::pair(r.LeftArea, true), std::pair(r.RightArea, false)}) {
        if (number == -1) continue;
        ASSERT_GE(number, 1) << row.name;
        const auto* area = static_cast<TPolyLineAreaElement*>(input.GetElement(number - 1));
        bool held = false;
        for (int i = 0; i < static_cast<int>(area->Children().size()); ++i)
          held = held || (area->Children()[i]->ID == r.Number && area->GetLineOrigin(i) == forward);
        EXPECT_TRUE(held) << row.name << ": line " << r.Number << " area " << number;
      }
      // The shared line has an area on both sides only when both go out.
      if (r.Number == 1 || LineRecords().size() == 2) {
        const int sides = (r.LeftArea > 0) + (r.RightArea > 0);
        EXPECT_EQ(sides, row.exported < 0 ? 2 : 1) << row.name << ": line " << r.Number;
      }
    }
  }
}

TEST_F(AreaExportTest, ALineAnAreaWalksBothWaysHasThatAreaOnBothSides) {
  DrawSquare(0, 0, 10);
  Draw({{0, 0}, {4, 4}});  // a dangle inside: the area's walk goes out along it and back
  TAreaString& areas = Build();
  ASSERT_EQ(areas.GetCount(), 1);
  const auto& area = *static_cast<TPolyLineAreaElement*>(areas.GetElement(0));
  std::map<const TElement*, int> ways;  // line -> bit 1 forward, bit 2 backward
  for (int i = 0; i < static_cast<int>(area.Children().size()); ++i)
    ways[area.Children()[static_cast<std::size_t>(i)]] |= area.GetLineOrigin(i) ? 1 : 2;
  ASSERT_EQ(ways.at(lines.GetElement(1)), 3) << "the dangle is walked both ways";
  TExportAreasToLumar tool;
  tool.SetBlockName(block);
  tool.SetInput(&areas);
  tool.DoIt();
  const struct {
    const char* name;
    const TElement* line;
    std::pair<int, int> sides;  // left, right
  } rows[] = {{"the square's ring, drawn against the area's way: the area on its right only", lines.GetElement(0), {-1, 1}},
              {"the dangle", lines.GetElement(1), {1, 1}}};
  const std::vector<TLineRecord> records = LineRecords();
  for (const auto& row : rows) {
    const auto record = std::find_if(records.begin(), records.end(),
                                     [&](const TLineRecord& r) { return r.Number == row.line->ID; });
    ASSERT_NE(record, records.end()) << row.name;
    EXPECT_EQ(std::pair(record->LeftArea, record->RightArea), row.sides) << row.name;
  }
}

TEST_F(AreaExportTest, OfSeveralAreasWalkingALineTheSameWayTheFirstOfItsOwnersIsOnThatSide) {
  DrawSquare(0, 0, 10);
  TAreaString& first = Build();
  std::unique_ptr<TMakeNodesAndAreas> firstBuild = std::move(built);
  TAreaString& second = Build();  // the same ring once more: its area owns the line after the first
  ASSERT_EQ(std::pair(first.GetCount(), second.GetCount()), std::pair(1, 1));
  const struct {
    const char* name;
    std::vector<TElement*> input;
    int side;  // the number of the area on the line's walked side
  } rows[] = {{"the first owner listed first", {first.GetElement(0), second.GetElement(0)}, 1},
              {"the first owner listed second", {second.GetElement(0), first.GetElement(0)}, 2}};
  for (const auto& row : rows) {
    TAreaString input;
    for (TElement* area : row.input) input.AddElement(area);
    TExportAreasToLumar tool;
    tool.SetBlockName(block);
    tool.SetInput(&input);
    tool.DoIt();
    const std::vector<TLineRecord> records = LineRecords();
    ASSERT_EQ(records.size(), 1u) << row.name;
    EXPECT_EQ(std::max(records[0].LeftArea, records[0].RightArea), row.side) << row.name;
    EXPECT_EQ(std::min(records[0].LeftArea, records[0].RightArea), -1) << row.name;
  }
}

TEST_F(AreaExportTest, AreasReadFromABlockWithoutNodesAreExportedAgainWithLinksThatWalkRoundThem) {
  DrawSquare(0, 0, 30);
  DrawSquare(30, 0, 30);
  DrawSquare(10, 10, 5);
  Save(Build());
  const std::map<int, AreaFacts> want = FactsOf(*ReadBack());
  built.reset();
  lines.Clear();
  world->ObjectModel()->Clear();
  // The areas as read: their lines have no nodes.
  std::unique_ptr<TAreaString> read = ReadBack();
  ASSERT_EQ(read->GetCount(), 3);
  std::filesystem::remove_all(block);
  Save(*read);
  world->ObjectModel()->Clear();
  const std::map<int, AreaFacts> again = FactsOf(*ReadBack());
  ASSERT_EQ(again.size(), want.size()) << Join(LogLines(), "\n");
  for (const auto& [number, facts] : want) EXPECT_TRUE(Near(again.at(number).area, facts.area)) << number;
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
  // The lines were lent a graph only for the export.
  for (TElement* area : read->Children())
    for (TElement* line : static_cast<TEntity*>(area)->Children()) {
      TNode* node = nullptr;
      TNodeBranch* branch = nullptr;
      FindLineEndNode(static_cast<TPolyLineElement*>(line), true, node, branch);
      EXPECT_EQ(node, nullptr);
    }
}

TEST_F(AreaExportTest, BoundaryLinesWithoutBlockPropsAreWrittenSoThatTheirAreasReadBack) {
  Draw({{0, 0}, {0, 10}});
  Draw({{0, 10}, {10, 10}, {10, 0}, {0, 0}});
  Draw({{0, 10}, {-10, 10}, {-10, 0}, {0, 0}});
  for (TElement* line : lines.Children()) static_cast<TSpaceEntity*>(line)->SetProperties(nullptr);
  Save(Build());
  world->ObjectModel()->Clear();
  EXPECT_EQ(ReadBack()->GetCount(), 2);
  EXPECT_EQ(LineRecords().size(), 3u);
  // Written with kind, colour and symbol 0: each is named.
  std::vector<std::string> named;
  for (int number = 1; number <= 3; ++number)
    named.push_back(block + ": linie č." + std::to_string(number) + " nemá vlastnosti, zapsána s druhem, barvou a značkou 0");
  EXPECT_EQ(LogLines(), named);
}

TEST_F(AreaExportTest, BadAreasAreWrittenAsTheyAreAndLoggedByNumber) {
  DrawSquare(0, 0, 10);
  Draw({{20, 0}, {30, 0}, {30, 10}});
  Draw({{30, 10}, {20, 10}, {20, 0}});
  TAreaString& areas = Build();
  ASSERT_EQ(areas.GetCount(), 2);
  auto* first = static_cast<TPolyLineAreaElement*>(areas.GetElement(0));
  auto* second = static_cast<TPolyLineAreaElement*>(areas.GetElement(1));
  const struct {
    const char* name;
    std::function<void()> spoil;
    std::vector<std::string> log;
  } rows[] = {
      {"sound areas", [] {}, {}},
      {"a label outside its area",
       [&] { first->SetAbsRefX(first->GetAbsRefX() + 100); },
       {block + ": plocha č.1 má návěští mimo sebe"}},
      {"an area holding a line the other way than the walk goes",
       [&] { second->SetLineOrigin(0, !second->GetLineOrigin(0)); },
       {block + ": hranice plochy č.2 na sebe nenavazuje"}},
  };
  for (const auto& row : rows) {
    LogLines();
    log.Lines.clear();
    const double x = first->GetAbsRefX();
    const bool origin = second->GetLineOrigin(0);
    row.spoil();
    TAreaString input;
    input.AddElement(first);
    input.AddElement(second);
    input.AddElement(first);  // listed twice: written once
    Save(input);
    EXPECT_EQ(LogLines(), row.log) << row.name;
    const Bytes bytes = FileContent(block + "/" + kAreaFileName);
    EXPECT_EQ(bytes.size(), 3 * TAreaRecord::Size) << row.name;
    first->SetAbsRefX(x);
    second->SetLineOrigin(0, origin);
  }
}

// Without tables the values go onto the areas' props; with them into the
// areas' records, the props left as they were.
TEST_F(AreaExportTest, TheAreasTakeTheValuesOfTheAreaUnderTheirLabelThroughTheScriptOfTheirKind) {
  // The script in a folder of small letters: only its file name is the
  // kind's, in capitals.
  std::filesystem::create_directories(folder.Path() + "/ctl");
  std::ofstream(folder.Path() + "/ctl/P0012.TDS") << "DRUH BARVA\r\nCISLO ZNACKA\r\n*LHC LHC\r\n";
  std::ofstream(folder.Path() + "/ctl/P0012.CRT") << "BARVA N 4 0\r\nZNACKA N 4 0\r\n";
  TSpaceEntityQTree tree;
  TAreaString other;
  auto* over = new TAreaElement;
  for (const auto& [x, y] : Points{{-1, -1}, {-1, 31}, {31, 31}, {31, -1}, {-1, -1}}) over->AddVertex(x, y);
  over->CalcBounds();
  auto* overProps = new TLumarAreaProps;
  overProps->Cislo = 77;
  overProps->Druh = 9;
  over->SetProperties(overProps);
  other.AddEntity(over);
  tree.AddAndGrow(over);
  // The tree may hold objects that are no areas: a line across the left
  // stand gives nothing.
  auto* across = new TPolyLineElement;
  across->AddVertex(0, 0);
  across->AddVertex(30, 30);
  across->CalcBounds();
  other.AddEntity(across);
  tree.AddAndGrow(across);
  using ByLeftEdge = std::map<double, std::pair<int, int>>;
  // The left stand lies under the other area; the right keeps the new props'.
  const ByLeftEdge taken{{0, {9, 77}}, {30, {2, 1}}};
  const ByLeftEdge kept{{0, {2, 1}}, {30, {2, 1}}};
  const struct {
    const char* name;
    bool tables;
    ByLeftEdge props;    // colour and symbol of the areas' props
    ByLeftEdge records;  // BARVA and ZNACKA of their records, 0 for none
  } rows[] = {
      {"without tables", false, taken, {}},
      {"with tables", true, kept, {{0, {9, 77}}, {30, {0, 0}}}},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(block);
    lines.Clear();
    built.reset();
    DrawSquare(0, 0, 30);
    DrawSquare(30, 0, 30);
    TAreaString& areas = Build();
    TExportAreasToLumarPropsFromAreaQTree tool;
    tool.SetAreaQTree(&tree);
    tool.ControlDir = folder.Path() + "/ctl";
    tool.DruhPloch = 12;
    tool.ExportDBF = row.tables;
    tool.SetBlockName(block);
    tool.SetInput(&areas);
    tool.DoIt();
    ByLeftEdge props;
    std::map<std::string, double> leftEdgeOf;  // by the area's number
    for (TElement* child : areas.Children()) {
      const double left = static_cast<TAreaElement*>(child)->GetMinX();
      props[left] = {Props(child).Barva, Props(child).Znacka};
      leftEdgeOf[std::to_string(Props(child).Cislo)] = left;
    }
    EXPECT_EQ(props, row.props) << row.name;
    ByLeftEdge records;
    if (row.tables)
      for (const auto& record : Rows(block + "/P0012.DBF"))  // BARVA, ZNACKA, CISLO
        records[leftEdgeOf.at(record.at(2))] = {std::atoi(record.at(0).c_str()), std::atoi(record.at(1).c_str())};
    EXPECT_EQ(records, row.records) << row.name;
  }
}

// Every form asks its question after the first object; the answers are given
// in turn, form by form.
struct AskedForm : platform::RecordingGaugeForm {
  explicit AskedForm(std::vector<std::string>& record, bool answer) : record(record) {
    CloseRequestAt = 0;
    DefaultAnswer = answer;
  }
  ~AskedForm() override {
    for (const std::string& call : Calls)
      if (call.rfind("Caption=", 0) == 0 || call.rfind("ConfirmAbort=", 0) == 0) record.push_back(call);
  }
  std::vector<std::string>& record;
};

TEST_F(AreaExportTest, EachLoopShowsItsCaptionAndStopsOnlyWhenItsQuestionIsConfirmed) {
  DrawSquare(0, 0, 10);
  DrawSquare(20, 0, 10);
  TAreaString& areas = Build();
  TSpaceEntityString points;
  for (double x : {-1.0, -2.0}) {
    auto* point = new TPointElement;
    point->SetBounds({x, -1, x, -1});
    points.AddElement(point);
  }
  const struct {
    const char* name;
    bool points;
    std::vector<bool> answers;
    std::vector<std::string> asked;
    std::size_t areaFileSize;
  } rows[] = {
      {"stopped in the lines: no areas", false, {true},
       {"Caption=Export lines", "ConfirmAbort=Přerušit export linií ?"}, TAreaRecord::Size},
      {"lines go on, stopped in the areas", false, {false, true},
       {"Caption=Export lines", "ConfirmAbort=Přerušit export linií ?", "Caption=Export ploch do " + block,
        "ConfirmAbort=Přerušit export ploch ?"},
       2 * TAreaRecord::Size},
      {"nothing stopped", false, {false, false},
       {"Caption=Export lines", "ConfirmAbort=Přerušit export linií ?", "Caption=Export ploch do " + block,
        "ConfirmAbort=Přerušit export ploch ?"},
       3 * TAreaRecord::Size},
      {"points", true, {true}, {"Caption=Export bodu do " + block, "ConfirmAbort=Přerušit export bodu ?"}, 0},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(block);
    std::vector<std::string> asked;
    std::size_t made = 0;
    platform::SetGaugeFormFactory([&] {
      const bool answer = made < row.answers.size() && row.answers[made];
      ++made;
      return std::make_unique<AskedForm>(asked, answer);
    });
    if (row.points) {
      TExportPointsToLumar tool;
      tool.SetBlockName(block);
      tool.SetInput(&points);
      tool.DoIt();
    } else {
      TExportAreasToLumar tool;
      tool.SetBlockName(block);
      tool.SetInput(&areas);
      tool.DoIt();
      EXPECT_EQ(tool.StoppedByUser(), row.answers.back()) << row.name;
    }
    EXPECT_EQ(asked, row.asked) << row.name;
    EXPECT_EQ(FileContent(block + "/" + kAreaFileName).size(), row.areaFileSize) << row.name;
  }
}

// A stop ends one run only: the same tool run again, and let go on, writes
// every line and, for areas, every area.
TEST_F(AreaExportTest, AToolStoppedOnceWritesTheWholeBlockOnItsNextRun) {
  DrawSquare(0, 0, 10);
  DrawSquare(20, 0, 10);
  TAreaString& areas = Build();
  // Two squares: two boundary lines and two areas, each file after its header record.
  const std::size_t wholeLines = 3 * TLineRecord::Size;
  const std::size_t wholeAreas = 3 * TAreaRecord::Size;
  const struct {
    const char* name;
    bool areas;
    std::vector<bool> firstRun;  // the answers of its forms in turn
  } rows[] = {
      {"areas, stopped in the lines", true, {true}},
      {"areas, stopped in the areas", true, {false, true}},
      {"lines, stopped", false, {true}},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(block);
    std::vector<std::string> asked;
    std::deque<bool> answers(row.firstRun.begin(), row.firstRun.end());
    platform::SetGaugeFormFactory([&] {
      const bool answer = !answers.empty() && answers.front();
      if (!answers.empty()) answers.pop_front();
      return std::make_unique<AskedForm>(asked, answer);
    });
    TExportAreasToLumar areaTool;
    TExportLinesToLumar lineTool;
    TExportLumarElements& tool = row.areas ? static_cast<TExportLumarElements&>(areaTool) : lineTool;
    const auto stopped = [&] { return row.areas ? areaTool.StoppedByUser() : lineTool.StoppedByUser(); };
    tool.SetBlockName(block);
    tool.SetInput(row.areas ? static_cast<TEntity*>(&areas) : &lines);
    tool.DoIt();
    ASSERT_TRUE(stopped()) << row.name;
    ASSERT_LT(FileContent(block + "/" + kLineFileName).size() + FileContent(block + "/" + kAreaFileName).size(),
              wholeLines + (row.areas ? wholeAreas : 0))
        << row.name << ": the first run stops short";
    tool.DoIt();
    EXPECT_FALSE(stopped()) << row.name;
    EXPECT_EQ(FileContent(block + "/" + kLineFileName).size(), wholeLines) << row.name;
    if (row.areas) {
      EXPECT_EQ(FileContent(block + "/" + kAreaFileName).size(), wholeAreas) << row.name;
    }
  }
}

// The areas of a written block carry their numbers and kinds to the areas
// built anew from the block's lines.
TEST_F(AreaExportTest, AreasBuiltFromTheLinesOfAWrittenBlockTakeTheAttributesOfItsAreas) {
  DrawSquare(0, 0, 30);
  DrawSquare(30, 0, 30);
  DrawSquare(10, 10, 5);
  TAreaString& old = Build();
  // Kinds by the left edge: 0 -> 5, 30 -> 6, 10 -> 7.
  const std::map<double, int> kinds{{0, 5}, {30, 6}, {10, 7}};
  for (TElement* child : old.Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    auto* props = new TLumarAreaProps;
    props->Druh = static_cast<std::int16_t>(kinds.at(area->GetMinX()));
    area->SetProperties(props);
  }
  Save(old);
  built.reset();
  world->ObjectModel()->Clear();
  auto reader = std::make_unique<TLumaRBlokReader>();
  reader->Create(block);
  std::unique_ptr<TAreaString> read(reader->ReadAreas());
  std::unique_ptr<TPolyLineString> readLines(reader->ReadLines());
  ASSERT_EQ(read->GetCount(), 3);
  std::map<double, int> numbers;  // of the read areas by their left edge
  for (TElement* area : read->Children())
    numbers[static_cast<TAreaElement*>(area)->GetMinX()] = area->GetPropertyInteger("Cislo");
  // The read lines in a list with bounds, as the topology wants them.
  lines.Clear();
  for (TElement* line : readLines->Children()) lines.AddEntity(line);
  auto* fresh = &Build();
  ASSERT_NE(fresh, nullptr);
  ASSERT_EQ(fresh->GetCount(), 3);
  TCarryArToArThroughLines carry;
  carry.SetInput(fresh);
  carry.DoIt();
  for (TElement* child : fresh->Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    const double x = area->GetMinX();
    EXPECT_EQ(area->GetPropertyInteger("Cislo"), numbers.at(x)) << "area from " << x;
    EXPECT_EQ(area->GetPropertyInteger("Druh"), kinds.at(x)) << "area from " << x;
  }
  EXPECT_EQ(LogLines(), std::vector<std::string>{});
}

TEST_F(AreaExportTest, PointsAreNumberedByTheirPlaceInTheListAndOtherRecordsStayEmpty) {
  TSpaceEntityString input;
  std::vector<std::unique_ptr<TElement>> kept;
  for (int i = 0; i < 6; ++i) {
    TSpaceEntity* child = (i == 1 || i == 4) ? static_cast<TSpaceEntity*>(new TPointElement) : new TPolyLineElement;
    child->SetBounds({100.0 + i, 200, 100.0 + i, 200});
    auto* props = new TLumarPointProps;
    props->Druh = 7;
    child->SetProperties(props);
    input.AddElement(child);
  }
  TExportPointsToLumar tool;
  tool.SetBlockName(block);
  tool.SetInput(&input);
  tool.DoIt();
  const Bytes bytes = FileContent(block + "/" + kPointFileName);
  ASSERT_EQ(bytes.size(), 6 * TPointRecord::Size);
  const struct {
    int record;
    int number;
    double x;
  } rows[] = {{1, 0, 0}, {2, 2, -101}, {3, 0, 0}, {4, 0, 0}, {5, 5, -104}};
  for (const auto& row : rows) {
    const TPointRecord r = TPointRecord::Decode(&bytes[row.record * TPointRecord::Size]);
    EXPECT_EQ(r.Number, row.number) << "record " << row.record;
    EXPECT_EQ(r.X, row.x) << "record " << row.record;
  }
  EXPECT_EQ(input.GetElement(4)->ID, 5);
}

// The export handler gets each object the export writes, with the number it
// is written under: the boundary lines, then the areas; of a point list
// only its points.
TEST_F(AreaExportTest, TheHandlerGetsEachWrittenObjectWithItsNumberInTheOrderWritten) {
  using Calls = std::vector<std::pair<char, std::int32_t>>;
  struct Handler {
    Calls calls;
    void Exported(TElement* element, TDynamicProperties*) {
      const char letter = DynamicCast<TPointElement>(element)  ? 'B'
                          : DynamicCast<TAreaElement>(element) ? 'P'
                          : DynamicCast<TPolyLineElement>(element) ? 'L'
                                                                   : 'X';
      calls.emplace_back(letter, element->ID);
    }
  };
  // Two squares apart: two boundary lines and two areas, the outer rings
  // being holes that are not written.  Points at places 1 and 4 of six.
  TSpaceEntityString points;
  for (int i = 0; i < 6; ++i) {
    TSpaceEntity* child = (i == 1 || i == 4) ? static_cast<TSpaceEntity*>(new TPointElement) : new TPolyLineElement;
    child->SetBounds({100.0 + i, 200, 100.0 + i, 200});
    child->SetProperties(new TLumarPointProps);
    points.AddElement(child);
  }
  const struct {
    const char* name;
    bool points;
    Calls expected;
  } rows[] = {
      {"areas", false, {{'L', 1}, {'L', 2}, {'P', 1}, {'P', 2}}},
      {"points", true, {{'B', 2}, {'B', 5}}},
  };
  for (const auto& row : rows) {
    Handler handler;
    std::unique_ptr<TExportLumarElements> tool;
    if (row.points) {
      tool = std::make_unique<TExportPointsToLumar>();
      tool->SetInput(&points);
    } else {
      lines.Clear();
      DrawSquare(0, 0, 10);
      DrawSquare(20, 0, 10);
      tool = std::make_unique<TExportAreasToLumar>();
      tool->SetInput(&Build());
    }
    tool->OnExportObject = ExportObjectHandler<Handler, &Handler::Exported>(&handler);
    tool->SetBlockName(block);
    tool->DoIt();
    EXPECT_EQ(handler.calls, row.expected) << row.name;
  }
}

// The files keep their records in memory until they are written out at the
// export's end; a disk that is full by then fails the block, with its log
// line, as a failure part-way does, and the block stays as it was.
TEST_F(AreaExportTest, AnExportWhoseLastWritesDoNotFitFailsTheBlockAndSaysSo) {
  // Each file's records fit in memory; the disk takes 100 bytes a file:
  // fewer than the line and area files of one square (two line records,
  // two area records) or three points (four point records) need.
  static constexpr rlim_t kDisk = 100;
  struct Row {
    const char* name;
    bool points;
    bool fullFromTheAreas;  // the disk fills when the first area is written
    const char* cut;        // the file the disk cannot take
  };
  const Row rows[] = {
      {"the boundary lines", false, false, kLineFileName},
      {"the areas", false, true, kAreaFileName},
      {"the points", true, false, kPointFileName},
  };
  // Fills the disk when the export reaches its first area.
  struct FillsAtTheFirstArea {
    std::optional<FileSizeLimit> full;
    void Exported(TElement* element, TDynamicProperties*) {
      if (!full && DynamicCast<TAreaElement>(element)) full.emplace(kDisk);
    }
  };
  for (const Row& row : rows) {
    std::filesystem::remove_all(block);
    // The folder is there: a new block's files, written at once, need no room.
    platform::ForceDirectories(block);
    lines.Clear();
    built.reset();
    log.Lines.clear();
    const int failedBefore = world->FailedWork(TFailedWork::Block);
    TSpaceEntityString points;
    std::unique_ptr<TExportLumarElements> tool;
    FillsAtTheFirstArea filler;
    if (row.points) {
      for (int i = 0; i < 3; ++i) {
        auto* point = new TPointElement;
        point->SetBounds({10.0 + i, 20, 10.0 + i, 20});
        point->SetProperties(new TLumarPointProps);
        points.AddElement(point);
      }
      tool = std::make_unique<TExportPointsToLumar>();
      tool->SetInput(&points);
    } else {
      DrawSquare(0, 0, 10);
      tool = std::make_unique<TExportAreasToLumar>();
      tool->SetInput(&Build());
      tool->OnExportObject = ExportObjectHandler<FillsAtTheFirstArea, &FillsAtTheFirstArea::Exported>(&filler);
    }
    tool->SetBlockName(block);
    std::string error;
    {
      std::optional<FileSizeLimit> full;
      if (!row.fullFromTheAreas) full.emplace(kDisk);
      error = ErrorOf<platform::EWriteError>([&] { tool->DoIt(); });
      filler.full.reset();
    }
    EXPECT_NE(error, "no error") << row.name;
    EXPECT_THAT(LogLines(), testing::ElementsAre(UnfinishedExportText(block, error))) << row.name;
    EXPECT_EQ(world->FailedWork(TFailedWork::Block), failedBefore + 1) << row.name;
    EXPECT_TRUE(std::filesystem::is_empty(block)) << row.name << ": " << row.cut;
  }
}

}  // namespace
