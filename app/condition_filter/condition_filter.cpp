#include "app/condition_filter/condition_filter.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "app/condition_filter/condition_text.h"
#include "app/startup/main_tool.h"
#include "cartography/models/model_script_text.h"
#include "cartography/models/script_models.h"
#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/screen.h"
#include "platform/streams.h"
#include "platform/string_grid.h"

namespace {

constexpr const char* kSize = "@_SIZE";
constexpr const char* kLogPrefix = "Filtr podmínek: ";

TStringListElement* NewList(const std::string& name) {
  auto* list = CreateElement<TStringListElement>();
  list->SetName(name);
  return list;
}

// The column lists of a table, without "@_SIZE".
std::vector<TStringListElement*> ColumnLists(TOwnerEntity& table) {
  std::vector<TStringListElement*> lists;
  for (TElement* child : table.Children())
    if (auto* list = DynamicCast<TStringListElement>(child); list && !list->SameNameAs(kSize)) lists.push_back(list);
  return lists;
}

// The list "@_SIZE"; an element of another class by that name is not it.
TStringListElement* SizeList(TOwnerEntity& table) {
  for (TElement* child : table.Children())
    if (auto* list = DynamicCast<TStringListElement>(child); list && list->SameNameAs(kSize)) return list;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- TConditionFilterForm

TConditionFilterForm::TConditionFilterForm() : TKESTUForm("TConditionFilterForm") {
  // OK is the dialog's default button, but Enter in the grid is the grid's
  // key: it is kept from the dialog here, after the grid's own handlers
  // (made below, so asked first) have had it.
  Window().OnEnterKey(kGrid, [] {});
  platform::StringGrid grid(Window(), kGrid);
  // Down or Enter in the last row gives a new empty row to fill.
  grid.OnKeyDown([this](std::uint16_t key, std::uint8_t) {
    platform::StringGrid cells(Window(), kGrid);
    if ((key == platform::vkDown || key == platform::vkReturn) && cells.Row() == cells.RowCount() - 1)
      cells.AppendRow();
  });
  Window().OnModalButton([this](int result) {
    if (result != platform::mrOk) return true;
    const std::string refusal = Refusal();
    if (refusal.empty()) return true;
    platform::ShowMessage(refusal);
    return false;
  });
}

std::vector<std::string> TConditionFilterForm::Columns() {
  platform::StringGrid grid(Window(), kGrid);
  std::vector<std::string> columns;
  for (int col = 0; col < grid.ColCount(); ++col) columns.push_back(grid.Cell(col, 0));
  return columns;
}

std::vector<std::vector<std::string>> TConditionFilterForm::CompleteRows() {
  platform::StringGrid grid(Window(), kGrid);
  std::vector<std::vector<std::string>> rows;
  for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
    std::vector<std::string> cells;
    for (int col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
    if (!cells.empty() && std::none_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); }))
      rows.push_back(std::move(cells));
  }
  return rows;
}

std::string TConditionFilterForm::Refusal() {
  platform::StringGrid grid(Window(), kGrid);
  const std::vector<std::string> columns = Columns();
  for (int row = grid.FixedRows(); row < grid.RowCount(); ++row) {
    bool complete = true;
    for (int col = 0; col < grid.ColCount(); ++col) complete = complete && !grid.Cell(col, row).empty();
    if (!complete) continue;  // dropped, whatever it holds
    for (int col = 0; col < grid.ColCount(); ++col) {
      const std::string why = UnquotableCell(columns[static_cast<std::size_t>(col)], row, grid.Cell(col, row));
      if (!why.empty()) return why;
    }
  }
  return {};
}

TClass TConditionFilterForm::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TConditionFilterForm>("TConditionFilterForm", TKESTUForm::StaticClass(), "f_CondFilter", {});
  return &info;
}

// ---------------------------------------------------------------- TConditionFilterDialog

void TConditionFilterDialog::SetData(TElement* data) { SetLinkedElement(data_, data); }

TOwnerEntity* TConditionFilterDialog::Conditions() const { return static_cast<TOwnerEntity*>(conditions_.Get()); }

void TConditionFilterDialog::SetConditions(TOwnerEntity* conditions) { SetLinkedElement(conditions_, conditions); }

std::string TConditionFilterDialog::TableFileName() { return ProgramDirectory() + "ConditionFilter.kes"; }

