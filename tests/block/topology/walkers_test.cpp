#include "block/topology/walkers.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "block/block_classes.h"
#include "framework/core/class_registry.h"
#include "platform/gauge_form.h"
#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::Contains;
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

// The calls of a recorded gauge other than its progress values, and those.
std::vector<std::string> Steps(const RecordingGaugeForm& gauge) {
  std::vector<std::string> steps;
  for (const std::string& call : gauge.Calls)
    if (call.rfind("Progress=", 0) != 0) steps.push_back(call);
  return steps;
}
std::vector<std::string> Progress(const RecordingGaugeForm& gauge) {
  std::vector<std::string> values;
  for (const std::string& call : gauge.Calls)
    if (call.rfind("Progress=", 0) == 0) values.push_back(call.substr(9));
  return values;
}

class WalkersTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    RegisterBlockClasses();
    platform::SetGaugeFormFactory([] { return std::make_unique<RecordingGaugeForm>(); });
    MainTool = &log;
  }
  void TearDown() override {
    MainTool = nullptr;
    platform::SetGaugeFormFactory(nullptr);
    SpatialTest::TearDown();
  }
  static RecordingGaugeForm& GaugeOf(TProchazecObjektu& walker) {
    return static_cast<RecordingGaugeForm&>(walker.Gauge());
  }
  TPolyLineString* Lines(int count) {
    auto* lines = new TPolyLineString;
    for (int i = 0; i < count; ++i) lines->AddElement(NewLine(i, 0, i + 0.5, 1));
    model.AddElement(lines);
    return lines;
  }

  TLogLines log;
  TOwnerEntity model;
};

TEST_F(WalkersTest, ALineReachedTwiceIsCountedTwiceButCollectedOnceInWalkOrder) {
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

  THledacLinii searcher;
  searcher.SetInput(container);
  searcher.DoIt();
  EXPECT_EQ(searcher.Count, 4);
  auto* result = DynamicCast<TSpaceEntity>(searcher.Output());
  ASSERT_NE(result, nullptr);
  EXPECT_THAT(result->Children(), ElementsAre(first, shared, closing));
  ExpectBounds(*result, 0, 0, 1, 1);
  for (TPolyLineElement* line : {first, shared, closing}) EXPECT_TRUE(line->GetIsDone());

  // The next walk starts with every mark cleared, and collects again.
  THledacLinii again;
  auto* second = new TSpaceEntity;
  model.AddElement(second);
  again.SetOutput(second);
  again.SetInput(container);
  again.DoIt();
  EXPECT_EQ(again.Result(), second);
  EXPECT_THAT(second->Children(), ElementsAre(first, shared, closing));
}

TEST_F(WalkersTest, ASearcherWithoutOutputOwnsTheContainerItMakes) {
  Lines(3);
  auto searcher = std::make_unique<THledacLinii>();
  searcher->SetInput(&model);
  searcher->DoIt();
  TElement* result = searcher->Output();
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->ClassType(), TSpaceEntity::StaticClass());
  EXPECT_EQ(searcher->IndexOf(result), 0);
  EXPECT_EQ(static_cast<TEntity*>(result)->Children().size(), 3u);
  const TElementLink link(result);
  searcher.reset();
  EXPECT_EQ(link.Get(), nullptr);
  EXPECT_EQ(model.Children().size(), 1u);
}

