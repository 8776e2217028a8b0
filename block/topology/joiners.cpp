#include "block/topology/joiners.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/index/box_tree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/objects/space_entity_properties.h"
#include "spatial/topology/segment_records.h"

namespace {

// Crossings closer than this to a segment end are taken to be at the end.
constexpr double kSamePoint = 1e-6;

// The box of a record, for the box tests of the joiners.
bool BoxesMeet(const TLumLinAbscissa& a, const TLumLinAbscissa& b, double tol) {
  return a.BoundsMeetRect(b.GetXmin(), b.GetYmin(), b.GetXmax(), b.GetYmax(), tol);
}

std::string BlockNameOf(const TPolyLineElement* line) {
  const auto* props = line ? DynamicCast<TSpaceEntityProps>(line->Properties()) : nullptr;
  return props ? props->GetBlockName() : std::string();
}

int LineNumberOf(const TPolyLineElement* line) {
  return line && line->HasProperty("Cislo") ? line->GetPropertyInteger("Cislo") : -1;
}

// The first record of the old lines: group 0 is the new line's.
int FirstOldRecord(const TLinesAbscEntity& list) { return list.GetChildCount() > 0 ? list.GroupEnd(0) + 1 : 0; }

// Whether the record at i still belongs to the group of line.
bool InGroup(const TLinesAbscEntity& list, int i, const TPolyLineElement* line) {
  return i < list.GetChildCount() && list.LineOf(i) == line;
}

// The records of a working list from a first position on, their boxes in an
// index, so that the records meeting a segment are found without trying
// every one: without the self test only the old lines' records are
// candidates, and the new line's many records need not be filed at all.
// Kept in step with the list as records are split.
class TRecordOrder {
 public:
  TRecordOrder(const TLinesAbscEntity& list, int From) : list_(list), from_(From), tree_(Boxes(list, From)) {
    const auto count = static_cast<std::size_t>(std::max(list.GetChildCount() - From, 0));
    for (std::size_t i = 0; i < count; ++i) {
      idAt_.push_back(static_cast<std::uint32_t>(i));
      positionOf_.push_back(static_cast<int>(i));
    }
  }

  // The position of the first record filed: it moves on as records before
  // it are split.
  int From() const { return from_; }

  // The positions after After whose records' boxes meet the box of the
  // record at S grown by Tol on every side, rising.
  void MeetingAfter(int S, int After, std::vector<int>& Positions, double Tol = 0) {
    Positions.clear();
    if (idAt_.empty()) return;
    found_.clear();
    TBox rect = BoxOf(*list_.Segment(S));
    if (Tol != 0) rect = {rect.MinX - Tol, rect.MinY - Tol, rect.MaxX + Tol, rect.MaxY + Tol};
    tree_.Search(rect, found_);
    for (std::size_t id : found_)
      if (positionOf_[id] + from_ > After) Positions.push_back(positionOf_[id] + from_);
    std::sort(Positions.begin(), Positions.end());
    Positions.erase(std::unique(Positions.begin(), Positions.end()), Positions.end());
  }

  // The record at Position was split: it is shorter, and its piece went in
  // right after it.
  void Split(int Position) {
    // Before the records filed: they all move one on.
    if (Position < from_) {
      ++from_;
      return;
    }
    const auto at = static_cast<std::size_t>(Position - from_);
    tree_.File(idAt_[at], BoxOf(*list_.Segment(Position)));
    const auto id = static_cast<std::uint32_t>(positionOf_.size());
    idAt_.insert(idAt_.begin() + static_cast<std::ptrdiff_t>(at) + 1, id);
    positionOf_.push_back(static_cast<int>(at) + 1);
    for (std::size_t j = at + 2; j < idAt_.size(); ++j) positionOf_[idAt_[j]] = static_cast<int>(j);
    tree_.File(id, BoxOf(*list_.Segment(Position + 1)));
  }

