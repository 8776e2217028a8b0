#include "platform/replacing_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/platform/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Above any process number the system hands out: its maker is gone.
constexpr const char* kGoneMaker = "2147483000";

// Where a file system swaps no names, a run killed between its two steps
// leaves the folder missing and its earlier set stepped aside: that set is
// the folder and comes back, whereas one stepped aside beside a folder that
// stands again is a leftover.
TEST_F(TempFolderTest, AnEarlierSetLeftSteppedAsideComesBackOnlyWhereTheFolderIsMissing) {
  struct Row {
    const char* name;
    bool folderStands;
    const char* kept;  // TN.LIN of the folder afterwards
  };
  const Row rows[] = {
      {"the folder missing", false, "earlier"},
      {"the folder standing", true, "current"},
  };
  for (const Row& row : rows) {
    const fs::path block = File("OUT.BLK");
    const fs::path aside = File(std::string(".OUT.BLK.~old-") + kGoneMaker + "-1");
    fs::remove_all(block);
    fs::create_directories(aside);
    WriteCp1250File((aside / "TN.LIN").string(), "earlier");
    if (row.folderStands) {
      fs::create_directories(block);
      WriteCp1250File((block / "TN.LIN").string(), "current");
    }
    const platform::TReplacingFolder replacing(block.string());
    EXPECT_EQ(std::pair(FileBytes((block / "TN.LIN").string()), fs::exists(aside)), std::pair(std::string(row.kept), false))
        << row.name;
  }
}

}  // namespace
