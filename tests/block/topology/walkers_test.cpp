#include "block/topology/walkers.h"

#include <stdexcept>

#include "platform/gauge_form.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

using ::testing::ElementsAre;
using platform::RecordingGaugeForm;

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
  // The number of lines a walk collected.
  static int Found(TProchazecObjektu& walker) { return DynamicCast<TEntity>(walker.Output())->GetCount(); }

  TLogLines log;
  TOwnerEntity model;
};

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
  auto* lines = new TPolyLineString;
  model.AddElement(lines);
  for (int i = 0; i < 150; ++i) {
    auto* line = new TPolyLineElement;
    line->AddVertex(i, 0);
    lines->AddElement(line);
  }
  const struct {
    const char* name;
    bool asks, answer;
    int collected;
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
    EXPECT_EQ(Found(*searcher), row.collected) << row.name;
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
  const std::vector<std::string>& calls = GaugeOf(walker).Calls;
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Progress=", 0) == 0; }),
            150);
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
  EXPECT_EQ(Found(searcher), 150);
  ASSERT_EQ(dialogs.Messages.size(), 150u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Chyba v GaugeSet");
}

// The gauge is for long walks only: over a hundred elements it shows with
// the exact count as its end; areas move it every tenth area.
TEST_F(WalkersTest, TheGaugeShowsOnlyOverAHundredElementsWithTheirCount) {
  const struct {
    const char* name;
    bool areas;
    int count;
    std::vector<std::string> calls;  // the gauge's calls but captions and progress
  } rows[] = {
      {"100 lines", false, 100, {"MaxValue=0", "Hide"}},
      {"101 lines", false, 101, {"MaxValue=0", "MaxValue=101", "Show", "Hide"}},
      {"100 areas", true, 100, {"MaxValue=0", "Hide"}},
      {"101 areas", true, 101, {"MaxValue=0", "MaxValue=101", "Show", "Hide"}},
  };
  for (const auto& row : rows) {
    TOwnerEntity input;
    for (int i = 0; i < row.count; ++i) {
      if (row.areas) {
        input.AddElement(new TAreaElement);
      } else {
        input.AddElement(new TPolyLineElement);
      }
    }
    std::unique_ptr<TProchazecObjektu> walker;
    if (row.areas) {
      walker = std::make_unique<THledacPloch>();
    } else {
      walker = std::make_unique<THledacLinii>();
    }
    RecordingGaugeForm& gauge = GaugeOf(*walker);
    walker->SetInput(&input);
    walker->DoIt();
    EXPECT_EQ(Found(*walker), row.count) << row.name;
    std::vector<std::string> calls;
    for (const std::string& call : gauge.Calls)
      if (call.rfind("Caption=", 0) != 0 && call.rfind("Progress=", 0) != 0) calls.push_back(call);
    EXPECT_EQ(calls, row.calls) << row.name;
    const auto progress = std::count_if(gauge.Calls.begin(), gauge.Calls.end(),
                                        [](const std::string& c) { return c.rfind("Progress=", 0) == 0; });
    EXPECT_EQ(progress, row.count <= 100 ? 0 : row.areas ? row.count / 10 : row.count) << row.name;
  }
}

// Holes are areas of their own, collected only when asked for.
TEST_F(WalkersTest, TheAreaSearcherTakesHolesOnlyWhenAskedTo) {
  auto* areas = new TAreaString;
  model.AddElement(areas);
  for (bool hole : {false, true, false, true, true}) {
    auto* area = new TAreaElement;
    area->IsHole = hole;
    areas->AddElement(area);
  }
  for (const auto& [includeHoles, found] : {std::pair{false, 2}, {true, 5}}) {
    THledacPloch searcher;
    searcher.IncludeHoles = includeHoles;
    searcher.SetInput(&model);
    searcher.DoIt();
    EXPECT_EQ(Found(searcher), found) << "IncludeHoles " << includeHoles;
    EXPECT_EQ(searcher.Count, found) << "IncludeHoles " << includeHoles;
  }
}

}  // namespace

namespace {

// Each walker is a recursor of its family; the gauge's caption and the
// protocol name are set by name.
TEST_F(WalkersTest, EachWalkerStandsInItsFamily) {
  EXPECT_EQ(MisplacedClasses({
                {&TProchazecObjektu::StaticClass, "TProchazecObjektu", &TRecursor::StaticClass,
                 {"GaugeCaption", "Protocol"}},
                {&TProchazecLinii::StaticClass, "TProchazecLinii", &TProchazecObjektu::StaticClass, {"GaugeCaption"}},
                {&TOznacLinie::StaticClass, "TOznacLinie", &TProchazecLinii::StaticClass, {}},
                {&TProchazecLiniiGauge::StaticClass, "TProchazecLiniiGauge", &TProchazecLinii::StaticClass, {}},
                {&THledacLinii::StaticClass, "THledacLinii", &TProchazecLiniiGauge::StaticClass, {}},
                {&TReadLinesIntoQTree::StaticClass, "TReadLinesIntoQTree", &TProchazecLiniiGauge::StaticClass, {}},
                {&TProchazecPloch::StaticClass, "TProchazecPloch", &TProchazecObjektu::StaticClass, {"GaugeCaption"}},
                {&TOznacPlochy::StaticClass, "TOznacPlochy", &TProchazecPloch::StaticClass, {}},
                {&TProchazecPlochGauge::StaticClass, "TProchazecPlochGauge", &TProchazecPloch::StaticClass, {}},
                {&THledacPloch::StaticClass, "THledacPloch", &TProchazecPlochGauge::StaticClass, {"IncludeHoles"}},
                {&TProchazecListuQTree::StaticClass, "TProchazecListuQTree", &TProchazecObjektu::StaticClass,
                 {"GaugeCaption"}},
                {&TProchazecListuQTreeGauge::StaticClass, "TProchazecListuQTreeGauge",
                 &TProchazecListuQTree::StaticClass, {}},
            }),
            "");
}

}  // namespace
