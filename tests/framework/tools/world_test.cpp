#include "framework/tools/world.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/tools/tools.h"
#include "framework/values/inheritance_models.h"
#include "framework/values/typed_values.h"
#include "platform/event_handlers.h"
#include "tests/framework/framework_fixture.h"

namespace {

// A main tool that notes the receiver each message names while it is handled.
class TNotingTool : public Tracked<TTechnology> {
 public:
  std::vector<std::string> seen;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    TTechnology::ReceiveMessage(message, handled);
    seen.push_back(std::to_string(message->Message) + (message->Receiver() == this ? " to me" : " elsewhere"));
    if (message->Message == 66) throw std::runtime_error("Selhal nástroj");
    handled = true;
  }
};

// A world whose main tool is made when first asked for.
class TWorldWithMainTool : public TWorld {
 public:
  int made = 0;
  void CreateMainTool() override {
    ++made;
    SetMainTool(new TNotingTool);
  }
};

class WorldTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Tracked<TTechnology>::Alive = 0;
    platform::Application& application = platform::Application::Instance();
    application.SetMessageHook([this](platform::AppMessage& m, bool& handled) { world.DispatchAppMessage(m, handled); });
    application.SetExceptionHook([this](std::exception_ptr error) { world.ShowAppException(error); });
  }
  TWorldWithMainTool world;
};

TEST_F(WorldTest, WorldHoldsTheClassRegistryAndLeavesItAliveWhenFreed) {
  const int owners = KestuClasses()->GetOwnersCount();
  {
    TWorld plain;
    plain.SetPropertyText("ObjectClasses", "0");  // ignored
    EXPECT_EQ(plain.ObjectClasses(), KestuClasses());
  }
  EXPECT_EQ(KestuClasses()->GetOwnersCount(), owners);
}

// The program file is this test program; its folder ends with a separator.
TEST_F(WorldTest, TheProgramsFileAndFolderAreThoseOfTheRunningProgram) {
  TWorld world;
  const std::string exe = world.GetPropertyText("ApplicExeName");
  const std::string dir = world.GetPropertyText("ApplicDir");
  EXPECT_EQ(std::filesystem::path(exe).filename(), "test_framework");
  EXPECT_EQ(dir + "test_framework", exe);
  EXPECT_TRUE(!dir.empty() && dir.back() == '/' && std::filesystem::is_directory(dir)) << dir;
}

// The parts a world makes when first asked for are its own named children,
// made once.
TEST_F(WorldTest, PartsMadeOnDemandAreNamedChildrenOfTheWorldMadeOnce) {
  const struct {
    const char* name;
    std::function<TElement*(TWorld&)> part;
  } rows[] = {
      {"System register", [](TWorld& w) -> TElement* { return w.SystemRegister(); }},
      {"Object model", [](TWorld& w) -> TElement* { return w.ObjectModel(); }},
  };
  for (const auto& row : rows) {
    TWorld fresh;
    TElement* part = row.part(fresh);
    ASSERT_NE(part, nullptr) << row.name;
    EXPECT_EQ(row.part(fresh), part) << row.name;
    EXPECT_EQ(part->GetName(), row.name);
    EXPECT_EQ(fresh.FindElementByName(row.name), part) << row.name;
    int named = 0;
    for (TElement* child : fresh.Children()) named += child->GetName() == row.name;
    EXPECT_EQ(named, 1) << row.name;
  }
}

