// The script-built graphic window: its image's mouse and drag events in
// the order the active tool gets them, the view it publishes into the
// system register, the view requests of its properties and keys, the
// thematic maps, and its picture.
#include "app/graphic_forms/graphic_form.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <utility>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/graphic_forms/graphic_form_window.h"
#include "framework/tools/system_register.h"
#include "framework/values/typed_values.h"
#include "platform/control_drag.h"
#include "render/interprets/interpret_script.h"
#include "spatial/geometry/page.h"
#include "tests/app/tool_groups/tool_groups_fixture.h"
#include "tests/render/tool_forms/graphic_window_fixture.h"

namespace {

// Notes every mouse event it gets as "code x,y" (with "!" when unarmed and
// the button's number when it is not the left one), and every key event as
// "code key shift".
class TEventRecorder : public TInterfaceTool {
 public:
  std::vector<std::string> events;
  std::vector<std::string> keys;
  void ReceiveMessage(TKestuMessage*& message, bool&) override {
    if (auto* key = DynamicCast<TKestuKeyEvent>(message)) {
      keys.push_back(std::to_string(message->Message) + " " + std::to_string(key->Key) + " " +
                     std::to_string(key->Shift));
      return;
    }
    auto* mouse = DynamicCast<TKestuMouseEvent>(message);
    if (!mouse) return;
    events.push_back(std::to_string(message->Message) + " " + std::to_string(mouse->X) + "," +
                     std::to_string(mouse->Y) + (mouse->Armed ? "" : "!") +
                     (mouse->Button ? " button " + std::to_string(mouse->Button) : ""));
  }
};

// Keeps the message-window lines and counts the redraws the window reports.
class TMainRecorder : public TTechnology {
 public:
  std::vector<std::string> lines;
  int redraws = 0;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && message->Message == msgLogText)
      lines.push_back(text->Text);
    if (message->Message == msgFinished) ++redraws;
    handled = true;
  }
};

class GraphicFormTest : public ToolGroupsTest {
 protected:
  void SetUp() override {
    ToolGroupsTest::SetUp();
    MainTool = &main;
    form.reset(CreateElement<TGraphicForm>());
    form->SetName("Mapa");
    auto* script = new TInterpretScript;
    script->SetPropertyText("NewClassName", "TPolyLineElement");
    auto* squares = new TSquareInterpret;
    squares->log = &drawn;
    script->SetActualInterpret(squares);
    form->SetInterpretScript(script);
    form->NewGroupName("Prohlížení");
    group = DynamicCast<TExtendedToolGroup>(form->FindTool("Prohlížení"));
    recorder = new TEventRecorder;
    recorder->SetName("Záznam");
    group->AddTool(recorder);
    group->NewToolAction("Záznam");
    group->SetActualTool(recorder);
    MakeThematicMaps();
    form->SetInput(Map("Porostní mapa"));
    form->SetVisible(true);
    Deliver(*form, TKestuMessage(msgSelectTool, form.get(), form.get(), recorder, false));
    RunMessages();
    main.redraws = 0;
  }
  void TearDown() override {
    form.reset();
    ToolGroupsTest::TearDown();
  }
  // DATA/THEMATIC of the object model with three maps of squares apart.
  void MakeThematicMaps() {
    auto* data = DynamicCast<TEntity>(world->ObjectModel()->AddNew("TOwnerEntity", "DATA"));
    auto* thematic = DynamicCast<TEntity>(data->AddNew("TOwnerEntity", "THEMATIC"));
    const char* names[] = {"Porostní mapa", "Šrafová mapa", "Těžební mapa"};
    for (int i = 0; i < 3; ++i) {
      auto* map = CreateElement<TRectEntity>();
      map->SetName(names[i]);
      auto* square = CreateElement<TPolyLineElement>();
      square->SetName(std::string("čtverec ") + names[i]);
      square->SetBounds({1000.0 * i, 500.0 * i, 1000.0 * i + 400, 500.0 * i + 300});
      map->AddEntity(square);
      thematic->AddElement(map);
    }
  }
  TElement* Map(const std::string& name) {
    return DynamicCast<TEntity>(
               DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("DATA"))->FindElementByName("THEMATIC"))
        ->FindElementByName(name);
  }
  platform::Form& Window() { return form->Form()->Window(); }
  // The map the envelope of the input holds.
  TElement* Shown() { return DynamicCast<TEntity>(form->Input())->GetElement(0); }
  TPageProjection& Projection() { return *form->Projection(); }
  TEntity* Register() { return DynamicCast<TEntity>(world->SystemRegister()->FindElementByName("Projection")); }
  std::string Entry(const std::string& name) {
    TEntity* reg = Register();
    auto* entry = reg ? DynamicCast<TTypeElement>(reg->FindElementByName(name)) : nullptr;
    return entry ? entry->GetAsString() : "-";
  }
  // A float as the register's entries show it.
  static std::string Text(double value) {
    const std::unique_ptr<TFloatElement> element(TFloatElement::CreateValue(value));
    return element->GetAsString();
  }

  TMainRecorder main;
  std::unique_ptr<TGraphicForm> form;
  TExtendedToolGroup* group = nullptr;
  TEventRecorder* recorder = nullptr;
  std::vector<std::string> drawn;
};

