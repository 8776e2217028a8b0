#pragma once
// The entry point that hands an OIL program text to the compiler (see
// fuzz_entries.h for what an entry promises).
#include <cstddef>
#include <cstdint>

namespace fuzz {

// The text compiled as an OIL program: it compiles, or fails with a compiler
// error whose position lies inside the text.  Nothing else may leave.
void OilProgramText(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
