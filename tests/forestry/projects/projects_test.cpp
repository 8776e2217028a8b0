#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "forestry/projects/project_dialog.h"
#include "forestry/projects/projects.h"
#include "framework/forms/base_forms.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "platform/app_queue.h"
#include "platform/forms.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

using ::testing::ElementsAre;

class ProjectTest : public ForestryTest {
 protected:
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    ForestryTest::TearDown();
  }
  void Touch(const std::string& name) { std::ofstream(File(name)) << "x"; }

  // A dialog run with a person acting at each form as told by its layout.
  TLHCProjectDialog* Dialog(std::function<void(platform::Form&)> act) {
    platform::SetModalAnswerer(std::move(act));
    dialog.reset(CreateElement<TLHCProjectDialog>());
    return dialog.get();
  }
  void Shoot(platform::Form& form, const std::string& name) {
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    EXPECT_TRUE(form.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/" + name + ".png"));
  }

  std::unique_ptr<TLHCProjectDialog> dialog;
};

TEST_F(ProjectTest, TheDefaultNameIsTheFirstFreeOneInAnyCase) {
  struct Row {
    const char* Case;
    std::vector<std::string> Files;
    std::string Expected;
  } rows[] = {
      {"empty folder", {}, "Nový projekt"},
      {"plain and 1 taken", {"Nový projekt.KPR", "Nový projekt1.KPR"}, "Nový projekt2"},
      {"taken in another case", {"NOVÝ PROJEKT.kpr"}, "Nový projekt1"},
      {"a gap is used", {"Nový projekt.KPR", "Nový projekt2.KPR"}, "Nový projekt1"},
      {"other files do not count", {"Nový projekt.kes", "Nový projekt1"}, "Nový projekt"},
  };
  for (const Row& row : rows) {
    TempFolder dir;
    for (const std::string& name : row.Files) std::ofstream(dir.File(name)) << "x";
    EXPECT_EQ(TLHCProjectDialog::DefaultProjectName(dir.Path()), row.Expected) << row.Case;
  }
  EXPECT_EQ(TLHCProjectDialog::DefaultProjectName(""), "Nový projekt");
}

TEST_F(ProjectTest, TheDataFileAndTheFlagsFollowTheFolders) {
  struct Row {
    const char* Case;
    std::string DataDirectory;
    std::string Expected;
  } rows[] = {
      {"no folder adds no delimiter", "", "Les.kes"},
      {"folder gets a delimiter", "/data", "/data/Les.kes"},
      {"folder with one keeps it", "/data/", "/data/Les.kes"},
  };
  TKESTULHCProject project;
  project.SetName("Les");
  for (const Row& row : rows) {
    project.DataDirectory = row.DataDirectory;
    EXPECT_EQ(project.GetPropertyText("DataFileName"), row.Expected) << row.Case;
  }
  project.DataDirectory = folder.Path();
  project.ExternalDataDirectory = folder.Path();
  EXPECT_EQ(Texts(project, {"DataFileExists", "ExternalDataExists"}), "False|False");
  Touch("Les.kes");
  std::filesystem::create_directory(File("DET.BLK"));
  EXPECT_EQ(Texts(project, {"DataFileExists", "ExternalDataExists"}), "True|True");
  for (const char* written : {"True", "False"}) {
    project.LastChangesExported = true;
    project.SetPropertyText("Modified", written);
    EXPECT_EQ(Texts(project, {"Modified", "LastChangesExported"}), std::string(written) + "|False") << written;
  }
}

TEST_F(ProjectTest, AProjectSurvivesTheElementStream) {
  struct Row {
    const char* Case;
    bool Modified;
    bool Exported;
  } rows[] = {{"exported", false, true}, {"modified", true, false}};
  for (const Row& row : rows) {
    TKESTULHCProject project;
    project.SetName("Lesy ČR");
    SetTexts(project, {{"Author", "Novák"}, {"Comment", "první"}, {"SymbolsDirectory", "/s"},
                       {"ExternalDataDirectory", "/e"}, {"DataDirectory", "/d"}});
    project.SetModified(row.Modified);
    project.LastChangesExported = row.Exported;
    TSave save;
    save.FileName = File("p.kes");
    save.SetInput(&project);
    save.DoIt();
    TLoad load;
    load.FileName = save.FileName;
    load.DoIt();
    std::unique_ptr<TElement> loaded(load.Output());
    ASSERT_NE(loaded, nullptr) << row.Case;
    const auto names = {"Name", "Author", "Comment", "SymbolsDirectory", "ExternalDataDirectory", "DataDirectory",
                        "Modified", "LastChangesExported"};
    EXPECT_EQ(loaded->ClassName(), "TKESTULHCProject") << row.Case;
    EXPECT_EQ(Texts(*loaded, names), Texts(project, names)) << row.Case;
  }
}

TEST_F(ProjectTest, ANewProjectTakesTheFreeNameAndTheFormsValues) {
  Touch("Nový projekt.KPR");
  TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "Nový projekt");
    EXPECT_EQ(form.Text("ed_Name"), "Nový projekt1");
    EXPECT_TRUE(form.Enabled("ed_Name"));
    EXPECT_EQ(form.Text("ed_Data"), folder.Path());
    EXPECT_TRUE(form.StaysOnTop());
    form.SetText("ed_Author", "Novák");
    form.SetText("m_Comment", "řádek 1\nřádek 2");
    form.SetText("ed_ExternalData", "/gis");
    Shoot(form, "TLHCProjectDialog_new");
    platform::UserClick(form, "bt_OK");
  });
  tool->ProjectDirectory = folder.Path();
  tool->DoIt();
  EXPECT_TRUE(tool->NewProject());
  std::unique_ptr<TElement> made(tool->Output());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassName(), "TKESTULHCProject");
  EXPECT_EQ(Texts(*made, {"Name", "Author", "Comment", "ExternalDataDirectory", "DataDirectory"}),
            "Nový projekt1|Novák|řádek 1\nřádek 2|/gis|" + folder.Path());
}

