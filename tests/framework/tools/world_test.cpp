#include "framework/tools/world.h"

#include <stdexcept>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/tools/system_register.h"

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
  }
  // Lets the world deliver messages and show errors, as the program does.
  static void InstallHooks(TWorld& world) {
    platform::Application& application = platform::Application::Instance();
    application.SetMessageHook(
        [&world](platform::AppMessage& m, bool& handled) { world.DispatchAppMessage(m, handled); });
    application.SetExceptionHook([&world](std::exception_ptr error) { world.ShowAppException(error); });
  }
};

TEST_F(WorldTest, WorldHoldsTheClassRegistryAndLeavesItAliveWhenFreed) {
  {
    TWorld world;
    TEntity* classes = world.ObjectClasses();
    EXPECT_EQ(classes, KestuClasses());
    EXPECT_EQ(classes->GetName(), "ObjectClasses");
    EXPECT_EQ(world.IndexOf(classes), 0);
    EXPECT_EQ(world.GetPropertyText("ObjectClasses"), std::to_string(HandleOfElement(classes)));
    world.SetPropertyText("ObjectClasses", "0");  // ignored
    EXPECT_EQ(world.ObjectClasses(), classes);
  }
  EXPECT_EQ(KestuClasses()->GetOwnersCount(), 0);
  EXPECT_EQ(FindKestuClass("TWorld"), TWorld::StaticClass());
  EXPECT_EQ(FindKestuClass("TObjectModel"), TObjectModel::StaticClass());
  EXPECT_EQ(FindKestuClass("TSystemRegister"), TSystemRegister::StaticClass());
}

TEST_F(WorldTest, WorldClassesAreRegisteredTogetherInTheirOrder) {
  std::vector<int> ids;
  for (const char* name : {"TWorld", "TObjectModel", "TSystemRegister", "TRegisterClassModel", "TRegisterClassModels",
                           "TRegisterPropertyModel"}) {
    TKestuClass* entry = KestuClasses()->FindEntry(name);
    ASSERT_NE(entry, nullptr) << name;
    ids.push_back(entry->ID);
  }
  for (std::size_t i = 1; i < ids.size(); ++i) EXPECT_EQ(ids[i], ids[0] + static_cast<int>(i)) << i;
}

TEST_F(WorldTest, SystemRegisterIsMadeOnceAndNamed) {
  TWorld world;
  TSystemRegister* reg = world.SystemRegister();
  EXPECT_EQ(world.SystemRegister(), reg);
  EXPECT_EQ(reg->GetName(), "System register");
  int registers = 0;
  for (TElement* child : world.Children()) registers += DynamicCast<TSystemRegister>(child) != nullptr;
  EXPECT_EQ(registers, 1);
}

TEST_F(WorldTest, ObjectModelIsReplacedAndFreedWhenOnlyTheWorldHeldIt) {
  TWorld world;
  TObjectModel* first = world.ObjectModel();
  EXPECT_EQ(first->GetName(), "Object model");
  TElementLink firstLink(first);
  auto* second = new TObjectModel;
  world.SetObjectModel(second);
  EXPECT_EQ(firstLink.Get(), nullptr);
  world.SetObjectModel(second);  // the same again
  EXPECT_EQ(world.ObjectModel(), second);
  EXPECT_EQ(second->GetOwnersCount(), 1);
  TOwnerEntity keeper;
  keeper.AddElement(second);
  world.SetPropertyText("ObjectModel", std::to_string(HandleOfElement(new TObjectModel)));
  EXPECT_EQ(keeper.IndexOf(second), 0);  // still kept by its other owner
  EXPECT_EQ(second->GetOwnersCount(), 1);
}

TEST_F(WorldTest, MainToolIsMadeOnDemandOnly) {
  TWorld plain;
  EXPECT_EQ(plain.MainTool(), nullptr);
  TWorldWithMainTool world;
  TTechnology* tool = world.MainTool();
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(world.MainTool(), tool);
  EXPECT_EQ(world.made, 1);
  EXPECT_GE(world.IndexOf(tool), 0);
  world.SetMainTool(new TNotingTool);
  EXPECT_EQ(Tracked<TTechnology>::Alive, 1);
  world.SetMainTool(world.MainTool());
  EXPECT_EQ(Tracked<TTechnology>::Alive, 1);
  delete world.MainTool();
  EXPECT_NE(world.MainTool(), nullptr);  // made anew
  EXPECT_EQ(world.made, 2);
}

