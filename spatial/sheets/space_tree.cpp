#include "spatial/sheets/space_tree.h"

#include "framework/core/class_registry.h"
#include "platform/streams.h"

namespace {

TRectEntity* RectAt(const TEntity& entity, int index) {
  const auto& children = entity.Children();
  if (index < 0 || index >= static_cast<int>(children.size())) return nullptr;
  return DynamicCast<TRectEntity>(children[static_cast<std::size_t>(index)]);
}

// The index of the first child whose MinY (or MinX) lies beyond the value:
// where a new child with its centre there goes; the end when none does.
template <class Coordinate>
int InsertionIndex(const TEntity& entity, double centre, Coordinate minOf) {
  const auto& children = entity.Children();
  for (std::size_t i = 0; i < children.size(); ++i)
    if (auto* rect = DynamicCast<TRectEntity>(children[i]); rect && minOf(*rect) > centre)
      return static_cast<int>(i);
  return static_cast<int>(children.size());
}

void InsertAt(TEntity& entity, int index, TElement* element) {
  if (index >= static_cast<int>(entity.Children().size())) entity.AddElement(element);
  else entity.InsertElement(index, element);
}

}  // namespace

// ---------------------------------------------------------------- TSpaces

void TSpaces::AddSpace(TRectEntity* Sheet) {
  BoundRect()->IncludeRect(Sheet->BoundRect());
  const double cy = Sheet->GetCenterY();
  InsertAt(*this, InsertionIndex(*this, cy, [](const TRectEntity& r) { return r.GetMinY(); }), Sheet);
}

TRectEntity* TSpaces::GetCell(int Index) const { return RectAt(*this, Index); }

// ---------------------------------------------------------------- TSpaceMatrix

TSpaces* TSpaceMatrix::StripAt(double X) const {
  for (TElement* child : Children())
    if (auto* strip = DynamicCast<TSpaces>(child); strip && strip->GetMinX() < X && X < strip->GetMaxX())
      return strip;
  return nullptr;
}

void TSpaceMatrix::AddSpace(TRectEntity* Sheet) {
  const double cx = Sheet->GetCenterX();
  TSpaces* strip = StripAt(cx);
  if (!strip) {
    strip = new TSpaces;
    strip->SetBoundRect(Sheet->BoundRect()->CreateCopy());
    InsertAt(*this, InsertionIndex(*this, cx, [](const TRectEntity& r) { return r.GetMinX(); }), strip);
  }
  strip->AddSpace(Sheet);
  BoundRect()->IncludeRect(strip->BoundRect());
}

void TSpaceMatrix::Compact() {
  for (int s = static_cast<int>(Children().size()) - 1; s >= 0; --s) {
    auto* strip = DynamicCast<TSpaces>(Children()[static_cast<std::size_t>(s)]);
    if (!strip) continue;
    for (int i = static_cast<int>(strip->Children().size()) - 1; i >= 0; --i) {
      TElement* sheet = strip->Children()[static_cast<std::size_t>(i)];
      auto* tree = DynamicCast<TSpaceTree>(sheet);
      if (!tree || tree->MatrixIsEmpty()) strip->FreeElement(sheet);
    }
    if (strip->RowIsEmpty()) FreeElement(strip);
  }
}

// ---------------------------------------------------------------- TSpaceTree

TSpaceMatrix* TSpaceTree::Matrix() {
  if (!matrix_.Get()) {
    auto* matrix = new TSpaceMatrix;
    matrix_.Set(matrix);
    TRectEntity::AddElement(matrix);
  }
  return static_cast<TSpaceMatrix*>(matrix_.Get());
}

void TSpaceTree::SetMatrix(TSpaceMatrix* M) { ReplaceLinkedChild(matrix_, M); }

void TSpaceTree::AddElement(TElement* element) { AddLinkedChild(matrix_, element); }

