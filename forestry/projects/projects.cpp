#include "forestry/projects/projects.h"

#include "framework/core/class_registry.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr const char* kStandBlock = "DET.BLK";

}  // namespace

void TKESTULHCProject::SetModified(bool value) {
  modified_ = value;
  LastChangesExported = false;
}

std::string TKESTULHCProject::DataFileName() const {
  return platform::IncludeTrailingPathDelimiter(DataDirectory) + GetName() + ".kes";
}

bool TKESTULHCProject::DataFileExists() const { return platform::FileExists(DataFileName()); }

bool TKESTULHCProject::ExternalDataExists() const {
  return platform::DirectoryExists(platform::IncludeTrailingPathDelimiter(ExternalDataDirectory) + kStandBlock);
}

TClass TKestuProject::StaticClass() {
  using E = TKestuProject;
  static const TClassInfo info =
      DescribeClass<E>("TKestuProject", TOwnerEntity::StaticClass(), "e_LHCProject",
                       {FieldProp("Comment", &E::Comment), FieldProp("Author", &E::Author)});
  return &info;
}

TClass TKESTULHCProject::StaticClass() {
  using E = TKESTULHCProject;
  static const TClassInfo info = DescribeClass<E>(
      "TKESTULHCProject", TKestuProject::StaticClass(), "e_LHCProject",
      {FieldProp("SymbolsDirectory", &E::SymbolsDirectory), FieldProp("ExternalDataDirectory", &E::ExternalDataDirectory),
       FieldProp("DataDirectory", &E::DataDirectory), FieldProp("LastChangesExported", &E::LastChangesExported),
       // Stored only when set: loading must not clear the export mark.
       StoredWhen(ReadWriteProp("Modified", &E::Modified, &E::SetModified),
                  [](const TObject& o) { return static_cast<const E&>(o).Modified(); }),
       NotStored(ReadProp("DataFileName", &E::DataFileName)), NotStored(ReadProp("DataFileExists", &E::DataFileExists)),
       NotStored(ReadProp("ExternalDataExists", &E::ExternalDataExists))});
  return &info;
}

void RegisterProjectClasses() {
  RegisterKestuClass(TKestuProject::StaticClass());
  RegisterKestuClass(TKESTULHCProject::StaticClass());
}
