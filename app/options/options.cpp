#include "app/options/options.h"

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "platform/streams.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"

namespace {

constexpr const char* kSection = "Options";

// Index of the first option: the one after the entity's LastIndex.
int FirstOption(const TObject& options) { return GetPropertyIndex(options, "LastIndex") + 1; }

std::string NameOf(const TObject& options, int index) {
  std::string name;
  GetPropertyNameByIndex(options, index, name);
  return name;
}

}  // namespace

void TOptions::SetServiceDirectory(const std::string& directory) {
  serviceDirectory_ = directory;
  SetSymbolLibraryDirectory(directory);
}

std::string TOptions::PaletteFile() const { return PaletteFileName(); }

void TOptions::SetPaletteFile(const std::string& fileName) {
  SetPaletteFileName(fileName);
  LoadPalette(fileName);
}

void LoadOptionsFromIni(TBaseOptions& options, const std::string& iniFileName) {
  const platform::TIniFile ini(iniFileName);
  for (int i = FirstOption(options); i < GetPropertyCount(options); ++i) {
    std::string current;
    PropertyTextByIndex(options, i, current);
    SetPropertyTextByIndex(options, i, ini.ReadString(kSection, NameOf(options, i), current));
  }
}

void SaveOptionsToIni(const TBaseOptions& options, const std::string& iniFileName) {
  platform::TIniFile ini(iniFileName);
  std::string kept;
  for (int i = FirstOption(options); i < GetPropertyCount(options); ++i) {
    std::string text;
    PropertyTextByIndex(options, i, text);
    if (ini.WriteString(kSection, NameOf(options, i), text)) continue;
    kept += (kept.empty() ? "" : ", ") + NameOf(options, i) + " (" + text + ")";
  }
  try {
    ini.UpdateFile();
  } catch (const platform::EStreamError& error) {
    // The file stays as it was; the quit goes on, and the run owes it.
    const std::string text = OptionsNotWrittenText(iniFileName, error.Reason());
    platform::ShowMessage(text);
    PostTextMessage(nullptr, msgLogText, text, nullptr);
    NoteFailedWork(TFailedWork::Options);
    return;
  }
  if (!kept.empty())
    PostTextMessage(nullptr, msgLogText,
                    "Volby obsahují znaky mimo kódovou stránku 1250 a nebyly uloženy do " + iniFileName +
                        ", zůstávají uložené hodnoty: " + kept,
                    nullptr);
}

std::string OptionsNotWrittenText(const std::string& iniFileName, const std::string& reason) {
  return "Soubor voleb " + iniFileName + " se nepodařilo zapsat" + (reason.empty() ? "" : ": " + reason);
}

TClass TBaseOptions::StaticClass() {
  static const TClassInfo info = DescribeClass<TBaseOptions>("TBaseOptions", TOwnerEntity::StaticClass(), "Options", {});
  return &info;
}

TClass TOptions::StaticClass() {
  static const TClassInfo info = DescribeClass<TOptions>(
      "TOptions", TBaseOptions::StaticClass(), "Options",
      {FieldProp("StartScript", &TOptions::StartScript), FieldProp("EndScript", &TOptions::EndScript),
       FieldProp("ExportControlDirectory", &TOptions::ExportControlDirectory),
       ReadWriteProp("ServiceDirectory", &TOptions::ServiceDirectory, &TOptions::SetServiceDirectory),
       FieldProp("DataDirectory", &TOptions::DataDirectory), FieldProp("ScriptDirectory", &TOptions::ScriptDirectory),
       FieldProp("TemplateDirectory", &TOptions::TemplateDirectory),
       AccessorProp<TOptions, std::string>(
           "PaletteFile", [](const TOptions& o) { return o.PaletteFile(); },
           [](TOptions& o, std::string v) { o.SetPaletteFile(v); }),
       FieldProp("Export_50", &TOptions::Export_50), FieldProp("Export_25", &TOptions::Export_25),
       FieldProp("Export_10", &TOptions::Export_10), FieldProp("Export_5", &TOptions::Export_5),
       FieldProp("Export_2", &TOptions::Export_2), FieldProp("Export_User", &TOptions::Export_User),
       FieldProp("BLK_50", &TOptions::BLK_50), FieldProp("BLK_25", &TOptions::BLK_25),
       FieldProp("BLK_10", &TOptions::BLK_10), FieldProp("BLK_5", &TOptions::BLK_5),
       FieldProp("BLK_2", &TOptions::BLK_2), FieldProp("BLK_User", &TOptions::BLK_User)});
  return &info;
}

void RegisterOptionsClasses() {
  RegisterKestuClass(TBaseOptions::StaticClass());
  RegisterKestuClass(TOptions::StaticClass());
}
