#include "platform/gauge_form.h"

#include <gtest/gtest.h>

// The program's form is a Qt window; this test alone looks at its widgets.

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/dialogs.h"
#include "platform/forms.h"

namespace platform {
namespace {

class GaugeFormTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDialogs(&dialogs); }
  void TearDown() override {
    SetDialogs(nullptr);
    SetGaugeFormFactory(nullptr);
  }
  RecordingDialogs dialogs;
};

TEST_F(GaugeFormTest, ProgressIsTakenOnlyUnderAMaximumOfOneOrMoreAndTheAbortQuestionIsAnOkCancelBox) {
  const std::tuple<const char*, int, int> rows[] = {
      {"no maximum", 0, 0}, {"negative maximum", -5, 0}, {"maximum of one", 1, 7}, {"maximum", 200, 7}};
  for (const auto& [name, max, progress] : rows) {
    TF_gaugeForm gauge;
    gauge.SetMaxValue(max);
    gauge.SetProgress(7);
    EXPECT_EQ(std::pair(gauge.Progress(), gauge.MaxValue()), std::pair(progress, max)) << name;
  }
  dialogs.Answers = {mrOk, mrCancel, mrNone};  // the box closed without a button answers mrNone
  TF_gaugeForm gauge;
  std::vector<bool> confirmed;
  for (int i = 0; i < 3; ++i) confirmed.push_back(gauge.ConfirmAbort("Přerušit export linií ?"));
  EXPECT_EQ(confirmed, (std::vector<bool>{true, false, false}));
  ASSERT_EQ(dialogs.Messages.size(), 3u);
  for (const auto& shown : dialogs.Messages)
    EXPECT_EQ(std::tuple(shown.Text, shown.Type, shown.Buttons),
              std::tuple("Přerušit export linií ?", MsgDlgType::Confirmation, unsigned{mbOK | mbCancel}));
}

TEST_F(GaugeFormTest, TheFactoryMakesTheFormsUntilItIsRemoved) {
  SetGaugeFormFactory([] { return std::make_unique<RecordingGaugeForm>(); });
  EXPECT_NE(dynamic_cast<RecordingGaugeForm*>(NewGaugeForm().get()), nullptr);
  SetGaugeFormFactory(nullptr);
  EXPECT_EQ(dynamic_cast<RecordingGaugeForm*>(NewGaugeForm().get()), nullptr);
}

TEST_F(GaugeFormTest, WithoutAnApplicationTheProgramsFormKeepsItsValuesAndShowsNothing) {
  GaugeWindowView none;
  ASSERT_FALSE(ViewGaugeWindow(none));
  std::unique_ptr<TF_gaugeForm> gauge = NewProgramGaugeForm();
  gauge->SetMaxValue(10);
  gauge->Show();
  gauge->SetProgress(4);
  EXPECT_EQ(std::pair(gauge->Visible(), gauge->Progress()), std::pair(true, 4));
  gauge->Show();  // already shown: the cursor is not taken twice
  gauge->Hide();
  EXPECT_FALSE(gauge->Visible());
  EXPECT_EQ(dialogs.CursorChanges, (std::vector<Cursor>{Cursor::HourGlass, Cursor::Default}));
  gauge->Show();
  gauge.reset();
  EXPECT_EQ(dialogs.CursorChanges.back(), Cursor::Default) << "a gauge freed while shown gives the cursor back";
}

TEST_F(GaugeFormTest, TheWindowShowsTheBarAndOnlyRecordsTheUsersRequestToClose) {
  EnsureWindowSystem();
  // Whether the window is made, and then whether it is shown and the bar's value.
  const auto window = [] {
    GaugeWindowView view;
    const bool made = ViewGaugeWindow(view);
    return std::tuple(made, view.Visible, view.Value);
  };
  {
    std::unique_ptr<TF_gaugeForm> gauge = NewProgramGaugeForm();
    gauge->SetCaption("Export linií do 50.BLK");
    gauge->SetMaxValue(200);
    gauge->SetProgress(50);
    EXPECT_FALSE(std::get<0>(window())) << "made on first Show";
    gauge->Show();
    GaugeWindowView view;
    ASSERT_TRUE(ViewGaugeWindow(view));
    EXPECT_EQ(std::tuple(view.Visible, view.Modal, view.Caption, view.AbortCaption, view.Maximum, view.Value,
                         view.BarWidth),
              std::tuple(true, true, "Export linií do 50.BLK", "Přerušit", 200, 50, 453));
    gauge->SetProgress(120);
    EXPECT_EQ(window(), std::tuple(true, true, 120));
    UserPressGaugeAbort();
    EXPECT_TRUE(gauge->DoCloseQuery());
    gauge->SetDoCloseQuery(false);
    UserCloseGaugeWindow();
    EXPECT_EQ(std::pair(gauge->DoCloseQuery(), window()), std::pair(true, std::tuple(true, true, 120)));
    gauge->Hide();
    EXPECT_EQ(window(), std::tuple(true, false, 120));
  }
  EXPECT_FALSE(std::get<0>(window()));
}

// The tests' stand-in logs each call in order, keeps the values and the
// shown state as the form does, asks to close at the value it was told, and
// answers the abort question as told, then by default.
TEST_F(GaugeFormTest, TheRecordingFormLogsEveryCallAndActsAsTheFormDoes) {
  RecordingGaugeForm gauge;
  gauge.CloseRequestAt = 3;
  gauge.AbortAnswers = {false};
  gauge.DefaultAnswer = true;
  gauge.SetProgress(1);  // no maximum yet: not taken, not logged
  gauge.SetCaption("Export linií");
  gauge.SetMaxValue(5);
  gauge.Show();
  EXPECT_TRUE(gauge.Visible());
  gauge.SetProgress(2);
  EXPECT_FALSE(gauge.DoCloseQuery());
  gauge.SetProgress(3);
  EXPECT_TRUE(gauge.DoCloseQuery()) << "the user asked at 3";
  const bool first = gauge.ConfirmAbort("Přerušit ?"), second = gauge.ConfirmAbort("Přerušit ?");
  gauge.Hide();
  EXPECT_FALSE(gauge.Visible());
  EXPECT_EQ(std::tuple(first, second, gauge.Caption(), gauge.MaxValue(), gauge.Progress()),
            std::tuple(false, true, "Export linií", 5, 3));
  EXPECT_EQ(gauge.Calls, (std::vector<std::string>{"Caption=Export linií", "MaxValue=5", "Show", "Progress=2",
                                                   "Progress=3", "ConfirmAbort=Přerušit ?", "ConfirmAbort=Přerušit ?",
                                                   "Hide"}));
  EXPECT_TRUE(dialogs.Messages.empty()) << "no box of the program's own";
}

}  // namespace
}  // namespace platform
