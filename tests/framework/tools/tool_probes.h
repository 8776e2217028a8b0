#pragma once
// A tool that records what reaches it, and the fixture of the tool and
// technology tests.
#include <string>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "framework/tools/tools.h"

// Records which of its dispatch targets ran.
class TProbeTool : public Tracked<TTool> {
 public:
  std::vector<std::string>* calls = nullptr;
  bool mayClose = true;
  void HandleMessageCode0(TKestuMessage*, bool& handled) override {
    calls->push_back("code0");
    handled = true;
  }
  void ToolClosed(TKestuMessage* message, bool& handled) override {
    calls->push_back("closed:" + (message->Sender() ? message->Sender()->GetName() : std::string("nil")));
    TTool::ToolClosed(message, handled);
  }
  void Close() override {
    calls->push_back("close");
    TTool::Close();
  }
  void ToolFinished(TKestuMessage*, bool&) override { calls->push_back("finished"); }
  bool CanClose() override {
    calls->push_back("canclose:" + GetName());
    return mayClose;
  }
  void GetParameterName(int index, std::string& name) override { name = index == 1 ? "Error" : ""; }
};

// Delivers unaddressed messages to a recorder and makes probes that note
// their calls in one list.
class ToolFixture : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Tracked<TTool>::Alive = 0;
    MainTool = &main;
  }
  TProbeTool* Probe(const std::string& name) {
    auto* tool = new TProbeTool;
    tool->SetName(name);
    tool->calls = &calls;
    return tool;
  }
  static std::size_t Pending() { return platform::Application::Instance().PendingCount(); }

  std::vector<std::string> calls;
  TRecorder main;
};
