#include "block/export/line_export.h"

#include <deque>

#include "block/export/export_tools.h"
#include "block/reading/object_readers.h"
#include "block/tables/export_dbf.h"
#include "spatial/objects/registers.h"
#include "platform/gauge_form.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/block/writing/writing_fixture.h"
#include "tests/platform/file_size_limit.h"

namespace {

// The writing fixture with every progress form recorded: the calls of the
// last form freed, and the user's close request and answers for the next.
class ExportTest : public WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    platform::SetGaugeFormFactory([this] { return std::unique_ptr<platform::TF_gaugeForm>(new Recorded(*this)); });
  }
  void TearDown() override {
    platform::SetGaugeFormFactory(nullptr);
    WritingTest::TearDown();
  }

  std::deque<bool> answers;
  int closeRequestAt = -1;
  std::vector<std::string> calls;

 private:
  struct Recorded : platform::RecordingGaugeForm {
    explicit Recorded(ExportTest& test) : test(test) {
      AbortAnswers = test.answers;
      CloseRequestAt = test.closeRequestAt;
    }
    ~Recorded() override { test.calls = Calls; }
    ExportTest& test;
  };
};

using ::testing::ElementsAre;
using Points = std::vector<std::pair<double, double>>;

TLineLinks Links(std::initializer_list<TLineLink> links) {
  TLineLinks all{};
  std::copy(links.begin(), links.end(), all.begin());
  return all;
}

// Lines of kind 4 exported into the block T.BLK, with the nodes of their
// ends in a graph, and read back by the block's line reader.
class LineExportTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    SetWorld(&world);
  }
  void TearDown() override {
    RunMessages();
    SetWorld(nullptr);
    ExportTest::TearDown();
  }
  TPolyLineString* LineString(int count) {
    auto* lines = new TPolyLineString;
    model.AddElement(lines);
    for (int i = 0; i < count; ++i) lines->AddElement(Line(-1, {{double(i), 0}, {double(i), 1}}));
    return lines;
  }
  TNode* NodeAt(double x, double y) {
    for (TElement* child : graph.Children())
      if (auto* node = static_cast<TNode*>(child); node->GetX() == x && node->GetY() == y) return node;
    return Named<TNode>("", &graph);
  }
  static TLineLinks LinksOf(TPolyLineElement* line) { return static_cast<TLumarLineProps*>(line->Properties())->Links; }
  std::unique_ptr<TExportLinesToLumar> Tool(TElement* input, const std::string& block = "T.BLK") {
    std::unique_ptr<TExportLinesToLumar> tool(CreateElement<TExportLinesToLumar>());
    tool->SetInput(input);
    tool->SetBlockName(block.empty() ? "" : Block(block));
    return tool;
  }
  // Number and first vertex of each live line record.
  std::vector<std::pair<std::int32_t, std::int32_t>> Written() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> written;
    for (const TLineRecord& r : Lines())
      if (r.Flag == 0) written.emplace_back(r.Number, r.FirstVertex);
    return written;
  }
  // Each line read back: its vertices and its links.
  std::vector<std::pair<Points, TLineLinks>> ReadBack() {
    auto reader = NewObjectReader<TLumarLinReader>(Block(), &wcs);
    std::vector<std::pair<Points, TLineLinks>> lines;
    for (std::int64_t i = 1; i < reader->GetRecordCount(); ++i)
      if (TPolyLineElement* line = reader->ReadLineAt(i)) lines.emplace_back(VerticesOf(*line), LinksOf(line));
    return lines;
  }

  TWCSWorld world;
  TEntity graph;
};

