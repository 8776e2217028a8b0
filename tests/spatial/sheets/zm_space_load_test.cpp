#include <cstdio>
#include <memory>
#include <string>

#include "framework/stream/kes_loader.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/sheets/zm_sheets.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using kes::Bytes;
using kes::Concat;
using kes::I;
using kes::S;

using ZMSpaceLoadTest = SpatialTest;

// 25000 as a float item: tag 05, then the 80-bit extended value.
const Bytes kFloat25000{0x05, 0, 0, 0, 0, 0, 0, 0x50, 0xC3, 0x0D, 0x40};

Bytes SheetClass(int number) {
  return Concat({I(-1), S("TZMSpace"), I(number), {0x01}, S("Name"), I(10), S("Scale"), I(4), {0x00}});
}

// The sheet's record stores Scale, as every writer that stores the published
// scale of a map space does (the map editor's guides among them).
Bytes SheetRecord(int cls, int number) {
  return Concat({I(cls), I(number), {0x01}, I(0), S("List"), I(1), kFloat25000, {0x00}});
}

// Loading a ZM sheet gives exactly the locator its file lists, with that
// locator's values; a sheet whose file lists none gets one with the stored
// scale when it first needs it.
TEST_F(ZMSpaceLoadTest, ASheetLoadsWithExactlyTheLocatorOfItsFile) {
  struct Case {
    const char* Name;
    Bytes Stream;
    int ChildrenAfterLoad;
    int Color;
  };
  const Case cases[] = {
      {"a stored scale and a listed locator",
       kes::Stream({I(-1),      S("TMapsZM"), I(0),   {0x01},   S("Name"), I(10),  S("Color"),    I(1),
                    S("Scale"), I(1),         {0x00}, I(0),     I(0),      {0x01}, I(0),          S("ZM"),
                    I(1),       I(255),       I(2),   I(25000), {0x00},    I(0),   SheetClass(1), SheetRecord(1, 1),
                    I(1),       {0x01},       I(0),   {0x00}}),
       1, 255},
      {"a stored scale and no locator", kes::Stream({SheetClass(0), SheetRecord(0, 0), I(0)}), 0, 0},
  };
  for (const Case& c : cases) {
    const std::string file = kes::TempFile("zm_space_load");
    kes::WriteFile(file, c.Stream);
    std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>(file));
    load->DoIt();
    std::unique_ptr<TZMSpace> sheet(DynamicCast<TZMSpace>(load->Output()));
    load.reset();
    std::remove(file.c_str());
    ASSERT_NE(sheet, nullptr) << c.Name;
    EXPECT_EQ(std::tuple(sheet->GetName(), sheet->GetCount(), sheet->GetScale()),
              std::tuple("List", c.ChildrenAfterLoad, 25000.0))
        << c.Name;
    TMapsZM* zm = sheet->GetZM();
    EXPECT_EQ(std::tuple(sheet->GetCount(), sheet->GetElement(0), zm->GetName(), zm->Color, zm->GetScale()),
              std::tuple(1, static_cast<TElement*>(zm), "ZM", c.Color, 25000))
        << c.Name;
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace
