#include "platform/replacing_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>

#include "tests/platform/file_size_limit.h"
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

// A re-export as users make it: the new set is made beside the folder the
// system finds under the name, nothing is written outside the new set before
// the swap, and where no set can be made beside the folder its files are
// replaced one by one instead of the export failing.  Rows that permissions
// decide are left to an ordinary user: as root they stop nothing (the
// program's test of a shared folder runs them as one).
TEST_F(TempFolderTest, AReExportReplacesTheBlockTheSystemFindsWholeOrFileByFile) {
  struct Row {
    const char* name;
    // Makes the earlier block below the row's folder: the name to give and
    // the block's real folder.
    std::function<std::pair<fs::path, fs::path>(const fs::path&)> make;
    bool asUser;  // permissions decide it
    // Why the files are replaced one by one, where they are: what could
    // not be copied (where it is named) and the system's reason.
    const char* refused;
    int error;
  };
  const auto block = [](const fs::path& at) {
    fs::create_directories(at);
    WriteCp1250File((at / "TN.LIN").string(), "earlier lines");
    WriteCp1250File((at / "TN.ARE").string(), "earlier areas");
    return at;
  };
  const Row rows[] = {
      {"a link to the block",
       [&](const fs::path& here) {
         fs::create_directory_symlink("data/OUT.BLK", here / "lnk");
         return std::pair(here / "lnk", block(here / "data" / "OUT.BLK"));
       },
       false, "", 0},
      {"lnk/../OUT.BLK",
       [&](const fs::path& here) {
         fs::create_directories(here / "a" / "b");
         fs::create_directory_symlink("a/b", here / "lnk");
         return std::pair(here / "lnk" / ".." / "OUT.BLK", block(here / "a" / "OUT.BLK"));
       },
       false, "", 0},
      {"block files that are links",
       [&](const fs::path& here) {
         const fs::path at = block(here / "OUT.BLK");
         fs::create_directories(here / "elsewhere");
         WriteCp1250File((here / "elsewhere" / "TN.CRD").string(), "far vertices");
         WriteCp1250File((here / "elsewhere" / "TN.PNT").string(), "far points");
         fs::create_symlink("../elsewhere/TN.CRD", at / "TN.CRD");
         fs::create_symlink("../elsewhere/TN.PNT", at / "TN.PNT");
         return std::pair(at, at);
       },
       false, "", 0},
      {"a named pipe in the block",
       [&](const fs::path& here) {
         const fs::path at = block(here / "OUT.BLK");
         mkfifo((at / "roura").c_str(), 0644);
         return std::pair(at, at);
       },
       false, "OUT.BLK/roura: ", ENOTSUP},
      {"a file the disk has no room to copy",
       [&](const fs::path& here) {
         const fs::path at = block(here / "OUT.BLK");
         WriteCp1250File((at / "TN.ARE").string(), std::string(64 * 1024, 'a'));
         return std::pair(at, at);
       },
       false, "OUT.BLK/TN.ARE: ", EFBIG},
      {"the block's parent folder not writable",
       [&](const fs::path& here) {
         const fs::path at = block(here / "shared" / "OUT.BLK");
         fs::permissions(here / "shared", fs::perms::owner_read | fs::perms::owner_exec);
         return std::pair(at, at);
       },
       true, "", EACCES},
      {"the block's folder not writable, its files writable",
       [&](const fs::path& here) {
         const fs::path at = block(here / "OUT.BLK");
         fs::permissions(at, fs::perms::owner_read | fs::perms::owner_exec);
         return std::pair(at, at);
       },
       true, "", 0},
  };
  int rowNumber = 0;
  for (const Row& row : rows) {
    const fs::path here = File("row" + std::to_string(++rowNumber));
    if (row.asUser && geteuid() == 0) {
      RecordProperty(std::string("left to an ordinary user: ") + row.name, "skipped");
      continue;
    }
    fs::create_directories(here);
    const auto [name, real] = row.make(here);
    const auto mode = fs::status(real).permissions();
    std::string error = "no error", reason, aside, beside;
    try {
      std::optional<FileSizeLimit> full;
      if (row.error == EFBIG) full.emplace(32 * 1024);
      platform::TReplacingFolder replacing(name.string());
      full.reset();
      reason = replacing.ReplacedFileByFile();
      WriteCp1250File(replacing.Path() + "/TN.LIN", "new lines");
      WriteCp1250File(replacing.Path() + "/TN.CRD", "new vertices");
      // Nothing is written outside the new set before the swap.
      aside = FileBytes((here / "elsewhere" / "TN.CRD").string()) + "|" + FileBytes((real / "TN.LIN").string());
      replacing.Commit();
    } catch (const std::exception& raised) {
      error = raised.what();
    }
    EXPECT_EQ(error, "no error") << row.name;
    const std::string refused = row.error ? row.refused + std::generic_category().message(row.error) : "";
    EXPECT_TRUE(reason.find(refused) != std::string::npos && reason.empty() == refused.empty())
        << row.name << ": " << reason;
    const std::string far = fs::exists(here / "elsewhere") ? "far vertices" : "";
    EXPECT_EQ(aside, far + "|earlier lines") << row.name;
    EXPECT_EQ(FileBytes((real / "TN.LIN").string()) + "|" + FileBytes((real / "TN.CRD").string()) + "|" +
                  FileBytes((real / "TN.ARE").string()).substr(0, 13),
              std::string(row.name == std::string_view("a file the disk has no room to copy")
                              ? "new lines|new vertices|aaaaaaaaaaaaa"
                              : "new lines|new vertices|earlier areas"))
        << row.name;
    EXPECT_EQ(fs::status(real).permissions(), mode) << row.name;
    if (fs::exists(here / "elsewhere")) {
      // What the unwritten link led to is still the block's; the written
      // one is a file of the block's own.
      EXPECT_EQ(std::tuple(fs::is_symlink(real / "TN.CRD"), FileBytes((real / "TN.PNT").string()),
                           fs::is_symlink(real / "TN.PNT")),
                std::tuple(false, std::string("far points"), true))
          << row.name;
    }
    if (fs::exists(real / "roura")) {
      EXPECT_TRUE(fs::is_fifo(real / "roura")) << row.name;
    }
    // Nothing of the run is left beside the block or in it.
    for (const fs::path& folder : {real.parent_path(), real})
      for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().find(".~") != std::string::npos)
            << row.name << ": " << entry.path();
    fs::permissions(real.parent_path(), fs::perms::owner_all, fs::perm_options::add);
    fs::permissions(real, fs::perms::owner_all, fs::perm_options::add);
  }
}

}  // namespace
