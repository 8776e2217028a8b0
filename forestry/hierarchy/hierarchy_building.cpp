#include "forestry/hierarchy/hierarchy_building.h"

#include <memory>
#include <vector>

#include "app/startup/main_tool.h"
#include "block/layers/block_layers.h"
#include "cartography/models/model_script_text.h"
#include "cartography/models/script_models.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/tool_runs.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kData = "DATA";
constexpr const char* kHierarchy = "HIERARCHY";
constexpr const char* kLayers = "LAYERS";
constexpr const char* kDataModel = "DATAMODEL";

// The levels of the hierarchy: the area property naming the group, and the
// group's class.
struct HierarchyLevel {
  const char* Property;
  const char* GroupClass;
};
constexpr HierarchyLevel kLevels[] = {
    {"LHC", "TLHC"}, {"ODDELENI", "TOddeleni"}, {"DILEC", "TDilec"}, {"POROST", "TPorost"},
    {"SKUPINA", "TPorostniSkupina"}};

TEntity* ObjectModelChild(const std::string& name) {
  TWorld* world = World();
  TObjectModel* model = world ? world->ObjectModel() : nullptr;
  return model ? DynamicCast<TEntity>(model->FindElementByName(name)) : nullptr;
}

}  // namespace

TOwnerEntity* ForestCriterion() {
  auto* criterion = CreateElement<TOwnerEntity>();
  for (const HierarchyLevel& level : kLevels) {
    auto* list = CreateElement<TPropsAndClass>();
    list->NextName(level.Property);
    list->OwnerClassName = level.GroupClass;
    criterion->AddElement(list);
  }
  auto* groups = static_cast<TPropsAndClass*>(criterion->GetElement(criterion->GetCount() - 1));
  groups->SocketName = "GEOMETRY";
  groups->SocketClassName = "TAREASTRING";
  return criterion;
}

// ---------------------------------------------------------------- THeleBasic

void THeleBasic::SetProtocol(const std::string& text) { Log(text); }

TEntity* THeleBasic::FindDataEntity(const std::string& name) const {
  TEntity* data = ObjectModelChild(kData);
  return data ? DynamicCast<TEntity>(data->FindElementByName(name)) : nullptr;
}

TRectEntity* THeleBasic::FindOrCreateDataRect(const std::string& name) const {
  if (auto* found = DynamicCast<TRectEntity>(FindDataEntity(name))) return found;
  TEntity* data = ObjectModelChild(kData);
  if (!data) return nullptr;
  auto* rect = CreateElement<TRectEntity>();
  rect->SetName(name);
  data->AddElement(rect);
  return rect;
}

TRectEntity* THeleBasic::Hierarchy() const { return DynamicCast<TRectEntity>(FindDataEntity(kHierarchy)); }

TElement* THeleBasic::DataModel() const {
  TWorld* world = World();
  TObjectModel* model = world ? world->ObjectModel() : nullptr;
  return model ? model->FindElementByName(kDataModel) : nullptr;
}

TSpaceEntityString* THeleBasic::FindLayerEntity(const std::string& block, const std::string& layerType) const {
  TEntity* layers = FindDataEntity(kLayers);
  auto* layer = layers ? DynamicCast<TRectEntity>(layers->FindElementByName(layerType + "_" + block)) : nullptr;
  if (!layer) return nullptr;
  for (TElement* child : layer->Children())
    if (auto* list = DynamicCast<TSpaceEntityString>(child)) return list;
  return nullptr;
}

// ---------------------------------------------------------------- THeleNacti

TAreaString* THeleNacti::StandAreas() const { return static_cast<TAreaString*>(standAreas_.Get()); }

TRectEntity* THeleNacti::Model() const { return static_cast<TRectEntity*>(model_.Get()); }

void THeleNacti::DoIt() {
  const BusyRun run(*this);
  if (!CreateModelDescription()) return;
  if (!BuildDataModel() || !LoadBlockLayers() || !FindBlockLayerAreas("DET", "ARE")) return;
  BuildForestHierarchy();
}

void THeleNacti::ReportModelFailure() {
  if (auto* mainTool = DynamicCast<TMainTool>(World() ? World()->MainTool() : nullptr)) {
    mainTool->SetText(ModelFailureText);
    mainTool->ProgressVisible = false;
  }
}

bool THeleNacti::CreateModelDescription() {
  error_ = 1;
  if (TElement* lines = DataModel()) {
    TModelScriptCreator creator;
    creator.SetInput(lines);
    creator.DataDirectory = Directory;
    creator.DoIt();
    // The script is handed over: the tool keeps it as its child.
    if (TElement* description = creator.Output()) {
      SetLinkedElement(description_, description);
      error_ = 0;
    }
  }
  if (error_) ReportModelFailure();
  return !error_;
}

