#include "framework/environment/environment.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/core/class_registry.h"
#include "tests/framework/framework_fixture.h"

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;
constexpr std::uint32_t Max32 = 0xFFFFFFFFu;

class MemoryElementTest : public FrameworkTest {};

TEST_F(MemoryElementTest, FiguresAreReckonedIn64BitsAndClampedTo32) {
  struct Case {
    const char* name;
    platform::MemoryStatus status;
    std::uint32_t totalPhys, availPhys, allocated, avail;
  };
  const Case cases[] = {
      {"small machine", {32, 50, 1000, 500, 3000, 2000, 0, 0}, 1000, 500, 1500, 750},
      {"full load", {32, 100, 1000, 0, 1000, 0, 0, 0}, 1000, 0, 2000, 0},
      // 16 GiB with 6 GiB free: 10 GiB in use does not wrap to 2 GiB.
      {"above 4 GiB", {32, 62, 16 * GiB, 6 * GiB, 20 * GiB, 10 * GiB, 0, 0}, Max32, Max32, Max32, Max32},
      // 3 GiB in use reads as it is although the totals are clamped.
      {"totals clamped, use not", {32, 30, 8 * GiB, 7 * GiB, 8 * GiB, 6 * GiB, 0, 0}, Max32, Max32,
       static_cast<std::uint32_t>(3 * GiB), static_cast<std::uint32_t>(3 * GiB / 100 * 70)},
  };
  for (const Case& c : cases) {
    TMemoryElement memory;
    memory.SetStatus(c.status);
    EXPECT_EQ(memory.TotalPhys(), c.totalPhys) << c.name;
    EXPECT_EQ(memory.AvailPhys(), c.availPhys) << c.name;
    EXPECT_EQ(memory.AlocatedMemory(), c.allocated) << c.name;
    EXPECT_EQ(memory.AvailMemory(), c.avail) << c.name;
    EXPECT_EQ(memory.GetPropertyText("AlocatedMemory"), std::to_string(c.allocated)) << c.name;
  }
}

TEST_F(MemoryElementTest, ReadsTheMachineOnceWhenMade) {
  std::unique_ptr<TElement> memory(CreateElementByClassName("TMemoryElement"));
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(memory->GetName(), "Memory status");
  const auto& status = static_cast<TMemoryElement&>(*memory).Status();
  EXPECT_GT(status.TotalPhys, 0u);
  EXPECT_LE(status.AvailPhys, status.TotalPhys);
  EXPECT_LE(status.MemoryLoad, 100u);
  EXPECT_GE(status.TotalPageFile, status.TotalPhys);
}

TEST(FileVersionTest, AProgramFileWithoutVersionDataAnswersItsError) {
  struct Case {
    const char* name;
    bool setName;
    const char* error;
  };
  const Case cases[] = {{"never set", false, "Empty FileName"}, {"/bin/sh", true, "InfoSize=0"}, {"", true, "InfoSize=0"}};
  for (const Case& c : cases) {
    TFileVersion version;
    if (c.setName) SetPropertyTextByName(version, "FileName", c.name);
    std::string text;
    GetPropertyTextByName(version, "Error", text);
    EXPECT_EQ(text, c.error) << c.name;
    for (const char* property : {"MajorVersion", "Build", "FileFlags"}) {
      GetPropertyTextByName(version, property, text);
      EXPECT_EQ(text, "0") << c.name << " " << property;
    }
    for (const char* property : {"CompanyName", "ProductVersion", "Language"}) {
      GetPropertyTextByName(version, property, text);
      EXPECT_EQ(text, "") << c.name << " " << property;
    }
  }
}

TEST(IniFileNameTest, TheProgramsNameWithTheIniExtension) {
  struct Case {
    const char* program;
    const char* ini;
  };
  const Case cases[] = {{"/opt/kestx/bin/kestx", "/opt/kestx/bin/kestx.INI"},
                        {"/opt/kestx/KESTX.EXE", "/opt/kestx/KESTX.INI"},
                        {"/opt/v1.2/kestx", "/opt/v1.2/kestx.INI"}};
  for (const Case& c : cases) EXPECT_EQ(IniFileNameOf(c.program), c.ini) << c.program;
  const std::string running = DefaultIniFileName();
  EXPECT_EQ(running.substr(running.size() - 18), "test_framework.INI");
}

}  // namespace
