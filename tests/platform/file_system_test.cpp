#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace platform {
namespace {

TEST(FileSystemTest, MasksMatchAsTheFileSearchMatches) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  const Case cases[] = {{"LES.KES", "*.KES", true},  {"les.kes", "*.KES", true},   {"LES.KES.BAK", "*.KES", false},
                        {"README", "*.*", true},     {"a.b.KES", "*.kes", true},   {"AB.PAS", "?.PAS", false},
                        {"B.PAS", "?.pas", true},    {"x", "", false},             {"", "*", true},
                        {"abc", "a*c*", true},       {"abxc", "a*c", true},        {"abcd", "a*c", false}};
  for (const Case& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

TEST(FileSystemTest, APathStartingWithASlashIsAbsolute) {
  const std::string cwd = std::filesystem::current_path().string();
  struct Case {
    std::string path;
    std::string expanded;
  };
  const Case cases[] = {{"/data/../les", "/les"}, {"/", "/"}, {"data/x", cwd + "/data/x"}, {"./y", cwd + "/y"}};
  for (const Case& c : cases) EXPECT_EQ(ExpandFileName(c.path), c.expanded) << c.path;
}

TEST(FileSystemTest, PackedFileDatesKeepTheirParts) {
  struct Case {
    DateParts parts;
    std::uint32_t packed;
  };
  const Case cases[] = {{{1980, 1, 1, 0, 0, 0}, 0x00210000u},
                        {{2019, 12, 24, 18, 30, 4}, (39u << 25 | 12u << 21 | 24u << 16 | 18u << 11 | 30u << 5 | 2u)}};
  const auto parts = [](const DateParts& d) { return std::tuple(d.Year, d.Month, d.Day, d.Hour, d.Minute, d.Second); };
  for (const Case& c : cases) {
    EXPECT_EQ(PackFileDate(c.parts), c.packed) << c.parts.Year;
    EXPECT_EQ(parts(UnpackFileDate(c.packed)), parts(c.parts)) << c.parts.Year;
  }
}

}  // namespace
}  // namespace platform
