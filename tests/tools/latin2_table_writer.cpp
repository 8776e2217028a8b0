// Writes ConvertToLatin2 of every byte 0..255 to standard output, the 256
// results in byte order, for the check against Python's code page codecs.
#include <cstdio>
#include <string>

#include "cartography/symbols/latin2.h"

int main() {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string converted = ConvertToLatin2(all);
  std::fwrite(converted.data(), 1, converted.size(), stdout);
  return converted.size() == all.size() ? 0 : 1;
}
