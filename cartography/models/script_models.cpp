#include "cartography/models/script_models.h"

#include <exception>
#include <stdexcept>

#include "block/reading/block_reader.h"
#include "cartography/models/layer_scripts.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "render/interprets/interpret_layers.h"
#include "render/rasters/raster.h"
#include "spatial/geometry/missing_bounds.h"
#include "spatial/objects/space_entities.h"

namespace {

void AddTo(TEntity& container, TElement* element) {
  if (auto* rect = DynamicCast<TRectEntity>(&container); rect && DynamicCast<TRectEntity>(element))
    rect->AddEntity(element);
  else
    container.AddElement(element);
}

std::vector<std::string> ParameterLines(TLayerScript& layer) {
  std::vector<std::string> lines;
  if (TPropertyList* params = layer.Parameters())
    for (int i = 0; i < params->GetCount(); ++i)
      if (auto* item = DynamicCast<TStringElement>(params->GetElement(i))) lines.push_back(item->GetNameIsValue());
  return lines;
}

std::string WithoutAt(const std::string& name) { return !name.empty() && name.front() == '@' ? name.substr(1) : name; }

bool IsBlockFolder(const std::string& path) {
  return platform::DirectoryExists(path) && AsciiUpperCase(platform::ExtractFileExt(path)) == ".BLK";
}

}  // namespace

// ---------------------------------------------------------------- TModelByScriptCreator

void TModelByScriptCreator::SetDeltaX(double value) {
  MinX += value;
  MaxX += value;
}

void TModelByScriptCreator::SetDeltaY(double value) {
  MinY += value;
  MaxY += value;
}

void TModelByScriptCreator::SetWidth(double value) { MaxX = MinX + value; }

void TModelByScriptCreator::SetHeight(double value) { MaxY = MinY + value; }

TElement* TModelByScriptCreator::CreateFromScript(const std::string& className, const std::vector<std::string>& params) {
  TElement* element = CreateElementByClassName(className);
  if (!element) return nullptr;
  for (const std::string& line : params) {
    std::string name;
    std::string value;
    SplitNameValue(line, name, value);
    const TPropInfo* info = element->ClassType()->FindProp(WithoutAt(name));
    if (!info) {
      Log("Skript modelu: " + className + " nemá vlastnost " + WithoutAt(name));
      continue;
    }
    // A script may come from anyone, as a KES file may: like the file's
    // data, its parameters reach only what the element stores.  Another
    // property may act when set (a file element's name renames the file, its
    // attributes and time are written to the disk, a list saves itself).
    if (!IsStoredData(*info)) {
      Log("Skript modelu: vlastnost " + info->Name + " třídy " + className + " se ze skriptu nenastavuje");
      continue;
    }
    SetPropInfoFromText(element, info, value);
  }
  return element;
}

TElement* TModelByScriptCreator::CreateRaster(const std::string& path, const std::vector<std::string>& params) {
  TRaster* raster = nullptr;
  try {
    raster = CreateRasterFromFile(path);
  } catch (const std::exception& error) {
    Log("Skript modelu: rastr " + path + " nelze otevřít: " + error.what());
    return nullptr;
  }
  if (!raster) {
    Log("Skript modelu: soubor " + path + " neexistuje");
    return nullptr;
  }
  for (const std::string& line : params) {
    std::string name;
    std::string value;
    SplitNameValue(line, name, value);
    if (AsciiUpperCase(name) == "@COLOR") raster->Color = TextToInt(value);
  }
  return raster;
}

TElement* TModelByScriptCreator::ReadPath(const std::string& kind, const std::string& path,
                                          const std::vector<std::string>& params) {
  const std::string upperKind = AsciiUpperCase(kind);
  if (upperKind == "RAS") return RastersEnabled() ? CreateRaster(path, params) : nullptr;
  if (upperKind == "ELEMENT") return CreateFromScript(path, params);
  if (!IsBlockFolder(path)) {
    platform::FileEntry entry;
    if (!platform::FindFile(path, entry)) Log("Skript modelu: blok " + path + " neexistuje");
    return nullptr;
  }
  return ReadBlockLayer(upperKind, path, params, {MinX, MinY, MaxX, MaxY}, CutLayer, OnNewObject);
}

void TModelByScriptCreator::AddLayer(TRectEntity& model, TLayerScript& script) {
  const std::string kind = script.GetName();
  const std::vector<std::string> params = ParameterLines(script);
  if (AsciiUpperCase(kind) == "ELEMENT") {
    if (TElement* element = CreateFromScript(script.GetDescription(), params)) AddTo(model, element);
    return;
  }
  TInterpretLayer* layer = nullptr;
  for (int i = 0; i < script.GetCount(); ++i) {
    auto* path = DynamicCast<TPathElement>(script.GetElement(i));
    if (!path) continue;
    if (!layer) layer = CreateElement<TInterpretLayer>();
    TElement* read = ReadPath(kind, path->GetAsString(), params);
    if (!read) continue;
    // A block's list comes without bounds: made from what it holds, they
    // let the layer and the model grow by it, and a view centre on it.
    TRealRect extent;
    CompleteMissingBounds(read, extent);
    AddTo(*layer, read);
  }
  if (!layer) return;
  layer->SetName(NamePart(script.GetDescription()));
  layer->Path = script.GetDescription();
  layer->LayerType = kind;
  AddTo(model, layer);
}

