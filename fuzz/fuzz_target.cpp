// One libFuzzer target: the build names the entry it feeds (KESTX_FUZZ_ENTRY).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_entries.h"
#include "fuzz/oil_entries.h"

// The system font library keeps caches until the process ends; text drawn by
// the interprets brings it in.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::KESTX_FUZZ_ENTRY(data, size);
  return 0;
}
