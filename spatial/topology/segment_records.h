#pragma once
// Single segments of topological lines, for line joining and snapping.  A
// segment record names a line and the index of its first vertex and reads
// and writes the line's vertices in place: moving a segment end moves the
// vertex, which the neighbouring segment shares.
#include <cstdint>

#include "spatial/index/quadtree.h"

class TPolyLineElement;

class TLumLinAbscissa : public TOwnerElement {
  KESTX_CLASS(TLumLinAbscissa)
 public:
  // The segment runs from vertex Index to vertex Index + 1.
  std::int32_t Index = 0;
  bool IsNewEnd = false;
  // Made by SplitAt.
  bool IsNew = false;
  bool IsDeleted = false;
  // Snapped onto another segment: the end no longer moves.
  bool FixedBegin = false;
  bool FixedEnd = false;

  // Referred to, not owned.
  TPolyLineElement* GetLine() const;
  void SetLine(TPolyLineElement* Line);

  // Vertices out of range read as (0, 0), and writes to them do nothing.
  double GetX1() const;
  double GetY1() const;
  double GetX2() const;
  double GetY2() const;
  void SetX1(double value);
  void SetY1(double value);
  void SetX2(double value);
  void SetY2(double value);
  double GetXmin() const;
  double GetYmin() const;
  double GetXmax() const;
  double GetYmax() const;
  double GetLength() const;
  bool GetIsFirst() const;
  bool GetIsLast() const;
  bool GetIsMargin() const;
  // The line's number ("Cislo"); -1 without a line.
  int GetLineNo() const;

  // Both ends with one look-up of the line.
  void GetEnds(double& X1, double& Y1, double& X2, double& Y2) const;

  bool SnapEnd(bool AtBegin, double X, double Y, double Tol);
  bool EndMeetsEndOf(bool AtBegin, const TLumLinAbscissa* Other, bool OtherAtBegin, double Tol, double& Dist,
                     double& X, double& Y) const;
  bool SnapEndToSegment(bool AtBegin, const TLumLinAbscissa* Other, double Tol, double& X, double& Y);
  void CrossingWith(const TLumLinAbscissa* Other, bool AtBegin, double Tol, bool& Found, bool& NearEnd, double& PX,
                    double& PY, double& FX, double& FY) const;
  // Inserts (X, Y) as vertex Index + 1: this segment ends there and the new
  // one, which the caller owns, runs on to the old end.  Records of the same
  // line with greater indexes are the caller's to renumber.
  void SplitAt(TLumLinAbscissa*& NewSegment, double X, double Y);
  bool BoundsMeetRect(double MinX, double MinY, double MaxX, double MaxY, double Tol) const;
  void SharedEnds(const TLumLinAbscissa* Other, bool& BeginBegin, bool& EndEnd, bool& BeginEnd,
                  bool& EndBegin) const;

 private:
  // Moves the begin or the end to (X, Y).
  void MoveEnd(bool AtBegin, double X, double Y);

  TElementLink line_;
};

// Whole lines, filed under their bounds.
class TQTreeLumLin : public TSpaceEntityQTree {
  KESTX_CLASS(TQTreeLumLin)
 public:
  int GetCapacity() const override { return 128; }
};

// Segments, filed under their boxes; every element is taken to be a segment
// record.
class TQTreeLumLinAbsc : public TQTree {
  KESTX_CLASS(TQTreeLumLinAbsc)
 public:
  int GetCapacity() const override { return 32; }
  void GetElementBounds(TElement* Element, double& MinX, double& MinY, double& MaxX, double& MaxY) const override;
  bool ElementMeetsRect(TElement* Element, double MinX, double MinY, double MaxX, double MaxY) const override;
};

void RegisterE_QTLinClasses();
