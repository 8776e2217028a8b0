#include "block/layers/block_layers.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "block/block_classes.h"
#include "framework/core/class_registry.h"
#include "render/rasters/raster.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"

namespace {

using ::testing::ElementsAre;

// Stands for the rendering's interpret layer, which lies above the block
// library: the tools know it by its registered name.
class TTestInterpretLayer : public TEntity {
  KESTX_CLASS(TTestInterpretLayer)
};
TClass TTestInterpretLayer::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTestInterpretLayer>("TInterpretLayer", TEntity::StaticClass(), "test", {});
  return &info;
}

class BlockLayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBlockClasses();
    if (!FindKestuClass("TInterpretLayer")) RegisterKestuClass(TTestInterpretLayer::StaticClass());
    interpret = static_cast<TEntity*>(NewElement(FindKestuClass("TInterpretLayer")));
    input.AddElement(interpret);
  }

  // A layer list of a block, as the block reader leaves it, over a box.
  TSpaceEntityString* Layer(TEntity& owner, const char* name, const std::string& type, const std::string& block,
                            double minX, double maxX) {
    auto* layer = CreateElement<TPolyLineString>();
    layer->SetName(name);
    if (!type.empty()) layer->SetPropertyText("TYPE", type);
    if (!block.empty()) layer->SetPropertyText("BlockName", block);
    layer->SetBounds({minX, 0, maxX, 10});
    owner.AddElement(layer);
    return layer;
  }

  static std::vector<std::string> Names(const TEntity& entity) {
    std::vector<std::string> names;
    for (const TElement* child : entity.Children()) names.push_back(child->GetName());
    return names;
  }

  TOwnerEntity input;
  TEntity* interpret = nullptr;
};

TEST_F(BlockLayersTest, FindsTheLayersOfABlockAndTypeAlsoInsideAnInterpretLayer) {
  Layer(input, "a", "LIN", "C:\\DATA\\XY.BLK", 0, 1);
  Layer(*interpret, "b", "ARE", "/data/xy.blk", 0, 1);
  Layer(*interpret, "c", "LIN", "/data/DET.BLK", 0, 1);
  Layer(input, "d", "LIN", "", 0, 1);
  Layer(input, "e", "LIN", "/data/XY", 0, 1);
  struct Row {
    const char* Case;
    std::string Name;
    std::string Type;
    std::vector<std::string> Expected;
  } rows[] = {
      // The interpret layer is the input's first child.
      {"block in any case, any type", "xy", "", {"b", "a"}},
      {"block and type", "XY", "are", {"b"}},
      {"type only", "", "LIN", {"c", "a", "e"}},
      {"nothing given: every layer with a block", "", "", {"b", "c", "a", "e"}},
      {"a block without a dot has no name", "XY", "", {"b", "a"}},
      {"no such block", "LES", "", {}},
  };
  for (const Row& row : rows) {
    TFindBlockLayer tool;
    TOwnerEntity found;
    tool.LayerName = row.Name;
    tool.LayerType = row.Type;
    tool.SetInput(&input);
    tool.SetOutput(&found);
    tool.DoIt();
    EXPECT_EQ(Names(found), row.Expected) << row.Case;
  }
}

// Both tools run only when input and output are entities: with either
// missing, or not an entity, nothing is found or grouped.
TEST_F(BlockLayersTest, WithoutAnInputOrAnOutputEntityNeitherToolDoesAnything) {
  Layer(input, "a", "LIN", "/x/XY.BLK", 0, 5);
  T2DCoordinate point;
  TOwnerEntity output;
  const struct {
    const char* name;
    TElement* in;
    TElement* out;
  } rows[] = {
      {"no input", nullptr, &output},
      {"no output", &input, nullptr},
      {"an input that is no entity", &point, &output},
      {"an output that is no entity", &input, &point},
  };
  for (const auto& row : rows) {
    TFindBlockLayer find;
    TBlockLayersTool group;
    for (TTool* tool : {static_cast<TTool*>(&find), static_cast<TTool*>(&group)}) {
      tool->SetInput(row.in);
      tool->SetOutput(row.out);
      tool->DoIt();
    }
    EXPECT_EQ(output.GetCount(), 0) << row.name;
  }
}

TEST_F(BlockLayersTest, GroupsRastersAndLayersByTypeAndBlockGrowingTheBounds) {
  Layer(input, "a", "LIN", "C:\\DATA\\XY.BLK", 0, 5);
  Layer(*interpret, "b", "LIN", "/x/XY.BLK", 20, 30);
  Layer(input, "c", "ARE", "/x/XY.BLK", 100, 110);
  Layer(input, "d", "LIN", "/x/NODOT", 0, 1);
  auto* raster = CreateElement<TRaster>();
  raster->SetName("r");
  raster->SetBounds({-50, -5, -40, 5});
  input.AddElement(raster);
  auto* plain = CreateElement<TOwnerEntity>();
  plain->SetName("plain");
  input.AddElement(plain);
  TRectEntity output;
  auto* blocker = CreateElement<TOwnerEntity>();
  blocker->SetName("ARE_XY");
  output.AddElement(blocker);

  TBlockLayersTool tool;
  tool.SetInput(&input);
  tool.SetOutput(&output);
  tool.DoIt();

  EXPECT_THAT(Names(output), ElementsAre("ARE_XY", "LIN_XY", "LIN_", "RAS_RAK"));
  struct Row {
    const char* Group;
    std::vector<std::string> Members;
    double MinX, MaxX;
  } rows[] = {
      {"LIN_XY", {"b", "a"}, 0, 30},
      {"LIN_", {"d"}, 0, 1},
      {"RAS_RAK", {"r"}, -50, -40},
  };
  for (const Row& row : rows) {
    auto* group = DynamicCast<TRectEntity>(output.FindElementByName(row.Group));
    ASSERT_NE(group, nullptr) << row.Group;
    EXPECT_EQ(Names(*group), row.Members) << row.Group;
    EXPECT_EQ(group->GetMinX(), row.MinX) << row.Group;
    EXPECT_EQ(group->GetMaxX(), row.MaxX) << row.Group;
  }
  EXPECT_TRUE(Names(*blocker).empty()) << "a group name held by no rect entity skips the layer";
  EXPECT_EQ(output.GetMinX(), -50);
  EXPECT_EQ(output.GetMaxX(), 30);
}

}  // namespace
