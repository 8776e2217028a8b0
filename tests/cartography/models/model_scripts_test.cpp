#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "cartography/layouts/view.h"
#include "cartography/models/model_script_text.h"
#include "cartography/models/script_models.h"
#include "framework/environment/file_elements.h"
#include "framework/tools/recursor.h"
#include "render/interprets/interpret_layers.h"
#include "render/rasters/raster.h"
#include "tests/cartography/models/models_fixture.h"

namespace {

// "kind=description" of each layer, with its parameters as " [name=value]".
std::string Layers(TEntity& script) {
  std::vector<std::string> layers;
  for (int i = 0; i < script.GetCount(); ++i) {
    auto* layer = DynamicCast<TLayerScript>(script.GetElement(i));
    if (!layer) continue;
    std::string text = layer->GetName() + "=" + layer->GetDescription();
    if (TPropertyList* params = layer->Parameters())
      for (int p = 0; p < params->GetCount(); ++p)
        text += " [" + static_cast<TStringElement*>(params->GetElement(p))->GetNameIsValue() + "]";
    layers.push_back(text);
  }
  return Join(layers, ", ");
}

std::unique_ptr<TStringListElement> Lines(const std::vector<std::string>& lines) {
  return std::unique_ptr<TStringListElement>(TStringListElement::CreateFromStrings(lines));
}

}  // namespace

class ModelScriptTextTest : public ModelScriptTest {
 protected:
  // The script the creator reads from the lines, expanded under the base.
  std::unique_ptr<TModelScript> Read(const std::vector<std::string>& lines) { return Read(Lines(lines).get()); }
  std::unique_ptr<TModelScript> Read(TStringListElement* input) {
    TModelScriptCreator creator;
    creator.DataDirectory = Base();
    creator.SetInput(input);
    creator.DoIt();
    return std::unique_ptr<TModelScript>(static_cast<TModelScript*>(creator.Output()));
  }
};

TEST_F(ModelScriptTextTest, LinesBecomeLayersAndParameters) {
  struct Row {
    const char* name;
    std::vector<std::string> lines;
    const char* layers;
    std::vector<std::string> log;
  };
  const Row rows[] = {
      {"kinds in any case, parameters after their layer, other names left out",
       {"lin=DATA\\*.BLK", "@COLOR=5", "XYZ=1", "RAS=*.TIF"},
       "lin=DATA\\*.BLK [@COLOR=5], RAS=*.TIF",
       {"Skript modelu: neznámý řádek XYZ=1"}},
      {"every parameter character", {"PNT=*.BLK", "!DRUH=1", "+A=2", "-B=3", "<C=4", ">D=5"},
       "PNT=*.BLK [!DRUH=1] [+A=2] [-B=3] [<C=4] [>D=5]", {}},
      {"names and values trimmed", {"  ARE  =  A.BLK  ", " @X = 1 "}, "ARE=A.BLK [@X=1]", {}},
      {"a parameter before any layer is left out", {"@COLOR=5", "TXT=*.BLK"}, "TXT=*.BLK",
       {"Skript modelu: neznámý řádek @COLOR=5"}},
      {"an empty name is left out, blank lines silently", {"=", "", "LINSYM=*.BLK", "ELEMENT=TRectEntity"},
       "LINSYM=*.BLK, ELEMENT=TRectEntity", {"Skript modelu: neznámý řádek ="}},
  };
  for (const Row& row : rows) {
    log.Lines.clear();
    auto script = Read(row.lines);
    ASSERT_TRUE(script) << row.name;
    EXPECT_EQ(Layers(*script), row.layers) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
  }
}

TEST_F(ModelScriptTextTest, NoLayerLineGivesNoScript) {
  TModelScriptCreator creator;
  auto input = Lines({"XYZ=1"});
  creator.SetInput(input.get());
  creator.DoIt();
  EXPECT_EQ(creator.Output(), nullptr) << "no script";
}

TEST_F(ModelScriptTextTest, TheCreatorExpandsUnderTheDataDirectory) {
  Make({"DATA/A.BLK/"});
  auto script = Read({"LIN=DATA\\*.BLK"});
  EXPECT_EQ(Paths(*static_cast<TEntity*>(script->GetElement(0))), std::vector<std::string>{"~/DATA/A.BLK"});
}

