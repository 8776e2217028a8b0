#include "block/layers/layer_import_dialog.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "block/layers/layer_lines.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/forms.h"

namespace {

constexpr const char* kLayout = "TF_layimpForm";
constexpr const char* kGrid = "OutLayers";
constexpr const char* kFiles = "InFile";

struct FileFilter {
  const char* Caption;
  const char* Masks;
};
constexpr FileFilter kFilters[] = {
    {"Lumar objekty", "tn.are;tn.pnt;tn.lin;tn.ttx"},
    {"Rastry", "*.ras;*.rak;*.tif;*.bmp;*.cit"},
    {"Kestu objekty", "*.KES"},
    {"ArcView Shape Files", "*.SHP"},
    {"Microstation DGN", "*.DGN"},
    {"Tabulka *.DBF", "*.DBF"},
    {"Tabulka *.DB", "*.DB"},
    {"ARC ASC", "*.ASC"},
    {"Všechny soubory", "*.*"},
};

using Edit = std::string (*)(const std::string&);

// The edits of the current line, by the buttons and menu items that run them.
struct LineAction {
  const char* Button;  // empty when only the menu has it
  const char* MenuItem;
  Edit Operation;
};
const LineAction kLineActions[] = {
    {"", "mi_ShortenPath", ShortenLayerPath},
    {"bt_Plus", "mi_Plus", ToggleSubfolderSearch},
    {"bt_Star", "mi_Star", WildcardLayerFile},
    {"bt_Include", "mi_Include", ToggleIncludeFilter},
    {"bt_Exclude", "mi_Exclude", ToggleExcludeFilter},
    {"", "mi_At", MarkReaderProperty},
    {"", "mi_Druh", MakeKindFilter},
    {"bt_UseColor", "mi_UseColor", ToggleUseColor},
    {"bt_Symbol", "mi_Symbol", SetLayerSymbol},
    {"bt_UseSymbol", "mi_UseSymbol", ToggleUseSymbol},
    {"bt_Condition", "mi_Condition", SetLayerCondition},
};

// Runs a change of the rows on the grid's rows and current row.
void ChangeRows(platform::Form& form, const std::function<void(LayerRows&)>& change) {
  LayerRows rows{form.GridRows(kGrid), form.CurrentRow(kGrid)};
  change(rows);
  form.SetGridRows(kGrid, rows.Rows);
  if (rows.HasCurrent()) form.SetCurrentRow(kGrid, rows.Current);
}

// The colour dialog starts from the line's colour; cancelling keeps the line.
std::string ChooseLineColor(const std::string& line) {
  std::uint32_t colour = LayerColorOf(line);
  return SetLayerColor(line, platform::ChooseColor(colour) ? std::optional<std::uint32_t>(colour) : std::nullopt);
}

void AddChosenFile(platform::Form& form) {
  const std::string file = form.FileName(kFiles);
  if (file.empty()) return;
  ChangeRows(form, [&](LayerRows& rows) { rows.Place(LayerLineForFile(file)); });
}

void ShowFileSize(platform::Form& form) {
  const std::string file = form.FileName(kFiles);
  form.SetText("lbSize", file.empty() ? std::string() : std::to_string(platform::FileSize(file)));
}

}  // namespace

void TLayerImportDialog::Connect(platform::Form& form) {
  std::vector<std::string> captions;
  for (const FileFilter& filter : kFilters) captions.emplace_back(filter.Caption);
  form.SetItems("InFilter", captions);
  form.SetItemIndex("InFilter", 0);
  form.OnChange("InFilter", [&form] {
    const int index = form.ItemIndex("InFilter");
    if (index >= 0 && index < static_cast<int>(std::size(kFilters))) form.SetFileMask(kFiles, kFilters[index].Masks);
  });
  form.OnChange("InDrive", [&form] { form.SetDirectory("InDir", form.Text("InDrive")); });
  form.OnDirectoryChange("InDir", [&form] { form.SetDirectory(kFiles, form.Directory("InDir")); });
  form.OnClick(kFiles, [&form] { ShowFileSize(form); });
  form.OnDoubleClick(kFiles, [&form] { AddChosenFile(form); });
  form.OnClick("SB_Up", [&form] { ChangeRows(form, [](LayerRows& rows) { rows.MoveUp(); }); });
  form.OnClick("SB_Down", [&form] { ChangeRows(form, [](LayerRows& rows) { rows.MoveDown(); }); });
  form.OnClick("mi_InsertRow", [&form] { ChangeRows(form, [](LayerRows& rows) { rows.InsertRow(); }); });
  form.OnClick("mi_DeleteRow", [&form] { ChangeRows(form, [](LayerRows& rows) { rows.DeleteRow(); }); });
  for (const LineAction& action : kLineActions) {
    const auto run = [&form, edit = action.Operation] { ChangeRows(form, [edit](LayerRows& rows) { rows.Edit(edit); }); };
    if (*action.Button) form.OnClick(action.Button, run);
    form.OnClick(action.MenuItem, run);
  }
  const auto color = [&form] { ChangeRows(form, [](LayerRows& rows) { rows.Edit(ChooseLineColor); }); };
  form.OnClick("bt_Color", color);
  form.OnClick("mi_Color", color);
}

void TLayerImportDialog::DoIt() {
  platform::Form form(kLayout);
  Connect(form);
  const std::string start = !InitialDir.empty() && platform::DirectoryExists(InitialDir) ? InitialDir
                                                                                          : platform::GetCurrentDir();
  form.SetDrive("InDrive", start);
  form.SetDirectory("InDir", start);

  auto* input = DynamicCast<TStringListElement>(Input());
  if (input) {
    std::vector<std::string> rows = form.GridRows(kGrid);
    const std::vector<std::string> values = input->GetValueList();
    if (values.size() > rows.size()) rows.resize(values.size());
    std::copy(values.begin(), values.end(), rows.begin());
    form.SetGridRows(kGrid, rows);
  }
  form.SetCurrentRow(kGrid, 0);

  const std::vector<std::string> rows = form.ShowModal() == platform::mrOk ? form.GridRows(kGrid)
                                                                             : std::vector<std::string>();
  if (!rows.empty()) {
    TElement* old = Input();
    SetInput(nullptr);
    FreeAndNil(old);
    auto* written = CreateElement<TStringListElement>();
    for (const std::string& row : rows) written->NextValue(row);
    SetOutput(written);
    return;
  }
  if (input) input->SplitNameValues();
  SetOutput(Input());
}

TClass TLayerImportDialog::StaticClass() {
  using E = TLayerImportDialog;
  static const TClassInfo info = DescribeClass<E>("TLayerImportDialog", TTool::StaticClass(), "F_layimp",
                                                  {FieldProp("InitialDir", &E::InitialDir)});
  return &info;
}

void RegisterLayerImportDialogClasses() { RegisterKestuClass(TLayerImportDialog::StaticClass()); }
