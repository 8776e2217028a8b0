#pragma once
// A print run: what a graphic window's interpret draws goes to the printer.
// A desktop goes through the print dialog and is printed page by page; the
// sheets of a multi-page desktop each on a page of their own; any other
// model once, at the window's centre and scale.  The run ends by posting
// msgPrintDone to the interpret's owners.  A run that fails, also one whose
// file the disk does not take whole, is the tool's Error: shown, logged and
// counted against the run of the program.
#include <string>

#include "framework/tools/tools.h"

class TDesktop;
class TDevice;
class TInterpret;
class TMultiPageDesktop;
class TPrintDevice;

class TPrint : public TTool {
  KESTX_CLASS(TPrint)
 public:
  // Prints the Input interpret; nothing happens for any other input.
  void DoIt() override;

 private:
  // Steps 2 to 5 of a run: raises what went wrong while preparing.
  void Run(TInterpret& interpret);
  void PrintInput(TInterpret& interpret, TPrintDevice& printer);
  void PrintDesktop(TInterpret& interpret, TPrintDevice& printer, TDesktop& desktop);
  void PrintMultiPageDesktop(TInterpret& interpret, TPrintDevice& printer, TMultiPageDesktop& sheets);
  void Fail(const std::string& text);

  TElementLink screenDevice_;
  TElementLink interpret_;
  TElementLink dialog_;
};

void RegisterPrintClasses();
