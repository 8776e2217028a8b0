#include "render/tool_forms/form_tool_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/core/class_registry.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/interactive_tool.h"
#include "render/tool_forms/viewer.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/graphic_window_fixture.h"

namespace {

// An interactive tool that counts its activations.
class TMarker : public TInteractiveTool {
  KESTX_CLASS(TMarker)
 public:
  std::string GetName() const override { return "Značka"; }
  std::int32_t GetCursor() override { return 5; }
  void Activate() override { events.push_back("on"); }
  void Deactivate() override { events.push_back("off"); }
  std::vector<std::string> events;
};

TClass TMarker::StaticClass() {
  static const TClassInfo info = DescribeClass<TMarker>("TMarker", TInteractiveTool::StaticClass(), "test", {});
  return &info;
}

using FormToolManagerTest = GraphicWindowTest;

TEST_F(FormToolManagerTest, ConstructionMakesTheWindowTheDeviceOnItsImageTheInterpretAndTheViewer) {
  auto* device = DynamicCast<TImageCanvasDevice>(manager->GetDevice());
  auto* interpret = DynamicCast<TUniversalInterpret>(manager->Interpret());
  ASSERT_TRUE(device && interpret);
  EXPECT_EQ(std::tuple(device->Bitmap(), interpret->Device(), manager->GetCaption(), manager->GetWidth(),
                       manager->GetHeight()),
            std::tuple(&Picture(), static_cast<TDevice*>(device), std::string("Zobrazovač"), 400, 354));
  EXPECT_EQ(std::tuple(manager->ActiveToolName(), manager->ActiveToolClassName(), Window().MenuItemNames("Tools"),
                       Window().Text("TViewer"), Window().Checked("TViewer")),
            std::tuple(std::string("Prohlížeč"), std::string("TViewer"), std::vector<std::string>{"TViewer"},
                       std::string("Prohlížeč"), true));
  // The input is an envelope holding the model; the view shows the whole model.
  TElement* envelope = manager->Input();
  ASSERT_TRUE(envelope);
  EXPECT_EQ(std::tuple(envelope->GetName(), static_cast<TEntity*>(envelope)->IndexOf(model) >= 0), std::tuple(std::string("Obálka"), true));
  TRealRect shown;
  Projection().GetWorldRect(shown);
  EXPECT_TRUE(shown.MinX <= 0 && shown.MinY <= 0 && shown.MaxX >= 440 && shown.MaxY >= 240)
      << shown.MinX << " " << shown.MinY << " " << shown.MaxX << " " << shown.MaxY;
}

TEST_F(FormToolManagerTest, ARedrawFillsTheModelOnThePageColourAndReportsItsEnd) {
  manager->SetPageColor(0xC0C0C0);
  manager->DoIt();
  RunMessages();
  EXPECT_EQ(std::tuple(Join(log), Redraws(), manager->GetVisible()), std::tuple("a b c d e", 1, true));
  // The middle of square a is black, the page between the squares grey.
  TDevicePoint a, gap;
  Projection().WorldToDevice(20, 20, a);
  Projection().WorldToDevice(70, 200, gap);
  EXPECT_EQ(std::tuple(Picture().GetCanvas().Pixel(a.X, a.Y), Picture().GetCanvas().Pixel(gap.X, gap.Y)),
            std::tuple(0u, 0xC0C0C0u));
}

// Also a scale no key or dialog would give, as a fit of a vast input or a
// script's projection leaves it: whole digits, and never a negative scale.
TEST_F(FormToolManagerTest, TheScaleLabelRoundsLargeScalesAndShowsSmallOnesToThreeDecimals) {
  const std::pair<double, const char*> cases[] = {{12345.6, "12346"},
                                                  {10, "10"},
                                                  {2.5, "2.500"},
                                                  {9.9996, "10.000"},
                                                  {9.2e18, "9200000000000000000"},
                                                  {1e19, "10000000000000000000"},
                                                  {-5, ""}};
  for (const auto& [scale, label] : cases) {
    manager->SetScale(scale);
    Post(msgReView);
    RunMessages();
    EXPECT_EQ(Window().Text("l_M"), label) << scale;
  }
}

TEST_F(FormToolManagerTest, TheCursorsWorldPointShowsWithTwoDecimals) {
  // The middle of the image shows the middle of the model (220, 120) to within a pixel.
  const platform::Bounds image = Window().ControlBounds("Image");
  Mouse(platform::MouseAction::Move, image.Width / 2, image.Height / 2);
  RunMessages();
  const std::string x = Window().Text("l_x"), y = Window().Text("l_y");
  EXPECT_NEAR(std::stod(x), 220, Projection().PixelSizeX()) << x;
  EXPECT_NEAR(std::stod(y), 120, Projection().PixelSizeY()) << y;
  EXPECT_EQ(std::tuple(x.size() - x.find('.'), y.size() - y.find('.')), std::tuple(3u, 3u)) << x << " " << y;
}

TEST_F(FormToolManagerTest, RedrawRequestsWhileDrawingGiveOneMoreRedrawAndEscStopsOne) {
  struct Case {
    const char* name;
    std::function<void(GraphicWindowTest&)> duringFirstSquare;
    int redraws;
    bool lastWalkWhole;
  };
  const Case cases[] = {
      {"nothing", [](GraphicWindowTest&) {}, 1, true},
      {"one 31", [](GraphicWindowTest& t) { t.Post(msgReView); }, 2, true},
      {"two 31", [](GraphicWindowTest& t) { t.Post(msgReView), t.Post(msgReView); }, 2, true},
      {"Esc", [](GraphicWindowTest& t) { platform::UserKey(t.Window(), platform::vkEscape); }, 1, false},
      {"menu Storno", [](GraphicWindowTest& t) { platform::UserClick(t.Window(), "mi_Storno"); }, 1, false},
      {"Přezobraz", [](GraphicWindowTest& t) { platform::UserClick(t.Window(), "mi_Prezobraz"); }, 2, true},
  };
  RingAtEveryLook();
  for (const Case& test : cases) {
    owner.codes.clear();
    log.clear();
    bool first = true;
    whileDrawing = [&](const std::string& name) {
      if (name != "a" || !first) return;
      first = false;
      test.duringFirstSquare(*this);
    };
    Post(msgReView);
    RunMessages();
    const bool whole = log.size() >= 5 && Join({log.end() - 5, log.end()}) == "a b c d e";
    EXPECT_EQ(std::tuple(Redraws(), whole), std::tuple(test.redraws, test.lastWalkWhole)) << test.name << ": " << Join(log);
    if (test.redraws == 2) {
      EXPECT_LT(log.size(), 10u) << test.name << ": the first walk was broken off";
    }
  }
}

TEST_F(FormToolManagerTest, ACloseWhileDrawingWaitsForTheInterpretAndTheDeviceLetsTheImageGoFirst) {
  struct Case {
    const char* name;
    bool whileDrawing;
    std::function<void(GraphicWindowTest&)> close;
  };
  const Case cases[] = {
      {"close box, idle", false, [](GraphicWindowTest& t) { platform::UserCloseWindow(t.Window()); }},
      {"close box, drawing", true, [](GraphicWindowTest& t) { platform::UserCloseWindow(t.Window()); }},
      {"FreeForm, drawing", true, [](GraphicWindowTest& t) { t.manager->SetFreeForm(true); }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TearDown();
    SetUp();
    log.clear();
    owner.codes.clear();
    RingAtEveryLook();
    auto* device = DynamicCast<TBitmapDevice>(manager->GetDevice());
    bool pending = test.whileDrawing;
    whileDrawing = [&](const std::string& name) {
      if (name == "a" && pending) test.close(*this), pending = false;
    };
    if (!test.whileDrawing) test.close(*this);
    Post(msgReView);
    RunMessages();
    EXPECT_EQ(std::tuple(manager->Form(), device->Bitmap()), std::tuple(nullptr, nullptr));
    const bool closes = std::string(test.name).rfind("close", 0) == 0;
    // A close asked while drawing breaks the walk off first; a freed form
    // leaves the walk to draw on into nothing.
    EXPECT_EQ(log.size() < 5, test.whileDrawing && closes) << Join(log);
    const bool closed = std::count(owner.codes.begin(), owner.codes.end(), int{msgToolClosed}) == 1;
    EXPECT_EQ(closed, closes);
    // Later redraws draw into nothing.
    Post(msgReView);
    RunMessages();
  }
}

TEST_F(FormToolManagerTest, TheManagerPublishesItsFormWhileItHasOne) {
  struct Case {
    const char* name;
    std::function<void(GraphicWindowTest&)> change;
    bool hasForm;
  };
  const Case cases[] = {
      {"open window", [](GraphicWindowTest&) {}, true},
      {"after FreeForm", [](GraphicWindowTest& t) { t.manager->SetFreeForm(true); }, false},
  };
  for (const Case& test : cases) {
    test.change(*this);
    RunMessages();
    auto* published = DynamicCast<TStandardImageForm>(GetObjectPropByName(*manager, "Form"));
    EXPECT_EQ(std::tuple(published, published != nullptr), std::tuple(manager->Form(), test.hasForm)) << test.name;
    if (published) {
      EXPECT_EQ(published->Tool(), static_cast<TTool*>(manager)) << test.name;
    }
  }
}

TEST_F(FormToolManagerTest, AnOwnerThatFreesTheClosedWindowFreesItOnlyAfterTheRedrawEnds) {
  const char* cases[] = {"a", "c", "e"};
  for (const char* square : cases) {
    TearDown();
    SetUp();
    RingAtEveryLook();
    TTechnology keeper;
    keeper.AddTool(manager);
    owner.RemoveElement(manager);
    bool asked = false;
    whileDrawing = [&](const std::string& name) {
      if (name != square || asked) return;
      asked = true;
      platform::UserCloseWindow(Window());
    };
    Post(msgReView);
    RunMessages();
    EXPECT_EQ(std::tuple(asked, keeper.ToolCount()), std::tuple(true, 0)) << square;
  }
}

TEST_F(FormToolManagerTest, ViewKeysAndTheirMenuItemsChangeTheScaleOnce) {
  const std::pair<std::function<void(GraphicWindowTest&)>, double> cases[] = {
      {[](GraphicWindowTest& t) { platform::UserKey(t.Window(), platform::vkF5); }, 500},
      {[](GraphicWindowTest& t) { platform::UserKey(t.Window(), platform::vkF6); }, 2000},
      {[](GraphicWindowTest& t) { platform::UserClick(t.Window(), "mi_Zvetseni"); }, 500},
      {[](GraphicWindowTest& t) { platform::UserClick(t.Window(), "mi_Zmenseni"); }, 2000},
      {[](GraphicWindowTest& t) { platform::UserKey(t.Window(), 'A'); }, 1000},
      {[](GraphicWindowTest& t) { platform::UserKey(t.Window(), platform::vkDown); }, 1000},
  };
  int row = 0;
  for (const auto& [act, scale] : cases) {
    manager->SetScale(1000);
    RunMessages();
    act(*this);
    RunMessages();
    EXPECT_DOUBLE_EQ(manager->Scale(), scale) << "row " << row++;
  }
}

// Doubling stops below 2^63, the first scale the label could not show as
// a whole number: from 1:10^12 that is 2^23 presses, and the rest are
// refused with the view kept.
TEST_F(FormToolManagerTest, ThirtyZoomOutsStopAtTheLargestScaleTheLabelShows) {
  manager->DoIt();
  manager->SetScale(1e12);
  RunMessages();
  std::vector<std::string> labels;
  for (int press = 0; press < 30; ++press) {
    platform::UserKey(Window(), platform::vkF6);
    RunMessages();
    labels.push_back(Window().Text("l_M"));
  }
  EXPECT_DOUBLE_EQ(manager->Scale(), 1e12 * (1 << 23));
  EXPECT_EQ(labels[22], "8388608000000000000");
  EXPECT_EQ(std::vector<std::string>(labels.begin() + 22, labels.end()),
            std::vector<std::string>(8, "8388608000000000000"))
      << "the presses beyond it change nothing";
  const platform::Bounds image = Window().ControlBounds("Image");
  Mouse(platform::MouseAction::Move, image.Width, image.Height);
  RunMessages();
  EXPECT_LT(Window().Text("l_x").size(), 25u) << Window().Text("l_x");
}

// Scripts set the window's Scale by its text: the same scales are refused.
TEST_F(FormToolManagerTest, AScriptsScaleIsTakenOnlyWhenTheLabelCanShowIt) {
  const std::pair<const char*, double> cases[] = {
      {"2500", 2500}, {"9e18", 9e18}, {"1e19", 777}, {"0", 777}, {"-5", 777}};
  for (const auto& [text, scale] : cases) {
    manager->SetScale(777);
    manager->SetPropertyText("Scale", text);
    EXPECT_DOUBLE_EQ(manager->Scale(), scale) << text;
  }
}

TEST_F(FormToolManagerTest, TheToolsMenuHoldsOneCheckedItemPerToolAndSelectingTheActiveToolRestartsIt) {
  RegisterKestuClass(TMarker::StaticClass());
  auto* marker = CreateElement<TMarker>();
  manager->SetNextTool(marker);
  EXPECT_EQ(std::tuple(Window().MenuItemNames("Tools"), Window().Checked("TViewer"), Window().Checked("TMarker"),
                       manager->ActiveToolName()),
            std::tuple(std::vector<std::string>{"TViewer", "TMarker"}, false, true, std::string("Značka")));
  // The viewer's item selects it: its cursor shows over the image.
  platform::UserClick(Window(), "TViewer");
  RunMessages();
  EXPECT_EQ(std::tuple(manager->ActiveToolClassName(), Window().Checked("TViewer"), Window().Checked("TMarker"),
                       manager->GetImageCursor(), marker->events),
            std::tuple(std::string("TViewer"), true, false, 16, std::vector<std::string>{"off"}));
  // By class name (any case is the registry's), then the active one again: off and on once more.
  manager->SetActiveToolClassName("TMarker");
  RunMessages();
  manager->SetActiveToolName("Značka");
  RunMessages();
  EXPECT_EQ(std::tuple(marker->events, manager->GetImageCursor()),
            std::tuple(std::vector<std::string>{"off", "on", "off", "on"}, 5));
  // A code 4 for something that is no interactive tool is left alone.
  EXPECT_FALSE(Deliver(*manager, TKestuMessage(msgSelectTool, nullptr, manager, model, false)));
  manager->FreeTool(marker);
  EXPECT_EQ(Window().MenuItemNames("Tools"), std::vector<std::string>{"TViewer"});
}

// A tool the window holds without having made it active (added by a script)
// gets the window's device and element when its code 4 selects it, and its
// cursor shows over the image: a plain interactive tool's is the arrow, 0.
TEST_F(FormToolManagerTest, ASelectedToolTakesTheWindowsDeviceAndElementAndShowsItsCursor) {
  RegisterKestuClass(TMarker::StaticClass());
  const std::pair<TClass, std::int32_t> rows[] = {{TInteractiveTool::StaticClass(), 0}, {TMarker::StaticClass(), 5}};
  for (const auto& [cls, cursor] : rows) {
    auto* tool = static_cast<TInteractiveTool*>(NewElement(cls));
    manager->AddTool(tool);
    ASSERT_EQ(tool->GetDevice(), nullptr) << cls->ClassName;
    EXPECT_TRUE(Deliver(*manager, TKestuMessage(msgSelectTool, nullptr, manager, tool, false))) << cls->ClassName;
    EXPECT_EQ(std::tuple(manager->GetActiveTool(), tool->GetDevice(), tool->Input(), manager->GetImageCursor()),
              std::tuple(static_cast<TTool*>(tool), manager->GetDevice(), manager->Input(), cursor))
        << cls->ClassName;
  }
}

TEST_F(FormToolManagerTest, AToolMadeActiveThroughNextToolWorksOnTheWindowsElementAtOnce) {
  struct Row {
    const char* name;
    bool shows;  // the window shows an element
  } rows[] = {{"a window on a model", true}, {"a window on nothing yet", false}};
  for (const Row& row : rows) {
    std::unique_ptr<TFormToolManager> empty;
    TFormToolManager* window = manager;
    if (!row.shows) {
      empty.reset(CreateElement<TFormToolManager>());
      window = empty.get();
    }
    auto* marker = CreateElement<TMarker>();
    window->SetNextTool(marker);
    EXPECT_EQ(std::tuple(window->GetActiveTool(), marker->Input(), marker->GetDevice()),
              std::tuple(static_cast<TTool*>(marker), row.shows ? window->Input() : nullptr, window->GetDevice()))
        << row.name;
    if (row.shows) {
      EXPECT_NE(marker->Input(), nullptr) << row.name;
    }
  }
}

// "Měřítko": a number the label shows becomes the scale; no number, 0 or
// less fits the whole model; both redraw, so that the picture and the label
// show the view the clicks act on.  A number beyond the label's reach, or a
// double's, leaves the view.
TEST_F(FormToolManagerTest, TheScaleDialogSetsAScaleOrFitsAndItsF1AsksForHelp) {
  struct Case {
    const char* text;
    bool ok;
    double scale;  // 0: the whole model shown again
    int redraws;
  };
  const Case cases[] = {{"2500", true, 2500, 1},     {"0", true, 0, 1},        {"abc", true, 0, 1},
                        {"-5", true, 0, 1},          {"2500", false, 777, 0},  {"1e400", true, 777, 0},
                        {"9,3e18", true, 777, 0},    {"9e18", true, 9e18, 1}};
  manager->DoIt();
  for (const Case& test : cases) {
    manager->SetScale(777);
    Post(msgReView);
    RunMessages();
    std::string shown;
    platform::SetModalAnswerer([&](platform::Form& form) {
      shown = form.Text("Combo");
      platform::UserKey(form, platform::vkF1);
      form.SetText("Combo", test.text);
      platform::UserClick(form, test.ok ? "b_OK" : "b_Cancel");
    });
    owner.codes.clear();
    platform::UserClick(Window(), "mi_Meritko");
    RunMessages();
    TRealRect world;
    Projection().GetWorldRect(world);
    const bool fitted = world.MinX <= 0 && world.MaxX >= 440 && std::abs(manager->Scale() - 777) > 1;
    if (test.scale > 0) EXPECT_DOUBLE_EQ(manager->Scale(), test.scale) << test.text << test.ok;
    else EXPECT_TRUE(fitted) << test.text;
    EXPECT_EQ(Redraws(), test.redraws) << test.text << test.ok;
    char label[32];
    std::snprintf(label, sizeof label, "%.0f", std::round(manager->Scale()));
    EXPECT_EQ(Window().Text("l_M"), label) << test.text << test.ok << ": the label shows the view";
    EXPECT_EQ(shown, "777") << test.text;
  }
  EXPECT_EQ(dialogs.HelpKeywords, std::vector<std::string>(std::size(cases), "Combo_Tf_SetScale"));
}

// The size a script gives the window before it is shown is the picture's
// once it shows, and the view is centred on it.
TEST_F(FormToolManagerTest, AWindowSizedBeforeItIsShownDrawsOnItsWholeImage) {
  const platform::Bounds before = Window().ControlBounds("Image");
  manager->SetPropertyText("Width", "900");
  manager->SetPropertyText("Height", "700");
  manager->DoIt();
  RunMessages();
  const platform::Bounds image = Window().ControlBounds("Image");
  ASSERT_GT(image.Width, 2 * before.Width);
  EXPECT_EQ(std::pair(Picture().Width(), Picture().Height()), std::pair(image.Width, image.Height));
  // The model's middle, in square c (200..240 by 100..140), is at the middle
  // of the image, beyond the picture the window had before.
  TDevicePoint c;
  Projection().WorldToDevice(220, 120, c);
  EXPECT_EQ(std::pair(c.X, c.Y), std::pair(image.Width / 2, image.Height / 2));
  EXPECT_EQ(Picture().GetCanvas().Pixel(c.X, c.Y), 0u);
}

// A script places and sizes the window through the manager; without a form
// the place reads 0 and writes are lost.
TEST_F(FormToolManagerTest, AScriptPlacesTheWindowAndReadsItsPlaceBack) {
  const struct {
    const char* name;
    bool freeForm;
    platform::Bounds expected;
  } rows[] = {
      {"open window", false, {120, 80, 500, 300}},
      {"after FreeForm", true, {0, 0, 0, 0}},
  };
  for (const auto& row : rows) {
    TearDown();
    SetUp();
    if (row.freeForm) manager->SetFreeForm(true);
    for (const auto& [name, value] : {std::pair("Left", "120"), std::pair("Top", "80"), std::pair("Width", "500"),
                                      std::pair("Height", "300")})
      manager->SetPropertyText(name, value);
    const platform::Bounds read{manager->GetLeft(), manager->GetTop(), manager->GetWidth(), manager->GetHeight()};
    EXPECT_EQ(std::tuple(read.Left, read.Top, read.Width, read.Height),
              std::tuple(row.expected.Left, row.expected.Top, row.expected.Width, row.expected.Height))
        << row.name;
    if (!manager->Form()) continue;
    const platform::Bounds window = Window().GetBounds();
    EXPECT_EQ(std::tuple(window.Left, window.Top, window.Width, window.Height),
              std::tuple(row.expected.Left, row.expected.Top, row.expected.Width, row.expected.Height))
        << row.name;
  }
}

// Without a device the page colour reads 0 and a colour written is lost;
// the projection is nil. The device given back shows its colour again.
TEST_F(FormToolManagerTest, WithoutADeviceThePageColourReadsZeroAndWritesAreLost) {
  TDevice* device = manager->GetDevice();
  ASSERT_TRUE(device);
  manager->SetPageColor(0x00FF00);
  manager->SetDevice(nullptr);
  manager->SetPageColor(0x0000FF);
  EXPECT_EQ(std::tuple(manager->PageColor(), manager->Projection()), std::tuple(0u, nullptr));
  manager->SetDevice(device);
  EXPECT_EQ(manager->PageColor(), 0x00FF00u);
}

// Only the universal interpret's report of a walk's end finishes the
// window's pending work: a code 3 from anyone else changes nothing.
TEST_F(FormToolManagerTest, AnEndReportedByAnyoneButTheInterpretLeavesTheWindowAsItWas) {
  const std::pair<const char*, std::function<TElement*(GraphicWindowTest&)>> senders[] = {
      {"nobody", [](GraphicWindowTest&) -> TElement* { return nullptr; }},
      {"the active tool", [](GraphicWindowTest& t) -> TElement* { return t.manager->GetActiveTool(); }},
  };
  for (const auto& [name, sender] : senders) {
    log.clear();
    owner.codes.clear();
    PostKestuMessage(new TKestuMessage(msgFinished, sender(*this), manager, nullptr, false));
    RunMessages();
    EXPECT_EQ(std::tuple(manager->Form() != nullptr, log.size(), owner.codes.size()), std::tuple(true, 0u, 0u))
        << name;
  }
}

TEST_F(FormToolManagerTest, TheImageIsSavedAndLoadedAsABitmapFileAndFailuresShowTheirBoxes) {
  manager->DoIt();
  RunMessages();
  const std::string file = testing::TempDir() + "okno.bmp";
  manager->SetSaveToFile(file);
  const platform::ColorValue black = 0;
  TDevicePoint a;
  Projection().WorldToDevice(20, 20, a);
  Picture().GetCanvas().Brush = {0xFFFFFF, platform::BrushStyle::Solid};
  Picture().GetCanvas().FillRect(Picture().GetCanvas().ClipRect());
  manager->SetLoadFromFile(file);
  EXPECT_EQ(Picture().GetCanvas().Pixel(a.X, a.Y), black);
  const std::string missing = testing::TempDir() + "chybi/okno.bmp";
  manager->SetSaveToFile(missing);
  manager->SetLoadFromFile(missing);
  std::vector<std::string> boxes;
  for (const auto& shown : dialogs.Messages) boxes.push_back(shown.Text);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Do souboru " + missing + " nejde uložit bitmapa",
                                             "Ze souboru " + missing + " nejde načíst bitmapa"}));
  EXPECT_EQ(Picture().GetCanvas().Pixel(a.X, a.Y), black) << "a failed load keeps the picture";
  std::remove(file.c_str());
}

