#pragma once
// Interprets: the renderers of one class of elements each.  An interpret
// walks its input depth first and hands every element to those of its
// sub-interprets that accept it; they draw on the interpret's device.
#include <stdexcept>
#include <string>

#include "framework/tools/recursor.h"

class TDevice;

// Ends a walk the user broke.
class EBreakInterpret : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum : int { msgReView = 31, msgReViewArea = 32 };

class TInterpret : public TRecursor {
  KESTX_CLASS(TInterpret)
 public:
  // Raised by a print run while the interpret draws onto the printer.
  bool Printing = false;

  TDevice* Device() const;
  // The old device is only detached; the new one becomes a child.
  void SetDevice(TDevice* device);
  void SetNextSubInterpret(TTool* tool);

  virtual void ProcessSubOutput(TElement* output);
  virtual bool IsItsClass(TElement* element);
  // Whether elements of the class are its own (any class here).
  virtual bool AcceptsClass(TClass) const { return true; }
  virtual void CreateSubInterprets();
  virtual void ClearSubInterprets();
  virtual void AttachDevice(TDevice* device);
  virtual void DetachDevice();
  virtual void BeforeRun();
  virtual void AfterRun();
  virtual bool QGoInsideAfter(TElement* element);
  virtual void ReView(TKestuMessage* message, bool& handled);
  virtual void ReViewArea(TKestuMessage* message, bool& handled);

  void AfterConstruction() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  // Never lets an exception out: a broken walk just ends, a failing one
  // also logs the failure (once for the outermost walk).
  void DoIt() override;
  void SetBreakWork(bool value) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

 protected:
  // The last walk was ended by a break or a failure.
  bool WalkEnded() const { return walkEnded_; }
  // A line for the message window, the first of the outermost walk only.
  void LogWalkFailure(const std::string& text);
  // Each sub-interpret in list order (other tools are skipped).
  template <class F>
  void ForEachSubInterpret(F&& f);

 private:
  TElementLink device_;
  bool walkEnded_ = false;
};

// An interpret that knows the world rectangle its device shows.
class TRectInterpret : public TInterpret {
  KESTX_CLASS(TRectInterpret)
 public:
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;
  double GetMinX() const { return MinX; }
  double GetMinY() const { return MinY; }
  double GetMaxX() const { return MaxX; }
  double GetMaxY() const { return MaxY; }

  void AttachDevice(TDevice* device) override;
};

void RegisterInterpretClasses();
