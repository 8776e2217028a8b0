#pragma once
// Line joining: the lines of a container are compared one by one with the
// lines already accepted (kept in a line quadtree); ends are snapped to
// nearby vertices, vertices onto nearby segments, segments split at nearby
// vertices and at crossings, and both the new line and the old lines it
// touched are written again as new line objects cut at the new junctions.
#include <utility>
#include <vector>

#include "block/topology/joiners.h"
#include "spatial/geometry/geometry_types.h"

class TCutLines;
class TObjectRegister;
class TQTreeLumLin;
class TQTreeLumLinAbsc;

// One record per segment of the input line, in a new working list (Output,
// the caller's).
class TCreateLinesAbscEntity : public TTool {
  KESTX_CLASS(TCreateLinesAbscEntity)
 public:
  void DoIt() override;
};

// The records of the input list's new line in a new segment quadtree
// squared on the box of their vertices (Output, the caller's).  The
// comparison itself finds the new line's segments through a packed index.
class TCreateLinQTreeAbsc : public TTool {
  KESTX_CLASS(TCreateLinQTreeAbsc)
 public:
  void DoIt() override;
};

// Adds to the working list the segments of the accepted lines (the input
// line quadtree) that come within the tolerance of the new line's segments,
// which it reads from the working list's first group.
class TAddLinesIntoLinesAbscEntity : public TTool {
  KESTX_CLASS(TAddLinesIntoLinesAbscEntity)
 public:
  double Tolerance = 0;
  bool CompareOnlyDifferentSource = false;

  TLinesAbscEntity* GetLinesAbsc() const;
  void SetLinesAbsc(TLinesAbscEntity* List);
  // Kept for the caller; no step reads it: the new line's segments are
  // found through a packed index of their boxes, made from the working list.
  TQTreeLumLinAbsc* GetQTreeAbsc() const;
  void SetQTreeAbsc(TQTreeLumLinAbsc* Tree);
  // The object register the new line comes from.
  TObjectRegister* GetRefContainer() const;
  void SetRefContainer(TObjectRegister* Register);

  void DoIt() override;

 private:
  TElementLink linesAbsc_;
  TElementLink qTreeAbsc_;
  TElementLink refContainer_;

  // Segments of an old line asked about at once, at most.
  static constexpr int kSegmentsARun = 16;

  bool PassesSourceTest(const TPolyLineElement* Line) const;
  class TNewSegments;
  // The line's records near the new line (whose segments lie in Near), in
  // vertex order.
  void AddNearSegments(TPolyLineElement* Line, const TRealRect& Near, TNewSegments& Segments);

  // The vertices of the old line being read, and the runs of its segments
  // still to ask about, kept for room.
  std::vector<TRealPoint> vertices_;
  std::vector<std::pair<int, int>> runs_;
};

// Compares the input line with the accepted lines; Output is the working
// list (a child of the comparator).
class TLinComparator : public TProtocolTool {
  KESTX_CLASS(TLinComparator)
 public:
  double SnapDistance = 0;
  bool OnlyEnds = false;
  bool SelfTest = false;
  bool CompareOnlyDifferentSource = false;

  TQTreeLumLin* GetQTree() const;
  void SetQTree(TQTreeLumLin* Tree);
  TObjectRegister* GetRefContainer() const;
  void SetRefContainer(TObjectRegister* Register);

  void DoIt() override;

 private:
  TElementLink qTree_;
  TElementLink refContainer_;

  void Compare(TPolyLineElement* Line);
  template <class Joiner>
  void Run(Joiner& joiner, TLinesAbscEntity& list);
};

// Writes the lines of a working list again where their records say they
// are cut; accepted lines go into the line quadtree.
class TSaveChangedLines : public TProtocolTool {
  KESTX_CLASS(TSaveChangedLines)
 public:
  double MinLength = 0;
  // Handed on by the caller; written lines always get their reference point
  // at half their length.
  bool SetLinesLabelPoint = false;

  TQTreeLumLin* GetQTree() const;
  void SetQTree(TQTreeLumLin* Tree);
  // Kept for the caller; no step reads it: the written lines go to the
  // owners of the lines they replace and into QTree.
  TEntity* GetNewLines() const;
  void SetNewLines(TEntity* Lines);
  // The run's cut lines, which free the lines written again; without them
  // each such line is freed at once.
  void SetCutLines(TCutLines* Lines) { cutLines_ = Lines; }

  void DoIt() override;

 private:
  TElementLink qTree_;
  TElementLink newLines_;
  TCutLines* cutLines_ = nullptr;

  void FreeLine(TPolyLineElement* Line);

  // The vertex ranges of the pieces of the group from First to Last.
  struct TPiece {
    int From;
    int To;
  };
  std::vector<TPiece> PiecesOf(const TLinesAbscEntity& list, int First, int Last) const;
  // Replaces the line by its pieces: each goes to the line's owners and into
  // the quadtree; the line is freed.
  void WritePieces(TPolyLineElement* Line, const std::vector<TPiece>& Pieces);
  void SaveGroup(TLinesAbscEntity& list, int First, int Last, bool NewLine);
};

class TJoinLines : public TTool {
  KESTX_CLASS(TJoinLines)
 public:
  double SnapDistance = 0;
  double MinLength = 0;
  bool OnlyEnds = false;
  bool SelfTest = false;
  bool PrepocitavatPopBodyLinii = false;
  bool CompareOnlyDifferentSource = false;
  double MaxOutputAbscLength = 0;
  double RoundKoef = 0;
  bool DivideOutputLines = false;

  // Setting the protocol file empties it.
  std::string GetProtocol() const { return protocol_.GetProtocol(); }
  void SetProtocol(const std::string& FileName);
  bool GetUseProtocol() const { return protocol_.UseProtocol; }
  void SetUseProtocol(bool value) { protocol_.UseProtocol = value; }
  int GetProtocoledLine() const { return protocol_.ProtocoledLine; }
  void SetProtocoledLine(int value) { protocol_.ProtocoledLine = value; }

  // Input a container of lines, rewritten in place; Output the quadtree of
  // the accepted lines (the caller's).
  void DoIt() override;

 private:
  void ProcessLine(TPolyLineElement* Line, TQTreeLumLin* Tree, TCutLines& Cut);

  TProtocolTool protocol_;
};

void RegisterLineJoiningClasses();
