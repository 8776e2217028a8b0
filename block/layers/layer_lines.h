#pragma once
// The lines of a layer list as the layer import form edits them: a line is a
// name, "=" and a value (split at the first "=", both parts trimmed), and
// the list is a column of rows with a current one.  Plain functions, so that
// the form only forwards its events here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The line written back from its two parts: name + "=" + value.
std::string LayerLine(const std::string& name, const std::string& value);

// The line a double-clicked file adds: its layer type, "=", and the block
// directory for a file of a block, else the full file name.
std::string LayerLineForFile(const std::string& fileName);

// The block name's last path component (after "/" or "\") up to its first
// "."; empty when it has no ".".
std::string BlockLayerName(const std::string& blockName);

// Each answers the edited line.
std::string ShortenLayerPath(const std::string& line);       // "Zkrátit cestu"
std::string ToggleSubfolderSearch(const std::string& line);  // "+"
std::string WildcardLayerFile(const std::string& line);      // "*"
std::string ToggleIncludeFilter(const std::string& line);    // "!"
std::string ToggleExcludeFilter(const std::string& line);    // "-"
std::string MarkReaderProperty(const std::string& line);     // "@"
std::string MakeKindFilter(const std::string& line);         // "@DRUH="
std::string ToggleUseColor(const std::string& line);         // "@USECOLOR"
std::string ToggleUseSymbol(const std::string& line);        // "@USESYMBOL"
std::string SetLayerSymbol(const std::string& line);         // "@SYMBOL"
std::string SetLayerCondition(const std::string& line);      // "@CONDITION"
// The colour the line's value holds, as the colour dialog starts from it.
std::uint32_t LayerColorOf(const std::string& line);
// "@COLOR" with the colour chosen; a cancelled choice (none) leaves the line.
std::string SetLayerColor(const std::string& line, std::optional<std::uint32_t> chosen);

// The rows of the list and its current row.
struct LayerRows {
  std::vector<std::string> Rows;
  int Current = 0;

  bool HasCurrent() const { return Current >= 0 && Current < static_cast<int>(Rows.size()); }
  // Puts the line into the current row when it is empty, else into the first
  // empty row below it, else into a new last row; answers the row taken.
  int Place(const std::string& line);
  // A new empty row at the current one; the rows from it down move down.
  void InsertRow();
  // The rows below the current one move up and the last row goes; a single
  // row is emptied instead.
  void DeleteRow();
  // The current row changes place with its neighbour; the selection follows.
  void MoveUp();
  void MoveDown();
  // Applies an edit to the current row.
  void Edit(std::string (*edit)(const std::string&));
};