std::vector<std::string> TConditionFilterDialog::ColumnNames() const {
  std::vector<std::string> names;
  if (TrimBlanks(FilterProperties).empty()) return names;
  std::string rest = FilterProperties;
  for (std::size_t comma = rest.find(','); comma != std::string::npos; comma = rest.find(',')) {
    names.push_back(TrimBlanks(rest.substr(0, comma)));
    rest.erase(0, comma + 1);
  }
  names.push_back(TrimBlanks(rest));
  return names;
}

TOwnerEntity* TConditionFilterDialog::FreshConditions() const {
  auto* table = CreateElement<TOwnerEntity>();
  table->SetName(FilterProperties);
  for (const std::string& name : ColumnNames()) table->AddElement(NewList(name));
  table->AddElement(NewList(kSize));
  return table;
}

void TConditionFilterDialog::LoadConditions() {
  const std::string file = TableFileName();
  if (!platform::FileExists(file)) return SetConditions(FreshConditions());
  std::unique_ptr<TElement> loaded;
  try {
    TLoad loader;
    loader.FileName = file;
    loader.DoIt();
    loaded.reset(loader.Output());
  } catch (const std::exception& error) {
    Log(kLogPrefix + std::string("soubor ") + file + " nelze přečíst (" + error.what() + "), tabulka je nová");
    return SetConditions(FreshConditions());
  }
  auto* table = DynamicCast<TOwnerEntity>(loaded.get());
  // A table saved for other columns is another filter's: left as it is.
  if (table && !table->SameNameAs(FilterProperties)) return SetConditions(FreshConditions());
  const std::vector<std::string> names = ColumnNames();
  std::vector<TStringListElement*> lists = table ? ColumnLists(*table) : std::vector<TStringListElement*>{};
  bool fits = table && lists.size() == names.size();
  for (std::size_t i = 0; fits && i < names.size(); ++i) fits = lists[i]->SameNameAs(names[i]);
  if (!fits) {
    Log(kLogPrefix + std::string("soubor ") + file + " neobsahuje tabulku sloupců " + FilterProperties +
        ", tabulka je nová");
    return SetConditions(FreshConditions());
  }
  std::size_t longest = 0;
  for (TStringListElement* list : lists) longest = std::max(longest, static_cast<std::size_t>(list->GetCount()));
  bool padded = false;
  for (TStringListElement* list : lists)
    for (auto count = static_cast<std::size_t>(list->GetCount()); count < longest; ++count, padded = true)
      list->NextValue("");
  if (padded) Log(kLogPrefix + std::string("sloupce tabulky nebyly stejně dlouhé, doplněny prázdnými hodnotami"));
  if (!SizeList(*table)) {
    Log(kLogPrefix + std::string("tabulka nemá rozměry okna, okno má své výchozí"));
    table->AddElement(NewList(kSize));
  }
  SetConditions(static_cast<TOwnerEntity*>(loaded.release()));
}

void TConditionFilterDialog::FillForm(TConditionFilterForm& form) {
  TOwnerEntity& table = *Conditions();
  TStringListElement& size = *SizeList(table);
  platform::Form& window = form.Window();
  platform::Bounds bounds = window.GetBounds();
  int* place[] = {&bounds.Left, &bounds.Top, &bounds.Width, &bounds.Height};
  const char* names[] = {"LEFT", "TOP", "WIDTH", "HEIGHT"};
  for (int i = 0; i < 4; ++i)
    if (const int value = size.GetIntegerByName(names[i]); value > 0) *place[i] = value;
  window.SetBounds(platform::FitOnScreen(bounds));
  const std::vector<TStringListElement*> lists = ColumnLists(table);
  platform::StringGrid grid(window, TConditionFilterForm::kGrid);
  grid.SetColCount(static_cast<int>(lists.size()));
  const int values = lists.empty() ? 0 : lists.front()->GetCount();
  // One empty row to fill even when the table holds none.
  grid.SetRowCount(std::max(values + 1, 2));
  for (std::size_t c = 0; c < lists.size(); ++c) {
    const int col = static_cast<int>(c);
    grid.SetCell(col, 0, lists[c]->GetName());
    for (int row = 1; row < grid.RowCount(); ++row)
      grid.SetCell(col, row, row <= lists[c]->GetCount() ? lists[c]->GetValue(row - 1) : std::string());
    if (const int width = size.GetIntegerByName(lists[c]->GetName() + "_Width"); width > 0)
      grid.SetColWidth(col, width);
  }
}