TEST_F(GraphicFormTest, TheImagesMouseAndDragEventsReachTheActiveToolInTheirOrder) {
  // Arms the window: the first click of a new window carries Armed false.
  platform::UserDragControl(Window(), "Image", {{5, 5}});
  RunMessages();
  EXPECT_EQ(recorder->events, (std::vector<std::string>{"61 5,5!", "62 5,5!"})) << "first click";
  struct Row {
    const char* name;
    bool deactivatedFirst;
    std::vector<std::pair<int, int>> path;
    std::vector<std::string> events;
  };
  const Row rows[] = {
      {"click", false, {{40, 30}}, {"61 40,30", "62 40,30"}},
      {"drag without a move over the image", false,
       {{40, 30}, {41, 31}, {45, 33}},
       {"61 40,30", "63 41,31", "64 0,0", "67 45,33", "62 45,33"}},
      // The drag starts past its threshold of one pixel.
      {"drag of two pixels", false,
       {{40, 30}, {41, 31}, {43, 31}},
       {"61 40,30", "63 41,31", "64 0,0", "67 43,31", "62 43,31"}},
      {"drag over the image", false,
       {{40, 30}, {41, 31}, {45, 33}, {90, 70}},
       {"61 40,30", "63 41,31", "64 0,0", "65 90,70", "66 90,70", "67 90,70"}},
      {"click that brings the window back", true, {{40, 30}}, {"61 40,30!", "62 40,30!"}},
  };
  for (const Row& row : rows) {
    if (row.deactivatedFirst) platform::UserDeactivate(Window());
    recorder->events.clear();
    platform::UserDragControl(Window(), "Image", row.path);
    RunMessages();
    EXPECT_EQ(recorder->events, row.events) << row.name;
    EXPECT_FALSE(form->GraphicForm()->Dragging || form->GraphicForm()->DragMoved) << row.name;
  }
}

// The window stays when its close box is pressed: its tool decides.
TEST_F(GraphicFormTest, TheCloseBoxLeavesTheWindowToItsTool) {
  Window().Show();
  EXPECT_FALSE(platform::UserCloseWindow(Window()));
  EXPECT_TRUE(Window().Visible());
}

TEST_F(GraphicFormTest, KeysReachTheActiveToolWithTheirShiftUnlessThePlatformGivesThemNoCode) {
  struct Row {
    const char* name;
    std::uint16_t key;
    std::uint8_t shift;
    std::vector<std::string> keys;
  };
  const Row rows[] = {
      {"letter", 'Q', 0, {"60 81 0"}},
      {"digit with Ctrl", '7', 4, {"60 55 4"}},
      {"a key without a code", '~', 0, {}},
  };
  for (const Row& row : rows) {
    recorder->keys.clear();
    platform::UserKey(Window(), row.key, row.shift);
    RunMessages();
    EXPECT_EQ(recorder->keys, row.keys) << row.name;
  }
}

