#include "forestry/tools/command_line_element.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "app/command_line/command_line.h"

TElement* RunForElement(TCommandLine& commandLine) {
  commandLine.DoIt();
  if (commandLine.Failed()) return nullptr;
  const std::string result = commandLine.GetFirstResult();
  std::uint32_t handle = 0;
  const auto [end, error] = std::from_chars(result.data(), result.data() + result.size(), handle);
  if (error != std::errc() || end != result.data() + result.size() || handle == 0) return nullptr;
  return ElementOfHandle(handle);
}