TEST_F(LineExportTest, PreparingNumbersLinesInListOrderOnceAndLinksTheBranchesAroundEachEnd) {
  // At the origin, in ascending angle: B leaves at pi/2, C arrives from the
  // left (pi), E leaves downwards (3 pi/2) and A leaves along +X (2 pi).
  TPolyLineElement* a = Line(0, {{0, 0}, {1, 0}});  // 0: a walk's done mark
  TPolyLineElement* b = Line(17, {{0, 0}, {0, 1}});
  TPolyLineElement* c = Line(-1, {{-1, 0}, {0, 0}});
  TPolyLineElement* e = Line(42, {{0, 0}, {0, -1}});  // outside the export: keeps its number
  TPolyLineElement* d = Line(-1, {{5, 5}, {6, 6}});
  for (TPolyLineElement* line : {a, b, c, e})
    for (bool atBegin : {true, false}) {
      const T2DCoordinate* end = line->VertexAt(0, atBegin);
      NodeAt(end->GetX(), end->GetY())->AddLine(line, atBegin);
    }
  // What a block reading left in the props must not reach the records.
  static_cast<TLumarLineProps*>(d->Properties())->Links = Links({{99, 1}, {98, 1}, {97, 0}, {96, 1}});
  TEntity input;
  auto* point = Named<TPointElement>("", &model);
  for (TElement* child : std::initializer_list<TElement*>{point, a, b, c, a, d}) input.AddElement(child);
  TPrepareExportLinesToLumar prepare;
  prepare.SetInput(&input);
  prepare.DoIt();
  EXPECT_EQ(prepare.Output(), &input);
  EXPECT_EQ(std::vector<int>({point->ID, a->ID, b->ID, c->ID, d->ID, e->ID}), std::vector<int>({-1, 1, 2, 3, 4, 42}));
  const struct {
    const char* name;
    TPolyLineElement* line;
    TLineLinks links;  // start previous, end next, start next, end previous
  } cases[] = {
      {"A: E outside the export before it, B after it; alone at its end", a, Links({{0, 0}, {1, 0}, {2, 1}, {1, 0}})},
      {"B: A before it (wrapping), C after it; alone at its end", b, Links({{1, 1}, {2, 0}, {3, 0}, {2, 0}})},
      {"C: alone at its start; B before its end, E after it", c, Links({{3, 1}, {0, 0}, {3, 1}, {2, 1}})},
      {"D: no nodes", d, Links({})},
  };
  for (const auto& expected : cases) EXPECT_EQ(LinksOf(expected.line), expected.links) << expected.name;
}

TEST_F(LineExportTest, BothEndsFoundInOneLookAreTheNodesBranchesAndNeighboursASearchPerEndFinds) {
  TPolyLineElement* loop = Line(-1, {{0, 0}, {1, 1}, {0, 1}, {0, 0}});
  TPolyLineElement* apart = Line(-1, {{0, 0}, {3, 0}});
  TPolyLineElement* halfway = Line(-1, {{0, 0}, {0, -3}});
  TPolyLineElement* twice = Line(-1, {{5, 5}, {6, 5}});
  TPolyLineElement* loose = Line(-1, {{7, 7}, {8, 8}});
  for (TPolyLineElement* line : {loop, apart})
    for (bool atBegin : {true, false}) {
      const T2DCoordinate* end = line->VertexAt(0, atBegin);
      NodeAt(end->GetX(), end->GetY())->AddLine(line, atBegin);
    }
  NodeAt(0, 0)->AddLine(halfway, true);
  // Two nodes hold the same end: the first owner is the one found.
  NodeAt(5, 5)->AddLine(twice, true);
  Named<TNode>("", &graph)->AddLine(twice, true);
  const struct {
    const char* name;
    TPolyLineElement* line;
    bool begin;  // has a node at its beginning
    bool end;
  } rows[] = {
      {"a loop: both ends at one node", loop, true, true},   {"ends at two nodes", apart, true, true},
      {"a node at the beginning only", halfway, true, false}, {"one end held by two nodes", twice, true, false},
      {"no node", loose, false, false},
  };
  for (const auto& row : rows) {
    const TLineEnds ends = FindLineEnds(*row.line);
    for (bool atBegin : {true, false}) {
      TNode* node = nullptr;
      TNodeBranch* branch = nullptr;
      FindLineEndNode(row.line, atBegin, node, branch);
      const TLineEnd& found = ends[atBegin ? 0 : 1];
      EXPECT_EQ(std::pair(found.Node, found.Branch), std::pair(node, branch)) << row.name << ", begin " << atBegin;
      TNodeBranch* previous = node ? node->PrevBranch(branch) : nullptr;
      TNodeBranch* next = node ? node->NextBranch(branch) : nullptr;
      EXPECT_EQ(std::pair(found.Previous, found.Next), std::pair(previous, next)) << row.name << ", begin " << atBegin;
      EXPECT_EQ(found.Node != nullptr, atBegin ? row.begin : row.end) << row.name << ", begin " << atBegin;
    }
    EXPECT_EQ(HasBothEnds(ends), row.begin && row.end) << row.name;
  }
}

