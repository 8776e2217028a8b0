#include "block/export/area_export.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "block/export/line_export.h"
#include "block/export/point_export.h"
#include "block/props/lumar_props.h"
#include "block/tables/lumar_dbf_table.h"
#include "block/tables/transfer_script.h"
#include "block/topology/area_extraction.h"
#include "block/topology/node_building.h"
#include "block/topology/walkers.h"
#include "block/writing/lumar_writers.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/topology/topology_nodes.h"

namespace {

constexpr std::int16_t kNewAreaColor = 2;
constexpr std::int16_t kNewAreaSymbol = 1;

// The area's block props; props of another class are replaced.
TLumarAreaProps& AreaPropsOf(TAreaElement& area) {
  if (auto* props = DynamicCast<TLumarAreaProps>(area.Properties())) return *props;
  auto* props = new TLumarAreaProps;
  props->Barva = kNewAreaColor;
  props->Znacka = kNewAreaSymbol;
  props->PaterNo = -1;
  area.SetProperties(props);
  return *props;
}

// Each child's line ends; none for a child that is no line.
std::vector<TLineEnds> EndsOf(const TEntity& lines) {
  std::vector<TLineEnds> ends;
  ends.reserve(lines.Children().size());
  for (TElement* child : lines.Children()) {
    const auto* line = DynamicCast<TPolyLineElement>(child);
    ends.push_back(line ? FindLineEnds(*line) : TLineEnds{});
  }
  return ends;
}

}  // namespace

// ---------------------------------------------------------------- TPrepareExportAreasToLumar

TPrepareExportAreasToLumar::TPrepareExportAreasToLumar() = default;
TPrepareExportAreasToLumar::~TPrepareExportAreasToLumar() = default;

TEntity* TPrepareExportAreasToLumar::GetLines() {
  if (auto* lines = DynamicCast<TEntity>(lines_.Get())) return lines;
  auto* areas = DynamicCast<TEntity>(Input());
  if (!areas) return nullptr;
  // A list that does not own its lines: they are the areas', and a list of
  // tens of thousands is made and dropped on every export.
  auto list = std::make_unique<TQuickEntity>();
  TExtractLinesForAreas extractor;
  extractor.SetLines(list.get());
  extractor.SetInput(areas);
  extractor.DoIt();
  extracted_ = std::move(list);
  lines_.Set(extracted_.get());
  return extracted_.get();
}

void TPrepareExportAreasToLumar::SetLines(TEntity* Lines) {
  extracted_.reset();
  lines_.Set(Lines);
}

std::unique_ptr<TEntity> TPrepareExportAreasToLumar::TakeLines() {
  lines_.Set(nullptr);
  return std::move(extracted_);
}

void TPrepareExportAreasToLumar::DoIt() {
  TTool::DoIt();
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return;
  std::unordered_set<const TElement*> inInput;
  inInput.reserve(input->Children().size());
  for (TElement* child : input->Children()) {
    if (!child) continue;
    inInput.insert(child);
    child->ID = -1;
    auto* entity = DynamicCast<TSpaceEntity>(child);
    if (auto* props = entity ? DynamicCast<TLumarAreaProps>(entity->Properties()) : nullptr) {
      props->PaterNo = -1;
      props->HasChildren = false;
    }
  }
  counter_ = 0;
  for (TElement* child : input->Children()) {
    auto* area = DynamicCast<TAreaElement>(child);
    // An area listed twice is numbered once.
    if (!area || area->IsHole || area->ID >= 0) continue;
    TLumarAreaProps& props = AreaPropsOf(*area);
    ++counter_;
    props.Cislo = counter_;
    area->ID = counter_;
    if (Druh > 0) props.Druh = static_cast<std::int16_t>(Druh);
    if (!area->Holes()) continue;
    // The sub-areas are limited to the input here, by a set, rather than by
    // the extractor's own search of the list.
    TExtractSubAreasForArea extractor;
    extractor.SetInput(area);
    extractor.DoIt();
    for (TElement* sub : extractor.GetSubAreas()->Children()) {
      auto* subArea = DynamicCast<TAreaElement>(sub);
      if (!subArea || !inInput.contains(subArea)) continue;
      props.HasChildren = true;
      AreaPropsOf(*subArea).SetPropertyInteger("PATERNO", counter_);
    }
  }
  SetOutput(input);
}

// ---------------------------------------------------------------- TExportAreasToLumar

