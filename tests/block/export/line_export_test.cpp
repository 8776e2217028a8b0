#include "block/export/line_export.h"

#include <gmock/gmock.h>

#include <cmath>

#include "block/props/lumar_props.h"
#include "block/reading/object_readers.h"
#include "framework/tools/world.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"
#include "framework/values/real48.h"
#include "platform/files.h"
#include "tests/block/export/export_fixture.h"

namespace {

using ::testing::ElementsAre;

TLineLinks Links(std::initializer_list<TLineLink> links) {
  TLineLinks all{};
  std::copy(links.begin(), links.end(), all.begin());
  return all;
}

// Lines with line props, and the nodes of their ends.
class PrepareLinesTest : public BlockTest {
 protected:
  TPolyLineElement* Line(std::initializer_list<TRealPoint> points) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    line->CalcBounds();
    line->SetProperties(new TLumarLineProps);
    model.AddElement(line);
    return line;
  }
  TNode* NodeAt(double x, double y) {
    for (TElement* child : graph.Children())
      if (auto* node = static_cast<TNode*>(child); node->GetX() == x && node->GetY() == y) return node;
    auto* node = new TNode;
    graph.AddElement(node);
    return node;
  }
  void Connect(TPolyLineElement* line) {
    for (bool atBegin : {true, false}) {
      const T2DCoordinate* end = line->VertexAt(0, atBegin);
      NodeAt(end->GetX(), end->GetY())->AddLine(line, atBegin);
    }
  }
  static TLineLinks LinksOf(TPolyLineElement* line) {
    return static_cast<TLumarLineProps*>(line->Properties())->Links;
  }
  void Prepare() {
    TPrepareExportLinesToLumar prepare;
    prepare.SetInput(&input);
    prepare.DoIt();
    EXPECT_EQ(prepare.Output(), &input);
  }

  TOwnerEntity model;
  TEntity graph;
  TEntity input;
};

TEST_F(PrepareLinesTest, LinesAreNumberedInListOrderOnceAndOtherChildrenGetNoNumber) {
  TPolyLineElement* a = Line({{0, 0}, {1, 0}});
  TPolyLineElement* b = Line({{0, 0}, {0, 1}});
  auto* point = new TPointElement;
  model.AddElement(point);
  a->ID = 0;  // a walk's done mark
  b->ID = 17;
  input.AddElement(point);
  input.AddElement(a);
  input.AddElement(b);
  input.AddElement(a);
  Prepare();
  EXPECT_EQ(a->ID, 1);
  EXPECT_EQ(b->ID, 2);
  EXPECT_EQ(point->ID, -1);
}

TEST_F(PrepareLinesTest, LinksNameTheBranchesBeforeAndAfterEachEndAndNothingStale) {
  // At the origin, in ascending angle: B leaves at pi/2, C arrives from the
  // left (pi), E leaves downwards (3 pi/2) and A leaves along +X (2 pi).
  TPolyLineElement* a = Line({{0, 0}, {1, 0}});
  TPolyLineElement* b = Line({{0, 0}, {0, 1}});
  TPolyLineElement* c = Line({{-1, 0}, {0, 0}});
  TPolyLineElement* e = Line({{0, 0}, {0, -1}});
  TPolyLineElement* d = Line({{5, 5}, {6, 6}});
  for (TPolyLineElement* line : {a, b, c, e}) Connect(line);
  // What a block reading left in the props, and a number E keeps from
  // elsewhere: neither may reach the records.
  static_cast<TLumarLineProps*>(d->Properties())->Links = Links({{99, 1}, {98, 1}, {97, 0}, {96, 1}});
  e->ID = 42;
  for (TPolyLineElement* line : {a, b, c, d}) input.AddElement(line);
  Prepare();

  const struct {
    const char* name;
    TPolyLineElement* line;
    TLineLinks links;  // start previous, end next, start next, end previous
  } cases[] = {
      {"A: E outside the export before it, B after it; alone at its end", a,
       Links({{0, 0}, {1, 0}, {2, 1}, {1, 0}})},
      {"B: A before it (wrapping), C after it; alone at its end", b, Links({{1, 1}, {2, 0}, {3, 0}, {2, 0}})},
      {"C: alone at its start; B before its end, E after it", c, Links({{3, 1}, {0, 0}, {3, 1}, {2, 1}})},
      {"D: no nodes", d, Links({})},
  };
  for (const auto& expected : cases) EXPECT_EQ(LinksOf(expected.line), expected.links) << expected.name;
  EXPECT_EQ(e->ID, 42);
}

}  // namespace

