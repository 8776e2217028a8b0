// A value that a setter refuses while a file is read (a ZM sheet's scale
// beyond 32 bits) is a bad record, never an exception of the setter: the KES
// reader reports the property and reads on; the component stream, whose
// records cannot be stepped over, fails the whole load with EBadStream and
// frees what it had read.
#include <cstdio>
#include <memory>
#include <string>

#include "framework/stream/kes_loader.h"
#include "spatial/sheets/map_sheets.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using RefusedValuesInStreamsTest = SpatialTest;

std::string Seed(const std::string& folder, const std::string& name) {
  return std::string(KESTX_SAMPLES_DIR) + "/fuzz/" + folder + "/" + name;
}

TEST_F(RefusedValuesInStreamsTest, AKesRecordKeepsWhatFitsAndReportsTheRefusedScale) {
  TLoad load;
  load.FileName = Seed("kes_stream", "zm_scale.kes");
  load.DoIt();
  std::unique_ptr<TElement> root(load.Output());
  auto* sheet = DynamicCast<TZMSpace>(root.get());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(std::tuple(sheet->GetName(), sheet->GetScale(), dialogs.Messages.size()), std::tuple("ZM", 200000.0, 1u));
  EXPECT_EQ(dialogs.Messages.at(0).Text, "Property Set Error TZMSpace Scale");
}

TEST_F(RefusedValuesInStreamsTest, AComponentStreamFailsWholeWithEBadStream) {
  // The corpus keeps the stream without its signature, which the fuzzing entry adds.
  const kes::Bytes body = kes::ReadFile(Seed("component_stream", "zm_scale.tpf"));
  ASSERT_FALSE(body.empty());
  const std::string file = kes::TempFile("zm_scale_tpf");
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0'}, body}));
  for (const bool throughTLoad : {true, false}) {
    SCOPED_TRACE(throughTLoad ? "TLoad" : "TLoader");
    std::unique_ptr<TTool> reader;
    if (throughTLoad)
      reader.reset(TKestuLoader::CreateForFile<TLoad>(file));
    else
      reader = std::make_unique<TLoader>();
    reader->SetName(file);  // TLoader reads the file its name gives
    try {
      reader->DoIt();
      ADD_FAILURE() << "the load did not fail";
    } catch (const EBadStream& error) {
      EXPECT_NE(std::string(error.what()).find("Invalid floating point operation"), std::string::npos) << error.what();
    }
    EXPECT_EQ(reader->Output(), nullptr);
  }
  std::remove(file.c_str());
}

}  // namespace
