#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/files.h"
#include "tests/platform/temp_folder.h"

namespace {

class FindFileAnyCaseTest : public TempFolderTest {};

TEST_F(FindFileAnyCaseTest, TakesTheExactNameElseOneDifferingOnlyInCase) {
  std::ofstream(File("Simp.CHR")) << "x";
  std::ofstream(File("Žluté.txt")) << "x";
  struct Row {
    const char* name;
    std::string asked;
    std::string found;
  };
  const Row rows[] = {
      {"exact", File("Simp.CHR"), File("Simp.CHR")},
      {"other case", File("SIMP.chr"), File("Simp.CHR")},
      {"Czech letters in other case", File("ŽLUTÉ.TXT"), File("Žluté.txt")},
      {"missing stays as asked", File("Sans.CHR"), File("Sans.CHR")},
      {"missing folder stays as asked", Folder() + "/none/Simp.CHR", Folder() + "/none/Simp.CHR"},
  };
  for (const Row& row : rows) EXPECT_EQ(platform::FindFileAnyCase(row.asked), row.found) << row.name;
}

}  // namespace
