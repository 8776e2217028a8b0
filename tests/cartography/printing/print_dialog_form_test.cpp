#include "cartography/printing/print_dialog_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/timer.h"
#include "render/interprets/interpret.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

constexpr double kSecond = 1.0 / 86400;

// The tool that owns the dialog, as the print dialog tool does.
class TDialogOwner : public TCodeRecorder {
 public:
  std::unique_ptr<TPrnDlg> form = std::make_unique<TPrnDlg>();
  TDialogOwner() {
    form->SetTool(this);
    form->OnRelease = [self = TElementLink(this)] {
      TElement* alive = self.Get();
      FreeAndNil(alive);
    };
  }
};

class PrintDialogFormTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    owner = new TDialogOwner;
    link.Set(owner);
    Form().SetOverlapLimitMm(100);
    platform::SetNowSource([this] { return now; });
  }
  void TearDown() override {
    platform::SetNowSource(nullptr);
    platform::SetPrintFileName("kestx.pdf");
    TElement* alive = link.Get();
    FreeAndNil(alive);
    ToolFormsTest::TearDown();
  }
  TPrnDlg& Form() { return *owner->form; }
  platform::Form& Window() { return owner->form->Window(); }
  std::vector<int> Posted() {
    RunMessages();
    std::vector<int> codes = owner->codes;
    owner->codes.clear();
    return codes;
  }

  TDialogOwner* owner = nullptr;
  TElementLink link;
  double now = 46363.5;
};

TEST_F(PrintDialogFormTest, TheDialogHoldsEveryControlWithItsTextHintAndState) {
  struct Case {
    const char* control;
    const char* text;
    const char* hint;
    bool enabled;
  };
  const Case cases[] = {
      {"OKBtn", "Tisk", "", true},
      {"CancelBtn", "Storno", "", true},
      {"HelpBtn", "&Nápověda", "", true},
      {"lb_Scale", "Měřítko 1 : ", "", true},
      {"ed_Scale", "1", "", true},
      {"lb_Overlap", "Přesah v mm:", "", true},
      {"ed_Overlap", "0", "", true},
      {"b_FitToPage", "Z", "Zarovnat na stránku", true},
      {"b_CenterPage", "V", "Vycentrovat v rámci stránky (stránek)", true},
      {"b_CutMark", "O", "Značky pro ořez", false},
      {"b_RasterLines", "R", "", true},
      {"lb_Start", "Start:", "", true},
      {"lbStart", "", "", true},
      {"lbTime", "", "", true},
      {"r_AllPages", "Všechno", "", true},
      {"r_Pages", "Pouze stránky:", "", true},
      {"ed_Pages", "", "", false},
  };
  for (const Case& test : cases)
    EXPECT_EQ(std::tuple(Window().Text(test.control), Window().Hint(test.control), Window().Enabled(test.control)),
              std::tuple(std::string(test.text), std::string(test.hint), test.enabled))
        << test.control;
  const platform::Bounds client = Window().GetBounds(), image = Window().ControlBounds("Image");
  EXPECT_EQ(std::tuple(client.Width, client.Height, image.Width, image.Height), std::tuple(475, 315, 373, 249));
  EXPECT_EQ(std::tuple(Form().PreviewBitmap()->Width(), Form().PreviewBitmap()->Height()), std::tuple(373, 249));
  EXPECT_EQ(std::tuple(Window().Caption(), Window().DefaultResult(), Window().Checked("r_AllPages")),
            std::tuple(std::string("Tiskový dialog"), int(platform::mrOk), true));
  EXPECT_EQ(std::tuple(Form().Timer().Interval(), Form().Timer().Enabled()), std::tuple(500, false));
}

TEST_F(PrintDialogFormTest, EachEventPostsItsMessageToTheTool) {
  struct Case {
    const char* name;
    std::function<void()> act;
    std::vector<int> posted;
  };
  const Case cases[] = {
      {"showing asks for the preview", [this] {
         Press("CancelBtn");
         Form().ShowModal();
       }, {msgReView}},
      {"fit to page", [this] { platform::UserClick(Window(), "b_FitToPage"); }, {msgFitToPage}},
      {"centre", [this] { platform::UserClick(Window(), "b_CenterPage"); }, {msgCenterPage}},
      {"rasterise lines", [this] { platform::UserClick(Window(), "b_RasterLines"); }, {msgRasterLines}},
      {"the cut marks do nothing", [this] { platform::UserClick(Window(), "b_CutMark"); }, {}},
      {"a scale of 2.5", [this] {
         Window().SetText("ed_Scale", "2.5");
         platform::UserExit(Window(), "ed_Scale");
       }, {msgScaleEdited}},
      {"an overlap of 99 mm", [this] {
         Window().SetText("ed_Overlap", "99");
         platform::UserExit(Window(), "ed_Overlap");
       }, {msgOverlapEdited}},
  };
  for (const Case& test : cases) {
    test.act();
    EXPECT_EQ(Posted(), test.posted) << test.name;
  }
}