TEST_F(ModelScriptTextTest, TextOfAScriptReadsBackToTheSameLayers) {
  Make({"A.BLK/", "B.BLK/"});
  auto script = Read({"lin=*.BLK", "@COLOR=5", "!DRUH=1,2", "RAS=*.TIF", "ELEMENT=TRectEntity", "@MinX=3", "ARE"});
  TStringListFromModelScript writer;
  writer.SetInput(script.get());
  writer.DoIt();
  std::unique_ptr<TStringListElement> text(static_cast<TStringListElement*>(writer.Output()));
  EXPECT_EQ(text->GetCount(), 7) << "the paths write no lines";
  auto again = Read(text.get());
  EXPECT_EQ(Layers(*again), Layers(*script));
}

TEST_F(ModelScriptTextTest, TextOfAnythingElseIsNothing) {
  TStringListFromModelScript writer;
  TLayerScript layer;
  writer.SetInput(&layer);
  writer.DoIt();
  EXPECT_EQ(writer.Output(), nullptr);
}

// ---------------------------------------------------------------- models built from scripts

class ModelBuildTest : public ModelScriptTextTest {
 protected:
  void SetUp() override {
    ModelScriptTextTest::SetUp();
    SquareLine(files, 1, 10, 5, 0);
    files.Flush();
    std::filesystem::rename(dir, Base() + "/LES.BLK");
    std::filesystem::copy_file(std::string(KESTX_SAMPLES_DIR) + "/pictures/mono.bmp", Base() + "/p.bmp");
  }
  std::unique_ptr<TRectEntity> Build(TModelScript* script) {
    TModelByScriptCreator creator;
    creator.SetInput(script);
    creator.DoIt();
    return std::unique_ptr<TRectEntity>(static_cast<TRectEntity*>(creator.Output()));
  }
  // "layer name(kind, path): class of each child", one per model child.
  static std::string Contents(TEntity& model) {
    std::vector<std::string> parts;
    for (int i = 0; i < model.GetCount(); ++i) {
      TElement* child = model.GetElement(i);
      auto* layer = DynamicCast<TInterpretLayer>(child);
      if (!layer) {
        parts.push_back(child->ClassName());
        continue;
      }
      std::vector<std::string> classes;
      for (int c = 0; c < layer->GetCount(); ++c) classes.push_back(layer->GetElement(c)->ClassName());
      parts.push_back(layer->GetName() + "(" + layer->LayerType + ", " + layer->Path + "): " + Join(classes));
    }
    return Join(parts, "; ");
  }
};

TEST_F(ModelBuildTest, EachLayerOfTheScriptBecomesALayerOfTheModel) {
  Make({"bad.BMP"});
  struct Row {
    const char* name;
    std::vector<std::string> lines;
    const char* contents;
    std::vector<std::string> log;
  };
  const Row rows[] = {
      {"a block layer holds what the reader read", {"LIN=*.BLK"},
       "*.BLK(LIN, *.BLK): TPolyLineString", {}},
      {"a path of another type yields nothing", {"LIN=p.bmp"}, "p.bmp(LIN, p.bmp): ", {}},
      {"a missing block is logged, its layer stays", {"ARE=DATA\\CHYBI.BLK"}, "CHYBI.BLK(ARE, DATA\\CHYBI.BLK): ",
       {"Skript modelu: blok " + Base() + "/DATA/CHYBI.BLK neexistuje"}},
      {"a layer without paths adds none", {"LIN=*.XYZ"}, "", {}},
      {"a raster layer", {"RAS=p.bmp"}, "p.bmp(RAS, p.bmp): TRaster", {}},
      {"a picture the server cannot open is logged, the others read", {"RAS=*.bmp"}, "*.bmp(RAS, *.bmp): TRaster",
       {"Skript modelu: rastr " + Base() + "/bad.BMP nelze otevřít: " + Base() + "/bad.BMP: není to soubor BMP"}},
      {"a missing raster is logged", {"RAS=chybi.bmp"}, "chybi.bmp(RAS, chybi.bmp): ",
       {"Skript modelu: soubor " + Base() + "/chybi.bmp neexistuje"}},
      {"an element layer adds the element itself", {"ELEMENT=RectEntity", "@MinX=3"}, "TRectEntity", {}},
      {"a parameter no property takes is logged", {"ELEMENT=TRectEntity", "@Nic=3"}, "TRectEntity",
       {"Skript modelu: TRectEntity nemá vlastnost Nic"}},
  };
  for (const Row& row : rows) {
    auto script = Read(row.lines);
    log.Lines.clear();
    auto model = Build(script.get());
    ASSERT_TRUE(model) << row.name;
    EXPECT_EQ(Contents(*model), row.contents) << row.name;
    EXPECT_EQ(LogLines(), row.log) << row.name;
  }
}

