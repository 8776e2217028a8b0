#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

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

}  // namespace
}  // namespace platform
