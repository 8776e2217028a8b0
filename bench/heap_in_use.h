#pragma once
// Heap in use for the benchmarks' per-element figures, the blocks the heap
// maps apart (large lists, the element slabs' regions) included.
#include <malloc.h>

#include <cstddef>

inline std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
