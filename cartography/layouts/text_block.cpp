#include "cartography/layouts/text_block.h"

#include <algorithm>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

// An item of a string list as one line of text: lists made by scripts may
// hold name=value items.
std::string LineOf(TStringElement& item) {
  if (!item.HasName() || item.GetName().empty()) return item.GetAsString();
  return item.GetAsString().empty() ? item.GetName() : item.GetNameIsValue();
}

std::vector<std::string> LinesOf(TStringListElement& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.GetCount(); ++i)
    if (TStringElement* item = list.GetItem(i)) lines.push_back(LineOf(*item));
  return lines;
}

void Refill(TStringListElement& list, const std::vector<std::string>& lines) {
  list.Clear();
  for (const std::string& line : lines) list.NextValue(line);
}

}  // namespace

TTextBlock::~TTextBlock() {
  TElement* held = lines_;
  ReleaseField(held);
  lines_ = nullptr;
}

TStringListElement* TTextBlock::Lines() {
  if (!lines_) SetLines(new TStringListElement);
  return lines_;
}

void TTextBlock::SetLines(TStringListElement* lines) {
  if (lines == lines_) return;
  TElement* held = lines_;
  HoldInField(held, lines);
  lines_ = static_cast<TStringListElement*>(held);
  Sort();
}

void TTextBlock::FieldElementFreed(TElement* element) {
  if (element == lines_) lines_ = nullptr;
  TText::FieldElementFreed(element);
}

void TTextBlock::SetFileName(const std::string& name) {
  fileName_ = name;
  if (name.empty() || !platform::FileExists(name)) return;
  std::vector<std::string> lines;
  try {
    lines = platform::ReadTextLines(name);
  } catch (const std::exception&) {
    // A file that cannot be read leaves the lines as they are, as a missing one does.
    return;
  }
  Refill(*Lines(), lines);
  Sort();
}

void TTextBlock::SetLinesPlus(TStringListElement* lines) {
  if (!lines_ || !lines || lines_->GetCount() != lines->GetCount()) return;
  std::vector<std::string> own = LinesOf(*lines_);
  const std::vector<std::string> added = LinesOf(*lines);
  if (own.size() != added.size()) return;
  for (std::size_t i = 0; i < own.size(); ++i) own[i] += Delimiter + added[i];
  Refill(*lines_, own);
  Sort();
}

int TTextBlock::LinesCount() const { return lines_ ? lines_->GetCount() : 0; }

void TTextBlock::SetSorted(bool value) {
  sorted_ = value;
  Sort();
}

void TTextBlock::Sort() {
  if (!sorted_ || !lines_) return;
  std::vector<std::string> lines = LinesOf(*lines_);
  std::stable_sort(lines.begin(), lines.end(),
                   [](const std::string& a, const std::string& b) { return platform::AnsiCompareText(a, b) < 0; });
  Refill(*lines_, lines);
}

std::vector<std::string> TTextBlock::LineTexts() { return lines_ ? LinesOf(*lines_) : std::vector<std::string>{}; }

// ---------------------------------------------------------------- descriptions

TClass TTextBlock::StaticClass() {
  using E = TTextBlock;
  static const TClassInfo info = DescribeClass<E>(
      "TTextBlock", TText::StaticClass(), "E_desktp",
      {FieldProp("LineHeight", &E::LineHeight), FieldProp("TextHeight", &E::TextHeight),
       ReadWriteProp("FileName", &E::FileName, &E::SetFileName),
       NotStored(AccessorProp<E, TStringListElement*>(
           "Lines", [](const E& b) { return const_cast<E&>(b).Lines(); },
           [](E& b, TStringListElement* lines) { b.SetLines(lines); })),
       NotStored(WriteProp("LinesPlus", &E::SetLinesPlus)), NotStored(ReadProp("LinesCount", &E::LinesCount)),
       FieldProp("Delimiter", &E::Delimiter), NotStored(ReadWriteProp("Sorted", &E::Sorted, &E::SetSorted))});
  return &info;
}

TClass TCross::StaticClass() {
  using E = TCross;
  static const TClassInfo info = DescribeClass<E>(
      "TCross", TElement::StaticClass(), "E_desktp",
      {FieldProp("Width", &E::Width), FieldProp("Height", &E::Height), FieldProp("Color", &E::Color),
       FieldProp("Size", &E::Size), FieldProp("PenWidth", &E::PenWidth), NotStored(WriteProp("Step", &E::SetStep))});
  return &info;
}

TClass TLines::StaticClass() {
  using E = TLines;
  static const TClassInfo info = DescribeClass<E>("TLines", TElement::StaticClass(), "E_desktp",
                                                  {FieldProp("Width", &E::Width), FieldProp("Height", &E::Height),
                                                   FieldProp("Color", &E::Color), FieldProp("PenWidth", &E::PenWidth)});
  return &info;
}

void RegisterTextBlockClasses() {
  for (TClass cls : {TTextBlock::StaticClass(), TCross::StaticClass(), TLines::StaticClass()}) RegisterKestuClass(cls);
}
