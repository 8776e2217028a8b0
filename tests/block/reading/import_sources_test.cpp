#include "block/reading/import_sources.h"

#include "tests/block/block_fixture.h"

namespace {

class ImportSourcesTest : public BlockTest {};

std::vector<std::string> TextsOf(const TEntity* list) {
  std::vector<std::string> texts;
  if (list)
    for (TElement* child : list->Children()) texts.push_back(static_cast<TImportSourceNode*>(child)->Text);
  return texts;
}

TEST_F(ImportSourcesTest, CommandPropertiesAddNodesToTheirListsButNoEmptyOne) {
  TLumaRImportSource source;
  source.SetPropertyText("NewBlock", "D:/DATA/LES.BLK");
  source.SetPropertyText("NewBlock", "D:/DATA/VODA.BLK");
  source.SetPropertyText("NewRaster", "");
  source.SetPropertyText("NewLibrary", "linzn.txt");
  EXPECT_EQ(TextsOf(source.Blocks()), (std::vector<std::string>{"D:/DATA/LES.BLK", "D:/DATA/VODA.BLK"}));
  EXPECT_EQ(TextsOf(source.Libraries()), (std::vector<std::string>{"linzn.txt"}));
  // An empty raster makes the list but no node.
  ASSERT_EQ(source.Children().size(), 3u);
  EXPECT_EQ(source.Children()[1], source.Rasters());
  EXPECT_TRUE(source.Rasters()->Children().empty());
  for (const char* name : {"NewBlock", "NewRaster", "NewLibrary"}) EXPECT_EQ(source.GetPropertyText(name), "") << name;
  TImportSource list;
  list.AddSource("");
  list.AddSource("a");
  EXPECT_EQ(TextsOf(&list), (std::vector<std::string>{"a"}));
}

}  // namespace
