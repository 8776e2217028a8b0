#include "render/interprets/universal_interpret.h"

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "render/devices/tile_device.h"
#include "render/interprets/interpret_layers.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/interpret_timers.h"
#include "tests/render/drawing_fixture.h"

namespace {

// Logs "<tag>:<name>" for every element it draws, frames rect entities on
// the device, and answers QGoInsideAfter as told.
class TLoggingInterpret : public TInterpret {
 public:
  std::vector<std::string>* log = nullptr;
  std::string tag;
  bool goInsideAfter = false;
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override {
    log->push_back(tag + ":" + element->GetName());
    if (auto* rect = DynamicCast<TRectEntity>(element); rect && Device() && Device()->GetBrush()) {
      Device()->GetBrush()->Color = 0;
      Device()->FillRect(rect->GetMinX(), rect->GetMinY(), rect->GetMaxX(), rect->GetMaxY());
    }
  }
  bool QGoInsideAfter(TElement*) override { return goInsideAfter; }
};

// Records the progress texts and the codes that reach it as the main tool.
class TRecordingTool : public TOwnerEntity {
 public:
  std::vector<std::string> texts;
  // The caption of each progress display started, and the displays ended.
  std::vector<std::string> starts;
  int ends = 0;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgProgressText)
      texts.push_back(text->Text);
    if (auto* progress = DynamicCast<TProgressMessage>(message); progress && progress->Message == msgProgressStart)
      starts.push_back(progress->ProcessName);
    ends += message->Message == msgProgressEnd;
    handled = true;
  }
};

// Fills each area it gets in black, without an outline, through the
// device's area drawing, which clips to the page's clip rectangle.
class TAreaFillingInterpret : public TInterpret {
 public:
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override {
    auto* area = DynamicCast<TAreaElement>(element);
    if (!area || !Device()) return;
    Device()->SetBrush({0, platform::BrushStyle::Solid});
    Device()->SetPen({0, 1, platform::PenStyle::Clear, platform::PenMode::Copy});
    Device()->DrawArea(area);
  }
};

class UniversalInterpretTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    MainTool = &tool;
    model.SetName("model");
    universal = std::make_unique<TUniversalInterpret>();
    universal->SetScript(new TInterpretScript);
    universal->SetInput(&model);
    device = MakeBitmapDevice(100, 100);
  }
  void TearDown() override {
    platform::SetTickSource(nullptr);
    // The devices are the test's.
    universal->DetachDevice();
    universal.reset();
    RenderTest::TearDown();
  }
  // A square at (x, y) of side 10 named name, in parent (the model when nil).
  TRectEntity* Square(const std::string& name, double x, double y, TEntity* parent = nullptr) {
    auto* square = Named<TPolyLineElement>(name, parent ? parent : &model);
    square->SetBounds({x, y, x + 10, y + 10});
    return square;
  }
  // A logging interpret for the class in the current pass of the script.
  TLoggingInterpret* Bind(const std::string& cls, const std::string& tag, bool goInsideAfter = false) {
    TInterpretScript& script = *universal->Script();
    script.SetPropertyText("FindClassName", cls);
    if (!script.ActualItem() || script.ActualItem() == &script ||
        static_cast<TISClass*>(script.ActualItem())->ElementClassName() != cls)
      script.SetPropertyText("NewClassName", cls);
    auto* interpret = new TLoggingInterpret;
    interpret->log = &log;
    interpret->tag = tag;
    interpret->goInsideAfter = goInsideAfter;
    script.SetActualInterpret(interpret);
    return interpret;
  }
  void Draw() {
    universal->AttachDevice(device.get());
    universal->DoIt();
  }

  TRecordingTool tool;
  TOwnerEntity model;
  std::unique_ptr<TUniversalInterpret> universal;
  std::unique_ptr<TBitmapDevice> device;
  std::vector<std::string> log;
};

