#include "block/guide/export_dialog.h"

#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/tool_forms/base_forms.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;

// The options as the program's main tool publishes them.
class TTestOptions : public TOwnerElement {
  KESTX_CLASS(TTestOptions)
 public:
  bool Export_50 = false;
  bool Export_25 = false;
  bool Export_10 = false;
  bool Export_5 = false;
  bool Export_2 = false;
  bool Export_User = false;
  std::string DataDirectory;
};

TClass TTestOptions::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestOptions>(
      "TTestOptions", TOwnerElement::StaticClass(), "test",
      {FieldProp("DataDirectory", &TTestOptions::DataDirectory), FieldProp("Export_50", &TTestOptions::Export_50),
       FieldProp("Export_25", &TTestOptions::Export_25), FieldProp("Export_10", &TTestOptions::Export_10),
       FieldProp("Export_5", &TTestOptions::Export_5), FieldProp("Export_2", &TTestOptions::Export_2),
       FieldProp("Export_User", &TTestOptions::Export_User)});
  return &info;
}

class TTestMainTool : public TTechnology {
  KESTX_CLASS(TTestMainTool)
 public:
  TTestOptions options;
};

TClass TTestMainTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestMainTool>(
      "TTestMainTool", TTechnology::StaticClass(), "test",
      {AccessorProp<TTestMainTool, TTestOptions*>(
          "Options", [](const TTestMainTool& t) { return const_cast<TTestOptions*>(&t.options); }, nullptr)});
  return &info;
}

const char* const kSeriesOptions[] = {"Export_50", "Export_25", "Export_10", "Export_5", "Export_2", "Export_User"};
const char* const kCheckBoxes[] = {"cb_50", "cb_25", "cb_10", "cb_5", "cb_2", "cb_u"};

class ExportDialogTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    SetWorld(&world);
    mainTool = new TTestMainTool();
    world.SetMainTool(mainTool);
    TTestOptions& o = mainTool->options;
    o.Export_50 = true;
    o.Export_10 = true;
    o.Export_User = false;
    o.DataDirectory = "/data/Průvodce";
    dialog.reset(CreateElement<TKESTXDialog>());
  }
  void TearDown() override {
    dialog.reset();
    SetWorld(nullptr);
    platform::SetAttended();
    BlockTest::TearDown();
  }
  // The options as "name=value" texts, series first.
  std::vector<std::string> Options() const {
    std::vector<std::string> texts;
    for (const char* name : kSeriesOptions) texts.push_back(name + ("=" + mainTool->options.GetPropertyText(name)));
    texts.push_back("DataDirectory=" + mainTool->options.DataDirectory);
    return texts;
  }
  // The form as the person found it: check marks in the dialog's order, then
  // the folder field.
  static std::vector<std::string> Shown(platform::Form& form) {
    std::vector<std::string> shown;
    for (const char* box : kCheckBoxes) shown.push_back(box + std::string(form.Checked(box) ? "+" : "-"));
    shown.push_back(form.Text("ed_Path"));
    return shown;
  }

  TWorld world;
  TTestMainTool* mainTool = nullptr;
  std::unique_ptr<TKESTXDialog> dialog;
};

TEST_F(ExportDialogTest, TheControlsShowTheOptionsAndOnlyOkWritesThemBack) {
  const std::vector<std::string> before = Options();
  const std::vector<std::string> afterOk = {"Export_50=False", "Export_25=True",  "Export_10=True",
                                            "Export_5=False",  "Export_2=True",   "Export_User=True",
                                            "DataDirectory=/export/Bloky"};
  struct Case {
    const char* name;
    std::function<void(platform::Form&)> end;
    int result;
    std::vector<std::string> options;
  };
  const std::vector<Case> cases = {
      {"Storno", [](platform::Form& f) { platform::UserClick(f, "bt_Storno"); }, 2, before},
      {"close box", [](platform::Form& f) { platform::UserCloseWindow(f); }, 2, before},
      {"OK", [](platform::Form& f) { platform::UserClick(f, "bt_OK"); }, 1, afterOk},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> shown;
    platform::SetModalAnswerer([&](platform::Form& form) {
      shown = Shown(form);
      form.SetChecked("cb_50", false);
      form.SetChecked("cb_25", true);
      form.SetChecked("cb_2", true);
      form.SetChecked("cb_u", true);
      form.SetText("ed_Path", "/export/Bloky");
      row.end(form);
    });
    dialog->DoIt();
    EXPECT_EQ(dialog->Result, row.result);
    EXPECT_THAT(shown, ElementsAre("cb_50+", "cb_25-", "cb_10+", "cb_5-", "cb_2-", "cb_u-", "/data/Průvodce"));
    EXPECT_EQ(Options(), row.options);
    if (row.result == 1) continue;
    EXPECT_EQ(Options(), before);
  }
}

TEST_F(ExportDialogTest, UnattendedTheDialogEndsWithOkAndKeepsTheOptions) {
  std::vector<std::string> log;
  platform::SetUnattended([&](const std::string& line) { log.push_back(line); });
  const std::vector<std::string> before = Options();
  dialog->SetCaption("Export Průvodce do LumaRu");
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 1);
  EXPECT_EQ(Options(), before);
  EXPECT_THAT(log, ElementsAre("Export Průvodce do LumaRu"));
}

TEST_F(ExportDialogTest, WithoutOptionsTheFormKeepsItsDesignAndNothingIsWritten) {
  world.SetMainTool(nullptr);
  std::vector<std::string> shown;
  platform::SetModalAnswerer([&](platform::Form& form) {
    shown = Shown(form);
    platform::UserClick(form, "bt_OK");
  });
  dialog->DoIt();
  EXPECT_EQ(dialog->Result, 1);
  EXPECT_THAT(shown, ElementsAre("cb_50-", "cb_25-", "cb_10-", "cb_5-", "cb_2-", "cb_u+", ""));
}

