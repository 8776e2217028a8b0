#include "app/windows/main_form.h"

#include <filesystem>

#include "tests/app/shell_fixture.h"

namespace {

class MainFormTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
  }
  // Every control lies inside the window, and the window draws into a PNG file.
  static void ExpectInside(const platform::Form& form, const std::vector<std::string>& controls, const char* png) {
    const platform::Bounds window = form.GetBounds();
    for (const std::string& name : controls) {
      ASSERT_TRUE(form.HasControl(name)) << name;
      const platform::Bounds b = form.ControlBounds(name);
      EXPECT_TRUE(b.Width > 0 && b.Height > 0 && b.Left >= 0 && b.Top >= 0 && b.Left + b.Width <= window.Width &&
                  b.Top + b.Height <= window.Height)
          << name << " at " << b.Left << "," << b.Top << " " << b.Width << "x" << b.Height;
    }
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    EXPECT_TRUE(form.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/" + png));
  }
  TMainTool* main = nullptr;
};

TEST_F(MainFormTest, WindowsShowTheirControlsAndRenderToPngAndActionsPostTheirMessagesToTheMainTool) {
  main->DoIt();
  PostTextMessage(nullptr, msgLogText, "Začátek exportu souboru průvodce ", nullptr);
  PostTextMessage(nullptr, msgLogText, "SMO 50 uloženo do bloku /data/50.BLK", nullptr);
  RunMessages();
  platform::Form& window = main->MainForm()->Window();
  EXPECT_EQ(window.Caption(), "KESTX verze 1.0.0.0");
  ExpectInside(window, {"ControlBar1", "MenuBar", "ToolBar1", "AnimatePanel", "Animate", "StatusBar"},
               "main_window.png");
  // The export waits for a guide; without an animation file nothing plays, silently.
  EXPECT_EQ(std::tuple(window.Enabled("a_DataExport"), window.Enabled("tb_DataExport"),
                       main->MainForm()->AnimationPlays(), Boxes().size()),
            std::tuple(false, false, false, 0u));

  platform::Form& messages = main->MessageDevice()->Window()->Window();
  ExpectInside(messages, {"ToolBar", "cb_WordWrap", "RichEdit", "StatusBar"}, "message_window.png");

  // The actions post their messages to the main tool; the status bar's only shows it.
  const std::tuple<const char*, int, TElement*> cases[] = {
      {"a_ToolModel", msgOpenExplorer, main},
      {"a_OIL", msgOpenCommandLine, nullptr},
      {"tb_OpenProject", msgOpenWizardFile, nullptr},
      {"a_Exit", msgClose, nullptr},
  };
  platform::Application& application = platform::Application::Instance();
  for (const auto& [control, code, data] : cases) {
    platform::UserClick(window, control);
    std::vector<platform::AppMessage> posted = application.TakePending();
    ASSERT_EQ(posted.size(), 1u) << control;
    std::unique_ptr<TKestuMessage> message(KestuMessageOf(posted[0]));
    ASSERT_NE(message, nullptr) << control;
    EXPECT_EQ(std::tuple(message->Message, message->Receiver(), message->Data()), std::tuple(code, main, data))
        << control;
  }
  platform::UserClick(window, "a_StatusBar");
  EXPECT_EQ(application.PendingCount(), 0u);
  main->MainForm()->GuideOpened("/data/pruvodce.kes");
  EXPECT_EQ(std::tuple(window.Caption(), window.Enabled("a_DataExport"), window.Enabled("tb_DataExport")),
            std::tuple("/data/pruvodce.kes", true, true));
}

TEST_F(MainFormTest, GeometryIsReadFromTheIniAndWrittenBackWhenTheWindowGoes) {
  // The INI file before, the window's bounds, the INI file after the window went.
  const std::tuple<const char*, std::string, std::tuple<int, int, int, int>, std::string> cases[] = {
      {"designed size without the section", "[Options]\r\nX=1\r\n", {0, 0, 600, 150},
       "[Options]\r\nX=1\r\n\r\n[MainForm]\r\nLeft=0\r\nTop=0\r\nWidth=600\r\nHeight=150\r\nMenuBar_Left=0\r\n"
       "MenuBar_Top=0\r\nAnimatePanel_Left=0\r\nAnimatePanel_Top=0\r\n"},
      {"the section's values",
       "[mainform]\r\nleft=30\r\nTop=40\r\nWidth=500\r\nHeight=180\r\nMenuBar_Left=11\r\nAnimatePanel_Top=7\r\n",
       {30, 40, 500, 180},
       "[mainform]\r\nLeft=30\r\nTop=40\r\nWidth=500\r\nHeight=180\r\nMenuBar_Left=11\r\nAnimatePanel_Top=7\r\n"
       "MenuBar_Top=0\r\nAnimatePanel_Left=0\r\n"},
  };
  for (const auto& [name, ini, bounds, written] : cases) {
    WriteCp1250File(Ini(), ini);
    auto form = std::make_unique<TMainForm>(Ini(), folder.Path() + "/");
    const platform::Bounds b = form->Window().GetBounds();
    EXPECT_EQ(std::tuple(b.Left, b.Top, b.Width, b.Height), bounds) << name;
    form.reset();
    EXPECT_EQ(FileBytes(Ini()), written) << name;
  }
}

}  // namespace
