#include "block/export/export_tools.h"

#include <gmock/gmock.h>


#include "block/export/line_export.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "block/tables/export_dbf.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"
#include "tests/block/export/export_fixture.h"

namespace {

using ::testing::ElementsAre;

std::string FileBytes(const std::string& name) {
  const Bytes bytes = FileContent(name);
  return {bytes.begin(), bytes.end()};
}

using ExportToolsTest = ExportTest;

TEST_F(ExportToolsTest, FullBlockNameJoinsFolderNameAndExtension) {
  const struct {
    const char* dir;
    const char* name;
    const char* full;
  } cases[] = {{"/data/export", "50", "/data/export/50.BLK"},
               {"/data/export/", "User", "/data/export/User.BLK"},
               {"", "25", "25.BLK"}};
  for (const auto& c : cases) {
    std::unique_ptr<TElement> block(CreateElementByClassName("TExpBlockName"));
    ASSERT_TRUE(block);
    SetTexts(*block, {{"BlockDir", c.dir}, {"BlockName", c.name}});
    EXPECT_EQ(block->GetPropertyText("FullBlockName"), c.full) << c.dir << " + " << c.name;
  }
}

class ExportToTextTest : public ExportToolsTest {
 protected:
  // Points at (i, 10 (i + 1)) in a point string.
  TPointString* Points(int count) {
    auto* points = new TPointString;
    model.AddElement(points);
    for (int i = 0; i < count; ++i) {
      auto* point = new TPointElement;
      point->SetBounds({double(i), 10.0 * (i + 1), double(i), 10.0 * (i + 1)});
      points->AddElement(point);
    }
    return points;
  }
  std::string Export(TElement* input, const std::string& fileName) {
    std::unique_ptr<TElement> tool(CreateElementByClassName("TExportElementsToText"));
    SetTexts(*tool,
             {{"FileName", fileName.c_str()}, {"NextPropName", "ID"}, {"NextPropName", "-Y"}, {"Delimiter", ";"}});
    static_cast<TTool*>(tool.get())->SetInput(input);
    static_cast<TTool*>(tool.get())->DoIt();
    return FileBytes(fileName);
  }
};

TEST_F(ExportToTextTest, EachChildIsOneLineOfTheNamedPropertiesNumberedFromZero) {
  EXPECT_EQ(Export(Points(3), File("body.txt")), "0;-10\r\n1;-20\r\n2;-30\r\n");
  EXPECT_THAT(calls, ElementsAre("MaxValue=3", "Caption=Export bodů do " + File("body.txt"), "Show", "Progress=0",
                                 "Progress=1", "Progress=2"));
}

TEST_F(ExportToTextTest, TheUserStopsOnlyByConfirmingTheQuestion) {
  const struct {
    const char* name;
    std::deque<bool> answers;
    const char* text;
  } cases[] = {{"cancelled: the export goes on", {false}, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"confirmed: the export stops before the object", {true}, "0;-10\r\n"}};
  for (const auto& c : cases) {
    answers = c.answers;
    closeRequestAt = 0;
    EXPECT_EQ(Export(Points(3), File("body.txt")), c.text) << c.name;
    EXPECT_THAT(calls, ::testing::Contains("ConfirmAbort=Přerušit export bodů ?")) << c.name;
  }
}

TEST_F(ExportToTextTest, AFileThatCannotBeMadeIsReportedAndNothingRuns) {
  Export(Points(2), File("missing/body.txt"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0], ::testing::HasSubstr("missing/body.txt"));
  EXPECT_TRUE(calls.empty());
}

// A line with block props of kind 5 in the block "LES.BLK" of the folder.
class ExportAttributesTest : public ExportToolsTest {
 protected:
  void SetUp() override {
    ExportToolsTest::SetUp();
    world.reset(new TWorld);
    SetWorld(world.get());
    line = new TPolyLineElement;
    line->AddVertex(0, 0);
    line->AddVertex(3, 4);
    line->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Druh = 5;
    props->Cislo = 7;
    line->SetProperties(props);
    line->ID = 7;
    model.AddElement(line);
    tool.SetBlockName(File("LES.BLK"));
    std::filesystem::create_directories(File("LES.BLK"));
  }
  void TearDown() override {
    SetWorld(nullptr);
    world.reset();
    ExportToolsTest::TearDown();
  }
  TExportDBFClass* Writer(const std::string& name) {
    return DynamicCast<TExportDBFClass>(tool.FindElementByName(name));
  }

