#include "block/topology/line_joining.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <unordered_set>

#include "block/topology/walkers.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/gauge_form.h"
#include "spatial/index/box_tree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entity_properties.h"
#include "spatial/topology/segment_records.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

std::string NumberText(const TElement* line) { return line->GetPropertyText("Cislo"); }

// The line's number; -1 without one.
int LineNumberOf(const TElement* line) {
  return line->HasProperty("Cislo") ? line->GetPropertyInteger("Cislo") : -1;
}

TObjectRegister* ObjectRegisterOf(const TSpaceEntity* line) {
  const auto* props = DynamicCast<TSpaceEntityProps>(line->Properties());
  return props ? props->GetObjectRegister() : nullptr;
}

TLumLinAbscissa* NewRecord(TPolyLineElement* line, int index) {
  auto* record = new TLumLinAbscissa;
  record->SetLine(line);
  record->Index = index;
  return record;
}

// The box of the records of the group from first to last: where the line
// lies, whatever its bounds were left at.
TRealRect GroupBox(const TLinesAbscEntity& list, int first, int last) {
  TRealRect box{TRectangle::EmptyMarker, TRectangle::EmptyMarker, -TRectangle::EmptyMarker, -TRectangle::EmptyMarker};
  for (int i = first; i <= last; ++i) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    list.Segment(i)->GetEnds(x1, y1, x2, y2);
    box.MinX = std::min({box.MinX, x1, x2});
    box.MinY = std::min({box.MinY, y1, y2});
    box.MaxX = std::max({box.MaxX, x1, x2});
    box.MaxY = std::max({box.MaxY, y1, y2});
  }
  return box;
}

bool BoxesMeet(const TRealRect& a, double minX, double minY, double maxX, double maxY) {
  return a.MinX <= maxX && a.MaxX >= minX && a.MinY <= maxY && a.MaxY >= minY;
}

}  // namespace

// ---------------------------------------------------------------- working list and segment quadtree

void TCreateLinesAbscEntity::DoIt() {
  auto* line = DynamicCast<TPolyLineElement>(Input());
  if (!line) return;
  auto* list = new TLinesAbscEntity;
  for (int i = 0; i + 1 < line->GetCoordsCount(); ++i) list->AddSegment(NewRecord(line, i));
  SetOutput(list);
}

void TCreateLinQTreeAbsc::DoIt() {
  auto* list = DynamicCast<TLinesAbscEntity>(Input());
  TPolyLineElement* line = list ? list->LineOf(0) : nullptr;
  if (!line) return;
  const int last = list->GroupEnd(0);
  const TRealRect box = GroupBox(*list, 0, last);
  // A box the tree cannot square raises: the tree goes with it.
  auto tree = std::make_unique<TQTreeLumLinAbsc>();
  tree->SetSquareFor(box.MinX, box.MinY, box.MaxX, box.MaxY);
  for (int i = 0; i <= last; ++i) tree->AddByBounds(list->Segment(i));
  SetOutput(tree.release());
}

bool TAddLinesIntoLinesAbscEntity::PassesSourceTest(const TPolyLineElement* Line) const {
  return !CompareOnlyDifferentSource || ObjectRegisterOf(Line) != GetRefContainer();
}

// The boxes of the new line's segments, read once: every segment of an old
// line near it asks whether its box meets one of them.
class TAddLinesIntoLinesAbscEntity::TNewSegments {
 public:
  TNewSegments(const TLinesAbscEntity& list, int last) : tree_(Boxes(list, last)) {}

  bool AnyMeets(double minX, double minY, double maxX, double maxY) {
    found_.clear();
    tree_.Search({minX, minY, maxX, maxY}, found_);
    return !found_.empty();
  }

