#pragma once
// Classes the OIL tests reach from programs: an element with properties of
// every kind, and a tool that records its calls.
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "framework/values/typed_values.h"

class TOilProbe : public TOwnerEntity {
  KESTX_CLASS(TOilProbe)
 public:
  double Ratio = 0;
  TType Kind = TType::Byte;
  char Letter = 'a';
  std::int64_t Big = 0;
  std::int32_t Count = 0;
  std::string Text;
  bool Shown = false;
  TElement* Target() const { return target_.Get(); }
  void SetTarget(TEntity* target) { target_.Set(target); }
  std::int32_t ReadOnly() const { return 42; }
  // Counts the framework messages it receives.
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  int Received = 0;

 private:
  TElementLink target_;
};

class TOilProbeTool : public TTool {
  KESTX_CLASS(TOilProbeTool)
 public:
  TOilProbeTool() { ++Alive; }
  ~TOilProbeTool() override { --Alive; }
  std::string Text;
  std::int32_t Number = 0;
  double Ratio = 0;
  bool Flag = false;
  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;

  static inline int Alive = 0;
  static inline std::vector<std::string> Calls;
};

// Shows its Text in a message box from inside a run; without a Text it posts a line for the message window to its
// Input and lets events run.
class TOilEventTool : public TTool {
  KESTX_CLASS(TOilEventTool)
 public:
  std::string Text;
  void DoIt() override;
};

void RegisterOilProbes();
