#pragma once
// The steps of line joining, each on the working list of one comparison:
// the segments of the new line (group 0, in vertex order) followed by the
// segments of every old line met near it, each line's group contiguous and
// in vertex order.  Ends are snapped to vertices, vertices onto segments,
// segments split at vertices and crossings; the flags of the records say
// where the lines are to be cut when they are written again.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/tools/tools.h"

class TLumLinAbscissa;
class TPolyLineElement;

// The working list of one comparison.
class TLinesAbscEntity : public TEntity {
  KESTX_CLASS(TLinesAbscEntity)
 public:
  int GetChildCount() const;
  TLumLinAbscissa* Segment(int I) const;
  TPolyLineElement* LineOf(int I) const;
  // The last record of the group that starts at (or contains) I; found in
  // logarithmic time, as every line's records lie together.
  int GroupEnd(int I) const;
  // Inserts a record at I (owned from then on); the records after it of
  // the same line move one vertex on.
  void InsertSegment(int I, TLumLinAbscissa* Segment);
  // Removes the record at I and its begin vertex from the line; the
  // records after it of the same line move one vertex back.
  void DeleteSegment(int I);
  // Appends a record of a line (owned from then on).
  void AddSegment(TLumLinAbscissa* Segment);
  bool ContainsLine(const TPolyLineElement* Line) const;
  // Whether any record is new, deleted or a new line end.
  bool AnyChange() const;

 private:
  // Shifts the Index of the records of I's line after I.
  void Renumber(int I, int Delta);

  std::unordered_set<const TPolyLineElement*> lines_;
};

// Where the protocol of one run goes; shared by the tools of the run, so
// that a file that cannot be written is reported once and then left alone.
struct TProtocolTarget {
  std::string FileName;
  bool Failed = false;
};

// A tool that may write a text protocol of its steps for one line or all.
class TProtocolTool : public TTool {
  KESTX_CLASS(TProtocolTool)
 public:
  bool UseProtocol = false;
  // -1: every line; else the one line number protocolled.
  std::int32_t ProtocoledLine = 0;

  const std::string& GetProtocol() const;
  void SetProtocol(const std::string& FileName);
  // Takes the protocol settings (and the run's target) of another tool.
  void ShareProtocol(const TProtocolTool& other);

  bool ShouldProtocol(int LineNo) const;
  // One line; when the file can be neither opened nor created the box
  // "Protocol <text> open error" is shown once and the run writes no more.
  void AppendLine(const std::string& Text);
  // The segment line: block, line number, index, ends, flags, text, name.
  void AppendSegment(const TLumLinAbscissa& Segment, const std::string& Text);
  void AppendPoint(double X, double Y, const std::string& Text);
  // The header line of a line: block name ":" number.
  void AppendLineHeader(const TPolyLineElement& Line);

 protected:
  // The working list of the input; nil when the input is none.
  TLinesAbscEntity* WorkList() const;
  // Whether the new line (group 0) is protocolled.
  bool ProtocolsNewLine() const;

 private:
  std::shared_ptr<TProtocolTarget> target_ = std::make_shared<TProtocolTarget>();
};

// Drops the segments of the new line no longer than the snap distance
// (exactly zero ones always): the line loses their begin vertices.
class TDeleteZeroAbscInFirstLine : public TProtocolTool {
  KESTX_CLASS(TDeleteZeroAbscInFirstLine)
 public:
  double SnapDistance = 0;
  void DoIt() override;
};

// Snaps vertices of the new line to the nearest vertex within the snap
// distance, first of the line itself (SelfTest), then of the old lines.
class TPoinPointJoiner : public TProtocolTool {
  KESTX_CLASS(TPoinPointJoiner)
 public:
  double SnapDistance = 0;
  bool OnlyEnds = false;
  bool SelfTest = false;
  void DoIt() override;

