// One libFuzzer target: the build names the entry it feeds (KESTX_FUZZ_ENTRY).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_entries.h"
#include "fuzz/oil_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::KESTX_FUZZ_ENTRY(data, size);
  return 0;
}
