#include "framework/tools/world.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/tools/system_register.h"
#include "framework/tools/tools.h"
#include "framework/values/inheritance_models.h"
#include "framework/values/typed_values.h"

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
  ASSERT_EQ(FindKestuClass("TWCSWorld"), nullptr);  // the base while no coordinate world is registered
  EXPECT_EQ(WorldClass(), TWorld::StaticClass());
  std::vector<int> ids;  // the world classes register together in their order
  for (const char* name : {"TWorld", "TObjectModel", "TSystemRegister", "TRegisterClassModel", "TRegisterClassModels",
                           "TRegisterPropertyModel"})
    ids.push_back(KestuClasses()->FindEntry(name)->ID - static_cast<int>(ids.size()));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), ids[0]), 6);
}

TEST_F(WorldTest, SystemRegisterSectionsAreMadeOnFirstReadAndFoundByNameAndClass) {
  TSystemRegister* reg = world.SystemRegister();
  TStringListElement* images = reg->Images();
  EXPECT_TRUE(world.SystemRegister() == reg && reg->Images() == images);
  EXPECT_EQ(images->GetName() + "|" + reg->Cursors()->GetName() + "|" + reg->ClassModels()->GetName(),
            "IMAGES|CURSORS|CLASS MODELS");
  reg->FreeElement(images);  // freed elsewhere: made again
  EXPECT_EQ(reg->IndexOf(reg->Images()), 2);
  TSystemRegister other;
  auto* cursors = Named<TStringListElement>("cursors", &other);  // found in any letter case
  Named<TStringElement>("Images", &other);                         // not taken for the list
  EXPECT_TRUE(other.Cursors() == cursors && other.Images() == nullptr && other.GetCount() == 2);
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

TEST_F(WorldTest, ProgramWorldAndApplicationSettingsGoThroughTheWorld) {
  auto* doomed = new TWorld;
  SetWorld(doomed);
  delete doomed;
  EXPECT_EQ(World(), nullptr);  // cleared when its world goes
  const std::string savedTitle = platform::Application::Instance().Title();
  world.SetPropertyText("ApplicTitle", "KESTX – zkouška");  // reaches the application object
  EXPECT_EQ(platform::Application::Instance().Title(), "KESTX – zkouška");
  platform::Application::Instance().SetTitle(savedTitle);
  // The program file is this test program; its directory ends with the separator.
  const std::string exe = world.GetPropertyText("ApplicExeName");
  EXPECT_NE(exe.find("test_framework"), std::string::npos);
  EXPECT_EQ(exe.rfind(world.GetPropertyText("ApplicDir"), 0), 0u);
  EXPECT_EQ(world.GetPropertyText("ApplicDir").back(), '/');
}

using namespace std::chrono_literals;

TEST(WorldLock, IsRecursiveLetsGoOfEveryLevelAtOnceAndTellsWhenAnotherThreadWaits) {
  TWorldLock& lock = WorldLock();
  lock.lock();
  lock.lock();
  EXPECT_EQ(lock.ReleaseAll(), 2);
  std::atomic<bool> taken = false;
  std::thread other([&] {
    std::lock_guard guard(lock);
    taken = true;
  });
  other.join();
  EXPECT_TRUE(taken);
  lock.Reacquire(2);
  EXPECT_EQ(lock.ReleaseAll(), 2);
  EXPECT_EQ(lock.ReleaseAll(), 0);
  lock.lock();
  EXPECT_FALSE(lock.Contended());
  std::thread waiter([&] { std::lock_guard guard(lock); });
  while (!lock.Contended()) std::this_thread::sleep_for(1ms);
  lock.unlock();
  waiter.join();
  EXPECT_FALSE(lock.Contended());
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

}  // namespace
