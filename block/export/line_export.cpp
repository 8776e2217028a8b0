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

// The lines numbered by this pass, by number from 1; a line's ID means
// something here only when it leads back to the line.
class TNumberedLines {
 public:
  explicit TNumberedLines(std::size_t expected) { lines_.reserve(expected); }
  bool Contains(const TPolyLineElement* line) const {
    return line->ID >= 1 && static_cast<std::size_t>(line->ID) <= lines_.size() && lines_[line->ID - 1] == line;
  }
  // False for a line numbered already.
  bool Number(TPolyLineElement* line) {
    if (Contains(line)) return false;
    lines_.push_back(line);
    line->ID = static_cast<std::int32_t>(lines_.size());
    return true;
  }

 private:
  std::vector<const TPolyLineElement*> lines_;
};

// The line a branch leads to and the end by which it meets the node; none
// for a line this pass did not number, whose ID means nothing here.
TLineLink LinkTo(const TNodeBranch* branch, const TNumberedLines& numbered) {
  const TPolyLineElement* line = branch ? branch->GetLine() : nullptr;
  if (!line || !numbered.Contains(line)) return {};
  return {line->ID, static_cast<std::uint8_t>(branch->LineBegin ? 1 : 0)};
}

// The two links at one end of the line: the branches before and after its
// own around the node; none without a node.
void FillEndLinks(const TLineEnd& end, bool atBegin, TLineLinks& links, const TNumberedLines& numbered) {
  links[atBegin ? llStartPrevious : llEndPrevious] = LinkTo(end.Previous, numbered);
  links[atBegin ? llStartNext : llEndNext] = LinkTo(end.Next, numbered);
}

}  // namespace

// The first node owning the line with a branch at that end, and its first
// such branch, for each end: what a search per end finds.
TLineEnds FindLineEnds(const TPolyLineElement& Line) {
  TLineEnds ends;
  for (int i = 0; i < Line.GetOwnersCount(); ++i) {
    auto* node = DynamicCast<TNode>(Line.GetOwner(i));
    if (!node) continue;
    // The node's branches lead its children; the line's own among them are
    // found with their places, their neighbours after the count is known.
    const auto& children = node->Children();
    std::array<std::size_t, 2> at{};
    std::array<bool, 2> here{};
    std::size_t count = 0;
    for (; count < children.size(); ++count) {
      auto* branch = DynamicCast<TNodeBranch>(children[count]);
      if (!branch) break;
      const std::size_t side = branch->LineBegin ? 0 : 1;
      if (branch->GetLine() == &Line && !ends[side].Node && !here[side]) {
        here[side] = true;
        at[side] = count;
      }
    }
    for (std::size_t side = 0; side < 2; ++side) {
      if (!here[side]) continue;
      ends[side] = {node, static_cast<TNodeBranch*>(children[at[side]]),
                    static_cast<TNodeBranch*>(children[(at[side] + count - 1) % count]),
                    static_cast<TNodeBranch*>(children[(at[side] + 1) % count])};
    }
    if (HasBothEnds(ends)) break;
  }
  return ends;
}

bool HasBothEnds(const TLineEnds& Ends) { return Ends[0].Node && Ends[1].Node; }

// ---------------------------------------------------------------- TPrepareExportLinesToLumar

void TPrepareExportLinesToLumar::DoIt() {
  TTool::DoIt();
  Prepare(nullptr);
}

void TPrepareExportLinesToLumar::PrepareWithEnds(const std::vector<TLineEnds>& Ends) {
  TTool::DoIt();
  Prepare(&Ends);
}

void TPrepareExportLinesToLumar::Prepare(const std::vector<TLineEnds>* Ends) {
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return;
  const auto& children = input->Children();
  TNumberedLines numbered(children.size());
  std::vector<std::pair<TPolyLineElement*, std::size_t>> lines;  // each once, with its place in the input
  lines.reserve(children.size());
  for (std::size_t i = 0; i < children.size(); ++i) {
    auto* line = DynamicCast<TPolyLineElement>(children[i]);
    if (line && numbered.Number(line)) lines.emplace_back(line, i);
  }
  for (const auto& [line, at] : lines) {
    if (auto* props = DynamicCast<TLumarLineProps>(line->Properties())) {
      const TLineEnds ends = Ends && at < Ends->size() ? (*Ends)[at] : FindLineEnds(*line);
      FillEndLinks(ends[0], true, props->Links, numbered);
      FillEndLinks(ends[1], false, props->Links, numbered);
    }
  }
  SetOutput(input);
}

// ---------------------------------------------------------------- TExportLinesToLumar

void TExportLinesToLumar::DoIt() {
  TTool::DoIt();
  stoppedByUser_ = false;
  auto* input = DynamicCast<TEntity>(Input());
  if (!input || BlockName().empty()) return;
  ExportBlock([&] { Export(*input); });
}

void TExportLinesToLumar::Export(TEntity& input) {
  {
    std::unique_ptr<TPrepareExportLinesToLumar> prepare(CreateElement<TPrepareExportLinesToLumar>());
    prepare->SetInput(&input);
    prepare->DoIt();
  }
  std::unique_ptr<TJTSK> wcs(CreateElement<TJTSK>());
  std::unique_ptr<TLumarLinWriter> writer = NewBlockWriter<TLumarLinWriter>(WriteFolder(), true, wcs.get());
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
