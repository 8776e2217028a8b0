#include "cartography/models/model_script_text.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "cartography/models/layer_scripts.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"

namespace {

bool IsLayerKind(const std::string& name) {
  static const std::vector<std::string> kinds{"LIN", "ARE", "PNT", "TXT", "LINSYM", "ELEMENT", "RAS"};
  return std::find(kinds.begin(), kinds.end(), AsciiUpperCase(name)) != kinds.end();
}

bool IsParameterName(const std::string& name) {
  return !name.empty() && std::string("!+-<>@").find(name.front()) != std::string::npos;
}

}  // namespace

// ---------------------------------------------------------------- TModelScriptCreator

// A script never handed over as Output has no other holder.
TModelScriptCreator::~TModelScriptCreator() {
  TElement* script = script_.Get();
  if (script && script != Output() && script->HolderCount() == 0 && script->HasNoOwner()) FreeAndNil(script);
}

void TModelScriptCreator::LogUnknownLine(const std::string& line) {
  if (!TrimBlanks(line).empty()) Log("Skript modelu: neznámý řádek " + line);
}

void TModelScriptCreator::SetNextLayer(const std::string& line) {
  std::string name;
  std::string value;
  SplitNameValue(line, name, value);
  if (IsParameterName(name)) {
    SetNextLayerProperty(line);
    return;
  }
  if (name.empty() || !IsLayerKind(name)) {
    LogUnknownLine(line);
    return;
  }
  auto* script = static_cast<TModelScript*>(script_.Get());
  if (!script) {
    script = CreateElement<TModelScript>();
    script_.Set(script);
  }
  auto* layer = CreateElement<TLayerScript>();
  layer->SetName(name);
  layer->SetDescription(value);
  script->AddElement(layer);
  layer_.Set(layer);
}

void TModelScriptCreator::SetNextLayerProperty(const std::string& line) {
  std::string name;
  std::string value;
  SplitNameValue(line, name, value);
  auto* layer = static_cast<TLayerScript*>(layer_.Get());
  if (name.empty() || !layer) {
    LogUnknownLine(line);
    return;
  }
  layer->AddParameter(TStringElement::CreateNameValue(name, value));
}

void TModelScriptCreator::SetLayers(TStringListElement* lines) {
  if (!lines) return;
  // An item without a name holds its whole line: a list keeps "ARE=" (a
  // layer of no description) that way, and a line of no name as nothing.
  for (int i = 0; i < lines->GetCount(); ++i) {
    TStringElement* item = lines->GetItem(i);
    if (!item) continue;
    const std::string value = item->GetAsString();
    SetNextLayer(item->HasName() ? item->GetName() + "=" + value : value.empty() ? "=" : value);
  }
}

void TModelScriptCreator::DoIt() {
  TTool::DoIt();
  if (auto* lines = DynamicCast<TStringListElement>(Input())) SetLayers(lines);
  auto* script = static_cast<TModelScript*>(script_.Get());
  if (!script) return;
  std::string base = DataDirectory;
  if (base.empty() || (base.back() != '/' && base.back() != '\\')) base += '/';
  for (int i = 0; i < script->GetCount(); ++i) {
    auto* layer = DynamicCast<TLayerScript>(script->GetElement(i));
    if (!layer) continue;
    try {
      layer->ExpandPaths(base);
    } catch (const std::exception& error) {
      Log("Skript modelu: vrstvu " + layer->GetName() + "=" + layer->GetDescription() + " nelze rozvinout: " +
          error.what());
    }
  }
  SetOutput(script);
}

TClass TModelScriptCreator::StaticClass() {
  using E = TModelScriptCreator;
  static const TClassInfo info =
      DescribeClass<E>("TModelScriptCreator", TTool::StaticClass(), "ModelScripts",
                       {FieldProp("DataDirectory", &E::DataDirectory),
                        NotStored(WriteProp("NextLayer", &E::SetNextLayer)),
                        NotStored(WriteProp("NextLayerProperty", &E::SetNextLayerProperty)),
                        NotStored(WriteProp("Layers", &E::SetLayers))});
  return &info;
}

// ---------------------------------------------------------------- TStringListFromModelScript

void TStringListFromModelScript::DoIt() {
  if (!DynamicCast<TModelScript>(Input())) return;
  SetOutput(CreateElement<TStringListElement>());
  TRecursor::DoIt();
}

bool TStringListFromModelScript::QProcessBefore(TElement*) { return true; }

void TStringListFromModelScript::Process(TElement* element) {
  auto* lines = static_cast<TStringListElement*>(Output());
  if (element->ClassType() == TLayerScript::StaticClass()) {
    const auto* layer = static_cast<TLayerScript*>(element);
    lines->NextNameIsValue(layer->GetName() + "=" + layer->GetDescription());
  } else if (element->ClassType() == TStringElement::StaticClass()) {
    lines->NextNameIsValue(static_cast<TStringElement*>(element)->GetNameIsValue());
  }
}

TClass TStringListFromModelScript::StaticClass() {
  static const TClassInfo info = DescribeClass<TStringListFromModelScript>(
      "TStringListFromModelScript", TRecursor::StaticClass(), "ModelScripts", {});
  return &info;
}

void RegisterModelScriptTextClasses() {
  for (TClass cls : {TModelScriptCreator::StaticClass(), TStringListFromModelScript::StaticClass()})
    RegisterKestuClass(cls);
}
