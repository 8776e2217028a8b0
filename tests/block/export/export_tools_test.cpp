#include "block/export/export_tools.h"

#include "block/export/line_export.h"
#include "block/tables/export_dbf.h"
#include "spatial/objects/registers.h"
#include "tests/block/export/export_fixture.h"

namespace {

using ::testing::ElementsAre;

using ExportToolsTest = ExportTest;

TEST_F(ExportToolsTest, FullBlockNameJoinsFolderNameAndExtension) {
  const std::tuple<const char*, const char*, const char*> cases[] = {{"/data/export", "50", "/data/export/50.BLK"},
                                                                     {"/data/export/", "User", "/data/export/User.BLK"},
                                                                     {"", "25", "25.BLK"}};
  for (const auto& [dir, name, full] : cases) {
    TExpBlockName block;
    SetTexts(block, {{"BlockDir", dir}, {"BlockName", name}});
    EXPECT_EQ(block.GetPropertyText("FullBlockName"), full) << dir << " + " << name;
  }
}

// Points at (i, 10 (i + 1)) exported to a text file as ID and -Y.
class ExportToTextTest : public ExportToolsTest {
 protected:
  std::string Export(int count, const std::string& fileName) {
    auto* points = Named<TPointString>("", &model);
    for (int i = 0; i < count; ++i)
      Named<TPointElement>("", points)->SetBounds({double(i), 10.0 * (i + 1), double(i), 10.0 * (i + 1)});
    std::unique_ptr<TElement> tool(CreateElementByClassName("TExportElementsToText"));
    SetTexts(*tool,
             {{"FileName", fileName.c_str()}, {"NextPropName", "ID"}, {"NextPropName", "-Y"}, {"Delimiter", ";"}});
    static_cast<TTool*>(tool.get())->SetInput(points);
    static_cast<TTool*>(tool.get())->DoIt();
    const Bytes written = FileContent(fileName);
    return {written.begin(), written.end()};
  }
};

TEST_F(ExportToTextTest, EachChildIsOneLineOfTheNamedPropertiesUntilTheUserConfirmsAStop) {
  const struct {
    const char* name;
    std::deque<bool> answers;
    int closeRequestAt;
    const char* text;
  } cases[] = {{"no request", {}, -1, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"cancelled: the export goes on", {false}, 0, "0;-10\r\n1;-20\r\n2;-30\r\n"},
               {"confirmed: the export stops before the object", {true}, 0, "0;-10\r\n"}};
  for (const auto& c : cases) {
    answers = c.answers;
    closeRequestAt = c.closeRequestAt;
    EXPECT_EQ(Export(3, File("body.txt")), c.text) << c.name;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ConfirmAbort=Přerušit export bodů ?"), c.closeRequestAt + 1)
        << c.name;
  }
  EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 4),
              ElementsAre("MaxValue=3", "Caption=Export bodů do " + File("body.txt"), "Show", "Progress=0"));
  // A file that cannot be made is reported and nothing runs.
  calls.clear();
  Export(2, File("missing/body.txt"));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_THAT(Boxes()[0], ::testing::HasSubstr("missing/body.txt"));
  EXPECT_TRUE(calls.empty());
}

// A line with block props of kind 5 in the block "LES.BLK" of the folder.
class ExportAttributesTest : public ExportToolsTest {
 protected:
  void SetUp() override {
    ExportToolsTest::SetUp();
    SetWorld(&world);
    line = Line(7, {{0, 0}, {3, 4}}, 5);
    static_cast<TLumarLineProps*>(line->Properties())->Cislo = 7;
    tool.SetBlockName(File("LES.BLK"));
    std::filesystem::create_directories(File("LES.BLK"));
  }
  void TearDown() override {
    SetWorld(nullptr);
    ExportToolsTest::TearDown();
  }

  TWorld world;
  TPolyLineElement* line = nullptr;
  TExportLumarElements tool;
};

struct TExportWatcher {
  TElement* element = nullptr;
  TDynamicProperties* values = nullptr;
  void Exported(TElement* e, TDynamicProperties* v) { std::tie(element, values) = std::tie(e, v); }
};

TEST_F(ExportAttributesTest, TheAttributeWriterIsNamedByLetterAndKindObjectsAreFiledOnRequestAndTheEventGetsBoth) {
  TExportWatcher watcher;
  tool.DoExportObject(line);  // unassigned: nothing
  tool.OnExportObject = ExportObjectHandler<TExportWatcher, &TExportWatcher::Exported>(&watcher);
  tool.DoExportObject(line);
  EXPECT_EQ(std::tuple(watcher.element, watcher.values), std::tuple(line, tool.DynamicProps()));
  EXPECT_EQ(tool.IndexOf(watcher.values), 0);

  tool.ControlDir = File("control");
  tool.PlochyVHa = true;
  for (const auto& [jedenDruh, name] : {std::pair{0, "L0005"}, {3, "L0003"}}) {  // own kind, or one for all
    tool.JedenDruh = jedenDruh;
    tool.WriteDBFRecord(line);
    auto* writer = DynamicCast<TExportDBFClass>(tool.FindElementByName(name));
    ASSERT_NE(writer, nullptr) << name;
    EXPECT_EQ(
        Texts(*writer, {"Druh", "ObjectType", "ControlDir", "ExpBlockName", "PlochyVHa", "BothSources"}),
        Join({std::to_string(jedenDruh ? jedenDruh : 5), "L", File("control"), File("LES.BLK"), "True", "False"}, "|"));
    EXPECT_EQ(writer->DynamicProps(), tool.DynamicProps());
    EXPECT_EQ(writer->Input(), line);
  }
  tool.JedenDruh = 0;
  const struct {
    const char* name;
    bool exportDBF, registerObject, filed;
  } cases[] = {{"no attributes", false, true, false},
               {"attributes, not filed", true, false, false},
               {"attributes and filed", true, true, true}};
  for (const auto& c : cases) {
    tool.ExportDBF = c.exportDBF;
    tool.RegisterObject = c.registerObject;
    tool.ExportAttributes(line);
    auto* registry = DynamicCast<TRegister>(world.ObjectModel()->FindElementByClass(TRegister::StaticClass()));
    TBlockRegister* block = registry ? registry->FindBlockRegister(File("LES.BLK")) : nullptr;
    EXPECT_EQ(block && block->GetObjectRegister('L')->FindEntity(line->GetSpaceID()) == line, c.filed) << c.name;
    EXPECT_TRUE(!block || DynamicCast<TLumarBlockRegister>(block)) << c.name;
  }
}

}  // namespace
