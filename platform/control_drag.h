#pragma once
// Drags of a control by the mouse, within the program: the form's code
// begins one from its mouse-move handler while the left button is held; the
// drag starts once the mouse has moved further than a threshold from where
// it began, reports each move over the control, and ends where the button
// is released.  While it runs the control takes no mouse moves or release
// of its own, and shows its drag cursor.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Form;

// Start carries no point; Over, Drop and End the mouse's point in the
// control's pixels.  Drop comes only when a move was reported over the
// control and the button is released over it; End always closes a drag.
enum class DragAction { Start, Over, Drop, End };
using DragHandler = std::function<void(DragAction action, std::int32_t x, std::int32_t y)>;

// Installs the control's drag handling.  Called after the form's own mouse
// handler of the control is set, so that the drag sees the mouse first.
void OnControlDrag(Form& form, const std::string& control, DragHandler handler);
// Begins a drag from the mouse's last point over the control; nothing while
// one is already begun or running, or without OnControlDrag.
void BeginControlDrag(Form& form, const std::string& control, int threshold);
bool ControlDragging(const Form& form, const std::string& control);
// The screen cursor shown over the control while it is dragged (-12, the
// drag arrow, until set).
void SetControlDragCursor(Form& form, const std::string& control, int screenCursor);
int ControlDragCursor(const Form& form, const std::string& control);

// Drives the mouse through Qt Test as a person's hand would: the left
// button pressed at the path's first point, moved through the others and
// released at the last.
void UserDragControl(Form& form, const std::string& control, const std::vector<std::pair<int, int>>& path);

}  // namespace platform
