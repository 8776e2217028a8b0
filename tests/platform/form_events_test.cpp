#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/event_handlers.h"
#include "platform/forms.h"

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
