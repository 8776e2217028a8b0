#pragma once
// The layer import dialog: the user writes a layer list (one line per layer
// to load and lines that tune it) from files picked in the folders, with the
// buttons and the popup menu of the list.  Input is the list to start from
// (a string list); Output the list written.
#include <string>

#include "framework/tools/tools.h"

namespace platform {
class Form;
}

class TLayerImportDialog : public TTool {
  KESTX_CLASS(TLayerImportDialog)
 public:
  // The folder shown first.
  std::string InitialDir;

  // OK gives a new list of every row of the form and frees the Input; any
  // other end splits the Input's items into name and value and hands it on.
  void DoIt() override;

 private:
  void Connect(platform::Form& form);
};

void RegisterLayerImportDialogClasses();
