#pragma once
// Interpret tables: result tools that turn an element into a text value (a
// colour code, a symbol number, a size) for the general interprets.
#include <memory>
#include <string>

#include "framework/core/elements.h"
#include "framework/tools/tools.h"

class TCondition;

// One row of a full table: a compiled condition and the value it gives.
class TITItem : public TOwnerElement {
  KESTX_CLASS(TITItem)
 public:
  TITItem();
  ~TITItem() override;

  std::string Result;

  std::string GetText() const { return text_; }
  // A text with a comma replaces the condition and the value; one without
  // changes nothing.  A condition that does not compile leaves the row with
  // none, which never holds, and is logged.
  void SetText(const std::string& text);
  // Whether the row's condition holds for the element.
  bool Holds(TElement* element) const;

 private:
  std::string text_;
  std::unique_ptr<TCondition> condition_;
};

// Looks up the text of one published property among key-value rows.
class TSimpleInterpretTable : public TResultTool {
  KESTX_CLASS(TSimpleInterpretTable)
 public:
  std::string PropertyName;
  std::string ElseValue;

  // Appends a row "key, value"; a text without a comma adds nothing.
  void SetNextItem(const std::string& text);
  void DoIt() override;
};

// Answers the value of the first row whose condition holds.
class TInterpretTable : public TResultTool {
  KESTX_CLASS(TInterpretTable)
 public:
  std::string ElseValue;

  std::string GetFileName() const { return fileName_; }
  // Reads each line of the file as a row, in order; a missing file adds
  // nothing.
  void SetFileName(const std::string& name);
  void SetNextItem(const std::string& text);
  void DoIt() override;

 private:
  std::string fileName_;
};

// Splits a row at its first comma into the trimmed key and value; false when
// the row has no comma.
bool SplitTableRow(const std::string& row, std::string& key, std::string& value);

void RegisterInterpretTableClasses();