void TSpaceTree::AddSpace(TRectEntity* Sheet) {
  TSpaceMatrix* matrix = Matrix();
  matrix->AddSpace(Sheet);
  BoundRect()->IncludeRect(matrix->BoundRect());
}

void TSpaceTree::Compact() {
  if (!MatrixIsEmpty()) Matrix()->Compact();
}

TRectEntity* TSpaceTree::FindSheetAt(double X, double Y) const {
  auto* matrix = static_cast<TSpaceMatrix*>(matrix_.Get());
  TSpaces* strip = matrix ? matrix->StripAt(X) : nullptr;
  if (!strip) return nullptr;
  for (TElement* child : strip->Children())
    if (auto* sheet = DynamicCast<TRectEntity>(child); sheet && sheet->GetMinY() < Y && Y < sheet->GetMaxY())
      return sheet;
  return nullptr;
}

TRectEntity* TSpaceTree::FindAtLevel(int Levels, double X, double Y) const {
  if (!ContainsPoint(X, Y)) return nullptr;
  const TSpaceTree* tree = this;
  TRectEntity* found = nullptr;
  for (int level = 0; level < Levels; ++level) {
    found = tree ? tree->FindSheetAt(X, Y) : nullptr;
    if (!found) return nullptr;
    tree = DynamicCast<TSpaceTree>(found);
  }
  return found;
}

int TSpaceTree::GetRowCount() const {
  const TElement* matrix = matrix_.Get();
  return matrix ? static_cast<int>(static_cast<const TEntity*>(matrix)->Children().size()) : 0;
}

TSpaces* TSpaceTree::GetRow(int Index) const {
  auto* matrix = static_cast<TSpaceMatrix*>(matrix_.Get());
  return matrix ? DynamicCast<TSpaces>(RectAt(*matrix, Index)) : nullptr;
}

bool TSpaceTree::MatrixIsEmpty() const { return GetRowCount() == 0; }

void TSpaceTree::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TRectEntity::ReadData(reader, elementMap);
  const std::int32_t number = reader.ReadInteger();
  if (number < 0) {
    SetMatrix(nullptr);
    return;
  }
  const auto& map = elementMap.Children();
  auto* matrix = static_cast<std::size_t>(number) < map.size()
                     ? DynamicCast<TSpaceMatrix>(map[static_cast<std::size_t>(number)])
                     : nullptr;
  if (!matrix) throw platform::EReadError("Invalid element number " + std::to_string(number));
  SetMatrix(matrix);
}

void TSpaceTree::WriteData(platform::TWriter& writer) const {
  TRectEntity::WriteData(writer);
  const TElement* matrix = matrix_.Get();
  writer.WriteInteger(matrix ? matrix->ID : -1);
}

// ---------------------------------------------------------------- descriptions

TClass TSpaces::StaticClass() {
  static const TClassInfo info = DescribeClass<TSpaces>("TSpaces", TRectEntity::StaticClass(), "E_sptree", {});
  return &info;
}

TClass TSpaceMatrix::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSpaceMatrix>("TSpaceMatrix", TRectEntity::StaticClass(), "E_sptree", {});
  return &info;
}

TClass TSpaceTree::StaticClass() {
  using T = TSpaceTree;
  static const TClassInfo info = DescribeClass<T>(
      "TSpaceTree", TRectEntity::StaticClass(), "E_sptree",
      {StoredWhen(AccessorProp<T, TSpaceMatrix*>(
                      "Matrix", [](const T& t) { return const_cast<T&>(t).Matrix(); },
                      [](T& t, TSpaceMatrix* m) { t.SetMatrix(m); }),
                  [](const TObject& o) { return static_cast<const T&>(o).HasMatrix(); })});
  return &info;
}

void RegisterE_sptreeClasses() {
  RegisterKestuClass(TSpaceTree::StaticClass());
  RegisterKestuClass(TSpaceMatrix::StaticClass());
  RegisterKestuClass(TSpaces::StaticClass());
}
