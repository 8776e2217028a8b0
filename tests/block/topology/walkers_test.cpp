#include "block/topology/walkers.h"

#include <stdexcept>

#include "platform/gauge_form.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using platform::RecordingGaugeForm;

TPolyLineElement* NewLine(double x0, double y0, double x1, double y1) {
  auto* line = new TPolyLineElement;
  line->AddVertex(x0, y0);
  line->AddVertex(x1, y1);
  line->CalcBounds();
  return line;
}

TAreaElement* NewArea(double x, double y, bool hole) {
  auto* area = new TAreaElement;
  for (auto [dx, dy] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}}) area->AddVertex(x + dx, y + dy);
  area->CalcBounds();
  area->IsHole = hole;
  return area;
}

// A line searcher within the rectangle (all zeros: everywhere), or an area
// searcher that takes holes when asked.
std::unique_ptr<TProchazecObjektu> Searcher(bool areas, const TRealRect& rect = {}, bool holes = false) {
  if (areas) {
    auto searcher = std::make_unique<THledacPloch>();
    searcher->IncludeHoles = holes;
    return searcher;
  }
  auto searcher = std::make_unique<THledacLinii>();
  auto& [minX, minY, maxX, maxY] = rect;
  std::tie(searcher->MinX, searcher->MinY, searcher->MaxX, searcher->MaxY) = std::tie(minX, minY, maxX, maxY);
  return searcher;
}

class WalkersTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<RecordingGaugeForm>(); });
    MainTool = &log;
  }
  void TearDown() override {
    MainTool = nullptr;
    platform::SetGaugeFormFactory(nullptr);
    BlockTest::TearDown();
  }
  static RecordingGaugeForm& GaugeOf(TProchazecObjektu& walker) {
    return static_cast<RecordingGaugeForm&>(walker.Gauge());
  }
  // The gauge's calls other than progress values (or those alone).
  static std::vector<std::string> Calls(TProchazecObjektu& walker, bool progress) {
    std::vector<std::string> calls;
    for (const std::string& call : GaugeOf(walker).Calls)
      if ((call.rfind("Progress=", 0) == 0) == progress) calls.push_back(progress ? call.substr(9) : call);
    return calls;
  }
  TPolyLineString* Lines(int count) {
    auto* lines = new TPolyLineString;
    for (int i = 0; i < count; ++i) lines->AddElement(NewLine(i, 0, i + 0.5, 1));
    model.AddElement(lines);
    return lines;
  }
  static std::vector<TElement*> Found(TProchazecObjektu& walker) {
    auto* result = DynamicCast<TEntity>(walker.Output());
    return result ? std::vector<TElement*>(result->Children().begin(), result->Children().end())
                  : std::vector<TElement*>{};
  }

  TLogLines log;
  TOwnerEntity model;
};

TEST_F(WalkersTest, ALineReachedTwiceIsCountedTwiceButCollectedOnceInWalkOrderEveryWalk) {
  auto* container = new TPolyLineString;
  model.AddElement(container);
  TPolyLineElement* first = NewLine(0, 0, 1, 0);
  TPolyLineElement* shared = NewLine(1, 0, 1, 1);
  TPolyLineElement* closing = NewLine(1, 1, 0, 0);
  auto* area = new TPolyLineAreaElement;
  container->AddElement(first);
  container->AddElement(area);
  area->AddLine(shared, true);
  area->AddLine(closing, true);
  container->AddElement(shared);
  for (int walk = 0; walk < 2; ++walk) {  // the next walk starts with every mark cleared
    THledacLinii searcher;
    searcher.SetInput(container);
    searcher.DoIt();
    EXPECT_EQ(searcher.Count, 4);
    EXPECT_THAT(Found(searcher), ElementsAre(first, shared, closing));
    ExpectBounds(*static_cast<TSpaceEntity*>(searcher.Output()), 0, 0, 1, 1);
    for (TPolyLineElement* line : {first, shared, closing}) EXPECT_TRUE(line->GetIsDone());
  }
}