TEST_F(GraphicFormTest, ARedrawPublishesTheViewUnlessACentreCoordinateOrTheScaleIsZero) {
  struct Row {
    const char* name;
    double x, y, scale;
    bool published;
  };
  const Row rows[] = {
      {"scale 0", 500, 400, 0, false},
      {"centre x 0", 0, 400, 2000, false},
      {"centre y 0", 500, 0, 2000, false},
      {"a view", 500, 400, 2000, true},
      {"another view", 700, 300, 4000, true},
  };
  std::vector<std::string> last = {"-", "-", "-", "-"};
  for (const Row& row : rows) {
    Projection().SetCenter({row.x, row.y});
    Projection().SetScale(row.scale);
    Deliver(*form, TKestuMessage(msgReView, form.get(), form.get(), nullptr, false));
    RunMessages();
    if (row.published)
      last = {Text(Projection().Center_X()), Text(Projection().Center_Y()), Text(Projection().Scale()),
              Text(Projection().VirtualScale())};
    EXPECT_EQ((std::vector<std::string>{Entry("X"), Entry("Y"), Entry("Scale"), Entry("VirtualScale")}), last)
        << row.name;
  }
}

TEST_F(GraphicFormTest, ARedrawShowsTheRegistersMapInTheList) {
  struct Row {
    const char* map;
    int item;
  };
  const Row rows[] = {{"Těžební mapa", 2}, {"Porostní mapa", 0}, {"Mapa, která není", -1}};
  Deliver(*form, TKestuMessage(msgReView, form.get(), form.get(), nullptr, false));
  for (const Row& row : rows) {
    auto* map = DynamicCast<TTypeElement>(Register()->FindElementByName("MAP"));
    if (!map) {
      map = TStringElement::CreateNameValue("MAP", "");
      Register()->AddElement(map);
    }
    map->SetAsString(row.map);
    Deliver(*form, TKestuMessage(msgReView, form.get(), form.get(), nullptr, false));
    RunMessages();
    EXPECT_EQ(Window().ItemIndex("Maps"), row.item) << row.map;
    EXPECT_EQ(Shown(), Map("Porostní mapa")) << row.map << ": showing a map chooses none";
  }
}

TEST_F(GraphicFormTest, ChoosingAThematicMapKeepsCentreAndScaleAndAMissingOneKeepsTheView) {
  struct Row {
    const char* name;
    bool exists;
  };
  const Row rows[] = {{"Těžební mapa", true}, {"Šrafová mapa", true}, {"Mapa, která není", false}};
  Projection().SetCenter({321, 654});
  Projection().SetScale(1500);
  for (const Row& row : rows) {
    TElement* shown = Shown();
    main.lines.clear();
    form->ChooseMap(row.name);
    RunMessages();
    EXPECT_EQ(std::tuple(Projection().Center_X(), Projection().Center_Y(), Projection().Scale()),
              std::tuple(321.0, 654.0, 1500.0))
        << row.name;
    EXPECT_EQ(Shown(), row.exists ? Map(row.name) : shown) << row.name;
    EXPECT_EQ(Entry("MAP"), row.exists ? std::string(row.name) : std::string("Šrafová mapa")) << row.name;
    EXPECT_EQ(main.lines, row.exists ? std::vector<std::string>{}
                                     : std::vector<std::string>{"Thematic map DATA/THEMATIC/Mapa, která není was not found"})
        << row.name;
  }
  EXPECT_EQ(Window().Text("Maps"), "Šrafová mapa") << "the list goes back to the map shown";
  platform::UserChooseItem(Window(), "Maps", 0);
  RunMessages();
  EXPECT_EQ(std::tuple(Shown(), Entry("MAP"), Projection().Scale()),
            std::tuple(Map("Porostní mapa"), std::string("Porostní mapa"), 1500.0));
}