TEST_F(PrintDialogFormTest, ARefusedTextKeepsTheFocusInItsFieldAndPostsNothing) {
  struct Case {
    const char* field;
    const char* text;
  };
  const Case cases[] = {
      {"ed_Scale", "abc"}, {"ed_Scale", ""}, {"ed_Scale", "1,5"}, {"ed_Scale", "nan"}, {"ed_Scale", "inf"},
      {"ed_Scale", "1e400"},
      {"ed_Overlap", "1.5"}, {"ed_Overlap", "x"}, {"ed_Overlap", "-1"}, {"ed_Overlap", "100"},
  };
  for (const Case& test : cases) {
    Window().SetText(test.field, test.text);
    Window().Focus(test.field);
    platform::UserExit(Window(), test.field);
    EXPECT_EQ(std::tuple(Window().FocusedControl(), Posted()), std::tuple(std::string(test.field), std::vector<int>{}))
        << test.field << " \"" << test.text << "\"";
  }
}

// The largest double is a scale; a number past it, which would print at
// infinity, is none.
TEST(ScaleOfTextTest, EveryNumberADoubleHoldsIsAScaleAndNoneBeyond) {
  char largest[400];
  std::snprintf(largest, sizeof largest, "%.0f", std::numeric_limits<double>::max());
  const struct {
    std::string text;
    bool taken;
  } rows[] = {{largest, true}, {std::string("-") + largest, true}, {"1.797693134862315709e308", false}};
  for (const auto& row : rows) {
    double scale = 0;
    const bool taken = ScaleOfText(row.text, scale);
    const double expected = row.taken ? std::numeric_limits<double>::max() : 0;
    EXPECT_EQ(std::pair(taken, taken ? std::fabs(scale) : 0), std::pair(row.taken, expected)) << row.text;
  }
}

TEST_F(PrintDialogFormTest, PrintingDisablesTheSettingsAndTheRadioPairSwitchesThePagesField) {
  platform::UserClick(Window(), "r_Pages");
  EXPECT_EQ(std::tuple(Window().Checked("r_AllPages"), Window().Enabled("ed_Pages")), std::tuple(false, true));
  platform::UserClick(Window(), "r_AllPages");
  EXPECT_EQ(std::tuple(Window().Checked("r_Pages"), Window().Enabled("ed_Pages")), std::tuple(false, false));
  platform::UserClick(Window(), "HelpBtn");
  EXPECT_EQ(dialogs.HelpKeywords, std::vector<std::string>{"ctx_PrintDialog"});
  platform::UserClick(Window(), "OKBtn");
  EXPECT_EQ(Window().Caption(), "... tiskne se");
  std::string enabled;
  for (const char* control : {"OKBtn", "b_FitToPage", "b_CenterPage", "b_CutMark", "b_RasterLines", "ed_Scale",
                              "ed_Overlap", "CancelBtn", "HelpBtn", "r_Pages"})
    if (Window().Enabled(control)) enabled += std::string(" ") + control;
  EXPECT_EQ(enabled, " CancelBtn HelpBtn r_Pages");
}

// The window counts the time while the printer prints; it closes when the
// printer has finished (summing the run up) or when cancelled, and frees
// its tool with itself.
TEST_F(PrintDialogFormTest, TheRunningPrintEndsWithTheWindowAndItsTool) {
  enum class End { Finished, Cancelled, CloseBox };
  struct Case {
    const char* name;
    End end;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"the printer finished", End::Finished, {"7.12.2026 12:00:12\n\nUkončen tisk na \"PDF\"\n\nTrvání: 0:00:12"}},
      {"cancelled while printing: no summary", End::Cancelled, {}},
      {"closed by its close box while printing: no summary", End::CloseBox, {}},
  };
  for (const Case& test : cases) {
    if (!link.Get()) {
      owner = new TDialogOwner;
      link.Set(owner);
    }
    dialogs.Messages.clear();
    TempFolder folder;
    const std::string pdf = folder.File("print.pdf");
    platform::SetPrintFileName(pdf);
    now = 46363.5;
    auto printer = std::make_unique<platform::Printer>(pdf, 30);
    Form().ShowPrinting();
    Form().SetStartTime(now);
    now += 5 * kSecond;
    platform::UserTimerTick(Form().Timer());
    EXPECT_EQ(std::tuple(Window().Text("lbStart"), Window().Text("lbTime"), Window().Visible()),
              std::tuple(std::string("12:00:00"), std::string("0:00:05"), true))
        << test.name;
    if (test.end == End::Cancelled) {
      platform::UserClick(Window(), "CancelBtn");
    } else if (test.end == End::CloseBox) {
      platform::UserCloseWindow(Window());
    } else {
      now += 7 * kSecond;
      printer.reset();
      platform::UserTimerTick(Form().Timer());
    }
    EXPECT_EQ(std::pair(Window().Visible(), Form().Timer().Enabled()), std::pair(false, false)) << test.name;
    std::vector<std::string> boxes = Boxes();
    for (std::string& box : boxes)
      if (const auto at = box.find(pdf); at != std::string::npos) box.replace(at, pdf.size(), "PDF");
    EXPECT_EQ(boxes, test.boxes) << test.name;
    EXPECT_NE(link.Get(), nullptr) << test.name << ": the tool outlives the window's own event";
    RunMessages();
    EXPECT_EQ(link.Get(), nullptr) << test.name;
  }
}

}  // namespace
