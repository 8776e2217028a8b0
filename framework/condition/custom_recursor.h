#pragma once
// The custom recursor: a recursor with tools whose three decisions are each
// gated by a condition.
#include <memory>
#include <string>

#include "framework/tools/recursor.h"

class TCondition;

class TCustomRecursor : public TRecursorWithTools {
  KESTX_CLASS(TCustomRecursor)
 public:
  TCustomRecursor();
  ~TCustomRecursor() override;

  std::string BeforeCondition;
  std::string AfterCondition;
  std::string GoInsideCondition;

  // Compiles the three texts; an empty text clears its condition.  Raises
  // SyntaxExcept before the walk starts.
  void Prepare() override;
  // BeforeTool runs on the elements that satisfy BeforeCondition.
  bool QProcessBefore(TElement* element) override;
  // AfterTool runs on the elements that satisfy AfterCondition.
  bool QProcessAfter(TElement* element) override;
  // Enters an element when GoInsideCondition is absent, or holds and the
  // recursor with tools agrees.
  bool QGoInside(TElement* element) override;

 private:
  std::unique_ptr<TCondition> before_;
  std::unique_ptr<TCondition> after_;
  std::unique_ptr<TCondition> goInside_;
};

void RegisterAdvrczClasses();
