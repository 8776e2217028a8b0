#include "platform/memory_status.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>

namespace {

// Without a source put in their place the figures are the machine's own:
// the physical memory the system counts (sysconf reads it independently of
// us), what is available within it, and swap on top of both.
TEST(MemoryStatusTest, TheSystemsFiguresAreTheMachinesMemory) {
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  ASSERT_GT(pages, 0);
  ASSERT_GT(pageSize, 0);
  const platform::MemoryStatus status = platform::ReadMemoryStatus();
  EXPECT_EQ(status.TotalPhys, static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize));
  EXPECT_GT(status.AvailPhys, 0u) << "a running process leaves some memory available";
  EXPECT_LE(status.AvailPhys, status.TotalPhys);
  EXPECT_LE(status.MemoryLoad, 100u);
  EXPECT_GE(status.TotalPageFile, status.TotalPhys);
  EXPECT_GE(status.AvailPageFile, status.AvailPhys);
  EXPECT_LE(status.AvailPageFile, status.TotalPageFile);
  EXPECT_GT(status.AvailVirtual, 0u);
  EXPECT_LT(status.AvailVirtual, status.TotalVirtual) << "this process has mapped some of its address space";
}

}  // namespace
