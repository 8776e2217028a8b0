#pragma once
// Carries block attributes from the areas of a read block to new areas
// across their boundary lines: each line of a new area names, on the area's
// side, the old area it bounded, and the largest of those gives its
// properties.  A text protocol may list every carry or only the problems.
#include <string>

#include "framework/tools/tools.h"

class TAreaElement;
class TRegister;

class TCarryArToArThroughLines : public TTool {
  KESTX_CLASS(TCarryArToArThroughLines)
 public:
  // Marks the new areas whose carry met a problem.
  bool SelectForProblem = false;
  // Protocols only the carries that met a problem.
  bool ProtocolOnlyProblem = false;
  // Created anew on every run; empty: no protocol.
  std::string ProtocolFile;

  // Input an area list.
  void DoIt() override;
  virtual void CarryFromArea(TAreaElement* Area);
  virtual void AddToProtocolLine(const std::string& Text);
  virtual void ReportProblem(TElement* Element, const std::string& Reason);
  virtual void ProtocolCarry(TAreaElement* OldArea, TAreaElement* NewArea);

  const std::string& ProtocolLine() const { return protocolLine_; }

 private:
  // The old area the line bounded on the new area's side; nil (reported)
  // when it cannot be found.
  TAreaElement* OldAreaAcross(TElement* Line, bool Origin);
  void WriteProtocol(const std::string& text);

  std::string protocolLine_;
  TElementLink register_;
  bool protocolOpen_ = false;
};

void RegisterCarryAttributesClasses();