TEST_F(UniversalInterpretTest, AnElementDrawnIsEnteredOnlyWhenItsInterpretSaysSoAndOneNotDrawnIsEntered) {
  const std::pair<bool, const char*> cases[] = {{false, "line:outer"}, {true, "line:outer line:inner"}};
  for (const auto& [goInside, expected] : cases) {
    log.clear();
    model.Clear();
    auto* group = Named<TOwnerEntity>("group", &model);
    Square("inner", 0, 0, Square("outer", 0, 0, group));
    Bind("TPolyLineElement", "line", goInside);
    Draw();
    EXPECT_EQ(Join(log), expected) << "the group, drawn by nothing, was entered";
    universal->Script()->SetPassesCount(0);
  }
}

// Counts the walks finished that reach it as an owner.
class TFinishedCounter : public TOwnerEntity {
 public:
  int finished = 0;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    finished += message->Message == msgFinished;
    handled = true;
  }
};

TEST_F(UniversalInterpretTest, EachPassDrawsTheModelWithItsOwnNodesAndReportsItsEnd) {
  Square("a", 0, 0);
  universal->Script()->SetPassesCount(2);
  universal->Script()->SetPass(0);
  Bind("TPolyLineElement", "first");
  universal->Script()->SetPass(1);
  Bind("TRectEntity", "second");
  TFinishedCounter owner;
  owner.AddElement(universal.get());
  Draw();
  RunMessages();
  owner.RemoveElement(universal.get());
  EXPECT_EQ(Join(log), "first:a second:a");
  EXPECT_EQ(owner.finished, 2) << "one message 3 after each walk";
  universal->Script()->SetPassesCount(0);
  log.clear();
  Draw();
  EXPECT_EQ(Join(log), "") << "a script without passes draws nothing";
}

TEST_F(UniversalInterpretTest, LayersAreShownWithinTheirScaleRangeUnlessSwitchedOff) {
  struct Case {
    const char* name;
    double min, max, scale;
    bool off, shown;
  };
  const Case cases[] = {
      {"at the least scale", 1000, 0, 1000, false, false}, {"above the least scale", 1000, 0, 1001, false, true},
      {"below the greatest scale", 0, 5000, 4999, false, true}, {"at the greatest scale", 0, 5000, 5000, false, false},
      {"no bounds", 0, 0, 1e9, false, true},
  };
  for (const Case& test : cases) {
    TInterpretLayer layer;
    layer.MinScaleNumber = test.min;
    layer.MaxScaleNumber = test.max;
    layer.SwitchedOff = test.off;
    EXPECT_EQ(layer.VisibleAt(test.scale), test.shown) << test.name;
  }
}

TEST_F(UniversalInterpretTest, ALayerDrawsItsClassWithItsOwnInterpretAndASwitchedOffOneNothing) {
  for (const bool off : {false, true}) {
    log.clear();
    model.Clear();
    auto* layer = Named<TInterpretLayer>("layer", &model);
    layer->SetLayerClassName("PolyLineElement");
    layer->SwitchedOff = off;
    auto* own = new TLoggingInterpret;
    own->log = &log;
    own->tag = "layer";
    layer->SetInterpret(own);
    layer->SetInterpret(own);
    Square("a", 0, 0, layer);
    Named<TOwnerEntity>("b", layer);
    Bind("TPolyLineElement", "script");
    Draw();
    EXPECT_EQ(Join(log), off ? "" : "layer:a") << (off ? "switched off" : "shown");
    EXPECT_EQ(own->Device(), nullptr) << "the walk left the layer: its interpret lets the device go";
    EXPECT_EQ(layer->Interpret(), own) << "set again, it stays";
    layer->SetInterpretName("TSMO_Interpret");
    TInterpret* named = layer->Interpret();
    layer->SetInterpretName("tsmo_interpret");
    EXPECT_EQ(std::tuple(named ? named->ClassName() : "", layer->Interpret() == named),
              std::tuple(std::string("TSMO_Interpret"), true))
        << "a name of the interpret held keeps it";
    layer->SetInterpretName("TRectEntity");
    EXPECT_EQ(layer->Interpret(), nullptr) << "no interpret of a class that is none";
    EXPECT_FALSE(universal->InterpretByLayer);
    universal->Script()->SetPassesCount(0);
  }
}