namespace {

// Lines of kind 4 in a line string, exported into the block T.BLK.
class ExportLinesTest : public ExportTest {
 protected:
  TPolyLineString* LineString(int count) {
    auto* lines = new TPolyLineString;
    model.AddElement(lines);
    for (int i = 0; i < count; ++i) lines->AddElement(Line(-1, {{double(i), 0}, {double(i), 1}}));
    return lines;
  }
  std::unique_ptr<TExportLinesToLumar> Tool(TElement* input, const std::string& block = "T.BLK") {
    std::unique_ptr<TExportLinesToLumar> tool(CreateElement<TExportLinesToLumar>());
    tool->SetInput(input);
    tool->SetBlockName(block.empty() ? "" : Block(block));
    return tool;
  }
  void Export(TElement* input, std::int32_t jedenDruh = 0) {
    auto tool = Tool(input);
    tool->JedenDruh = jedenDruh;
    tool->DoIt();
  }
  // Number and first vertex of each live line record.
  std::vector<std::pair<std::int32_t, std::int32_t>> Written() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> written;
    for (const TLineRecord& r : Lines())
      if (r.Flag == 0) written.emplace_back(r.Number, r.FirstVertex);
    return written;
  }
};

TEST_F(ExportLinesTest, LinesAreNumberedAndWrittenInListOrderAndOtherChildrenAreSkipped) {
  TPolyLineString* lines = LineString(5);
  auto* point = new TPointElement;
  lines->InsertElement(2, point);
  static_cast<TLumarLineProps*>(static_cast<TPolyLineElement*>(lines->GetElement(0))->Properties())->LeftArea = 9;
  Export(lines);
  EXPECT_THAT(Written(), ElementsAre(std::pair(1, 0), std::pair(2, 2), std::pair(3, 4), std::pair(4, 6),
                                     std::pair(5, 8)));
  EXPECT_EQ(Lines()[0].Encode(), TLineRecord::Dummy());
  for (const TLineRecord& r : Lines()) {
    if (r.Flag != 0) continue;
    EXPECT_EQ(r.Kind, 4) << r.Number;
    // No areas are written, whatever the props say.
    EXPECT_EQ(std::pair(r.LeftArea, r.RightArea), std::pair(0, 0)) << r.Number;
  }
  EXPECT_EQ(point->ID, -1);
  EXPECT_THAT(calls, ElementsAre("MaxValue=6", "Caption=Export linií do " + Block(), "Show", "Progress=0",
                                 "Progress=1", "Progress=2", "Progress=3", "Progress=4", "Progress=5"));
}

TEST_F(ExportLinesTest, OneKindForAllGoesIntoEveryRecordAndNamesTheAttributeWriter) {
  auto tool = Tool(LineString(2));
  tool->JedenDruh = 3;
  tool->ExportDBF = true;
  tool->DoIt();
  EXPECT_EQ(Lines()[1].Kind, 3);
  EXPECT_EQ(Lines()[2].Kind, 3);
  EXPECT_NE(tool->FindElementByName("L0003"), nullptr);
  EXPECT_EQ(tool->FindElementByName("L0004"), nullptr);
}

TEST_F(ExportLinesTest, ASecondExportStartsLinesAndVerticesAnewAndKeepsTheOtherFiles) {
  Export(LineString(3));
  const Bytes areas = FileContent(BlockFile(kAreaFileName));
  const Bytes text = FileContent(BlockFile(kTextFileName));
  Export(LineString(1));
  EXPECT_THAT(Written(), ElementsAre(std::pair(1, 0)));
  EXPECT_EQ(Lines()[0].Encode(), TLineRecord::Dummy());
  EXPECT_EQ(Coords().size(), 2u);
  EXPECT_EQ(FileContent(BlockFile(kAreaFileName)), areas);
  EXPECT_EQ(FileContent(BlockFile(kTextFileName)), text);
}

