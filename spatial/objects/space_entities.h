#pragma once
// The vector objects of the map: points, texts, polylines and areas (with
// holes, or bounded by a chain of polylines), the typed lists that group
// them, and the line-end index that files polylines by their end points.
// A polyline's vertices are its children, each a T2DCoordinate; lines may
// share vertex objects, which the element core keeps alive while any line
// still holds them.
#include <cstddef>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/line_end_plan.h"

class TKestuMessage;

// Asks the receiver to add the message's Data as a child.
inline constexpr int msgAddElement = 59;

class TSpaceEntity : public TRectEntity {
  KESTX_CLASS(TSpaceEntity)
 public:
  ~TSpaceEntity() override;

  // Radians: the direction of a text, or of a line at its middle.
  double Angle = 0;

  // The property object: number, group and further named values.  The
  // entity is one of its holders: it dies with its last holder.
  TElement* Properties() const { return properties_; }
  // Lets the previous object go and holds props; raises ECircularOwnership
  // for the entity itself or one of its ancestors.
  void SetProperties(TElement* props);

  virtual int GetSpaceID() const;
  virtual void SetSpaceID(int value);
  virtual int GetGroup() const;
  virtual bool HitTest(const TCoordinate* Point, double Tolerance) const;

  // A working mark of the walkers, kept in ID.
  bool GetIsDone() const { return ID != -1; }
  void SetIsDone(bool value) { ID = value ? 0 : -1; }
  bool NoChildHasOwner(const TElement* Owner) const;

  void Assign(const TElement* Source) override;
  // The entity itself: no envelope copy.
  TElement* CreateEnvelope() const override;
  bool HasProperty(const std::string& name) const override;
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 protected:
  void FieldElementFreed(TElement* element) override;

 private:
  TElement* properties_ = nullptr;
};

// A list of space entities; names it does not publish become dynamic
// properties.
class TSpaceEntityString : public TSpaceEntity {
  KESTX_CLASS(TSpaceEntityString)
 public:
  void SetPropertyText(const std::string& name, const std::string& text) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
};

class TPointString : public TSpaceEntityString {
  KESTX_CLASS(TPointString)
};

class TTextString : public TSpaceEntityString {
  KESTX_CLASS(TTextString)
};

class TPolyLineString : public TSpaceEntityString {
  KESTX_CLASS(TPolyLineString)
};

class TAreaString : public TSpaceEntityString {
  KESTX_CLASS(TAreaString)
};

// A point: its position is the reference point.
class TPointElement : public TSpaceEntity {
  KESTX_CLASS(TPointElement)
};

class TTextElement : public TSpaceEntity {
  KESTX_CLASS(TTextElement)
 public:
  std::string Text;
};

// Vertices in drawing order; indexes from 0.  Indexes out of range (negative
// ones included) read as nil, 0 or (0, 0), and writes to them do nothing.
class TPolyElement : public TSpaceEntity {
  KESTX_CLASS(TPolyElement)
 public:
  virtual int GetCoordsCount() const;
  virtual T2DCoordinate* GetCoord(int Index) const;
  // Signed shoelace sum of the closed ring: positive when clockwise.
  virtual double GetCalculatedArea() const;
  // Appends Line's children, from the last when not Forward; the vertex
  // objects are shared, not copied.
  virtual void AddLine(TPolyElement* Line, bool Forward);

  double GetCoordX(int Index) const;
  double GetCoordY(int Index) const;
  void SetCoordX(int Index, double X);
  void SetCoordY(int Index, double Y);
  // Counted from the last vertex when not FromBegin.
  T2DCoordinate* VertexAt(int Index, bool FromBegin) const {
    const int count = VertexCount();
    if (Index < 0 || Index >= count) return nullptr;
    return Vertex(FromBegin ? Index : count - 1 - Index);
  }
  void GetVertexXY(int Index, bool FromBegin, double& X, double& Y) const {
    const T2DCoordinate* vertex = VertexAt(Index, FromBegin);
    X = vertex ? vertex->GetX() : 0;
    Y = vertex ? vertex->GetY() : 0;
  }
  T2DCoordinate* AddVertex(double X, double Y);
  // Takes over Line's vertices From to To that Line alone holds, in order
  // onto the end of these: their places in Line are left nil, so that its
  // other vertices keep their indexes.  Stops before the first it cannot
  // take (no vertex there, or one another holder shares) and answers its
  // index, To + 1 once all are taken.
  int TakeVertices(TPolyElement& Line, int From, int To);
  T2DCoordinate* InsertVertex(int Index, double X, double Y);
  void CalcBounds();
  // GetCoordsCount and GetCoord without a virtual call where the vertices
  // are the children.  Every pass over lines reads its vertices through
  // these, so they are inline.
  int VertexCount() const {
    return verticesAreChildren_ ? static_cast<int>(Children().size()) : GetCoordsCount();
  }
  T2DCoordinate* Vertex(int Index) const { return verticesAreChildren_ ? ChildVertex(Index) : GetCoord(Index); }

