// The list controls of forms: file lists with masks, drive boxes, editable
// grids and popup menus, driven as a person would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/forms.h"
#include "tests/platform/temp_folder.h"

namespace platform {
namespace {

using ::testing::ElementsAre;

void Touch(const std::string& file) { std::ofstream(file) << "x"; }

TEST(FormLists, AFileListShowsTheFilesMatchingAnyMaskRegardlessOfCase) {
  TempFolder folder;
  for (const char* name : {"TN.LIN", "tn.lin.bak", "a.tif", "B.TIF", "c.tiff", "TN.ARE"}) Touch(folder.File(name));
  std::filesystem::create_directory(folder.File("x.tif"));
  struct Row {
    const char* Case;
    std::string Mask;
    std::vector<std::string> Expected;
  } rows[] = {
      {"layout's masks, blanks trimmed", "tn.lin; *.TIF", {"B.TIF", "TN.LIN", "a.tif"}},
      {"one mask", "*.are", {"TN.ARE"}},
      {"every file", "*.*", {"B.TIF", "TN.ARE", "TN.LIN", "a.tif", "c.tiff", "tn.lin.bak"}},
      {"empty parts skipped", ";;tn.*;", {"TN.ARE", "TN.LIN", "tn.lin.bak"}},
  };
  Form form("TTestListsForm");
  EXPECT_EQ(form.Hint("lb_Files"), "Soubory");
  EXPECT_EQ(form.Hint("lb_Dir"), "");
  form.SetDirectory("lb_Files", folder.Path());
  for (const Row& row : rows) {
    if (row.Mask != form.FileMask("lb_Files")) form.SetFileMask("lb_Files", row.Mask);
    EXPECT_EQ(form.Items("lb_Files"), row.Expected) << row.Case;
  }
}

TEST(FormLists, ClicksSelectFilesAndDoubleClicksEnterFolders) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("XY.BLK"));
  Touch(folder.File("XY.BLK/TN.LIN"));
  Touch(folder.File("XY.BLK/a.tif"));
  Form form("TTestListsForm");
  std::vector<std::string> events;
  form.OnDirectoryChange("lb_Dir", [&] { events.push_back("dir " + form.Directory("lb_Dir")); });
  form.OnDirectoryChange("lb_Files", [&] { events.push_back("files"); });
  form.OnClick("lb_Files", [&] { events.push_back("click " + form.FileName("lb_Files")); });
  form.OnDoubleClick("lb_Files", [&] { events.push_back("double " + form.FileName("lb_Files")); });
  EXPECT_EQ(form.FileName("lb_Files"), "");

  form.SetDirectory("lb_Dir", folder.Path());
  const std::vector<std::string> entries = form.Items("lb_Dir");
  UserDoubleClickItem(form, "lb_Dir", static_cast<int>(std::find(entries.begin(), entries.end(), "XY.BLK") - entries.begin()));
  form.SetDirectory("lb_Files", form.Directory("lb_Dir"));
  UserClickItem(form, "lb_Files", 1);
  UserDoubleClickItem(form, "lb_Files", 0);
  const std::string block = folder.File("XY.BLK");
  EXPECT_THAT(events, ElementsAre("dir " + folder.Path(), "dir " + block, "files", "click " + block + "/a.tif",
                                  "double " + block + "/TN.LIN"));
  EXPECT_THAT(form.SelectedFiles("lb_Files"), ElementsAre(block + "/TN.LIN"));
}

TEST(FormLists, ADriveBoxListsTheMountedRootsAndTakesTheDeepestHoldingAPath) {
  Form form("TTestListsForm");
  EXPECT_EQ(form.Items("cb_Drive"), MountPoints());
  TempFolder folder;
  form.SetDrive("cb_Drive", folder.Path());
  const std::string root = form.Text("cb_Drive");
  // No other listed root lies deeper on the path than the chosen one.
  for (const std::string& other : form.Items("cb_Drive")) {
    const bool holds = other == "/" || folder.Path().rfind(other + "/", 0) == 0;
    if (holds) {
      EXPECT_LE(other.size(), root.size()) << other;
    }
  }
  EXPECT_TRUE(root == "/" || folder.Path().rfind(root + "/", 0) == 0) << root;
  int changes = 0;
  form.OnChange("cb_Drive", [&] { ++changes; });
  UserChooseItem(form, "cb_Drive", 0);
  EXPECT_EQ(form.Text("cb_Drive"), MountPoints().front());
  EXPECT_EQ(changes, root == MountPoints().front() ? 0 : 1);
}

