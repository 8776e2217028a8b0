#pragma once
// What the two kinds of graphic window tools share: the form-tool manager
// and the script-built graphic form.  Both keep a redraw or a close asked
// while their interpret draws for the end of the walk, wrap their input in
// an envelope, fit the view to it, and publish the page colour, the
// interpret's script and the active tool by name.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TDevice;
class TDeviceTool;
class TElement;
class TInterpret;
class TInterpretScript;
class TKestuMessage;
class TTool;

// A redraw or a close asked while the interpret draws (or while a redraw
// runs inside the window's own message loop) waits for the end of the walk.
class TRedrawState {
 public:
  bool ReViewPending() const { return reViewPending_; }
  bool ClosePending() const { return closePending_; }
  bool Drawing() const { return depth_ > 0; }

  // A redraw asked while the interpret draws: remembered and the walk
  // broken (a print run's is not: it ends by itself); false when the
  // interpret is idle and the redraw may run.
  bool DeferReView(TInterpret* interpret);
  // The same for a close, also asked within a redraw of the window.
  bool DeferClose(TInterpret* interpret);
  // Runs the redraw draw() and then after(), then lets the pending
  // messages run; false when the tool ended meanwhile, and then nothing of
  // it (nor of this state) may be touched.
  bool Run(TElement& tool, const std::function<void()>& draw, const std::function<void()>& after);
  // Code 3: when the window's universal interpret reported the end of its
  // walk outside a redraw and a print run, finish() carries out what waited.
  void WalkReported(TKestuMessage* message, const std::function<void()>& finish);
  // The walk ended: a close that waited runs, else a redraw that waited.
  void Finish(const std::function<void()>& close, const std::function<void()>& reView);

 private:
  bool reViewPending_ = false;
  bool closePending_ = false;
  // Redraws of the window under way, one inside another.
  int depth_ = 0;
};

// Fits the device's projection to the element's extent on its page: a rect
// entity's bounds, a coordinate's extent.  Bounds missing in the element or
// below it are first made from what it holds (CompleteMissingBounds), and
// an entity without bounds of its own is fitted to what it holds.
void FitElementToDevice(TDevice* device, TElement* element);
// The tool's input becomes a new envelope "Obálka" (a child of the tool)
// holding the element, set through setInput; the old input is freed and
// the view fitted to the element.  Nil clears the input.
void SetEnvelopedInput(TDeviceTool& tool, TElement* element, const std::function<void(TElement*)>& setInput);

std::uint32_t DevicePageColor(const TDevice* device);
void SetDevicePageColor(TDevice* device, std::uint32_t colour);
// The script of a universal interpret; nil for other interprets.
TInterpretScript* UniversalScript(const TInterpret* interpret);
void SetUniversalScript(TInterpret* interpret, TInterpretScript* script);

// The first of the tools with that name (or of that registered class)
// posts code 4 with itself to its owners; nothing when none is found.
void RequestSelectionByName(const std::vector<TTool*>& tools, const std::string& name);
void RequestSelectionByClassName(const std::vector<TTool*>& tools, const std::string& className);