TEST_F(LineExportTest, LinesAreWrittenInListOrderWithoutAreasAndReadBackWithTheirVerticesAndLinks) {
  TPolyLineString* lines = LineString(3);
  lines->InsertElement(1, Named<TPointElement>("", &model));
  static_cast<TLumarLineProps*>(static_cast<TPolyLineElement*>(lines->GetElement(0))->Properties())->LeftArea = 9;
  TPolyLineElement* a = Line(-1, {{10, 20}, {30, 20}, {30, 40}});
  TPolyLineElement* b = Line(-1, {{30, 40}, {50, 40}});
  lines->AddElement(a);
  lines->AddElement(b);
  TNode* shared = NodeAt(30, 40);
  shared->AddLine(a, false);
  shared->AddLine(b, true);
  Tool(lines)->DoIt();
  EXPECT_THAT(Written(),
              ElementsAre(std::pair(1, 0), std::pair(2, 2), std::pair(3, 4), std::pair(4, 6), std::pair(5, 9)));
  EXPECT_EQ(Lines()[0].Encode(), TLineRecord::Dummy());
  for (const TLineRecord& r : Lines()) {  // no areas are written, whatever the props say
    if (r.Flag == 0) {
      EXPECT_EQ(std::tuple(r.Kind, r.LeftArea, r.RightArea), std::tuple(4, 0, 0)) << r.Number;
    }
  }
  const auto back = ReadBack();
  ASSERT_EQ(back.size(), 5u);
  EXPECT_EQ(back[3].first, (Points{{10, 20}, {30, 20}, {30, 40}}));
  EXPECT_EQ(back[4].first, (Points{{30, 40}, {50, 40}}));
  // At the shared node each line has the other before and after it.
  EXPECT_EQ(back[3].second, Links({{0, 0}, {5, 1}, {0, 0}, {5, 1}}));
  EXPECT_EQ(back[4].second, Links({{4, 0}, {0, 0}, {4, 0}, {0, 0}}));
}

class TDeliveryCounter : public TElement {
 public:
  void ReceiveMessage(TKestuMessage*& /*message*/, bool& handled) override {
    ++delivered;
    handled = true;
  }
  int delivered = 0;
};

// The loop lets the queued messages run after each line, so a message
// posted before the export is delivered during it.
TEST_F(LineExportTest, TheQueuedMessagesRunDuringTheExport) {
  TDeliveryCounter counter;
  counter.PostMessage(1, &counter, nullptr, false);
  Tool(LineString(2))->DoIt();
  EXPECT_EQ(counter.delivered, 1);
  EXPECT_EQ(Written().size(), 2u);
}

TEST_F(LineExportTest, ASecondExportStartsLinesAndVerticesAnewAndKeepsTheOtherFiles) {
  Tool(LineString(3))->DoIt();
  const Bytes areas = FileContent(BlockFile(kAreaFileName));
  const Bytes text = FileContent(BlockFile(kTextFileName));
  auto tool = Tool(LineString(1));
  tool->JedenDruh = 3;  // one kind for all: every record, and the attribute writer's name
  tool->ExportDBF = true;
  tool->DoIt();
  EXPECT_THAT(Written(), ElementsAre(std::pair(1, 0)));
  EXPECT_EQ(Lines()[0].Encode(), TLineRecord::Dummy());
  EXPECT_EQ(Lines()[1].Kind, 3);
  EXPECT_NE(tool->FindElementByName("L0003"), nullptr);
  EXPECT_EQ(tool->FindElementByName("L0004"), nullptr);
  EXPECT_EQ(Coords().size(), 2u);
  EXPECT_EQ(FileContent(BlockFile(kAreaFileName)), areas);
  EXPECT_EQ(FileContent(BlockFile(kTextFileName)), text);
}