 private:
  static TBox BoxOf(const TLumLinAbscissa& segment) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    segment.GetEnds(x1, y1, x2, y2);
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  }
  static std::vector<TBox> Boxes(const TLinesAbscEntity& list, int From) {
    std::vector<TBox> boxes;
    for (int i = From; i < list.GetChildCount(); ++i) boxes.push_back(BoxOf(*list.Segment(i)));
    return boxes;
  }

  const TLinesAbscEntity& list_;
  int from_;  // the position of the first record filed
  TBoxTree tree_;
  std::vector<std::uint32_t> idAt_;  // by position less from_
  std::vector<int> positionOf_;      // by id, less from_
  std::vector<std::size_t> found_;
};

}  // namespace

// ---------------------------------------------------------------- the working list

int TLinesAbscEntity::GetChildCount() const { return static_cast<int>(Children().size()); }

TLumLinAbscissa* TLinesAbscEntity::Segment(int I) const {
  if (I < 0 || I >= GetChildCount()) return nullptr;
  return static_cast<TLumLinAbscissa*>(Children()[static_cast<std::size_t>(I)]);
}

TPolyLineElement* TLinesAbscEntity::LineOf(int I) const {
  const TLumLinAbscissa* segment = Segment(I);
  return segment ? segment->GetLine() : nullptr;
}

int TLinesAbscEntity::GroupEnd(int I) const {
  // A line's records are contiguous, so the end is found by steps that
  // double and then halve: the joiners ask for it once per segment.
  const TPolyLineElement* line = LineOf(I);
  const int count = GetChildCount();
  int last = I;       // in the group
  int past = count;   // past it
  for (int step = 1; last + step < count; step *= 2) {
    if (LineOf(last + step) != line) {
      past = last + step;
      break;
    }
    last += step;
  }
  while (past - last > 1) {
    const int middle = last + (past - last) / 2;
    if (LineOf(middle) == line) last = middle;
    else past = middle;
  }
  return last;
}

void TLinesAbscEntity::Renumber(int I, int Delta) {
  const TPolyLineElement* line = LineOf(I);
  for (int j = I + 1; InGroup(*this, j, line); ++j) Segment(j)->Index += Delta;
}

void TLinesAbscEntity::InsertSegment(int I, TLumLinAbscissa* Segment) {
  InsertElement(I, Segment);
  lines_.insert(Segment->GetLine());
  Renumber(I, 1);
}

void TLinesAbscEntity::AddSegment(TLumLinAbscissa* Segment) {
  AddElement(Segment);
  lines_.insert(Segment->GetLine());
}

void TLinesAbscEntity::DeleteSegment(int I) {
  TLumLinAbscissa* segment = Segment(I);
  if (!segment) return;
  if (TPolyLineElement* line = segment->GetLine())
    if (T2DCoordinate* vertex = line->GetCoord(segment->Index)) line->FreeElement(vertex);
  Renumber(I, -1);
  FreeElement(segment);
}

bool TLinesAbscEntity::ContainsLine(const TPolyLineElement* Line) const { return lines_.contains(Line); }

bool TLinesAbscEntity::AnyChange() const {
  for (TElement* child : Children()) {
    const auto* segment = static_cast<const TLumLinAbscissa*>(child);
    if (segment->IsNew || segment->IsNewEnd || segment->IsDeleted) return true;
  }
  return false;
}

// ---------------------------------------------------------------- protocol

const std::string& TProtocolTool::GetProtocol() const { return target_->FileName; }

void TProtocolTool::SetProtocol(const std::string& FileName) {
  target_ = std::make_shared<TProtocolTarget>();
  target_->FileName = FileName;
}

void TProtocolTool::ShareProtocol(const TProtocolTool& other) {
  target_ = other.target_;
  UseProtocol = other.UseProtocol;
  ProtocoledLine = other.ProtocoledLine;
}

bool TProtocolTool::ShouldProtocol(int LineNo) const {
  return UseProtocol && (ProtocoledLine == -1 || ProtocoledLine == LineNo);
}