TEST_F(WalkersTest, TheGaugeIsShownOnlyForMoreThanAHundredElementsWithTheCountAsMaximum) {
  struct Row {
    const char* name;
    bool areas;
    int count;
    std::vector<std::string> steps;
    std::size_t progressShown;
  } rows[] = {
      {"100 lines", false, 100, {"Caption=THledacLinii", "MaxValue=0", "Caption=THledacLinii", "Hide"}, 0},
      {"101 lines",
       false,
       101,
       {"Caption=THledacLinii", "MaxValue=0", "Caption=THledacLinii", "MaxValue=101", "Show", "Hide"},
       101},
      {"100 areas", true, 100, {"Caption=THledacPloch", "MaxValue=0", "Caption=THledacPloch", "Hide"}, 0},
      {"101 areas, every tenth shown",
       true,
       101,
       {"Caption=THledacPloch", "MaxValue=0", "Caption=THledacPloch", "MaxValue=101", "Show", "Hide"},
       10},
  };
  for (const Row& row : rows) {
    TSpaceEntity input;
    for (int i = 0; i < row.count; ++i) {
      if (row.areas) input.AddElement(NewArea(i, 0, false));
      else input.AddElement(NewLine(i, 0, i, 1));
    }
    std::unique_ptr<TProchazecObjektu> walker;
    if (row.areas) walker = std::make_unique<THledacPloch>();
    else walker = std::make_unique<THledacLinii>();
    walker->SetInput(&input);
    RecordingGaugeForm& gauge = GaugeOf(*walker);
    walker->DoIt();
    EXPECT_EQ(Steps(gauge), row.steps) << row.name;
    EXPECT_EQ(Progress(gauge).size(), row.progressShown) << row.name;
    if (row.progressShown > 0) {
      EXPECT_EQ(Progress(gauge).back(), row.areas ? "100" : "101") << row.name;
    }
    EXPECT_FALSE(gauge.Visible()) << row.name;
    EXPECT_EQ(walker->Count, row.count) << row.name;
  }
}