// Only a layer with both an interpret and a class draws by its own
// interpret; inside any other the script draws as outside layers.
TEST_F(UniversalInterpretTest, ALayerWithoutItsInterpretOrItsClassLeavesItsElementsToTheScript) {
  struct Case {
    const char* name;
    bool withInterpret;
    const char* layerClass;
  };
  const Case cases[] = {{"an interpret without a class", true, ""},
                        {"a class without an interpret", false, "PolyLineElement"}};
  for (const Case& test : cases) {
    log.clear();
    model.Clear();
    auto* layer = Named<TInterpretLayer>("layer", &model);
    layer->SetLayerClassName(test.layerClass);
    if (test.withInterpret) {
      auto* own = new TLoggingInterpret;
      own->log = &log;
      own->tag = "layer";
      layer->SetInterpret(own);
    }
    Square("a", 0, 0, layer);
    Bind("TPolyLineElement", "script");
    Draw();
    EXPECT_EQ(Join(log), "script:a") << test.name;
    EXPECT_FALSE(universal->InterpretByLayer) << test.name;
    universal->Script()->SetPassesCount(0);
  }
}

TEST_F(UniversalInterpretTest, ABreakEndsTheWalkAtTheNextAlarmAndARestartDrawsAgain) {
  static std::uint64_t now;
  now = 0;
  platform::SetTickSource([] { return now += 100; });
  for (const char* name : {"a", "b", "c", "d", "e"}) Square(name, 0, 0);
  Bind("TPolyLineElement", "line");
  universal->AttachDevice(device.get());
  universal->SetBreakWork(true);
  universal->DoIt();
  EXPECT_EQ(Join(log), "line:a line:b") << "the alarm after 200 ms breaks before the third";
  EXPECT_FALSE(universal->BreakWork());

  log.clear();
  universal->SetRestartRequest(true);
  universal->DoIt();
  RunMessages();
  EXPECT_EQ(Join(log), "line:a line:b line:a line:b line:c line:d line:e") << "restarted by message 31";
  universal->SetScript(universal->Script());
  EXPECT_NE(universal->Script(), nullptr) << "the script set again stays";
}

// A break or its end reaches the interpret drawing for the universal one at
// the moment, though it is none of its sub-interprets.
TEST_F(UniversalInterpretTest, ABreakReachesTheInterpretRunningForIt) {
  TInterpret running;
  universal->SetInterpret(&running);
  for (const bool value : {true, false}) {
    universal->SetBreakWork(value);
    EXPECT_EQ(running.BreakWork(), value) << value;
  }
  universal->SetInterpret(nullptr);
}

TEST_F(UniversalInterpretTest, Message32RedrawsOnlyTheMarginOfItsElement) {
  Square("a", 10, 10);
  Square("b", 60, 60);
  Bind("TPolyLineElement", "line");
  universal->AttachDevice(device.get());
  device->GetBrush()->Color = 0x00FF00;
  device->FillRect(0, 0, 100, 100);
  auto* point = Named<TPointElement>("p", &model);
  point->SetBounds({65, 65, 65, 65});
  TKestuMessage* message = new TKestuMessage(msgReViewArea, nullptr, universal.get(), point, false);
  bool handled = false;
  universal->ReceiveMessage(message, handled);
  delete message;
  EXPECT_TRUE(handled);
  // The margin (55..75) is cleared and "b" (60..70) drawn in it; the rest stays green.
  EXPECT_EQ(PixelsBreaking(*device->Canvas(),
                           [](int x, int y) {
                             const bool margin = x >= 55 && x < 75 && y >= 25 && y < 45;
                             return !margin || (x >= 60 && x < 70 && y >= 30 && y < 40);
                           }),
            "");
  EXPECT_EQ(device->Canvas()->Pixel(62, 32), 0u);
  EXPECT_FALSE(device->Page()->ClipActive);
}

