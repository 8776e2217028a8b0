#include "render/interprets/interpret.h"

#include <gmock/gmock.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/render/render_fixture.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using ::testing::ElementsAre;

// Draws by writing "<tag>:<name>" into a shared log.
class TProbeInterpret : public TInterpret {
 public:
  std::vector<std::string>* log = nullptr;
  std::string tag;
  std::string accepts;  // the one name it accepts; empty: what the base interpret accepts
  std::string raisesOn;
  bool restartOnRaise = false;
  std::string failsOn;  // raises a drawing failure there

  bool IsItsClass(TElement* element) override {
    return accepts.empty() ? TInterpret::IsItsClass(element) : element && element->GetName() == accepts;
  }
  void Process(TElement* element) override {
    if (!raisesOn.empty() && element->GetName() == raisesOn) {
      if (restartOnRaise) SetRestartRequest(true);
      throw EBreakInterpret("Konec intepretace");
    }
    if (!failsOn.empty() && element->GetName() == failsOn) throw std::runtime_error("kreslení selhalo: " + failsOn);
    log->push_back(tag + ":" + element->GetName());
    TInterpret::Process(element);
  }
  void BeforeRun() override { log->push_back(tag + ":before"); }
  void AfterRun() override { log->push_back(tag + ":after"); }
};

class InterpretTest : public RenderTest {
 protected:
  // A tree "root" with the children "a" and "b".
  void SetUp() override {
    RenderTest::SetUp();
    root.SetName("root");
    for (const char* name : {"a", "b"}) Named(name, &root);
  }
  std::unique_ptr<TProbeInterpret> Probe(const std::string& tag, const std::string& accepts, bool notInside) {
    auto probe = std::make_unique<TProbeInterpret>();
    probe->log = &log;
    probe->tag = tag;
    probe->accepts = accepts;
    probe->NotInside = notInside;
    probe->SetInput(&root);
    return probe;
  }
  TOwnerEntity root;
  std::vector<std::string> log;
};

// An interpret whose virtual constructor makes one sub-interpret.
class TWithSub : public TInterpret {
  KESTX_CLASS(TWithSub)
 public:
  void CreateSubInterprets() override { AddTool(new TInterpret()); }
};

TClass TWithSub::StaticClass() {
  static const TClassInfo info = DescribeClass<TWithSub>("TWithSub", TInterpret::StaticClass(), "test", {});
  return &info;
}

TEST_F(InterpretTest, EveryAcceptingSubInterpretDrawsAnElementInListOrderAndBreaksReachThem) {
  std::unique_ptr<TWithSub> top(CreateElement<TWithSub>());
  ASSERT_EQ(top->ToolCount(), 1) << "made by the virtual constructor";
  top->SetNextSubInterpret(Probe("first", "a", true).release());
  top->SetNextSubInterpret(Probe("second", "", true).release());
  top->SetInput(&root);
  top->DoIt();
  EXPECT_THAT(log, ElementsAre("second:before", "second:root", "second:after", "first:before", "first:a",
                               "first:after", "second:before", "second:a", "second:after", "second:before",
                               "second:b", "second:after"));
  EXPECT_FALSE(top->Busy());
  for (const bool value : {true, false}) {
    top->SetBreakWork(value);
    for (int i = 0; i < top->ToolCount(); ++i) EXPECT_EQ(top->GetTool(i)->BreakWork(), value) << i;
  }
}

TEST_F(InterpretTest, ARedrawOfOneElementDrawsOnlyItAndKeepsTheInputAndWhileBusyNothing) {
  for (const bool busy : {false, true}) {
    log.clear();
    auto top = Probe("top", "", true);
    top->SetBusy(busy);
    TKestuMessage review(msgReView, nullptr, top.get(), root.GetElement(1), false);
    TKestuMessage* message = &review;
    bool handled = false;
    top->ReceiveMessage(message, handled);
    EXPECT_TRUE(handled) << busy;
    EXPECT_EQ(Join(log), busy ? "" : "top:before top:b top:after");
    EXPECT_EQ(top->Input(), &root);
  }
}

// The tool's own codes come first: code 2 closes the interpret, which tells
// its owner by code 1.
TEST_F(InterpretTest, ACloseMessageClosesTheInterpretAsItDoesAnyTool) {
  TRecorder owner;
  auto* top = Probe("top", "", true).release();
  top->SetName("top");
  owner.AddElement(top);
  TKestuMessage close(msgClose, nullptr, top, nullptr, false);
  TKestuMessage* message = &close;
  bool handled = false;
  top->ReceiveMessage(message, handled);
  RunMessages();
  EXPECT_EQ(owner.Log(), std::to_string(msgToolClosed) + "<top");
}

