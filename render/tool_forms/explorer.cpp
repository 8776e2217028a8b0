#include "render/tool_forms/explorer.h"

#include <mutex>
#include <unordered_set>
#include <utility>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/system_register.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "framework/values/inheritance_models.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "render/tool_forms/element_watch.h"

namespace {

constexpr const char* kTree = "tv_Tree";
constexpr const char* kList = "lv_List";

// The user's actions run inside the window system's event handling, which an
// exception must not cross: an element that cannot be read (a table of a
// kind the engine does not serve) is reported in a message box instead.
template <class Action>
auto Guarded(Action action) {
  return [action](auto... arguments) {
    try {
      action(arguments...);
    } catch (const std::exception& error) {
      platform::ShowMessage(error.what());
    }
  };
}

TEntity* NonEmptyEntity(TElement* element) {
  auto* entity = DynamicCast<TEntity>(element);
  return entity && !entity->IsEmpty() ? entity : nullptr;
}

}  // namespace

// Changes of a tree made by the program, not the user: drawn once at the end
// and not taken for a new selection; undone also when reading an element
// fails half way.
class TreeFill {
 public:
  TreeFill(TExplorerForm& form, const char* control) : form_(form), control_(control), was_(form.filling_) {
    form_.filling_ = true;
    form_.Window().TreeBeginUpdate(control_);
  }
  ~TreeFill() {
    form_.Window().TreeEndUpdate(control_);
    form_.filling_ = was_;
  }
  TreeFill(const TreeFill&) = delete;
  TreeFill& operator=(const TreeFill&) = delete;

 private:
  TExplorerForm& form_;
  const char* control_;
  bool was_;
};

struct TExplorerForm::Shown {
  std::mutex lock;
  std::unordered_set<std::uint32_t> handles;
  bool prunePending = false;
  TElementLink tool;
};

TExplorerForm::TExplorerForm() : TKESTUForm("TExplorerForm"), shown_(std::make_shared<Shown>()) {
  // A freed element the tree shows asks the tool, once until the prune, to
  // prune: the tool prunes at every message it gets.
  watcher_ = WatchFreedHandles([shown = shown_](std::uint32_t handle) {
    std::lock_guard guard(shown->lock);
    if (shown->prunePending || !shown->handles.count(handle)) return;
    if (TElement* tool = shown->tool.Get()) {
      shown->prunePending = true;
      PostKestuMessage(new TKestuMessage(msgToolControl, tool, tool, nullptr, false));
    }
  });
  platform::Form& window = Window();
  LoadImages();
  window.OnTreeExpanded(kTree, Guarded([this](int node) { Expanded(node); }));
  window.OnTreeCollapsed(kTree, Guarded([this](int node) { Collapsed(node); }));
  window.OnChange(kTree, Guarded([this] {
    if (!filling_) ShowDetails();
  }));
  window.OnClick("ac_ShowList", [this] { SetListHidden(!Window().Checked("ac_ShowList")); });
  window.OnClick("ac_Watch", Guarded([this] { OpenWatch(); }));
  using Style = platform::Form::ListStyle;
  const std::pair<const char*, Style> styles[] = {
      {"ac_Icons", Style::Icons}, {"ac_List", Style::List}, {"ac_Report", Style::Report}};
  for (const auto& [button, style] : styles)
    window.OnClick(button, [this, button = std::string(button), style = style] { SetListStyle(button, style); });
  window.OnClick("mi_Zobraz", [this] { Post(msgOpenGraphicWindow, true); });
  window.OnClick("mi_Vlastnosti", [this] { Post(msgOpenPropertyEditor, true); });
  window.OnClick("mi_ProhlizejOdtud", [this] { Post(msgOpenExplorer, true); });
  window.OnClick("mi_ProhlizejVlastniky", [this] { Post(msgOpenOwnersExplorer, true); });
  window.OnClick("mi_OIL", [this] { Post(msgOpenCommandLine, false); });
  window.OnClick("mi_Load", [this] { Post(msgLoadElement, true); });
  window.OnClick("mi_Save", [this] { Post(msgSaveElement, true); });
  // Closing asks the tool to close, and lets the window go.
  window.OnCloseQuery([this] {
    if (TTool* tool = Tool()) PostKestuMessage(new TKestuMessage(msgClose, tool, tool, nullptr, false));
    watch_.reset();
    return true;
  });
}

