#pragma once
// Selectors: recursors that collect the elements below their Input for which
// a condition holds, into the entity "Selected elements" that is their Output.
#include <cstdint>
#include <string>

#include "framework/tools/recursor.h"

class TCondCreator;

class TSelector : public TRecursor {
  KESTX_CLASS(TSelector)
 public:
  // The condition text, compiled at every run.
  std::string Condition;

  // Creates the selection and compiles Condition; raises SyntaxExcept for an
  // empty or wrong condition, before the walk starts.
  void Prepare() override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement* element) override;

 protected:
  bool Holds(TElement* element);
  void Select(TElement* element);

 private:
  TCondCreator* ConditionCreator();

  TElementLink compiled_;
  TElementLink creator_;
};

class TAllSelector : public TSelector {
  KESTX_CLASS(TAllSelector)
 public:
  void Process(TElement* element) override;
};

// The topmost matches on each path below Input.
class TFirstSelector : public TSelector {
  KESTX_CLASS(TFirstSelector)
 public:
  bool Found = false;
  void Prepare() override;
  bool QGoInside(TElement* element) override;
  // Every walk below an entity ends with the search open again.
  void LeftInside(TElement* element) override;
  void Process(TElement* element) override;
};

// The first match of the whole walk.
class TAbsFirstSelector : public TSelector {
  KESTX_CLASS(TAbsFirstSelector)
 public:
  bool Found = false;
  void Prepare() override;
  bool QGoInside(TElement* element) override;
  void Process(TElement* element) override;
};

// The matches on levels 1 to Maxlevel.
class TLevelSelector : public TSelector {
  KESTX_CLASS(TLevelSelector)
 public:
  std::int32_t Maxlevel = 0;
  bool QGoInside(TElement* element) override;
  void Process(TElement* element) override;
};

void RegisterSelectClasses();