TEST_F(InterpretTest, ABrokenWalkEndsQuietlyAndARequestedRestartRedrawsOnce) {
  const std::pair<bool, std::vector<std::string>> cases[] = {
      {false, {"top:before", "top:root"}},
      {true, {"top:before", "top:root", "top:after", "top:before", "top:root", "top:a", "top:b", "top:after"}},
  };
  for (const auto& [restart, expected] : cases) {
    log.clear();
    auto top = Probe("top", "", false);
    top->raisesOn = "a";
    top->restartOnRaise = restart;
    top->DoIt();
    EXPECT_FALSE(top->Busy());
    EXPECT_FALSE(top->BreakWork());
    top->raisesOn.clear();
    RunMessages();
    EXPECT_EQ(log, expected) << (restart ? "restart" : "break");
  }
}

// The visible rectangle of a device of 200 x 100 pixels at one unit a pixel
// about the origin is (-100, -50, 100, 50); turned, it grows by the corners
// turned back.
TEST_F(InterpretTest, TheVisibleRectangleGrowsByTheCornersOfATurnedView) {
  const double kRadianReach = 100 * std::sin(1.0) + 50 * std::cos(1.0);
  const double k30Across = 100 * std::cos(std::numbers::pi / 6) + 50 * std::sin(std::numbers::pi / 6);
  const double k30Up = 100 * std::sin(std::numbers::pi / 6) + 50 * std::cos(std::numbers::pi / 6);
  const struct {
    const char* name;
    double angle;
    std::array<double, 4> visible;  // MinX, MinY, MaxX, MaxY
  } rows[] = {
      {"not turned", 0, {-100, -50, 100, 50}},
      {"turned a right angle", std::numbers::pi / 2, {-100, -100, 100, 100}},
      // (100, 50) turned back by a radian reaches 100 sin 1 + 50 cos 1 up.
      {"turned a radian", 1, {-100, -kRadianReach, 100, kRadianReach}},
      // Turned back by 30 degrees, (100, -50) reaches 100 cos 30 + 50 sin 30
      // to the right and (100, 50) 100 sin 30 + 50 cos 30 up.
      {"turned 30 degrees: the other two corners reach further across",
       std::numbers::pi / 6,
       {-k30Across, -k30Up, k30Across, k30Up}},
  };
  for (const auto& row : rows) {
    auto device = std::make_unique<TNullDevice>();
    device->Page()->PageRect = {0, 0, 200, 100};
    device->Page()->SetResolution(1, 1);
    device->Projection()->Calculate({0, 0}, device->Page(), 1);
    device->Projection()->SetAngle(row.angle);
    TRectInterpret interpret;
    interpret.AttachDevice(device.get());
    const std::array<double, 4> visible{interpret.MinX, interpret.MinY, interpret.MaxX, interpret.MaxY};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(visible[i], row.visible[i], 1e-9) << row.name << " " << i;
    interpret.AttachDevice(nullptr);
  }
}

TEST_F(InterpretTest, AFailingDrawingIsLoggedOnceForTheOutermostWalkAndABreakNotAtAll) {
  TLogLines lines;
  MainTool = &lines;
  struct Case {
    const char* name;
    const char* firstFailsOn;
    const char* secondFailsOn;
    const char* breaksOn;
    std::vector<std::string> logged;
  };
  const Case cases[] = {
      {"two failing sub-interprets", "a", "b", "", {"kreslení selhalo: a"}},
      {"a break", "", "", "a", {}},
  };
  for (const Case& test : cases) {
    lines.Lines.clear();
    auto top = Probe("top", "", false);
    auto first = Probe("first", "a", true), second = Probe("second", "b", true);
    first->failsOn = test.firstFailsOn;
    second->failsOn = test.secondFailsOn;
    first->raisesOn = test.breaksOn;
    top->SetNextSubInterpret(first.release());
    top->SetNextSubInterpret(second.release());
    for (int walk = 0; walk < 2; ++walk) top->DoIt();
    RunMessages();
    std::vector<std::string> twice = test.logged;
    twice.insert(twice.end(), test.logged.begin(), test.logged.end());
    EXPECT_EQ(lines.Lines, twice) << test.name << ": once for each of two walks";
  }
}

}  // namespace
