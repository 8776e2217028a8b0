#include "render/tool_forms/interactive_tool.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/interprets/interpret.h"
#include "render/tool_forms/interface_tool.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

// Notes the name of each input it draws.
class TInputLog : public TInterpret {
 public:
  std::vector<std::string>* log = nullptr;
  void DoIt() override { log->push_back(Input() ? Input()->GetName() : "nil"); }
};

using RedrawRequestTest = ToolFormsTest;

TEST_F(RedrawRequestTest, ARequestHandsItsDataToTheRedrawItPostsWhichFreesItAfterwards) {
  const std::pair<const char*, std::function<TDeviceTool*()>> cases[] = {
      {"interface tool", [] { return new TInterfaceTool(); }},
      {"interactive tool", [] { return new TInteractiveTool(); }},
  };
  for (const auto& [name, make] : cases) {
    TCodeRecorder holder;
    TDeviceTool* tool = make();
    tool->AfterConstruction();
    holder.AddElement(tool);
    std::vector<std::string> log;
    auto* interpret = new TInputLog;
    interpret->log = &log;
    if (auto* face = DynamicCast<TInterfaceTool>(tool)) face->SetInterpret(interpret);
    else static_cast<TInteractiveTool*>(tool)->SetInterpret(interpret);
    tool->SetInput(Named<TOwnerEntity>("vše", &holder));
    auto* part = new Tracked<TOwnerEntity>();
    part->SetName("část");
    PostKestuMessage(new TKestuMessage(msgRequestReView, tool, tool, part, true));
    RunMessages();
    EXPECT_EQ(std::tuple(log, Tracked<TOwnerEntity>::Alive), std::tuple(std::vector<std::string>{"část"}, 0))
        << name;
    holder.Clear();
  }
}

}  // namespace
