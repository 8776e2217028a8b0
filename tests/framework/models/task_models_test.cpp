#include "framework/models/task_models.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/core/messages.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

namespace {

// A member that notes each message it is offered, may handle it, and may free another member of its group first.
class TMember : public TOwnerElement {
 public:
  std::vector<std::string>* offered = nullptr;
  bool handles = false;
  TGroup* group = nullptr;
  TElement* frees = nullptr;
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    offered->push_back(GetName());
    if (frees) group->FreeElement(frees);
    handled = handles;
  }
};

TEST(GroupTest, AMessageGoesRoundTheMembersButTheSenderUntilOneHandlesItSkippingOnesFreedOnTheWay) {
  struct Row {
    const char* name;
    int sender;   // -1: none
    int handler;  // -1: none
    int freer, freed;
    std::vector<std::string> offered;
  };
  const Row rows[] = {
      {"in order until handled", -1, 1, -1, -1, {"a", "b"}},
      {"never to the sender", 1, -1, -1, -1, {"a", "c"}},
      {"not to a member freed by an earlier one", -1, -1, 0, 1, {"a", "c"}},
      {"to a member freed by a later one", -1, -1, 2, 0, {"a", "b", "c"}},
  };
  for (const Row& row : rows) {
    TGroup group;
    std::vector<std::string> offered;
    TMember* members[3];
    for (int i = 0; i < 3; ++i) {
      members[i] = new TMember;
      members[i]->SetName(std::string(1, static_cast<char>('a' + i)));
      members[i]->offered = &offered;
      members[i]->group = &group;
      members[i]->handles = i == row.handler;
      group.AddElement(members[i]);
    }
    if (row.freer >= 0) members[row.freer]->frees = members[row.freed];
    TKestuMessage message;
    message.Message = 1000;
    message.SetSender(row.sender >= 0 ? members[row.sender] : nullptr);
    TKestuMessage* pointer = &message;
    bool handled = false;
    group.ReceiveMessage(pointer, handled);
    EXPECT_EQ(offered, row.offered) << row.name;
    EXPECT_EQ(handled, row.handler >= 0) << row.name;
  }
}

// A task model's tasks are its child string list named TASKS, made when it
// has none and found again afterwards.
TEST(TaskModelTest, TheTasksAreTheChildListNamedTasksFoundOrMadeOnce) {
  const struct {
    const char* name;
    const char* existing;  // name of a string list the model holds already, or nil
    bool found;            // that list is the tasks
  } rows[] = {{"none yet", nullptr, false}, {"one named TASKS", "TASKS", true}, {"one of another name", "ULOHY", false}};
  for (const auto& row : rows) {
    TTaskModel model;
    TStringListElement* existing = nullptr;
    if (row.existing) existing = Named<TStringListElement>(row.existing, &model);
    TStringListElement* tasks = model.Tasks();
    ASSERT_NE(tasks, nullptr) << row.name;
    EXPECT_EQ(tasks == existing, row.found) << row.name;
    EXPECT_EQ(std::tuple(tasks->GetName(), model.IndexOf(tasks) >= 0, model.Tasks() == tasks),
              std::tuple(std::string("TASKS"), true, true))
        << row.name;
    EXPECT_EQ(model.GetCount(), row.existing && !row.found ? 2 : 1) << row.name;
  }
}

}  // namespace