TEST_F(ProjectTest, AnInputProjectIsEditedAndCancelLeavesIt) {
  struct Row {
    const char* Case;
    const char* Button;
    std::string Author;
  } rows[] = {{"OK", "bt_OK", "Dvořák"}, {"cancel", "bt_Storno", "Novák"}};
  for (const Row& row : rows) {
    TKESTULHCProject project;
    project.SetName("Les");
    SetTexts(project, {{"Author", "Novák"}, {"Comment", "c"}, {"ExternalDataDirectory", "/e"}, {"DataDirectory", "/d"}});
    TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
      EXPECT_EQ(form.Caption(), "Vlastnosti projektu: Les") << row.Case;
      EXPECT_EQ(form.Text("ed_Name"), "Les") << row.Case;
      EXPECT_FALSE(form.Enabled("ed_Name")) << row.Case;
      EXPECT_EQ(form.Text("ed_Author") + form.Text("m_Comment") + form.Text("ed_ExternalData") + form.Text("ed_Data"),
                "Novákc/e/d")
          << row.Case;
      form.SetText("ed_Author", "Dvořák");
      Shoot(form, "TLHCProjectDialog_edit");
      platform::UserClick(form, row.Button);
    });
    tool->SetInput(&project);
    tool->DoIt();
    EXPECT_FALSE(tool->NewProject()) << row.Case;
    EXPECT_EQ(project.Author, row.Author) << row.Case;
    EXPECT_EQ(tool->Output(), row.Button == std::string("bt_OK") ? &project : nullptr) << row.Case;
  }
}

TEST_F(ProjectTest, ANameThatIsEmptyOrHoldsADelimiterKeepsTheFormOpen) {
  for (const char* name : {"", "   ", "a/b", "a\\b"}) {
    dialogs.Messages.clear();
    int pressed = 0;
    TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
      form.SetText("ed_Name", name);
      platform::UserClick(form, "bt_OK");
      ++pressed;
      platform::UserClick(form, "bt_Storno");
    });
    tool->DoIt();
    EXPECT_EQ(pressed, 1) << name;
    EXPECT_EQ(tool->Result, platform::mrCancel) << name;
    EXPECT_EQ(tool->Output(), nullptr) << name;
    EXPECT_THAT(Boxes(), ElementsAre("Název projektu nesmí být prázdný ani obsahovat oddělovač složek.")) << name;
  }
}

TEST_F(ProjectTest, FolderButtonsPickFromTheEditsFolder) {
  std::filesystem::create_directory(File("gis"));
  std::vector<std::string> starts;
  TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
    if (form.LayoutName() == "Tf_SelectDir") {
      starts.push_back(form.Directory("lb_Dirs"));
      form.SetDirectory("lb_Dirs", File("gis"));
      platform::UserClick(form, "bt_OK");
      return;
    }
    form.SetText("ed_ExternalData", folder.Path());
    platform::UserClick(form, "b_ExtData");
    form.SetText("ed_Data", File("missing"));
    platform::UserClick(form, "b_Data");
    EXPECT_EQ(form.Text("ed_ExternalData"), File("gis"));
    EXPECT_EQ(form.Text("ed_Data"), File("gis"));
  });
  tool->DoIt();
  EXPECT_THAT(starts, ElementsAre(folder.Path(), "/"));
}

TEST_F(ProjectTest, WhileShownTheFormTakesTheFocusBackEachTick) {
  TLHCProjectDialog* tool = Dialog(nullptr);
  platform::Form& window = tool->Form()->Window();
  platform::Form other("TKestuDialog_Form");
  window.Show();
  other.Show();
  other.TakeFocus();
  ASSERT_FALSE(window.IsActiveWindow());
  platform::UserTimerTick(window);
  EXPECT_TRUE(window.IsActiveWindow());
  window.Hide();
  EXPECT_FALSE(window.TimerActive());
}

// Its folder picker opens over it, as its own window: the form's tick leaves
// the focus with the picker.
TEST_F(ProjectTest, ItsFolderPickerOpensOverItAndKeepsTheFocus) {
  platform::Form* project = nullptr;
  bool pickerKeptTheFocus = false;
  TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
    form.Show();
    if (form.LayoutName() != "Tf_SelectDir") {
      project = &form;
      platform::UserClick(form, "b_Data");
      platform::UserClick(form, "bt_Storno");
      return;
    }
    form.TakeFocus();
    ASSERT_TRUE(form.IsActiveWindow());
    platform::UserTimerTick(*project);
    pickerKeptTheFocus = form.IsActiveWindow();
    platform::UserClick(form, "bt_Storno");
  });
  tool->DoIt();
  EXPECT_TRUE(pickerKeptTheFocus);
}

TEST_F(ProjectTest, FromAProgramThreadTheFormShowsOnTheUserInterfaceThread) {
  std::thread::id shownOn;
  TLHCProjectDialog* tool = Dialog([&](platform::Form& form) {
    shownOn = std::this_thread::get_id();
    platform::UserClick(form, "bt_OK");
  });
  std::atomic<bool> done = false;
  std::thread program([&] {
    tool->DoIt();
    done = true;
  });
  while (!done) platform::Application::Instance().ProcessMessages();
  program.join();
  EXPECT_EQ(shownOn, std::this_thread::get_id());
  std::unique_ptr<TElement> made(tool->Output());
  EXPECT_NE(made, nullptr);
}

}  // namespace