// Message 32 draws within a clip rectangle about its element; the whole page
// is the clip rectangle again afterwards, so that a later redraw of the
// whole picture draws areas outside the old margin too.  Squares of side
// 10 at (10, 10) and (60, 60); the margin about the point (65, 65) is 55..75.
TEST_F(UniversalInterpretTest, AfterMessage32TheWholePageIsDrawnAgain) {
  for (const double corner : {10.0, 60.0})
    WithVertices(Named<TAreaElement>("area", &model),
                 {{corner, corner}, {corner, corner + 10}, {corner + 10, corner + 10}, {corner + 10, corner}});
  TInterpretScript& script = *universal->Script();
  script.SetPropertyText("NewClassName", "TAreaElement");
  script.SetActualInterpret(new TAreaFillingInterpret);
  universal->AttachDevice(device.get());
  auto* point = Named<TPointElement>("p", &model);
  point->SetBounds({65, 65, 65, 65});
  for (const bool area : {true, false}) {
    TKestuMessage* message =
        new TKestuMessage(area ? msgReViewArea : msgReView, nullptr, universal.get(), area ? point : nullptr, false);
    bool handled = false;
    universal->ReceiveMessage(message, handled);
    delete message;
  }
  const TDeviceRect clip = device->Page()->ClipRect, page = device->Page()->PageRect;
  EXPECT_EQ(std::tuple(clip.Left, clip.Top, clip.Right, clip.Bottom),
            std::tuple(page.Left, page.Top, page.Right, page.Bottom));
  // Each square covers the pixels whose centres lie inside it: rows 100 - y.
  EXPECT_EQ(PixelsBreaking(*device->Canvas(),
                           [](int x, int y) {
                             return CentreInside(x, y, 10, 80, 20, 90) || CentreInside(x, y, 60, 30, 70, 40);
                           }),
            "");
}

TEST_F(UniversalInterpretTest, ARedrawWhileBusyLeavesThePageAlone) {
  universal->AttachDevice(device.get());
  device->GetBrush()->Color = 0x00FF00;
  device->FillRect(0, 0, 100, 100);
  universal->SetBusy(true);
  auto* point = Named<TPointElement>("p", &model);
  point->SetBounds({50, 50, 50, 50});
  for (const int code : {msgReView, msgReViewArea}) {
    TKestuMessage* message = new TKestuMessage(code, nullptr, universal.get(), code == msgReView ? nullptr : point, false);
    bool handled = false;
    universal->ReceiveMessage(message, handled);
    delete message;
    EXPECT_TRUE(handled) << code;
    EXPECT_EQ(device->Canvas()->Pixel(50, 50), 0x00FF00u) << code;
    EXPECT_FALSE(device->Page()->ClipActive) << code;
  }
  universal->SetBusy(false);
  TKestuMessage* notAnArea = new TKestuMessage(msgReViewArea, nullptr, universal.get(), &model, false);
  bool handled = false;
  universal->ReceiveMessage(notAnArea, handled);
  delete notAnArea;
  EXPECT_FALSE(handled) << "message 32 without a rect entity";
}

TEST_F(UniversalInterpretTest, TiledDrawingShowsItsProgressAndGivesThePictureBack) {
  Square("a", 20, 20);
  Bind("TPolyLineElement", "line");
  auto whole = MakeBitmapDevice(100, 100);
  universal->AttachDevice(whole.get());
  universal->DoIt();
  log.clear();
  universal->Tile = true;
  universal->AttachDevice(device.get());
  platform::Bitmap::FailNextCreations(2);
  universal->DoIt();
  RunMessages();
  EXPECT_EQ(Join(tool.texts, "|"),
            "Inicializace....|Interpretace 1. dlaždice z 4|Interpretace 2. dlaždice z 4|"
            "Interpretace 3. dlaždice z 4|Interpretace 4. dlaždice z 4");
  EXPECT_EQ(std::tuple(Join(tool.starts, "|"), tool.ends), std::tuple(std::string("Interpretace Bitmapových Dlaždic"), 1))
      << "one progress display, under its caption";
  EXPECT_EQ(Join(log), "line:a line:a line:a line:a") << "the walk runs once a band";
  EXPECT_EQ(universal->Device(), device.get());
  EXPECT_EQ(PixelsBreaking(*device->Canvas(), [&](int x, int y) { return whole->Canvas()->Pixel(x, y) != 0xFFFFFF; }),
            "");
}