  // Along the vertex chain; no closing segment.
  double Length() const;
  // The ring's sum walked from either end.
  double GetCalculatedAreaFrom(bool FromBegin) const;
  // The open chain's share of a ring's sum: topology adds those of
  // consecutive lines.
  double AreaTerm(bool FromBegin) const;
  // Angle is the segment's direction + pi/2; 0 past the end.
  void PointAtDistance(double& X, double& Y, double Dist, double& angle) const;
  void GetMiddlePoint(double& X, double& Y, double& angle) const;
  void PlaceRefAtMiddle();
  // The same for a caller that has just measured the line: length is its
  // Length().
  void PlaceRefAtMiddle(double length);

 protected:
  // Cleared by a class whose vertices are not its children (they come from
  // its GetCoord).
  bool verticesAreChildren_ = true;

 private:
  T2DCoordinate* ChildVertex(int Index) const {
    const auto& children = Children();
    if (Index < 0 || static_cast<std::size_t>(Index) >= children.size()) return nullptr;
    return DynamicCast<T2DCoordinate>(children[static_cast<std::size_t>(Index)]);
  }
  // The shoelace sum over the vertices walked from either end.
  double SumFrom(bool FromBegin, bool Closed) const;
};

class TPolyLineElement : public TPolyElement {
  KESTX_CLASS(TPolyLineElement)
 public:
  bool HitTest(const TCoordinate* Point, double Tolerance) const override;
};

class THolesEntity;

class TAreaElement : public TPolyElement {
  KESTX_CLASS(TAreaElement)
 public:
  TAreaElement();
  ~TAreaElement() override;

  // Set on an area when it is added as a hole.
  bool IsHole = false;

  double SavedArea() const { return savedArea_; }
  // Created on the first hole; held as Properties is.
  THolesEntity* Holes() const;
  // Lets the previous holes go and holds holes, which then name this area.
  void SetHoles(THolesEntity* holes);
  void AddHole(TAreaElement* Area);
  // AddHole for each, in order.  An area without holes fills its holes
  // container before it takes it: the check that no hole holds the area
  // then walks up from the area once for them all, not once for each.
  void AddHoles(const std::vector<TAreaElement*>& Areas);
  TAreaElement* HoleOwnerArea() const;

  // The outline's signed sum, recomputed on every call and kept in SavedArea.
  double WholeArea() const;
  // For a builder that took the outline's sum itself, term for term as
  // WholeArea takes it.
  void KeepWholeArea(double Sum) { savedArea_ = Sum; }
  // The outline less its holes, with the outline's sign.
  double GetCalculatedArea() const override;
  bool HitTest(const TCoordinate* Point, double Tolerance) const override;
  // The ring OutlineContainsPoint tests: the vertex children in order.
  virtual std::vector<TRealPoint> OutlineRing() const;
  bool OutlineContainsPoint(double X, double Y) const;
  TAreaElement* FindHoleAt(double X, double Y) const;
  bool ContainsPointOutsideHoles(double X, double Y) const;
  // For each point, what ContainsPointOutsideHoles answers for it alone;
  // all points in one sweep over the outline and one over the holes.
  std::vector<std::uint8_t> PointsOutsideHoles(const std::vector<TRealPoint>& Points) const;

 protected:
  void FieldElementFreed(TElement* element) override;

 private:
  mutable double savedArea_ = 0;
  TElement* holes_ = nullptr;  // always a THolesEntity
};

class THolesEntity : public TRectEntity {
  KESTX_CLASS(THolesEntity)
 public:
  // The area whose holes these are; nil once it is gone.
  TAreaElement* OwnerArea() const;
  void SetOwnerArea(TAreaElement* area) { ownerArea_.Set(area); }

 private:
  TElementLink ownerArea_;
};

// An area bounded by a chain of owned polylines.  Each line has an origin
// bit: set, the line is walked from its first vertex to its last; clear,
// the other way round.  Bit i belongs to the child at index i.
class TPolyLineAreaElement : public TAreaElement {
  KESTX_CLASS(TPolyLineAreaElement)
 public:
  TPolyLineAreaElement() { verticesAreChildren_ = false; }
  void AddLine(TPolyElement* Line, bool Forward) override;
  void InsertLine(int Index, TPolyElement* Line, bool Origin);
  void RemoveElement(TElement* element) override;
  // The origins of the lines kept move with them.
  std::vector<TElement*> RemoveElementsIf(const std::function<bool(TElement*)>& Drop) override;
  bool GetLineOrigin(int Index) const;
  void SetLineOrigin(int Index, bool Value);
  bool HasLine(const TElement* Line, bool Origin) const;

