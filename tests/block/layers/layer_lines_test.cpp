#include "block/layers/layer_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Edit = std::string (*)(const std::string&);

struct EditRow {
  const char* Case;
  Edit Operation;
  std::string Line;
  std::string Expected;
};

TEST(LayerLines, EachEditTurnsTheLineAsTheFormButtonDoes) {
  const EditRow rows[] = {
      {"shorten keeps the last component", ShortenLayerPath, "LIN=C:\\DATA\\XY.BLK", "LIN=XY.BLK"},
      {"shorten keeps the plus", ShortenLayerPath, "LIN = +/data/les/XY.BLK", "LIN=+XY.BLK"},
      {"shorten of a bare name", ShortenLayerPath, "RAS=mapa.tif", "RAS=mapa.tif"},
      {"plus added", ToggleSubfolderSearch, "LIN=C:\\DATA", "LIN=+C:\\DATA"},
      {"plus removed", ToggleSubfolderSearch, "LIN=+C:\\DATA", "LIN=C:\\DATA"},
      {"star takes the extension", WildcardLayerFile, "RAS=C:\\MAPY\\A.TIF", "RAS=*.TIF"},
      {"star drops the plus", WildcardLayerFile, "RAS=+/mapy/a.b/c.ras", "RAS=*.ras"},
      {"star without an extension", WildcardLayerFile, "RAS=/mapy.d/c", "RAS=*"},
      {"bang to minus", ToggleIncludeFilter, "!DRUH=1,2", "-DRUH=1,2"},
      {"minus to bang", ToggleIncludeFilter, "-DRUH=1,2", "!DRUH=1,2"},
      {"bang on empty name", ToggleIncludeFilter, "=1,2", "!=1,2"},
      {"bang leaves other names", ToggleIncludeFilter, "LIN=x", "LIN=x"},
      {"minus button swaps too", ToggleExcludeFilter, "!DRUH=3", "-DRUH=3"},
      {"minus on empty name", ToggleExcludeFilter, "", "-="},
      {"at names the line", MarkReaderProperty, "X=5", "@=5"},
      {"kind filter keeps the value", MakeKindFilter, "LIN=1,4", "!DRUH=1,4"},
      {"use colour from other text", ToggleUseColor, "@USECOLOR=ano", "@USECOLOR=TRUE"},
      {"use colour from true in any case", ToggleUseColor, "x=true", "@USECOLOR=FALSE"},
      {"use symbol from false", ToggleUseSymbol, "@USESYMBOL=FALSE", "@USESYMBOL=TRUE"},
      {"symbol resets the value", SetLayerSymbol, "@SYMBOL=1234", "@SYMBOL=0"},
      {"condition keeps the value", SetLayerCondition, "x=DRUH>3", "@CONDITION=DRUH>3"},
      {"text without equals gets one", MarkReaderProperty, "jen text", "@="},
  };
  for (const EditRow& row : rows) EXPECT_EQ(row.Operation(row.Line), row.Expected) << row.Case;
}

TEST(LayerLines, ColourChoiceReplacesTheLineAndCancelKeepsIt) {
  struct Row {
    const char* Case;
    std::string Line;
    std::optional<std::uint32_t> Chosen;
    std::uint32_t Start;
    std::string Expected;
  } rows[] = {
      {"chosen", "@COLOR=255", 0x00FF00u, 255u, "@COLOR=65280"},
      {"cancel keeps the user's colour", "@COLOR=255", std::nullopt, 255u, "@COLOR=255"},
      {"no number starts from 0", "LIN=C:\\X", 16777215u, 0u, "@COLOR=16777215"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LayerColorOf(row.Line), row.Start) << row.Case;
    EXPECT_EQ(SetLayerColor(row.Line, row.Chosen), row.Expected) << row.Case;
  }
}