TEST_F(ExportLinesTest, ClosingTheFormStopsTheExportOnlyWhenTheQuestionIsConfirmed) {
  const struct {
    const char* name;
    bool answer;
    std::size_t written;
  } cases[] = {{"Cancel: the export goes on", false, 4}, {"OK: the lines written so far stay", true, 2}};
  for (const auto& c : cases) {
    answers = {c.answer};
    closeRequestAt = 1;
    Export(LineString(4));
    EXPECT_EQ(Written().size(), c.written) << c.name;
    EXPECT_THAT(calls, ::testing::Contains("ConfirmAbort=Přerušit export linií ?")) << c.name;
  }
}

TEST_F(ExportLinesTest, ALineThatDoesNotConvertFailsTheBlockWithOneErrorAndWholeLinesBeforeIt) {
  TPolyLineString* lines = LineString(3);
  static_cast<TPolyLineElement*>(lines->GetElement(1))->AddVertex(std::nan(""), 0);
  auto tool = Tool(lines);
  EXPECT_THROW(tool->DoIt(), EReal48Overflow);
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre(IncompleteBlockText(Block(), "Floating point overflow")));
}

TEST_F(ExportLinesTest, WithoutAnEntityOrABlockNameNothingIsMade) {
  T2DCoordinate point;
  Tool(&point)->DoIt();
  Tool(LineString(1), "")->DoIt();
  EXPECT_FALSE(platform::DirectoryExists(Block()));
  EXPECT_TRUE(calls.empty());
}

}  // namespace

namespace {

using Points = std::vector<std::pair<double, double>>;

// What the export writes, the block readers read back.
class ExportReadBackTest : public ExportLinesTest {
 protected:
  void SetUp() override {
    ExportLinesTest::SetUp();
    SetWorld(&world);
  }
  void TearDown() override {
    RunMessages();
    SetWorld(nullptr);
    ExportLinesTest::TearDown();
  }
  // Each line read back: its vertices and its links.
  std::vector<std::pair<Points, TLineLinks>> ReadBack() {
    auto reader = NewObjectReader<TLumarLinReader>(Block(), &wcs);
    std::vector<std::pair<Points, TLineLinks>> lines;
    for (std::int64_t i = 1; i < reader->GetRecordCount(); ++i) {
      TPolyLineElement* line = reader->ReadLineAt(i);
      if (!line) continue;
      Points points;
      for (int v = 0; v < line->GetCoordsCount(); ++v) points.emplace_back(line->GetCoordX(v), line->GetCoordY(v));
      lines.emplace_back(points, static_cast<TLumarLineProps*>(line->Properties())->Links);
    }
    return lines;
  }

  TWCSWorld world;
};

TEST_F(ExportReadBackTest, LinesComeBackWithTheirVerticesAndLinks) {
  auto* lines = new TPolyLineString;
  model.AddElement(lines);
  TPolyLineElement* a = Line(-1, {{10, 20}, {30, 20}, {30, 40}});
  TPolyLineElement* b = Line(-1, {{30, 40}, {50, 40}});
  lines->AddElement(a);
  lines->AddElement(b);
  TEntity graph;
  auto* shared = new TNode;
  graph.AddElement(shared);
  shared->AddLine(a, false);
  shared->AddLine(b, true);
  Export(lines);
  const auto back = ReadBack();
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].first, (Points{{10, 20}, {30, 20}, {30, 40}}));
  EXPECT_EQ(back[1].first, (Points{{30, 40}, {50, 40}}));
  // At the shared node each line has the other before and after it.
  EXPECT_EQ(back[0].second, Links({{0, 0}, {2, 1}, {0, 0}, {2, 1}}));
  EXPECT_EQ(back[1].second, Links({{1, 0}, {0, 0}, {1, 0}, {0, 0}}));
}

TEST_F(ExportReadBackTest, AfterAFailureTheBlockReadsAsTheLinesBeforeIt) {
  TPolyLineString* lines = LineString(3);
  static_cast<TPolyLineElement*>(lines->GetElement(2))->AddVertex(1e300, 0);
  EXPECT_THROW(Tool(lines)->DoIt(), EReal48Overflow);
  EXPECT_EQ(ReadBack().size(), 2u);
}

}  // namespace
