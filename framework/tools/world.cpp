#include "framework/tools/world.h"

#include <functional>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/tools.h"
#include "framework/tools/system_register.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/event_handlers.h"

namespace {

TWorld* theWorld = nullptr;
TElementLink testElement;

template <class V>
TPropInfo ApplicationSetting(std::string name, V platform::Application::*setting) {
  return AccessorProp<TWorld, V>(
      std::move(name), [setting](const TWorld&) { return platform::Application::Instance().*setting; },
      [setting](TWorld&, V value) { platform::Application::Instance().*setting = value; });
}

}  // namespace

namespace {
thread_local int worldLockDepth = 0;
}  // namespace

void TWorldLock::lock() {
  waiting_.fetch_add(1, std::memory_order_relaxed);
  mutex_.lock();
  waiting_.fetch_sub(1, std::memory_order_relaxed);
  ++worldLockDepth;
}

void TWorldLock::unlock() {
  --worldLockDepth;
  mutex_.unlock();
}

int TWorldLock::ReleaseAll() {
  const int depth = worldLockDepth;
  for (int i = 0; i < depth; ++i) unlock();
  return depth;
}

void TWorldLock::Reacquire(int depth) {
  for (int i = 0; i < depth; ++i) lock();
}

TWorldLock& WorldLock() {
  static TWorldLock lock;
  return lock;
}

TWorld* World() { return theWorld; }
void SetWorld(TWorld* world) {
  theWorld = world;
  // While there is a world, the user's actions run under its lock: a
  // program's thread works on it only between them.
  if (world)
    platform::SetEventHandlerHook([](const std::function<void()>& handler) {
      std::lock_guard lock(WorldLock());
      handler();
    });
  else
    platform::SetEventHandlerHook(nullptr);
}

TClass WorldClass() {
  TClass cls = FindKestuClass("TWCSWorld");
  return cls && cls->InheritsFrom(TWorld::StaticClass()) ? cls : TWorld::StaticClass();
}

TElement* TestElement() { return testElement.Get(); }

TWorld::TWorld() { ObjectClasses(); }

TWorld::~TWorld() {
  if (theWorld == this) theWorld = nullptr;
  // The class registry lives before and after any world.
  if (TEntity* registry = static_cast<TEntity*>(objectClasses_.Get())) RemoveElement(registry);
}

TTechnology* TWorld::MainTool() {
  if (!mainTool_.Get()) CreateMainTool();
  return static_cast<TTechnology*>(mainTool_.Get());
}

void TWorld::SetMainTool(TTechnology* tool) {
  // A main tool that has started stays below everything that runs until it
  // closes (the start-up scripts, every window and console it made): freeing
  // it would pull it from under their run.
  const auto* current = static_cast<const TTechnology*>(mainTool_.Get());
  if (current && current != tool && current->RunFlag())
    throw std::runtime_error("Běžící hlavní nástroj nelze nahradit");
  SetLinkedElement(mainTool_, tool);
}

TElement* TWorld::ChildMadeOnDemand(TElementLink& field, TClass cls, const char* name) {
  if (!field.Get()) {
    TElement* child = NewElement(cls);
    child->SetName(name);
    AddElement(child);
    field.Set(child);
  }
  return field.Get();
}

TSystemRegister* TWorld::SystemRegister() {
  return static_cast<TSystemRegister*>(
      ChildMadeOnDemand(systemRegister_, TSystemRegister::StaticClass(), "System register"));
}

void TWorld::SetSystemRegister(TSystemRegister* reg) { SetLinkedElement(systemRegister_, reg); }

TEntity* TWorld::ObjectClasses() {
  if (!objectClasses_.IsSet()) {
    TKestuClasses* registry = KestuClasses();
    registry->SetName("ObjectClasses");
    AddElement(registry);
    objectClasses_.Set(registry);
  }
  return static_cast<TEntity*>(objectClasses_.Get());
}

TObjectModel* TWorld::ObjectModel() {
  return static_cast<TObjectModel*>(ChildMadeOnDemand(objectModel_, TObjectModel::StaticClass(), "Object model"));
}

