#include "block/export/line_export.h"

#include <memory>
#include <unordered_set>
#include <vector>

#include "block/export/select_lines_from_groups.h"
#include "block/props/lumar_props.h"
#include "framework/core/class_registry.h"
#include "block/writing/lumar_writers.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/topology/topology_nodes.h"

namespace {

using NumberedLines = std::unordered_set<const TElement*>;

// The line a branch leads to and the end by which it meets the node; none
// for a line this pass did not number, whose ID means nothing here.
TLineLink LinkTo(const TNodeBranch* branch, const NumberedLines& numbered) {
  const TPolyLineElement* line = branch ? branch->GetLine() : nullptr;
  if (!line || !numbered.contains(line)) return {};
  return {line->ID, static_cast<std::uint8_t>(branch->LineBegin ? 1 : 0)};
}

// The two links at one end of the line: the branches before and after its
// own around the node; none without a node.
void FillEndLinks(TPolyLineElement* line, bool atBegin, TLineLinks& links, const NumberedLines& numbered) {
  TNode* node = nullptr;
  TNodeBranch* branch = nullptr;
  FindLineEndNode(line, atBegin, node, branch);
  const TNodeBranch* previous = node && branch ? node->PrevBranch(branch) : nullptr;
  const TNodeBranch* next = node && branch ? node->NextBranch(branch) : nullptr;
  links[atBegin ? llStartPrevious : llEndPrevious] = LinkTo(previous, numbered);
  links[atBegin ? llStartNext : llEndNext] = LinkTo(next, numbered);
}

}  // namespace

// ---------------------------------------------------------------- TPrepareExportLinesToLumar

void TPrepareExportLinesToLumar::DoIt() {
  TTool::DoIt();
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return;
  NumberedLines numbered;
  numbered.reserve(input->Children().size());
  std::vector<TPolyLineElement*> lines;
  for (TElement* child : input->Children()) {
    auto* line = DynamicCast<TPolyLineElement>(child);
    if (!line || !numbered.insert(line).second) continue;
    lines.push_back(line);
    line->ID = static_cast<std::int32_t>(lines.size());
  }
  for (TPolyLineElement* line : lines) {
    if (auto* props = DynamicCast<TLumarLineProps>(line->Properties())) {
      FillEndLinks(line, true, props->Links, numbered);
      FillEndLinks(line, false, props->Links, numbered);
    }
  }
  SetOutput(input);
}

// ---------------------------------------------------------------- TExportLinesToLumar

std::string IncompleteBlockText(const std::string& BlockName, const std::string& Reason) {
  return "Blok " + BlockName + " není úplný: " + Reason;
}

void TExportLinesToLumar::DoIt() {
  TTool::DoIt();
  stoppedByUser_ = false;
  auto* input = DynamicCast<TEntity>(Input());
  if (!input || BlockName().empty()) return;
  try {
    Export(*input);
  } catch (const std::exception& error) {
    Log(IncompleteBlockText(BlockName(), error.what()));
    throw;
  }
  FlushTables();
}

void TExportLinesToLumar::Export(TEntity& input) {
  {
    std::unique_ptr<TPrepareExportLinesToLumar> prepare(CreateElement<TPrepareExportLinesToLumar>());
    prepare->SetInput(&input);
    prepare->DoIt();
  }
  std::unique_ptr<TJTSK> wcs(CreateElement<TJTSK>());
  std::unique_ptr<TLumarLinWriter> writer = NewBlockWriter<TLumarLinWriter>(BlockName(), true, wcs.get());
  if (JedenDruh > 0) writer->Druh = static_cast<std::int16_t>(JedenDruh);
  TExportProgress progress("Export linií do " + BlockName(), input.GetCount(), "Přerušit export linií ?");
  std::unordered_set<const TElement*> written;
  written.reserve(static_cast<std::size_t>(input.GetCount()));
  for (int i = 0; i < input.GetCount(); ++i) {
    if (!progress.Next(i)) {
      stoppedByUser_ = true;
      break;
    }
    // Only lines are written, each once.
    auto* line = DynamicCast<TPolyLineElement>(input.GetElement(i));
    if (!line || !written.insert(line).second) continue;
    // The line export writes no areas: numbers read from another block
    // would name areas this block does not have.
    writer->WriteLineWithAreas(*line, 0, 0);
    ExportAttributes(line);
  }
  writer->Finish();
}

TClass TPrepareExportLinesToLumar::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPrepareExportLinesToLumar>("TPrepareExportLinesToLumar", TTool::StaticClass(), "T_LumExp", {});
  return &info;
}

TClass TExportLinesToLumar::StaticClass() {
  static const TClassInfo info = DescribeClass<TExportLinesToLumar>(
      "TExportLinesToLumar", TExportLumarElements::StaticClass(), "T_LumExp", {});
  return &info;
}

void RegisterT_LumExpClasses() {
  for (TClass cls : {TPrepareExportLinesToLumar::StaticClass(), TExportLinesToLumar::StaticClass(),
                     TSelectLinesFromGroups::StaticClass(), TExpBlockName::StaticClass(),
                     TExportElementsToText::StaticClass()})
    RegisterKestuClass(cls);
}