TEST_F(GraphicFormTest, ShiftViewAndZoomMoveTheViewPerTextInAnyCaseUnlessTheToolIsIdle) {
  struct Row {
    const char* property;
    const char* text;
    bool idle;
    double dx, dy, scaleFactor;  // in visible widths and heights
    int redraws;
  };
  const Row rows[] = {
      {"ShiftView", "UP", false, 0, 1, 1, 1},       {"ShiftView", "up", false, 0, 1, 1, 1},
      {"ShiftView", "Down", false, 0, -1, 1, 1},    {"ShiftView", "left", false, -1, 0, 1, 1},
      {"ShiftView", "RIGHT", false, 1, 0, 1, 1},    {"ShiftView", "sideways", false, 0, 0, 1, 1},
      {"ShiftView", "UP", true, 0, 0, 1, 0},        {"Zoom", "in", false, 0, 0, 0.5, 1},
      {"Zoom", "OUT", false, 0, 0, 2, 1},           {"Zoom", "closer", false, 0, 0, 1, 0},
      {"Zoom", "IN", true, 0, 0, 1, 0},
  };
  for (const Row& row : rows) {
    form->SetViewAll(true);
    RunMessages();
    const double width = Projection().DeviceToWorldLength(form->GetDevice()->Page()->Width());
    const double height = Projection().DeviceToWorldLength(form->GetDevice()->Page()->Height());
    const double x = Projection().Center_X(), y = Projection().Center_Y(), scale = Projection().Scale();
    form->SetIdle(row.idle);
    main.redraws = 0;
    form->SetPropertyText(row.property, row.text);
    form->SetIdle(false);
    RunMessages();
    const std::string name = std::string(row.property) + " " + row.text + (row.idle ? " idle" : "");
    EXPECT_NEAR(Projection().Center_X(), x + row.dx * width, 1e-6) << name;
    EXPECT_NEAR(Projection().Center_Y(), y + row.dy * height, 1e-6) << name;
    EXPECT_NEAR(Projection().Scale(), scale * row.scaleFactor, 1e-6) << name;
    EXPECT_EQ(main.redraws, row.redraws) << name;
  }
}

TEST_F(GraphicFormTest, ARunShowsTheWindowAndMarksTheToolRunning) {
  form->SetVisible(false);
  form->DoIt();
  EXPECT_EQ(std::tuple(form->Visible(), form->RunFlag()), std::tuple(true, true));
}

TEST_F(GraphicFormTest, ViewRequestsRedrawUnlessTheToolIsIdle) {
  auto* square = CreateElement<TRectEntity>();
  square->SetBounds({0, 0, 100, 50});
  struct Row {
    const char* name;
    std::function<void()> request;
    int redraws;
  };
  const Row rows[] = {
      {"ViewAll", [&] { form->SetViewAll(true); }, 1},
      {"ViewAll false", [&] { form->SetViewAll(false); }, 0},
      {"ReViewByElement of a rect entity", [&] { form->SetReViewByElement(square); }, 1},
      {"ReViewByElement of another element", [&] { form->SetReViewByElement(form->Interpret()); }, 0},
      {"ElementForReView", [&] { form->SetElementForReView(square); }, 1},
      {"code 46", [&] { Deliver(*form, TKestuMessage(msgFitAll, form.get(), form.get(), nullptr, false)); }, 1},
      {"code 47", [&] { Deliver(*form, TKestuMessage(msgResize, form.get(), form.get(), nullptr, false)); }, 1},
      {"F5", [&] { Deliver(*form, TKestuKeyEvent(msgKeyDown, form.get(), form.get(), 0, platform::vkF5)); }, 1},
      {"a run", [&] { form->DoIt(); }, 1},
  };
  for (const Row& row : rows) {
    for (bool idle : {false, true}) {
      form->SetIdle(idle);
      main.redraws = 0;
      row.request();
      form->SetIdle(false);
      RunMessages();
      EXPECT_EQ(main.redraws, idle ? 0 : row.redraws) << row.name << (idle ? " idle" : "");
    }
  }
  form->SetReViewByElement(square);
  EXPECT_EQ(std::tuple(Projection().Center_X(), Projection().Center_Y()), std::tuple(50.0, 25.0))
      << "the rect entity's view";
  delete square;
}

// A redraw that frees the element it carries frees it only when nothing
// else holds it; the world and the window itself are refused at once.
TEST_F(GraphicFormTest, AnElementToFreeWithARedrawIsNeitherTheWorldNorTheWindow) {
  struct Row {
    const char* name;
    TElement* given;
    bool refused;
    bool freed;
  } rows[] = {{"the world", world.get(), true, false},
              {"the window itself", form.get(), true, false},
              {"a map of the model", Map("Šrafová mapa"), false, false},
              {"an element nothing holds", CreateElement<TRectEntity>(), false, true}};
  for (const Row& row : rows) {
    const TElementLink given(row.given);
    if (row.refused) EXPECT_THROW(form->SetElementForKillReView(row.given), ECircularOwnership) << row.name;
    else form->SetElementForKillReView(row.given);
    RunMessages();
    EXPECT_EQ(given.Get() == nullptr, row.freed) << row.name;
  }
}