// For each line number, the input areas holding that line and the ways
// they walk it, side by side in one array.
struct TExportAreasToLumar::TLineSides {
  struct THolder {
    const TElement* area;
    std::uint8_t ways;  // bit 1: forward, bit 2: backward
  };
  std::vector<std::size_t> first;  // by line number: where its holders start; one more entry at the end
  std::vector<THolder> holders;

  TLineSides(const TEntity& input, const std::vector<TPolyLineElement*>& numbered) : first(numbered.size() + 1, 0) {
    // The areas' lines are walked once; their holders are then counted per
    // line and placed, a line's ending where the next line's begin.
    struct TEntry {
      std::size_t number;
      const TElement* area;
      std::uint8_t way;
    };
    std::vector<TEntry> entries;
    for (TElement* child : input.Children()) {
      const auto* area = DynamicCast<TPolyLineAreaElement>(child);
      if (!area) continue;
      const auto& lines = area->Children();
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto number = static_cast<std::size_t>(NumberOf(lines[i], numbered));
        if (number == 0) continue;
        entries.push_back({number, area, static_cast<std::uint8_t>(area->GetLineOrigin(static_cast<int>(i)) ? 1 : 2)});
        ++first[number];
      }
    }
    std::size_t at = 0;
    for (std::size_t& start : first) at += std::exchange(start, at);
    holders.assign(at, THolder{nullptr, 0});
    std::vector<std::size_t> filled(first.begin(), first.end() - 1);
    for (const TEntry& entry : entries) {
      const auto begin = holders.begin() + static_cast<std::ptrdiff_t>(first[entry.number]);
      const auto end = holders.begin() + static_cast<std::ptrdiff_t>(filled[entry.number]);
      // An area holding the line twice (both ways) has one entry; the slot
      // it leaves unused reads as no area.
      if (auto same = std::find_if(begin, end, [&](const THolder& h) { return h.area == entry.area; }); same != end)
        same->ways |= entry.way;
      else
        holders[filled[entry.number]++] = {entry.area, entry.way};
    }
  }
  // The line's number in this run; 0 for a line not numbered by it.
  static std::int32_t NumberOf(const TElement* line, const std::vector<TPolyLineElement*>& numbered) {
    const std::int32_t id = line->ID;
    return id >= 1 && static_cast<std::size_t>(id) < numbered.size() && numbered[static_cast<std::size_t>(id)] == line
               ? id
               : 0;
  }
  bool Holds(const TPolyLineElement* line, const TElement* area, bool forward,
             const std::vector<TPolyLineElement*>& numbered) const {
    const auto n = static_cast<std::size_t>(NumberOf(line, numbered));
    if (n == 0) return false;
    for (std::size_t i = first[n]; i < first[n + 1]; ++i)
      if (holders[i].area == area) return (holders[i].ways & (forward ? 1 : 2)) != 0;
    return false;
  }
  // The one input area walking the line that way; nil when none does, and
  // also when several do (which of them is first is the line's to say).
  const TElement* OnlyWalker(const TPolyLineElement* line, bool forward, const std::vector<TPolyLineElement*>& numbered,
                             int& walkers) const {
    walkers = 0;
    const TElement* found = nullptr;
    const auto n = static_cast<std::size_t>(NumberOf(line, numbered));
    if (n == 0) return nullptr;
    for (std::size_t i = first[n]; i < first[n + 1]; ++i)
      if (holders[i].area && (holders[i].ways & (forward ? 1 : 2)) != 0 && ++walkers == 1) found = holders[i].area;
    return walkers == 1 ? found : nullptr;
  }
};

TExportAreasToLumar::TExportAreasToLumar() = default;
TExportAreasToLumar::~TExportAreasToLumar() = default;

void TExportAreasToLumar::DoIt() {
  TTool::DoIt();
  stoppedByUser_ = false;
  auto* input = DynamicCast<TEntity>(Input());
  if (!input || BlockName().empty()) return;
  platform::WaitCursor hourglass;
  ExportBlock([&] {
    try {
      Export(*input);
    } catch (...) {
      ownedLines_.reset();
      throw;
    }
  });
}

void TExportAreasToLumar::Export(TEntity& input) {
  input_ = &input;
  {
    std::unique_ptr<TPrepareExportAreasToLumar> prepare(CreateElement<TPrepareExportAreasToLumar>());
    prepare->Druh = DruhPloch;
    prepare->SetInput(&input);
    prepare->DoIt();
    lines_ = prepare->GetLines();
    ownedLines_ = prepare->TakeLines();
  }
  if (!lines_) return;
  PrepareLines();
  sides_ = std::make_unique<TLineSides>(input, byNumber_);
  ExportLines();
  if (!stoppedByUser_) ExportAreas();
  sides_.reset();
  byNumber_.clear();
  lines_ = nullptr;
  ownedLines_.reset();
}