TEST(LayerLines, DoubleClickedFileGivesTypeAndSource) {
  struct Row {
    const char* Case;
    std::string File;
    std::string Expected;
  } rows[] = {
      {"block lines", "C:\\DATA\\XY.BLK\\TN.LIN", "LIN=C:\\DATA\\XY.BLK"},
      {"block areas, lower case", "/data/XY.BLK/tn.are", "ARE=/data/XY.BLK"},
      {"block texts", "/data/XY.BLK/TN.TTX", "TXT=/data/XY.BLK"},
      {"raster keeps the full name", "/mapy/a.tif", "RAS=/mapy/a.tif"},
      {"shape file", "/gis/les.shp", "ARE=/gis/les.shp"},
      {"unknown extension", "/x/y.kes", "LIN=/x/y.kes"},
  };
  for (const Row& row : rows) EXPECT_EQ(LayerLineForFile(row.File), row.Expected) << row.Case;
}

TEST(LayerLines, BlockLayerNameIsTheLastComponentUpToItsFirstDot) {
  struct Row {
    const char* Case;
    std::string Block;
    std::string Expected;
  } rows[] = {
      {"backslashes", "C:\\DATA\\XY.BLK", "XY"},
      {"slashes", "/data/les/DET.BLK", "DET"},
      {"first dot", "/d/A.B.BLK", "A"},
      {"no dot gives empty", "/data/XY", ""},
      {"dot in a folder only", "/a.b/XY", ""},
      {"empty", "", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(BlockLayerName(row.Block), row.Expected) << row.Case;
}

TEST(LayerLines, PlacingGoesToCurrentThenBelowThenANewRow) {
  struct Row {
    const char* Case;
    std::vector<std::string> Rows;
    int Current;
    int ExpectedRow;
    std::size_t ExpectedCount;
  } rows[] = {
      {"empty current row", {"", "A=1", ""}, 0, 0, 3},
      {"first empty below", {"A=1", "B=2", "", ""}, 0, 2, 4},
      {"empty rows above are passed over", {"", "A=1"}, 1, 2, 3},
      {"no empty row appends", {"A=1", "B=2"}, 0, 2, 3},
      {"no rows at all", {}, 0, 0, 1},
  };
  for (const Row& row : rows) {
    LayerRows list{row.Rows, row.Current};
    EXPECT_EQ(list.Place("LIN=X"), row.ExpectedRow) << row.Case;
    EXPECT_EQ(list.Rows.size(), row.ExpectedCount) << row.Case;
    EXPECT_EQ(list.Rows[static_cast<std::size_t>(row.ExpectedRow)], "LIN=X") << row.Case;
  }
}

TEST(LayerLines, RowsAreInsertedDeletedAndMoved) {
  using Rows = std::vector<std::string>;
  struct Row {
    const char* Case;
    void (LayerRows::*Operation)();
    Rows Before;
    int Current;
    Rows After;
    int CurrentAfter;
  } rows[] = {
      {"insert moves the rest down", &LayerRows::InsertRow, {"A", "B", "C"}, 1, {"A", "", "B", "C"}, 1},
      {"delete moves the rest up", &LayerRows::DeleteRow, {"A", "B", "C"}, 1, {"A", "C"}, 1},
      {"delete of the last row", &LayerRows::DeleteRow, {"A", "B"}, 1, {"A"}, 0},
      {"delete of a single row empties it", &LayerRows::DeleteRow, {"A"}, 0, {""}, 0},
      {"up swaps and follows", &LayerRows::MoveUp, {"A", "B", "C"}, 2, {"A", "C", "B"}, 1},
      {"up stops at the first row", &LayerRows::MoveUp, {"A", "B"}, 0, {"A", "B"}, 0},
      {"down swaps and follows", &LayerRows::MoveDown, {"A", "B", "C"}, 0, {"B", "A", "C"}, 1},
      {"down stops at the last row", &LayerRows::MoveDown, {"A", "B"}, 1, {"A", "B"}, 1},
      {"no current row changes nothing", &LayerRows::InsertRow, {"A"}, 3, {"A"}, 3},
  };
  for (const Row& row : rows) {
    LayerRows list{row.Before, row.Current};
    (list.*row.Operation)();
    EXPECT_EQ(list.Rows, row.After) << row.Case;
    EXPECT_EQ(list.Current, row.CurrentAfter) << row.Case;
  }
}

}  // namespace
