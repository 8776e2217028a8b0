#include "render/interprets/interpret.h"

#include <gmock/gmock.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "tests/render/render_fixture.h"

namespace {

using ::testing::ElementsAre;

// Draws by writing "<tag>:<name>" into a shared log.
class TProbeInterpret : public TInterpret {
 public:
  std::vector<std::string>* log = nullptr;
  std::string tag;
  std::string accepts;  // the one name it accepts; empty: every element
  std::string raisesOn;
  bool restartOnRaise = false;

  bool IsItsClass(TElement* element) override {
    return element && (accepts.empty() || element->GetName() == accepts);
  }
  void Process(TElement* element) override {
    if (!raisesOn.empty() && element->GetName() == raisesOn) {
      if (restartOnRaise) SetRestartRequest(true);
      throw EBreakInterpret("Konec intepretace");
    }
    if (log) log->push_back(tag + ":" + element->GetName());
    TInterpret::Process(element);
  }
  void BeforeRun() override {
    if (log) log->push_back(tag + ":before");
  }
  void AfterRun() override {
    if (log) log->push_back(tag + ":after");
  }
};

class InterpretTest : public RenderTest {
 protected:
  // A tree "root" with the children "a" and "b".
  void SetUp() override {
    RenderTest::SetUp();
    root.SetName("root");
    for (const char* name : {"a", "b"}) {
      auto* child = new TOwnerEntity();
      child->SetName(name);
      root.AddElement(child);
    }
  }
  TProbeInterpret* AddSub(TInterpret& to, const std::string& tag, const std::string& accepts) {
    auto* sub = new TProbeInterpret();
    sub->log = &log;
    sub->tag = tag;
    sub->accepts = accepts;
    sub->NotInside = true;
    to.SetNextSubInterpret(sub);
    return sub;
  }
  TOwnerEntity root;
  std::vector<std::string> log;
};

TEST_F(InterpretTest, EveryAcceptingSubInterpretDrawsAnElementInListOrder) {
  TInterpret top;
  AddSub(top, "first", "a");
  AddSub(top, "second", "");
  top.SetInput(&root);
  top.DoIt();
  EXPECT_THAT(log, ElementsAre("second:before", "second:root", "second:after", "first:before", "first:a",
                               "first:after", "second:before", "second:a", "second:after", "second:before",
                               "second:b", "second:after"));
  EXPECT_FALSE(top.Busy());
}

TEST_F(InterpretTest, ARedrawWhileBusyIsHandledButDrawsNothing) {
  TProbeInterpret top;
  top.log = &log;
  top.tag = "top";
  top.SetInput(&root);
  top.SetBusy(true);
  TKestuMessage review(msgReView, nullptr, &top, nullptr, false);
  TKestuMessage* message = &review;
  bool handled = false;
  top.ReceiveMessage(message, handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(log.empty());
}

TEST_F(InterpretTest, ARedrawOfOneElementDrawsOnlyItAndKeepsTheInput) {
  TProbeInterpret top;
  top.log = &log;
  top.tag = "top";
  top.NotInside = true;
  top.SetInput(&root);
  TKestuMessage review(msgReView, nullptr, &top, root.GetElement(1), false);
  TKestuMessage* message = &review;
  bool handled = false;
  top.ReceiveMessage(message, handled);
  EXPECT_TRUE(handled);
  EXPECT_THAT(log, ElementsAre("top:before", "top:b", "top:after"));
  EXPECT_EQ(top.Input(), &root);
}

TEST_F(InterpretTest, ABrokenWalkEndsQuietlyAndARequestedRestartRedrawsOnce) {
  struct Case {
    const char* name;
    bool restart;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"break", false, {"top:before", "top:root"}},
      {"restart", true, {"top:before", "top:root", "top:after", "top:before", "top:root", "top:a", "top:b", "top:after"}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    log.clear();
    TProbeInterpret top;
    top.log = &log;
    top.tag = "top";
    top.raisesOn = "a";
    top.restartOnRaise = row.restart;
    top.SetInput(&root);
    top.DoIt();
    EXPECT_FALSE(top.Busy());
    EXPECT_FALSE(top.BreakWork());
    top.raisesOn.clear();
    RunMessages();
    EXPECT_EQ(log, row.expected);
  }
}

TEST_F(InterpretTest, ATurnedViewWidensTheVisibleRectangle) {
  auto* device = new TNullDevice();
  device->Page()->PageRect = {0, 0, 400, 300};
  device->Page()->ClipRect = {0, 0, 400, 300};
  device->Page()->SetResolution(4000, 4000);
  device->Projection()->SetScale(1000);
  TRectInterpret plain;
  plain.AttachDevice(device);
  const double width = plain.MaxX - plain.MinX, height = plain.MaxY - plain.MinY;
  EXPECT_GT(width, 0);

  device->Projection()->SetAngle(std::numbers::pi / 6);
  TRectInterpret turned;
  turned.AttachDevice(device);
  EXPECT_LE(turned.MinX, plain.MinX);
  EXPECT_LE(turned.MinY, plain.MinY);
  EXPECT_GE(turned.MaxX, plain.MaxX);
  EXPECT_GE(turned.MaxY, plain.MaxY);
  EXPECT_GT((turned.MaxX - turned.MinX) * (turned.MaxY - turned.MinY), width * height);
  plain.DetachDevice();
  turned.DetachDevice();
  delete device;
}

class TWithSub : public TInterpret {
  KESTX_CLASS(TWithSub)
 public:
  void CreateSubInterprets() override { AddTool(new TInterpret()); }
};

TClass TWithSub::StaticClass() {
  static const TClassInfo info = DescribeClass<TWithSub>("TWithSub", TInterpret::StaticClass(), "test", {});
  return &info;
}

TEST_F(InterpretTest, TheVirtualConstructorMakesTheSubInterpretsAndBreaksReachThem) {
  std::unique_ptr<TWithSub> made(CreateElement<TWithSub>());
  ASSERT_EQ(made->ToolCount(), 1);
  made->SetBreakWork(true);
  EXPECT_TRUE(made->GetTool(0)->BreakWork());
  made->SetBreakWork(false);
  EXPECT_FALSE(made->GetTool(0)->BreakWork());
}

}  // namespace
