#include "app/main_tool.h"

#include <stdexcept>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"
#include "framework/tools/world.h"

namespace {

// The main tool as the program makes it, noting the receiver of each log line.
class TNotingMainTool : public TOldMainTool {
  KESTX_CLASS(TNotingMainTool)
 public:
  std::vector<bool> addressedToMe;
  void ShowTextMessage(TKestuMessage* message) override {
    addressedToMe.push_back(message->Receiver() == this);
    TOldMainTool::ShowTextMessage(message);
  }
};

TClass TNotingMainTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TNotingMainTool>("TNotingMainTool", TOldMainTool::StaticClass(), "MainToolTest", {});
  return &info;
}

// Throws from its handler.
class TFailingElement : public TOwnerEntity {
 public:
  void ReceiveMessage(TKestuMessage*& message, bool&) override {
    if (message->Message == 70) throw std::runtime_error("Soubor nelze otevřít");
  }
};

class MainToolTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterMainToolClasses();
    main = static_cast<TNotingMainTool*>(TOldMainTool::Create(TNotingMainTool::StaticClass()));
  }
  void TearDown() override {
    delete World();
    FrameworkTest::TearDown();
  }
  TNotingMainTool* main = nullptr;
};

TEST_F(MainToolTest, CreatesTheOneWorldAndBecomesItsMainToolOnlyFromAMainToolClass) {
  ASSERT_NE(main, nullptr);
  TWorld* world = World();
  ASSERT_NE(world, nullptr);
  EXPECT_EQ(world->ClassType(), TWorld::StaticClass());
  EXPECT_EQ(world->MainTool(), main);
  EXPECT_EQ(main->GetOwnerByClass(TWorld::StaticClass()), world);
  EXPECT_EQ(TOldMainTool::Create(TTechnology::StaticClass()), nullptr);
  EXPECT_EQ(TOldMainTool::Create(nullptr), nullptr);
  EXPECT_EQ(World(), world);
}

TEST_F(MainToolTest, UnaddressedMessagesReachTheMainToolWithReceiverSet) {
  TOwnerElement sender;
  PostTextMessage(&sender, msgLogText, "Začátek exportu souboru průvodce ", nullptr);
  PostTextMessage(&sender, msgLogText, "", nullptr);
  PostTextMessage(&sender, msgLogText, "Do následující složky: ", nullptr);
  RunMessages();
  EXPECT_EQ(main->addressedToMe, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(main->MessageLines(),
            (std::vector<std::string>{"Začátek exportu souboru průvodce ", "Do následující složky: "}));
}

TEST_F(MainToolTest, StatusTextTakesTextMessagesAndSwallowsTheRest) {
  PostTextMessage(nullptr, msgStatusText, "Vyšťourávání linií z mapových prostorů", nullptr);
  RunMessages();
  EXPECT_EQ(main->StatusText(), "Vyšťourávání linií z mapových prostorů");
  auto* plain = new TKestuMessage(msgStatusText, nullptr, main, nullptr, false);
  bool handled = false;
  TKestuMessage* message = plain;
  main->ReceiveMessage(message, handled);
  delete plain;
  EXPECT_TRUE(handled);
  EXPECT_EQ(main->StatusText(), "Vyšťourávání linií z mapových prostorů");
}

TEST_F(MainToolTest, ExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  TFailingElement failing;
  failing.PostMessage(70, &failing, nullptr, false);
  PostTextMessage(nullptr, msgLogText, "dál", nullptr);
  RunMessages();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "World Level Error :Soubor nelze otevřít");
  EXPECT_EQ(main->MessageLines(), (std::vector<std::string>{"dál"}));
}

TEST_F(MainToolTest, ProgressOfEachToolIsFollowedUntilItEndsOrIsFreed) {
  TTool exporter;
  auto* saver = new TTool;
  exporter.StartProgress("Export linií", 0, 250);
  saver->StartProgress("Uložení", 5, 10);
  exporter.SetProgress(100);
  exporter.SetProgressText("SMO 50");
  saver->SetProgress(7);
  RunMessages();
  ASSERT_EQ(main->Processes().size(), 2u);
  const TProcessProgress& first = main->Processes()[0];
  EXPECT_EQ(first.Process.Get(), &exporter);
  EXPECT_EQ(std::tuple(first.ProcessName, first.MinProgress, first.MaxProgress, first.Progress, first.Text),
            std::tuple("Export linií", 0, 250, 100, "SMO 50"));
  EXPECT_EQ(std::tuple(main->Processes()[1].MinProgress, main->Processes()[1].Progress), std::tuple(5, 7));
  exporter.EndProgress();
  ASSERT_EQ(main->Processes().size(), 1u);
  EXPECT_EQ(main->Processes()[0].ProcessName, "Uložení");
  delete saver;  // a freed tool's progress ends with it
  RunMessages();
  EXPECT_TRUE(main->Processes().empty());
  EXPECT_TRUE(main->MessageLines().empty());
}

TEST_F(MainToolTest, FreeingTheWorldFreesTheMainToolAndMessagesStillFindTheirReceivers) {
  TElementLink mainLink(main);
  delete World();
  EXPECT_EQ(World(), nullptr);
  EXPECT_EQ(mainLink.Get(), nullptr);
  TOldMainTool keeper;  // receives only what is addressed to it
  PostTextMessage(nullptr, msgLogText, "nikomu", nullptr);
  PostTextMessage(nullptr, msgLogText, "správci", &keeper);
  RunMessages();
  EXPECT_EQ(keeper.MessageLines(), (std::vector<std::string>{"správci"}));
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
}

}  // namespace
