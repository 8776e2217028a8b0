#include "block/guide/export_dialog.h"

#include <fstream>

#include "app/tool_forms/base_forms.h"
#include "tests/block/block_fixture.h"

namespace {

// A main tool publishing its options, which the dialog reads by name.
class TTestMainTool : public TTechnology {
  KESTX_CLASS(TTestMainTool)
 public:
  TTestMainTool() {
    SetTexts(options, {{"Export_50", "True"}, {"Export_10", "True"}, {"DataDirectory", "/data/Průvodce"}});
  }
  TDynamicProperties options;
};

TClass TTestMainTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestMainTool>(
      "TTestMainTool", TTechnology::StaticClass(), "test",
      {AccessorProp<TTestMainTool, TDynamicProperties*>(
          "Options", [](const TTestMainTool& t) { return const_cast<TDynamicProperties*>(&t.options); }, nullptr)});
  return &info;
}

class ExportDialogTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    SetWorld(&world);
    world.SetMainTool(mainTool);
    dialog.reset(CreateElement<TKESTXDialog>());
  }
  void TearDown() override {
    dialog.reset();
    SetWorld(nullptr);
    platform::SetAttended();
    BlockTest::TearDown();
  }
  // The series options as check marks, then the folder.
  std::string Options() const {
    std::string marks;
    for (const char* series : {"Export_50", "Export_25", "Export_10", "Export_5", "Export_2", "Export_User"})
      marks += mainTool->options.GetPropertyBoolean(series) ? '+' : '-';
    return marks + " " + mainTool->options.GetPropertyText("DataDirectory");
  }
  // Check marks in the dialog's order, then the folder field.
  static std::string Shown(platform::Form& form) {
    std::string shown;
    for (const char* box : {"cb_50", "cb_25", "cb_10", "cb_5", "cb_2", "cb_u"}) shown += form.Checked(box) ? '+' : '-';
    return shown + " " + form.Text("ed_Path");
  }

  TWorld world;
  TTestMainTool* mainTool = new TTestMainTool();
  std::unique_ptr<TKESTXDialog> dialog;
};

TEST_F(ExportDialogTest, TheControlsShowTheOptionsTheFolderButtonFillsTheFieldAndOnlyOkWritesThemBack) {
  const std::string before = Options();
  const std::string chosen = folder.File("Bloky");
  std::filesystem::create_directories(chosen);
  // How the dialog ends, its result, and the button that ends the folder choice.
  const std::tuple<const char*, int, const char*> cases[] = {
      {"bt_Storno", 2, "bt_OK"}, {"close box", 2, "bt_Storno"}, {"bt_OK", 1, "bt_OK"}};
  for (const auto& [end, result, folderButton] : cases) {
    SCOPED_TRACE(end);
    std::string shown, startedAt, field;
    platform::SetModalAnswerer([&, end = std::string(end), folderButton = folderButton](platform::Form& form) {
      if (form.LayoutName() == "Tf_SelectDir") {
        startedAt = form.Directory("lb_Dirs");
        form.SetDirectory("lb_Dirs", chosen);
        return platform::UserClick(form, folderButton);
      }
      shown = Shown(form);
      for (const char* box : {"cb_50", "cb_25", "cb_2", "cb_u"}) form.SetChecked(box, !form.Checked(box));
      platform::UserClick(form, "b_Path");
      field = form.Text("ed_Path");
      if (end == "close box") platform::UserCloseWindow(form);
      else platform::UserClick(form, end);
    });
    dialog->DoIt();
    EXPECT_EQ(dialog->Result, result);
    EXPECT_EQ(shown, "+-+--- /data/Průvodce");
    EXPECT_EQ(startedAt, "/");
    EXPECT_EQ(field, std::string(folderButton) == "bt_OK" ? chosen : "/data/Průvodce");
    EXPECT_EQ(Options(), result == 1 ? "-++-++ " + chosen : before);
  }
}

TEST_F(ExportDialogTest, TheDialogDrawsWithItsControlsAndTheirTextsInside) {
  TKESTUForm form("TKESTXDialog_Form");
  platform::Form& window = form.Window();
  EXPECT_EQ(window.Caption(), "Export Průvodce do LumaRu");
  window.SetBounds({0, 0, 301, 251});
  const std::pair<const char*, const char*> controls[] = {
      {"Label1", "Exportovat:"}, {"cb_50", "SMO 50"}, {"cb_25", "SMO 25"}, {"cb_10", "SMO 10"}, {"cb_5", "SMO 5"},
      {"cb_2", "SMO 2"}, {"cb_u", "Uživatelské prostory"}, {"Label5", "Složka pro export:"}, {"ed_Path", ""},
      {"b_Path", "..."}, {"pn_Bottom", ""}, {"bt_OK", "&OK"}, {"bt_Storno", "&Storno"}};
  for (const auto& [name, text] : controls) {
    ASSERT_TRUE(window.HasControl(name)) << name;
    EXPECT_EQ(window.Text(name), text);
    const platform::Bounds at = window.ControlBounds(name);
    EXPECT_TRUE(at.Left >= 0 && at.Top >= 0 && at.Width > 0 && at.Height > 0 && at.Left + at.Width <= 301 &&
                at.Top + at.Height <= 251)
        << name;
  }
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  const std::string png = std::string(KESTX_SCREENSHOTS_DIR) + "/TKESTXDialog_Form.png";
  ASSERT_TRUE(window.SaveImage(png));
  unsigned char h[24] = {};  // the header: width and height big-endian from byte 16
  std::ifstream(png, std::ios::binary).read(reinterpret_cast<char*>(h), sizeof h);
  EXPECT_EQ(std::pair(h[16] << 24 | h[17] << 16 | h[18] << 8 | h[19], h[20] << 24 | h[21] << 16 | h[22] << 8 | h[23]),
            std::pair(301, 251));
}

}  // namespace