TExplorerForm::~TExplorerForm() { UnwatchFreedHandles(watcher_); }

void TExplorerForm::OpenWatch() {
  watch_.reset();
  watch_ = NewElementWatch();
  if (!watch_) return;
  // Its close box frees the window once the close has returned; the tool
  // tells whether this form is still there.
  watch_->OnClosed([tool = TElementLink(Tool()), closed = watch_.get()] {
    platform::Application::Instance().Invoke([tool, closed] {
      auto* explorer = DynamicCast<TExplorer>(tool.Get());
      TExplorerForm* form = explorer ? explorer->ExplorerForm() : nullptr;
      if (form && form->watch_.get() == closed) form->watch_.reset();
    });
  });
  watch_->Watch(Selected());
}

void TExplorerForm::SetTool(TTool* tool) {
  TKESTUForm::SetTool(tool);
  std::lock_guard guard(shown_->lock);
  shown_->tool.Set(tool);
}

void TExplorerForm::LoadImages() {
  TWorld* world = World();
  if (!world) return;
  std::vector<std::string> files;
  for (const std::string& name : world->SystemRegister()->Images()->GetValueList())
    files.push_back(!name.empty() && name.front() == '/' ? name : world->ApplicDir() + name);
  Window().SetTreeImages(kTree, files);
  Window().SetTreeImages(kList, files);
}

TElement* TExplorerForm::ElementOf(int node) const {
  return ElementOfHandle(Window().TreeNodeData(kTree, node));
}

TElement* TExplorerForm::Selected() const {
  const int node = Window().TreeCurrent(kTree);
  return node ? ElementOf(node) : nullptr;
}

int TExplorerForm::AddNode(int parent, TElement* element) {
  const std::uint32_t handle = HandleOfElement(element);
  {
    std::lock_guard guard(shown_->lock);
    shown_->handles.insert(handle);
  }
  return Window().TreeAddNode(kTree, parent, {element->GetName()}, handle);
}

void TExplorerForm::ShowRoot(TElement* element) {
  {
    TreeFill fill(*this, kTree);
    Window().TreeClear(kTree);
  }
  {
    std::lock_guard guard(shown_->lock);
    shown_->handles.clear();
  }
  if (!element) return;
  const int root = AddNode(0, element);
  Prepare(root);
  Window().SetTreeCurrent(kTree, root);
}

void TExplorerForm::Prune() {
  {
    std::lock_guard guard(shown_->lock);
    shown_->prunePending = false;
  }
  platform::Form& window = Window();
  std::vector<int> pending;
  std::vector<int> gone;
  std::vector<int> parents;  // of gone nodes, themselves kept
  for (int root : window.TreeChildren(kTree, 0)) (ElementOf(root) ? pending : gone).push_back(root);
  while (!pending.empty()) {
    const int node = pending.back();
    pending.pop_back();
    bool lost = false;
    for (int child : window.TreeChildren(kTree, node)) {
      if (ElementOf(child)) {
        pending.push_back(child);
      } else {
        gone.push_back(child);
        lost = true;
      }
    }
    if (lost) parents.push_back(node);
  }
  if (gone.empty()) return;
  {
    TreeFill fill(*this, kTree);
    for (int node : gone) window.TreeDeleteNode(kTree, node);
    for (int node : parents)
      if (window.TreeChildren(kTree, node).empty()) Prepare(node);
    // The selection may have gone with its node: the root takes its place.
    if (!window.TreeCurrent(kTree) && !window.TreeChildren(kTree, 0).empty())
      window.SetTreeCurrent(kTree, window.TreeChildren(kTree, 0).front());
  }
  ShowDetails();
}