TEST_F(WalkersTest, SearchersKeepWhatMeetsTheRectangleAndAreasSkipHolesUnlessAsked) {
  TSpaceEntity input;
  TPolyLineElement* left = NewLine(0, 0, 2, 2);
  TPolyLineElement* right = NewLine(5, 5, 9, 9);
  TAreaElement* area = NewArea(0, 0, false);
  TAreaElement* hole = NewArea(0.2, 0.2, true);
  for (TElement* e : std::initializer_list<TElement*>{left, right, area, hole}) input.AddElement(e);
  const struct {
    const char* name;
    bool areas, includeHoles;
    TRealRect rect;
    std::vector<TElement*> found;
    int count;
  } rows[] = {
      {"lines, no rectangle", false, false, {0, 0, 0, 0}, {left, right}, 2},
      {"lines touching at a corner", false, false, {2, 2, 3, 3}, {left}, 2},
      {"lines, rectangle meeting none", false, false, {3, 3, 4, 4}, {}, 2},
      {"areas without holes", true, false, {0, 0, 0, 0}, {area}, 1},
      {"areas with holes", true, true, {0, 0, 0, 0}, {area, hole}, 2},
  };
  for (const auto& row : rows) {
    auto searcher = Searcher(row.areas, row.rect, row.includeHoles);
    searcher->SetInput(&input);
    searcher->DoIt();
    ASSERT_NE(searcher->Output(), nullptr) << row.name;
    EXPECT_EQ(searcher->Output()->ClassType(), row.areas ? TAreaString::StaticClass() : TSpaceEntity::StaticClass());
    EXPECT_THAT(Found(*searcher), ElementsAreArray(row.found)) << row.name;
    EXPECT_EQ(searcher->Count, row.count) << row.name;
  }
  // An area searcher does nothing without an entity input.
  THledacPloch searcher;
  T2DCoordinate point(1, 2);
  searcher.SetInput(&point);
  searcher.DoIt();
  EXPECT_EQ(searcher.Output(), nullptr);
}

TEST_F(WalkersTest, TheGaugeIsShownOnlyForMoreThanAHundredElementsWithTheCountAsMaximum) {
  // Progress values shown: every one for lines, every tenth for areas.
  const std::tuple<bool, int, std::size_t, const char*> rows[] = {
      {false, 100, 0, ""}, {false, 101, 101, "101"}, {true, 100, 0, ""}, {true, 101, 10, "100"}};
  for (const auto& [areas, count, progressShown, last] : rows) {
    SCOPED_TRACE(std::to_string(count) + (areas ? " areas" : " lines"));
    TSpaceEntity input;
    for (int i = 0; i < count; ++i)
      input.AddElement(areas ? static_cast<TElement*>(NewArea(i, 0, false)) : NewLine(i, 0, i, 1));
    auto walker = Searcher(areas);
    walker->SetInput(&input);
    walker->DoIt();
    const std::vector<std::string> steps = Calls(*walker, false), progress = Calls(*walker, true);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "MaxValue=101"), progressShown ? 1 : 0);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "Show"), progressShown ? 1 : 0);
    EXPECT_EQ(steps.back(), "Hide");
    EXPECT_EQ(progress.size(), progressShown);
    EXPECT_EQ(progress.empty() ? "" : progress.back(), last);
    EXPECT_EQ(walker->Count, count);
  }
  THledacLinii named;
  named.SetPropertyText("GaugeCaption", "Hledám");
  EXPECT_THAT(GaugeOf(named).Calls, ::testing::Contains("Caption=Hledám"));
}

