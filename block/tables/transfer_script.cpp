#include "block/tables/transfer_script.h"

#include "framework/core/class_registry.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr std::size_t kMaxTarget = 255;

}  // namespace

bool TMovedItemContainer::AddLine(const std::string& line) {
  const std::string text = TrimBlanks(line);
  const std::size_t blank = text.find(' ');
  if (blank == std::string::npos) return false;
  std::string target = platform::Utf8ToCp1250(TrimBlanks(text.substr(blank + 1)));
  if (target.size() > kMaxTarget) target.resize(kMaxTarget);
  target = TrimBlanks(platform::Cp1250ToUtf8(target));
  if (target.empty()) return false;
  auto* pair = new TSourTarNames;
  pair->Source = platform::AnsiUpperCase(text.substr(0, blank));
  pair->Target = platform::AnsiUpperCase(target);
  AddElement(pair);
  return true;
}

void TMovedItemContainer::SetFileName(const std::string& fileName) {
  fileName_ = fileName;
  Clear();
  if (!platform::FileExists(fileName)) return;
  for (const std::string& line : platform::ReadTextLines(fileName)) AddLine(line);
}

TClass TSourTarNames::StaticClass() {
  static const TClassInfo info = DescribeClass<TSourTarNames>("TSourTarNames", TElement::StaticClass(), "T_dbfexp", {});
  return &info;
}

TClass TMovedItemContainer::StaticClass() {
  using E = TMovedItemContainer;
  static const TClassInfo info = DescribeClass<E>("TMovedItemContainer", TEntity::StaticClass(), "T_dbfexp",
                                                  {ReadWriteProp("FileName", &E::FileName, &E::SetFileName)});
  return &info;
}
