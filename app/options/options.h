#pragma once
// The program's settings: the published properties of one options entity,
// kept in section "Options" of the INI file, in declaration order.
#include <string>

#include "framework/core/elements.h"

// Marks the class whose published properties after LastIndex are options.
class TBaseOptions : public TOwnerEntity {
  KESTX_CLASS(TBaseOptions)
};

class TOptions : public TBaseOptions {
  KESTX_CLASS(TOptions)
 public:
  std::string StartScript;
  std::string EndScript;
  std::string ExportControlDirectory;
  std::string DataDirectory;
  std::string ScriptDirectory;
  std::string TemplateDirectory;
  bool Export_50 = false;
  bool Export_25 = false;
  bool Export_10 = false;
  bool Export_5 = false;
  bool Export_2 = false;
  bool Export_User = false;
  bool BLK_50 = false;
  bool BLK_25 = false;
  bool BLK_10 = false;
  bool BLK_5 = false;
  bool BLK_2 = false;
  bool BLK_User = false;

  std::string ServiceDirectory() const { return serviceDirectory_; }
  // Also points the symbol library at the folder.
  void SetServiceDirectory(const std::string& directory);
  // The palette's own file name: writing loads the palette from it.
  std::string PaletteFile() const;
  void SetPaletteFile(const std::string& fileName);

 private:
  std::string serviceDirectory_;
};

// Reads every option from section "Options" of the INI file (a missing key
// keeps the option's value), and writes them all there.
void LoadOptionsFromIni(TBaseOptions& options, const std::string& iniFileName);
// An option whose text the file cannot hold keeps its stored value; one log
// line names every such option.  The file is stored once, whole; when it
// cannot be, it stays as it was, and the failure is shown, logged and
// counted as the run's failed work.
void SaveOptionsToIni(const TBaseOptions& options, const std::string& iniFileName);
// What the user is told of an options file that could not be stored, with
// the system's reason when it gave one.
std::string OptionsNotWrittenText(const std::string& iniFileName, const std::string& reason);

void RegisterOptionsClasses();
