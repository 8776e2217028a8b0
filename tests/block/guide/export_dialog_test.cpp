#include "block/guide/export_dialog.h"

#include "framework/forms/base_forms.h"
#include "platform/forms.h"
#include "tests/block/block_fixture.h"

namespace {

class ExportDialogTest : public BlockTest {
 protected:
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    BlockTest::TearDown();
  }
};

// The folder the user picks goes into the dialog's folder field; a
// cancelled pick leaves the field as it was.
TEST_F(ExportDialogTest, ThePickedFolderGoesIntoTheFolderField) {
  platform::EnsureWindowSystem();
  const struct {
    const char* name;
    const char* button;
    std::string field;
  } rows[] = {
      {"picked", "bt_OK", folder.Path()},
      {"cancelled", "bt_Storno", "/puvodni"},
  };
  for (const auto& row : rows) {
    TKESTXDialog dialog;
    dialog.CreateForm();
    platform::Form& window = dialog.Form()->Window();
    window.SetText("ed_Path", "/puvodni");
    platform::SetModalAnswerer([&](platform::Form& picker) {
      picker.SetDirectory("lb_Dirs", folder.Path());
      platform::UserClick(picker, row.button);
    });
    dialog.b_PathClick();
    EXPECT_EQ(window.Text("ed_Path"), row.field) << row.name;
  }
}

// Without a main tool there are no options: the dialog runs on what its
// form holds, also when it ends with OK, and nothing is taken from it.
TEST_F(ExportDialogTest, WithoutAMainToolTheDialogRunsOnItsFormAlone) {
  platform::EnsureWindowSystem();
  ASSERT_EQ(World() ? World()->MainTool() : nullptr, nullptr);
  TKESTXDialog dialog;
  dialog.CreateForm();
  platform::Form& window = dialog.Form()->Window();
  window.SetText("ed_Path", "/puvodni");
  std::string shown;
  platform::SetModalAnswerer([&](platform::Form& form) {
    shown = form.Text("ed_Path");
    platform::UserClick(form, "bt_OK");
  });
  dialog.DoIt();
  EXPECT_EQ(dialog.Result, platform::mrOk);
  EXPECT_EQ(shown, "/puvodni");
}

}  // namespace
