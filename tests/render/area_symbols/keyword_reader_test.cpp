#include "render/area_symbols/keyword_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/temp_folder.h"

namespace {

// What one call of ReadParameter yielded, as text: "K:key=value", "S:name"
// or "-" for nothing, with "!" added when it was the last line.
std::vector<std::string> ReadAll(const std::string& fileName) {
  TCteniParametru reader(fileName);
  std::vector<std::string> yielded;
  if (!reader.Opened()) return yielded;
  bool isKey = false, isSection = false, isLast = false;
  std::string key, value;
  // More calls than lines would mean the reader never reports its end.
  for (int guard = 0; !isLast && guard < 100; ++guard) {
    reader.ReadParameter(isKey, isSection, isLast, key, value);
    std::string item = isKey ? "K:" + key + "=" + value : isSection ? "S:" + value : "-";
    if (!isKey) {
      EXPECT_TRUE(key.empty());
    }
    yielded.push_back(item + (isLast ? "!" : ""));
  }
  return yielded;
}

class KeywordReaderTest : public TempFolderTest {};

TEST_F(KeywordReaderTest, SplitsLinesIntoSectionsKeysAndNothing) {
  struct Row {
    const char* name;
    std::string bytes;
    std::vector<std::string> expected;
  };
  const std::string longValue(300, 'v');
  const Row rows[] = {
      {"blanks around key, = and value; value keeps its case", "  Velikost  =  4.5 mm  \r\n",
       {"K:VELIKOST=4.5 mm!"}},
      {"mixed-case header upper-cased into the value", "[Retez]\n[ clanek ]", {"S:RETEZ", "S:CLANEK!"}},
      {"comment and blank line yield nothing but advance", "; note\n\n   \nKOD=1\n", {"-", "-", "-", "K:KOD=1!"}},
      {"a tab before ; is kept, so it is a key line", "\t;x\n", {"K:\t;X=!"}},
      {"NULs around the line are trimmed", std::string("\0KOD=2\0", 7), {"K:KOD=2!"}},
      {"a line without = is a key with an empty value", "HARMONIKA\n", {"K:HARMONIKA=!"}},
      {"one nested bracket in a header", "[a[b]c]\n", {"S:A[B]C!"}},
      {"an unclosed header runs to the line's end", "[end\n", {"S:END!"}},
      {"a value is cut at 250 characters", "N=" + longValue + "\n", {"K:N=" + longValue.substr(0, 250) + "!"}},
      {"Windows-1250 letters come back as UTF-8", "N\xC1ZEV=\x9Elut\xE1\n", {"K:NÁZEV=žlutá!"}},
      {"a one-line file is last on the first call", "KOD=5", {"K:KOD=5!"}},
      {"an = past position 254 belongs to a key without value", std::string(260, 'k') + "=1",
       {"K:" + std::string(254, 'K') + "=!"}},
      {"an = at position 254 still splits", std::string(253, 'k') + "=1", {"K:" + std::string(253, 'K') + "=1!"}},
  };
  for (const Row& row : rows) {
    const std::string fileName = File("keys.txt");
    {
      std::ofstream(fileName, std::ios::binary) << row.bytes;
    }
    EXPECT_EQ(ReadAll(fileName), row.expected) << row.name;
  }
}

TEST_F(KeywordReaderTest, MissingOrEmptyFileIsNotOpened) {
  std::ofstream(File("empty.txt"), std::ios::binary).flush();
  for (const std::string& name : {File("missing.txt"), File("empty.txt")}) {
    TCteniParametru reader(name);
    EXPECT_FALSE(reader.Opened()) << name;
  }
}

TEST_F(KeywordReaderTest, ConvertsTheLastValueToNumbers) {
  struct Row {
    const char* value;
    double real;
    bool realError;
    std::int32_t integer;
    bool integerError;
  };
  const Row rows[] = {
      {"2,5", 2, false, 2, false},          // the comma ends the run
      {"-.25", -0.25, false, 0, true},      // a sign with no digit is no whole number
      {"abc", 0, true, 0, true},            // no digits at all
      {"12 mm", 12, false, 12, false},      // a unit behind the number
      {"x = +7.5", 7.5, false, 7, false},   // text before the number skipped
      {"1e3", 1, false, 1, false},          // no exponent
      {"-3", -3, false, -3, false},
  };
  for (const Row& row : rows) {
    WriteCp1250File(File("n.txt"), std::string("V=") + row.value);
    TCteniParametru reader(File("n.txt"));
    bool isKey, isSection, isLast;
    std::string key, value;
    reader.ReadParameter(isKey, isSection, isLast, key, value);
    EXPECT_DOUBLE_EQ(reader.ValueAsReal(), row.real) << row.value;
    EXPECT_EQ(reader.ConversionError(), row.realError) << row.value;
    EXPECT_EQ(reader.ValueAsInteger(), row.integer) << row.value;
    EXPECT_EQ(reader.ConversionError(), row.integerError) << row.value;
  }
}

TEST_F(KeywordReaderTest, ReadsBooleansByTheirFirstDecidingLetter) {
  const std::pair<const char*, bool> rows[] = {{"Ano", true}, {"true", true}, {"1", true}, {"ne", false},
                                               {"0", false},  {"xyz", false}, {"", false},  {"  bTa", true}};
  for (const auto& [text, expected] : rows) {
    WriteCp1250File(File("b.txt"), std::string("V=") + text);
    TCteniParametru reader(File("b.txt"));
    bool isKey, isSection, isLast;
    std::string key, value;
    reader.ReadParameter(isKey, isSection, isLast, key, value);
    EXPECT_EQ(reader.ValueAsBoolean(), expected) << text;
  }
}

}  // namespace
