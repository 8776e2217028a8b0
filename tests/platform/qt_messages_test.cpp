#include "platform/qt_messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The variables the choice of window system reads, kept and put back.
class QtPlatformChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      const char* value = std::getenv(kNames[i]);
      saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < std::size(kNames); ++i) Put(kNames[i], saved_[i]);
  }
  static void Put(const char* name, const std::optional<std::string>& value) {
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

 private:
  std::optional<std::string> saved_[std::size(kNames)];
};

// Without a display and without a chosen platform the program runs
// offscreen; a display or a chosen platform is left alone, and a variable
// set to nothing counts as not set.
TEST_F(QtPlatformChoiceTest, OffscreenOnlyWithoutADisplayOrAChosenPlatform) {
  using Value = std::optional<std::string>;
  const struct {
    const char* name;
    Value display, wayland, platform, chosen;
  } rows[] = {
      {"nothing set", std::nullopt, std::nullopt, std::nullopt, "offscreen"},
      {"a display", ":0", std::nullopt, std::nullopt, std::nullopt},
      {"a Wayland display", std::nullopt, "wayland-0", std::nullopt, std::nullopt},
      {"a chosen platform", std::nullopt, std::nullopt, "xcb", "xcb"},
      {"an empty display", "", std::nullopt, std::nullopt, "offscreen"},
  };
  for (const auto& row : rows) {
    Put("DISPLAY", row.display);
    Put("WAYLAND_DISPLAY", row.wayland);
    Put("QT_QPA_PLATFORM", row.platform);
    platform::UseOffscreenWithoutDisplay();
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    EXPECT_EQ(chosen ? Value(chosen) : std::nullopt, row.chosen) << row.name;
  }
}

// Only a fatal message of Qt ends the program, with exit code 1 and the
// message on the standard error; any other still reaches the handler that
// was there before, and the program goes on.  Each runs in a process of its
// own, which the fatal one ends.
TEST(QtMessagesTest, OnlyAFatalMessageEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        platform::EchoToolkitMessages("earlier: ");
        platform::EndOnFatalQtMessage();
        platform::LogToolkitMessage(platform::ToolkitMessage::Warning, "varování");
        platform::LogToolkitMessage(platform::ToolkitMessage::Info, "zpráva");
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "^earlier: varování\nearlier: zpráva\n$");
  EXPECT_EXIT(
      {
        platform::EchoToolkitMessages("earlier: ");
        platform::EndOnFatalQtMessage();
        platform::LogToolkitMessage(platform::ToolkitMessage::Fatal, "bez displeje");
      },
      ::testing::ExitedWithCode(1), "^bez displeje\n$");
}

}  // namespace