TEST_F(GraphicFormTest, ACursorChangeSetsTheImagesCursorOrWhileDraggedItsDragCursor) {
  const auto cursors = [&] { return std::pair(form->GetCursor(), platform::ControlDragCursor(Window(), "Image")); };
  const auto mouse = [&](platform::MouseAction action, int x, int y) {
    platform::UserMouse(Window(), "Image", action, {0, 8, x, y});
  };
  Deliver(*form, TKestuCursorEvent(msgCursorChanged, form.get(), recorder, 5));
  EXPECT_EQ(cursors(), std::pair(5, -12)) << "not dragged";
  mouse(platform::MouseAction::Down, 10, 10);
  mouse(platform::MouseAction::Move, 11, 11);
  mouse(platform::MouseAction::Move, 20, 20);
  ASSERT_TRUE(platform::ControlDragging(Window(), "Image"));
  Deliver(*form, TKestuCursorEvent(msgCursorChanged, form.get(), recorder, 7));
  EXPECT_EQ(cursors(), std::pair(5, 7)) << "dragged";
  mouse(platform::MouseAction::Up, 20, 20);
  RunMessages();
  EXPECT_EQ(cursors(), std::pair(5, -12)) << "the drag's end sets the drag arrow back";
}

TEST_F(GraphicFormTest, TheActiveToolIsChosenByNameOrClassAmongTheGroupsTools) {
  auto* other = new TEventRecorder;
  other->SetName("Druhý");
  group->AddTool(other);
  group->NewToolAction("Druhý");
  group->SetActualTool(other);
  struct Row {
    const char* property;
    const char* value;
    TTool* active;
  };
  const Row rows[] = {
      {"ActiveToolName", "Druhý", other},
      {"ActiveToolName", "Nikdo", other},
      {"ActiveToolClassName", "TStandardViewer", other},
      {"ActiveToolName", "Záznam", recorder},
  };
  for (const Row& row : rows) {
    form->SetPropertyText(row.property, row.value);
    RunMessages();
    EXPECT_EQ(form->GetActiveTool(), row.active) << row.property << " " << row.value;
    EXPECT_EQ(form->ActiveToolName(), row.active->GetName()) << row.property << " " << row.value;
  }
}

TEST_F(GraphicFormTest, ItsImageShowsTheInputThroughTheUniversalInterpret) {
  form->SetPageColor(0xFFFFFF);
  form->DoIt();
  RunMessages();
  // The map's square fills the image's height; beside it the page shows.
  TDevicePoint inside, outside;
  Projection().WorldToDevice(200, 150, inside);
  Projection().WorldToDevice(-20, 150, outside);
  const platform::Canvas& canvas = form->GraphicForm()->ImageBitmap()->GetCanvas();
  EXPECT_EQ(std::tuple(canvas.Pixel(inside.X, inside.Y), canvas.Pixel(outside.X, outside.Y)),
            std::tuple(platform::ColorValue(0), platform::ColorValue(0xFFFFFF)));
  EXPECT_EQ(drawn, std::vector<std::string>{"čtverec Porostní mapa"});
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(Window().SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/graphic_form_maps.png"));
}

// The picture is drawn on a bitmap the size of the image: a window the user
// makes larger or smaller takes a bitmap of the image's new size.
TEST_F(GraphicFormTest, AResizedWindowsBitmapTakesTheImagesNewSize) {
  for (const auto& [width, height] : {std::pair(900, 700), std::pair(500, 400)}) {
    platform::UserResize(Window(), width, height);
    const platform::Bounds image = Window().ControlBounds("Image");
    const platform::Bitmap& bitmap = *form->GraphicForm()->ImageBitmap();
    EXPECT_EQ(std::pair(bitmap.Width(), bitmap.Height()), std::pair(image.Width, image.Height)) << width;
  }
}

TEST_F(GraphicFormTest, FreeingTheFormLeavesATool) {
  form->SetText("Stav");
  EXPECT_EQ(form->GetText(), "Stav");
  form->SetPropertyText("FreeForm", "True");
  form->SetText("Jiný");
  Deliver(*form, TKestuMessage(msgReView, form.get(), form.get(), nullptr, false));
  Deliver(*form, TKestuMessage(msgRepaintImage, form.get(), form.get(), nullptr, false));
  RunMessages();
  EXPECT_EQ(std::tuple(form->Form(), form->GetText(), form->Visible(), form->GetCursor()),
            std::tuple(nullptr, std::string(), false, 0));
}

}  // namespace