// A register's sections are its children of their names, whatever the
// letter case of a child already there; a missing one is made once, and the
// one found is kept.
TEST_F(WorldTest, RegisterSectionsAreFoundByNameInAnyCaseOrMadeOnce) {
  const struct {
    const char* name;
    std::function<TElement*(TSystemRegister&)> section;
  } rows[] = {
      {"IMAGES", [](TSystemRegister& r) -> TElement* { return r.Images(); }},
      {"CURSORS", [](TSystemRegister& r) -> TElement* { return r.Cursors(); }},
      {"CLASS MODELS", [](TSystemRegister& r) -> TElement* { return r.ClassModels(); }},
  };
  for (const auto& row : rows) {
    TSystemRegister made;
    TElement* section = row.section(made);
    ASSERT_NE(section, nullptr) << row.name;
    EXPECT_EQ(std::tuple(section->GetName(), row.section(made), made.GetCount()), std::tuple(row.name, section, 1))
        << row.name;
    section->SetName("Přejmenováno");  // once found, the section is kept, not looked up by its name again
    EXPECT_EQ(std::pair(row.section(made), made.GetCount()), std::pair(section, 1)) << row.name << ": renamed";
    TSystemRegister filled;
    TElement* existing = NewElement(section->ClassType());
    std::string lower = row.name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    existing->SetName(lower);
    filled.AddElement(existing);
    EXPECT_EQ(std::pair(row.section(filled), filled.GetCount()), std::pair(existing, 1)) << row.name;
    TSystemRegister foreign;  // a child of the name but of another class is no section
    auto* other = new TOwnerEntity;
    other->SetName(row.name);
    foreign.AddElement(other);
    EXPECT_EQ(std::pair(row.section(foreign), foreign.GetCount()), std::pair(static_cast<TElement*>(nullptr), 1))
        << row.name;
  }
}

TEST_F(WorldTest, ObjectModelAndMainToolAreReplacedAndFreedWhenOnlyTheWorldHeldThem) {
  TObjectModel* first = world.ObjectModel();
  TElementLink firstLink(first);
  auto* second = new TObjectModel;
  world.SetObjectModel(second);
  EXPECT_EQ(firstLink.Get(), nullptr);
  world.SetObjectModel(second);  // the same again
  EXPECT_EQ(second->GetOwnersCount(), 1);
  TOwnerEntity keeper;
  keeper.AddElement(second);
  world.SetPropertyText("ObjectModel", Handle(new TObjectModel));
  EXPECT_EQ(keeper.IndexOf(second), 0);  // still kept by its other owner
  EXPECT_EQ(TWorld().MainTool(), nullptr);  // made on demand only
  TTechnology* tool = world.MainTool();
  EXPECT_TRUE(world.MainTool() == tool && world.IndexOf(tool) >= 0);
  world.SetMainTool(new TNotingTool);
  world.SetMainTool(world.MainTool());
  EXPECT_EQ(Tracked<TTechnology>::Alive, 1);
  delete world.MainTool();
  EXPECT_TRUE(world.MainTool() != nullptr && world.made == 2);  // made anew
}

// A main tool that has run and not closed is below whatever runs now: a
// script's write of MainTool must not free it.
TEST_F(WorldTest, ARunningMainToolIsNotReplacedAndAClosedOneIs) {
  enum Replacement { kAnother, kNil, kItself };
  const struct {
    const char* name;
    bool run;
    bool closed;
    Replacement by;
    bool refused;
  } rows[] = {
      {"running, by another", true, false, kAnother, true},
      {"running, by nil", true, false, kNil, true},
      {"running, by itself", true, false, kItself, false},
      {"never run, by another", false, false, kAnother, false},
      {"run and closed, by another", true, true, kAnother, false},
  };
  for (const auto& row : rows) {
    TWorldWithMainTool fresh;
    TTechnology* main = fresh.MainTool();
    if (row.run) main->DoIt();
    if (row.closed) main->Close();
    const TElementLink mainLink(main);
    auto* another = row.by == kAnother ? new TNotingTool : nullptr;
    TTechnology* replacement = row.by == kItself ? main : another;
    bool raised = false;
    try {
      fresh.SetMainTool(replacement);
    } catch (const std::runtime_error& error) {
      raised = true;
      EXPECT_STREQ(error.what(), "Běžící hlavní nástroj nelze nahradit") << row.name;
    }
    EXPECT_EQ(raised, row.refused) << row.name;
    EXPECT_EQ(mainLink.Get() != nullptr, row.refused || row.by == kItself) << row.name;
    EXPECT_EQ(fresh.MainTool(), row.refused ? main : replacement) << row.name;
    if (row.refused) delete another;
    RunMessages();
  }
}

