#include "block/reading/layer_kinds.h"

#include <array>
#include <string_view>
#include <utility>

namespace {

using namespace std::string_view_literals;

constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kKinds{{
    {".ARE"sv, "ARE"sv}, {".LIN"sv, "LIN"sv}, {".CRD"sv, "LIN"sv}, {".PNT"sv, "PNT"sv}, {".TBX"sv, "TXT"sv},
    {".TTX"sv, "TXT"sv}, {".RAS"sv, "RAS"sv}, {".RAK"sv, "RAS"sv}, {".TIF"sv, "RAS"sv}, {".CIT"sv, "RAS"sv},
    {".BMP"sv, "RAS"sv}, {".SHP"sv, "ARE"sv}, {"", "LIN"sv},
}};

constexpr std::array<std::string_view, 6> kBlockFiles{".ARE"sv, ".LIN"sv, ".PNT"sv, ".TBX"sv, ".TTX"sv, ".CRD"sv};

}  // namespace

void LayerKindByExtension(const std::string& Extension, std::string& Kind) {
  for (const auto& [extension, kind] : kKinds) {
    if (extension == Extension || extension.empty()) {
      Kind = kind;
      return;
    }
  }
}

bool IsBlockFileExt(const std::string& Extension) {
  for (std::string_view extension : kBlockFiles)
    if (extension == Extension) return true;
  return false;
}