TEST_F(WalkersTest, SearchersKeepWhatMeetsTheRectangleAndAreasSkipHolesUnlessAsked) {
  TSpaceEntity input;
  TPolyLineElement* left = NewLine(0, 0, 2, 2);
  TPolyLineElement* right = NewLine(5, 5, 9, 9);
  TAreaElement* area = NewArea(0, 0, false);
  TAreaElement* hole = NewArea(0.2, 0.2, true);
  for (TElement* e : std::initializer_list<TElement*>{left, right, area, hole}) input.AddElement(e);

  struct Row {
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
  for (const Row& row : rows) {
    std::unique_ptr<TProchazecObjektu> searcher;
    if (row.areas) {
      auto areas = std::make_unique<THledacPloch>();
      areas->IncludeHoles = row.includeHoles;
      areas->MinX = row.rect.MinX, areas->MinY = row.rect.MinY, areas->MaxX = row.rect.MaxX, areas->MaxY = row.rect.MaxY;
      searcher = std::move(areas);
    } else {
      auto lines = std::make_unique<THledacLinii>();
      lines->MinX = row.rect.MinX, lines->MinY = row.rect.MinY, lines->MaxX = row.rect.MaxX, lines->MaxY = row.rect.MaxY;
      searcher = std::move(lines);
    }
    searcher->SetInput(&input);
    searcher->DoIt();
    auto* result = DynamicCast<TEntity>(searcher->Output());
    ASSERT_NE(result, nullptr) << row.name;
    EXPECT_EQ(result->ClassType(), row.areas ? TAreaString::StaticClass() : TSpaceEntity::StaticClass()) << row.name;
    EXPECT_THAT(result->Children(), ElementsAreArray(row.found)) << row.name;
    EXPECT_EQ(searcher->Count, row.count) << row.name;
  }
}

TEST_F(WalkersTest, AnAreaSearcherDoesNothingWithoutAnEntityInput) {
  THledacPloch searcher;
  T2DCoordinate point(1, 2);
  searcher.SetInput(&point);
  searcher.DoIt();
  EXPECT_EQ(searcher.Output(), nullptr);
  EXPECT_TRUE(searcher.IsEmpty());
}

TEST_F(WalkersTest, ReadingLinesFilesBothEndsOfEachLineOnceIntoANewIndex) {
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
  EXPECT_FALSE(tree->Last());
  EXPECT_EQ(reader.Count, 41);
  for (TElement* line : lines->Children()) EXPECT_TRUE(static_cast<TPolyLineElement*>(line)->GetIsDone());

  TProchazecListuQTreeGauge leaves;
  leaves.SetInput(tree);
  leaves.DoIt();
  EXPECT_EQ(leaves.Count, 4);
}

TEST_F(WalkersTest, ReadingLinesTakesTheBoundsOfTheFirstParameterAndNeedsValidOnes) {
  TPolyLineString* lines = Lines(2);
  lines->UpdateRect();
  auto* frame = new TRectEntity;
  frame->SetBounds({-100, -50, 100, 50});
  TRectEntity empty;
  struct Row {
    const char* name;
    TElement* input;
    TElement* parameter;
    bool made;
  } rows[] = {
      {"bounds of the parameter", lines, frame, true},
      {"no input", nullptr, nullptr, false},
      {"input without bounds", &empty, nullptr, false},
      {"input that is no rect entity", &model, nullptr, false},
  };
  for (const Row& row : rows) {
    TReadLinesIntoQTree reader;
    reader.SetInput(row.input);
    if (row.parameter) reader.AddParameter(row.parameter);
    reader.DoIt();
    std::unique_ptr<TElement> output(reader.Output());
    EXPECT_EQ(output != nullptr, row.made) << row.name;
    if (auto* tree = DynamicCast<TSpaceLineBegEndCell>(output.get())) ExpectBounds(*tree, -100, -50, 100, 50);
  }
}

// A line pass that asks before it stops, as the line export does.
class TAskingSearcher : public THledacLinii {
 public:
  TAskingSearcher() { AbortQuestion = "Přerušit export linií ?"; }
};

TEST_F(WalkersTest, ACloseRequestStopsTheWalkOnlyWhenTheQuestionIsConfirmed) {
  Lines(150);
  struct Row {
    const char* name;
    bool asks;
    bool answer;
    std::size_t collected;
  } rows[] = {
      {"confirmed", true, true, 50},
      {"cancelled", true, false, 150},
      {"a pass without a question", false, true, 150},
  };
  for (const Row& row : rows) {
    std::unique_ptr<THledacLinii> searcher =
        row.asks ? std::make_unique<TAskingSearcher>() : std::make_unique<THledacLinii>();
    RecordingGaugeForm& gauge = GaugeOf(*searcher);
    gauge.CloseRequestAt = 50;
    gauge.AbortAnswers = {row.answer};
    searcher->SetInput(&model);
    searcher->DoIt();
    EXPECT_EQ(static_cast<TEntity*>(searcher->Output())->Children().size(), row.collected) << row.name;
    EXPECT_EQ(searcher->StoppedByUser(), row.asks && row.answer) << row.name;
    const auto asked = std::count(gauge.Calls.begin(), gauge.Calls.end(), "ConfirmAbort=Přerušit export linií ?");
    EXPECT_EQ(asked, row.asks ? 1 : 0) << row.name;
    EXPECT_FALSE(gauge.DoCloseQuery()) << row.name;
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

TEST_F(WalkersTest, AWalkIsNotReenteredAndHoldsFrameworkMessagesUntilItEnds) {
  Lines(120);
  TReenteringWalker walker;
  walker.SetInput(&model);
  PostTextMessage(nullptr, msgLogText, "čeká", nullptr);
  walker.DoIt();
  EXPECT_EQ(walker.Count, 120);
  EXPECT_EQ(Progress(GaugeOf(walker)).size(), 120u);
  EXPECT_TRUE(log.Lines.empty());
  RunMessages();
  EXPECT_THAT(log.Lines, ElementsAre("čeká"));
}

TEST_F(WalkersTest, AFailingGaugeIsReportedAndTheWalkGoesOn) {
  struct TFailingGauge : RecordingGaugeForm {
    void SetProgress(int) override { throw std::runtime_error("gauge"); }
  };
  platform::SetGaugeFormFactory([] { return std::make_unique<TFailingGauge>(); });
  Lines(101);
  THledacLinii searcher;
  searcher.SetInput(&model);
  searcher.DoIt();
  EXPECT_EQ(static_cast<TEntity*>(searcher.Output())->Children().size(), 101u);
  ASSERT_EQ(dialogs.Messages.size(), 101u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Chyba v GaugeSet");
}

TEST_F(WalkersTest, WalkersAreMadeByNameAndCaptionTheirGaugeThroughTheProperty) {
  for (const char* name : {"TOznacLinie", "THledacPloch", "THledacLinii", "TReadLinesIntoQTree", "TProchazecListuQTree"}) {
    TClass cls = FindKestuClass(name);
    ASSERT_NE(cls, nullptr) << name;
    std::unique_ptr<TElement> made(NewElement(cls));
    auto* walker = DynamicCast<TProchazecObjektu>(made.get());
    ASSERT_NE(walker, nullptr) << name;
    walker->SetPropertyText("GaugeCaption", "Hledám");
    walker->SetPropertyText("Protocol", "protokol.txt");
    EXPECT_THAT(GaugeOf(*walker).Calls, Contains("Caption=Hledám")) << name;
  }
}

}  // namespace
