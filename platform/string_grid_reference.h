#pragma once
// A grid filled by plain Qt code: the yardstick the property editor's speed
// is measured against.
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// A two-column table of plain Qt.
class QtTable {
 public:
  QtTable();
  ~QtTable();
  QtTable(const QtTable&) = delete;
  QtTable& operator=(const QtTable&) = delete;

  // One row per pair, the table shown, then the same texts again in the
  // same rows: what the editor does at its first fill and a refill.
  void FillAndRefill(const std::vector<std::pair<std::string, std::string>>& rows);
  // Whether the table shows as a window of its own, and its texts row by row.
  bool Shown() const;
  std::vector<std::vector<std::string>> Cells() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
