#include "render/tool_forms/interface_tool.h"

#include <gtest/gtest.h>

#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/values/typed_values.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/interaction_events.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

class TCursorTool : public TInterfaceTool {
 public:
  void InitCursors() override {
    AddCursor("Kříž");
    AddCursor("Ruka");
    AddCursor("Neznámý");
  }
};

class InterfaceToolTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    TStringListElement* registered = world->SystemRegister()->Cursors();
    registered->AddElement(TStringElement::CreateNameValue("Ruka", "ruka.cur"));
    registered->AddElement(TStringElement::CreateNameValue("Kříž", "kriz.cur"));
  }
  // A cursor tool held by two recorders.
  TCursorTool* MakeHeldTool() {
    auto* tool = new TCursorTool();
    tool->AfterConstruction();
    first.AddElement(tool);
    second.AddElement(tool);
    return tool;
  }
  TCodeRecorder first, second;
};

TEST_F(InterfaceToolTest, CursorNamesTakeTheirNumbersFromTheSystemRegisterAndAToolWithoutCursorsSaysSo) {
  TCursorTool* tool = MakeHeldTool();
  EXPECT_EQ(std::tuple(tool->CursorIndex(), tool->Cursors()->GetName(), tool->IndexOf(tool->Cursors()) >= 0),
            std::tuple(-1, std::string("CURSORS"), true))
      << "the list is the tool's child";
  EXPECT_EQ(tool->GetCursor(), 2);  // entry 0 while none is chosen
  // Index chosen, index kept; each change shows its cursor number to every holder, the same one again nothing.
  const std::pair<int, int> cases[] = {{1, 1}, {2, 2}, {3, -1}, {0, 0}, {0, 0}};
  for (const auto& [index, kept] : cases) {
    tool->SetCursorIndex(index);
    RunMessages();
    EXPECT_EQ(tool->CursorIndex(), kept) << index;
  }
  EXPECT_EQ(std::tuple(first.cursors, second.cursors), std::tuple(std::vector{1, 0, 0, 2}, std::vector{1, 0, 0, 2}));
  tool->Activate();
  RunMessages();
  EXPECT_TRUE(mainTool.codes.empty()) << "a tool with cursors says nothing";
  // A tool without cursors says so, shows cursor 0 and still activates.
  TInterfaceTool plain;
  first.cursors.clear();
  first.AddElement(&plain);
  plain.Activate();
  RunMessages();
  EXPECT_EQ(std::tuple(plain.Active(), first.cursors, mainTool.codes.size()), std::tuple(true, std::vector{0}, 1u));
  first.RemoveElement(&plain);
  // An entry a script put among the cursors that holds no number shows the default arrow.
  tool->Cursors()->AddElement(Named<TOwnerEntity>("Mapa"));
  first.cursors.clear();
  tool->SetCursorIndex(3);
  RunMessages();
  EXPECT_EQ(std::tuple(tool->CursorIndex(), first.cursors), std::tuple(3, std::vector{0}));
}

TEST_F(InterfaceToolTest, RedrawsNeedAnInterpretAndARequestOnAnIdleOnePostsOneRedrawAndANewInterpretTakesOver) {
  TInterfaceTool tool;
  TCodeRecorder data, receiver;
  tool.SetInput(&data);
  auto receive = [&](int code) { return Deliver(tool, TKestuMessage(code, nullptr, &receiver, &data, false)); };
  for (int code : {int{msgStopReView}, int{msgRequestReView}, int{msgReView}, int{msgResize}, int{msgMouseDown}, 99})
    EXPECT_FALSE(receive(code)) << code;
  tool.SetInterpret(new Tracked<TInterpret>());
  EXPECT_EQ(tool.Interpret()->Input(), &data);
  EXPECT_TRUE(receive(msgRequestReView));
  RunMessages();
  tool.Interpret()->SetBusy(true);
  receive(msgRequestReView);
  EXPECT_TRUE(tool.Interpret()->BreakWork());
  RunMessages();
  EXPECT_EQ(std::tuple(receiver.codes, receiver.data),
            std::tuple(std::vector<int>{msgReView}, std::vector<TElement*>{&data}));
  tool.Interpret()->SetBusy(false);
  // A new interpret takes over the input, and the old one is freed.
  auto* replacement = new TInterpret();
  tool.SetInterpret(replacement);
  EXPECT_EQ(std::tuple(Tracked<TInterpret>::Alive, replacement->Input(), tool.IndexOf(replacement) >= 0),
            std::tuple(0, &data, true));
}

// A tool with the cursors named, asked about closing while active.
class TAskedTool : public TInterfaceTool {
 public:
  explicit TAskedTool(std::vector<std::string> names = {}, bool closes = true)
      : names_(std::move(names)), closes_(closes) {
    AfterConstruction();
  }
  void InitCursors() override {
    for (const std::string& name : names_) AddCursor(name);
  }
  bool CanCloseActive() override { return closes_; }

