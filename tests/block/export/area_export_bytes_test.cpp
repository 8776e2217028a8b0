// The files of a stand map's area export, byte for byte, against the block
// samples/blocks/STANDS.BLK written by the export before its passes were
// made faster: the speed work must not move a single byte.
#include <filesystem>
#include <fstream>
#include <memory>

#include "bench/stand_map.h"
#include "block/export/area_export.h"
#include "block/topology/area_building.h"
#include "platform/gauge_form.h"
#include "tests/block/block_fixture.h"

namespace {

const std::string kSampleBlock = std::string(KESTX_SAMPLES_DIR) + "/blocks/STANDS.BLK";

class AreaExportBytesTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    platform::SetGaugeFormFactory([] { return std::make_unique<platform::RecordingGaugeForm>(); });
  }
  void TearDown() override {
    platform::SetGaugeFormFactory(nullptr);
    BlockTest::TearDown();
  }

  // The 10 x 10 stand map's areas with tables for the areas and their lines.
  void Export(const std::string& block) {
    const std::string control = folder.File("control");
    std::filesystem::create_directories(control);
    std::ofstream(control + "/P0001.CRT") << "CISLO N 6 0\r\nDRUH N 4 0\r\nX N 12 2\r\nY N 12 2\r\nPLOCHA N 14 4\r\n";
    std::ofstream(control + "/L0005.CRT") << "CISLO N 6 0\r\nDRUH N 4 0\r\nDELKA N 12 3\r\nX N 12 2\r\nY N 12 2\r\n";
    std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(MakeStandMap(10, 11)));
    for (TElement* line : lines->Children()) static_cast<TSpaceEntity*>(line)->SetProperties(new TLumarLineProps);
    TMakeNodesAndAreas topology;
    topology.SetInput(lines.get());
    topology.DoIt();
    std::unique_ptr<TExportAreasToLumar> tool(CreateElement<TExportAreasToLumar>());
    tool->SetInput(topology.Output());
    tool->SetBlockName(block);
    tool->ControlDir = control;
    tool->ExportDBF = true;
    tool->DBFLinii = true;
    tool->DruhLinii = 5;
    tool->DruhPloch = 1;
    tool->PlochyVHa = true;
    tool->DoIt();
  }
};

// A table's header carries the day it was written (bytes 1 to 3).
Bytes WithoutDate(Bytes bytes, const std::string& name) {
  if (name.ends_with(".DBF") && bytes.size() > 3) bytes[1] = bytes[2] = bytes[3] = 0;
  return bytes;
}

TEST_F(AreaExportBytesTest, TheStandMapsBlockIsWrittenByteForByteAsTheSample) {
  const std::string block = folder.File("OUT.BLK");
  Export(block);
  // The files the export writes object by object (the block's empty files
  // and its text file, which names the folder, are left out).
  const std::vector<std::string> sampleFiles = {"TN.LIN", "TN.CRD", "TN.ARE", "P0001.DBF", "L0005.DBF"};
  for (const std::string& name : sampleFiles) {
    const Bytes want = WithoutDate(FileContent(kSampleBlock + "/" + name), name);
    const Bytes got = WithoutDate(FileContent(block + "/" + name), name);
    const auto differs = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    EXPECT_TRUE(got.size() == want.size() && differs.first == got.end())
        << name << ": " << got.size() << " bytes against " << want.size() << ", first difference at byte "
        << (differs.first - got.begin());
  }
}

}  // namespace