 protected:
  // The nearest vertices found so far for the ends of a segment.
  struct TNearest {
    static constexpr double None = 1e30;
    double Begin = None, End = None;
    double BX = 0, BY = 0, EX = 0, EY = 0;
  };
  // Tries the vertices of Other for the ends of Segment; nothing when their
  // boxes are farther apart than the snap distance.
  void TryVertices(const TLumLinAbscissa& Segment, const TLumLinAbscissa& Other, TNearest& Best) const;
  // Snaps the ends of Segment to the vertices found; one of another line
  // fixes the end.
  void SnapToNearest(TLumLinAbscissa& Segment, const TNearest& Best, bool OwnLine);
};

// Snaps vertices of the new line onto segments within the snap distance,
// splitting those segments there (DivideOldLine).
class TNewPointOldAbscJoiner : public TProtocolTool {
  KESTX_CLASS(TNewPointOldAbscJoiner)
 public:
  double SnapDistance = 0;
  bool DivideOldLine = false;
  bool OnlyEnds = false;
  bool SelfTest = false;
  void DoIt() override;

 protected:
  // Snaps one end of S onto T, splitting T there when DivideOldLine; true
  // when it moved.
  bool SnapOnto(TLinesAbscEntity& list, int S, int T, bool AtBegin);
};

// A vertex of an old line lying on a segment of the new line: the vertex,
// its foot on the segment and the record's line.
class TAbscPoint : public TElement {
  KESTX_CLASS(TAbscPoint)
 public:
  double X = 0;
  double Y = 0;
  double FootX = 0;
  double FootY = 0;
  // From the segment's begin: the order of the splits.
  double Distance = 0;
  TPolyLineElement* GetLine() const;
  void SetLine(TPolyLineElement* Line);

 private:
  TElementLink line_;
};

// Point records ordered by their distance from the segment's begin.
class TPointsLine : public TEntity {
  KESTX_CLASS(TPointsLine)
 public:
  // Before the first record that lies farther (owned from then on).
  void AddPoint(TAbscPoint* Point);
  TAbscPoint* Point(int I) const;
};

// Splits the segments of the new line at old vertices lying on them.
class TNewAbscOldPointJoiner : public TProtocolTool {
  KESTX_CLASS(TNewAbscOldPointJoiner)
 public:
  double SnapDistance = 0;
  bool SelfTest = false;
  void DoIt() override;
  // Collects the vertices of the records at Candidates (rising) that lie on
  // the record at S and splits it there; the number of records it was split
  // into less one.
  int ProcessAbsc(TLinesAbscEntity& list, int S, const std::vector<int>& Candidates);
};

// Marks shared ends as junctions, drops duplicated segments and splits
// crossing segments.
class TAbscAbscJoiner : public TProtocolTool {
  KESTX_CLASS(TAbscAbscJoiner)
 public:
  bool SelfTest = false;
  // Compares each segment of the new line only with the records whose boxes
  // meet its own, found through an index of boxes, in list order: the same
  // comparisons in the same order as trying every later record.
  void DoIt() override;

 protected:
  struct TComparison {
    bool Kept = true;           // false once S is dropped as a duplicate
    bool SegmentSplit = false;  // a piece of S went in at S + 1
    bool OtherSplit = false;    // a piece of T went in right after T
  };
  // Compares S with T; nothing happens when their boxes do not meet.
  TComparison Compare(TLinesAbscEntity& list, int S, int T);
  // Drops the pieces of splits that met no junction.
  static void UndoLoneSplits(TLinesAbscEntity& list);
};

// Cuts segments longer than MaxOutputAbscLength.
class TDivideAbscs : public TProtocolTool {
  KESTX_CLASS(TDivideAbscs)
 public:
  // Most pieces one segment is cut into beyond its share by length: the
  // rounding grid could otherwise keep a cut from ever shortening it.
  static constexpr int MaxExtraPieces = 2;

  double MaxOutputAbscLength = 0;
  // Cut points are rounded to multiples of it; 0 does not round.
  double RoundKoef = 0;
  bool DivideLines = false;
  void DoIt() override;

 private:
  // The point a 1/Pieces of the way along the segment, strictly inside it;
  // false when there is none.
  bool CutPoint(const TLumLinAbscissa& Segment, int Pieces, double& X, double& Y) const;
};
