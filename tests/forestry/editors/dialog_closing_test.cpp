// Every dialog tool the program registers, shown modally by the technology
// holding it as a sub-tool (as the editors hold theirs), closed the way a
// user closes it: by its own close box, or by closing the window its
// technology belongs to while it shows.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/graphic_forms/graphic_form.h"
#include "framework/core/class_registry.h"
#include "framework/forms/base_forms.h"
#include "platform/forms.h"
#include "render/tool_forms/dialog_tools.h"
#include "spatial/objects/space_entities.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

// Holds a dialog as its one sub-tool and runs it on its input, noting each
// result: its own code goes on after the dialog's run.
class TDialogHolder : public TTechnology {
 public:
  explicit TDialogHolder(std::vector<int>& results) : results_(results) {}
  TKestuDialog* Dialog() const { return ToolCount() > 0 ? DynamicCast<TKestuDialog>(ToolAt(0)) : nullptr; }
  void DoIt() override {
    TTechnology::DoIt();
    TKestuDialog* dialog = Dialog();
    if (!dialog) return;
    dialog->SetInput(Input());
    dialog->DoIt();
    results_.push_back(dialog->Result);
  }

 private:
  std::vector<int>& results_;
};

// Acts as a user while a dialog's modal run shows it: notes whether the
// dialog showed, then does what the row asks.
class TUser : public TElement {
 public:
  TUser(TElementLink& dialog, std::function<void()> act) : dialog_(dialog), act_(std::move(act)) {}
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    handled = true;
    auto* dialog = static_cast<TKestuDialog*>(dialog_.Get());
    shown.push_back(dialog && dialog->Form() && dialog->Form()->Window().Visible());
    act_();
  }
  std::vector<bool> shown;

 private:
  TElementLink& dialog_;
  std::function<void()> act_;
};

// Runs the holder from inside the program's event loop, so that the modal
// run delivers the user's acts as the program does, as many times as asked,
// then ends the loop.
class THolderRunner : public TElement {
 public:
  THolderRunner(TElementLink& holder, TUser& user, int runs) : holder_(holder), user_(user), runs_(runs) {}
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    handled = true;
    for (int run = 0; run < runs_ && holder_.Get(); ++run) {
      user_.PostMessage(msgToolControl, &user_, nullptr, false);
      static_cast<TDialogHolder*>(holder_.Get())->DoIt();
    }
    platform::Application::Instance().Terminate();
  }

 private:
  TElementLink& holder_;
  TUser& user_;
  int runs_;
};

// The program's main tool: frees the windows it holds when they close.
class TMainStandIn : public TTechnology {};

class DialogClosingTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    MainTool = &main;
  }
  void TearDown() override {
    RunMessages();
    ForestryTest::TearDown();
  }
  TMainStandIn main;
};

TEST_F(DialogClosingTest, ADialogClosedAsAUserClosesItEndsAsStornoAndTheProgramGoesOn) {
  std::vector<TClass> dialogs;
  TKestuClasses& registry = *KestuClasses();
  for (int i = 0; i < registry.GetCount(); ++i)
    if (const TClass cls = registry.Entry(i)->ElementClass(); cls->InheritsFrom(TKestuDialog::StaticClass()))
      dialogs.push_back(cls);
  ASSERT_GE(dialogs.size(), 7U) << "the dialogs of the program and of the forestry editors";
  struct Row {
    const char* closed;
    bool byWindow;
  };
  const Row rows[] = {{"its close box", false}, {"the window it belongs to", true}};
  for (const TClass cls : dialogs) {
    for (const Row& row : rows) {
      const std::string name = cls->ClassName + std::string(", closed by ") + row.closed;
      auto* window = CreateElement<TGraphicForm>();
      main.AddTool(window);
      std::vector<int> results;
      auto* holder = new TDialogHolder(results);
      window->AddTool(holder);
      auto* dialog = static_cast<TKestuDialog*>(NewElement(cls));
      holder->AddTool(dialog);
      TPointElement point;
      holder->SetInput(&point);
      TElementLink windowLink(window), holderLink(holder), dialogLink(dialog);
      TUser user(dialogLink, [&] {
        if (row.byWindow) platform::UserCloseWindow(window->Form()->Window());
        else if (auto* shown = static_cast<TKestuDialog*>(dialogLink.Get())) platform::UserCloseWindow(shown->Form()->Window());
      });
      // Closed by the close box, it is there for its next use: the holder runs it again.
      THolderRunner runner(holderLink, user, row.byWindow ? 1 : 2);
      runner.PostMessage(msgToolControl, &runner, nullptr, false);
      platform::Application::Instance().Run(0, nullptr);
      RunMessages();
      ASSERT_TRUE(Exceptions.empty()) << name << ": " << Exceptions.front();
      if (row.byWindow) {
        // The dialog's run ended as "Storno"; the window went afterwards, and the dialog with it.
        EXPECT_EQ(std::tuple(user.shown, results, windowLink.Get() == nullptr, dialogLink.Get() == nullptr),
                  std::tuple(std::vector<bool>{true}, std::vector<int>{platform::mrCancel}, true, true))
            << name;
        continue;
      }
      // Shown and closed twice: the dialog stayed its holder's.
      EXPECT_EQ(std::tuple(user.shown, results, holder->Dialog() == dialog),
                std::tuple(std::vector<bool>{true, true}, std::vector<int>{platform::mrCancel, platform::mrCancel}, true))
          << name;
      main.FreeTool(window);
    }
  }
}

}  // namespace
