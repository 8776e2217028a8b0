#include "block/guide/guide_model.h"

#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/sheets/zm_sheets.h"

namespace {

constexpr const char* kUserMapSpacesName = "Uživatelské mapové prostory";
constexpr const char* kVectorsName = "Vektorová kresba průvodce";

// The strips of a sheet's matrix, last first; none without a matrix.
std::vector<TSpaces*> StripsLastFirst(TSpaceTree& tree) {
  std::vector<TSpaces*> strips;
  if (!tree.HasMatrix()) return strips;
  const auto& children = tree.Matrix()->Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (auto* strip = DynamicCast<TSpaces>(*it)) strips.push_back(strip);
  return strips;
}

std::vector<TElement*> SheetsLastFirst(TSpaces& strip) {
  return {strip.Children().rbegin(), strip.Children().rend()};
}

// Compacts every sub-sheet, then frees the sub-sheets left with nothing
// below them, and the strips left empty.  A sheet the user selected stays
// even when nothing below it does: it is exported on its own.
void CompactSheets(TSpaceTree& tree) {
  for (TSpaces* strip : StripsLastFirst(tree))
    for (TElement* sheet : SheetsLastFirst(*strip))
      if (auto* sub = DynamicCast<TSpaceTree>(sheet)) sub->Compact();
  for (TSpaces* strip : StripsLastFirst(tree)) {
    for (TElement* sheet : SheetsLastFirst(*strip)) {
      auto* sub = DynamicCast<TSpaceTree>(sheet);
      auto* space = DynamicCast<TMapSpace>(sheet);
      if ((!sub || sub->MatrixIsEmpty()) && !(space && space->Selected)) strip->FreeElement(sheet);
    }
    if (strip->RowIsEmpty()) tree.Matrix()->FreeElement(strip);
  }
}

}  // namespace

TSMO_2* TGuidePage_5::CreateSubSheet() { return new TGuidePage_2; }
void TGuidePage_5::Compact() { CompactSheets(*this); }

TSMO_5* TGuidePage_10::CreateSubSheet() { return new TGuidePage_5; }
void TGuidePage_10::Compact() { CompactSheets(*this); }

void TGuidePage_25::Compact() { CompactSheets(*this); }

TSMO_10* TGuidePage_50::CreateSheet10() { return new TGuidePage_10; }
TSMO_25* TGuidePage_50::CreateSheet25() { return new TGuidePage_25; }
void TGuidePage_50::Compact() { CompactSheets(*this); }

std::string TGuide::GetName() const { return "Průvodce "; }

TSMO_50* TGuide::CreateSheet() { return new TGuidePage_50; }

TMapsZM* TGuide::ZM() {
  if (!zm_.Get()) zm_.Set(GetOrCreateElement(TMapsZM::StaticClass(), TZMSpace::LocatorName));
  return DynamicCast<TMapsZM>(zm_.Get());
}

TZMSpace* TGuide::ZMSpace() {
  if (!zmSpace_.Get()) {
    auto* space = DynamicCast<TZMSpace>(FindElementByClass(TZMSpace::StaticClass()));
    if (!space) {
      space = new TZMSpace;
      TSMO::AddElement(space);
    }
    zmSpace_.Set(space);
  }
  return static_cast<TZMSpace*>(zmSpace_.Get());
}

void TGuide::EnsureParts() {
  if (!ExistingUserMapSpaces()) {
    auto* spaces = new TUserMapSpaces;
    spaces->SetName(kUserMapSpacesName);
    ReplaceLinkedChild(userMapSpaces_, spaces);
  }
  TZMSpace* space = ZMSpace();
  TMapsZM* zm = ZM();
  if (!ExistingVectors()) {
    auto* vectors = new TVectors;
    vectors->SetName(kVectorsName);
    ReplaceLinkedChild(vectors_, vectors);
  }
  // The ZM sheet, its locator and the vector drawing keep this order.
  const int vectorsAt = IndexOf(ExistingVectors());
  if (zm && IndexOf(zm) > vectorsAt) {
    RemoveElement(zm);
    InsertElement(vectorsAt, zm);
  }
  const int zmAt = IndexOf(zm);
  if (space && IndexOf(space) > zmAt) {
    RemoveElement(space);
    InsertElement(zmAt, space);
  }
}

TVectors* TGuide::Vectors() {
  EnsureParts();
  return ExistingVectors();
}

TUserMapSpaces* TGuide::UserMapSpaces() {
  EnsureParts();
  return ExistingUserMapSpaces();
}

void TGuide::SetVectors(TVectors* vectors) { ReplaceLinkedChild(vectors_, vectors); }

void TGuide::SetUserMapSpaces(TUserMapSpaces* spaces) { ReplaceLinkedChild(userMapSpaces_, spaces); }

void TGuide::AddElement(TElement* element) {
  if (element && element == vectors_.Get()) return AddLinkedChild(vectors_, element);
  if (element && element == userMapSpaces_.Get()) return AddLinkedChild(userMapSpaces_, element);
  if (element && element == replacedVectors_.Get()) return;
  TSMO::AddElement(element);
}

