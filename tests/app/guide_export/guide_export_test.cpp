#include "app/guide_export/guide_export.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/options/options.h"
#include "block/guide/guide_model.h"
#include "framework/tools/world.h"
#include "platform/gauge_form.h"
#include "tests/app/shell_fixture.h"

namespace {

using Flag = bool TOptions::*;

// The road from the guide to the blocks as the program's main tool runs it, into the test's folder.
class GuideExportTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    main = static_cast<TMainTool*>(TOldMainTool::Create(TMainTool::StaticClass()));
    main->GetOptions()->DataDirectory = out;
    platform::SetModalAnswerer([this](platform::Form& form) { platform::UserClick(form, answer); });
  }
  // Loads the sample guide; what loading logs is forgotten.
  void Load() {
    LoadGuide(*main, guideFile);
    RunMessages();
    if (main->MessageDevice()) main->MessageDevice()->Clear();
  }
  // Whether every chosen block was written.
  bool Export(std::initializer_list<Flag> flags) {
    for (Flag flag : flags) main->GetOptions()->*flag = true;
    const bool complete = ExportGuide(*main, guideFile);
    RunMessages();
    return complete;
  }
  int Count(const std::string& part) const {
    int n = 0;
    for (const std::string& line : main->MessageLines()) n += line.find(part) != std::string::npos;
    return n;
  }
  // Lines written to a block's TN.LIN, without its dummy record.
  long LinesIn(const char* block) const {
    const std::string file = out + "/" + block + "/TN.LIN";
    return std::filesystem::exists(file) ? static_cast<long>(std::filesystem::file_size(file) / 103) - 1 : -1;
  }

  const std::string out = folder.Path();
  const std::string guideFile = std::string(KESTX_SAMPLES_DIR) + "/guide/sample.kes";
  const char* answer = "bt_OK";
  TMainTool* main = nullptr;
};

TEST_F(GuideExportTest, TheGuideReplacesTheModelAndTheChosenSeriesAreWrittenWithEveryLineInOrder) {
  World()->ObjectModel()->AddElement(new TOwnerEntity());
  Load();
  ASSERT_EQ(World()->ObjectModel()->GetCount(), 1);
  EXPECT_NE(DynamicCast<TGuide>(World()->ObjectModel()->GetElement(0)), nullptr);
  EXPECT_EQ(main->Text(), "Uvolňování modelu ........");

  EXPECT_TRUE(Export({&TOptions::Export_50, &TOptions::Export_10, &TOptions::Export_User}));
  EXPECT_EQ(main->MessageLines(),
            (std::vector<std::string>{"*******************", "Začátek exportu souboru průvodce " + guideFile,
                                      "Do následující složky: ", out, "  ... ",
                                      "SMO 50 uloženo do bloku " + out + "/50.BLK",
                                      "SMO 10 uloženo do bloku " + out + "/10.BLK",
                                      "Uživatelské výřezy uloženy do bloku " + out + "/User.BLK",
                                      "Pokud to nespadlo, tak se soubor " + guideFile,
                                      "Úspěšně uložil do bloků pod složkou ", out, "*******************"}));
  // The progress display ended; the folder is kept as the user gave it.
  EXPECT_EQ(std::tuple(Join(Boxes()), main->ProgressMonitor(), main->GetOptions()->DataDirectory),
            std::tuple("Export je patrně u konce, Ahoj", nullptr, out));
  // One frame per selected sheet, every user map space (the frames' records and vertices are the guide lines' and
  // the block writers' tests).
  EXPECT_EQ(std::tuple(LinesIn("50.BLK"), LinesIn("10.BLK"), LinesIn("User.BLK"), LinesIn("25.BLK")),
            std::tuple(1, 3, 3, -1));
}

// The progress display tells the person each step: the lines taken from
// the sheets, then each chosen series with its block.  It starts once, under
// the export's name, with the range 0 to 0 (no gauge to move).
TEST_F(GuideExportTest, TheProgressDisplayNamesEachStepOfTheExport) {
  std::vector<std::string> texts, starts;
  platform::Application::Instance().SetMessageHook([&](platform::AppMessage& message, bool& handled) {
    TKestuMessage* kestu = KestuMessageOf(message);
    if (!kestu) return;
    if (auto* text = DynamicCast<TKestuTextMessage>(kestu); text && text->Message == msgProgressText)
      texts.push_back(text->Text);
    if (auto* start = DynamicCast<TProgressMessage>(kestu); start && start->Message == msgProgressStart)
      starts.push_back(start->ProcessName + " " + std::to_string(start->MinProgress) + ".." +
                       std::to_string(start->MaxProgress));
    DeliverKestuMessage(kestu, handled, [this] { return MainTool; });
  });
  Load();
  starts.clear();  // the guide's own reading
  Export({&TOptions::Export_50, &TOptions::Export_User});
  EXPECT_EQ(texts, (std::vector<std::string>{"Vyšťourávání linií z mapových prostorů",
                                             "Export SMO_50 do " + out + "/50.BLK",
                                             "Export USERů do " + out + "/User.BLK"}));
  EXPECT_EQ(starts, std::vector<std::string>{"Export Průvodce do LumaRu 0..0"});
}