TEST_F(FormToolManagerTest, ANewInputTakesItsElementBeforeTheOldEnvelopeGoes) {
  // The element lives only in the envelope: a second window input of it must not free it.
  auto* lone = CreateElement<TPolyLineElement>();
  lone->SetName("lone");
  lone->SetBounds({0, 0, 10, 10});
  manager->SetInput(lone);
  TElement* first = manager->Input();
  manager->SetInput(lone);
  ASSERT_NE(manager->Input(), first);
  EXPECT_EQ(std::tuple(lone->GetName(), static_cast<TEntity*>(manager->Input())->IndexOf(lone) >= 0), std::tuple(std::string("lone"), true));
  manager->SetInput(nullptr);
  EXPECT_EQ(manager->Input(), nullptr);
}

// An input read without bounds, or an entity that has none, is shown where
// what it holds lies: far from the first model, squares at (1000, 1000) and
// (1200, 1100), 40 units a side.
TEST_F(FormToolManagerTest, AnInputWithoutBoundsIsShownWhereWhatItHoldsLies) {
  struct Row {
    const char* name;
    bool rectEntity;
  };
  const Row rows[] = {{"an entity without bounds of its own", false}, {"a layer read without bounds", true}};
  for (const Row& row : rows) {
    TEntity* input = row.rectEntity ? static_cast<TEntity*>(CreateElement<TRectEntity>())
                                    : CreateElement<TOwnerEntity>();
    input->SetName("DATA");
    auto* layer = CreateElement<TRectEntity>();
    input->AddElement(layer);
    for (const auto& [x, y] : {std::pair{1000.0, 1000.0}, {1200.0, 1100.0}}) {
      auto* square = CreateElement<TPolyLineElement>();
      square->SetName("s" + std::to_string(static_cast<int>(x)));
      square->SetBounds({x, y, x + 40, y + 40});
      layer->AddElement(square);
    }
    manager->SetInput(input);
    for (const int code : {int{msgReView}, int{msgFitAll}}) {
      log.clear();
      Post(code);
      RunMessages();
      const std::string name = std::string(row.name) + (code == msgFitAll ? ", fitted again" : "");
      TRealRect shown;
      Projection().GetWorldRect(shown);
      EXPECT_TRUE(shown.MinX <= 1000 && shown.MinY <= 1000 && shown.MaxX >= 1240 && shown.MaxY >= 1140)
          << name << ": " << shown.MinX << " " << shown.MinY << " " << shown.MaxX << " " << shown.MaxY;
      for (const auto& [x, y] : {std::pair{1020.0, 1020.0}, {1220.0, 1120.0}}) {
        TDevicePoint middle;
        Projection().WorldToDevice(x, y, middle);
        EXPECT_EQ(Picture().GetCanvas().Pixel(middle.X, middle.Y), 0u) << name << ": the square at " << x;
      }
    }
    EXPECT_EQ(std::tuple(layer->GetMinX(), layer->GetMinY(), layer->GetMaxX(), layer->GetMaxY()),
              std::tuple(1000.0, 1000.0, 1240.0, 1140.0))
        << row.name << ": the layer's bounds";
  }
}