 private:
  static std::vector<TBox> Boxes(const TLinesAbscEntity& list, int last) {
    std::vector<TBox> boxes;
    for (int i = 0; i <= last; ++i) {
      const TLumLinAbscissa* record = list.Segment(i);
      double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      record->GetEnds(x1, y1, x2, y2);
      boxes.push_back({std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    }
    return boxes;
  }

  TBoxTree tree_;
  std::vector<std::size_t> found_;
};

void TAddLinesIntoLinesAbscEntity::AddNearSegments(TPolyLineElement* Line, const TRealRect& Near,
                                                   TNewSegments& Segments) {
  TLinesAbscEntity* list = GetLinesAbsc();
  const double tol = Tolerance;
  const int count = Line->GetCoordsCount();
  std::vector<TRealPoint>& vertices = vertices_;
  vertices.resize(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    TRealPoint& vertex = vertices[static_cast<std::size_t>(i)];
    Line->GetVertexXY(i, true, vertex.X, vertex.Y);
  }
  // Whether the vertices from first to last, grown by the tolerance, come
  // near the new line's segments.
  auto near = [&](int first, int last) {
    const TRealPoint& start = vertices[static_cast<std::size_t>(first)];
    TRealRect box{start.X, start.Y, start.X, start.Y};
    for (int v = first + 1; v <= last; ++v) {
      const TRealPoint& p = vertices[static_cast<std::size_t>(v)];
      box = {std::min(box.MinX, p.X), std::min(box.MinY, p.Y), std::max(box.MaxX, p.X), std::max(box.MaxY, p.Y)};
    }
    const double minX = box.MinX - tol, minY = box.MinY - tol, maxX = box.MaxX + tol, maxY = box.MaxY + tol;
    return BoxesMeet(Near, minX, minY, maxX, maxY) && Segments.AnyMeets(minX, minY, maxX, maxY);
  };
  // A run of segments far from the new line is passed over by one question
  // about its box, and a run near it is halved until its segments are
  // asked one by one; a record is made only for a segment kept.  The left
  // half goes first: the records follow one another in vertex order.
  std::vector<std::pair<int, int>>& runs = runs_;
  for (int first = 0; first + 1 < count; first += kSegmentsARun) {
    runs.assign(1, {first, std::min(first + kSegmentsARun, count - 1)});
    while (!runs.empty()) {
      const auto [from, to] = runs.back();
      runs.pop_back();
      if (!near(from, to)) continue;
      if (to - from == 1) {
        list->AddSegment(NewRecord(Line, from));
        continue;
      }
      const int middle = from + (to - from) / 2;
      runs.emplace_back(middle, to);
      runs.emplace_back(from, middle);
    }
  }
}

void TAddLinesIntoLinesAbscEntity::DoIt() {
  auto* lines = DynamicCast<TQTree>(Input());
  TLinesAbscEntity* list = GetLinesAbsc();
  if (!lines || !list || list->GetChildCount() == 0) return;
  // Only lines whose boxes come within the tolerance of the new line's are
  // compared, and of those only the ones whose boxes do so of one of its
  // segments, and of their segments only those that do so too.
  const int last = list->GroupEnd(0);
  const TRealRect near = GroupBox(*list, 0, last);
  const double tol = Tolerance;
  std::optional<TNewSegments> newSegments;
  std::unordered_set<const TElement*> seen;
  TQTreeWalker walker;
  for (TElement* found = walker.FindFirst(lines, near.MinX, near.MinY, near.MaxX, near.MaxY, tol); found;
       found = walker.FindNext()) {
    auto* line = DynamicCast<TPolyLineElement>(found);
    if (!line || !seen.insert(line).second || list->ContainsLine(line) || !PassesSourceTest(line)) continue;
    // Made for the first line met; the records added since follow the new
    // line's, whose group ends at last.
    if (!newSegments) newSegments.emplace(*list, last);
    if (!newSegments->AnyMeets(line->GetMinX() - tol, line->GetMinY() - tol, line->GetMaxX() + tol,
                               line->GetMaxY() + tol))
      continue;
    AddNearSegments(line, near, *newSegments);
  }
}

// ---------------------------------------------------------------- comparing one line

template <class Joiner>
void TLinComparator::Run(Joiner& joiner, TLinesAbscEntity& list) {
  joiner.ShareProtocol(*this);
  joiner.SetInput(&list);
  joiner.DoIt();
}

void TLinComparator::Compare(TPolyLineElement* Line) {
  TCreateLinesAbscEntity creator;
  creator.SetInput(Line);
  creator.DoIt();
  auto* list = static_cast<TLinesAbscEntity*>(creator.Output());
  AddElement(list);
  SetOutput(list);
  const bool protocol = ShouldProtocol(LineNumberOf(Line));
  if (protocol) {
    AppendLine(">>> TLinComparator.DoIt,  B E G I N   <<<");
    AppendLineHeader(*Line);
  }
  {
    // The adder finds the new line's segments through a packed index of
    // their boxes, cheaper to make than a segment quadtree by far; a line too
    // far out for such a quadtree to be squared on is still reported here,
    // and neither compared nor filed: on its way out it would meet every
    // line there is.
    if (list->GetCount() == 0) return;
    const TRealRect box = GroupBox(*list, 0, list->GroupEnd(0));
    TQTreeLumLinAbsc().SetSquareFor(box.MinX, box.MinY, box.MaxX, box.MaxY);
    TAddLinesIntoLinesAbscEntity adder;
    adder.SetLinesAbsc(list);
    adder.Tolerance = SnapDistance;
    adder.CompareOnlyDifferentSource = CompareOnlyDifferentSource;
    adder.SetRefContainer(GetRefContainer());
    adder.SetInput(GetQTree());
    adder.DoIt();
  }
  if (protocol) AppendLine(">>> TLinComparator.DoIt,  DZAIFL " + FloatToText(SnapDistance) + "  <<<");
  TDeleteZeroAbscInFirstLine zeros;
  zeros.SnapDistance = SnapDistance;
  if (!OnlyEnds) Run(zeros, *list);
  if (list->GetCount() == 0) return;
  TPoinPointJoiner points;
  points.SnapDistance = SnapDistance;
  points.OnlyEnds = OnlyEnds;
  points.SelfTest = SelfTest;
  Run(points, *list);
  Run(zeros, *list);
  TNewPointOldAbscJoiner pointsOnSegments;
  pointsOnSegments.SnapDistance = SnapDistance;
  pointsOnSegments.DivideOldLine = true;
  pointsOnSegments.OnlyEnds = OnlyEnds;
  pointsOnSegments.SelfTest = SelfTest;
  Run(pointsOnSegments, *list);
  Run(zeros, *list);
  TNewAbscOldPointJoiner segmentsAtPoints;
  segmentsAtPoints.SnapDistance = SnapDistance;
  segmentsAtPoints.SelfTest = SelfTest;
  Run(segmentsAtPoints, *list);
  Run(zeros, *list);
  TAbscAbscJoiner segments;
  segments.SelfTest = SelfTest;
  Run(segments, *list);
  if (protocol && list->AnyChange()) AppendLine(">>> TLinComparator.DoIt,   E N D   <<<");
}

void TLinComparator::DoIt() {
  auto* line = DynamicCast<TPolyLineElement>(Input());
  if (!line || !GetQTree()) return;
  try {
    Compare(line);
  } catch (const std::exception& e) {
    ShowError("Chyba při komparaci linie č." + NumberText(line) + ": " + e.what());
  }
}

// ---------------------------------------------------------------- writing lines again

// The lines a run cuts are freed together.  Each leaves its other owners (the
// quadtree's cells, areas, register slots) and gives up its vertices at
// once, but the container that holds every line lets go of them all in one
// pass when the run ends: taking each out where it stands would search and
// shift that long list once for every cut.  The run reads the container
// only below the line it is at, where no cut line stands.
class TCutLines {
 public:
  explicit TCutLines(TEntity& Container) : container_(Container) {}
  ~TCutLines() {
    if (lines_.empty()) return;
    const std::unordered_set<const TElement*> cut(lines_.begin(), lines_.end());
    container_.RemoveElementsIf([&cut](TElement* element) { return cut.contains(element); });
    for (TElement* line : lines_) DisposeElement(line);
  }
  TCutLines(const TCutLines&) = delete;
  TCutLines& operator=(const TCutLines&) = delete;

  void Free(TPolyLineElement* Line) {
    if (!Line->HasOwner(&container_)) {
      DisposeElement(Line);
      return;
    }
    std::vector<TElement*> owners;
    for (int i = 0; i < Line->GetOwnersCount(); ++i) owners.push_back(Line->GetOwner(i));
    for (auto owner = owners.rbegin(); owner != owners.rend(); ++owner)
      if (*owner != &container_ && *owner && (*owner)->IsAnEntity()) static_cast<TEntity*>(*owner)->RemoveElement(Line);
    Line->Clear();
    lines_.push_back(Line);
  }

 private:
  TEntity& container_;
  std::vector<TElement*> lines_;
};

void TSaveChangedLines::FreeLine(TPolyLineElement* Line) {
  if (cutLines_) cutLines_->Free(Line);
  else DisposeElement(Line);
}

std::vector<TSaveChangedLines::TPiece> TSaveChangedLines::PiecesOf(const TLinesAbscEntity& list, int First,
                                                                    int Last) const {
  const TPolyLineElement* line = list.LineOf(First);
  const int last = line->GetCoordsCount() - 1;
  std::vector<int> cuts{0, last};
  std::unordered_set<int> deleted;  // begin vertices of dropped segments
  for (int i = First; i <= Last; ++i) {
    const TLumLinAbscissa* record = list.Segment(i);
    if (record->IsNewEnd || record->IsNew || record->IsDeleted) cuts.push_back(record->Index);
    if (record->IsDeleted) {
      deleted.insert(record->Index);
      cuts.push_back(record->Index + 1);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<TPiece> pieces;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const int from = std::max(cuts[i], 0);
    const int to = std::min(cuts[i + 1], last);
    if (from < to && !deleted.contains(from)) pieces.push_back({from, to});
  }
  return pieces;
}

void TSaveChangedLines::WritePieces(TPolyLineElement* Line, const std::vector<TPiece>& Pieces) {
  for (std::size_t p = 0; p < Pieces.size(); ++p) {
    const TPiece& piece = Pieces[p];
    const bool endBeginsNext = p + 1 < Pieces.size() && Pieces[p + 1].From == piece.To;
    auto* written = static_cast<TPolyLineElement*>(NewElement(Line->ClassType()));
    written->Assign(Line);
    // The line is freed once its pieces are written, and with it every
    // vertex it alone holds: such vertices go over to the piece instead of
    // being copied, but for the one the next piece begins at.  A vertex
    // another line or area holds too is copied, so that no piece shares a
    // vertex with anything.
    const int takeTo = endBeginsNext ? piece.To - 1 : piece.To;
    for (int v = written->TakeVertices(*Line, piece.From, takeTo); v <= piece.To;
         v = written->TakeVertices(*Line, v + 1, takeTo))
      if (const T2DCoordinate* vertex = Line->Vertex(v)) written->AddElement(vertex->CreateCopy());
    written->SetIsDone(Line->GetIsDone());
    const double length = written->Length();
    if (length <= MinLength) {
      if (ShouldProtocol(LineNumberOf(Line)))
        AppendLine(" Příliš krátká linie " + FormatFloatWidth(10, 4, length));
      DisposeElement(written);
      continue;
    }
    written->CalcBounds();
    written->PlaceRefAtMiddle(length);
    // Sent, not posted: the owners take the piece before the old line goes.
    Line->SendMessageToOwners(msgAddElement, written, false);
    if (TQTreeLumLin* tree = GetQTree()) tree->AddAndGrow(written);
    if (written->HolderCount() == 0) DisposeElement(written);
  }
  FreeLine(Line);
}

void TSaveChangedLines::SaveGroup(TLinesAbscEntity& list, int First, int Last, bool NewLine) {
  TPolyLineElement* line = list.LineOf(First);
  bool changed = false;
  for (int i = First; i <= Last; ++i) {
    const TLumLinAbscissa* record = list.Segment(i);
    changed = changed || record->IsNew || record->IsNewEnd || record->IsDeleted;
  }
  const bool protocol = ShouldProtocol(LineNumberOf(line));
  const std::vector<TPiece> pieces = changed ? PiecesOf(list, First, Last) : std::vector<TPiece>{};
  if (changed && NewLine && pieces.empty()) {
    // Every segment lies on an accepted one: a second copy would let the
    // areas be walked across from one side to the other.
    if (protocol) {
      AppendLineHeader(*line);
      for (int i = First; i <= Last; ++i) AppendSegment(*list.Segment(i), "");
    }
    FreeLine(line);
    return;
  }
  if (changed && pieces.size() >= (NewLine ? 1u : 2u)) {
    if (protocol) {
      if (NewLine) AppendLine("*******************  Uloženy segmenty nové linie **************");
      AppendLineHeader(*line);
      for (int i = First; i <= Last; ++i) AppendSegment(*list.Segment(i), "");
    }
    WritePieces(line, pieces);
    return;
  }
  // The new line kept as it is may still have had its ends snapped and
  // vertices taken out: its box follows them before it is filed or written.
  // An old line kept whole has only had vertices put in on its segments.
  if (NewLine) line->CalcBounds();
  if (!changed && NewLine && line->GetCoordsCount() > 1 && line->Length() > MinLength) {
    if (protocol) {
      AppendLine("**************** Uložena kompletní linie ****************");
      AppendLineHeader(*line);
    }
    if (TQTreeLumLin* tree = GetQTree()) tree->AddAndGrow(line);
  }
}

void TSaveChangedLines::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list || list->GetCount() == 0) return;
  TPolyLineElement* newLine = list->LineOf(0);
  const int newLineNo = LineNumberOf(newLine);
  try {
    // The old lines first: the records of the new line are read last.
    for (int first = list->GroupEnd(0) + 1; first < list->GetChildCount();) {
      const int last = list->GroupEnd(first);
      SaveGroup(*list, first, last, false);
      first = last + 1;
    }
    SaveGroup(*list, 0, list->GroupEnd(0), true);
  } catch (const std::exception& e) {
    ShowError("Chyba při ukládání linie č. " + std::to_string(newLineNo) + " : " + e.what());
  }
  if (ShouldProtocol(newLineNo)) AppendLine(std::string(38, '*'));
}

// ---------------------------------------------------------------- the whole run

void TJoinLines::SetProtocol(const std::string& FileName) {
  protocol_.SetProtocol(FileName);
  try {
    platform::WriteTextLines(FileName, {});
  } catch (const std::exception&) {
    // Reported by the first line written, once.
  }
}

void TJoinLines::ProcessLine(TPolyLineElement* Line, TQTreeLumLin* Tree, TCutLines& Cut) {
  if (!(Line->Length() > MinLength)) return;
  Line->SetIsDone(true);
  TLinComparator comparator;
  comparator.SetQTree(Tree);
  comparator.SnapDistance = SnapDistance;
  comparator.OnlyEnds = OnlyEnds;
  comparator.SelfTest = SelfTest;
  comparator.CompareOnlyDifferentSource = CompareOnlyDifferentSource;
  comparator.SetRefContainer(ObjectRegisterOf(Line));
  comparator.ShareProtocol(protocol_);
  comparator.SetInput(Line);
  comparator.DoIt();
  auto* list = DynamicCast<TLinesAbscEntity>(comparator.Output());
  if (!list || list->GetCount() == 0 || list->LineOf(0) != Line) return;
  if (MaxOutputAbscLength > 0) {
    TDivideAbscs divider;
    divider.MaxOutputAbscLength = MaxOutputAbscLength;
    divider.RoundKoef = RoundKoef;
    divider.DivideLines = DivideOutputLines;
    divider.ShareProtocol(protocol_);
    divider.SetInput(list);
    divider.DoIt();
  }
  TSaveChangedLines saver;
  saver.SetQTree(Tree);
  saver.SetCutLines(&Cut);
  saver.MinLength = MinLength;
  saver.SetLinesLabelPoint = PrepocitavatPopBodyLinii;
  saver.ShareProtocol(protocol_);
  saver.SetInput(list);
  saver.DoIt();
}

void TJoinLines::DoIt() {
  auto* input = DynamicCast<TRectEntity>(Input());
  if (!input) return;
  TOznacLinie unmark;
  unmark.SetInput(input);
  unmark.DoIt();
  auto tree = std::make_unique<TQTreeLumLin>();
  // A string without lines has the empty rectangle: its tree stays empty.
  // So does one holding a line too far out to file: the first line filed
  // squares it, and the line that cannot be is reported when it comes.
  if (input->GetMinX() <= input->GetMaxX()) {
    try {
      tree->SetSquareFor(input->GetMinX(), input->GetMinY(), input->GetMaxX(), input->GetMaxY());
    } catch (const std::exception&) {
    }
  }
  std::unique_ptr<platform::TF_gaugeForm> gauge = platform::NewGaugeForm();
  const int count = input->GetCount();
  gauge->SetMaxValue(count >= 100 ? count - 1 : 0);
  if (count >= 100) gauge->Show();
  // The window stays alive; framework messages wait until the run ends.
  platform::MessageHold hold;
  TCutLines cut(*input);
  for (int i = count - 1; i >= 0; --i) {
    if (i >= input->GetCount()) continue;
    if (gauge->DoCloseQuery()) {
      gauge->SetDoCloseQuery(false);
      if (gauge->ConfirmAbort("Přerušit zpracování linií ?")) break;
    }
    auto* line = DynamicCast<TPolyLineElement>(input->GetElement(i));
    if (line) {
      std::string caption = "L" + FormatIntWidth(line->GetSpaceID(), 5, false);
      if (line->GetCoordsCount() > 100)
        caption += ": " + FormatIntWidth(line->GetCoordsCount(), 3, false) + ": " +
                   FormatFloatWidth(6, 2, line->Length());
      gauge->SetCaption(caption);
    }
    gauge->SetProgress(count - i - 1);
    platform::Application::Instance().ProcessMessages();
    if (line && !line->GetIsDone()) ProcessLine(line, tree.get(), cut);
  }
  gauge->Hide();
  SetOutput(tree.release());
}

// ---------------------------------------------------------------- element properties

TLinesAbscEntity* TAddLinesIntoLinesAbscEntity::GetLinesAbsc() const {
  return static_cast<TLinesAbscEntity*>(linesAbsc_.Get());
}
void TAddLinesIntoLinesAbscEntity::SetLinesAbsc(TLinesAbscEntity* List) { linesAbsc_.Set(List); }
TQTreeLumLinAbsc* TAddLinesIntoLinesAbscEntity::GetQTreeAbsc() const {
  return static_cast<TQTreeLumLinAbsc*>(qTreeAbsc_.Get());
}
void TAddLinesIntoLinesAbscEntity::SetQTreeAbsc(TQTreeLumLinAbsc* Tree) { qTreeAbsc_.Set(Tree); }
TObjectRegister* TAddLinesIntoLinesAbscEntity::GetRefContainer() const {
  return static_cast<TObjectRegister*>(refContainer_.Get());
}
void TAddLinesIntoLinesAbscEntity::SetRefContainer(TObjectRegister* Register) { refContainer_.Set(Register); }

TQTreeLumLin* TLinComparator::GetQTree() const { return static_cast<TQTreeLumLin*>(qTree_.Get()); }
void TLinComparator::SetQTree(TQTreeLumLin* Tree) { qTree_.Set(Tree); }
TObjectRegister* TLinComparator::GetRefContainer() const {
  return static_cast<TObjectRegister*>(refContainer_.Get());
}
void TLinComparator::SetRefContainer(TObjectRegister* Register) { refContainer_.Set(Register); }

TQTreeLumLin* TSaveChangedLines::GetQTree() const { return static_cast<TQTreeLumLin*>(qTree_.Get()); }
void TSaveChangedLines::SetQTree(TQTreeLumLin* Tree) { qTree_.Set(Tree); }
TEntity* TSaveChangedLines::GetNewLines() const { return static_cast<TEntity*>(newLines_.Get()); }
void TSaveChangedLines::SetNewLines(TEntity* Lines) { newLines_.Set(Lines); }

// ---------------------------------------------------------------- classes

TClass TCreateLinesAbscEntity::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCreateLinesAbscEntity>("TCreateLinesAbscEntity", TTool::StaticClass(), "T_LinJoi", {});
  return &info;
}