TEST_F(GuideExportTest, AFailingOrStoppedSeriesIsNamedAndNoSuccessIsClaimed) {
  std::ofstream(out + "/25.BLK") << "not a folder";
  struct Case {
    const char* name;
    std::initializer_list<Flag> flags;
    int stopAt, saved;
    std::string secondLast;
    const char* absent;
  };
  const Case cases[] = {
      {"25.BLK cannot be written, 5.BLK still is", {&TOptions::Export_25, &TOptions::Export_5}, 0, 1,
       out + "/25.BLK", nullptr},
      {"stopped in the first block", {&TOptions::Export_10, &TOptions::Export_User}, 1, 0,
       "Export přerušen uživatelem v bloku " + out + "/10.BLK", "User.BLK"},
  };
  Load();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (Flag flag : {&TOptions::Export_10, &TOptions::Export_25, &TOptions::Export_5})
      main->GetOptions()->*flag = false;
    if (main->MessageDevice()) main->MessageDevice()->Clear();
    if (c.stopAt) {
      platform::SetGaugeFormFactory([&c] {
        auto gauge = std::make_unique<platform::RecordingGaugeForm>();
        gauge->CloseRequestAt = c.stopAt;  // confirmed
        return gauge;
      });
    }
    EXPECT_FALSE(Export(c.flags));
    platform::SetGaugeFormFactory(nullptr);
    const std::vector<std::string> lines = main->MessageLines();
    ASSERT_GE(lines.size(), 2u);
    // The closing lines name the series, no success is claimed, and the progress display ended.
    EXPECT_EQ(std::tuple(lines[lines.size() - 2], Count("uložen"), Count("Úspěšně"), Boxes().size(),
                         main->ProgressMonitor()),
              std::tuple(c.secondLast, c.saved, 0, 0u, nullptr));
    EXPECT_FALSE(c.absent && std::filesystem::exists(out + "/" + c.absent));
  }
  EXPECT_EQ(LinesIn("5.BLK"), 3);
}

// What the user changes in the dialog (1:50 000 unticked, 1:25 000 ticked,
// another folder) becomes the options, and the export follows it, only when
// the dialog ends with OK; Storno leaves every option as it was.
TEST_F(GuideExportTest, TheDialogsChoicesBecomeTheOptionsOnlyWhenItEndsWithOk) {
  const std::string other = out + "/jinam";
  const struct {
    const char* name;
    const char* button;
    bool export50, export25;
    std::string folder;
    long lines25;  // in the other folder: the sample guide's two chosen 1:25 000 sheets
  } rows[] = {
      {"OK", "bt_OK", false, true, other, 2},
      {"Storno", "bt_Storno", true, false, out, -1},
  };
  Load();
  for (const auto& row : rows) {
    std::filesystem::remove_all(other);
    TOptions& options = *main->GetOptions();
    std::tie(options.Export_50, options.Export_25, options.DataDirectory) = std::tuple(true, false, out);
    platform::SetModalAnswerer([&row, &other](platform::Form& form) {
      platform::UserClick(form, "cb_50");
      platform::UserClick(form, "cb_25");
      form.SetText("ed_Path", other);
      platform::UserClick(form, row.button);
    });
    ExportGuide(*main, guideFile);
    RunMessages();
    EXPECT_EQ(std::tuple(options.Export_50, options.Export_25, options.DataDirectory),
              std::tuple(row.export50, row.export25, row.folder))
        << row.name;
    EXPECT_EQ(std::tuple(LinesIn("jinam/25.BLK"), std::filesystem::exists(out + "/50.BLK")),
              std::tuple(row.lines25, false))
        << row.name;
  }
}

TEST_F(GuideExportTest, TheRoadStopsEarlyWithoutConfirmationFolderOrGuide) {
  // The dialog's button, whether a guide is loaded, the export folder; the boxes shown; whether that counts as
  // complete (the user's No is no failure).
  const std::tuple<const char*, const char*, bool, std::string, std::vector<std::string>, bool> cases[] = {
      {"cancelled", "bt_Storno", true, out, {}, true},
      {"no folder", "bt_OK", true, "", {"Není zadána složka pro export, nic nebylo zapsáno !"}, false},
      {"no guide", "bt_OK", false, out, {"Nemohu nalézt načtený soubor průvodce, zkuste to znovu !"}, false},
  };
  for (const auto& [name, button, load, dataDirectory, boxes, complete] : cases) {
    SCOPED_TRACE(name);
    World()->ObjectModel()->Clear();
    dialogs.Messages.clear();
    if (load) Load();
    answer = button;
    main->GetOptions()->DataDirectory = dataDirectory;
    EXPECT_EQ(Export({&TOptions::Export_50}), complete);
    EXPECT_FALSE(std::filesystem::exists(out + "/50.BLK"));
    EXPECT_EQ(Boxes(), boxes);
    EXPECT_TRUE(!boxes.empty() || main->MessageLines().empty());
  }
}

}  // namespace
