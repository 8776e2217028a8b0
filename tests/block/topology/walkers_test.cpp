#include "block/topology/walkers.h"

#include <stdexcept>

#include "platform/gauge_form.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;
using platform::RecordingGaugeForm;

TPolyLineElement* NewLine(double x0, double y0, double x1, double y1) {
  auto* line = new TPolyLineElement;
  line->AddVertex(x0, y0);
  line->AddVertex(x1, y1);
  line->CalcBounds();
  return line;
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
  EXPECT_EQ(Found(searcher).size(), 150u);
  ASSERT_EQ(dialogs.Messages.size(), 150u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Chyba v GaugeSet");
}

}  // namespace
