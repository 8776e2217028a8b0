#include "cartography/symbology/interpret_tables.h"

#include <stdexcept>

#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/values/typed_values.h"
#include "platform/files.h"
#include "platform/streams.h"

bool SplitTableRow(const std::string& row, std::string& key, std::string& value) {
  const std::size_t comma = row.find(',');
  if (comma == std::string::npos) return false;
  key = TrimBlanks(row.substr(0, comma));
  value = TrimBlanks(row.substr(comma + 1));
  return true;
}

// ---------------------------------------------------------------- TITItem

TITItem::TITItem() = default;
TITItem::~TITItem() = default;

void TITItem::SetText(const std::string& text) {
  std::string source, value;
  if (!SplitTableRow(text, source, value)) return;
  condition_.reset();
  text_ = text;
  Result = value;
  SetName(text);
  TCondCreator creator;
  try {
    condition_.reset(CompileCondition(creator, source));
  } catch (const SyntaxExcept& error) {
    // A row without a condition never holds; the table's other rows still
    // serve, so the row is reported rather than the whole table refused.
    PostTextMessage(this, msgLogText, "Chybná podmínka v tabulce interpretace: " + text + " (" + error.what() + ")",
                    nullptr);
  }
}

bool TITItem::Holds(TElement* element) const { return condition_ && ConditionHolds(*condition_, element); }

TClass TITItem::StaticClass() {
  using E = TITItem;
  static const TClassInfo info =
      DescribeClass<TITItem>("TITItem", TOwnerElement::StaticClass(), "InterpretTables",
                             {FieldProp("Result", &E::Result), ReadWriteProp("Text", &E::GetText, &E::SetText)});
  return &info;
}

// ----------------------------------------------------------------
// TSimpleInterpretTable

void TSimpleInterpretTable::SetNextItem(const std::string& text) {
  std::string key, value;
  if (SplitTableRow(text, key, value)) AddElement(TStringElement::CreateNameValue(key, value));
}

void TSimpleInterpretTable::DoIt() {
  if (PropertyName.empty()) return;
  Result = ElseValue;
  TElement* input = Input();
  if (!input) return;
  if (TElement* row = FindElementByName(input->GetPropertyText(PropertyName)))
    if (auto* value = DynamicCast<TStringElement>(row)) Result = value->GetAsString();
}

TClass TSimpleInterpretTable::StaticClass() {
  using E = TSimpleInterpretTable;
  static const TClassInfo info = DescribeClass<TSimpleInterpretTable>(
      "TSimpleInterpretTable", TResultTool::StaticClass(), "InterpretTables",
      {FieldProp("PropertyName", &E::PropertyName), FieldProp("ElseValue", &E::ElseValue),
       NotStored(WriteProp("NextItem", &E::SetNextItem))});
  return &info;
}

// ----------------------------------------------------------------
// TInterpretTable

void TInterpretTable::SetFileName(const std::string& name) {
  fileName_ = name;
  const std::string file = platform::FindFileAnyCase(name);
  if (!platform::FileExists(file)) return;
  for (const std::string& line : platform::ReadTextLines(file)) SetNextItem(line);
}

void TInterpretTable::SetNextItem(const std::string& text) {
  // A row without a comma has no condition to test: it is ignored.
  if (text.find(',') == std::string::npos) return;
  auto* item = new TITItem;
  AddElement(item);
  item->SetText(text);
}

void TInterpretTable::DoIt() {
  Result = ElseValue;
  if (!Input()) return;
  for (TElement* child : Children())
    if (auto* item = DynamicCast<TITItem>(child); item && item->Holds(Input())) {
      Result = item->Result;
      return;
    }
}

TClass TInterpretTable::StaticClass() {
  using E = TInterpretTable;
  static const TClassInfo info = DescribeClass<TInterpretTable>(
      "TInterpretTable", TResultTool::StaticClass(), "InterpretTables",
      // The rows are kept with the table; a name kept beside them would read
      // the file into it once more on every load.  The name is kept only while
      // no row stands for what the file held.
      {StoredWhen(ReadWriteProp("FileName", &E::GetFileName, &E::SetFileName),
                  [](const TObject& table) { return static_cast<const E&>(table).IsEmpty(); }),
       FieldProp("ElseValue", &E::ElseValue),
       NotStored(WriteProp("NextItem", &E::SetNextItem))});
  return &info;
}

void RegisterInterpretTableClasses() {
  for (TClass cls : {TITItem::StaticClass(), TSimpleInterpretTable::StaticClass(), TInterpretTable::StaticClass()})
    RegisterKestuClass(cls);
}