void TProtocolTool::AppendLine(const std::string& Text) {
  if (!UseProtocol || target_->Failed) return;
  try {
    platform::AppendTextLine(target_->FileName, Text);
  } catch (const std::exception&) {
    target_->Failed = true;
    platform::MessageDlg("Protocol " + Text + " open error", platform::MsgDlgType::Error, platform::mbOK);
  }
}

void TProtocolTool::AppendSegment(const TLumLinAbscissa& Segment, const std::string& Text) {
  const TPolyLineElement* line = Segment.GetLine();
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Segment.GetEnds(x1, y1, x2, y2);
  std::string flags;
  if (Segment.GetIsFirst()) flags += "First ";
  if (Segment.GetIsLast()) flags += "Last ";
  if (Segment.IsNewEnd) flags += "NewEnd ";
  if (Segment.FixedBegin) flags += "FixBeg ";
  if (Segment.FixedEnd) flags += "FixEnd ";
  if (Segment.IsNew) flags += "New ";
  if (Segment.IsDeleted) flags += "Del ";
  AppendLine(BlockNameOf(line) + " " + FormatIntWidth(LineNumberOf(line), 5, false) + " " +
             FormatIntWidth(Segment.Index, 2, false) + FormatFloatWidth(17, 8, x1) + FormatFloatWidth(18, 8, y1) +
             FormatFloatWidth(17, 8, x2) + FormatFloatWidth(18, 8, y2) + " " + flags + Text + " " +
             (line ? line->GetName() : std::string()));
}

void TProtocolTool::AppendPoint(double X, double Y, const std::string& Text) {
  AppendLine(FormatFloatWidth(17, 8, X) + FormatFloatWidth(18, 8, Y) + Text);
}

void TProtocolTool::AppendLineHeader(const TPolyLineElement& Line) {
  AppendLine(BlockNameOf(&Line) + ":" + std::to_string(LineNumberOf(&Line)));
}

TLinesAbscEntity* TProtocolTool::WorkList() const { return DynamicCast<TLinesAbscEntity>(Input()); }

bool TProtocolTool::ProtocolsNewLine() const {
  const TLinesAbscEntity* list = WorkList();
  return list && ShouldProtocol(LineNumberOf(list->LineOf(0)));
}

// ---------------------------------------------------------------- zero segments

void TDeleteZeroAbscInFirstLine::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list) return;
  const TPolyLineElement* line = list->LineOf(0);
  const bool protocol = ProtocolsNewLine();
  bool marked = false;
  for (int i = 0; InGroup(*list, i, line);) {
    TLumLinAbscissa* segment = list->Segment(i);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    segment->GetEnds(x1, y1, x2, y2);
    const bool zero = Mathlib::PointsEqual(x1, y1, x2, y2) ||
                      (SnapDistance > 0 && Mathlib::PointsCoincide(x1, y1, x2, y2, SnapDistance));
    if (!zero) {
      ++i;
      continue;
    }
    if (protocol) {
      if (!marked) AppendLine(">>> TDeleteZeroAbscInFirstLine.DoIt <<<");
      AppendSegment(*segment, "");
    }
    marked = true;
    list->DeleteSegment(i);
  }
}

// ---------------------------------------------------------------- vertex to vertex

void TPoinPointJoiner::TryVertices(const TLumLinAbscissa& Segment, const TLumLinAbscissa& Other,
                                   TNearest& Best) const {
  if (!BoxesMeet(Segment, Other, SnapDistance)) return;
  const bool moveBegin = !OnlyEnds || Segment.GetIsFirst();
  const bool moveEnd = Segment.GetIsLast();
  // Every vertex of the other line once: the ends, and the begin of its first segment.
  for (const bool otherBegin : {false, true}) {
    if (otherBegin && !Other.GetIsFirst()) continue;
    double dist = 0, x = 0, y = 0;
    if (moveBegin && Segment.EndMeetsEndOf(true, &Other, otherBegin, SnapDistance, dist, x, y) &&
        dist < Best.Begin) {
      Best.Begin = dist;
      Best.BX = x;
      Best.BY = y;
    }
    if (moveEnd && Segment.EndMeetsEndOf(false, &Other, otherBegin, SnapDistance, dist, x, y) && dist < Best.End) {
      Best.End = dist;
      Best.EX = x;
      Best.EY = y;
    }
  }
}