TEST_F(WorldTest, MessagesWithoutReceiverReachTheMainToolNamedAsReceiver) {
  TWorldWithMainTool world;
  InstallHooks(world);
  auto* main = static_cast<TNotingTool*>(world.MainTool());
  TOwnerElement sender;
  sender.PostMessage(20, nullptr, nullptr, false);
  auto* gone = new TOwnerEntity;
  sender.PostMessage(21, gone, nullptr, false);
  delete gone;
  sender.PostMessage(22, main, nullptr, false);
  RunMessages();
  EXPECT_EQ(main->seen, (std::vector<std::string>{"20 to me", "22 to me"}));
  platform::AppMessage other{platform::WM_USER + 1, 0, 0};
  bool handled = false;
  world.DispatchAppMessage(other, handled);
  EXPECT_FALSE(handled);
}

TEST_F(WorldTest, HandlerExceptionIsShownAsWorldLevelErrorAndDeliveryGoesOn) {
  TWorldWithMainTool world;
  InstallHooks(world);
  auto* main = static_cast<TNotingTool*>(world.MainTool());
  main->PostMessage(66, nullptr, nullptr, false);
  main->PostMessage(67, nullptr, nullptr, false);
  RunMessages();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "World Level Error :Selhal nástroj");
  EXPECT_EQ(dialogs.Messages[0].Type, platform::MsgDlgType::Error);
  EXPECT_EQ(dialogs.Messages[0].Buttons, static_cast<unsigned>(platform::mbOK));
  EXPECT_EQ(main->seen, (std::vector<std::string>{"66 to me", "67 to me"}));
}

TEST_F(WorldTest, ExceptionWithoutTextStillGetsTheBox) {
  TWorld world;
  world.ShowAppException(std::make_exception_ptr(42));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "World Level Error :");
}

TEST_F(WorldTest, ProgramWorldVariableIsClearedWhenItsWorldGoes) {
  auto* world = new TWorld;
  SetWorld(world);
  EXPECT_EQ(World(), world);
  TWorld other;
  delete world;
  EXPECT_EQ(World(), nullptr);
  SetWorld(&other);
  EXPECT_EQ(World(), &other);
  SetWorld(nullptr);
}

TEST_F(WorldTest, WorldClassIsTheBaseWhileNoCoordinateWorldIsRegistered) {
  ASSERT_EQ(FindKestuClass("TWCSWorld"), nullptr);
  EXPECT_EQ(WorldClass(), TWorld::StaticClass());
}

TEST_F(WorldTest, TestElementAndTitleGoThroughProperties) {
  TWorld world;
  TOwnerElement element;
  world.SetPropertyText("TestElement", std::to_string(HandleOfElement(&element)));
  EXPECT_EQ(TestElement(), &element);
  const std::string saved = platform::Application::Instance().Title();
  world.SetPropertyText("ApplicTitle", "KESTX – zkouška");
  EXPECT_EQ(platform::Application::Instance().Title(), "KESTX – zkouška");
  EXPECT_EQ(world.GetPropertyText("ApplicTitle"), "KESTX – zkouška");
  platform::Application::Instance().SetTitle(saved);
}

TEST_F(WorldTest, ApplicationSettingsReadAndWriteThroughTheApplicationObject) {
  TWorld world;
  platform::Application& application = platform::Application::Instance();
  world.SetPropertyText("ApplicHint", "Nápověda");
  world.SetPropertyText("ApplicHintPause", "750");
  world.SetPropertyText("ApplicShowHint", "False");
  world.SetPropertyText("ApplicHintColor", "255");
  world.SetPropertyText("ApplicHelpFile", "kestx.hlp");
  EXPECT_EQ(application.Hint, "Nápověda");
  EXPECT_EQ(application.HintPause, 750);
  EXPECT_FALSE(application.ShowHint);
  EXPECT_EQ(world.GetPropertyText("ApplicHintColor"), "255");
  EXPECT_EQ(world.GetPropertyText("ApplicHelpFile"), "kestx.hlp");
  application.ShowHint = true;
  // The program file is this test program; its directory ends with the separator.
  const std::string exe = world.GetPropertyText("ApplicExeName");
  EXPECT_NE(exe.find("test_framework"), std::string::npos);
  const std::string dir = world.GetPropertyText("ApplicDir");
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(exe.rfind(dir, 0), 0u);
  EXPECT_EQ(GetObjectPropByName(world, "Application"), &application);
  world.SetPropertyText("ApplicExeName", "x");  // read only
  EXPECT_EQ(world.GetPropertyText("ApplicExeName"), exe);
}

}  // namespace
