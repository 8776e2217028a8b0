#include "block/reading/layer_kinds.h"

#include <gtest/gtest.h>

namespace {

// The layer a file makes by its upper-case extension, and whether the file
// is one of a block's own (then its folder is the source).
TEST(LayerKinds, EachExtensionNamesItsLayerAndTheBlocksOwnFiles) {
  const struct {
    const char* extension;
    const char* kind;
    bool blockFile;
  } rows[] = {
      {".ARE", "ARE", true}, {".LIN", "LIN", true},  {".CRD", "LIN", true},  {".PNT", "PNT", true},
      {".TBX", "TXT", true}, {".TTX", "TXT", true},  {".RAS", "RAS", false}, {".RAK", "RAS", false},
      {".TIF", "RAS", false}, {".CIT", "RAS", false}, {".BMP", "RAS", false}, {".SHP", "ARE", false},
      {".DBF", "LIN", false}, {"", "LIN", false},     {".are", "LIN", false},
  };
  for (const auto& row : rows) {
    std::string kind = "?";
    LayerKindByExtension(row.extension, kind);
    EXPECT_EQ(kind, row.kind) << row.extension;
    EXPECT_EQ(IsBlockFileExt(row.extension), row.blockFile) << row.extension;
  }
}

}  // namespace
