#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/event_handlers.h"
#include "platform/forms.h"
#include "platform/screen_points.h"

namespace {

using platform::Form;

// A key on a control goes there first; what the control leaves reaches the
// form's key handler, as from a person.
TEST(FormEvents, AKeyOnANamedControlReachesTheFormOnlyWhenTheControlLeavesIt) {
  struct Case {
    const char* name;
    std::uint16_t key;
    std::vector<std::uint16_t> formKeys;
    std::string text;
  };
  const Case cases[] = {
      {"F9: the memo has no use for it", platform::vkF9, {platform::vkF9}, ""},
      {"Enter: a new line of the memo", platform::vkReturn, {}, "\n"},
  };
  for (const Case& c : cases) {
    Form form("TTestMemoForm");
    std::vector<std::uint16_t> keys;
    form.OnKeyDown([&](std::uint16_t key, std::uint8_t) { keys.push_back(key); });
    platform::UserKeyOn(form, "m_Text", c.key);
    EXPECT_EQ(std::pair(keys, form.Text("m_Text")), std::pair(c.formKeys, c.text)) << c.name;
  }
}

// The editing keys reach the form's key handler with their codes and the
// shift state pressed with them.
TEST(FormEvents, EditingKeysReachTheFormWithTheirCodes) {
  struct Case {
    const char* name;
    std::uint16_t key;
    std::uint8_t shift;
  };
  const Case cases[] = {
      {"Backspace", platform::vkBackspace, 0}, {"Delete", platform::vkDelete, 0},
      {"Ctrl+Delete", platform::vkDelete, 4},  {"F3", platform::vkF3, 0},
      {"R", 'R', 0},
      {"Shift+F3", platform::vkF3, 1},         {"Alt+Delete", platform::vkDelete, 2},
      {"Shift+Ctrl+Delete", platform::vkDelete, 5},
  };
  for (const Case& c : cases) {
    Form form("TTestMemoForm");
    std::vector<std::pair<std::uint16_t, std::uint8_t>> keys;
    form.OnKeyDown([&](std::uint16_t key, std::uint8_t shift) { keys.emplace_back(key, shift); });
    platform::UserKey(form, c.key, c.shift);
    EXPECT_EQ(keys, (std::vector<std::pair<std::uint16_t, std::uint8_t>>{{c.key, c.shift}})) << c.name;
  }
}

// The hand that moves, presses or releases the mouse over a control brings
// the screen cursor to the point, so that windows opened from the event
// appear where the mouse is.
TEST(FormEvents, AMouseEventBringsTheScreenCursorToItsPoint) {
  struct Case {
    const char* name;
    platform::MouseAction action;
    int x, y;
  };
  const Case cases[] = {
      {"a move", platform::MouseAction::Move, 60, 45},
      {"a press", platform::MouseAction::Down, 12, 70},
      {"a release", platform::MouseAction::Up, 33, 8},
  };
  Form form("TTestMemoForm");
  form.SetBounds({50, 40, 300, 200});
  form.Show();
  platform::UserMouse(form, "m_Text", platform::MouseAction::Move, {0, 0, 10, 20});
  std::int32_t startX = 0, startY = 0;
  platform::CursorScreenPosition(startX, startY);
  for (const Case& c : cases) {
    platform::UserMouse(form, "m_Text", c.action, {0, 0, c.x, c.y});
    std::int32_t x = 0, y = 0;
    platform::CursorScreenPosition(x, y);
    EXPECT_EQ(std::pair(x - startX, y - startY), std::pair(c.x - 10, c.y - 20)) << c.name;
  }
}

// Every handler of a window's event runs inside the installed hook, once.
TEST(FormEvents, HandlersRunThroughTheInstalledHook) {
  struct Case {
    const char* name;
    bool hooked;
    std::function<void(Form&, std::vector<std::string>&)> handle;  // installs the handler
    std::function<void(Form&)> event;
  };
  const Case cases[] = {
      {"a click", true,
       [](Form& form, std::vector<std::string>& order) { form.OnClick("b_Go", [&] { order.push_back("handler"); }); },
       [](Form& form) { platform::UserClick(form, "b_Go"); }},
      {"a key", true,
       [](Form& form, std::vector<std::string>& order) {
         form.OnKeyDown([&](std::uint16_t, std::uint8_t) { order.push_back("handler"); });
       },
       [](Form& form) { platform::UserKey(form, platform::vkF9); }},
      {"a new size", true,
       [](Form& form, std::vector<std::string>& order) { form.OnResize([&] { order.push_back("handler"); }); },
       [](Form& form) { platform::UserResize(form, 320, 210); }},
      {"the close query", true,
       [](Form& form, std::vector<std::string>& order) {
         form.OnCloseQuery([&] {
           order.push_back("handler");
           return true;
         });
       },
       [](Form& form) { platform::UserCloseWindow(form); }},
      {"a click, the hook removed", false,
       [](Form& form, std::vector<std::string>& order) { form.OnClick("b_Go", [&] { order.push_back("handler"); }); },
       [](Form& form) { platform::UserClick(form, "b_Go"); }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> order;
    if (c.hooked)
      platform::SetEventHandlerHook([&](const std::function<void()>& handler) {
        order.push_back("before");
        handler();
        order.push_back("after");
      });
    else
      platform::SetEventHandlerHook(nullptr);
    Form form("TTestMemoForm");
    c.handle(form, order);
    c.event(form);
    const std::vector<std::string> expected =
        c.hooked ? std::vector<std::string>{"before", "handler", "after"} : std::vector<std::string>{"handler"};
    EXPECT_EQ(order, expected) << c.name;
  }
  platform::SetEventHandlerHook(nullptr);
}

}  // namespace
