#include "render/tool_forms/property_editor.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/string_grid.h"
#include "platform/tab_pages.h"
#include "render/tool_forms/explorer.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/objects/properties.h"

namespace {

constexpr const char* kPages = "PageControl";
constexpr const char* kButtons[] = {"btExplore", "btZobraz", "btOwners"};

// The framework base class an element's first page is named after: the
// nearest of these, tried in this order.
TClass FrameworkBaseOf(const TObject& object) {
  const TClass bases[] = {TOwnerEntity::StaticClass(), TNameEntity::StaticClass(),   TEntity::StaticClass(),
                          TOwnerElement::StaticClass(), TNameElement::StaticClass(), TElement::StaticClass()};
  for (TClass base : bases)
    if (object.InheritsFrom(base)) return base;
  return nullptr;
}

// What a class-typed property shows: the object it holds.
std::string HeldObjectText(const TObject& object, const TPropInfo& info) {
  const TObject* held = info.GetObj ? info.GetObj(object) : nullptr;
  if (!held) return "nil";
  if (const auto* element = DynamicCast<TElement>(held)) return element->GetName();
  return held->ClassName();
}

}  // namespace

// ---------------------------------------------------------------- TFProp

TFProp::TFProp() : TKESTUForm("TFProp") {
  platform::Form& window = Window();
  for (const char* name : kGrids) {
    const std::string grid = name;
    platform::StringGrid cells(window, grid);
    cells.OnMouse([this, grid](platform::MouseAction action, const platform::MouseInput& input) {
      GridMouse(grid, action, input);
    });
    cells.OnDoubleClick([this, grid] {
      int col = -1, row = -1;
      platform::StringGrid(Window(), grid).MouseToCell(mouseX_, mouseY_, col, row);
      PostEdit(col, row);
    });
    // Enter confirms the cell the user is in, which the keys may have moved
    // away from the last mouse point.
    cells.OnKeyDown([this, grid](std::uint16_t key, std::uint8_t) {
      if (key != platform::vkReturn) return;
      platform::StringGrid current(Window(), grid);
      PostEdit(current.Col(), current.Row());
    });
    // The names are not for editing: their cells cannot be selected.
    cells.OnSelectCell([](int col, int) { return col != 0; });
    cells.OnColumnResized([this](int) { FitColumns(); });
  }
  window.OnResize([this] { FitColumns(); });
  window.OnClick("btExplore", [this] { PostToMainTool(msgOpenExplorer); });
  window.OnClick("btZobraz", [this] { PostToMainTool(msgOpenGraphicWindow); });
  window.OnClick("btOwners", [this] { PostToMainTool(msgOpenOwnersExplorer); });
  // Closing frees the window, and the editor with it.
  window.OnCloseQuery([this] {
    if (TTool* tool = Tool()) PostKestuMessage(new TKestuMessage(msgToolClosed, tool, tool, nullptr, false));
    return true;
  });
}

std::string TFProp::CurrentGrid() const {
  const int page = platform::TabPages(const_cast<TFProp*>(this)->Window(), kPages).ActivePage();
  return kGrids[page < 0 ? 1 : page];
}

int TFProp::SelectedRow() const {
  // Each page's grid keeps its own current row: one row shared by the three
  // grids sent an edit to the row last chosen on another page.
  return platform::StringGrid(const_cast<TFProp*>(this)->Window(), CurrentGrid()).Row();
}

void TFProp::FitColumns() {
  platform::StringGrid grid(Window(), CurrentGrid());
  grid.SetColWidth(1, grid.ClientWidth() - grid.ColWidth(0) - 1);
}

void TFProp::GridMouse(const std::string& grid, platform::MouseAction action, const platform::MouseInput& input) {
  if (action == platform::MouseAction::Move) return;
  mouseX_ = input.X;
  mouseY_ = input.Y;
  if (action == platform::MouseAction::Up && grid == CurrentGrid()) FitColumns();
}

void TFProp::PostEdit(int col, int row) {
  if (TTool* tool = Tool())
    PostKestuMessage(new TKestuMouseEvent(msgPropertyEdit, tool, tool, 0, 0, row, col, true));
}

void TFProp::PostToMainTool(int code) {
  auto* editor = DynamicCast<TObjectPropertyEditor>(Tool());
  auto* element = editor ? DynamicCast<TElement>(editor->Edited()) : nullptr;
  TWorld* world = World();
  if (element && world) editor->PostMessage(code, world->MainTool(), element, false);
}

// ---------------------------------------------------------------- TObjectPropertyEditor

struct TObjectPropertyEditor::Watched {
  std::mutex lock;
  std::uint32_t handle = 0;
  bool closing = false;
  TElementLink editor;
};

