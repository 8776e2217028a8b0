#pragma once
// Forestry projects: the folders a user works with (the program's own data,
// an external GIS block set, symbols), kept with the element stream through
// the published properties.
#include <string>

#include "framework/core/elements.h"

class TKestuProject : public TOwnerEntity {
  KESTX_CLASS(TKestuProject)
 public:
  std::string Comment;
  std::string Author;
};

class TKESTULHCProject : public TKestuProject {
  KESTX_CLASS(TKESTULHCProject)
 public:
  std::string SymbolsDirectory;
  std::string ExternalDataDirectory;
  std::string DataDirectory;
  bool LastChangesExported = false;

  bool Modified() const { return modified_; }
  // Any write means the changes exported last are no longer the last ones.
  void SetModified(bool value);
  // DataDirectory (with a delimiter when not empty) + name + ".kes".
  std::string DataFileName() const;
  bool DataFileExists() const;
  // Whether the external folder holds the stand block "DET.BLK" (a folder).
  bool ExternalDataExists() const;

 private:
  bool modified_ = false;
};

void RegisterProjectClasses();