TElement* TGuide::ReferencedElement(platform::TReader& reader, TQuickEntity& elementMap) {
  const std::int32_t number = reader.ReadInteger();
  if (number < 0) return nullptr;
  const auto& map = elementMap.Children();
  if (static_cast<std::size_t>(number) >= map.size() || !map[static_cast<std::size_t>(number)])
    throw platform::EReadError("Invalid element number " + std::to_string(number));
  return map[static_cast<std::size_t>(number)];
}

void TGuide::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TSMO::ReadData(reader, elementMap);
  TElement* vectors = ReferencedElement(reader, elementMap);
  if (vectors && !DynamicCast<TVectors>(vectors)) {
    // Files of an older layout keep the drawing in another class: it moves
    // into a vector drawing of the same name.
    auto* moved = new TVectors;
    moved->SetName(vectors->GetName());
    if (auto* old = DynamicCast<TEntity>(vectors)) {
      for (int i = 0; i < old->GetCount(); ++i) moved->AddElement(old->GetElement(i));
    }
    replacedVectors_.Set(vectors);
    if (IndexOf(vectors) >= 0) FreeElement(vectors);
    vectors = moved;
  }
  SetVectors(static_cast<TVectors*>(vectors));
  SetUserMapSpaces(DynamicCast<TUserMapSpaces>(ReferencedElement(reader, elementMap)));
}

void TGuide::WriteData(platform::TWriter& writer) const {
  TSMO::WriteData(writer);
  const TElement* vectors = vectors_.Get();
  const TElement* spaces = userMapSpaces_.Get();
  writer.WriteInteger(vectors ? vectors->ID : -1);
  writer.WriteInteger(spaces ? spaces->ID : -1);
}

TClass TGuidePage_2::StaticClass() {
  static const TClassInfo info = DescribeClass<TGuidePage_2>("TGuidePage_2", TSMO_2::StaticClass(), "E_guide", {});
  return &info;
}

TClass TGuidePage_5::StaticClass() {
  static const TClassInfo info = DescribeClass<TGuidePage_5>(
      "TGuidePage_5", TSMO_5::StaticClass(), "E_guide",
      {NotStored(ReadProp("CIT", &TGuidePage_5::CIT)), NotStored(ReadProp("RAS", &TGuidePage_5::RAS)),
       NotStored(ReadProp("RAK", &TGuidePage_5::RAK)), NotStored(ReadProp("TRAS", &TGuidePage_5::TRAS)),
       NotStored(ReadProp("TRAK", &TGuidePage_5::TRAK))});
  return &info;
}

TClass TGuidePage_10::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGuidePage_10>("TGuidePage_10", TSMO_10::StaticClass(), "E_guide", {});
  return &info;
}

TClass TGuidePage_25::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGuidePage_25>("TGuidePage_25", TSMO_25::StaticClass(), "E_guide", {});
  return &info;
}

TClass TGuidePage_50::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGuidePage_50>("TGuidePage_50", TSMO_50::StaticClass(), "E_guide", {});
  return &info;
}

TClass TUserMapSpaces::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TUserMapSpaces>("TUserMapSpaces", TRectEntity::StaticClass(), "E_guide", {});
  return &info;
}

TClass TVectors::StaticClass() {
  static const TClassInfo info = DescribeClass<TVectors>("TVectors", TOwnerEntity::StaticClass(), "E_guide", {});
  return &info;
}

TClass TGuide::StaticClass() {
  static const TClassInfo info = DescribeClass<TGuide>(
      "TGuide", TSMO::StaticClass(), "E_guide",
      {StoredWhen(AccessorProp<TGuide, TVectors*>(
                      "Vectors", [](const TGuide& g) { return g.ExistingVectors(); },
                      [](TGuide& g, TVectors* v) { g.SetVectors(v); }),
                  [](const TObject& g) { return static_cast<const TGuide&>(g).ExistingVectors() != nullptr; }),
       StoredWhen(AccessorProp<TGuide, TUserMapSpaces*>(
                      "UserMapSpaces", [](const TGuide& g) { return g.ExistingUserMapSpaces(); },
                      [](TGuide& g, TUserMapSpaces* s) { g.SetUserMapSpaces(s); }),
                  [](const TObject& g) { return static_cast<const TGuide&>(g).ExistingUserMapSpaces() != nullptr; }),
       NotStored(AccessorProp<TGuide, TMapsZM*>(
           "ZM", [](const TGuide& g) { return const_cast<TGuide&>(g).ZM(); }, nullptr)),
       NotStored(AccessorProp<TGuide, TZMSpace*>(
           "ZMSpace", [](const TGuide& g) { return const_cast<TGuide&>(g).ZMSpace(); }, nullptr))});
  return &info;
}

void RegisterGuideClasses() {
  RegisterKestuClass(TGuidePage_2::StaticClass());
  RegisterKestuClass(TGuidePage_5::StaticClass());
  RegisterKestuClass(TGuidePage_10::StaticClass());
  RegisterKestuClass(TGuidePage_25::StaticClass());
  RegisterKestuClass(TGuidePage_50::StaticClass());
  RegisterKestuClass(TUserMapSpaces::StaticClass());
  RegisterKestuClass(TVectors::StaticClass());
  RegisterKestuClass(TGuide::StaticClass());
}
