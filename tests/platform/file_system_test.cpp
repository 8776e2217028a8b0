#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "platform/dbase_table.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "tests/platform/temp_folder.h"

namespace platform {
namespace {

TEST(FileSystemTest, MasksMatchAsTheFileSearchMatches) {
  // Name, mask, whether it matches.
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"LES.KES", "*.KES", true}, {"les.kes", "*.KES", true}, {"LES.KES.BAK", "*.KES", false},
      {"README", "*.*", true},    {"a.b.KES", "*.kes", true}, {"AB.PAS", "?.PAS", false},
      {"B.PAS", "?.pas", true},   {"x", "", false},           {"", "*", true},
      {"abc", "a*c*", true},      {"abxc", "a*c", true},      {"abcd", "a*c", false}};
  for (const auto& [name, mask, matches] : cases) EXPECT_EQ(MatchesMask(name, mask), matches) << name << " ~ " << mask;
}

// The folder picker lists the root first and every mounted volume once.
TEST(FileSystemTest, MountPointsStartAtTheRootAndNameEachVolumeOnce) {
  const std::vector<std::string> roots = MountPoints();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "/");
  for (const std::string& root : roots) EXPECT_EQ(std::count(roots.begin(), roots.end(), root), 1) << root;
}

TEST(FileSystemTest, PackedFileDatesKeepTheirParts) {
  const std::pair<DateParts, std::uint32_t> cases[] = {
      {{1980, 1, 1, 0, 0, 0}, 0x00210000u},
      {{2019, 12, 24, 18, 30, 4}, (39u << 25 | 12u << 21 | 24u << 16 | 18u << 11 | 30u << 5 | 2u)}};
  const auto parts = [](const DateParts& d) { return std::tuple(d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second); };
  for (const auto& [date, packed] : cases) {
    EXPECT_EQ(PackFileDate(date), packed) << date.Year;
    EXPECT_EQ(parts(UnpackFileDate(packed)), parts(date)) << date.Year;
  }
}


// Each change of a file answers whether it happened (a refusal by exception
// counts as not).
using FileChange = std::function<bool(const std::string& file)>;

bool Happened(const std::function<void()>& change) {
  try {
    change();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// A name with a NUL byte in it names no folder, not the folder named before
// the byte.
TEST_F(TempFolderTest, AFolderNamedWithANulByteListsNothing) {
  std::filesystem::create_directories(File("sub"));
  EXPECT_EQ(ListDirectory(Folder() + "/", "*.*", faDirectory).size(), 1u);
  EXPECT_TRUE(ListDirectory(Folder() + std::string("/\0sub", 5), "*.*", faDirectory).empty());
}

TEST_F(TempFolderTest, AWriteProtectedFolderRefusesEveryChangeBelowItAndOnlyWhileGuarded) {
  const std::pair<const char*, FileChange> changes[] = {
      {"delete", [](const std::string& f) { return DeleteFile(f); }},
      {"rename", [](const std::string& f) { return RenameFile(f, f + ".new") && RenameFile(f + ".new", f); }},
      {"create", [](const std::string& f) { return Happened([&] { TFileStream(f, TFileStream::Mode::Create); }); }},
      {"update", [](const std::string& f) { return Happened([&] { TFileStream(f, TFileStream::Mode::OpenReadWrite); }); }},
      {"attributes", [](const std::string& f) { return SetFileAttributes(f, 0); }},
      {"date", [](const std::string& f) { return SetFileDate(f, 0x00210000u); }},
      {"table for update",
       [](const std::string& f) {
         return Happened([&] {
           DbaseTable table;
           table.SetTableName(f + ".DBF");
           table.SetReadOnly(false);
           table.Open();
         });
       }},
      {"folder", [](const std::string& f) { return Happened([&] { ForceDirectories(f + ".dir"); }); }},
  };
  const std::string sub = File("sub");
  std::filesystem::create_directories(sub);
  const std::string file = sub + "/x";
  for (const auto& [name, change] : changes) {
    std::ofstream(file) << "x";
    ExecuteCreateTable("create table \"" + file + ".DBF\" (A char(1))");
    {
      const WriteProtectedFolder protection(sub + "/");
      EXPECT_FALSE(change(file)) << name << " inside";
      EXPECT_TRUE(std::filesystem::exists(file)) << name;
      EXPECT_TRUE(Happened([&] { TFileStream(File("outside"), TFileStream::Mode::Create); })) << name << " outside";
    }
    EXPECT_TRUE(change(file)) << name << " after";
    std::filesystem::remove(file);
    std::filesystem::remove(file + ".DBF");
  }
}

}  // namespace
}  // namespace platform
