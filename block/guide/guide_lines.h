#pragma once
// The guide's chosen sheets as frame lines: every selected sheet page of a
// chosen series and every user map space becomes a closed polyline round the
// sheet, gathered per series in a line string under the output entity, from
// which the line export writes one block per series.
#include <string>
#include <unordered_set>

#include "framework/tools/recursor.h"

class TRectEntity;

class TSelectGuideLines : public TRecursor {
  KESTX_CLASS(TSelectGuideLines)
 public:
  void Set2(bool value) { f2_ = value; }
  void Set25(bool value) { f25_ = value; }
  void Set5(bool value) { f5_ = value; }
  void SetUser(bool value) { fUser_ = value; }
  void Set50(bool value) { f50_ = value; }
  void Set10(bool value) { f10_ = value; }

  // Map spaces are framed, each once a run: a 1:5 000 sheet lies under its
  // 1:10 000 sheet and under the 1:25 000 quarter that covers it.
  bool QProcessBefore(TElement* element) override;
  bool QGoInside(TElement* element) override;
  // By exact class: a sheet page of a chosen series when the user selected
  // it, a user map space when user spaces are chosen.
  void Process(TElement* element) override;
  void Prepare() override;

  // Appends Sheet's frame to the line string Name of the output, made when
  // missing.  A sheet without bounds gives a log line instead.
  void AddSheetFrame(const std::string& Name, TRectEntity* Sheet);

 private:
  bool f2_ = false;
  bool f25_ = false;
  bool f5_ = false;
  bool fUser_ = false;
  bool f50_ = false;
  bool f10_ = false;
  // Entities whose children this run has walked.
  std::unordered_set<const TElement*> walked_;
};

void RegisterGuideLineClasses();
