#include "platform/gauge_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// The program's form is a Qt window; this test alone looks at its widgets.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include "platform/dialogs.h"

namespace platform {
namespace {

using ::testing::ElementsAre;

class GaugeFormTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDialogs(&dialogs); }
  void TearDown() override {
    SetDialogs(nullptr);
    SetGaugeFormFactory(nullptr);
  }
  RecordingDialogs dialogs;
};

TEST_F(GaugeFormTest, ProgressIsTakenOnlyWhileTheMaximumIsAtLeastOne) {
  struct Row {
    const char* name;
    int max;
    int progress;
  } rows[] = {{"no maximum", 0, 0}, {"negative maximum", -5, 0}, {"maximum of one", 1, 7}, {"maximum", 200, 7}};
  for (const Row& row : rows) {
    TF_gaugeForm gauge;
    gauge.SetMaxValue(row.max);
    gauge.SetProgress(7);
    EXPECT_EQ(gauge.Progress(), row.progress) << row.name;
    EXPECT_EQ(gauge.MaxValue(), row.max) << row.name;
  }
}

TEST_F(GaugeFormTest, TheAbortQuestionIsAnOkCancelBoxTrueExactlyOnOk) {
  struct Row {
    const char* name;
    int answer;
    bool confirmed;
  } rows[] = {{"OK", mrOk, true}, {"Cancel", mrCancel, false}, {"closed", mrNone, false}};
  for (const Row& row : rows) {
    dialogs.Messages.clear();
    dialogs.Answers = {row.answer};
    TF_gaugeForm gauge;
    EXPECT_EQ(gauge.ConfirmAbort("Přerušit export linií ?"), row.confirmed) << row.name;
    ASSERT_EQ(dialogs.Messages.size(), 1u) << row.name;
    EXPECT_EQ(dialogs.Messages[0].Text, "Přerušit export linií ?") << row.name;
    EXPECT_EQ(dialogs.Messages[0].Type, MsgDlgType::Confirmation) << row.name;
    EXPECT_EQ(dialogs.Messages[0].Buttons, unsigned{mbOK | mbCancel}) << row.name;
  }
}

TEST_F(GaugeFormTest, TheRecordingFormLogsCallsRequestsCloseAndAnswersInTurn) {
  RecordingGaugeForm gauge;
  gauge.CloseRequestAt = 20;
  gauge.AbortAnswers = {false};
  gauge.DefaultAnswer = true;
  gauge.SetCaption("Export linií do 50.BLK");
  gauge.SetProgress(5);  // no maximum yet: not taken, not logged
  gauge.SetMaxValue(30);
  gauge.Show();
  gauge.SetProgress(10);
  EXPECT_FALSE(gauge.DoCloseQuery());
  gauge.SetProgress(20);
  EXPECT_TRUE(gauge.DoCloseQuery());
  EXPECT_FALSE(gauge.ConfirmAbort("Přerušit export linií ?"));
  EXPECT_TRUE(gauge.ConfirmAbort("Přerušit export linií ?"));
  gauge.Hide();
  EXPECT_THAT(gauge.Calls, ElementsAre("Caption=Export linií do 50.BLK", "MaxValue=30", "Show", "Progress=10",
                                       "Progress=20", "ConfirmAbort=Přerušit export linií ?",
                                       "ConfirmAbort=Přerušit export linií ?", "Hide"));
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(GaugeFormTest, AnInstalledFactoryMakesTheFormsUntilRemoved) {
  int made = 0;
  SetGaugeFormFactory([&made] {
    ++made;
    return std::make_unique<RecordingGaugeForm>();
  });
  EXPECT_NE(dynamic_cast<RecordingGaugeForm*>(NewGaugeForm().get()), nullptr);
  EXPECT_EQ(made, 1);
  SetGaugeFormFactory(nullptr);
  EXPECT_EQ(dynamic_cast<RecordingGaugeForm*>(NewGaugeForm().get()), nullptr);
  EXPECT_EQ(made, 1);
}

TEST_F(GaugeFormTest, WithoutAnApplicationTheProgramsFormKeepsItsValuesAndShowsNothing) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  std::unique_ptr<TF_gaugeForm> gauge = NewProgramGaugeForm();
  gauge->SetMaxValue(10);
  gauge->Show();
  gauge->SetProgress(4);
  EXPECT_TRUE(gauge->Visible());
  EXPECT_EQ(gauge->Progress(), 4);
  gauge->Show();  // already shown: the cursor is not taken twice
  gauge->Hide();
  EXPECT_FALSE(gauge->Visible());
  EXPECT_EQ(dialogs.CursorChanges, (std::vector<Cursor>{Cursor::HourGlass, Cursor::Default}));
  gauge->Show();
  gauge.reset();
  EXPECT_EQ(dialogs.CursorChanges.back(), Cursor::Default) << "a gauge freed while shown gives the cursor back";
}

QWidget* GaugeWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == "TF_gaugeForm") return widget;
  return nullptr;
}

TEST_F(GaugeFormTest, TheWindowShowsTheBarAndOnlyRecordsTheUsersRequestToClose) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int argc = 1;
  char name[] = "test_platform";
  char* argv[] = {name, nullptr};
  auto application = std::make_unique<QApplication>(argc, argv);
  {
    std::unique_ptr<TF_gaugeForm> gauge = NewProgramGaugeForm();
    gauge->SetCaption("Export linií do 50.BLK");
    gauge->SetMaxValue(200);
    gauge->SetProgress(50);
    EXPECT_EQ(GaugeWindow(), nullptr);  // made on first Show
    gauge->Show();
    QWidget* window = GaugeWindow();
    ASSERT_NE(window, nullptr);
    auto* bar = window->findChild<QProgressBar*>("ProgressBar");
    auto* abort = window->findChild<QPushButton*>("AbortButton");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(abort, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window->windowTitle().toStdString(), "Export linií do 50.BLK");
    EXPECT_EQ(abort->text().toStdString(), "Přerušit");
    EXPECT_EQ(bar->maximum(), 200);
    EXPECT_EQ(bar->value(), 50);
    gauge->SetProgress(120);
    EXPECT_EQ(bar->value(), 120);

    abort->click();
    EXPECT_TRUE(gauge->DoCloseQuery());
    gauge->SetDoCloseQuery(false);
    window->close();
    EXPECT_TRUE(gauge->DoCloseQuery());
    EXPECT_TRUE(window->isVisible());

    gauge->Hide();
    EXPECT_FALSE(window->isVisible());
  }
  EXPECT_EQ(GaugeWindow(), nullptr);
  application.reset();
}

}  // namespace
}  // namespace platform