TEST_F(ModelBuildTest, TheSampleScriptBuildsItsModelFromADataFolder) {
  std::filesystem::create_directories(Base() + "/DATA/Lesní");
  std::filesystem::rename(Base() + "/LES.BLK", Base() + "/DATA/Lesní/LES.BLK");
  std::filesystem::create_directories(Base() + "/MAPY");
  for (const char* file : {"colour.jpg", "colour.jgw"})
    std::filesystem::copy_file(std::string(KESTX_SAMPLES_DIR) + "/pictures/" + file, Base() + "/MAPY/" + file);
  TStringListElement lines;
  lines.LoadFromFile(std::string(KESTX_SAMPLES_DIR) + "/models/forest.txt");
  log.Lines.clear();
  auto script = Read(&lines);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Skript modelu: neznámý řádek Poznámka=řádek, který skript nezná"});
  auto model = Build(script.get());
  EXPECT_EQ(Contents(*model),
            "*.BLK(LIN, DATA\\Lesní\\*.BLK): TPolyLineString; *.BLK(ARE, +DATA\\*.BLK): TAreaString; "
            "*.jpg(RAS, MAPY\\*.jpg): TRaster; TRectEntity");
  auto* raster = static_cast<TRaster*>(static_cast<TEntity*>(model->GetElement(2))->GetElement(0));
  EXPECT_EQ(raster->Color, 255);
  EXPECT_TRUE(raster->GetGeoRaster()) << "placed by its world file";
  EXPECT_EQ(model->GetMinX(), -1000.5) << "the model's bounds grow by the raster";
}

TEST_F(ModelBuildTest, ParametersReachWhatIsRead) {
  auto script = Read({"RAS=*.bmp", "@COLOR=255", "ELEMENT=TRectEntity", "@MinX=3", "LIN=*.BLK", "@Barva=7"});
  auto model = Build(script.get());
  auto* raster = static_cast<TRaster*>(static_cast<TEntity*>(model->GetElement(0))->GetElement(0));
  EXPECT_EQ(raster->Color, 255);
  EXPECT_EQ(static_cast<TRectEntity*>(model->GetElement(1))->GetMinX(), 3);
  EXPECT_EQ(static_cast<TEntity*>(model->GetElement(2))->GetElement(0)->GetPropertyText("Barva"), "7");
}

// A script received from someone else must not act on the user's files: an
// element's parameters set only what the element stores.
TEST_F(ModelBuildTest, AnElementOfTheScriptLeavesTheFilesAsTheyWere) {
  namespace fs = std::filesystem;
  Make({"a.txt"});
  const std::string file = Base() + "/a.txt";
  const auto stamp = fs::last_write_time(file);
  const auto mode = fs::status(file).permissions();
  struct Row {
    const char* name;
    std::string layer;
    std::string parameter;
    std::string refused;  // the property, class and what the element still stores
    std::string stored;
  };
  const Row rows[] = {
      {"a name does not rename", "TFileElement", "@Name=renamed.txt", "Name", "FileName"},
      {"attributes do not write-protect", "TFileElement", "@Attributes=1", "Attributes", "FileName"},
      {"the read-only flag does not write-protect", "TFileElement", "@AttrReadOnly=True", "AttrReadOnly", "FileName"},
      {"a time text does not re-date", "TFileElement", "@FileTimeString=1.1.2000", "FileTimeString", "FileName"},
      {"a time does not re-date", "TFileElement", "@FileTime=36526", "FileTime", "FileName"},
      {"a list does not save itself", "TStringListElement", "@SaveToFile=" + Base() + "/saved.txt", "SaveToFile",
       "Name"},
  };
  for (const Row& row : rows) {
    auto script = Read({"ELEMENT=" + row.layer, "@" + row.stored + "=" + file, row.parameter});
    log.Lines.clear();
    auto model = Build(script.get());
    ASSERT_EQ(model->GetCount(), 1) << row.name;
    EXPECT_EQ(model->GetElement(0)->ClassName(), row.layer) << row.name;
    EXPECT_EQ(model->GetElement(0)->GetPropertyText(row.stored), file) << row.name << ": what it stores is set";
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Base())) files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(Join(files), "LES.BLK a.txt p.bmp") << row.name;
    EXPECT_EQ(fs::last_write_time(file), stamp) << row.name;
    EXPECT_EQ(fs::status(file).permissions(), mode) << row.name;
    EXPECT_EQ(LogLines(), std::vector<std::string>{"Skript modelu: vlastnost " + row.refused + " třídy " + row.layer +
                                                   " se ze skriptu nenastavuje"})
        << row.name;
  }
}

