#pragma once
// Transfer scripts (".TDS"): which fields of a source table, or which
// properties of the exported object, go into which fields of the target.
// One pair per line: the first word is the source, the rest of the line
// the target, both upper-cased.  A source "*NAME" names a property of the
// exported object; a source beginning with ";" is a comment.
#include <string>

#include "framework/core/elements.h"

class TSourTarNames : public TElement {
  KESTX_CLASS(TSourTarNames)
 public:
  std::string Source;
  std::string Target;

  bool IsComment() const { return !Source.empty() && Source.front() == ';'; }
  bool IsProperty() const { return !Source.empty() && Source.front() == '*'; }
  // The property's name of a "*NAME" source.
  std::string PropertyName() const { return IsProperty() ? Source.substr(1) : std::string(); }
};

class TMovedItemContainer : public TEntity {
  KESTX_CLASS(TMovedItemContainer)
 public:
  std::string FileName() const { return fileName_; }
  // Replaces the pairs by those of the file; a missing file leaves none.
  void SetFileName(const std::string& fileName);
  // Reads one line into a pair; false for a line of fewer than two words.
  bool AddLine(const std::string& line);

 private:
  std::string fileName_;
};