TEST_F(WalkersTest, ReadingLinesFilesBothEndsOfEachLineOnceIntoANewIndexOverValidBounds) {
  TPolyLineString* lines = Lines(40);
  lines->AddElement(lines->Children()[0]);  // reached twice, filed once
  lines->UpdateRect();
  TReadLinesIntoQTree reader;
  reader.SetInput(lines);
  reader.DoIt();
  std::unique_ptr<TElement> output(reader.Output());
  auto* tree = DynamicCast<TSpaceLineBegEndCell>(output.get());
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(reader.Tree(), tree);
  EXPECT_EQ(tree->GetName(), "QTREE");
  ExpectBounds(*tree, 0, 0, 39.5, 1);
  EXPECT_EQ(tree->GetEndsCount(), 80);
  EXPECT_EQ(reader.Count, 41);
  TProchazecListuQTreeGauge leaves;
  leaves.SetInput(tree);
  leaves.DoIt();
  EXPECT_EQ(leaves.Count, 4);

  auto* frame = new TRectEntity;
  frame->SetBounds({-100, -50, 100, 50});
  TRectEntity empty;
  const struct {
    const char* name;
    TElement *input, *parameter;
  } rows[] = {
      {"bounds of the parameter", lines, frame},
      {"no input", nullptr, nullptr},
      {"input without bounds", &empty, nullptr},
      {"input that is no rect entity", &model, nullptr},
  };
  for (const auto& row : rows) {
    TReadLinesIntoQTree bounded;
    bounded.SetInput(row.input);
    if (row.parameter) bounded.AddParameter(row.parameter);
    bounded.DoIt();
    std::unique_ptr<TElement> made(bounded.Output());
    EXPECT_EQ(made != nullptr, row.parameter != nullptr) << row.name;
    if (made) ExpectBounds(*static_cast<TSpaceLineBegEndCell*>(made.get()), -100, -50, 100, 50);
  }
}

// Runs itself again from inside its walk.
class TReenteringWalker : public TProchazecLiniiGauge {
 public:
  void Process(TElement* element) override {
    TProchazecLiniiGauge::Process(element);
    SetGaugeProgress(Count);
    if (Count == 1) DoIt();
  }
};

// A line pass that asks before it stops, as the line export does.
class TAskingSearcher : public THledacLinii {
 public:
  TAskingSearcher() { AbortQuestion = "Přerušit export linií ?"; }
};

TEST_F(WalkersTest, ACloseRequestStopsTheWalkOnlyWhenConfirmedAWalkIsNotReenteredHoldsMessagesAndOutlivesItsGauge) {
  Lines(150);
  const struct {
    const char* name;
    bool asks, answer;
    std::size_t collected;
  } rows[] = {
      {"confirmed", true, true, 50}, {"cancelled", true, false, 150}, {"a pass without a question", false, true, 150}};
  for (const auto& row : rows) {
    std::unique_ptr<THledacLinii> searcher =
        row.asks ? std::make_unique<TAskingSearcher>() : std::make_unique<THledacLinii>();
    RecordingGaugeForm& gauge = GaugeOf(*searcher);
    gauge.CloseRequestAt = 50;
    gauge.AbortAnswers = {row.answer};
    searcher->SetInput(&model);
    searcher->DoIt();
    EXPECT_EQ(Found(*searcher).size(), row.collected) << row.name;
    EXPECT_EQ(searcher->StoppedByUser(), row.asks && row.answer) << row.name;
    EXPECT_EQ(std::count(gauge.Calls.begin(), gauge.Calls.end(), "ConfirmAbort=Přerušit export linií ?"), row.asks)
        << row.name;
    EXPECT_FALSE(gauge.DoCloseQuery()) << row.name;
  }

  TReenteringWalker walker;
  walker.SetInput(&model);
  PostTextMessage(nullptr, msgLogText, "čeká", nullptr);
  walker.DoIt();
  EXPECT_EQ(walker.Count, 150);
  EXPECT_EQ(Calls(walker, true).size(), 150u);
  EXPECT_TRUE(log.Lines.empty());
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre("čeká"));

  struct TFailingGauge : RecordingGaugeForm {
    void SetProgress(int) override { throw std::runtime_error("gauge"); }
  };
  platform::SetGaugeFormFactory([] { return std::make_unique<TFailingGauge>(); });
  THledacLinii searcher;
  searcher.SetInput(&model);
  searcher.DoIt();
  EXPECT_EQ(Found(searcher).size(), 150u);
  ASSERT_EQ(dialogs.Messages.size(), 150u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Chyba v GaugeSet");
}

}  // namespace
