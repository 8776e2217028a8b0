#include "app/guide_export/guide_export.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "block/block_classes.h"
#include "block/files/block_records.h"
#include "block/guide/guide_model.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "platform/forms.h"
#include "platform/gauge_form.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/framework/framework_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class TRoadOptions : public TOwnerEntity {
  KESTX_CLASS(TRoadOptions)
 public:
  std::string DataDirectory;
  bool Export_50 = false, Export_25 = false, Export_10 = false, Export_5 = false, Export_2 = false,
       Export_User = false;
};

TClass TRoadOptions::StaticClass() {
  static const TClassInfo info = DescribeClass<TRoadOptions>(
      "TRoadOptions", TOwnerEntity::StaticClass(), "test",
      {FieldProp("DataDirectory", &TRoadOptions::DataDirectory), FieldProp("Export_50", &TRoadOptions::Export_50),
       FieldProp("Export_25", &TRoadOptions::Export_25), FieldProp("Export_10", &TRoadOptions::Export_10),
       FieldProp("Export_5", &TRoadOptions::Export_5), FieldProp("Export_2", &TRoadOptions::Export_2),
       FieldProp("Export_User", &TRoadOptions::Export_User)});
  return &info;
}

// The main tool as the road needs it: options, a status text, and a record
// of the lines and codes that reach it.
class TRoadMainTool : public TTechnology {
  KESTX_CLASS(TRoadMainTool)
 public:
  TRoadOptions Options;
  std::string Text;
  std::vector<std::string> lines;
  std::vector<int> codes;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    codes.push_back(message->Message);
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && message->Message == msgLogText)
      lines.push_back(text->Text);
    handled = true;
  }
};

TClass TRoadMainTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TRoadMainTool>(
      "TRoadMainTool", TTechnology::StaticClass(), "test",
      {AccessorProp<TRoadMainTool, TElement*>(
           "Options", [](const TRoadMainTool& t) { return const_cast<TRoadOptions*>(&t.Options); }, nullptr),
       FieldProp("Text", &TRoadMainTool::Text)});
  return &info;
}

class GuideExportTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterBlockClasses();
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
    mainTool = new TRoadMainTool();
    world->SetMainTool(mainTool);
    MainTool = mainTool;
    std::filesystem::create_directories(out);
    mainTool->Options.DataDirectory = out.string();
    platform::SetModalAnswerer([this](platform::Form& form) { platform::UserClick(form, answer); });
  }
  void TearDown() override {
    platform::SetAttended();
    SetWorld(nullptr);
    world.reset();
    std::filesystem::remove_all(out);
    FrameworkTest::TearDown();
  }
  // Loads the sample guide; what loading logs is forgotten.
  void LoadSample() {
    LoadGuide(*mainTool, guideFile);
    RunMessages();
    mainTool->lines.clear();
  }
  // Lines written to a block's TN.LIN, without its dummy record.
  long LinesIn(const char* block) const {
    const auto file = out / block / "TN.LIN";
    return std::filesystem::exists(file) ? static_cast<long>(std::filesystem::file_size(file) / 103) - 1 : -1;
  }

  const std::filesystem::path out =
      std::filesystem::temp_directory_path() / ("kestx-road-" + std::to_string(getpid()));
  const std::string guideFile = std::string(KESTX_SAMPLES_DIR) + "/guide/sample.kes";
  const char* answer = "bt_OK";
  std::unique_ptr<TWCSWorld> world;
  TRoadMainTool* mainTool = nullptr;
};

TEST_F(GuideExportTest, LoadingAGuideReplacesTheModel) {
  world->ObjectModel()->AddElement(new TOwnerEntity());
  LoadSample();
  ASSERT_EQ(world->ObjectModel()->GetCount(), 1);
  EXPECT_STREQ(world->ObjectModel()->GetElement(0)->ClassName().c_str(), "TGuide");
  EXPECT_EQ(mainTool->Text, "Uvolňování modelu ........");
}