// One kind for all lines counts from 1 up; attributes go to the writer of
// the kind written, and only an export with attributes files the line in
// the block's register, when asked to.
TEST_F(LineExportTest, OneKindForAllFromOneUpAndFilingInTheRegisterGoWithTheAttributes) {
  const struct {
    const char* name;
    int jedenDruh;
    bool exportDBF, registerObject;
    std::int16_t kind;
    const char* writer;
    bool filed;
  } rows[] = {
      {"each line its own kind", 0, true, false, 4, "L0004", false},
      {"one kind of 1, filed", 1, true, true, 1, "L0001", true},
      {"one kind of 2, not asked to file", 2, true, false, 2, "L0002", false},
      {"no attributes: not filed", 0, false, true, 4, nullptr, false},
  };
  for (const auto& row : rows) {
    TPolyLineString* lines = LineString(1);
    auto* line = static_cast<TPolyLineElement*>(lines->GetElement(0));
    static_cast<TLumarLineProps*>(line->Properties())->Cislo = 7;
    auto tool = Tool(lines);
    tool->JedenDruh = row.jedenDruh;
    tool->ExportDBF = row.exportDBF;
    tool->RegisterObject = row.registerObject;
    tool->DoIt();
    EXPECT_EQ(Lines().at(1).Kind, row.kind) << row.name;
    std::vector<std::string> writers;
    for (TElement* child : tool->Children())
      if (DynamicCast<TExportDBFClass>(child)) writers.push_back(child->GetName());
    EXPECT_EQ(writers, row.writer ? std::vector<std::string>{row.writer} : std::vector<std::string>{}) << row.name;
    auto* registry = DynamicCast<TRegister>(world.ObjectModel()->FindElementByClass(TRegister::StaticClass()));
    TBlockRegister* block = registry ? registry->FindBlockRegister(Block()) : nullptr;
    EXPECT_EQ(block && block->FindObject('L', 7) == line, row.filed) << row.name;
  }
}

// The handler of exported objects gets each object with the tool's dynamic
// values; without one nothing is called.
TEST_F(LineExportTest, TheExportHandlerGetsTheObjectWithTheDynamicValues) {
  struct Handler {
    std::vector<std::pair<TElement*, TDynamicProperties*>> calls;
    void Exported(TElement* element, TDynamicProperties* values) { calls.emplace_back(element, values); }
  };
  for (const bool assigned : {false, true}) {
    Handler handler;
    auto tool = Tool(LineString(1));
    if (assigned) tool->OnExportObject = ExportObjectHandler<Handler, &Handler::Exported>(&handler);
    TPolyLineElement* line = Line(1, {{0, 0}, {1, 1}});
    tool->DoExportObject(line);
    using Calls = std::vector<std::pair<TElement*, TDynamicProperties*>>;
    const Calls expected = assigned ? Calls{{line, tool->DynamicProps()}} : Calls{};
    EXPECT_EQ(handler.calls, expected) << "assigned " << assigned;
  }
}

// A file the new block cannot be written over is named in the block, both
// in the log and in the error the script gets: the user knows no folder the
// new files are written in before they take the block's place.
TEST_F(LineExportTest, AFileThatCannotBeWrittenIsNamedInTheBlock) {
  Tool(LineString(1))->DoIt();
  std::filesystem::remove(Block() + "/TN.CRD");
  std::filesystem::create_directory(Block() + "/TN.CRD");
  log.Lines.clear();
  std::string error = "no error";
  try {
    Tool(LineString(2))->DoIt();
  } catch (const platform::EFCreateError& raised) {
    error = raised.what();
  }
  RunMessages();
  EXPECT_EQ(error, "Cannot create file " + Block() + "/TN.CRD");
  EXPECT_THAT(log.Lines, ElementsAre(UnfinishedExportText(Block(), error)));
}

TEST_F(LineExportTest, ALineThatDoesNotConvertFailsTheBlockWithOneErrorAndLeavesTheEarlierBlock) {
  Tool(LineString(1))->DoIt();
  for (const double bad : {std::nan(""), 1e300}) {
    TPolyLineString* lines = LineString(3);
    static_cast<TPolyLineElement*>(lines->GetElement(2))->AddVertex(bad, 0);
    log.Lines.clear();
    EXPECT_THROW(Tool(lines)->DoIt(), EReal48Overflow);
    RunMessages();
    EXPECT_THAT(log.Lines, ElementsAre(UnfinishedExportText(Block(), "Floating point overflow")));
    EXPECT_EQ(ReadBack().size(), 1u);
  }
  // Without an entity or a block name nothing is made.
  std::filesystem::remove_all(Block());
  calls.clear();
  T2DCoordinate point;
  Tool(&point)->DoIt();
  Tool(LineString(1), "")->DoIt();
  EXPECT_FALSE(platform::DirectoryExists(Block()));
  EXPECT_TRUE(calls.empty());
}

