#pragma once
// What a debugged program tells its observer: the line it stopped before,
// and the error that ended its run.
#include <cstdint>
#include <string>

#include "framework/core/messages.h"

class TLineMessage : public TKestuMessage {
  KESTX_CLASS(TLineMessage)
 public:
  using TKestuMessage::TKestuMessage;
  std::int32_t LineNum = -1;
};

class TErrorMessage : public TKestuMessage {
  KESTX_CLASS(TErrorMessage)
 public:
  using TKestuMessage::TKestuMessage;
  std::string Text;
  std::int32_t LineNum = -1;
};