void TPoinPointJoiner::SnapToNearest(TLumLinAbscissa& Segment, const TNearest& Best, bool OwnLine) {
  const std::string target = OwnLine ? " to same line <<<" : " to another line <<<";
  if (Best.Begin < TNearest::None) {
    Segment.SnapEnd(true, Best.BX, Best.BY, SnapDistance);
    if (!OwnLine) Segment.FixedBegin = true;
    if (ProtocolsNewLine()) AppendLine(">>> TPoinPointJoiner.DoIt, FoundJoinBegin" + target);
  }
  if (Best.End < TNearest::None) {
    Segment.SnapEnd(false, Best.EX, Best.EY, SnapDistance);
    if (!OwnLine) Segment.FixedEnd = true;
    if (ProtocolsNewLine()) AppendLine(">>> TPoinPointJoiner.DoIt, FoundJoinEnd" + target);
  }
}

void TPoinPointJoiner::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list) return;
  const TPolyLineElement* line = list->LineOf(0);
  const int groupEnd = list->GetChildCount() > 0 ? list->GroupEnd(0) : -1;
  // The line's own later records and the old lines' records are found
  // through the index, in list order as trying each of them would meet them.
  TRecordOrder order(*list, SelfTest ? 0 : groupEnd + 1);
  std::vector<int> candidates;
  for (int s = 0; InGroup(*list, s, line); ++s) {
    TLumLinAbscissa* segment = list->Segment(s);
    if (SelfTest) {
      TNearest best;
      order.MeetingAfter(s, s, candidates, SnapDistance);
      for (const int t : candidates) {
        if (t > groupEnd) break;
        TryVertices(*segment, *list->Segment(t), best);
      }
      // A snapped end moves a vertex of the records at s - 1 to s + 1, which
      // no later segment compares with: their boxes in the index may stay.
      SnapToNearest(*segment, best, true);
    }
    // Asked after the snap above, with the segment's box as it is now; the
    // old lines' records do not move here.
    TNearest best;
    order.MeetingAfter(s, groupEnd, candidates, SnapDistance);
    for (const int t : candidates) TryVertices(*segment, *list->Segment(t), best);
    SnapToNearest(*segment, best, false);
  }
}

// ---------------------------------------------------------------- vertex onto segment

bool TNewPointOldAbscJoiner::SnapOnto(TLinesAbscEntity& list, int S, int T, bool AtBegin) {
  TLumLinAbscissa* segment = list.Segment(S);
  TLumLinAbscissa* other = list.Segment(T);
  double x = 0, y = 0;
  if (!segment->SnapEndToSegment(AtBegin, other, SnapDistance, x, y)) return false;
  if (ProtocolsNewLine()) {
    AppendLine(AtBegin ? ">>> TNewPointOldAbscJoiner.DoIt, Current absc <<<"
                       : ">>> TNewPointOldAbscJoiner.DoIt, Last absc <<<");
    AppendSegment(*segment, "");
    AppendSegment(*other, "");
  }
  if (DivideOldLine) {
    TLumLinAbscissa* piece = nullptr;
    other->SplitAt(piece, x, y);
    // The new vertex holds a snapped end: it moves no more, or a line
    // compared with itself could snap and split round it for ever.
    other->FixedEnd = true;
    piece->FixedBegin = true;
    list.InsertSegment(T + 1, piece);
  }
  return true;
}

