#pragma once
#include <deque>

#include "platform/gauge_form.h"
#include "tests/block/writing/writing_fixture.h"

// The writing fixture with every progress form recorded: the calls of the
// last form freed, and the user's close request and answers for the next.
class ExportTest : public WritingTest {
 protected:
  void SetUp() override {
    WritingTest::SetUp();
    platform::SetGaugeFormFactory([this] { return std::unique_ptr<platform::TF_gaugeForm>(new Recorded(*this)); });
  }
  void TearDown() override {
    platform::SetGaugeFormFactory(nullptr);
    WritingTest::TearDown();
  }

  std::deque<bool> answers;
  int closeRequestAt = -1;
  std::vector<std::string> calls;

 private:
  struct Recorded : platform::RecordingGaugeForm {
    explicit Recorded(ExportTest& test) : test(test) {
      AbortAnswers = test.answers;
      CloseRequestAt = test.closeRequestAt;
    }
    ~Recorded() override { test.calls = Calls; }
    ExportTest& test;
  };
};