TRegisterClassModel* TExplorerForm::ClassModel(TClass cls) {
  if (cls != cachedClass_ || !cachedModel_.Get()) {
    cachedClass_ = cls;
    TRegisterClassModel* model = nullptr;
    if (TWorld* world = World())
      model = DynamicCast<TRegisterClassModel>(world->SystemRegister()->ClassModels()->FindModel(cls));
    cachedModel_.Set(model);
  }
  return static_cast<TRegisterClassModel*>(cachedModel_.Get());
}

void TExplorerForm::Prepare(int node) {
  TElement* element = ElementOf(node);
  if (!element) return;
  if (TRegisterClassModel* model = ClassModel(element->ClassType()))
    Window().SetTreeNodeImage(kTree, node, model->ImageIndex, model->ImageSelectedIndex);
  TElement* first = nullptr;
  if (ownersMode_) {
    if (auto* envelope = DynamicCast<TEnvelopeEntity>(element)) first = envelope->Wrapped();
    else if (element->GetOwnersCount() > 0) first = element->GetOwner(0);
  } else if (TEntity* entity = NonEmptyEntity(element)) {
    first = entity->GetElement(0);
  }
  if (first) AddNode(node, first);
}

void TExplorerForm::Expanded(int node) {
  TElement* element = ElementOf(node);
  if (!element) return Prune();
  platform::Form& window = Window();
  const std::vector<int> existing = window.TreeChildren(kTree, node);
  // Nodes added here were prepared already: a second expansion adds nothing.
  if (existing.size() != 1 || !window.TreeChildren(kTree, existing.front()).empty()) return;
  TreeFill fill(*this, kTree);
  Prepare(existing.front());
  std::vector<TElement*> further;
  if (ownersMode_) {
    if (!DynamicCast<TEnvelopeEntity>(element))
      for (int i = 1; i < element->GetOwnersCount(); ++i) further.push_back(element->GetOwner(i));
  } else if (TEntity* entity = NonEmptyEntity(element)) {
    const int count = entity->GetCount();
    for (int i = 1; i < count; ++i) further.push_back(entity->GetElement(i));
  }
  for (TElement* item : further)
    if (item) Prepare(AddNode(node, item));
}

void TExplorerForm::Collapsed(int node) {
  if (!ElementOf(node)) return Prune();
  TreeFill fill(*this, kTree);
  Window().TreeDeleteChildren(kTree, node);
  Prepare(node);
}

void TExplorerForm::SetListStyle(const std::string& button, platform::Form::ListStyle style) {
  platform::Form& window = Window();
  // The three buttons act as one switch: the pressed one stays down.
  for (const char* other : {"ac_Icons", "ac_List", "ac_Report"}) window.SetChecked(other, other == button);
  window.SetTreeListStyle(kList, style);
}

void TExplorerForm::SetListHidden(bool hidden) {
  listHidden_ = hidden;
  Window().SetControlVisible(kList, !hidden);
  Window().SetChecked("ac_ShowList", !hidden);
  if (!hidden) ShowDetails();
}

void TExplorerForm::ShowDetails() {
  platform::Form& window = Window();
  TElement* element = Selected();
  if (!element) {
    window.SetText("sb_Status", "");
    window.TreeClear(kList);
    return;
  }
  if (watch_) watch_->Watch(element);
  const bool registered = FindKestuClass(element->ClassName()) == element->ClassType();
  window.SetText("sb_Status",
                 element->GetName() + " (" + element->ClassName() + ")" + (registered ? " R+" : " R-"));
  if (listHidden_) return;
  TreeFill fill(*this, kList);
  window.TreeClear(kList);
  if (ownersMode_) FillOwners(element);
  else FillChildren(element);
}

void TExplorerForm::FillOwners(TElement* element) {
  platform::Form& window = Window();
  window.SetTreeColumns(kList, {"Name", "Count", "Owners"});
  columnsClass_ = "\x01owners";
  std::vector<TElement*> owners;
  if (auto* envelope = DynamicCast<TEnvelopeEntity>(element)) {
    if (envelope->Wrapped()) owners.push_back(envelope->Wrapped());
  } else {
    for (int i = 0; i < element->GetOwnersCount(); ++i) owners.push_back(element->GetOwner(i));
  }
  for (TElement* owner : owners) {
    if (!owner) continue;
    auto* entity = DynamicCast<TEntity>(owner);
    auto* envelope = DynamicCast<TEnvelopeEntity>(owner);
    const int ownerCount = envelope ? (envelope->Wrapped() ? 1 : 0) : owner->GetOwnersCount();
    AddRow(owner, {owner->GetName(), std::to_string(entity ? entity->GetCount() : 0), std::to_string(ownerCount)});
  }
}

