#include "app/pickers/chosen_element.h"

#include <algorithm>

#include "block/props/lumar_props.h"
#include "block/tables/lumar_dbf_table.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/cell_grid.h"
#include "platform/code_page.h"
#include "platform/dbase_table.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kEditorClass = "TObjectPropertyEditor";
constexpr const char* kGrid = "StringGrid1";
constexpr std::int32_t kNameColumnWidth = 100;
constexpr std::int32_t kPixelsPerCharacter = 10;
constexpr std::size_t kLongestValue = 400;
constexpr std::int32_t kWiderThanValues = 120;
constexpr std::int32_t kMostRows = 20;
constexpr std::int32_t kFrameHeight = 28;

const TLumarProps* BlockPropsOf(const TElement* element) {
  const auto* entity = DynamicCast<TSpaceEntity>(element);
  return entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
}

std::vector<TF_dbfrecForm*>& Windows() {
  static std::vector<TF_dbfrecForm*> windows;
  return windows;
}

}  // namespace

// ---------------------------------------------------------------- TChoicedElementInterpret

void TChoicedElementInterpret::DoIt() {
  TElement* element = Input();
  if (!element) return;
  // What the editor does when it opens may free the element.
  const TElementLink alive(element);
  if (!DontViewProps) OpenPropertyEditor(element);
  if (!DontViewDBF && alive.Get() && BlockPropsOf(element)) OpenRecordWindow(element);
}

void TChoicedElementInterpret::OpenPropertyEditor(TElement* element) {
  // The editor lives among the main tool's tools until its window closes.
  TWorld* world = World();
  TTechnology* mainTool = world ? world->MainTool() : nullptr;
  if (!mainTool) {
    Log(std::string(kEditorClass) + " nelze otevřít bez hlavního nástroje");
    return;
  }
  // A class the registry lacks it reports itself.
  TElement* made = CreateElementByClassName(kEditorClass);
  auto* editor = DynamicCast<TTool>(made);
  if (!editor) {
    delete made;
    return;
  }
  mainTool->AddTool(editor);
  editor->SetInput(element);
  editor->SetPropertyText("Left", std::to_string(Left));
  editor->SetPropertyText("Top", std::to_string(Top));
  editor->DoIt();
}

void TChoicedElementInterpret::OpenRecordWindow(TElement* element) {
  const platform::WaitCursor wait;
  try {
    if (TF_dbfrecForm::ShowRecord(element, Left, Top)) return;
    const TLumarProps* props = BlockPropsOf(element);
    Log("Není nalezen záznam c." + std::to_string(props->Cislo) + " v tabulce " + props->GetDBFName());
  } catch (const platform::EDatabaseError& error) {
    Log(error.what());
  }
}

// ---------------------------------------------------------------- the record window

TRecordWindowSize RecordWindowSize(const std::vector<std::string>& values, std::int32_t rowHeight) {
  std::size_t longest = 0;
  for (const std::string& value : values) longest = std::max(longest, platform::Cp1250Length(value));
  TRecordWindowSize size;
  size.ValueColumnWidth = static_cast<std::int32_t>(std::min(longest, kLongestValue)) * kPixelsPerCharacter;
  size.Width = size.ValueColumnWidth + kWiderThanValues;
  const auto rows = static_cast<std::int32_t>(values.size());
  size.Height = rows >= kMostRows ? kMostRows * rowHeight + kFrameHeight : (rowHeight + 1) * rows + kFrameHeight;
  return size;
}

TF_dbfrecForm::TF_dbfrecForm()
    : window_(std::make_unique<platform::Form>("TF_dbfrecForm")), table_(std::make_unique<TLumarDBFTable>()) {
  window_->OnCloseQuery([this] { return Closing(); });
  Windows().push_back(this);
}

TF_dbfrecForm::~TF_dbfrecForm() { std::erase(Windows(), this); }

const std::vector<TF_dbfrecForm*>& TF_dbfrecForm::OpenWindows() { return Windows(); }

bool TF_dbfrecForm::Closing() {
  if (!closing_) {
    closing_ = true;
    platform::Application::Instance().Invoke([this] { delete this; });
  }
  return true;
}

TF_dbfrecForm* TF_dbfrecForm::ShowRecord(const TElement* element, std::int32_t left, std::int32_t top) {
  std::unique_ptr<TF_dbfrecForm> form(new TF_dbfrecForm);
  if (!form->table_->FindElementRecord(element)) return nullptr;
  const std::vector<std::string> values = form->Fill();
  form->table_->CloseTable();
  platform::Form& window = form->Window();
  const TRecordWindowSize size = RecordWindowSize(values, platform::GridDefaultRowHeight(window, kGrid));
  platform::SetGridColumnWidth(window, kGrid, 0, kNameColumnWidth);
  platform::SetGridColumnWidth(window, kGrid, 1, size.ValueColumnWidth);
  window.SetBounds({left, top, size.Width, size.Height});
  window.Show();
  return form.release();
}

std::vector<std::string> TF_dbfrecForm::Fill() {
  const platform::DbaseTable& table = table_->Table();
  std::vector<std::string> values;
  platform::SetGridSize(*window_, kGrid, table.FieldCount(), 2);
  for (int field = 0; field < table.FieldCount(); ++field) {
    values.push_back(table.GetFieldText(field));
    platform::SetGridCell(*window_, kGrid, field, 0, table.Field(field).Name);
    platform::SetGridCell(*window_, kGrid, field, 1, values.back());
  }
  return values;
}

// ---------------------------------------------------------------- classes

TClass TChoicedElementInterpret::StaticClass() {
  using E = TChoicedElementInterpret;
  static const TClassInfo info =
      DescribeClass<E>("TChoicedElementInterpret", TInterpret::StaticClass(), "T_Select",
                       {FieldProp("DontViewProps", &E::DontViewProps), FieldProp("DontViewDBF", &E::DontViewDBF),
                        FieldProp("Left", &E::Left), FieldProp("Top", &E::Top)});
  return &info;
}

void RegisterChosenElementClasses() { RegisterKestuClass(TChoicedElementInterpret::StaticClass()); }
