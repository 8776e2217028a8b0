#pragma once
// Space trees: sub-sheets filed in a matrix of strips ordered by X, each
// strip holding its sheets ordered by Y, so that a point finds its sheet in
// two linear scans.
#include "spatial/geometry/geometry_elements.h"

class TSpaces;
class TSpaceMatrix;

// A strip: sheets in ascending order of Y; its bounds cover them.
class TSpaces : public TRectEntity {
  KESTX_CLASS(TSpaces)
 public:
  virtual void AddSpace(TRectEntity* Sheet);
  TRectEntity* GetCell(int Index) const;
  bool RowIsEmpty() const { return Children().empty(); }
};

// Strips in ascending order of X.
class TSpaceMatrix : public TRectEntity {
  KESTX_CLASS(TSpaceMatrix)
 public:
  virtual void AddSpace(TRectEntity* Sheet);
  // Frees the sheets that have no sub-sheets, then the strips left empty.
  void Compact();
  // The first strip with MinX < X < MaxX.
  TSpaces* StripAt(double X) const;
};

class TSpaceTree : public TRectEntity {
  KESTX_CLASS(TSpaceTree)
 public:
  // Created and made a child on first use.
  TSpaceMatrix* Matrix();
  bool HasMatrix() const { return matrix_.Get() != nullptr; }
  // The old matrix is freed; M becomes the matrix and a child.
  void SetMatrix(TSpaceMatrix* M);

  virtual void AddSpace(TRectEntity* Sheet);
  virtual void Compact();

  // Strict tests: a point on an edge belongs to no sheet.
  TRectEntity* FindSheetAt(double X, double Y) const;
  // Levels steps of FindSheetAt, each on the sheet found; nil unless the
  // tree's own bounds hold the point.
  TRectEntity* FindAtLevel(int Levels, double X, double Y) const;

  int GetRowCount() const;
  TSpaces* GetRow(int Index) const;
  bool MatrixIsEmpty() const;

  // The stream lists the matrix among the children after setting it: it
  // stays one child, in the place the list gives it.
  void AddElement(TElement* element) override;

  // The matrix by its element number (-1 for none).
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  TElementLink matrix_;
};

void RegisterE_sptreeClasses();
