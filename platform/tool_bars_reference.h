#pragma once
// Tool bars built by plain Qt code: the yardstick the tool groups' speed is
// measured against.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A main window with groups tool bars of tools check-style actions each,
// their icons read from the files (in turn) and scaled to size pixels; the
// window is shown and freed.
void BuildToolBarsWithQt(int groups, int tools, const std::vector<std::string>& imageFiles, int size);

// What reached the yardstick's windows while it built them: each action a
// tool bar was given, with its checkable flag and its icon drawn at size by
// size pixels (0xAARRGGBB, rows top first), and the showings of its window.
struct ToolBarAction {
  bool Checkable = false;
  int IconWidth = 0;
  int IconHeight = 0;
  std::vector<std::uint32_t> IconArgb;
};
struct ToolBarsSeen {
  std::vector<ToolBarAction> Added;
  int WindowsShown = 0;
};
ToolBarsSeen WatchToolBarsBuiltWithQt(int groups, int tools, const std::vector<std::string>& imageFiles, int size);

}  // namespace platform