void TNewPointOldAbscJoiner::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list) return;
  const TPolyLineElement* line = list->LineOf(0);
  TRecordOrder order(*list, SelfTest ? 0 : FirstOldRecord(*list));
  // Each end of a segment snaps once at most, by less than the snap
  // distance: twice that round its box holds every record it can still meet.
  const double reach = 2 * SnapDistance;
  std::vector<int> candidates;
  for (int s = 0; InGroup(*list, s, line); ++s) {
    TLumLinAbscissa* segment = list->Segment(s);
    if (OnlyEnds && !segment->GetIsMargin()) continue;
    // Later records in list order, as trying each of them would meet them.
    order.MeetingAfter(s, SelfTest ? s : order.From() - 1, candidates, reach);
    for (std::size_t next = 0; next < candidates.size();) {
      const int t = candidates[next++];
      if (!BoxesMeet(*segment, *list->Segment(t), SnapDistance)) continue;
      bool split = false;
      for (const bool atBegin : {true, false}) {
        if (atBegin ? OnlyEnds && !segment->GetIsFirst() : !segment->GetIsLast()) continue;
        const int count = list->GetChildCount();
        SnapOnto(*list, s, t, atBegin);
        if (list->GetChildCount() == count) continue;
        order.Split(t);
        split = true;
      }
      if (split) {
        // The records after t moved on and its pieces follow it.
        order.MeetingAfter(s, t, candidates, reach);
        next = 0;
      }
    }
  }
}

// ---------------------------------------------------------------- old vertices onto new segments

TPolyLineElement* TAbscPoint::GetLine() const { return static_cast<TPolyLineElement*>(line_.Get()); }
void TAbscPoint::SetLine(TPolyLineElement* Line) { line_.Set(Line); }

void TPointsLine::AddPoint(TAbscPoint* Point) {
  int at = 0;
  while (at < GetCount() && this->Point(at)->Distance <= Point->Distance) ++at;
  InsertElement(at, Point);
}

TAbscPoint* TPointsLine::Point(int I) const { return static_cast<TAbscPoint*>(Children()[static_cast<std::size_t>(I)]); }

int TNewAbscOldPointJoiner::ProcessAbsc(TLinesAbscEntity& list, int S, const std::vector<int>& Candidates) {
  TLumLinAbscissa* segment = list.Segment(S);
  TPointsLine points;
  for (const int t : Candidates) {
    const TLumLinAbscissa* other = list.Segment(t);
    if (!BoxesMeet(*segment, *other, SnapDistance)) continue;
    for (const bool atBegin : {true, false}) {
      if (!atBegin && !other->GetIsLast()) continue;
      bool found = false, nearEnd = false;
      double px = 0, py = 0, fx = 0, fy = 0;
      segment->CrossingWith(other, atBegin, SnapDistance, found, nearEnd, px, py, fx, fy);
      if (!found || nearEnd) continue;
      auto* point = new TAbscPoint;
      point->X = px;
      point->Y = py;
      point->FootX = fx;
      point->FootY = fy;
      point->Distance = Mathlib::Distance(segment->GetX1(), segment->GetY1(), px, py);
      point->SetLine(other->GetLine());
      points.AddPoint(point);
    }
  }
  if (points.GetCount() == 0) return 0;
  if (ProtocolsNewLine()) {
    AppendLine(">>> TNewAbscOldPointJoiner.ProcessAbsc <<<");
    AppendSegment(*segment, "");
  }
  int current = S;
  for (int i = 0; i < points.GetCount(); ++i) {
    const TAbscPoint* point = points.Point(i);
    if (ProtocolsNewLine())
      AppendPoint(point->X, point->Y, "dist: " + FloatToText(point->Distance) + " **********");
    TLumLinAbscissa* piece = nullptr;
    list.Segment(current)->SplitAt(piece, point->X, point->Y);
    list.InsertSegment(++current, piece);
  }
  return points.GetCount();
}