void TExportAreasToLumar::PrepareLines() {
  std::vector<const TPolyLineElement*> blank;
  for (TElement* child : lines_->Children()) {
    auto* line = DynamicCast<TPolyLineElement>(child);
    // A line the writer would refuse for want of block props would leave
    // its areas without a way round.
    if (line && !line->Properties()) {
      line->SetProperties(new TLumarLineProps);
      blank.push_back(line);
    }
  }
  // Each line's ends are found once: for the question whether a graph is
  // needed, and again only when one was built.
  std::vector<TLineEnds> ends = EndsOf(*lines_);
  const auto& children = lines_->Children();
  bool nodesMissing = false;
  for (std::size_t i = 0; i < children.size() && !nodesMissing; ++i)
    nodesMissing = DynamicCast<TPolyLineElement>(children[i]) && !HasBothEnds(ends[i]);
  // The graph only lends its nodes: no pseudo-node is joined, so no line
  // changes, and it goes with the links filled.
  std::unique_ptr<TPolyLineString> bounded;
  std::unique_ptr<TMakeNodes> graph;
  if (nodesMissing) {
    // The graph is built over a list with bounds.
    bounded = std::make_unique<TPolyLineString>();
    for (TElement* child : children)
      if (auto* line = DynamicCast<TPolyLineElement>(child)) bounded->AddEntity(line);
    graph.reset(CreateElement<TMakeNodes>());
    graph->SetInput(bounded.get());
    graph->DoIt();
    ends = EndsOf(*lines_);
  }
  std::unique_ptr<TPrepareExportLinesToLumar> numbering(CreateElement<TPrepareExportLinesToLumar>());
  numbering->SetInput(lines_);
  numbering->PrepareWithEnds(ends);
  for (TElement* child : children) {
    auto* line = DynamicCast<TPolyLineElement>(child);
    if (!line) continue;
    const auto number = static_cast<std::size_t>(line->ID);
    if (byNumber_.size() <= number) byNumber_.resize(number + 1, nullptr);
    byNumber_[number] = line;
  }
  // Their kind, colour and symbol are 0: the user is told which they are.
  for (const TPolyLineElement* line : blank)
    Log(BlockName() + ": linie č." + std::to_string(line->ID) + " nemá vlastnosti, zapsána s druhem, barvou a značkou 0");
}

std::int32_t TExportAreasToLumar::SideArea(const TPolyLineElement& Line, bool Forward) const {
  // An area holding the line is among its owners: with one such area the
  // owners need no search.
  int walkers = 0;
  if (const TElement* only = sides_->OnlyWalker(&Line, Forward, byNumber_, walkers)) return only->ID;
  if (walkers == 0) return -1;
  for (int i = 0; i < Line.GetOwnersCount(); ++i) {
    const TElement* owner = Line.GetOwner(i);
    if (sides_->Holds(&Line, owner, Forward, byNumber_)) return owner->ID;
  }
  return -1;
}

void TExportAreasToLumar::ExportLines() {
  if (!lines_) return;
  std::unique_ptr<TJTSK> wcs(CreateElement<TJTSK>());
  std::unique_ptr<TLumarLinWriter> writer = NewBlockWriter<TLumarLinWriter>(WriteFolder(), true, wcs.get());
  if (DruhLinii > 0) writer->Druh = DruhLinii;
  TExportProgress progress("Export lines", lines_->GetCount(), "Přerušit export linií ?");
  // By number: a line listed twice has one.
  std::vector<bool> written(byNumber_.size(), false);
  for (int i = 0; i < lines_->GetCount(); ++i) {
    if (!progress.Next(i)) {
      stoppedByUser_ = true;
      break;
    }
    auto* line = DynamicCast<TPolyLineElement>(lines_->GetElement(i));
    if (!line || written.at(static_cast<std::size_t>(line->ID))) continue;
    written[static_cast<std::size_t>(line->ID)] = true;
    const std::int32_t left = SideArea(*line, true);
    const std::int32_t right = SideArea(*line, false);
    DoExportObject(line);
    writer->WriteLineWithAreas(*line, left, right);
    TRestore<bool> dbf(ExportDBF, DBFLinii);
    TRestore<std::int32_t> kind(JedenDruh, DruhLinii);
    ExportAttributes(line);
  }
  // What the files still buffer counts: the block is whole only when it is
  // on the disk.
  writer->Finish();
}

