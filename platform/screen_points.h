#pragma once
// The screen as tools placing windows see it: its size, where the mouse
// cursor is, and a popup menu of items made at run time at a screen point.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

struct ScreenExtent {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// The primary screen's size in pixels.
ScreenExtent ScreenSize();
// The mouse cursor's position on the screen.
void CursorScreenPosition(std::int32_t& x, std::int32_t& y);

// Shows a popup menu of items at a screen point and answers the index of
// the chosen item, -1 for none.  Unattended, nothing is chosen.
int ChooseRunTimePopupItem(const std::vector<std::string>& items, std::int32_t screenX, std::int32_t screenY);

// Acts for the person at run-time popups instead of showing them: answers
// the chosen index for the items offered; an empty one restores showing
// them.
using PopupAnswerer = std::function<int(const std::vector<std::string>& items)>;
void SetPopupAnswerer(PopupAnswerer answerer);

}  // namespace platform
