#include "app/windows/message_window.h"

#include "framework/core/class_registry.h"
#include "render/interprets/universal_interpret.h"
#include "tests/app/shell_fixture.h"

namespace {

class MessageWindowTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    device = new TMemoFormDevice;
    holder.AddElement(device);
  }
  TStdtxtForm& Window() { return *device->Window(); }
  std::string EditorText() { return Window().Window().Text("RichEdit"); }

  TOwnerEntity holder;
  TMemoFormDevice* device = nullptr;
};

TEST_F(MessageWindowTest, TextsJoinTheLineBeingWrittenLinesEndItAndAFreedDeviceLeavesItsWindowOpen) {
  device->WriteText("a");
  device->WriteText("b");
  device->WriteLine("c");
  device->WriteText("d");
  EXPECT_EQ(std::tuple(EditorText(), Window().CurrentLine()), std::tuple("abc\nd", "d"));
  device->WriteLine("");
  EXPECT_EQ(EditorText(), "abc\nd\n ") << "a new last line holds one blank";
  device->Clear();
  device->WriteText("x");
  device->WriteLine("poslední");
  // A freed device leaves its window open; a device without a window writes nowhere.
  TStdtxtForm* window = device->Window();
  holder.FreeElement(device);
  EXPECT_EQ(std::tuple(window->Device(), window->Window().Visible(), window->Window().Text("RichEdit")),
            std::tuple(nullptr, true, "xposlední\n "));
  window->Window().Close();
  auto* orphan = new TMemoFormDevice;
  holder.AddElement(orphan);
  orphan->ForgetWindow();
  orphan->SetPropertyText("Width", "300");
  orphan->WriteLine("nikam");
  EXPECT_EQ(orphan->GetPropertyText("Width"), "0");
}

// Wherever the caret goes, the status bar shows its line and column, both
// from 0.
TEST_F(MessageWindowTest, TheStatusBarFollowsTheCaret) {
  device->WriteLine("abc");
  device->WriteText("de");
  const std::pair<int, const char*> rows[] = {{0, "0/0"}, {2, "0/2"}, {5, "1/1"}, {4, "1/0"}};
  for (const auto& [position, status] : rows) {
    Window().Window().Select("RichEdit", position, 0);
    EXPECT_EQ(Window().Window().Text("StatusBar"), status) << "caret at " << position;
  }
}

// The device's place and size are its window's.
TEST_F(MessageWindowTest, TheDevicesPlaceAndSizeMoveItsWindow) {
  const std::pair<const char*, const char*> rows[] = {{"Left", "30"}, {"Top", "40"}, {"Width", "320"}, {"Height", "200"}};
  for (const auto& [property, value] : rows) {
    device->SetPropertyText(property, value);
    EXPECT_EQ(device->GetPropertyText(property), value) << property;
  }
  const platform::Bounds bounds = Window().Window().GetBounds();
  EXPECT_EQ(std::tuple(bounds.Left, bounds.Top, bounds.Width, bounds.Height), std::tuple(30, 40, 320, 200));
}

// While a listing draws into it the window refuses to close; after it, it closes.
TEST_F(MessageWindowTest, TheWindowRefusesToCloseWhileItIsDrawnInto) {
  device->BeginDraw();
  EXPECT_FALSE(platform::UserCloseWindow(Window().Window()));
  device->EndDraw();
  EXPECT_TRUE(platform::UserCloseWindow(Window().Window()));
}

TEST_F(MessageWindowTest, SavesPlainTextForTxtAndRichTextOtherwiseWithoutEndingTheLineAndAFailureIsShown) {
  device->WriteLine("Začátek exportu");
  device->WriteText("polo");
  const std::pair<const char*, bool> cases[] = {
      {"LOG.TXT", false}, {"log.txt", false}, {"LOG.rtf", true}, {"LOG", true}};
  for (const auto& [name, rich] : cases) {
    Window().SaveToFile(File(name));
    const std::string bytes = FileBytes(File(name));
    if (rich) EXPECT_EQ(bytes.rfind("{\\rtf1", 0), 0u) << name;
    else EXPECT_EQ(bytes, "Za\xe8\xe1tek exportu\r\npolo\r\n") << name;
    EXPECT_FALSE(Window().Modified()) << name;
  }
  device->WriteText("vina");
  EXPECT_EQ(EditorText(), "Začátek exportu\npolovina");
  Window().LoadFromFile(File("LOG.rtf"));
  EXPECT_EQ(EditorText(), "Začátek exportu\npolo");
  device->WriteText("ha");
  EXPECT_EQ(EditorText(), "Začátek exportu\npoloha");
  // A save that fails is shown by the program's handler, not raised into the window system.
  dialogs.FileAnswers = {File("chybí/LOG.TXT")};
  platform::UserClick(Window().Window(), "Save");
  EXPECT_EQ(std::tuple(Exceptions.size(), Window().Modified()), std::tuple(1u, true)) << "nothing was saved";
}