// The window cannot show itself or its owner: the input is refused before an
// envelope is made, so nothing is left holding either.
TEST_F(FormToolManagerTest, TheWindowOrItsOwnerAsInputIsRefusedAndNothingIsLeftHoldingThem) {
  struct Row {
    const char* name;
    TElement* given;
  } rows[] = {{"the window itself", manager}, {"its owner", &owner}};
  for (const Row& row : rows) {
    TElement* input = manager->Input();
    const int holders = row.given->HolderCount();
    const std::size_t children = manager->Children().size();
    EXPECT_THROW(manager->SetInput(row.given), ECircularOwnership) << row.name;
    EXPECT_EQ(std::tuple(manager->Input(), row.given->HolderCount(), manager->Children().size()),
              std::tuple(input, holders, children))
        << row.name;
  }
}

// A redraw that frees the element it carries frees it only when nothing
// else holds it; the world, the window and its owner are refused at once.
TEST_F(FormToolManagerTest, AnElementToFreeWithARedrawIsNeitherTheWorldNorTheWindowNorItsOwner) {
  auto* loose = CreateElement<TPolyLineElement>();
  struct Row {
    const char* name;
    TElement* given;
    bool refused;
    bool freed;
  } rows[] = {{"the world", world.get(), true, false},
              {"the window itself", manager, true, false},
              {"its owner", &owner, true, false},
              {"a square of the model", model->Children()[0], false, false},
              {"an element nothing holds", loose, false, true}};
  for (const Row& row : rows) {
    const TElementLink given(row.given);
    if (row.refused) EXPECT_THROW(manager->SetElementForKillReView(row.given), ECircularOwnership) << row.name;
    else manager->SetElementForKillReView(row.given);
    RunMessages();
    EXPECT_EQ(given.Get() == nullptr, row.freed) << row.name;
  }
}

