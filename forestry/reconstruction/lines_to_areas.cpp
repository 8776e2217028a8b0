#include "forestry/reconstruction/lines_to_areas.h"

#include <exception>
#include <memory>

#include "block/topology/area_building.h"
#include "block/topology/label_points.h"
#include "block/topology/line_joining.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- TLineExtractor

void TLineExtractor::SetOutput(TElement* element) {
  TRecursor::SetOutput(element);
  if (element != owned_.Get()) SetLinkedElement(owned_, element);
}

void TLineExtractor::DoIt() {
  if (!Output()) SetOutput(CreateElement<TOwnerEntity>());
  if (!DynamicCast<TEntity>(Output())) Log("ERROR: LineExtractor expected TEntity at output!");
  taken_.clear();
  holes_.clear();
  TRecursor::DoIt();
  while (!holes_.empty()) {
    TElement* holes = holes_.back().Get();
    holes_.pop_back();
    if (holes) GoInside(holes);
  }
}

bool TLineExtractor::QGoInside(TElement* element) {
  if (!DynamicCast<TEntity>(element) || DynamicCast<TPolyLineElement>(element)) return false;
  if (auto* area = DynamicCast<TAreaElement>(element); area && area->Holes()) holes_.emplace_back(area->Holes());
  return true;
}

bool TLineExtractor::QProcessBefore(TElement* element) { return DynamicCast<TPolyLineElement>(element) != nullptr; }

void TLineExtractor::Process(TElement* element) {
  auto* output = DynamicCast<TEntity>(Output());
  if (!output || !taken_.insert(element).second) return;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (!CopyLines) {
    output->AddElement(line);
    return;
  }
  auto* copy = CreateElement<TPolyLineElement>();
  for (int i = 0; i < line->GetCoordsCount(); ++i) copy->AddVertex(line->GetCoordX(i), line->GetCoordY(i));
  copy->CalcBounds();
  output->AddElement(copy);
}

// ---------------------------------------------------------------- TClearLines

void TClearLines::DoIt() {
  auto* input = DynamicCast<TRectEntity>(Input());
  if (!input) return;
  TJoinLines join;
  join.SnapDistance = SnapDistance;
  join.CompareOnlyDifferentSource = false;
  join.SelfTest = true;
  join.SetInput(input);
  try {
    join.DoIt();
  } catch (const std::exception&) {
    platform::ShowMessage("Chyba při spojování linií");
    return;
  }
  std::unique_ptr<TElement> tree(join.Output());
  join.SetOutput(nullptr);
  TRectEntity joined;
  THledacLinii finder;
  finder.SetOutput(&joined);
  finder.SetInput(tree.get());
  finder.DoIt();
  tree.reset();
  input->Clear();
  input->AddAllFrom(&joined);
  input->UpdateRect();
  SetOutput(input);
}

// ---------------------------------------------------------------- TAreasFromClearLines

namespace {

// Runs one walker of the chain on the input, captioned.
template <class Walker>
void RunWalker(Walker& walker, TElement* input, const char* caption) {
  if (caption) walker.SetGaugeCaption(caption);
  walker.SetInput(input);
  walker.DoIt();
}

}  // namespace

void TAreasFromClearLines::DoIt() {
  auto* input = DynamicCast<TRectEntity>(Input());
  if (!input) return;
  // No lines enclose no areas; an index over empty bounds is not built.
  if (input->IsEmpty()) {
    SetOutput(CreateElement<TAreaString>());
    return;
  }
  std::unique_ptr<TElement> lineTree;
  {
    TReadLinesIntoQTree reader;
    RunWalker(reader, input, "Načítání linií do QTREE");
    lineTree.reset(reader.Output());
  }
  if (!lineTree) return;
  TPutNodesIntoQTree nodes;
  RunWalker(nodes, lineTree.get(), "Vytváření uzlů v QTREE");
  TNodesConector conector;
  conector.JoinDifferentLines = false;
  conector.DeletePseudoNodes = false;
  conector.MaxCoordsCount = 200;
  RunWalker(conector, lineTree.get(), "Zapojování uzlů v QTree");
  TRemoveSingleLinesInQTree singles;
  RunWalker(singles, lineTree.get(), nullptr);
  TDeleteDirectRelationsToLinesInQTree unlinker;
  RunWalker(unlinker, lineTree.get(), "Rušení QTree vazeb na linie");
  std::unique_ptr<TElement> areaTree;
  {
    TCreateAreasForQTree creator;
    RunWalker(creator, lineTree.get(), "Tvorba ploch v QTree");
    areaTree.reset(creator.AreaQTree());
  }
  if (!areaTree) return;
  TSubAreaMakerInQTree holes;
  RunWalker(holes, areaTree.get(), nullptr);
  auto* areas = CreateElement<TAreaString>();
  THledacPloch collector;
  collector.SetOutput(areas);
  collector.SetInput(areaTree.get());
  collector.DoIt();
  TMultiAreaPointPlacer placer;
  placer.SetInput(areas);
  placer.DoIt();
  SetOutput(areas);
}

// ---------------------------------------------------------------- TCreateAreasFromLinesTool

TCreateAreasFromLinesTool::TCreateAreasFromLinesTool() {
  AddTool(CreateElement<TClearLines>());
  AddTool(CreateElement<TAreasFromClearLines>());
}

// ---------------------------------------------------------------- classes

TClass TLineExtractor::StaticClass() {
  static const TClassInfo info = DescribeClass<TLineExtractor>(
      "TLineExtractor", TRecursor::StaticClass(), "T_Helcle", {FieldProp("CopyLines", &TLineExtractor::CopyLines)});
  return &info;
}

TClass TClearLines::StaticClass() {
  static const TClassInfo info = DescribeClass<TClearLines>("TClearLines", TTool::StaticClass(), "T_Helcle", {});
  return &info;
}

TClass TAreasFromClearLines::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TAreasFromClearLines>("TAreasFromClearLines", TTool::StaticClass(), "T_Helcle", {});
  return &info;
}

TClass TCreateAreasFromLinesTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TCreateAreasFromLinesTool>(
      "TCreateAreasFromLinesTool", TSeqTechnology::StaticClass(), "T_Helcle", {});
  return &info;
}

void RegisterLinesToAreasClasses() {
  RegisterKestuClass(TCreateAreasFromLinesTool::StaticClass());
  RegisterKestuClass(TClearLines::StaticClass());
  RegisterKestuClass(TAreasFromClearLines::StaticClass());
}