TObjectPropertyEditor::TObjectPropertyEditor() : watched_(std::make_shared<Watched>()) {
  watched_->editor.Set(this);
  // The edited element freed: the editor closes once, before it reads anything.
  watcher_ = WatchFreedHandles([watched = watched_](std::uint32_t handle) {
    std::lock_guard guard(watched->lock);
    if (watched->closing || handle == 0 || handle != watched->handle) return;
    if (TElement* editor = watched->editor.Get()) {
      watched->closing = true;
      PostKestuMessage(new TKestuMessage(msgToolClosed, editor, editor, nullptr, false));
    }
  });
}

TObjectPropertyEditor::~TObjectPropertyEditor() { UnwatchFreedHandles(watcher_); }

TFProp* TObjectPropertyEditor::Form() {
  if (!form_) {
    form_ = std::make_unique<TFProp>();
    form_->SetTool(this);
  }
  return form_.get();
}

std::int32_t TObjectPropertyEditor::GetLeft() { return Form()->Window().GetBounds().Left; }
std::int32_t TObjectPropertyEditor::GetTop() { return Form()->Window().GetBounds().Top; }
std::int32_t TObjectPropertyEditor::GetWidth() { return Form()->Window().GetBounds().Width; }
std::int32_t TObjectPropertyEditor::GetHeight() { return Form()->Window().GetBounds().Height; }
void TObjectPropertyEditor::SetLeft(std::int32_t value) { ChangeFormBounds(Form(), [&](auto& b) { b.Left = value; }); }
void TObjectPropertyEditor::SetTop(std::int32_t value) { ChangeFormBounds(Form(), [&](auto& b) { b.Top = value; }); }
void TObjectPropertyEditor::SetWidth(std::int32_t value) {
  ChangeFormBounds(Form(), [&](auto& b) { b.Width = value; });
}
void TObjectPropertyEditor::SetHeight(std::int32_t value) {
  ChangeFormBounds(Form(), [&](auto& b) { b.Height = value; });
}
std::string TObjectPropertyEditor::GetCaption() { return Form()->Window().Caption(); }
void TObjectPropertyEditor::SetCaption(const std::string& caption) { Form()->Window().SetCaption(caption); }

void TObjectPropertyEditor::SetInput(TElement* element) {
  TTool::SetInput(element);
  path_.clear();
  const std::uint32_t handle = HandleOfElement(element);
  std::lock_guard guard(watched_->lock);
  watched_->handle = handle;
}

void TObjectPropertyEditor::SetHeldObject(TElement* holder, std::vector<std::string> path) {
  SetInput(holder);
  path_ = std::move(path);
}

TObject* TObjectPropertyEditor::Edited() const {
  TObject* object = Input();
  for (const std::string& property : path_) {
    if (!object) break;
    object = GetObjectPropByName(*object, property);
  }
  return DynamicCast<TPersistent>(object);
}

int TObjectPropertyEditor::ElementPropertyCount() const {
  const TObject* object = Edited();
  const TClass base = object && DynamicCast<TElement>(object) ? FrameworkBaseOf(*object) : nullptr;
  return base ? static_cast<int>(base->Props().size()) : 0;
}

void TObjectPropertyEditor::DoIt() {
  // A program's thread may run the editor: windows are made and shown on the
  // user-interface thread only.
  platform::Application& application = platform::Application::Instance();
  if (!application.IsUiThread()) return application.Call([this] { DoIt(); });
  TTool::DoIt();
  TObject* object = Edited();
  if (!object) return;
  properties_ = std::make_unique<TInstanceProperties>();
  properties_->SetInstance(object);
  platform::Form& window = Form()->Window();
  window.SetText("lbClassName", properties_->GetPropertyText("NAME") + " : " + object->ClassName());
  platform::TabPages pages(window, kPages);
  pages.SetPageVisible(0, true);
  const bool element = DynamicCast<TElement>(object) != nullptr;
  if (element) pages.SetPageCaption(0, FrameworkBaseOf(*object)->ClassName);
  else pages.SetPageVisible(0, false);
  // The buttons hand the object to the main tool, which takes elements only.
  for (const char* button : kButtons) window.SetEnabled(button, element);
  Refilling = false;
  Fill();
  window.Show();
}

void TObjectPropertyEditor::Fill() {
  TObject* object = Edited();
  if (!object || !properties_) return;
  if (properties_->Instance() != object) properties_->SetInstance(object);
  const bool element = DynamicCast<TElement>(object) != nullptr;
  const int elementCount = ElementPropertyCount();
  // The properties are read through their descriptors, in the order the
  // bound Properties number them, without selecting each.
  std::vector<std::pair<std::string, std::string>> rows[3];
  const std::vector<const TPropInfo*>& props = object->ClassType()->Props();
  for (int i = 0; i < static_cast<int>(props.size()); ++i) {
    const TPropInfo& info = *props[static_cast<std::size_t>(i)];
    std::string value;
    if (info.Kind == tkClass) value = HeldObjectText(*object, info);
    else PropInfoToText(*object, &info, value);
    const int grid = element && i < elementCount ? 0 : info.Kind == tkMethod ? 2 : 1;
    rows[grid].emplace_back(info.Name, std::move(value));
  }
  // The first fill appends to the grid's one empty row, a refill writes the
  // same rows again from the top: either way one row per property.
  platform::Form& window = Form()->Window();
  for (int g = 0; g < 3; ++g) {
    platform::StringGrid grid(window, TFProp::kGrids[g]);
    const int count = static_cast<int>(rows[g].size());
    grid.SetRowCount(std::max(count, 1));
    if (count == 0) {
      grid.SetCell(0, 0, "");
      grid.SetCell(1, 0, "");
    }
    for (int row = 0; row < count; ++row) {
      grid.SetCell(0, row, rows[g][static_cast<std::size_t>(row)].first);
      grid.SetCell(1, row, rows[g][static_cast<std::size_t>(row)].second);
    }
  }
  Refilling = true;
}