TEST_F(WorldTest, UnaddressedMessagesReachTheMainToolAndHandlerErrorsAreShown) {
  auto* main = static_cast<TNotingTool*>(world.MainTool());
  TOwnerElement sender;
  sender.PostMessage(20, nullptr, nullptr, false);
  auto* gone = new TOwnerEntity;
  sender.PostMessage(21, gone, nullptr, false);
  delete gone;
  sender.PostMessage(66, main, nullptr, false);
  sender.PostMessage(67, nullptr, nullptr, false);
  RunMessages();
  EXPECT_EQ(Join(main->seen, ", "), "20 to me, 66 to me, 67 to me");  // delivery goes on after an error
  world.ShowAppException(std::make_exception_ptr(42));  // no text, still the box
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"World Level Error :Selhal nástroj", "World Level Error :"}));
  platform::AppMessage other{platform::WM_USER + 1, 0, 0};
  bool handled = false;
  world.DispatchAppMessage(other, handled);
  EXPECT_FALSE(handled);
}

TEST_F(WorldTest, TheProgramWorldIsClearedWhenItGoes) {
  auto* doomed = new TWorld;
  SetWorld(doomed);
  delete doomed;
  EXPECT_EQ(World(), nullptr);  // cleared when its world goes
}

// Failed blocks decide the exit status of an export and failed prints that of
// a script: each kind is counted apart, against the program's world only.
TEST_F(WorldTest, FailedWorkIsCountedByItsKindAgainstTheProgramsWorld) {
  const struct {
    const char* name;
    std::vector<TFailedWork> noted;
    bool programWorld;
    int blocks, prints;
  } rows[] = {
      {"a block", {TFailedWork::Block}, true, 1, 0},
      {"two prints", {TFailedWork::Print, TFailedWork::Print}, true, 0, 2},
      {"a print and two blocks", {TFailedWork::Block, TFailedWork::Print, TFailedWork::Block}, true, 2, 1},
      {"no program world", {TFailedWork::Block, TFailedWork::Print}, false, 0, 0},
  };
  for (const auto& row : rows) {
    TWorld counted;
    SetWorld(row.programWorld ? &counted : nullptr);
    for (TFailedWork work : row.noted) NoteFailedWork(work);
    SetWorld(nullptr);
    EXPECT_EQ(std::pair(counted.FailedWork(TFailedWork::Block), counted.FailedWork(TFailedWork::Print)),
              std::pair(row.blocks, row.prints))
        << row.name;
  }
}

// Receives messages and notes whether the world was locked for it.
class TLockProbe : public TElement {
 public:
  void ReceiveMessage(TKestuMessage*&, bool& handled) override {
    depth = WorldLock().ReleaseAll();
    WorldLock().Reacquire(depth);
    handled = true;
  }
  int depth = 0;
};

TEST(WorldLock, IsHeldWhileTheWorldDeliversAMessage) {
  RegisterFrameworkClasses();
  TWorld world;
  TLockProbe probe;
  auto* message = new TKestuMessage(msgLogText, nullptr, &probe, nullptr, false);
  PostKestuMessage(message);
  platform::Application::Instance().SetMessageHook(
      [&world](platform::AppMessage& m, bool& handled) { world.DispatchAppMessage(m, handled); });
  platform::Application::Instance().ProcessMessages();
  platform::Application::Instance().SetMessageHook(nullptr);
  EXPECT_EQ(probe.depth, 1);
}

// A window's event handler runs under the lock while there is a world.
TEST(WorldLock, IsHeldWhileAWindowsEventHandlerRunsAndThereIsAWorld) {
  RegisterFrameworkClasses();
  const std::pair<const char*, int> cases[] = {{"a world", 1}, {"no world", 0}};
  for (const auto& [name, held] : cases) {
    TWorld world;
    SetWorld(held ? &world : nullptr);
    int depth = -1;
    platform::RunEventHandler([&depth] {
      depth = WorldLock().ReleaseAll();
      WorldLock().Reacquire(depth);
    });
    SetWorld(nullptr);
    EXPECT_EQ(depth, held) << name;
  }
}

// A thread waiting for the lock is seen by the holder until it has it, also
// after rounds nobody waited for.
TEST(WorldLock, AWaitingThreadIsSeenUntilItHasTheLock) {
  TWorldLock lock;
  for (int round = 0; round < 2; ++round) {
    lock.lock();
    lock.unlock();
  }
  EXPECT_FALSE(lock.Contended());
  lock.lock();
  std::thread waiter([&lock] {
    lock.lock();
    lock.unlock();
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!lock.Contended() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  EXPECT_TRUE(lock.Contended());
  lock.unlock();
  waiter.join();
  EXPECT_FALSE(lock.Contended());
}

}  // namespace