 private:
  std::vector<std::string> names_;
  bool closes_;
};

// Refuses to close.
class TRefusingTool : public TTool {
 public:
  bool CanClose() override { return false; }
};

// Only a tool without a cursor says so when it is activated.
TEST_F(InterfaceToolTest, ActivationSaysSoOnlyOfAToolWithoutCursors) {
  const struct {
    const char* name;
    std::vector<std::string> cursors;
    std::size_t lines;
  } rows[] = {
      {"none", {}, 1},
      {"one", {"Ruka"}, 0},
      {"two", {"Ruka", "Kříž"}, 0},
  };
  for (const auto& row : rows) {
    mainTool.codes.clear();
    TAskedTool tool(row.cursors);
    tool.Activate();
    RunMessages();
    EXPECT_EQ(std::tuple(tool.Active(), mainTool.codes.size()), std::tuple(true, row.lines)) << row.name;
  }
}

// An active tool closes only when its own question and its sub-tools allow
// it; an inactive one is not asked.
TEST_F(InterfaceToolTest, AnActiveToolClosesOnlyWhenItAndItsSubToolsAgree) {
  const struct {
    const char* name;
    bool active;
    bool itCloses;
    bool subToolRefuses;
    bool closes;
  } rows[] = {
      {"inactive, would not close", false, false, false, true},
      {"active, closes", true, true, false, true},
      {"active, would not close", true, false, false, false},
      {"active, closes, a sub-tool refuses", true, true, true, false},
      {"inactive, a sub-tool refuses", false, true, true, false},
  };
  for (const auto& row : rows) {
    TAskedTool tool({}, row.itCloses);
    if (row.subToolRefuses) tool.AddTool(new TRefusingTool);
    tool.SetActive(row.active);
    EXPECT_EQ(tool.CanClose(), row.closes) << row.name;
  }
}

// Notes the redraws handed to it.
class TRedrawLog : public TInterpret {
 public:
  std::vector<int> codes;
  void ReView(TKestuMessage*, bool& handled) override { Note(msgReView, handled); }
  void ReViewArea(TKestuMessage*, bool& handled) override { Note(msgReViewArea, handled); }

 private:
  void Note(int code, bool& handled) {
    codes.push_back(code);
    handled = true;
  }
};

// A redraw, whole or of an area, reaches the interpret only from a tool at
// work that shows something; otherwise it stays unhandled.
TEST_F(InterfaceToolTest, RedrawsReachTheInterpretOnlyFromAToolAtWorkWithAnInput) {
  struct Row {
    const char* name;
    int code;
    bool idle;
    bool input;
    bool handed;
  } rows[] = {
      {"redraw", msgReView, false, true, true},
      {"area redraw", msgReViewArea, false, true, true},
      {"redraw, idle", msgReView, true, true, false},
      {"area redraw, idle", msgReViewArea, true, true, false},
      {"redraw, no input", msgReView, false, false, false},
      {"area redraw, no input", msgReViewArea, false, false, false},
  };
  for (const Row& row : rows) {
    TInterfaceTool tool;
    TCodeRecorder shown;
    auto* interpret = new TRedrawLog();
    tool.SetInterpret(interpret);
    if (row.input) tool.SetInput(&shown);
    tool.SetIdle(row.idle);
    const bool handled = Deliver(tool, TKestuMessage(row.code, nullptr, &tool, &shown, false));
    EXPECT_EQ(std::tuple(handled, interpret->codes),
              std::tuple(row.handed, row.handed ? std::vector<int>{row.code} : std::vector<int>{}))
        << row.name;
  }
}

// Mouse and key events carry the shift state a receiver reads through their
// common class; a cursor event has none.
TEST_F(InterfaceToolTest, MouseAndKeyEventsAreShiftEvents) {
  TKestuMouseEvent mouse(msgMouseDown, nullptr, nullptr, 3, 1, 10, 20, false);
  TKestuKeyEvent key(msgKeyDown, nullptr, nullptr, 5, 65);
  TKestuCursorEvent cursor(msgCursorChanged, nullptr, nullptr, 2);
  const struct {
    const char* name;
    TKestuMessage* event;
    int shift;  // -1: no shift event
  } rows[] = {{"mouse", &mouse, 3}, {"key", &key, 5}, {"cursor", &cursor, -1}};
  for (const auto& row : rows) {
    const auto* shifted = DynamicCast<TKestuShiftEvent>(row.event);
    EXPECT_EQ(shifted ? shifted->Shift : -1, row.shift) << row.name;
    EXPECT_NE(DynamicCast<TKestuMessage>(row.event), nullptr) << row.name;
    // As every class of the program, known to the registry by its name.
    EXPECT_EQ(FindKestuClass(row.event->ClassName()), row.event->ClassType()) << row.name;
  }
  EXPECT_EQ(FindKestuClass("TKestuShiftEvent"), TKestuShiftEvent::StaticClass());
}

}  // namespace
