#include "cartography/printing/print_tool.h"

#include <memory>
#include <string>

#include "cartography/layouts/desktop.h"
#include "cartography/printing/print_dialog_form.h"
#include "cartography/printing/print_dialog_tool.h"
#include "cartography/printing/print_pages.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "render/devices/print_device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

// The dialog's caption while page number of count prints.
void ShowPrintedPage(TPrintDialogTool& dialog, int number, int count) {
  if (TPrnDlg* form = dialog.Form())
    form->Window().SetCaption("Tisk strany č. " + std::to_string(number) + " (" + std::to_string(count) + ")");
}

void CentrePage(TPrintDevice& printer, double x, double y, double scale) {
  printer.Projection()->Calculate({x, y}, printer.Page(), scale);
}

void FreeTool(const TElementLink& tool) {
  TElement* alive = tool.Get();
  FreeAndNil(alive);
}

// The dialog without print pages was cancelled, and a grid the scale lays
// no page of has nothing to print on: either way nothing is printed, and the
// job goes before it has a page, so no file is made or replaced.
TPrintPages* PagesToPrint(TPrintDialogTool& dialog, TPrintDevice& printer) {
  auto* pages = DynamicCast<TPrintPages>(dialog.Output());
  if (pages && pages->Pages()->GetCount() > 0) return pages;
  TElement* freed = &dialog;
  FreeAndNil(freed);
  printer.Printer().Abort();
  if (pages) platform::ShowMessage("Není co tisknout: při zadaném měřítku nelze rozložit žádnou stránku");
  return nullptr;
}

// Only sheets are laid out on paper: without one nothing is printed, and
// the person learns why rather than finding no page, or a blank one.
void PrintNothing(TPrintDevice& printer) {
  printer.Printer().Abort();
  platform::ShowMessage("Není co tisknout: tiskne se jen pracovní plocha (TDesktop, TMultiPageDesktop) a zobrazení "
                        "žádnou nemá");
}

}  // namespace

void TPrint::DoIt() {
  Error = 0;
  auto* interpret = DynamicCast<TInterpret>(Input());
  if (!interpret) return;
  if (!interpret->Device()) return platform::ShowMessage("Není nastaveno zařízení interpretru");
  if (platform::Printing()) return platform::ShowMessage("Dosud se tiskne");
  interpret_.Set(interpret);
  Run(*interpret);
}

void TPrint::Run(TInterpret& interpret) {
  TDevice* screen = interpret.Device();
  screenDevice_.Set(screen);
  TElementLink printerLink;
  try {
    auto* printer = CreateElement<TPrintDevice>();
    printerLink.Set(printer);
    // The user asked to print: a map with nothing to draw prints a blank
    // page.  An entity prints only the sheets it holds.
    printer->Printer().Begin();
    interpret.Printing = true;
    TPageProjection& shown = *screen->Projection();
    CentrePage(*printer, shown.Center_X(), shown.Center_Y(), shown.Scale());
    printer->Projection()->SetVirtualScale(shown.VirtualScale());
    interpret.SetDevice(printer);
    try {
      PrintInput(interpret, *printer);
      // Printed is what the file holds whole.
      printer->Printer().End();
    } catch (const std::exception& error) {
      printer->Printer().Abort();
      Fail(std::string("Problémy s tiskem: ") + error.what());
    }
  } catch (const std::exception& error) {
    Fail(std::string("Problémy s přípravou tisku: ") + error.what());
  }
  // Also after a failed preparation: the window waits for the end of the run.
  if (interpret_.Get()) interpret.SetDevice(static_cast<TDevice*>(screenDevice_.Get()));
  TElement* printer = printerLink.Get();
  FreeAndNil(printer);
  if (!interpret_.Get()) return;
  interpret.Printing = false;
  interpret.PostMessageToOwners(msgPrintDone, nullptr, false);
}

// The run's dialog has no end of printing to sum up.
void TPrint::Fail(const std::string& text) {
  Error = 1;
  FreeTool(dialog_);
  platform::ShowMessage(text);
  Log(text);
  NoteFailedWork(TFailedWork::Print);
}

void TPrint::PrintInput(TInterpret& interpret, TPrintDevice& printer) {
  auto* model = DynamicCast<TEntity>(interpret.Input());
  if (!model) return interpret.DoIt();
  if (auto* desktop = DynamicCast<TDesktop>(model->FindElementByClass(TDesktop::StaticClass())))
    return PrintDesktop(interpret, printer, *desktop);
  if (auto* sheets = DynamicCast<TMultiPageDesktop>(model->FindElementByClass(TMultiPageDesktop::StaticClass())))
    return PrintMultiPageDesktop(interpret, printer, *sheets);
  PrintNothing(printer);
}