TClass TCreateLinQTreeAbsc::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TCreateLinQTreeAbsc>("TCreateLinQTreeAbsc", TTool::StaticClass(), "T_LinJoi", {});
  return &info;
}

TClass TAddLinesIntoLinesAbscEntity::StaticClass() {
  using A = TAddLinesIntoLinesAbscEntity;
  static const TClassInfo info =
      DescribeClass<A>("TAddLinesIntoLinesAbscEntity", TTool::StaticClass(), "T_LinJoi",
                       {ReadWriteProp("LinesAbsc", &A::GetLinesAbsc, &A::SetLinesAbsc),
                        ReadWriteProp("QTreeAbsc", &A::GetQTreeAbsc, &A::SetQTreeAbsc),
                        FieldProp("Tolerance", &A::Tolerance),
                        FieldProp("CompareOnlyDifferentSource", &A::CompareOnlyDifferentSource),
                        ReadWriteProp("RefContainer", &A::GetRefContainer, &A::SetRefContainer)});
  return &info;
}

TClass TLinComparator::StaticClass() {
  using C = TLinComparator;
  static const TClassInfo info = DescribeClass<C>(
      "TLinComparator", TProtocolTool::StaticClass(), "T_LinJoi",
      {ReadWriteProp("QTree", &C::GetQTree, &C::SetQTree), FieldProp("SnapDistance", &C::SnapDistance),
       FieldProp("OnlyEnds", &C::OnlyEnds), FieldProp("SelfTest", &C::SelfTest),
       FieldProp("CompareOnlyDifferentSource", &C::CompareOnlyDifferentSource),
       ReadWriteProp("RefContainer", &C::GetRefContainer, &C::SetRefContainer)});
  return &info;
}