bool THeleNacti::BuildDataModel() {
  error_ = 1;
  if (!description_.Get()) return false;
  auto* model = static_cast<TRectEntity*>(model_.Get());
  if (model) {
    model->Clear();
  } else {
    model = CreateElement<TRectEntity>();
    SetLinkedElement(model_, model);
  }
  TModelByScriptCreator creator;
  creator.SetInput(description_.Get());
  creator.SetOutput(model);
  creator.DoIt();
  error_ = 0;
  return true;
}

void THeleNacti::RefillLayerGroups(TEntity& layers, TRectEntity& model) {
  TRectEntity groups;
  TBlockLayersTool tool;
  tool.SetInput(&model);
  tool.SetOutput(&groups);
  tool.DoIt();
  auto* layersRect = DynamicCast<TRectEntity>(&layers);
  const std::vector<TElement*> made(groups.Children().begin(), groups.Children().end());
  for (TElement* element : made) {
    TElement* found = layers.FindElementByName(element->GetName());
    auto* group = DynamicCast<TRectEntity>(found);
    if (found && !group) continue;  // a child of another class keeps the name
    if (!group) {
      layers.AddElement(element);
      group = static_cast<TRectEntity*>(element);
    } else {
      group->Clear();
      group->AddAllFrom(element);
      group->UpdateRect();
    }
    if (layersRect) layersRect->IncludeElement(group);
  }
}

bool THeleNacti::LoadBlockLayers() {
  error_ = 1;
  auto* model = Model();
  TEntity* layers = FindDataEntity(kLayers);
  if (!model || model->IsEmpty() || !layers) return false;
  RefillLayerGroups(*layers, *model);
  error_ = 0;
  return true;
}

bool THeleNacti::FindBlockLayerAreas(const std::string& block, const std::string& layerType) {
  error_ = 1;
  auto* areas = StandAreas();
  if (areas) {
    areas->Clear();
  } else {
    areas = CreateElement<TAreaString>();
    areas->SetName(StandAreasName);
    SetLinkedElement(standAreas_, areas);
  }
  // The layer lists stay the model's: the tool's list holds their areas.
  TOwnerEntity found;
  TFindBlockLayer finder;
  finder.LayerName = block;
  finder.LayerType = layerType;
  finder.SetInput(Model());
  finder.SetOutput(&found);
  finder.DoIt();
  for (TElement* layer : found.Children())
    if (DynamicCast<TAreaString>(layer)) areas->AddAllFrom(layer);
  if (areas->IsEmpty()) return false;
  error_ = 0;
  return true;
}

bool THeleNacti::BuildForestHierarchy() {
  error_ = 1;
  TAreaString* areas = StandAreas();
  TRectEntity* hierarchy = Hierarchy();
  if (!areas || areas->IsEmpty() || !hierarchy) return false;
  // A run builds the whole tree: what an earlier run placed goes first.
  hierarchy->Clear();
  hierarchy->UpdateRect();
  TGroupper groupper;
  groupper.SetCriterion(ForestCriterion());
  groupper.SetOwnerClass("TRectEntity");
  groupper.DoItEmpty = false;
  groupper.SetOutput(hierarchy);
  const std::vector<TElement*> stands(areas->Children().begin(), areas->Children().end());
  const int n = static_cast<int>(stands.size());
  const int step = (n - 1) / 20;
  const ProgressRun progress(*this, ProgressName, 0, n - 1);
  int mark = 0;
  for (int i = 0; i < n; ++i) {
    groupper.SetInput(stands[static_cast<std::size_t>(i)]);
    groupper.DoIt();
    if (i > mark) {
      SetProgress(i);
      mark += step;
    }
  }
  error_ = 0;
  return true;
}

// ---------------------------------------------------------------- classes

TClass THeleBasic::StaticClass() {
  using E = THeleBasic;
  static const TClassInfo info = DescribeClass<E>(
      "THeleBasic", TTool::StaticClass(), "T_Helbas",
      {NotStored(WriteProp("Protocol", &E::SetProtocol)),
       NotStored(AccessorProp<E, TElement*>("Hierarchy", [](const E& e) -> TElement* { return e.Hierarchy(); },
                                            nullptr)),
       NotStored(AccessorProp<E, TElement*>("DataModel", [](const E& e) -> TElement* { return e.DataModel(); },
                                            nullptr))});
  return &info;
}

TClass THeleNacti::StaticClass() {
  static const TClassInfo info = DescribeClass<THeleNacti>("THeleNacti", THeleBasic::StaticClass(), "T_Helbas",
                                                           {FieldProp("Directory", &THeleNacti::Directory)});
  return &info;
}

void RegisterHierarchyBuildingClasses() { RegisterKestuClass(THeleNacti::StaticClass()); }