// The user may close the dialog while a page prints: the dialog's death
// ends the run after that page, and the job is aborted.
void TPrint::PrintDesktop(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop) {
  auto* dialog = CreateElement<TPrintDialogTool>();
  const TElementLink dialogLink(dialog);
  dialog_.Set(dialog);
  dialog->SetPrintDevice(&printer);
  dialog->SetInput(&desktop);
  dialog->DoIt();
  TPrintPages* pages = PagesToPrint(*dialog, printer);
  if (!pages) return;
  const TElementLink pagesLink(pages);
  dialog->Form()->SetStartTime(platform::Now());
  const int count = pages->Pages()->GetCount();
  const double scale = pages->Scale();
  for (int i = 0; i < count; ++i) {
    if (i > 0) printer.Printer().NewPage();
    auto* page = static_cast<TRectEntity*>(pages->Pages()->GetElement(i));
    if (count > 1) ShowPrintedPage(*dialog, printer.Printer().PageNumber(), count);
    CentrePage(printer, page->GetCenterX(), page->GetCenterY(), scale);
    interpret.DoIt();
    if (!dialogLink.Get() || !pagesLink.Get()) return printer.Printer().Abort();
  }
  dialog->FreePrintPages();
}

void TPrint::PrintMultiPageDesktop(TInterpret& interpret, TPrintDevice& printer, TMultiPageDesktop& sheets) {
  auto* first = DynamicCast<TDesktop>(sheets.PageByIndex(0));
  if (!first) return PrintNothing(printer);
  const TElementLink kept(interpret.Input());
  auto* dialog = CreateElement<TPrintDialogTool>();
  const TElementLink dialogLink(dialog);
  dialog_.Set(dialog);
  dialog->MultiPageMode = true;
  dialog->SetPrintDevice(&printer);
  dialog->SetInput(first);
  dialog->DoIt();
  TPrintPages* pages = PagesToPrint(*dialog, printer);
  if (!pages) return;
  try {
    // Read before the first page: a list that is no list of numbers prints nothing.
    std::unique_ptr<TIntegerListElement> selection;
    if (dialog->Form()->Window().Checked("r_Pages")) {
      selection = std::make_unique<TIntegerListElement>();
      selection->AddCommaText(dialog->Form()->Window().Text("ed_Pages"));
    }
    auto* firstPage = static_cast<TRectEntity*>(pages->Pages()->GetElement(0));
    const int count = sheets.GetCount();
    const double dx = firstPage->GetCenterX() - first->GetCenterX();
    const double dy = firstPage->GetCenterY() - first->GetCenterY();
    const double scale = pages->Scale();
    dialog->Form()->SetStartTime(platform::Now());
    bool printed = false;
    for (int i = 0; i < count; ++i) {
      auto* sheet = DynamicCast<TDesktop>(sheets.PageByIndex(i));
      sheets.SetActualPage(sheet);
      if (!sheet || (selection && !selection->Contains(sheets.ActualNumber()))) continue;
      if (printed) printer.Printer().NewPage();
      printed = true;
      ShowPrintedPage(*dialog, sheets.ActualNumber(), count);
      CentrePage(printer, sheet->GetCenterX() + dx, sheet->GetCenterY() + dy, scale);
      interpret.SetInput(sheet);
      interpret.DoIt();
      if (!dialogLink.Get()) {
        printer.Printer().Abort();
        break;
      }
    }
    if (!printed) {
      // A list that names no sheet has nothing to lay on paper: the job goes
      // before it has a page, so no blank page is made.
      FreeTool(dialogLink);
      printer.Printer().Abort();
      platform::ShowMessage("Není co tisknout: žádná z vybraných stránek neexistuje");
    } else if (dialogLink.Get()) {
      dialog->FreePrintPages();
    }
  } catch (...) {
    FreeTool(dialogLink);
    interpret.SetInput(kept.Get());
    throw;
  }
  interpret.SetInput(kept.Get());
}

TClass TPrint::StaticClass() {
  static const TClassInfo info = DescribeClass<TPrint>("TPrint", TTool::StaticClass(), "Print", {});
  return &info;
}

void RegisterPrintClasses() { RegisterKestuClass(TPrint::StaticClass()); }