void TExportAreasToLumar::ExportAreas() {
  if (!input_) return;
  std::unique_ptr<TJTSK> wcs(CreateElement<TJTSK>());
  std::unique_ptr<TLumarAreaWriter> writer = NewBlockWriter<TLumarAreaWriter>(WriteFolder(), true, wcs.get());
  TExportProgress progress("Export ploch do " + BlockName(), input_->GetCount(), "Přerušit export ploch ?");
  // By number: the preparation numbered every area that is not a hole, an
  // area listed twice once.
  std::vector<bool> written(static_cast<std::size_t>(input_->GetCount()) + 1, false);
  for (int i = 0; i < input_->GetCount(); ++i) {
    if (!progress.Next(i)) {
      stoppedByUser_ = true;
      break;
    }
    auto* area = DynamicCast<TAreaElement>(input_->GetElement(i));
    if (!area || area->IsHole || written.at(static_cast<std::size_t>(area->ID))) continue;
    written[static_cast<std::size_t>(area->ID)] = true;
    CheckArea(*area);
    DoExportObject(area);
    writer->WriteArea(*area);
    ExportAttributes(area);
  }
  writer->Finish();
}

void TExportAreasToLumar::CheckArea(const TAreaElement& Area) {
  const std::string number = std::to_string(Area.ID);
  if (!Area.ContainsPointOutsideHoles(Area.GetAbsRefX(), Area.GetAbsRefY()))
    Log(BlockName() + ": plocha č." + number + " má návěští mimo sebe");
  const auto* area = DynamicCast<TPolyLineAreaElement>(&Area);
  if (!area || area->Children().empty()) return;
  // The reader's walk: forward along the next line at the end node,
  // backward along the next at the start node; each step must be one of the
  // area's own, and the walk must come back to its first.
  const auto* first = DynamicCast<TPolyLineElement>(area->Children().front());
  const std::size_t count = area->Children().size();
  const TPolyLineElement* line = first;
  bool forward = area->GetLineOrigin(0);
  bool closed = false;
  for (std::size_t step = 0; line && step < count; ++step) {
    if (!sides_->Holds(line, area, forward, byNumber_)) break;
    const auto* props = DynamicCast<TLumarLineProps>(line->Properties());
    if (!props) break;
    const TLineLink next = props->Links[forward ? llEndNext : llStartNext];
    line = next.Line >= 1 && static_cast<std::size_t>(next.Line) < byNumber_.size()
               ? byNumber_[static_cast<std::size_t>(next.Line)]
               : nullptr;
    forward = next.End != 0;
    if (line == first && forward == area->GetLineOrigin(0)) {
      closed = true;
      break;
    }
  }
  if (!closed) Log(BlockName() + ": hranice plochy č." + number + " na sebe nenavazuje");
}

// ---------------------------------------------------------------- TExportAreasToLumarPropsFromAreaQTree

TExportAreasToLumarPropsFromAreaQTree::TExportAreasToLumarPropsFromAreaQTree() = default;
TExportAreasToLumarPropsFromAreaQTree::~TExportAreasToLumarPropsFromAreaQTree() = default;

TSpaceEntityQTree* TExportAreasToLumarPropsFromAreaQTree::GetAreaQTree() const {
  return DynamicCast<TSpaceEntityQTree>(areaQTree_.Get());
}

void TExportAreasToLumarPropsFromAreaQTree::SetAreaQTree(TSpaceEntityQTree* Tree) { areaQTree_.Set(Tree); }

const TMovedItemContainer& TExportAreasToLumarPropsFromAreaQTree::Script(const std::string& FileName) {
  if (!script_ || script_->FileName() != FileName) {
    script_.reset(CreateElement<TMovedItemContainer>());
    script_->SetFileName(FileName);
  }
  return *script_;
}

void TExportAreasToLumarPropsFromAreaQTree::CollectValues(const TSpaceEntity& Entity,
                                                          const TMovedItemContainer& Script) {
  TSpaceEntityQTree* tree = GetAreaQTree();
  const double x = Entity.GetAbsRefX();
  const double y = Entity.GetAbsRefY();
  TDynamicProperties* values = DynamicProps();
  // An area filed in several leaves is met once for each.
  std::unordered_set<const TElement*> seen;
  TQTreeWalker walker;
  for (TElement* found = walker.FindFirst(tree, x, y, x, y, 0); found; found = walker.FindNext()) {
    const auto* area = DynamicCast<TAreaElement>(found);
    if (!area || !seen.insert(area).second || !area->OutlineContainsPoint(x, y)) continue;
    for (TElement* child : Script.Children()) {
      const auto* pair = DynamicCast<TSourTarNames>(child);
      if (!pair || pair->IsProperty() || pair->IsComment() || !area->HasProperty(pair->Source)) continue;
      values->SetPropertyText(pair->Target, area->GetPropertyText(pair->Source));
    }
  }
}