TEST_F(GuideExportTest, TheChosenSeriesAreWrittenWithEveryLineInOrder) {
  LoadSample();
  mainTool->Options.Export_50 = true;
  mainTool->Options.Export_10 = true;
  mainTool->Options.Export_User = true;
  ExportGuide(*mainTool, guideFile);
  RunMessages();
  const std::string folder = out.string() + "/";
  EXPECT_THAT(mainTool->lines,
              ElementsAreArray({std::string("*******************"), "Začátek exportu souboru průvodce " + guideFile,
                                std::string("Do následující složky: "), out.string(), std::string("  ... "),
                                "SMO 50 uloženo do bloku " + folder + "50.BLK",
                                "SMO 10 uloženo do bloku " + folder + "10.BLK",
                                "Uživatelské výřezy uloženy do bloku " + folder + "User.BLK",
                                "Pokud to nespadlo, tak se soubor " + guideFile,
                                std::string("Úspěšně uložil do bloků pod složkou "), out.string(),
                                std::string("*******************")}));
  // One frame per selected sheet, every user map space.
  EXPECT_EQ(LinesIn("50.BLK"), 1);
  EXPECT_EQ(LinesIn("10.BLK"), 3);
  EXPECT_EQ(LinesIn("User.BLK"), 3);
  EXPECT_FALSE(std::filesystem::exists(out / "25.BLK"));

  // The 1:50 000 frame read back: record 1 of TN.LIN and its five vertices,
  // the sheet's corners with both signs turned by the national grid.
  auto bytes = [](const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  };
  const std::vector<std::uint8_t> lin = bytes(out / "50.BLK" / "TN.LIN");
  const std::vector<std::uint8_t> crd = bytes(out / "50.BLK" / "TN.CRD");
  ASSERT_EQ(lin.size(), 2 * TLineRecord::Size);
  ASSERT_EQ(crd.size(), 5 * TCoordRecord::Size);
  const TLineRecord frame = TLineRecord::Decode(lin.data() + TLineRecord::Size);
  EXPECT_EQ(frame.Number, 1);
  EXPECT_EQ(frame.Kind, 1);
  EXPECT_EQ(frame.Colour, 13);
  EXPECT_EQ(frame.Symbol, 0);
  EXPECT_TRUE(frame.IsLine());
  EXPECT_EQ(frame.FirstVertex, 0);
  EXPECT_EQ(frame.LastVertex, 4);
  auto* guide = DynamicCast<TGuide>(world->ObjectModel()->FindElementByClass(TGuide::StaticClass()));
  ASSERT_NE(guide, nullptr);
  auto* sheet = DynamicCast<TRectEntity>(guide->GetRow(0)->GetCell(0));
  ASSERT_NE(sheet, nullptr);
  const double corners[5][2] = {{sheet->GetMinX(), sheet->GetMinY()}, {sheet->GetMaxX(), sheet->GetMinY()},
                                {sheet->GetMaxX(), sheet->GetMaxY()}, {sheet->GetMinX(), sheet->GetMaxY()},
                                {sheet->GetMinX(), sheet->GetMinY()}};
  for (int v = 0; v < 5; ++v) {
    SCOPED_TRACE(v);
    const TCoordRecord vertex = TCoordRecord::Decode(crd.data() + v * TCoordRecord::Size);
    EXPECT_NEAR(vertex.X, -corners[v][0], 1e-3);
    EXPECT_NEAR(vertex.Y, -corners[v][1], 1e-3);
  }
  EXPECT_EQ(mainTool->Options.DataDirectory, out.string());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Export je patrně u konce, Ahoj");
  EXPECT_EQ(std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressStart}),
            std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressEnd}));
}

TEST_F(GuideExportTest, ASeriesThatCannotBeWrittenIsReportedAndTheOthersAreStillWritten) {
  LoadSample();
  mainTool->Options.Export_25 = true;
  mainTool->Options.Export_5 = true;
  std::ofstream(out / "25.BLK") << "not a folder";
  ExportGuide(*mainTool, guideFile);
  RunMessages();
  EXPECT_EQ(LinesIn("5.BLK"), 3);
  EXPECT_TRUE(dialogs.Messages.empty());
  const auto& lines = mainTool->lines;
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("uloženo") != std::string::npos; }), 1);
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("Úspěšně") != std::string::npos; }), 0);
  EXPECT_EQ(lines[lines.size() - 2], out.string() + "/25.BLK");
  EXPECT_EQ(std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressStart}),
            std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressEnd}));
}

TEST_F(GuideExportTest, AnExportTheUserStopsSaysSoAndClaimsNoSuccess) {
  LoadSample();
  mainTool->Options.Export_10 = true;
  mainTool->Options.Export_User = true;
  platform::SetGaugeFormFactory([] {
    auto gauge = std::make_unique<platform::RecordingGaugeForm>();
    gauge->CloseRequestAt = 1;  // during the first block, confirmed
    return gauge;
  });
  ExportGuide(*mainTool, guideFile);
  platform::SetGaugeFormFactory(nullptr);
  RunMessages();
  EXPECT_TRUE(dialogs.Messages.empty());
  const auto& lines = mainTool->lines;
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Export přerušen uživatelem v bloku " + out.string() + "/10.BLK");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("uložen"), std::string::npos) << line;
    EXPECT_EQ(line.find("Úspěšně"), std::string::npos) << line;
  }
  EXPECT_FALSE(std::filesystem::exists(out / "User.BLK"));
  EXPECT_EQ(std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressStart}),
            std::count(mainTool->codes.begin(), mainTool->codes.end(), int{msgProgressEnd}));
}

TEST_F(GuideExportTest, TheRoadStopsEarlyWithoutConfirmationFolderOrGuide) {
  struct Case {
    const char* name;
    const char* answer;
    bool load;
    bool folder;
    const char* box;
  };
  const Case cases[] = {
      {"cancelled", "bt_Storno", true, true, nullptr},
      {"no folder", "bt_OK", true, false, "Není zadána složka pro export, nic nebylo zapsáno !"},
      {"no guide", "bt_OK", false, true, "Nemohu nalézt načtený soubor průvodce, zkuste to znovu !"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    world->ObjectModel()->Clear();
    dialogs.Messages.clear();
    if (row.load) LoadSample();
    answer = row.answer;
    mainTool->Options.Export_50 = true;
    mainTool->Options.DataDirectory = row.folder ? out.string() : "";
    ExportGuide(*mainTool, guideFile);
    RunMessages();
    EXPECT_FALSE(std::filesystem::exists(out / "50.BLK"));
    if (row.box) {
      ASSERT_EQ(dialogs.Messages.size(), 1u);
      EXPECT_EQ(dialogs.Messages[0].Text, row.box);
    } else {
      EXPECT_TRUE(dialogs.Messages.empty());
      EXPECT_TRUE(mainTool->lines.empty());
    }
  }
}

}  // namespace