TEST_F(FormToolManagerTest, QuickViewFollowsItsButtonAndPrintingWithoutAPrintToolPrintsNothing) {
  platform::UserClick(Window(), "b_QuickView");
  RunMessages();
  EXPECT_EQ(std::tuple(manager->QuickView(), Window().Down("b_QuickView")), std::tuple(true, true));
  manager->SetQuickView(false);
  EXPECT_EQ(Window().Down("b_QuickView"), false);
  Window().SetChecked("Tile", true);
  // The print tool registers itself when printing is linked in: in a run of
  // many tests it may be there, and then it prints, into a folder of ours.
  TempFolder folder;
  const std::string printFile = platform::PrintFileName();
  const bool printLinked = FindKestuClass("TPrint") != nullptr;
  platform::SetPrintFileName(folder.File("printed.pdf"));
  EXPECT_TRUE(Deliver(*manager, TKestuMessage(msgPrint, nullptr, manager, nullptr, false)));
  platform::SetPrintFileName(printFile);
  // The model holds no sheet: the print tool prints nothing and says so.
  EXPECT_FALSE(std::filesystem::exists(folder.File("printed.pdf")));
  const auto nothing = std::count_if(dialogs.Messages.begin(), dialogs.Messages.end(),
                                     [](const auto& shown) { return shown.Text.starts_with("Není co tisknout"); });
  EXPECT_EQ(nothing, printLinked ? 1 : 0);
  EXPECT_FALSE(DynamicCast<TUniversalInterpret>(manager->Interpret())->Tile) << "tiles only while printing";
}

TEST_F(FormToolManagerTest, ScreenshotsOfTheWindowBeforeAndAfterAZoomAndOfTheScaleDialog) {
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  manager->SetPageColor(0xC0C0C0);
  manager->DoIt();
  RunMessages();
  EXPECT_TRUE(Window().SaveImage(KESTX_SCREENSHOTS_DIR "/graphic_window.png"));
  TDevicePoint a;
  Projection().WorldToDevice(0, 40, a);
  Drag(a.X, a.Y, a.X + 30, a.Y + 30);
  RunMessages();
  EXPECT_TRUE(Window().SaveImage(KESTX_SCREENSHOTS_DIR "/graphic_window_zoomed.png"));
  Tf_SetScale dialog;
  dialog.Window().SetText("Combo", "5000");
  EXPECT_TRUE(dialog.Window().SaveImage(KESTX_SCREENSHOTS_DIR "/scale_dialog.png"));
}

}  // namespace