TClass TSaveChangedLines::StaticClass() {
  using S = TSaveChangedLines;
  static const TClassInfo info =
      DescribeClass<S>("TSaveChangedLines", TProtocolTool::StaticClass(), "T_LinJoi",
                       {ReadWriteProp("NewLines", &S::GetNewLines, &S::SetNewLines),
                        ReadWriteProp("QTree", &S::GetQTree, &S::SetQTree), FieldProp("MinLength", &S::MinLength),
                        FieldProp("SetLinesLabelPoint", &S::SetLinesLabelPoint)});
  return &info;
}

TClass TJoinLines::StaticClass() {
  using J = TJoinLines;
  static const TClassInfo info = DescribeClass<J>(
      "TJoinLines", TTool::StaticClass(), "T_LinJoi",
      {FieldProp("SnapDistance", &J::SnapDistance), FieldProp("MinLength", &J::MinLength),
       FieldProp("OnlyEnds", &J::OnlyEnds), FieldProp("SelfTest", &J::SelfTest),
       FieldProp("PrepocitavatPopBodyLinii", &J::PrepocitavatPopBodyLinii),
       FieldProp("CompareOnlyDifferentSource", &J::CompareOnlyDifferentSource),
       FieldProp("MaxOutputAbscLength", &J::MaxOutputAbscLength), FieldProp("RoundKoef", &J::RoundKoef),
       FieldProp("DivideOutputLines", &J::DivideOutputLines),
       ReadWriteProp("Protocol", &J::GetProtocol, &J::SetProtocol),
       ReadWriteProp("UseProtocol", &J::GetUseProtocol, &J::SetUseProtocol),
       ReadWriteProp("ProtocoledLine", &J::GetProtocoledLine, &J::SetProtocoledLine)});
  return &info;
}

void RegisterLineJoiningClasses() { RegisterKestuClass(TJoinLines::StaticClass()); }
