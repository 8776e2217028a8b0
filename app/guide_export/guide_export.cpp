#include "app/guide_export/guide_export.h"

#include <exception>
#include <memory>
#include <vector>

#include "block/export/line_export.h"
#include "block/guide/export_dialog.h"
#include "block/guide/guide_lines.h"
#include "block/guide/guide_model.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/stream/kes_loader.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace {

struct Series {
  const char* option;
  void (TSelectGuideLines::*choose)(bool);
  const char* lines;
  const char* block;
  const char* progressText;
  const char* doneText;
};

constexpr Series kSeries[] = {
    {"Export_50", &TSelectGuideLines::Set50, "50", "50.BLK", "Export SMO_50 do ", "SMO 50 uloženo do bloku "},
    {"Export_25", &TSelectGuideLines::Set25, "25", "25.BLK", "Export SMO_25 do ", "SMO 25 uloženo do bloku "},
    {"Export_10", &TSelectGuideLines::Set10, "10", "10.BLK", "Export SMO_10 do ", "SMO 10 uloženo do bloku "},
    {"Export_5", &TSelectGuideLines::Set5, "5", "5.BLK", "Export SMO_5 do ", "SMO 5 uloženo do bloku "},
    {"Export_2", &TSelectGuideLines::Set2, "2", "2.BLK", "Export SMO_2 do ", "SMO 2 uloženo do bloku "},
    {"Export_User", &TSelectGuideLines::SetUser, "User", "User.BLK", "Export USERů do ",
     "Uživatelské výřezy uloženy do bloku "},
};

constexpr const char* kStars = "*******************";
constexpr const char* kCaption = "Export Průvodce do LumaRu";

void Log(TTool& mainTool, const std::string& text) { PostTextMessage(&mainTool, msgLogText, text, nullptr); }

void LetEventsRun() { platform::Application::Instance().ProcessMessages(); }

// Whatever ends the export, its progress display ends with it.
class ExportProgress {
 public:
  explicit ExportProgress(TTool& tool) : tool_(tool) { tool_.StartProgress(kCaption, 0, 0); }
  ~ExportProgress() { End(); }
  ExportProgress(const ExportProgress&) = delete;
  ExportProgress& operator=(const ExportProgress&) = delete;
  void End() { tool_.EndProgress(); }

 private:
  TTool& tool_;
};

// Writes one series' line string into its block; answers false when the user
// stopped the export.  A failure raises.
bool ExportSeries(TEntity* lineString, const std::string& blockPath) {
  std::unique_ptr<TExportLinesToLumar> exporter(CreateElement<TExportLinesToLumar>());
  exporter->SetBlockName(blockPath);
  exporter->ExportDBF = false;
  exporter->RegisterObject = false;
  exporter->SetInput(lineString);
  exporter->DoIt();
  return !exporter->StoppedByUser();
}

}  // namespace

void LoadGuide(TTool& mainTool, const std::string& fileName) {
  mainTool.SetPropertyText("Text", "Uvolňování modelu ........");
  TObjectModel* model = World()->ObjectModel();
  model->Clear();
  std::unique_ptr<TLoad> loader(TKestuLoader::CreateForFile<TLoad>(fileName));
  loader->DoIt();
  if (TElement* root = loader->Output()) model->AddElement(root);
}

bool ExportGuide(TTool& mainTool, const std::string& guideFileName) {
  {
    std::unique_ptr<TKESTXDialog> dialog(CreateElement<TKESTXDialog>());
    dialog->SetCaption(kCaption);
    dialog->DoIt();
    if (dialog->Result != platform::mrOk) return true;
  }
  auto* options = DynamicCast<TElement>(GetObjectPropByName(mainTool, "Options"));
  if (!options) return false;
  const std::string dataDirectory = options->GetPropertyText("DataDirectory");
  if (dataDirectory.empty()) {
    platform::ShowMessage("Není zadána složka pro export, nic nebylo zapsáno !");
    return false;
  }
  Log(mainTool, kStars);
  Log(mainTool, "Začátek exportu souboru průvodce " + guideFileName);
  Log(mainTool, "Do následující složky: ");
  Log(mainTool, dataDirectory);
  Log(mainTool, "  ... ");

  TObjectModel* model = World()->ObjectModel();
  if (TElement* old = model->FindElementByName("LIN")) model->FreeElement(old);
  auto* lines = new TOwnerEntity();
  lines->SetName("LIN");
  model->AddElement(lines);
  auto* guide = DynamicCast<TGuide>(model->FindElementByClass(TGuide::StaticClass()));
  if (!guide) {
    platform::ShowMessage("Nemohu nalézt načtený soubor průvodce, zkuste to znovu !");
    return false;
  }

  ExportProgress progress(mainTool);
  mainTool.SetProgressText("Vyšťourávání linií z mapových prostorů");
  LetEventsRun();
  {
    std::unique_ptr<TSelectGuideLines> selection(CreateElement<TSelectGuideLines>());
    for (const Series& series : kSeries) (selection.get()->*series.choose)(options->GetPropertyBoolean(series.option));
    selection->SetInput(guide);
    selection->SetOutput(lines);
    selection->DoIt();
  }

  // The option keeps the folder as the user gave it.
  const std::string folder = platform::IncludeTrailingPathDelimiter(dataDirectory);
  std::vector<std::string> failed;
  bool stopped = false;
  for (const Series& series : kSeries) {
    if (!options->GetPropertyBoolean(series.option)) continue;
    const std::string blockPath = folder + series.block;
    mainTool.SetProgressText(series.progressText + blockPath);
    LetEventsRun();
    try {
      if (!ExportSeries(DynamicCast<TEntity>(lines->FindElementByName(series.lines)), blockPath)) {
        stopped = true;
        Log(mainTool, "Export přerušen uživatelem v bloku " + blockPath);
        break;
      }
    } catch (const std::exception& error) {
      failed.push_back(blockPath);
      Log(mainTool, "Blok " + blockPath + " nebyl zapsán: " + error.what());
      continue;
    }
    Log(mainTool, series.doneText + blockPath);
  }

  if (stopped || !failed.empty()) {
    progress.End();
    if (!failed.empty()) {
      Log(mainTool, "Export skončil s chybami, nezapsané bloky:");
      for (const std::string& block : failed) Log(mainTool, block);
    }
    Log(mainTool, kStars);
    return false;
  }
  platform::ShowMessage("Export je patrně u konce, Ahoj");
  progress.End();
  Log(mainTool, "Pokud to nespadlo, tak se soubor " + guideFileName);
  Log(mainTool, "Úspěšně uložil do bloků pod složkou ");
  Log(mainTool, dataDirectory);
  Log(mainTool, kStars);
  return true;
}