  std::unique_ptr<TWorld> world;
  TPolyLineElement* line = nullptr;
  TExportLumarElements tool;
};

TEST_F(ExportAttributesTest, TheAttributeWriterIsNamedByLetterAndKindAndTakesTheToolsSettings) {
  const struct {
    const char* name;
    std::int32_t jedenDruh;
    const char* writer;
  } cases[] = {{"own kind", 0, "L0005"}, {"one kind for all", 3, "L0003"}};
  for (const auto& c : cases) {
    tool.JedenDruh = c.jedenDruh;
    tool.ControlDir = File("control");
    tool.PlochyVHa = true;
    tool.WriteDBFRecord(line);
    TExportDBFClass* writer = Writer(c.writer);
    ASSERT_NE(writer, nullptr) << c.name;
    EXPECT_EQ(Texts(*writer, {"Druh", "ObjectType", "ControlDir", "ExpBlockName", "PlochyVHa", "BothSources"}),
              Join({std::to_string(c.jedenDruh ? c.jedenDruh : 5), "L", File("control"), File("LES.BLK"), "True",
                    "False"},
                   "|"))
        << c.name;
    EXPECT_EQ(writer->DynamicProps(), tool.DynamicProps()) << c.name;
    EXPECT_EQ(writer->Input(), line) << c.name;
  }
}

TEST_F(ExportAttributesTest, ObjectsAreFiledInTheBlockRegisterOnlyWithAttributesAndOnRequest) {
  const struct {
    const char* name;
    bool exportDBF;
    bool registerObject;
    bool filed;
  } cases[] = {{"no attributes", false, true, false},
               {"attributes, not filed", true, false, false},
               {"attributes and filed", true, true, true}};
  for (const auto& c : cases) {
    tool.ExportDBF = c.exportDBF;
    tool.RegisterObject = c.registerObject;
    tool.ExportAttributes(line);
    EXPECT_EQ(Writer("L0005") != nullptr, c.exportDBF) << c.name;
    auto* registry = DynamicCast<TRegister>(world->ObjectModel()->FindElementByClass(TRegister::StaticClass()));
    TBlockRegister* block = registry ? registry->FindBlockRegister(File("LES.BLK")) : nullptr;
    const bool filed = block && block->GetObjectRegister('L')->FindEntity(line->GetSpaceID()) == line;
    EXPECT_EQ(filed, c.filed) << c.name;
    if (block) {
      EXPECT_TRUE(DynamicCast<TLumarBlockRegister>(block)) << c.name;
    }
  }
}

struct TExportWatcher {
  TElement* element = nullptr;
  TDynamicProperties* values = nullptr;
  void Exported(TElement* e, TDynamicProperties* v) {
    element = e;
    values = v;
  }
};

TEST_F(ExportAttributesTest, TheExportEventGetsTheElementAndTheDynamicValues) {
  TExportWatcher watcher;
  tool.DoExportObject(line);  // unassigned: nothing
  tool.OnExportObject = ExportObjectHandler<TExportWatcher, &TExportWatcher::Exported>(&watcher);
  tool.DoExportObject(line);
  EXPECT_EQ(watcher.element, line);
  EXPECT_EQ(watcher.values, tool.DynamicProps());
  EXPECT_EQ(tool.IndexOf(watcher.values), 0);
}

}  // namespace