void TConditionFilterDialog::TakeForm(TConditionFilterForm& form) {
  TOwnerEntity* table = FreshConditions();
  SetConditions(table);
  const std::vector<TStringListElement*> lists = ColumnLists(*table);
  if (lists.empty()) return;
  const std::vector<std::vector<std::string>> rows = form.CompleteRows();
  for (const auto& row : rows)
    for (std::size_t c = 0; c < lists.size() && c < row.size(); ++c) lists[c]->NextValue(row[c]);
  TStringListElement& size = *SizeList(*table);
  const platform::Bounds bounds = form.Window().GetBounds();
  size.SetIntegerByName("LEFT", bounds.Left);
  size.SetIntegerByName("TOP", bounds.Top);
  size.SetIntegerByName("WIDTH", bounds.Width);
  size.SetIntegerByName("HEIGHT", bounds.Height);
  platform::StringGrid grid(form.Window(), TConditionFilterForm::kGrid);
  const std::vector<std::string> columns = form.Columns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    size.SetIntegerByName(columns[c] + "_Width", grid.ColWidth(static_cast<int>(c)));
  // The grid shows what was taken: incomplete rows are gone.
  FillForm(form);
  Condition = ConditionText(form.Columns(), form.CompleteRows());
}

void TConditionFilterDialog::SaveConditions() {
  const std::string file = TableFileName();
  try {
    TSave saver;
    saver.FileName = file;
    saver.SetInput(Conditions());
    saver.DoIt();
  } catch (const std::exception& error) {
    Log(kLogPrefix + std::string("tabulku nelze uložit do ") + file + " (" + error.what() + ")");
  }
}

void TConditionFilterDialog::BuildModel() {
  std::unique_ptr<TModelScriptCreator> creator(CreateElement<TModelScriptCreator>());
  creator->DataDirectory = DataDirectory;
  creator->SetNextLayer(LayerDescription);
  creator->SetNextLayerProperty(Condition);
  creator->DoIt();
  std::unique_ptr<TElement> script(creator->Output());
  std::unique_ptr<TModelByScriptCreator> builder(CreateElement<TModelByScriptCreator>());
  builder->SetInput(script.get());
  builder->DoIt();
  SetData(builder->Output());
}

void TConditionFilterDialog::InsertModel() {
  auto* entity = DynamicCast<TEntity>(Input());
  TElement* data = GetData();
  if (!entity || !data) return;
  // A negative index would insert before the list: it appends, as an index
  // beyond the last does.
  if (!entity->IsEmpty() && DataIndex >= 0 && entity->GetCount() - 1 >= DataIndex)
    entity->InsertElement(DataIndex, data);
  else
    entity->AddElement(data);
}

void TConditionFilterDialog::DoIt() {
  // A program's thread may run the dialog: it is made and shown on the
  // user-interface thread only.
  platform::Application& application = platform::Application::Instance();
  if (!application.IsUiThread()) return application.Call([this] { DoIt(); });
  TTool::DoIt();
  for (const std::string& name : ColumnNames()) {
    if (IsConditionPropertyName(name)) continue;
    Log(kLogPrefix + std::string("sloupec \"") + name + "\" není jméno vlastnosti, filtr se nespustí");
    return;
  }
  LoadConditions();
  const auto form = std::make_unique<TConditionFilterForm>();
  form->SetTool(this);
  FillForm(*form);
  if (form->Window().ShowModal() != platform::mrOk) return;
  TakeForm(*form);
  SaveConditions();
  BuildModel();
  InsertModel();
}

TClass TConditionFilterDialog::StaticClass() {
  using E = TConditionFilterDialog;
  static const TClassInfo info = DescribeClass<E>(
      "TConditionFilterDialog", TTool::StaticClass(), "d_CondFilter",
      {FieldProp("LayerDescription", &E::LayerDescription), FieldProp("FilterProperties", &E::FilterProperties),
       FieldProp("FileName", &E::FileName), ReadWriteProp("Data", &E::GetData, &E::SetData),
       FieldProp("Condition", &E::Condition), FieldProp("DataDirectory", &E::DataDirectory),
       FieldProp("DataIndex", &E::DataIndex)});
  return &info;
}

void RegisterConditionFilterClasses() { RegisterKestuClass(TConditionFilterDialog::StaticClass()); }