TEST(FormLists, AGridKeepsRowsTypedAndSetAndItsCurrentRow) {
  Form form("TTestListsForm");
  EXPECT_THAT(form.GridRows("gr_Rows"), ElementsAre("", "", ""));
  EXPECT_EQ(form.CurrentRow("gr_Rows"), -1);
  UserEditCell(form, "gr_Rows", 1, "LIN=/data/XY.BLK");
  EXPECT_THAT(form.GridRows("gr_Rows"), ElementsAre("", "LIN=/data/XY.BLK", ""));
  EXPECT_EQ(form.CurrentRow("gr_Rows"), 1);
  form.SetGridRows("gr_Rows", {"a", "b", "c", "d"});
  form.SetCurrentRow("gr_Rows", 3);
  form.SetGridRows("gr_Rows", {"x", "y"});
  EXPECT_THAT(form.GridRows("gr_Rows"), ElementsAre("x", "y"));
  EXPECT_EQ(form.CurrentRow("gr_Rows"), 1);
  EXPECT_THROW(UserEditCell(form, "gr_Rows", 2, "z"), EFormLayoutError);
}

TEST(FormLists, APopupMenuOfAControlRunsTheChosenItem) {
  Form form("TTestListsForm");
  EXPECT_THAT(form.PopupMenuItems("gr_Rows"), ElementsAre("První", "-", "Druhá"));
  EXPECT_THAT(form.PopupMenuItems("lb_Files"), ElementsAre());
  std::vector<std::string> chosen;
  form.OnClick("mi_First", [&] { chosen.push_back("first"); });
  form.OnClick("mi_Second", [&] { chosen.push_back("second"); });
  UserChoosePopupItem(form, "gr_Rows", "Druhá");
  UserChoosePopupItem(form, "gr_Rows", "První");
  EXPECT_THAT(chosen, ElementsAre("second", "first"));
  EXPECT_THROW(UserChoosePopupItem(form, "gr_Rows", "-"), EFormLayoutError);
  EXPECT_THROW(UserChoosePopupItem(form, "lb_Files", "První"), EFormLayoutError);
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

TEST(FormRuns, AModalButtonEndsTheRunOnlyWhenTheFormAccepts) {
  struct Row {
    const char* Case;
    bool Unattended;
    std::vector<const char*> Presses;
    int Result;
    std::vector<int> Asked;
  } rows[] = {
      {"refused, then another button", false, {"bt_Ano", "bt_Storno"}, mrCancel, {1, 2}},
      {"refused only", false, {"bt_Ano"}, mrCancel, {1}},
      {"accepted", false, {"bt_Ne"}, 3, {3}},
      {"unattended default refused", true, {}, mrCancel, {1}},
  };
  for (const Row& row : rows) {
    if (row.Unattended) SetUnattended([](const std::string&) {});
    else SetModalAnswerer([&](Form& form) {
        for (const char* button : row.Presses) UserClick(form, button);
      });
    Form form("TKestuConfirmDialog_Form");
    std::vector<int> asked;
    form.OnModalButton([&](int result) {
      asked.push_back(result);
      return result != 1;
    });
    EXPECT_EQ(form.ShowModal(), row.Result) << row.Case;
    EXPECT_EQ(asked, row.Asked) << row.Case;
    SetAttended();
  }
}

TEST(FormRuns, TheTimerTicksWhileTheFormIsShownAndTheLayoutKeepsItOnTop) {
  Form form("TTestListsForm");
  EXPECT_TRUE(form.StaysOnTop());
  EXPECT_FALSE(Form("TKestuConfirmDialog_Form").StaysOnTop());
  int ticks = 0;
  form.SetTimer(1000, [&] { ++ticks; });
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"hidden", [] {}}, {"shown", [&] { form.Show(); }}, {"hidden again", [&] { form.Hide(); }}};
  const int expected[] = {0, 1, 1};
  for (int i = 0; i < 3; ++i) {
    steps[i].second();
    EXPECT_EQ(form.TimerActive(), i == 1) << steps[i].first;
    UserTimerTick(form);
    EXPECT_EQ(ticks, expected[i]) << steps[i].first;
  }
  Form other("TKestuConfirmDialog_Form");
  form.Show();
  other.Show();
  other.TakeFocus();
  EXPECT_FALSE(form.IsActiveWindow());
  form.TakeFocus();
  EXPECT_TRUE(form.IsActiveWindow());
}

}  // namespace
}  // namespace platform