void TObjectPropertyEditor::EditCell(int col) {
  if (col <= 0 || !properties_ || !form_) return;
  TObject* object = Edited();
  if (!object) return;
  if (properties_->Instance() != object) properties_->SetInstance(object);
  platform::StringGrid grid(form_->Window(), form_->CurrentGrid());
  const int row = form_->SelectedRow();
  if (row < 0 || row >= grid.RowCount()) return;
  const std::string name = grid.Cell(0, row);
  const std::string text = grid.Cell(1, row);
  properties_->SetPropName(name);
  const TProperty* property = properties_->ActualProperty();
  if (!property || name.empty() || AsciiUpperCase(property->GetName()) != AsciiUpperCase(name)) return;
  const TElementLink self(this);
  if (property->TypeKind() == tkClass) OpenNested(property->GetName());
  else SetPropInfoFromEntry(object, property->Info(), text);
  // Writing may have freed the object, or this editor with it.
  if (self.Get()) Fill();
}

void TObjectPropertyEditor::OpenNested(const std::string& property) {
  TObject* object = Edited();
  TObject* held = object ? DynamicCast<TPersistent>(GetObjectPropByName(*object, property)) : nullptr;
  if (!held) return;
  auto* nested = new TObjectPropertyEditor;
  // The main tool keeps the editors it did not make itself as well, so that
  // none outlives the program's tools.
  TWorld* world = World();
  if (auto* main = world ? DynamicCast<TTechnology>(world->MainTool()) : nullptr) main->AddTool(nested);
  if (auto* element = DynamicCast<TElement>(held)) {
    nested->SetInput(element);
  } else {
    std::vector<std::string> path = path_;
    path.push_back(property);
    nested->SetHeldObject(Input(), std::move(path));
  }
  nested->DoIt();
}

void TObjectPropertyEditor::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  const TElementLink self(this);
  TTool::ReceiveMessage(message, handled);
  if (!self.Get() || handled || !message) return;
  if (message->Message == msgPropertyEdit) {
    const auto* edit = DynamicCast<TKestuMouseEvent>(message);
    EditCell(edit ? edit->Y : 0);
    handled = true;
  }
}

void TObjectPropertyEditor::ToolClosed(TKestuMessage*, bool& handled) {
  handled = true;
  DisposeElement(this);
}

TClass TFProp::StaticClass() {
  static const TClassInfo info = DescribeClass<TFProp>("TFProp", TKESTUForm::StaticClass(), "f_Prop", {});
  return &info;
}

TClass TObjectPropertyEditor::StaticClass() {
  using E = TObjectPropertyEditor;
  static const TClassInfo info = DescribeClass<E>(
      "TObjectPropertyEditor", TTool::StaticClass(), "t_ObjectPropertyEditor",
      {NotStored(AccessorProp<E, TFProp*>("Form", [](const E& e) { return const_cast<E&>(e).Form(); }, nullptr)),
       AccessorProp<E, std::int32_t>(
           "Left", [](const E& e) { return const_cast<E&>(e).GetLeft(); }, [](E& e, std::int32_t v) { e.SetLeft(v); }),
       AccessorProp<E, std::int32_t>(
           "Top", [](const E& e) { return const_cast<E&>(e).GetTop(); }, [](E& e, std::int32_t v) { e.SetTop(v); }),
       AccessorProp<E, std::int32_t>(
           "Width", [](const E& e) { return const_cast<E&>(e).GetWidth(); },
           [](E& e, std::int32_t v) { e.SetWidth(v); }),
       AccessorProp<E, std::int32_t>(
           "Height", [](const E& e) { return const_cast<E&>(e).GetHeight(); },
           [](E& e, std::int32_t v) { e.SetHeight(v); }),
       AccessorProp<E, std::string>(
           "Caption", [](const E& e) { return const_cast<E&>(e).GetCaption(); },
           [](E& e, std::string v) { e.SetCaption(v); })});
  return &info;
}

void RegisterPropertyEditorClasses() { RegisterKestuClass(TObjectPropertyEditor::StaticClass()); }
