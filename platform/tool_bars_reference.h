#pragma once
// Tool bars built by plain Qt code: the yardstick the tool groups' speed is
// measured against.
#include <string>
#include <vector>

namespace platform {

// A main window with groups tool bars of tools check-style actions each,
// their icons read from the files (in turn) and scaled to size pixels; the
// window is shown and freed.
void BuildToolBarsWithQt(int groups, int tools, const std::vector<std::string>& imageFiles, int size);

}  // namespace platform