void TExplorerForm::FillChildren(TElement* element) {
  platform::Form& window = Window();
  TRegisterClassModel* model = ClassModel(element->ClassType());
  const std::string subClass = model ? model->SubClass : std::string();
  if (subClass != columnsClass_) {
    columnsClass_ = subClass;
    columns_.clear();
    TClass itemClass = subClass.empty() ? nullptr : FindKestuClass(subClass);
    TRegisterClassModel* itemModel = itemClass ? ClassModel(itemClass) : nullptr;
    if (itemModel)
      for (TElement* entry : itemModel->PropertyModels()->Children()) columns_.push_back(entry->GetName());
    std::vector<std::string> captions{"Name"};
    captions.insert(captions.end(), columns_.begin(), columns_.end());
    window.SetTreeColumns(kList, captions);
  }
  TEntity* entity = NonEmptyEntity(element);
  if (!entity) return;
  const int count = entity->GetCount();
  for (int i = 0; i < count; ++i) {
    TElement* child = entity->GetElement(i);
    if (!child) continue;
    std::vector<std::string> texts{child->GetName()};
    for (const std::string& column : columns_) texts.push_back(child->GetPropertyText(column));
    AddRow(child, texts);
  }
}

void TExplorerForm::AddRow(TElement* element, const std::vector<std::string>& texts) {
  const int row = Window().TreeAddNode(kList, 0, texts, HandleOfElement(element));
  if (TRegisterClassModel* model = ClassModel(element->ClassType()))
    Window().SetTreeNodeImage(kList, row, model->ImageIndex, model->ImageIndex);
}

void TExplorerForm::Post(int code, bool toMainTool) {
  Prune();
  TTool* tool = Tool();
  if (!tool) return;
  TElement* receiver = nullptr;
  if (toMainTool)
    if (TWorld* world = World()) receiver = world->MainTool();
  tool->PostMessage(code, receiver, Selected(), false);
}

// ---------------------------------------------------------------- TExplorer

TExplorerForm* TExplorer::ExplorerForm() const { return static_cast<TExplorerForm*>(Form()); }

TClass TExplorerForm::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TExplorerForm>("TExplorerForm", TKESTUForm::StaticClass(), "Explorer", {});
  return &info;
}

void TExplorer::CreateForm() {
  auto form = std::make_unique<TExplorerForm>();
  form->SetTool(this);
  SetForm(std::move(form));
}

void TExplorer::DoIt() {
  TFormTool::DoIt();
  TElement* input = Input();
  TExplorerForm* form = ExplorerForm();
  if (!input || !form) return;
  form->SetOwnersMode(ShowOwners);
  form->SetListHidden(DontShowList);
  form->ShowRoot(input);
  if (Modal) form->Window().ShowModal();
  else form->Window().Show();
}

void TExplorer::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  // A message may follow a change of the model: nodes of freed elements go
  // before anything reads them.
  if (TExplorerForm* form = ExplorerForm()) form->Prune();
  TFormTool::ReceiveMessage(message, handled);
}

TClass TExplorer::StaticClass() {
  static const TClassInfo info = DescribeClass<TExplorer>(
      "TExplorer", TFormTool::StaticClass(), "Explorer",
      {NotStored(AccessorProp<TExplorer, TExplorerForm*>(
           "Form", [](const TExplorer& e) { return e.ExplorerForm(); }, nullptr)),
       FieldProp("Modal", &TExplorer::Modal), FieldProp("ShowOwners", &TExplorer::ShowOwners),
       FieldProp("DontShowList", &TExplorer::DontShowList)});
  return &info;
}

void RegisterExplorerClasses() { RegisterKestuClass(TExplorer::StaticClass()); }
