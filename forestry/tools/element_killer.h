#pragma once
// Deletes every element of a class from the container a command-line path
// designates, after the user confirms.
#include <string>

#include "framework/tools/tools.h"

class TCommandLine;

class TAllElementKiller : public TTool {
  KESTX_CLASS(TAllElementKiller)
 public:
  std::string ConfirmText;

  // The class's name; empty while no class is set.
  std::string ElementClassName() const;
  // An unregistered name is told in the message window and leaves no class:
  // the killer then frees nothing.
  void SetElementClassName(const std::string& name);
  std::string GlobalPath() const { return globalPath_; }
  // Also the line of the killer's command line, made when missing.
  void SetGlobalPath(const std::string& path);

  void DoIt() override;

 private:
  // Destroys the target's children of the class, the last first; answers
  // how many.
  int FreeChildrenOfClass(TEntity& target);

  TClass elementClass_ = nullptr;
  std::string globalPath_;
  TElementLink commandLine_;
};

void RegisterElementKillerClasses();
