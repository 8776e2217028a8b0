#pragma once
// The print dialog of a desktop: it lays the grid of printer pages over the
// desktop, shows it in a preview, lets the user set the print scale, the
// overlap and centring, and answers the pages to print as its Output.  It
// lives until its window closes after the print.
#include <memory>

#include "render/tool_forms/interactive_tool.h"

class TDesktop;
class TDevice;
class TPrintPages;
class TPrnDlg;

class TPrintDialogTool : public TInteractiveTool {
  KESTX_CLASS(TPrintDialogTool)
 public:
  ~TPrintDialogTool() override;

  // Shows the sheets to print and lays one page only.
  bool MultiPageMode = false;

  TPrnDlg* Form() const { return form_.get(); }
  TDevice* PrintDevice() const;
  void SetPrintDevice(TDevice* device);
  // Made on first use once the print device is set; nil before.
  TPrintPages* PrintPages();
  TDesktop* Desktop() const;
  // After the print: the preview keeps its frame only.
  void FreePrintPages();
  // Frees the tool, or, while it draws its preview, when the drawing ends.
  void ReleaseWhenIdle();

  virtual void CreateForm();
  virtual void CreateDevice();
  virtual void ConnectDevice();
  virtual void CreateInterpret();
  virtual void ConnectInterpret();
  virtual bool GetVisible() const;
  virtual void SetVisible(bool value);
  virtual void FitToPage();
  virtual void ApplyScale();
  virtual void ApplyOverlap();
  virtual void ApplyCenterPage();
  virtual void SaveRasterLines();

  void AfterConstruction() override;
  // Takes a TDesktop only.
  void SetInput(TElement* element) override;
  void DoIt() override;
  void Close() override;
  void ReView(TKestuMessage* message, bool& handled) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 private:
  // The paper's width and height in metres.
  double PaperWidth() const;
  double PaperHeight() const;
  // The preview changed: its bounds follow, and it is drawn again.
  void PreviewChanged();
  void SetRasterLines(bool value);
  void FreeTheForm();
  void FreePreview();

  std::unique_ptr<TPrnDlg> form_;
  int reViewDepth_ = 0;
  bool releasePending_ = false;
  TElementLink printDevice_;
  TElementLink printPages_;
  TElementLink desktop_;
};
