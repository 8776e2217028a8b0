#pragma once
// Small drawables of map sheets: a text block (lines typed in or read from a
// Windows-1250 text file, drawn line under line) and grid marks (crosses, or
// full grid lines, over the whole visible page at a fixed world spacing).
#include <cstdint>
#include <string>
#include <vector>

#include "spatial/geometry/geometry_elements.h"

class TStringListElement;

class TTextBlock : public TText {
  KESTX_CLASS(TTextBlock)
 public:
  ~TTextBlock() override;

  double LineHeight = 0.015;
  double TextHeight = 0.01;
  std::string Delimiter;

  // Made empty on first use; the block owns it.
  TStringListElement* Lines();
  // The old list is freed; the new one takes the sorting setting.
  void SetLines(TStringListElement* lines);
  std::string FileName() const { return fileName_; }
  // A file that exists replaces the lines (one per text line); otherwise the
  // lines stay as they are.
  void SetFileName(const std::string& name);
  // Appends the delimiter and line i of the list to own line i, only when
  // both have as many lines.
  void SetLinesPlus(TStringListElement* lines);
  int LinesCount() const;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  // The lines as texts, in order.
  std::vector<std::string> LineTexts();

 protected:
  void FieldElementFreed(TElement* element) override;

 private:
  void Sort();

  TStringListElement* lines_ = nullptr;
  std::string fileName_;
  bool sorted_ = false;
};

// Crosses at every multiple of Width along X and of Height along Y.
class TCross : public TElement {
  KESTX_CLASS(TCross)
 public:
  double Width = 0;
  double Height = 0;
  TColor Color = 0;
  // An arm's length from end to end.
  double Size = 0;
  double PenWidth = 0;
  void SetStep(double value) { Width = Height = value; }
};

// Vertical lines every Width and horizontal ones every Height.
class TLines : public TElement {
  KESTX_CLASS(TLines)
 public:
  double Width = 0;
  double Height = 0;
  TColor Color = 0;
  std::int32_t PenWidth = 0;
};

void RegisterTextBlockClasses();
