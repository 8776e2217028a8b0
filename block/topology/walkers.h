#pragma once
// Walkers: recursors that visit every polyline, every area or every leaf
// cell of a line-end index below their input, show a progress gauge when
// there is much to do, and mark what they have processed with the space
// entity's IsDone flag, so that an element reached through two containers is
// handled once per walk.  Topology passes and the block export derive from
// them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/tools/recursor.h"
#include "spatial/objects/line_end_plan.h"

namespace platform {
class TF_gaugeForm;
}
class TSpaceLineBegEndCell;

class TProchazecObjektu : public TRecursor {
  KESTX_CLASS(TProchazecObjektu)
 public:
  // Passes over more elements than this show the gauge.
  static constexpr int GaugeThreshold = 100;

  TProchazecObjektu();
  ~TProchazecObjektu() override;

  // Elements processed (or counted) so far.
  std::int32_t Count = 0;
  // Progress is shown every GaugeStep values; 0 shows every value.
  std::int32_t GaugeStep = 0;

  // Owned; made on first use, captioned with the walker's name.
  platform::TF_gaugeForm& Gauge();
  void SetGaugeCaption(const std::string& text);
  // Accepted and ignored.
  void SetProtocol(const std::string& text);

  // Returns at once while a walk of this walker runs.  Framework messages
  // wait until the walk ends (it lets the window's events run).
  void DoIt() override;

  void SetGaugeMax(int Value);
  void ShowGauge();
  void HideGauge();
  void SetGaugeStep(int Value);
  void SetGaugeProgress(int Value);

  // Whether the last walk stopped because the user confirmed the question.
  bool StoppedByUser() const { return stopped_; }

 protected:
  // The walk itself: the recursor's; gauge walks count first.
  virtual void Walk();
  // Counts with counter over the same input, shows the gauge when there is
  // much to do, walks and hides the gauge.
  void GaugeWalk(TProchazecObjektu& counter, int step);
  // Before each element: whether the walk is to stop.  A close request of
  // the gauge is answered by the question; without one the walk goes on.
  bool Stopping();
  // Whether the walk has stopped, without asking.
  bool Stopped() const;

  // Asked before the walk stops at the user's request; empty where the
  // pass has no question and does not stop so.
  std::string AbortQuestion;

 private:
  std::unique_ptr<platform::TF_gaugeForm> gauge_;
  bool stopped_ = false;
};

// Lines: goes inside owner entities that are not polylines, processes
// polylines.
class TProchazecLinii : public TProchazecObjektu {
  KESTX_CLASS(TProchazecLinii)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

// Counts lines and clears their IsDone mark.
class TOznacLinie : public TProchazecLinii {
  KESTX_CLASS(TOznacLinie)
 public:
  void Process(TElement* element) override;
};

class TProchazecLiniiGauge : public TProchazecLinii {
  KESTX_CLASS(TProchazecLiniiGauge)
 protected:
  void Walk() override;
};

// Collects the lines below the input (those meeting the search rectangle,
// unless it is all zeros) into Result, each once.
class THledacLinii : public TProchazecLiniiGauge {
  KESTX_CLASS(THledacLinii)
 public:
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;

  TElement* Result() const { return result_.Get(); }
  // Output when set, else a container of its own (a child, and Output).
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  TElementLink result_;
};

// Areas: goes inside owner entities that are not polylines, processes areas.
class TProchazecPloch : public TProchazecObjektu {
  KESTX_CLASS(TProchazecPloch)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

// Counts areas and clears their IsDone mark.
class TOznacPlochy : public TProchazecPloch {
  KESTX_CLASS(TOznacPlochy)
 public:
  void Process(TElement* element) override;
};

class TProchazecPlochGauge : public TProchazecPloch {
  KESTX_CLASS(TProchazecPlochGauge)
 protected:
  void Walk() override;
};

// Collects areas as THledacLinii collects lines; holes only on request.
class THledacPloch : public TProchazecPlochGauge {
  KESTX_CLASS(THledacPloch)
 public:
  bool IncludeHoles = false;
  double MinX = 0;
  double MinY = 0;
  double MaxX = 0;
  double MaxY = 0;

  TElement* Result() const { return result_.Get(); }
  // Only for an entity input; Output when set, else an area string of its
  // own (a child, and Output).
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  TElementLink result_;
};

// Leaves of a line-end index.
class TProchazecListuQTree : public TProchazecObjektu {
  KESTX_CLASS(TProchazecListuQTree)
 public:
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

class TProchazecListuQTreeGauge : public TProchazecListuQTree {
  KESTX_CLASS(TProchazecListuQTreeGauge)
 protected:
  void Walk() override;
};

// Files both ends of every line below the input into a new line-end index
// named "QTREE" over the bounds of the input (or of the first parameter),
// which becomes Output; the caller owns it.  The walk reads the ends and the
// index files them all once it ends.
class TReadLinesIntoQTree : public TProchazecLiniiGauge {
  KESTX_CLASS(TReadLinesIntoQTree)
 public:
  // The index last built; nil once the caller freed it.
  TSpaceLineBegEndCell* Tree() const;
  void DoIt() override;
  void Process(TElement* element) override;

 private:
  TElementLink tree_;
  std::vector<TLineEndToFile> ends_;
};

void RegisterTopologyWalkerClasses();
