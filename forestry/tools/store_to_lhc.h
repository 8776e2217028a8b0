#pragma once
// Store tools of the editors: a finished element goes into the global store
// a command-line path designates, and into a container inside each stand
// group it belongs to.
#include <string>

#include "framework/tools/tools.h"

class TCommandLine;
class TFrameSelector;

class TStoreToLHCTool : public TTechnology {
  KESTX_CLASS(TStoreToLHCTool)
 public:
  TStoreToLHCTool();

  // The name of the container inside each stand group.
  std::string FrameStorePath;

  std::string GlobalStorePath() const { return globalStorePath_; }
  // Also the line of the tool's command line.
  void SetGlobalStorePath(const std::string& path);
  TTool* MultiFrameSelector() const;
  void SetMultiFrameSelector(TTool* selector);
  TCommandLine* CommandLine() const;
  // "TRectEntity" while unset; an unregistered name sets TRectEntity.
  std::string FrameStoreClassName() const;
  void SetFrameStoreClassName(const std::string& name);
  TTool* FrameSelector() const;
  void SetFrameSelector(TTool* selector);

  // Adds the element to the target (once) and widens a rect target's bounds.
  virtual void StoreInto(TElement* element, TElement* target);

 protected:
  // The element the global path designates; nil when it is no entity.
  TEntity* GlobalStore();
  // The group's container, made with the container class when missing; nil
  // when either is no entity.
  TEntity* FrameStore(TElement* psk);
  // The Input into the global store and into the container of the group the
  // frame selector chose.
  void StoreByFrameSelector();
  // The group the frame selector chose; without one, the group an editor
  // handed over as the parameter "FrameSelector" (or that selector's
  // choice, when it handed the selector itself).
  TElement* ChosenFrame();

 private:
  void ReplaceLinkedTool(TElementLink& link, TTool* tool);

  std::string globalStorePath_;
  TElementLink multiFrameSelector_;
  TElementLink commandLine_;
  TClass frameStoreClass_ = nullptr;
  TElementLink frameSelector_;
};

// Stores a line into every stand group it touches.
class TStoreLineToLHC : public TStoreToLHCTool {
  KESTX_CLASS(TStoreLineToLHC)
 public:
  TStoreLineToLHC();
  void DoIt() override;
};

// Stores the Input into the stand group the frame selector chose.
class TStoreAreaToLHC : public TStoreToLHCTool {
  KESTX_CLASS(TStoreAreaToLHC)
 public:
  void DoIt() override;
};

class TStorePointToLHC : public TStoreToLHCTool {
  KESTX_CLASS(TStorePointToLHC)
 public:
  void DoIt() override;
};

void RegisterStoreToLHCClasses();