void TModelByScriptCreator::DoIt() {
  TTool::DoIt();
  auto* script = DynamicCast<TModelScript>(Input());
  if (!script) return;
  auto* model = DynamicCast<TRectEntity>(Output());
  if (!model) model = CreateElement<TRectEntity>();
  for (int i = 0; i < script->GetCount(); ++i)
    if (auto* layer = DynamicCast<TLayerScript>(script->GetElement(i))) AddLayer(*model, *layer);
  SetOutput(model);
}

TClass TModelByScriptCreator::StaticClass() {
  using E = TModelByScriptCreator;
  static const TClassInfo info = DescribeClass<E>(
      "TModelByScriptCreator", TTool::StaticClass(), "ModelScripts",
      {FieldProp("MinX", &E::MinX), FieldProp("MinY", &E::MinY), FieldProp("MaxX", &E::MaxX),
       FieldProp("MaxY", &E::MaxY), NotStored(WriteProp("DeltaX", &E::SetDeltaX)),
       NotStored(WriteProp("DeltaY", &E::SetDeltaY)), NotStored(WriteProp("Width", &E::SetWidth)),
       NotStored(WriteProp("Height", &E::SetHeight)), NotStored(ReadProp("CenterX", &E::GetCenterX)),
       NotStored(ReadProp("CenterY", &E::GetCenterY)), FieldProp("CutLayer", &E::CutLayer),
       FieldProp("OnNewObject", &E::OnNewObject)});
  return &info;
}

// ---------------------------------------------------------------- TDynamicModel

TDynamicModel::~TDynamicModel() { SetActualModel(nullptr); }

void TDynamicModel::SetActualModel(TElement* model) {
  if (model == actualModel_) return;
  if (model) CheckNewHeld(model);
  if (actualModel_) {
    ReleaseField(actualModel_);
    if (TWorld* world = World(); world && world->ObjectModel())
      if (TElement* reg = world->ObjectModel()->FindElementByName("TRegister")) world->ObjectModel()->FreeElement(reg);
  }
  HoldInField(actualModel_, model);
}

void TDynamicModel::FieldElementFreed(TElement* element) {
  if (element == actualModel_) actualModel_ = nullptr;
  TOwnerEntity::FieldElementFreed(element);
}

void TDynamicModel::SetActualIndex(std::int32_t index) {
  if (index == actualIndex_) return;
  if (index < 0 || index >= GetCount())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  SetActualModel(nullptr);
  TModelByScriptCreator creator;
  creator.SetInput(TOwnerEntity::GetElement(index));
  creator.DoIt();
  SetActualModel(creator.Output());
  actualIndex_ = index;
}

TElement* TDynamicModel::GetElement(int index) {
  if (!Active) return TOwnerEntity::GetElement(index);
  SetActualIndex(index);
  return GetActualModel();
}

TClass TDynamicModel::StaticClass() {
  using E = TDynamicModel;
  static const TClassInfo info = DescribeClass<E>(
      "TDynamicModel", TOwnerEntity::StaticClass(), "ModelScripts",
      {ReadWriteProp("ActualModel", &E::GetActualModel, &E::SetActualModel),
       ReadWriteProp("ActualIndex", &E::GetActualIndex, &E::SetActualIndex), FieldProp("Active", &E::Active)});
  return &info;
}

// ---------------------------------------------------------------- TModelScriptToDynamicModel

void TModelScriptToDynamicModel::DoIt() {
  TTool::DoIt();
  if (!Output()) SetOutput(CreateElement<TDynamicModel>());
  auto* dynamic = DynamicCast<TDynamicModel>(Output());
  auto* script = DynamicCast<TModelScript>(Input());
  if (!dynamic || !script) return;
  dynamic->Active = false;
  for (int i = 0; i < script->GetCount(); ++i) {
    auto* layer = DynamicCast<TLayerScript>(script->GetElement(i));
    if (!layer) continue;
    for (int p = 0; p < layer->GetCount(); ++p) {
      auto* path = DynamicCast<TPathElement>(layer->GetElement(p));
      if (!path) continue;
      const std::string folder = DirectoryPart(path->GetAsString());
      auto* perFolder = DynamicCast<TModelScript>(dynamic->FindElementByName(folder));
      if (!perFolder) {
        perFolder = CreateElement<TModelScript>();
        perFolder->SetName(folder);
        dynamic->AddElement(perFolder);
      }
      auto* part = CreateElement<TLayerScript>();
      part->SetName(layer->GetName());
      part->SetDescription(layer->GetDescription());
      part->AddElement(path);
      if (TPropertyList* params = layer->Parameters()) part->ShareParameters(params);
      perFolder->AddElement(part);
    }
  }
}

TClass TModelScriptToDynamicModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TModelScriptToDynamicModel>(
      "TModelScriptToDynamicModel", TTool::StaticClass(), "ModelScripts", {});
  return &info;
}

void RegisterScriptModelClasses() {
  for (TClass cls : {TModelByScriptCreator::StaticClass(), TDynamicModel::StaticClass(),
                     TModelScriptToDynamicModel::StaticClass()})
    RegisterKestuClass(cls);
}
