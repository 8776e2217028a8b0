#pragma once
// The block's optional description file INFO.TXT (name=value lines, read
// only) and the code page of the block's texts it names.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/type_info.h"

enum TCodePage : std::uint8_t { cpIBM, cpLatin2, cpKamenickych, cpWindows };

template <>
const TEnumType& typinfo::EnumTypeOf<TCodePage>();

// 1 or 867 Kamenický, 2 or 852 Latin 2, 1250 Windows; anything else (or no
// number at all) IBM.
TCodePage CodePageFromText(const std::string& text);
// The number of the code page the block's texts are written in: 437 IBM,
// 852 Latin 2, 895 Kamenický, 1250 Windows.
int CodePageNumber(TCodePage codePage);

struct TBlockDescription {
  // OPSANYOBDELNIKBLOKU: the block's bounding rectangle, its four numbers
  // in the file's order, negated into model coordinates.
  bool HasBoundingRect = false;
  std::array<double, 4> BoundingRect{};
  TCodePage CodePage = cpIBM;
};

// Names compare without regard to case; unknown names and lines without
// "=" are skipped.
TBlockDescription ParseBlockInfo(const std::vector<std::string>& lines);
// The block's INFO.TXT; a block without one is described by the defaults.
TBlockDescription ReadBlockInfo(const std::string& blockDir);
