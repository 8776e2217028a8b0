#include "app/tool_forms/interface_tool.h"

#include <gmock/gmock.h>

#include "app/tool_forms/interaction_events.h"
#include "framework/tools/system_register.h"
#include "framework/values/typed_values.h"
#include "render/interprets/interpret.h"
#include "tests/app/tool_forms/tool_forms_fixture.h"

void TCodeRecorder::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  codes.push_back(message->Message);
  data.push_back(message->Data());
  if (auto* cursor = DynamicCast<TKestuCursorEvent>(message)) cursors.push_back(cursor->Cursor);
  handled = true;
}

namespace {

using ::testing::ElementsAre;

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
  EXPECT_EQ(tool->CursorIndex(), -1);
  EXPECT_EQ(tool->GetCursor(), 2);  // entry 0 while none is chosen
  // Index chosen, index kept, cursor number.
  const std::tuple<int, int, int> cases[] = {{1, 1, 1}, {2, 2, 0}, {3, -1, 0}, {0, 0, 2}};
  for (const auto& [index, kept, cursor] : cases) {
    first.cursors.clear();
    second.cursors.clear();
    tool->SetCursorIndex(index);
    RunMessages();
    EXPECT_EQ(tool->CursorIndex(), kept) << index;
    EXPECT_THAT(first.cursors, ElementsAre(cursor)) << index;
    EXPECT_THAT(second.cursors, ElementsAre(cursor)) << index;
  }
  first.codes.clear();
  tool->SetCursorIndex(0);
  RunMessages();
  EXPECT_TRUE(first.codes.empty()) << "the same cursor again";
  tool->Activate();
  RunMessages();
  EXPECT_TRUE(mainTool.codes.empty()) << "a tool with cursors says nothing";
  // A tool without cursors says so, shows cursor 0 and still activates.
  TInterfaceTool plain;
  first.cursors.clear();
  first.AddElement(&plain);
  plain.Activate();
  RunMessages();
  EXPECT_TRUE(plain.Active());
  EXPECT_THAT(first.cursors, ElementsAre(0));
  EXPECT_EQ(mainTool.codes.size(), 1u);
  first.RemoveElement(&plain);
}

TEST_F(InterfaceToolTest, RedrawsNeedAnInterpretAndARequestOnAnIdleOnePostsOneRedrawWithTheSameData) {
  TInterfaceTool tool;
  TCodeRecorder data, receiver;
  auto receive = [&](int code) { return Deliver(tool, TKestuMessage(code, nullptr, &receiver, &data, false)); };
  for (int code : {int{msgStopReView}, int{msgRequestReView}, int{msgReView}, int{msgResize}, int{msgMouseDown}, 99})
    EXPECT_FALSE(receive(code)) << code;
  tool.SetInterpret(new TInterpret());
  EXPECT_TRUE(receive(msgRequestReView));
  RunMessages();
  EXPECT_THAT(receiver.codes, ElementsAre(msgReView));
  tool.Interpret()->SetBusy(true);
  receive(msgRequestReView);
  EXPECT_TRUE(tool.Interpret()->BreakWork());
  RunMessages();
  EXPECT_THAT(receiver.codes, ElementsAre(msgReView));
  tool.Interpret()->SetBusy(false);
}

TEST_F(InterfaceToolTest, ANewInterpretTakesOverTheDeviceAndInputAndTheOldOneIsFreed) {
  TInterfaceTool tool;
  TCodeRecorder input;
  tool.SetInput(&input);
  auto* old = new Tracked<TInterpret>();
  tool.SetInterpret(old);
  EXPECT_EQ(old->Input(), &input);
  auto* replacement = new TInterpret();
  tool.SetInterpret(replacement);
  EXPECT_EQ(Tracked<TInterpret>::Alive, 0);
  EXPECT_EQ(replacement->Input(), &input);
  EXPECT_GE(tool.IndexOf(replacement), 0);
}

}  // namespace