// Points at (i, 10 (i + 1)) exported to a text file as ID and -Y.
class ExportToTextTest : public ExportTest {
 protected:
  std::string Export(int count, const std::string& fileName) {
    auto* points = Named<TPointString>("", &model);
    for (int i = 0; i < count; ++i)
      Named<TPointElement>("", points)->SetBounds({double(i), 10.0 * (i + 1), double(i), 10.0 * (i + 1)});
    std::unique_ptr<TElement> tool(CreateElementByClassName("TExportElementsToText"));
    SetTexts(*tool,
             {{"FileName", fileName.c_str()}, {"NextPropName", "ID"}, {"NextPropName", "-Y"}, {"Delimiter", ";"}});
    static_cast<TTool*>(tool.get())->SetInput(points);
    static_cast<TTool*>(tool.get())->DoIt();
    const Bytes written = FileContent(fileName);
    return {written.begin(), written.end()};
  }
};

TEST_F(ExportToTextTest, EachChildIsOneLineOfTheNamedPropertiesUntilTheUserConfirmsAStop) {
  const struct {
    const char* name;
    std::deque<bool> answers;
    int closeRequestAt;
    const char* text;
  } cases[] = {{"no request", {}, -1, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"cancelled: the export goes on", {false}, 0, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"confirmed: the export stops before the object", {true}, 0, "0;-10\r\n"}};
  for (const auto& c : cases) {
    answers = c.answers;
    closeRequestAt = c.closeRequestAt;
    EXPECT_EQ(Export(3, File("body.txt")), c.text) << c.name;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ConfirmAbort=Přerušit export bodů ?"), c.closeRequestAt + 1)
        << c.name;
  }
  // A file that cannot be made fails the export with its name, logged, and
  // nothing runs.
  calls.clear();
  const std::string missing = ErrorOf<platform::EStreamError>([&] { Export(2, File("missing/body.txt")); });
  EXPECT_THAT(missing, ::testing::HasSubstr("missing/body.txt"));
  EXPECT_TRUE(calls.empty());
  // A disk that takes only the first line: the loss fails the export with
  // the file's name, and the file stays as it was.
  closeRequestAt = -1;
  WriteCp1250File(File("full.txt"), "9;-90\r\n");  // an earlier export's
  std::string full;
  {
    const FileSizeLimit limit(7);  // "0;-10\r\n"
    full = ErrorOf<platform::EWriteError>([&] { Export(3, File("full.txt")); });
  }
  EXPECT_EQ(full, File("full.txt") + ": Stream write error");
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre(missing, full));
  const Bytes left = FileContent(File("full.txt"));
  EXPECT_EQ(std::string(left.begin(), left.end()), "9;-90\r\n");
  EXPECT_TRUE(Boxes().empty());
}

// An export's run is a tool's run: it sets the tool's run flag, also when
// there is nothing to export.
TEST_F(ExportTest, EveryExportToolSetsItsRunFlagAlsoWithoutInput) {
  for (const char* name : {"TPrepareExportLinesToLumar", "TExportLinesToLumar", "TExportElementsToText",
                           "TPrepareExportAreasToLumar", "TExportAreasToLumar",
                           "TExportAreasToLumarPropsFromAreaQTree", "TExportPointsToLumar", "TSaveAreasToBlok"}) {
    std::unique_ptr<TElement> element(CreateElementByClassName(name));
    auto* tool = DynamicCast<TTool>(element.get());
    ASSERT_NE(tool, nullptr) << name;
    tool->DoIt();
    EXPECT_TRUE(tool->RunFlag()) << name;
  }
}

}  // namespace

// The attribute table is complete for other readers once the export has
// run, while the tool that wrote it still holds it open.
TEST_F(LineExportTest, TheAttributeTableIsCompleteForOtherReadersAfterTheRun) {
  std::filesystem::create_directories(File("CTRL"));
  WriteCp1250File(File("CTRL/L0004.CRT"), "DRUH N 4 0\r\nCISLO N 6 0\r\n");
  auto tool = Tool(LineString(3));
  tool->ControlDir = File("CTRL");
  tool->ExportDBF = true;
  tool->DoIt();
  EXPECT_EQ(Rows(BlockFile("L0004.DBF")), (std::vector<std::vector<std::string>>{{"4", "1"}, {"4", "2"}, {"4", "3"}}));
}