void TExportAreasToLumarPropsFromAreaQTree::ExportAttributes(TElement* Element) {
  auto* entity = DynamicCast<TSpaceEntity>(Element);
  const auto* props = entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
  if (!GetAreaQTree() || !props) {
    TExportAreasToLumar::ExportAttributes(Element);
    return;
  }
  TDynamicProperties* values = DynamicProps();
  values->Clear();
  CollectValues(*entity, Script(platform::ChangeFileExt(BlockTableName(ControlDir, 'P', props->Druh), ".TDS")));
  // The record and the register as for any object, now with the values.
  if (ExportDBF) {
    TExportLumarElements::ExportAttributes(Element);
    return;
  }
  for (TElement* child : values->Children())
    if (const std::string text = values->GetPropertyText(child->GetName()); !text.empty())
      Element->SetPropertyText(child->GetName(), text);
}

// ---------------------------------------------------------------- TSaveAreasToBlok

void TSaveAreasToBlok::DoIt() {
  TTool::DoIt();
  auto* input = DynamicCast<TEntity>(Input());
  if (!input) return;
  std::unique_ptr<TExportAreasToLumar> exporter(CreateElement<TExportAreasToLumar>());
  exporter->SetBlockName(BlockDir);
  exporter->ExportDBF = true;
  exporter->SetInput(input);
  exporter->DoIt();
  // The export numbers the lines through the element number, which is
  // also their done mark: they go back unmarked for the walks after it.
  UnmarkLines();
}

void TSaveAreasToBlok::UnmarkLines() {
  std::unique_ptr<TOznacLinie> walker(CreateElement<TOznacLinie>());
  walker->SetInput(Input());
  walker->DoIt();
}

// ---------------------------------------------------------------- class descriptions

TClass TPrepareExportAreasToLumar::StaticClass() {
  using E = TPrepareExportAreasToLumar;
  static const TClassInfo info = DescribeClass<E>(
      "TPrepareExportAreasToLumar", TTool::StaticClass(), "T_LumExp",
      {NotStored(AccessorProp<E, TEntity*>(
           "Lines", [](const E& e) { return const_cast<E&>(e).GetLines(); },
           [](E& e, TEntity* lines) { e.SetLines(lines); })),
       FieldProp("Druh", &E::Druh)});
  return &info;
}

TClass TExportAreasToLumar::StaticClass() {
  using E = TExportAreasToLumar;
  static const TClassInfo info = DescribeClass<E>(
      "TExportAreasToLumar", TExportLumarElements::StaticClass(), "T_LumExp",
      {FieldProp("DruhLinii", &E::DruhLinii), FieldProp("DBFLinii", &E::DBFLinii), FieldProp("DruhPloch", &E::DruhPloch)});
  return &info;
}

TClass TExportAreasToLumarPropsFromAreaQTree::StaticClass() {
  using E = TExportAreasToLumarPropsFromAreaQTree;
  static const TClassInfo info =
      DescribeClass<E>("TExportAreasToLumarPropsFromAreaQTree", TExportAreasToLumar::StaticClass(), "T_LumExp",
                       {NotStored(ReadWriteProp("AreaQTree", &E::GetAreaQTree, &E::SetAreaQTree))});
  return &info;
}

TClass TSaveAreasToBlok::StaticClass() {
  using E = TSaveAreasToBlok;
  static const TClassInfo info = DescribeClass<E>(
      "TSaveAreasToBlok", TTool::StaticClass(), "T_Lumar",
      {FieldProp("DruhLinii", &E::DruhLinii), FieldProp("DruhPloch", &E::DruhPloch), FieldProp("BlockDir", &E::BlockDir),
       FieldProp("CreateDBFFileName", &E::CreateDBFFileName),
       FieldProp("TransferDBFScript", &E::TransferDBFScript)});
  return &info;
}

void RegisterAreaExportClasses() {
  for (TClass cls : {TPrepareExportAreasToLumar::StaticClass(), TExportAreasToLumar::StaticClass(),
                     TExportAreasToLumarPropsFromAreaQTree::StaticClass(), TExportPointsToLumar::StaticClass(),
                     TSaveAreasToBlok::StaticClass()})
    RegisterKestuClass(cls);
}
