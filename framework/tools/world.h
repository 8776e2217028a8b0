#pragma once
// The world: the root element of a running program.  It holds the main tool,
// the system register, the class registry and the object model, and delivers
// framework messages and shows the errors nobody else caught.
#include <atomic>
#include <exception>
#include <mutex>
#include <string>

#include "framework/core/elements.h"

namespace platform {
struct AppMessage;
}

class TTechnology;
class TSystemRegister;

// Work of the run that failed where nobody who started it was told by an
// exception (a print run ends with its own box, a rebuild of a layer that
// lost areas on its way goes on with the rest), or that is owed to the
// program's exit status whoever started it (a block an export could not
// write whole, the options the quit could not store).
enum class TFailedWork { Block, Print, Rebuild, Options };
constexpr int kFailedWorkKinds = static_cast<int>(TFailedWork::Options) + 1;

// The entity that holds the model of the user's objects.
class TObjectModel : public TOwnerEntity {
  KESTX_CLASS(TObjectModel)
};

class TWorld : public TEntity {
  KESTX_CLASS(TWorld)
 public:
  TWorld();
  ~TWorld() override;
  // The root is freed by the program that made it, never by an entity it was
  // added to, a message that carried it or a script's loose outputs.
  bool CanFree() const override { return false; }

  // Made on demand by CreateMainTool; nil while there is none.
  TTechnology* MainTool();
  // A main tool that runs (DoIt without Close) is not replaced: raises.
  void SetMainTool(TTechnology* tool);
  TSystemRegister* SystemRegister();
  void SetSystemRegister(TSystemRegister* reg);
  TEntity* ObjectClasses();
  TObjectModel* ObjectModel();
  void SetObjectModel(TObjectModel* model);

  std::string ApplicExeName() const;
  // The directory of the program file, with its trailing separator.
  std::string ApplicDir() const;
  std::string ApplicTitle() const;
  void SetApplicTitle(const std::string& title);

  virtual void CreateMainTool();
  // The application's message hook: delivers framework messages.
  virtual void DispatchAppMessage(platform::AppMessage& message, bool& handled);
  // The application's exception hook.
  virtual void ShowAppException(std::exception_ptr error);

  // How often work of that kind failed in this world.
  int FailedWork(TFailedWork work) const;

 private:
  // The child held by field, made of cls and named when there is none.
  TElement* ChildMadeOnDemand(TElementLink& field, TClass cls, const char* name);

  TElementLink mainTool_;
  TElementLink systemRegister_;
  TElementLink objectClasses_;
  TElementLink objectModel_;
  // Noted from a program's thread as well.
  std::atomic<int> failed_[kFailedWorkKinds]{};  // by TFailedWork

  friend void NoteFailedWork(TFailedWork work);
};

// Counts the failure against the world; nothing without one.
void NoteFailedWork(TFailedWork work);

// The lock that keeps threads from working on the world at the same time: a
// running OIL program holds it while it runs a statement, and message
// delivery takes it.  Recursive on one thread.
class TWorldLock {
 public:
  void lock();
  void unlock();
  // Another thread is waiting for the lock.
  bool Contended() const { return waiting_.load(std::memory_order_relaxed) > 0; }
  // Lets go of every level the calling thread holds and answers how many.
  int ReleaseAll();
  void Reacquire(int depth);

 private:
  std::recursive_mutex mutex_;
  std::atomic<int> waiting_{0};
};

TWorldLock& WorldLock();

// The one world of the program; nil before start-up and after the world is freed.
TWorld* World();
void SetWorld(TWorld* world);

// The class the program's world is made of: the registered "TWCSWorld" when a
// library above the framework has registered it, else TWorld.
TClass WorldClass();

// The element last stored through the world's TestElement.
TElement* TestElement();

void RegisterWorldsClasses();
