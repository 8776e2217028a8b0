#pragma once
// Model scripts to and from their text: lines "kind=pattern", each
// followed by its parameter lines ("@COLOR=5", "!DRUH=1,2").
#include <string>

#include "framework/tools/recursor.h"

class TLayerScript;
class TModelScript;
class TStringListElement;

class TModelScriptCreator : public TTool {
  KESTX_CLASS(TModelScriptCreator)
 public:
  ~TModelScriptCreator() override;

  std::string DataDirectory;

  // A layer line starts a new layer of the script; a line whose name begins
  // with "!", "+", "-", "<", ">" or "@" is a parameter of the current one.
  // Other non-empty lines are logged and left out.
  void SetNextLayer(const std::string& line);
  void SetNextLayerProperty(const std::string& line);
  void SetLayers(TStringListElement* lines);
  // Reads Input when it is a string list, expands the layers under
  // DataDirectory and hands the script over as Output.  A layer whose
  // expansion fails is logged; the others are expanded still.
  void DoIt() override;

 private:
  void LogUnknownLine(const std::string& line);

  TElementLink script_;
  TElementLink layer_;
};

// The text of a model script: Output a new string list.
class TStringListFromModelScript : public TRecursor {
  KESTX_CLASS(TStringListFromModelScript)
 public:
  void DoIt() override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
};

void RegisterModelScriptTextClasses();
