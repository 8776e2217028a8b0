#include "oil/runtime/debug_messages.h"

#include "oil/runtime/operators.h"

OIL_CLASS_INFO(TLineMessage, TKestuMessage, "OilDebug", FieldProp("LineNum", &TLineMessage::LineNum))
OIL_CLASS_INFO(TErrorMessage, TKestuMessage, "OilDebug", FieldProp("Text", &TErrorMessage::Text),
               FieldProp("LineNum", &TErrorMessage::LineNum))