void TNewAbscOldPointJoiner::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list) return;
  const TPolyLineElement* line = list->LineOf(0);
  TRecordOrder order(*list, SelfTest ? 0 : FirstOldRecord(*list));
  std::vector<int> candidates;
  for (int s = 0; InGroup(*list, s, line);) {
    order.MeetingAfter(s, SelfTest ? s : order.From() - 1, candidates, SnapDistance);
    const int pieces = ProcessAbsc(*list, s, candidates);
    // Each piece was cut from the one before it.
    for (int i = 0; i < pieces; ++i) order.Split(s + i);
    s += pieces + 1;
  }
}

// ---------------------------------------------------------------- segment against segment

TAbscAbscJoiner::TComparison TAbscAbscJoiner::Compare(TLinesAbscEntity& list, int S, int T) {
  TComparison result;
  TLumLinAbscissa* segment = list.Segment(S);
  TLumLinAbscissa* other = list.Segment(T);
  if (!BoxesMeet(*segment, *other, 0)) return result;
  bool bb = false, ee = false, be = false, eb = false;
  segment->SharedEnds(other, bb, ee, be, eb);
  if ((bb && ee) || (be && eb)) {
    segment->IsDeleted = true;
    if (ProtocolsNewLine()) {
      AppendLine(">>> TAbscAbscJoiner.DoIt, Deleted absc <<<");
      AppendSegment(*segment, "");
    }
    result.Kept = false;
    return result;
  }
  if (bb) {
    if (!segment->GetIsFirst()) segment->IsNewEnd = true;
    if (!other->GetIsFirst()) other->IsNewEnd = true;
  }
  if (be && !segment->GetIsFirst()) segment->IsNewEnd = true;
  const bool nextOfSameLine = other->GetLine() == segment->GetLine() && other->Index == segment->Index + 1;
  if (eb && !other->GetIsFirst() && !nextOfSameLine) other->IsNewEnd = true;
  if (bb || ee || be || eb) return result;

  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
  segment->GetEnds(x1, y1, x2, y2);
  other->GetEnds(x3, y3, x4, y4);
  double x = 0, y = 0;
  bool noPoint = true, onFirst = false, onSecond = false;
  Mathlib::SegmentIntersection(x, y, noPoint, x1, y1, x2, y2, x3, y3, x4, y4, onFirst, onSecond);
  if (noPoint || !onFirst || !onSecond) return result;
  // The crossing is computed through rounded slopes: one a hair from an end
  // is that end, so that no second vertex grows beside the first.
  for (const auto& [ex, ey] : {std::pair{x1, y1}, std::pair{x2, y2}, std::pair{x3, y3}, std::pair{x4, y4}}) {
    if (std::fabs(x - ex) <= kSamePoint && std::fabs(y - ey) <= kSamePoint) {
      x = ex;
      y = ey;
      break;
    }
  }
  // A crossing at an end of a segment leaves that segment whole: a split
  // there would make a segment of no length.
  const bool splitSegment = !Mathlib::PointsEqual(x, y, x1, y1) && !Mathlib::PointsEqual(x, y, x2, y2);
  const bool splitOther = !Mathlib::PointsEqual(x, y, x3, y3) && !Mathlib::PointsEqual(x, y, x4, y4);
  if (ProtocolsNewLine() && (splitSegment || splitOther)) AppendLine(">>> TAbscAbscJoiner.DoIt, New absc <<<");
  if (splitSegment) {
    TLumLinAbscissa* piece = nullptr;
    segment->SplitAt(piece, x, y);
    piece->IsNewEnd = true;
    list.InsertSegment(S + 1, piece);
    ++T;
    result.SegmentSplit = true;
    if (ProtocolsNewLine()) AppendSegment(*piece, "");
  }
  if (splitOther) {
    TLumLinAbscissa* piece = nullptr;
    other->SplitAt(piece, x, y);
    piece->IsNewEnd = true;
    list.InsertSegment(T + 1, piece);
    result.OtherSplit = true;
    if (ProtocolsNewLine()) AppendSegment(*piece, "");
  }
  return result;
}