TEST_F(ExportDialogTest, TheFolderButtonPutsTheChosenFolderIntoTheField) {
  const std::string chosen = folder.File("Bloky");
  std::filesystem::create_directories(chosen);
  struct Case {
    const char* name;
    const char* pickerButton;
    std::string path;
  };
  const std::vector<Case> cases = {{"Storno keeps the field", "bt_Storno", "/data/Průvodce"},
                                   {"Použít sets it", "bt_OK", chosen}};
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::string startedAt;
    std::string field;
    platform::SetModalAnswerer([&](platform::Form& form) {
      if (form.LayoutName() == "Tf_SelectDir") {
        startedAt = form.Directory("lb_Dirs");
        form.SetDirectory("lb_Dirs", chosen);
        platform::UserClick(form, row.pickerButton);
        return;
      }
      platform::UserClick(form, "b_Path");
      field = form.Text("ed_Path");
      platform::UserClick(form, "bt_Storno");
    });
    dialog->DoIt();
    EXPECT_EQ(startedAt, "/");
    EXPECT_EQ(field, row.path);
  }
}

// Width and height from a PNG file's header.
std::array<std::uint32_t, 2> PngSize(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  auto big = [&](int at) {
    return std::uint32_t{header[at]} << 24 | std::uint32_t{header[at + 1]} << 16 |
           std::uint32_t{header[at + 2]} << 8 | header[at + 3];
  };
  return {big(16), big(20)};
}

TEST_F(ExportDialogTest, TheDialogAndTheConfirmationDrawWithTheirControlsInPlace) {
  const std::filesystem::path shots = KESTX_SCREENSHOTS_DIR;
  std::filesystem::create_directories(shots);
  struct Control {
    const char* name;
    int left, top, width, height;  // -1: not fixed by the design
  };
  struct Case {
    const char* layout;
    int width, height;
    std::vector<Control> controls;
  };
  const std::vector<Case> cases = {
      {"TKESTXDialog_Form",
       301,
       251,
       {{"Label1", 16, 0, -1, -1},
        {"cb_50", 16, 24, -1, -1},
        {"cb_25", 16, 48, -1, -1},
        {"cb_10", 16, 72, -1, -1},
        {"cb_5", 16, 96, -1, -1},
        {"cb_2", 16, 120, -1, -1},
        {"cb_u", 16, 144, -1, -1},
        {"Label5", 16, 176, -1, -1},
        {"ed_Path", 112, 176, 140, -1},
        {"b_Path", 256, 174, 33, 25},
        {"pn_Bottom", 0, 208, 301, 43},
        {"bt_OK", -1, -1, -1, -1},
        {"bt_Storno", -1, -1, -1, -1}}},
      {"TKestuConfirmDialog_Form",
       360,
       160,
       {{"lb_Message", -1, -1, -1, -1},
        {"bt_Ano", -1, -1, -1, -1},
        {"bt_Ne", -1, -1, -1, -1},
        {"bt_Storno", -1, -1, -1, -1}}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.layout);
    TKESTUForm form(row.layout);
    platform::Form& window = form.Window();
    if (window.HasControl("lb_Message")) window.SetText("lb_Message", "Přerušit export linií ?");
    window.SetBounds({0, 0, row.width, row.height});
    const platform::Bounds frame = window.GetBounds();
    EXPECT_EQ(frame.Width, row.width);
    EXPECT_EQ(frame.Height, row.height);
    for (const Control& c : row.controls) {
      SCOPED_TRACE(c.name);
      ASSERT_TRUE(window.HasControl(c.name));
      const platform::Bounds at = window.ControlBounds(c.name);
      EXPECT_GE(at.Left, 0);
      EXPECT_GE(at.Top, 0);
      EXPECT_GT(at.Width, 0);
      EXPECT_GT(at.Height, 0);
      EXPECT_LE(at.Left + at.Width, frame.Width);
      EXPECT_LE(at.Top + at.Height, frame.Height);
      for (const auto& [want, got] : {std::pair{c.left, at.Left}, {c.top, at.Top}, {c.width, at.Width},
                                      {c.height, at.Height}}) {
        if (want >= 0) {
          EXPECT_EQ(got, want);
        }
      }
    }
    const std::string png = (shots / (std::string(row.layout) + ".png")).string();
    ASSERT_TRUE(window.SaveImage(png));
    const auto size = PngSize(png);
    EXPECT_EQ(size[0], static_cast<std::uint32_t>(row.width));
    EXPECT_EQ(size[1], static_cast<std::uint32_t>(row.height));
  }
}

TEST_F(ExportDialogTest, TheDialogShowsItsCaptions) {
  TKESTUForm form("TKESTXDialog_Form");
  platform::Form& w = form.Window();
  std::vector<std::string> texts;
  for (const char* name : {"Label1", "cb_50", "cb_25", "cb_10", "cb_5", "cb_2", "cb_u", "Label5", "b_Path", "bt_OK",
                           "bt_Storno"})
    texts.push_back(w.Text(name));
  EXPECT_THAT(texts, ElementsAre("Exportovat:", "SMO 50", "SMO 25", "SMO 10", "SMO 5", "SMO 2", "Uživatelské prostory",
                                 "Složka pro export:", "...", "&OK", "&Storno"));
  EXPECT_EQ(w.Caption(), "Export Průvodce do LumaRu");
  EXPECT_EQ(w.DefaultResult(), 1);
}

}  // namespace