TEST_F(UniversalInterpretTest, AContainerGrowsByTheRectEntitiesAddedToIt) {
  TInterpretContainer container;
  container.AddElement(Square("a", 10, 20));
  container.AddElement(Named<TOwnerEntity>("plain"));
  container.AddElement(Square("b", -5, 40));
  EXPECT_EQ(std::tuple(container.GetMinX(), container.GetMinY(), container.GetMaxX(), container.GetMaxY(),
                       container.GetCount()),
            std::tuple(-5.0, 20.0, 20.0, 50.0, 3));
}

TEST(TickElementTest, AnAlarmComesOnceMoreThanTheIntervalHasPassedOnA64BitClock) {
  struct Case {
    const char* name;
    std::uint64_t reset, now;
    bool pause, alarm;
  };
  const std::uint64_t wrap = std::uint64_t{1} << 32;
  const Case cases[] = {
      {"exactly the interval", 1000, 1200, false, false}, {"past the interval", 1000, 1201, false, true},
      {"paused", 1000, 5000, true, false}, {"across 2^32 ms", wrap - 100, wrap + 150, false, true},
      {"just before 2^32 ms", wrap - 300, wrap - 150, false, false},
  };
  for (const Case& test : cases) {
    static std::uint64_t clock;
    platform::SetTickSource([] { return clock; });
    TTickElement timer;
    timer.Interval = 200;
    clock = test.reset;
    timer.Reset();
    timer.Pause = test.pause;
    clock = test.now;
    EXPECT_EQ(timer.Alarm(), test.alarm) << test.name;
  }
  platform::SetTickSource(nullptr);
}

TEST(TimeElementTest, IntervalsAreReadRightAlignedAndBadOnesRaise) {
  struct Case {
    const char* text;
    const char* interval;  // or the error's text
  };
  const Case cases[] = {
      {"1:30", "0:1:30.0"}, {"2.500", "0:0:2.500"}, {"1:2:3:4", "2:3:4.0"}, {"23:59:59.999", "23:59:59.999"},
      {"x", "'x' is not a valid integer value"}, {"24:0:0", "Invalid argument to time encode"},
      {"1:60", "Invalid argument to time encode"}, {"", "'' is not a valid integer value"},
  };
  for (const Case& test : cases) {
    TTimeElement timer;
    try {
      timer.SetInterval(test.text);
      EXPECT_EQ(timer.GetPropertyText("Interval"), test.interval) << test.text;
    } catch (const EConvertError& error) {
      EXPECT_EQ(std::string(error.what()), test.interval) << test.text;
    }
  }
}

TEST(TimeElementTest, AMultiAlarmCountsTheAlarmsMissed) {
  static double day;
  platform::SetTimeOfDaySource([] { return day; });
  TTimeElement timer;
  timer.SetInterval("10");
  timer.MultiAlarm = true;
  const double second = 1.0 / 86400;
  const std::pair<double, bool> readings[] = {{5 * second, false}, {16 * second, true}, {47 * second, true}};
  for (const auto& [at, alarm] : readings) {
    day = at;
    EXPECT_EQ(timer.Alarm(), alarm) << at / second;
  }
  EXPECT_EQ(timer.AlarmCount(), 2) << "31 s is three intervals, two of them missed";
  platform::SetTimeOfDaySource(nullptr);
}

}  // namespace