void TAbscAbscJoiner::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list) return;
  const TPolyLineElement* line = list->LineOf(0);
  TRecordOrder order(*list, SelfTest ? 0 : FirstOldRecord(*list));
  // The last record of the new line's group: the old lines' records follow.
  int newLineEnd = list->GetChildCount() > 0 ? list->GroupEnd(0) : -1;
  std::vector<int> candidates;
  for (int s = 0; InGroup(*list, s, line); ++s) {
    // Records up to t are compared or do not count.
    int t = SelfTest ? s : newLineEnd;
    order.MeetingAfter(s, t, candidates);
    for (std::size_t next = 0; next < candidates.size();) {
      t = candidates[next++];
      const TComparison result = Compare(*list, s, t);
      if (result.SegmentSplit) {
        order.Split(s);
        ++newLineEnd;
        ++t;
      }
      if (result.OtherSplit) {
        order.Split(t);
        if (t <= newLineEnd) ++newLineEnd;
      }
      if (!result.Kept) break;
      if (result.SegmentSplit || result.OtherSplit) {
        // Boxes changed and records moved on: the later ones are asked again.
        order.MeetingAfter(s, t - (result.SegmentSplit ? 1 : 0), candidates);
        next = 0;
      }
    }
  }
  UndoLoneSplits(*list);
}

void TAbscAbscJoiner::UndoLoneSplits(TLinesAbscEntity& list) {
  // The record goes with its begin vertex.  A dropped duplicate keeps its
  // vertices: it is left out when the line is written, and its begin may be
  // the end of a segment kept.
  for (int i = list.GetChildCount() - 1; i >= 1; --i) {
    const TLumLinAbscissa* segment = list.Segment(i);
    if (segment->IsNew && !segment->IsNewEnd && !segment->IsDeleted) list.DeleteSegment(i);
  }
}

// ---------------------------------------------------------------- long segments

bool TDivideAbscs::CutPoint(const TLumLinAbscissa& Segment, int Pieces, double& X, double& Y) const {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Segment.GetEnds(x1, y1, x2, y2);
  const double length = Segment.GetLength();
  auto inside = [&](double x, double y) {
    const double along = ((x - x1) * (x2 - x1) + (y - y1) * (y2 - y1)) / (length * length);
    return along > 0 && along < 1 && !Mathlib::PointsEqual(x, y, x1, y1) && !Mathlib::PointsEqual(x, y, x2, y2);
  };
  // The rounded point first; when rounding takes it onto an end (or past
  // it), the exact one.
  for (const double grid : {RoundKoef, 0.0}) {
    Mathlib::PointTowards(X, Y, x1, y1, x2, y2, length / Pieces, grid);
    if (inside(X, Y)) return true;
  }
  return false;
}

void TDivideAbscs::DoIt() {
  TLinesAbscEntity* list = WorkList();
  if (!list || MaxOutputAbscLength <= 0) return;
  for (int i = 0; i < list->GetChildCount(); ++i) {
    const double first = list->Segment(i)->GetLength();
    if (!(first > MaxOutputAbscLength)) continue;
    const int cap = static_cast<int>(first / MaxOutputAbscLength) + MaxExtraPieces;
    for (int cuts = 0;; ++cuts, ++i) {
      TLumLinAbscissa* segment = list->Segment(i);
      const double length = segment->GetLength();
      if (!(length > MaxOutputAbscLength)) break;
      double x = 0, y = 0;
      if (cuts >= cap || !CutPoint(*segment, static_cast<int>(length / MaxOutputAbscLength) + 1, x, y)) {
        Log("Úsečka linie č. " + std::to_string(segment->GetLineNo()) + " se dál nedělí po " +
            std::to_string(cuts) + " řezech");
        break;
      }
      TLumLinAbscissa* piece = nullptr;
      segment->SplitAt(piece, x, y);
      // Without DivideLines the cut only adds a vertex: the line is not cut there.
      piece->IsNewEnd = DivideLines;
      piece->IsNew = DivideLines;
      list->InsertSegment(i + 1, piece);
    }
  }
}