TEST_F(MessageWindowTest, OpenAsksToSaveChangesThenLoadsTheChosenFileAndRemembersItsFolder) {
  WriteCp1250File(File("stary.txt"), "řádek 1\r\nřádek 2\r\n");
  device->WriteLine("neuloženo");
  dialogs.FileAnswers = {File("ulozeno.TXT"), File("stary.txt")};
  platform::UserClick(Window().Window(), "Open");
  EXPECT_EQ(Unattended, (std::vector<std::string>{"Dialog"})) << "the question of the changed text";
  ASSERT_EQ(dialogs.FileDialogs.size(), 2u);
  const platform::FileDialogRequest &save = dialogs.FileDialogs[0], &open = dialogs.FileDialogs[1];
  EXPECT_EQ(std::tuple(save.Save, save.Filter, save.DefaultExt, Join(save.FilterDefaultExts)),
            std::tuple(true, "textový soubor (*.TXT)|*.txt|RTF soubor (RTF)|*.rtf", "TXT", "TXT RTF"));
  EXPECT_EQ(std::tuple(open.Save, open.InitialDir), std::tuple(false, folder.Path())) << "the saved file's folder";
  EXPECT_EQ(FileBytes(File("ulozeno.TXT")), "neulo\x9e" "eno\r\n \r\n");
  platform::UserClick(Window().Window(), "Open");  // unchanged: no question, the dialog cancelled
  EXPECT_EQ(std::tuple(EditorText(), Window().Modified(), Unattended.size()), std::tuple("řádek 1\nřádek 2", false, 1u));
}

TEST_F(MessageWindowTest, AbortBreaksTheInterpretThatOwnsTheDevice) {
  RegisterKestuClass(TUniversalInterpret::StaticClass());
  TInterpret other;
  other.AddElement(device);
  platform::UserClick(Window().Window(), "Abort");
  EXPECT_EQ(std::tuple(other.BreakWork(), EditorText()), std::tuple(false, "")) << "only the window's own interpret";
  TUniversalInterpret interpret;
  interpret.AddElement(device);
  device->WriteText("vypisuji");
  platform::UserClick(Window().Window(), "Abort");
  EXPECT_EQ(std::tuple(interpret.BreakWork(), EditorText()),
            std::tuple(true, "vypisuji\n***** Přerušeno uživatelem !!!!!! *****\n  "));
  interpret.RemoveElement(device);
  other.RemoveElement(device);
}

TEST_F(MessageWindowTest, NamingATextFileDevicesFileClosesTheLastAndCreatesTheNewEmpty) {
  TTextFileDevice device;
  device.WriteLine("nic");  // not open yet
  device.SetPropertyText("FileName", File("a.txt"));
  device.WriteText("Čárka ");
  device.WriteLine("a řádek");
  EXPECT_EQ(device.GetPropertyText("FileName"), File("a.txt"));
  device.SetFileName(File("b.txt"));
  EXPECT_EQ(FileBytes(File("a.txt")), "\xc8\xe1rka a \xf8\xe1\x64\x65k\r\n");
  device.EndDraw();
  EXPECT_EQ(device.GetPropertyText("FileName"), "");
  device.WriteLine("zahozeno");
  device.BeginDraw();
  device.WriteLine("připsáno");
  device.EndDraw();
  EXPECT_EQ(FileBytes(File("b.txt")), "p\xf8ips\xe1no\r\n");
  device.BeginDraw();
  device.WriteLine("dál");
  device.EndDraw();
  EXPECT_EQ(FileBytes(File("b.txt")), "p\xf8ips\xe1no\r\nd\xe1l\r\n");
  // A file that cannot be made ends the last one whole and leaves the device without a file.
  device.BeginDraw();
  device.WriteLine("poslední");
  EXPECT_THROW(device.SetFileName(File("chybí/c.txt")), platform::EStreamError);
  EXPECT_EQ(device.GetPropertyText("FileName"), "");
  EXPECT_EQ(FileBytes(File("b.txt")), "p\xf8ips\xe1no\r\nd\xe1l\r\nposledn\xed\r\n");
}

}  // namespace
