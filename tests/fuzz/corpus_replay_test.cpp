// Every seed of every fuzz target goes through the target's entry in the
// ordinary build too: a seed that crashes, leaks or lets an unexpected
// exception out fails here without clang.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "fuzz/oil_entries.h"

namespace {

struct Target {
  const char* Folder;
  void (*Entry)(const std::uint8_t*, std::size_t);
};

const Target kTargets[] = {
    {"kes_stream", fuzz::KesStream},         {"component_stream", fuzz::ComponentStream},
    {"property_texts", fuzz::PropertyTexts}, {"conditions", fuzz::Conditions},
    {"element_paths", fuzz::ElementPaths},   {"string_list_files", fuzz::StringListFiles},
    {"oil_compiler", fuzz::OilProgramText},
    {"interpret_scripts", fuzz::InterpretScripts},
    {"layer_lines", fuzz::LayerLines},       {"forest_attributes", fuzz::ForestAttributes},
    {"forest_dialog_entries", fuzz::ForestDialogEntries},
    {"block_directories", fuzz::BlockDirectories}, {"dbase_tables", fuzz::DbaseTables},
    {"topology_lines", fuzz::TopologyLines},
    {"tool_images", fuzz::ToolImages},       {"shortcut_texts", fuzz::ShortCutTexts},
    {"keyword_files", fuzz::KeywordFiles},   {"stroke_fonts", fuzz::StrokeFonts},
    {"symbol_lists", fuzz::SymbolLists},
    {"command_lines", fuzz::CommandLines},
    {"pictures_jpeg", fuzz::PicturesJpeg},   {"pictures_gif", fuzz::PicturesGif},
    {"pictures_bmp", fuzz::PicturesBmp},     {"pictures_png", fuzz::PicturesPng},
    {"world_file", fuzz::WorldFile},
    {"model_script", fuzz::ModelScript},
    {"property_entries", fuzz::PropertyEntries}, {"condition_filter", fuzz::ConditionFilter},
    {"bitmap_files", fuzz::BitmapFiles},
    {"interpret_tables", fuzz::InterpretTables},
    {"text_block_file", fuzz::TextBlockFile},
};

std::vector<std::uint8_t> Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzCorpus, EverySeedPassesThroughItsTarget) {
  for (const Target& target : kTargets) {
    const std::filesystem::path folder = std::filesystem::path(KESTX_SAMPLES_DIR) / "fuzz" / target.Folder;
    int seeds = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
      const std::vector<std::uint8_t> bytes = Bytes(file.path());
      SCOPED_TRACE(file.path().string());
      EXPECT_NO_THROW(target.Entry(bytes.data(), bytes.size()));
      ++seeds;
    }
    EXPECT_GE(seeds, 3) << target.Folder << " has too small a seed corpus";
  }
}

}  // namespace