TEST_F(ModelBuildTest, ABlockLayersParametersReachNoElementOutsideTheModel) {
  struct Row {
    const char* name;
    const char* property;
  };
  const Row rows[] = {
      {"an entity's free does not free it", "ElementToFree"},
      {"an entity's addition does not take it", "NextElement"},
  };
  for (const Row& row : rows) {
    auto* outside = new TOwnerEntity;
    const TElementLink alive(outside);
    auto script = Read({"LIN=*.BLK", "@" + std::string(row.property) + "=" + std::to_string(HandleOfElement(outside))});
    log.Lines.clear();
    auto model = Build(script.get());
    ASSERT_NE(alive.Get(), nullptr) << row.name;
    EXPECT_EQ(outside->GetOwnersCount(), 0) << row.name;
    EXPECT_EQ(Contents(*model), "*.BLK(LIN, *.BLK): TPolyLineString") << row.name;
    EXPECT_EQ(LogLines(), std::vector<std::string>{"Skript modelu: vlastnost " + std::string(row.property) +
                                                   " se ze skriptu nenastavuje"})
        << row.name;
    delete outside;
  }
}

TEST_F(ModelBuildTest, AnUnregisteredElementClassIsReportedAndLeftOut) {
  auto script = Read({"ELEMENT=NicTakoveho"});
  auto model = Build(script.get());
  EXPECT_EQ(model->GetCount(), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Neregistrovaný element: TNicTakoveho"});
}

TEST_F(ModelBuildTest, RastersOffReadNoRaster) {
  auto script = Read({"RAS=*.bmp"});
  RastersEnabled() = false;
  auto model = Build(script.get());
  RastersEnabled() = true;
  EXPECT_EQ(Contents(*model), "*.bmp(RAS, *.bmp): ");
}

TEST_F(ModelBuildTest, AnExtentWithAZeroBoundIsNoExtentWhateverCutLayerSays) {
  struct Row {
    const char* name;
    double minX, minY, maxX, maxY;
    bool cut;
    int lines;
  };
  const Row rows[] = {
      {"MinX 0: the block is read whole though cut", 0, 1, 1, 1, true, 1},
      {"MaxY 0 as well", 1, 1, 1, 0, true, 1},
      {"a set extent away from the line cuts it away", 1e6, 1e6, 2e6, 2e6, true, 0},
      {"a set extent without CutLayer reads the block whole", 1e6, 1e6, 2e6, 2e6, false, 1},
  };
  for (const Row& row : rows) {
    auto script = Read({"LIN=*.BLK"});
    TModelByScriptCreator creator;
    creator.MinX = row.minX, creator.MinY = row.minY, creator.MaxX = row.maxX, creator.MaxY = row.maxY;
    creator.CutLayer = row.cut;
    creator.SetInput(script.get());
    creator.DoIt();
    std::unique_ptr<TRectEntity> model(static_cast<TRectEntity*>(creator.Output()));
    ASSERT_EQ(model->GetCount(), 1) << row.name;
    auto* layer = static_cast<TEntity*>(model->GetElement(0));
    ASSERT_EQ(layer->GetCount(), 1) << row.name;
    EXPECT_EQ(static_cast<TEntity*>(layer->GetElement(0))->GetCount(), row.lines) << row.name;
  }
}

// A view reads its model from its script cut to the world it shows: the
// block's line (a square from 10 to 15 in the block, -15 to -10 in the
// world, whose record gives the box 0 to 9, -9 to 0 in the world) is read
// when the view shows it, and cut away when the view looks elsewhere.  A
// view without a scale shows no world: it reads the block whole and is
// centred on what it read.
TEST_F(ModelBuildTest, AViewReadsItsModelCutToTheWorldItShows) {
  struct Row {
    const char* name;
    double scale;
    TRealPoint centre;
    int lines;
    TRealPoint centreAfter;
  };
  const Row rows[] = {
      {"the view shows the line", 100, {-12.5, -12.5}, 1, {-12.5, -12.5}},
      {"the view looks elsewhere", 100, {1000, 1000}, 0, {1000, 1000}},
      {"no scale: the whole block", 0, {1000, 1000}, 1, {-12.5, -12.5}},
  };
  for (const Row& row : rows) {
    // 0.2 x 0.1 sheet units at 100 show 20 x 10 world units.
    TView view;
    view.SetBounds({0, 0, 0.2, 0.1});
    view.SetScale(row.scale);
    view.Projection()->SetCenter(row.centre);
    view.AddElement(Read({"LIN=*.BLK"}).release());
    view.SetReadModel(true);
    auto* model = DynamicCast<TEntity>(view.Model());
    ASSERT_TRUE(model && model->GetCount() == 1) << row.name;
    auto* layer = static_cast<TEntity*>(model->GetElement(0));
    ASSERT_EQ(layer->GetCount(), 1) << row.name;
    EXPECT_EQ(static_cast<TEntity*>(layer->GetElement(0))->GetCount(), row.lines) << row.name;
    EXPECT_EQ(std::tuple(view.Projection()->Center_X(), view.Projection()->Center_Y()),
              std::tuple(row.centreAfter.X, row.centreAfter.Y))
        << row.name;
  }
}

TEST_F(ModelBuildTest, TheExtentMovesAndStretches) {
  struct Row {
    const char* name;
    const char* property;
    const char* value;
    double minX, minY, maxX, maxY;
  };
  const Row rows[] = {
      {"DeltaX moves both X bounds", "DeltaX", "100", 110, 20, 130, 40},
      {"DeltaY moves both Y bounds", "DeltaY", "-5", 10, 15, 30, 35},
      {"Width from MinX", "Width", "500", 10, 20, 510, 40},
      {"Height from MinY", "Height", "7", 10, 20, 30, 27},
  };
  for (const Row& row : rows) {
    TModelByScriptCreator creator;
    creator.MinX = 10, creator.MinY = 20, creator.MaxX = 30, creator.MaxY = 40;
    SetPropertyTextByName(creator, row.property, row.value);
    EXPECT_EQ((std::vector<double>{creator.MinX, creator.MinY, creator.MaxX, creator.MaxY}),
              (std::vector<double>{row.minX, row.minY, row.maxX, row.maxY}))
        << row.name;
    EXPECT_EQ(creator.GetPropertyText("CenterX"), FloatToText((row.minX + row.maxX) / 2)) << row.name;
  }
}

// ---------------------------------------------------------------- dynamic models

class DynamicModelTest : public ModelBuildTest {
 protected:
  // A dynamic model split from a script over two data folders.
  std::unique_ptr<TDynamicModel> Split() {
    Make({"A/X.BLK/", "B/Y.BLK/"});
    auto script = Read({"LIN=A\\*.BLK", "@COLOR=5", "PNT=B\\*.BLK"});
    TModelScriptToDynamicModel splitter;
    splitter.SetInput(script.get());
    splitter.DoIt();
    return std::unique_ptr<TDynamicModel>(static_cast<TDynamicModel*>(splitter.Output()));
  }
};

TEST_F(DynamicModelTest, SplitsTheScriptPerDataFolder) {
  auto dynamic = Split();
  ASSERT_EQ(dynamic->GetCount(), 2);
  EXPECT_EQ(dynamic->GetElement(0)->GetName(), Base() + "/A");
  EXPECT_EQ(dynamic->GetElement(1)->GetName(), Base() + "/B");
  EXPECT_EQ(Layers(*static_cast<TEntity*>(dynamic->GetElement(0))), "LIN=A\\*.BLK [@COLOR=5]");
  EXPECT_EQ(Layers(*static_cast<TEntity*>(dynamic->GetElement(1))), "PNT=B\\*.BLK");
  EXPECT_EQ(dynamic->GetActualIndex(), -1);
  EXPECT_FALSE(dynamic->Active);
}

TEST_F(DynamicModelTest, ANewIndexFreesTheOldModel) {
  auto dynamic = Split();
  auto* reg = Named<TOwnerEntity>("TRegister", world->ObjectModel());
  TElementLink registerLink(reg);
  dynamic->Active = true;
  TElementLink first(dynamic->GetElement(0));
  ASSERT_NE(first.Get(), nullptr);
  EXPECT_EQ(dynamic->GetElement(0), first.Get()) << "the same index builds nothing new";
  EXPECT_FALSE(registerLink.IsDangling());
  TElement* second = dynamic->GetElement(1);
  EXPECT_TRUE(first.IsDangling()) << "the old model is freed";
  EXPECT_TRUE(registerLink.IsDangling()) << "and the object model's register with it";
  EXPECT_EQ(dynamic->GetActualModel(), second);
  EXPECT_EQ(dynamic->GetActualIndex(), 1);
}

// While active, the models are made as they are asked for: a walk meets
// them, not the scripts they are made from.
TEST_F(DynamicModelTest, AWalkOverAnActiveModelMeetsTheModelsMadeForEachIndex) {
  auto dynamic = Split();
  dynamic->Active = true;
  struct TChildren : TRecursor {
    TElement* root = nullptr;
    std::vector<TElement*> met;
    bool QProcessBefore(TElement* element) override {
      if (element != root) met.push_back(element);
      return false;
    }
    bool QGoInside(TElement* element) override { return element == root; }
  } walk;
  walk.root = dynamic.get();
  walk.SetInput(dynamic.get());
  walk.DoIt();
  ASSERT_EQ(walk.met.size(), 2u);
  EXPECT_EQ(walk.met.back(), dynamic->GetActualModel());
  EXPECT_EQ(dynamic->GetActualIndex(), 1);
}

// The actual model is held: what else owns it outlives a replacement, and the
// dynamic model never takes itself or its owner (freeing either would pull
// the ground from under it).
TEST_F(DynamicModelTest, TheActualModelIsHeldAndNeverTheDynamicModelOrItsOwner) {
  enum class Given { Itself, ItsOwner, KeptElsewhere, OnlyGiven };
  struct Row {
    const char* name;
    Given given;
    bool refused;
    bool outlivesReplacement;
  } rows[] = {
      {"itself", Given::Itself, true, true},
      {"its owner", Given::ItsOwner, true, true},
      {"a model kept elsewhere too", Given::KeptElsewhere, false, true},
      {"a model given only to it", Given::OnlyGiven, false, false},
  };
  for (const Row& row : rows) {
    TOwnerEntity keeper;
    auto* holder = new TOwnerEntity;
    keeper.AddElement(holder);
    auto* dynamic = new TDynamicModel;
    holder->AddElement(dynamic);
    TElement* model = nullptr;
    switch (row.given) {
      case Given::Itself: model = dynamic; break;
      case Given::ItsOwner: model = holder; break;
      case Given::KeptElsewhere: model = Named<TOwnerEntity>("kept", &keeper); break;
      case Given::OnlyGiven: model = new TOwnerEntity; break;
    }
    TElementLink link(model);
    bool refused = false;
    try {
      dynamic->SetActualModel(model);
    } catch (const ECircularOwnership&) {
      refused = true;
    }
    EXPECT_EQ(std::tuple(refused, dynamic->GetActualModel()), std::tuple(row.refused, row.refused ? nullptr : model))
        << row.name;
    dynamic->SetActualModel(nullptr);
    EXPECT_EQ(!link.IsDangling(), row.outlivesReplacement) << row.name;
  }
}

TEST_F(DynamicModelTest, AnIndexOutsideRaisesBeforeFreeing) {
  auto dynamic = Split();
  dynamic->SetActualIndex(0);
  TElementLink model(dynamic->GetActualModel());
  for (int index : {2, -2}) {
    EXPECT_EQ(ErrorOf<std::out_of_range>([&] { dynamic->SetActualIndex(index); }),
              "List index out of bounds (" + std::to_string(index) + ")");
    EXPECT_EQ(dynamic->GetActualModel(), model.Get()) << index;
    EXPECT_EQ(dynamic->GetActualIndex(), 0) << index;
  }
}
