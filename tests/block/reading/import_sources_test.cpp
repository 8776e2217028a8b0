#include "block/reading/import_sources.h"

#include <functional>

#include "tests/block/block_fixture.h"

namespace {

using ImportSourcesTest = BlockTest;

// Each written source becomes the next node of its own list, made on first
// use; an empty one makes the list but no node, and reading answers nothing.
TEST_F(ImportSourcesTest, EachWrittenSourceIsTheNextNodeOfItsList) {
  const struct {
    const char* property;
    const char* listClass;
    std::function<TImportSource*(TLumaRImportSource&)> list;
  } rows[] = {
      {"NewBlock", "TLumaRImportBlocks", [](TLumaRImportSource& s) -> TImportSource* { return s.Blocks(); }},
      {"NewRaster", "TLumaRImportRasters", [](TLumaRImportSource& s) -> TImportSource* { return s.Rasters(); }},
      {"NewLibrary", "TLumaRImportLibraries", [](TLumaRImportSource& s) -> TImportSource* { return s.Libraries(); }},
  };
  for (const auto& row : rows) {
    TLumaRImportSource sources;
    for (const char* text : {"/data/LES.BLK", "", "/data/POLE.BLK"}) sources.SetPropertyText(row.property, text);
    EXPECT_EQ(sources.GetPropertyText(row.property), "") << row.property;
    TImportSource* list = row.list(sources);
    ASSERT_NE(list, nullptr) << row.property;
    EXPECT_EQ(std::pair(list->ClassName(), sources.IndexOf(list) >= 0), std::pair(std::string(row.listClass), true))
        << row.property;
    std::vector<std::string> texts;
    for (TElement* node : list->Children()) texts.push_back(static_cast<TImportSourceNode*>(node)->Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"/data/LES.BLK", "/data/POLE.BLK"})) << row.property;
  }
}

}  // namespace