  // Each line contributes its vertices but the one shared with the next.
  int GetCoordsCount() const override;
  T2DCoordinate* GetCoord(int Index) const override;

  // Where a walk along the lines stands: the child index of a line and the
  // vertices the lines before it contribute.
  struct TLinePlace {
    std::size_t Line = 0;
    int Before = 0;
    // The line at Line as the last read found it, with its share and
    // direction, so that reading on along it needs no new look at it.
    const TPolyLineElement* Current = nullptr;
    int Share = 0;
    bool Forward = false;
  };
  // GetCoord(Index), walking on from Place, which moves to the line holding
  // the vertex.  Place must have been left by a read of an index no higher
  // than Index (or be the start): a walk never goes back.
  T2DCoordinate* CoordFrom(TLinePlace& Place, int Index) const;
  // A plain area with copies of the boundary vertices; the caller owns it.
  TAreaElement* CreateArea() const;
  TAreaElement* CreateAreaWithHoles() const;
  // The vertices a created area would hold.
  std::vector<TRealPoint> OutlineRing() const override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

  std::string GetLinesOriginesHex() const;
  // A pair that is no hexadecimal byte leaves the bits as they were.
  void SetLinesOriginesHex(const std::string& text);

 private:
  // Bit i of the whole string is bit i mod 8 of byte i div 8.
  std::string origins_;
};

// Reads a polygon's vertices as its GetCoord numbers them.  An area of lines
// finds a vertex by walking its lines from the first; the cursor keeps the
// line of its last read, so reading a whole outline in rising order costs one
// pass over it, and only a lower index starts the walk again.  The caller
// holds the cursor and the polygon keeps no reading state, so threads may
// read one polygon at once; like an index, a cursor lives no longer than the
// polygon's lines stay as they are.
class TCoordCursor {
 public:
  explicit TCoordCursor(const TPolyElement& Poly);
  // The same vertex as Poly.GetCoord(Index), nil included.
  T2DCoordinate* At(int Index) { return lines_ ? AlongLines(Index) : poly_.Vertex(Index); }

 private:
  T2DCoordinate* AlongLines(int Index);

  const TPolyElement& poly_;
  const TPolyLineAreaElement* lines_;  // nil: the polygon's own vertices
  TPolyLineAreaElement::TLinePlace place_;
  int last_ = 0;
};

// A cell of a point quadtree: a leaf until it splits into four quarters
// about (SplitX, SplitY); it never merges back.
class TSpaceRect : public TRectEntity {
  KESTX_CLASS(TSpaceRect)
 public:
  enum Quarter { UpperLeft, LowerLeft, UpperRight, LowerRight };

  double SplitX = 0;
  double SplitY = 0;

  bool Last() const { return last_; }
  // Nil once the quarter has been freed.
  TSpaceRect* Cell(Quarter quarter) const;
  // The quarter holding the point: left when X < SplitX, upper when
  // Y >= SplitY.
  TSpaceRect* CellFor(double X, double Y) const;
  virtual int GetEndsCount() const = 0;

 protected:
  // Four cells of this cell's own class over the quarters of its bounds;
  // the cell stops being a leaf.
  void SplitIntoQuarters();
  static Quarter QuarterOfSlot(TLineEndPlan::Slot slot);

 private:
  bool last_ = true;
  // Children, so a script may free them: links read nil then.
  TElementLink cells_[4];
};

// Files polylines by their first vertex (the BEGINS list of the leaf holding
// it) or their last (the ENDS list).  The root's bounds are set before the
// first line; ends outside them go to the nearest quarters.
class TSpaceLineBegEndCell : public TSpaceRect {
  KESTX_CLASS(TSpaceLineBegEndCell)
 public:
  // Line ends a leaf holds before it splits.
  static constexpr int Capacity = 64;
  // A leaf this small no longer splits but grows: ends closer than this
  // meet in one node anyway, and any number of ends may share one point.
  static constexpr double MinCellSize = 1e-4;

  TPolyLineString* Begins() const;
  TPolyLineString* Ends() const;
  void AddLineEnd(TPolyElement* Line, bool AtBegin);
  // Files the ends as AddLineEnd would one after another.  Into a leaf
  // without lists each end is filed once: cells, lists, each list's order
  // and each line's order of holders come out as one at a time leaves them.
  void AddLineEnds(const std::vector<TLineEndToFile>& Batch);
  // The end's point; false, with the error shown, when the line has none.
  static bool ReadLineEnd(TPolyElement* Line, bool AtBegin, TLineEndToFile& End);
  // Line ends of a leaf, or of all leaves below an inner cell.
  int GetEndsCount() const override;

 private:
  void FileEnd(TPolyElement* Line, bool AtBegin, double X, double Y);
  void Split();
  TPolyLineString* ListOf(bool AtBegin);

  TElementLink begins_;
  TElementLink ends_;
};

void RegisterE_SpaceClasses();
