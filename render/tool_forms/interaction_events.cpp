#include "render/tool_forms/interaction_events.h"

#include "framework/core/class_registry.h"

TKestuShiftEvent::TKestuShiftEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift)
    : TKestuMessage(code, sender, receiver, nullptr, false), Shift(shift) {}

TKestuMouseEvent::TKestuMouseEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift,
                                   std::uint8_t button, std::int32_t x, std::int32_t y, bool armed)
    : TKestuShiftEvent(code, receiver, sender, shift), Button(button), X(x), Y(y), Armed(armed) {}

TKestuKeyEvent::TKestuKeyEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift,
                               std::uint16_t key)
    : TKestuShiftEvent(code, receiver, sender, shift), Key(key) {}

TKestuCursorEvent::TKestuCursorEvent(int code, TElement* receiver, TElement* sender, std::int32_t cursor)
    : TKestuMessage(code, sender, receiver, nullptr, false), Cursor(cursor) {}

TClass TKestuShiftEvent::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKestuShiftEvent>("TKestuShiftEvent", TKestuMessage::StaticClass(), "T_InterA", {});
  return &info;
}

TClass TKestuMouseEvent::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKestuMouseEvent>("TKestuMouseEvent", TKestuShiftEvent::StaticClass(), "T_InterA", {});
  return &info;
}

TClass TKestuKeyEvent::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKestuKeyEvent>("TKestuKeyEvent", TKestuShiftEvent::StaticClass(), "T_InterA", {});
  return &info;
}

TClass TKestuCursorEvent::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TKestuCursorEvent>("TKestuCursorEvent", TKestuMessage::StaticClass(), "T_InterA", {});
  return &info;
}

void RegisterInteractionEventClasses() {
  RegisterKestuClass(TKestuShiftEvent::StaticClass());
  RegisterKestuClass(TKestuMouseEvent::StaticClass());
  RegisterKestuClass(TKestuKeyEvent::StaticClass());
  RegisterKestuClass(TKestuCursorEvent::StaticClass());
}
