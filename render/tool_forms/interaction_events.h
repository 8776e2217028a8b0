#pragma once
// Mouse, key and cursor events as framework messages: a form never acts on
// an event itself, it posts one of these to its tool.
#include <cstdint>

#include "framework/core/messages.h"

enum InteractionCode : int {
  msgKeyDown = 60,
  msgMouseDown = 61,
  msgMouseUp = 62,
  msgMouseMove = 63,
  msgStartDrag = 64,
  msgDragOver = 65,
  msgDragDrop = 66,
  msgEndDrag = 67,
  msgCursorChanged = 71,
};

// Bits of the shift set.
enum ShiftState : std::uint8_t {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};

class TKestuShiftEvent : public TKestuMessage {
  KESTX_CLASS(TKestuShiftEvent)
 public:
  TKestuShiftEvent() = default;
  TKestuShiftEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift);
  std::uint8_t Shift = 0;
};

class TKestuMouseEvent : public TKestuShiftEvent {
  KESTX_CLASS(TKestuMouseEvent)
 public:
  TKestuMouseEvent() = default;
  TKestuMouseEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift, std::uint8_t button,
                   std::int32_t x, std::int32_t y, bool armed);
  std::uint8_t Button = 0;  // 0 left, 1 right, 2 middle
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool Armed = false;
};

class TKestuKeyEvent : public TKestuShiftEvent {
  KESTX_CLASS(TKestuKeyEvent)
 public:
  TKestuKeyEvent() = default;
  TKestuKeyEvent(int code, TElement* receiver, TElement* sender, std::uint8_t shift, std::uint16_t key);
  std::uint16_t Key = 0;
};

class TKestuCursorEvent : public TKestuMessage {
  KESTX_CLASS(TKestuCursorEvent)
 public:
  TKestuCursorEvent() = default;
  TKestuCursorEvent(int code, TElement* receiver, TElement* sender, std::int32_t cursor);
  std::int32_t Cursor = 0;
};

void RegisterInteractionEventClasses();