void TWorld::SetObjectModel(TObjectModel* model) { SetLinkedElement(objectModel_, model); }

std::string TWorld::ApplicExeName() const { return platform::Application::Instance().ExeName(); }

std::string TWorld::ApplicDir() const {
  const std::string exe = ApplicExeName();
  return exe.substr(0, exe.find_last_of('/') + 1);
}

std::string TWorld::ApplicTitle() const { return platform::Application::Instance().Title(); }

void TWorld::SetApplicTitle(const std::string& title) { platform::Application::Instance().SetTitle(title); }

int TWorld::FailedWork(TFailedWork work) const { return failed_[static_cast<int>(work)].load(); }

void NoteFailedWork(TFailedWork work) {
  TWorld* world = World();
  if (!world) return;
  ++world->failed_[static_cast<int>(work)];
}

void TWorld::CreateMainTool() {}

void TWorld::DispatchAppMessage(platform::AppMessage& message, bool& handled) {
  TKestuMessage* kestu = KestuMessageOf(message);
  if (!kestu) return;
  std::lock_guard lock(WorldLock());
  DeliverKestuMessage(kestu, handled, [this]() -> TElement* { return MainTool(); });
}

void TWorld::ShowAppException(std::exception_ptr error) {
  std::string text;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    // Shown without a text: nothing else is known of it.
  }
  platform::MessageDlg("World Level Error :" + text, platform::MsgDlgType::Error, platform::mbOK);
}

TClass TObjectModel::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TObjectModel>("TObjectModel", TOwnerEntity::StaticClass(), "Worlds", {});
  return &info;
}

TClass TWorld::StaticClass() {
  static const TClassInfo info = DescribeClass<TWorld>(
      "TWorld", TEntity::StaticClass(), "Worlds",
      {NotStored(AccessorProp<TWorld, TObject*>(
           "Application", [](const TWorld&) -> TObject* { return &platform::Application::Instance(); }, nullptr)),
       NotStored(ReadProp("ApplicExeName", &TWorld::ApplicExeName)),
       NotStored(ReadProp("ApplicDir", &TWorld::ApplicDir)),
       ApplicationSetting("ApplicHelpFile", &platform::Application::HelpFile),
       ApplicationSetting("ApplicHint", &platform::Application::Hint),
       ReadWriteProp("ApplicTitle", &TWorld::ApplicTitle, &TWorld::SetApplicTitle),
       ApplicationSetting("ApplicShowHint", &platform::Application::ShowHint),
       ApplicationSetting("ApplicHintColor", &platform::Application::HintColor),
       ApplicationSetting("ApplicHintPause", &platform::Application::HintPause),
       AccessorProp<TWorld, TElement*>("TestElement", nullptr, [](TWorld&, TElement* e) { testElement.Set(e); }),
       AccessorProp<TWorld, TTechnology*>(
           "MainTool", [](const TWorld& w) { return const_cast<TWorld&>(w).MainTool(); },
           [](TWorld& w, TTechnology* tool) { w.SetMainTool(tool); }),
       AccessorProp<TWorld, TSystemRegister*>(
           "SystemRegister", [](const TWorld& w) { return const_cast<TWorld&>(w).SystemRegister(); },
           [](TWorld& w, TSystemRegister* reg) { w.SetSystemRegister(reg); }),
       AccessorProp<TWorld, TEntity*>(
           "ObjectClasses", [](const TWorld& w) { return const_cast<TWorld&>(w).ObjectClasses(); },
           [](TWorld&, TEntity*) {}),
       AccessorProp<TWorld, TObjectModel*>(
           "ObjectModel", [](const TWorld& w) { return const_cast<TWorld&>(w).ObjectModel(); },
           [](TWorld& w, TObjectModel* model) { w.SetObjectModel(model); })});
  return &info;
}

void RegisterWorldsClasses() {
  RegisterKestuClass(TWorld::StaticClass());
  RegisterKestuClass(TObjectModel::StaticClass());
}
