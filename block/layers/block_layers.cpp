#include "block/layers/block_layers.h"

#include <functional>
#include <vector>

#include "block/layers/layer_lines.h"
#include "framework/core/class_registry.h"
#include "render/rasters/raster.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kRasterGroup = "RAS_RAK";

// Each child of the input, and each child of an interpret layer among them.
void ForEachLayer(TEntity& input, const std::function<void(TElement&)>& examine) {
  // The interpret layer belongs to the rendering above this library: it is
  // known by its registered class.
  const TClass interpretLayer = FindKestuClass("TInterpretLayer");
  // Copies of the lists: the output may be one of the entities walked.
  const std::vector<TElement*> children(input.Children().begin(), input.Children().end());
  for (TElement* child : children) {
    auto* layer = interpretLayer && child && child->InheritsFrom(interpretLayer) ? DynamicCast<TEntity>(child) : nullptr;
    if (!layer) {
      if (child) examine(*child);
      continue;
    }
    const std::vector<TElement*> inner(layer->Children().begin(), layer->Children().end());
    for (TElement* element : inner)
      if (element) examine(*element);
  }
}

bool SameText(const std::string& a, const std::string& b) { return AsciiUpperCase(a) == AsciiUpperCase(b); }

}  // namespace

void TFindBlockLayer::DoIt() {
  auto* input = DynamicCast<TEntity>(Input());
  auto* output = DynamicCast<TEntity>(Output());
  if (!input || !output) return;
  ForEachLayer(*input, [&](TElement& layer) {
    const std::string block = layer.GetPropertyText("BlockName");
    if (block.empty()) return;
    if (!LayerName.empty() && !SameText(LayerName, BlockLayerName(block))) return;
    if (!LayerType.empty() && !SameText(LayerType, layer.GetPropertyText("TYPE"))) return;
    output->AddElement(&layer);
  });
}

void TBlockLayersTool::DoIt() {
  auto* input = DynamicCast<TEntity>(Input());
  auto* output = DynamicCast<TEntity>(Output());
  if (!input || !output) return;
  auto* outputRect = DynamicCast<TRectEntity>(output);
  ForEachLayer(*input, [&](TElement& layer) {
    std::string groupName;
    if (DynamicCast<TRaster>(&layer)) groupName = kRasterGroup;
    else if (DynamicCast<TSpaceEntityString>(&layer))
      groupName = layer.GetPropertyText("TYPE") + "_" + BlockLayerName(layer.GetPropertyText("BlockName"));
    else return;
    TElement* found = output->FindElementByName(groupName);
    auto* group = DynamicCast<TRectEntity>(found);
    if (found && !group) return;
    if (!group) {
      group = CreateElement<TRectEntity>();
      group->SetName(groupName);
      output->AddElement(group);
    }
    group->AddEntity(&layer);
    if (outputRect) outputRect->IncludeElement(group);
  });
}

TClass TFindBlockLayer::StaticClass() {
  using E = TFindBlockLayer;
  static const TClassInfo info =
      DescribeClass<E>("TFindBlockLayer", TTool::StaticClass(), "T_Lumar",
                       {FieldProp("LayerType", &E::LayerType), FieldProp("LayerName", &E::LayerName)});
  return &info;
}

TClass TBlockLayersTool::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBlockLayersTool>("TBlockLayersTool", TTool::StaticClass(), "T_Lumar", {});
  return &info;
}

void RegisterBlockLayerClasses() {
  RegisterKestuClass(TFindBlockLayer::StaticClass());
  RegisterKestuClass(TBlockLayersTool::StaticClass());
}
