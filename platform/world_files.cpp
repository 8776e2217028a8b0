#include "platform/world_files.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "platform/file_system.h"

namespace platform {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return text;
}
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The whole token is a number in the C notation.
// Too large a number counts as infinite.
bool ParseNumber(const std::string& token, double& value) {
  const char* end = token.data() + token.size();
  const char* begin = token.size() > 1 && token[0] == '+' && token[1] != '-' ? token.data() + 1 : token.data();
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error == std::errc::result_out_of_range && stop == end) {
    value = std::numeric_limits<double>::infinity();
    return true;
  }
  return error == std::errc() && stop == end;
}

const char* const kNotFinite = "rastr by ležel mimo konečné souřadnice";

bool IsFile(const std::string& path) {
  FileEntry entry;
  return FindFile(path, entry) && (entry.Attributes & faDirectory) == 0;
}

}  // namespace

bool ParseWorldFile(const std::string& text, WorldFile& result, std::string& reason) {
  std::istringstream in(text);
  std::vector<double> numbers;
  std::string token;
  while (numbers.size() < 6 && in >> token) {
    double value = 0;
    if (!ParseNumber(token, value)) {
      reason = "není číslo: " + token;
      return false;
    }
    numbers.push_back(value);
  }
  if (numbers.size() < 6) {
    reason = "má méně než šest čísel";
    return false;
  }
  if (!std::all_of(numbers.begin(), numbers.end(), [](double v) { return std::isfinite(v); })) {
    reason = "obsahuje nekonečné číslo";
    return false;
  }
  const double a = numbers[0], d = numbers[1], b = numbers[2], e = numbers[3];
  if (a <= 0 || e >= 0) {
    reason = "nulová nebo záporná velikost bodu";
    return false;
  }
  if (d != 0 || b != 0) {
    reason = "otočený rastr";
    return false;
  }
  const WorldFile placed{a, -e, numbers[4] - a / 2, numbers[5] - e / 2};
  if (!std::isfinite(placed.Left) || !std::isfinite(placed.Top)) {
    reason = kNotFinite;
    return false;
  }
  result = placed;
  return true;
}

bool WorldExtentIsFinite(const WorldFile& world, std::int32_t width, std::int32_t height, std::string& reason) {
  const double extentX = world.PixelWidth * width, extentY = world.PixelHeight * height;
  if (std::isfinite(extentX) && std::isfinite(extentY) && std::isfinite(world.Left + extentX) &&
      std::isfinite(world.Top - extentY))
    return true;
  reason = kNotFinite;
  return false;
}

std::string FindWorldFile(const std::string& pictureName) {
  static const std::map<std::string, std::string> own{
      {".BMP", ".bpw"}, {".JPG", ".jgw"}, {".JPEG", ".jgw"}, {".GIF", ".gfw"}, {".PNG", ".pgw"}};
  const std::size_t dot = pictureName.find_last_of('.');
  const std::size_t slash = pictureName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  const std::string stem = pictureName.substr(0, dot);
  const std::string ext = pictureName.substr(dot);
  std::vector<std::string> candidates;
  if (const auto found = own.find(Upper(ext)); found != own.end())
    candidates.insert(candidates.end(), {stem + found->second, stem + Upper(found->second)});
  candidates.insert(candidates.end(), {stem + ext + "w", stem + Lower(ext) + "w", stem + Upper(ext) + "W"});
  for (const std::string& candidate : candidates)
    if (IsFile(candidate)) return candidate;
  return "";
}

}  // namespace platform
