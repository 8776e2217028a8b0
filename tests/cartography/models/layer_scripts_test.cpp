#include "cartography/models/layer_scripts.h"

#include "tests/cartography/models/models_fixture.h"

using LayerScriptTest = ModelScriptTest;

TEST_F(LayerScriptTest, GoIntoDirsIsTheLeadingPlus) {
  struct Row {
    const char* name;
    const char* description;
    bool write;
    const char* written;
  };
  const Row rows[] = {
      {"set adds the plus", "DATA\\*.BLK", true, "+DATA\\*.BLK"},
      {"set keeps one plus", "+DATA\\*.BLK", true, "+DATA\\*.BLK"},
      {"clear removes it", "+DATA\\*.BLK", false, "DATA\\*.BLK"},
      {"clear leaves a plain one", "DATA\\*.BLK", false, "DATA\\*.BLK"},
      {"set on nothing", "", true, "+"},
  };
  for (const Row& row : rows) {
    TLayerScript layer;
    layer.SetDescription(row.description);
    SetPropertyTextByName(layer, "GoIntoDirs", row.write ? "True" : "False");
    EXPECT_EQ(layer.GetDescription(), row.written) << row.name;
    EXPECT_EQ(layer.GetGoIntoDirs(), row.write) << row.name;
  }
}

TEST_F(LayerScriptTest, ExpandsItsSpecificationIntoPaths) {
  struct Row {
    const char* name;
    const char* kind;
    std::string description;
    std::vector<std::string> entries;
    std::vector<std::string> paths;  // in child order: the last found first
  };
  const std::string abs = Base();
  const Row rows[] = {
      {"blocks are folders, not files", "LIN", "*.BLK", {"A.BLK/", "B.BLK/", "C.BLK"}, {"~/B.BLK", "~/A.BLK"}},
      {"the mask ignores letter case", "ARE", "*.blk", {"A.BLK/"}, {"~/A.BLK"}},
      {"rasters are plain files", "RAS", "*.BMP", {"a.bmp", "B.BMP/"}, {"~/a.bmp"}},
      {"a relative folder with a mask", "LIN", "DATA\\*.BLK", {"DATA/X.BLK/", "Y.BLK/"}, {"~/DATA/X.BLK"}},
      {"plus searches the sub-folders", "LIN", "+DATA\\*.BLK", {"DATA/X.BLK/", "DATA/S/Y.BLK/", "Z.BLK/"},
       {"~/DATA/S/Y.BLK", "~/DATA/X.BLK"}},
      {"plus without a folder starts at the base", "PNT", "+*.BLK", {"A.BLK/", "S/B.BLK/"}, {"~/S/B.BLK", "~/A.BLK"}},
      {"an absolute folder with a mask is searched", "LIN", abs + "/DATA/*.BLK", {"DATA/X.BLK/"}, {"~/DATA/X.BLK"}},
      {"an absolute path without a mask stays one", "LIN", "/nowhere/X.BLK", {}, {"/nowhere/X.BLK"}},
      {"a drive letter is absolute", "LIN", "C:\\DATA\\X.BLK", {}, {"C:/DATA/X.BLK"}},
      {"a relative path goes under the base", "LIN", "DATA\\X.BLK", {}, {"~/DATA/X.BLK"}},
      {"a bare name goes under the base", "RAS", "X.TIF", {}, {"~/X.TIF"}},
      {"nothing matches", "LIN", "*.BLK", {"A.LIN/"}, {}},
      {"no pattern", "LIN", "", {"A.BLK/"}, {}},
  };
  for (const Row& row : rows) {
    std::filesystem::remove_all(Base());
    std::filesystem::create_directories(Base());
    Make(row.entries);
    TLayerScript layer;
    layer.SetName(row.kind);
    layer.SetDescription(row.description);
    layer.ExpandPaths(Base());
    EXPECT_EQ(Paths(layer), row.paths) << row.name;
  }
}

TEST_F(LayerScriptTest, ExpandingAgainReplacesThePathsAndKeepsTheParameters) {
  Make({"A.BLK/", "B.BLK/"});
  TLayerScript layer;
  layer.SetName("LIN");
  layer.SetDescription("*.BLK");
  layer.AddParameter(TStringElement::CreateNameValue("@COLOR", "5"));
  layer.ExpandPaths(Base());
  TElementLink firstPath(layer.GetElement(0));
  layer.ExpandPaths(Base() + "/");
  EXPECT_EQ(Paths(layer), (std::vector<std::string>{"~/B.BLK", "~/A.BLK"}));
  EXPECT_TRUE(firstPath.IsDangling()) << "the old paths are freed";
  ASSERT_EQ(layer.GetCount(), 3);
  EXPECT_EQ(layer.GetElement(2), layer.Parameters()) << "the paths stand before the parameters";
}

TEST_F(LayerScriptTest, AnElementLayerIsNotExpanded) {
  TLayerScript layer;
  layer.SetName("ELEMENT");
  layer.SetDescription("*");
  layer.AddElement(TPathElement::CreateNameValue("PATH", "kept"));
  layer.ExpandPaths(Base());
  EXPECT_EQ(Paths(layer), std::vector<std::string>{"kept"});
}

TEST_F(LayerScriptTest, ClearDropsParametersAndDescription) {
  TLayerScript layer;
  layer.SetDescription("*.BLK");
  layer.AddParameter(TStringElement::CreateNameValue("@COLOR", "5"));
  layer.AddParameter(TStringElement::CreateNameValue("!DRUH", "1"));
  ASSERT_EQ(layer.Parameters()->GetCount(), 2) << "one list holds every parameter";
  layer.Clear();
  EXPECT_EQ(layer.Parameters(), nullptr);
  EXPECT_EQ(layer.GetDescription(), "");
  EXPECT_EQ(layer.GetCount(), 0);
}

TEST_F(LayerScriptTest, AModelScriptExpandsEveryLayer) {
  Make({"A.BLK/", "p.TIF"});
  TModelScript script;
  for (const auto& [kind, spec] : {std::pair{"LIN", "*.BLK"}, std::pair{"RAS", "*.TIF"}}) {
    auto* layer = CreateElement<TLayerScript>();
    layer->SetName(kind);
    layer->SetDescription(spec);
    script.AddElement(layer);
  }
  script.ExpandAll(Base());
  EXPECT_EQ(Paths(*static_cast<TEntity*>(script.GetElement(0))), std::vector<std::string>{"~/A.BLK"});
  EXPECT_EQ(Paths(*static_cast<TEntity*>(script.GetElement(1))), std::vector<std::string>{"~/p.TIF"});
}
