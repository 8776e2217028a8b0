#include "block/files/block_info.h"

#include "block/files/block_records.h"
#include "framework/core/class_registry.h"
#include "framework/values/line_scanner.h"
#include "platform/files.h"
#include "platform/streams.h"

template <>
const TEnumType& typinfo::EnumTypeOf<TCodePage>() {
  static const TEnumType type{"TCodePage", {"cpIBM", "cpLatin2", "cpKamenickych", "cpWindows"}};
  return type;
}

TCodePage CodePageFromText(const std::string& text) {
  TCtiRadekClass scanner(text);
  const std::int32_t number = scanner.ReadInteger();
  if (scanner.IsEnd()) return cpIBM;
  switch (number) {
    case 1:
    case 867:
      return cpKamenickych;
    case 2:
    case 852:
      return cpLatin2;
    case 1250:
      return cpWindows;
    default:
      return cpIBM;
  }
}

int CodePageNumber(TCodePage codePage) {
  switch (codePage) {
    case cpLatin2:
      return 852;
    case cpKamenickych:
      return 895;
    case cpWindows:
      return 1250;
    default:
      return 437;
  }
}

TBlockDescription ParseBlockInfo(const std::vector<std::string>& lines) {
  TBlockDescription info;
  for (const std::string& line : lines) {
    std::string name;
    std::string value;
    if (!SplitAtChar(line, '=', name, value)) continue;
    name = AsciiUpperCase(TrimBlanks(name));
    if (name == "CODEPAGE") {
      info.CodePage = CodePageFromText(value);
    } else if (name == "OPSANYOBDELNIKBLOKU") {
      TCtiRadekClass scanner(value);
      std::array<double, 4> numbers{};
      for (double& number : numbers) number = -scanner.ReadReal();
      if (scanner.IsEnd()) continue;
      info.BoundingRect = numbers;
      info.HasBoundingRect = true;
    }
  }
  return info;
}

TBlockDescription ReadBlockInfo(const std::string& blockDir) {
  const std::string fileName = platform::IncludeTrailingPathDelimiter(blockDir) + kInfoFileName;
  if (!platform::FileExists(fileName)) return TBlockDescription{};
  return ParseBlockInfo(platform::ReadTextLines(fileName));
}