// ---------------------------------------------------------------- classes

TClass TLinesAbscEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TLinesAbscEntity>("TLinesAbscEntity", TEntity::StaticClass(), "T_LinJoi", {});
  return &info;
}

TClass TProtocolTool::StaticClass() {
  using P = TProtocolTool;
  static const TClassInfo info =
      DescribeClass<P>("TProtocolTool", TTool::StaticClass(), "T_LinJoi",
                       {AccessorProp<P, std::string>(
                            "Protocol", [](const P& p) { return p.GetProtocol(); },
                            [](P& p, std::string name) { p.SetProtocol(name); }),
                        FieldProp("UseProtocol", &P::UseProtocol), FieldProp("ProtocoledLine", &P::ProtocoledLine)});
  return &info;
}

TClass TDeleteZeroAbscInFirstLine::StaticClass() {
  using J = TDeleteZeroAbscInFirstLine;
  static const TClassInfo info = DescribeClass<J>("TDeleteZeroAbscInFirstLine", TProtocolTool::StaticClass(),
                                                  "T_LinJoi", {FieldProp("SnapDistance", &J::SnapDistance)});
  return &info;
}

TClass TPoinPointJoiner::StaticClass() {
  using J = TPoinPointJoiner;
  static const TClassInfo info = DescribeClass<J>(
      "TPoinPointJoiner", TProtocolTool::StaticClass(), "T_LinJoi",
      {FieldProp("SnapDistance", &J::SnapDistance), FieldProp("OnlyEnds", &J::OnlyEnds), FieldProp("SelfTest", &J::SelfTest)});
  return &info;
}

TClass TNewPointOldAbscJoiner::StaticClass() {
  using J = TNewPointOldAbscJoiner;
  static const TClassInfo info = DescribeClass<J>(
      "TNewPointOldAbscJoiner", TProtocolTool::StaticClass(), "T_LinJoi",
      {FieldProp("SnapDistance", &J::SnapDistance), FieldProp("DivideOldLine", &J::DivideOldLine),
       FieldProp("OnlyEnds", &J::OnlyEnds), FieldProp("SelfTest", &J::SelfTest)});
  return &info;
}

TClass TAbscPoint::StaticClass() {
  static const TClassInfo info = DescribeClass<TAbscPoint>("TAbscPoint", TElement::StaticClass(), "T_LinJoi", {});
  return &info;
}

TClass TPointsLine::StaticClass() {
  static const TClassInfo info = DescribeClass<TPointsLine>("TPointsLine", TEntity::StaticClass(), "T_LinJoi", {});
  return &info;
}

TClass TNewAbscOldPointJoiner::StaticClass() {
  using J = TNewAbscOldPointJoiner;
  static const TClassInfo info =
      DescribeClass<J>("TNewAbscOldPointJoiner", TProtocolTool::StaticClass(), "T_LinJoi",
                       {FieldProp("SnapDistance", &J::SnapDistance), FieldProp("SelfTest", &J::SelfTest)});
  return &info;
}

TClass TAbscAbscJoiner::StaticClass() {
  static const TClassInfo info = DescribeClass<TAbscAbscJoiner>("TAbscAbscJoiner", TProtocolTool::StaticClass(),
                                                                "T_LinJoi", {FieldProp("SelfTest", &TAbscAbscJoiner::SelfTest)});
  return &info;
}

TClass TDivideAbscs::StaticClass() {
  using J = TDivideAbscs;
  static const TClassInfo info = DescribeClass<J>(
      "TDivideAbscs", TProtocolTool::StaticClass(), "T_LinJoi",
      {FieldProp("MaxOutputAbscLength", &J::MaxOutputAbscLength), FieldProp("RoundKoef", &J::RoundKoef),
       FieldProp("DivideLines", &J::DivideLines)});
  return &info;
}
