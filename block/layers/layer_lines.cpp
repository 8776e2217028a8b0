#include "block/layers/layer_lines.h"

#include <utility>

#include "block/reading/layer_kinds.h"
#include "framework/core/class_registry.h"

namespace {

struct NameValue {
  std::string Name;
  std::string Value;
};

NameValue Split(const std::string& line) {
  NameValue parts;
  SplitNameValue(line, parts.Name, parts.Value);
  return parts;
}

// Lists made on the other system hold "\", ours "/".
std::size_t LastDelimiter(const std::string& path) { return path.find_last_of("/\\"); }

std::string LastComponent(const std::string& path) {
  const std::size_t at = LastDelimiter(path);
  return at == std::string::npos ? path : path.substr(at + 1);
}

// The extension with its dot, from the last "." of the last component.
std::string Extension(const std::string& path) {
  const std::string name = LastComponent(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool HasPlus(const std::string& value) { return !value.empty() && value.front() == '+'; }

std::string WithoutPlus(const std::string& value) { return HasPlus(value) ? value.substr(1) : value; }

// "!" and "-" in front of the name swap; an empty name takes whenEmpty.
std::string ToggleFilter(const std::string& line, const char* whenEmpty) {
  NameValue parts = Split(line);
  if (parts.Name.empty()) parts.Name = whenEmpty;
  else if (parts.Name.front() == '!') parts.Name.front() = '-';
  else if (parts.Name.front() == '-') parts.Name.front() = '!';
  return LayerLine(parts.Name, parts.Value);
}

std::string WithName(const std::string& line, const char* name) { return LayerLine(name, Split(line).Value); }

std::string ToggleTrue(const std::string& line, const char* name) {
  const std::string value = AsciiUpperCase(Split(line).Value) == "TRUE" ? "FALSE" : "TRUE";
  return LayerLine(name, value);
}

}  // namespace

std::string LayerLine(const std::string& name, const std::string& value) { return name + "=" + value; }

std::string LayerLineForFile(const std::string& fileName) {
  const std::string ext = AsciiUpperCase(Extension(fileName));
  std::string kind;
  LayerKindByExtension(ext, kind);
  if (!IsBlockFileExt(ext)) return LayerLine(kind, fileName);
  const std::size_t at = LastDelimiter(fileName);
  return LayerLine(kind, at == std::string::npos ? std::string() : fileName.substr(0, at));
}

std::string BlockLayerName(const std::string& blockName) {
  const std::string name = LastComponent(blockName);
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string ShortenLayerPath(const std::string& line) {
  const NameValue parts = Split(line);
  const std::string prefix = HasPlus(parts.Value) ? "+" : "";
  return LayerLine(parts.Name, prefix + LastComponent(WithoutPlus(parts.Value)));
}

std::string ToggleSubfolderSearch(const std::string& line) {
  const NameValue parts = Split(line);
  return LayerLine(parts.Name, HasPlus(parts.Value) ? parts.Value.substr(1) : "+" + parts.Value);
}

std::string WildcardLayerFile(const std::string& line) {
  const NameValue parts = Split(line);
  return LayerLine(parts.Name, "*" + Extension(WithoutPlus(parts.Value)));
}

std::string ToggleIncludeFilter(const std::string& line) { return ToggleFilter(line, "!"); }
std::string ToggleExcludeFilter(const std::string& line) { return ToggleFilter(line, "-"); }
std::string MarkReaderProperty(const std::string& line) { return WithName(line, "@"); }
std::string MakeKindFilter(const std::string& line) { return WithName(line, "!DRUH"); }
std::string ToggleUseColor(const std::string& line) { return ToggleTrue(line, "@USECOLOR"); }
std::string ToggleUseSymbol(const std::string& line) { return ToggleTrue(line, "@USESYMBOL"); }
std::string SetLayerSymbol(const std::string&) { return LayerLine("@SYMBOL", "0"); }
std::string SetLayerCondition(const std::string& line) { return WithName(line, "@CONDITION"); }

std::uint32_t LayerColorOf(const std::string& line) {
  return static_cast<std::uint32_t>(TextToInt(Split(line).Value));
}

std::string SetLayerColor(const std::string& line, std::optional<std::uint32_t> chosen) {
  if (!chosen) return line;
  return LayerLine("@COLOR", std::to_string(*chosen));
}

int LayerRows::Place(const std::string& line) {
  const int count = static_cast<int>(Rows.size());
  int row = HasCurrent() ? Current : count;
  while (row < count && !Rows[static_cast<std::size_t>(row)].empty()) ++row;
  if (row == count) Rows.emplace_back();
  Rows[static_cast<std::size_t>(row)] = line;
  return row;
}

void LayerRows::InsertRow() {
  if (!HasCurrent()) return;
  Rows.insert(Rows.begin() + Current, std::string());
}

void LayerRows::DeleteRow() {
  if (!HasCurrent()) return;
  if (Rows.size() == 1) Rows.front().clear();
  else Rows.erase(Rows.begin() + Current);
  if (Current >= static_cast<int>(Rows.size())) Current = static_cast<int>(Rows.size()) - 1;
}

void LayerRows::MoveUp() {
  if (!HasCurrent() || Current == 0) return;
  std::swap(Rows[static_cast<std::size_t>(Current)], Rows[static_cast<std::size_t>(Current - 1)]);
  --Current;
}

void LayerRows::MoveDown() {
  if (!HasCurrent() || Current + 1 >= static_cast<int>(Rows.size())) return;
  std::swap(Rows[static_cast<std::size_t>(Current)], Rows[static_cast<std::size_t>(Current + 1)]);
  ++Current;
}

void LayerRows::Edit(std::string (*edit)(const std::string&)) {
  if (!HasCurrent()) return;
  std::string& row = Rows[static_cast<std::size_t>(Current)];
  row = edit(row);
}
