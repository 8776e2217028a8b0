#pragma once
// Lists of the lines that bound areas and of the areas inside an area's
// holes: the area export and the editing tools work from them.
#include <memory>
#include <unordered_map>

#include "framework/tools/tools.h"

class TAreaElement;
class TAreaString;

// Collects lines into Lines, each once.
class TExtractAnyLines : public TTool {
  KESTX_CLASS(TExtractAnyLines)
 public:
  // A new line string on first read; a child of the tool.
  TElement* GetLines();
  void SetLines(TElement* Lines);
  // Works on the same list (and its index) as another extractor.
  void ShareLines(TExtractAnyLines& other);

  // The line's index in Lines; a line not there yet is added.
  virtual int AddLine(TElement* Line);

 private:
  // Where each listed line stands, shared by the extractors of one list so
  // that no line is searched for in a long list.
  struct TIndex {
    TElementLink list;
    std::unordered_map<const TElement*, int> at;
  };
  TIndex& Index();

  std::shared_ptr<TIndex> index_;
};

class TExtractAnyLinesForArea : public TExtractAnyLines {
  KESTX_CLASS(TExtractAnyLinesForArea)
};

// The boundary lines of the input area.
class TExtractBounderyLinesForArea : public TExtractAnyLinesForArea {
  KESTX_CLASS(TExtractBounderyLinesForArea)
 public:
  void DoIt() override;
};

// The boundary lines of the input area's holes.
class TExtractHolesLinesForArea : public TExtractAnyLinesForArea {
  KESTX_CLASS(TExtractHolesLinesForArea)
 public:
  void DoIt() override;
};

// The boundary lines of every area of the input.
class TExtractLinesForAreas : public TExtractAnyLines {
  KESTX_CLASS(TExtractLinesForAreas)
 public:
  void DoIt() override;
  virtual void ExtractForArea(TElement* Area);
};

// The areas inside the holes of the input area: the areas that share a line
// with one of its holes, each once.
class TExtractSubAreasForArea : public TTool {
  KESTX_CLASS(TExtractSubAreasForArea)
 public:
  // A new area list on first read; a child of the tool.
  TAreaString* GetSubAreas();
  void SetSubAreas(TAreaString* list);
  // When set, only areas of this list are taken.
  TElement* GetAreaString() const { return areaString_.Get(); }
  void SetAreaString(TElement* list) { areaString_.Set(list); }

  void DoIt() override;

 private:
  TElementLink subAreas_;
  TElementLink areaString_;
};

void RegisterAreaExtractionClasses();
