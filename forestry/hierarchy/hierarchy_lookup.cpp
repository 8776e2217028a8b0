#include "forestry/hierarchy/hierarchy_lookup.h"

#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/tool_runs.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/code_page.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr const char* kGeometry = "GEOMETRY";
constexpr const char* kSelectedName = "Selected elements";

}  // namespace

// ---------------------------------------------------------------- THeleHier

std::string THeleHier::NodeName(Level level) const {
  const TElement* node = nodes_[level].Get();
  return node ? node->GetName() : std::string();
}

void THeleHier::SetNodeName(Level level, const std::string& name) {
  TElement* above = level == kLHC ? Input() : nodes_[level - 1].Get();
  auto* parent = DynamicCast<TEntity>(above);
  nodes_[level].Set(parent ? parent->FindElementByName(name) : nullptr);
  // A level written anew makes the deeper ones stale.
  for (int deeper = level + 1; deeper < kLevels; ++deeper) nodes_[deeper].Set(nullptr);
}

void THeleHier::DoIt() {
  SetOutput(nullptr);
  for (const TElementLink& node : nodes_)
    if (TElement* found = node.Get()) SetOutput(found);
}

// ---------------------------------------------------------------- THeleSkupina

THeleSkupina::THeleSkupina() = default;
THeleSkupina::~THeleSkupina() = default;

TAreaElement* THeleSkupina::KeptArea() const {
  return converted_ ? converted_.get() : DynamicCast<TAreaElement>(area_.Get());
}

std::string THeleSkupina::Key(const char* property) const {
  // Read as the hierarchy read them when it filed the area: a table that
  // cannot be read gives empty keys, not its error text.
  const TElement* output = Output();
  return output ? KeyText(*output, property) : std::string();
}

std::string THeleSkupina::OutString() const {
  if (!Output()) return {};
  return Key("LHC") + " " + Key("ODDELENI") + Key("DILEC") + Key("POROST") + " " + Key("SKUPINA");
}

TPorostniSkupina* THeleSkupina::PSKObject() const {
  if (!Found || !DynamicCast<TEntity>(Output())) return nullptr;
  return DynamicCast<TPorostniSkupina>(psk_.Get());
}

void THeleSkupina::Forget() {
  area_.Set(nullptr);
  converted_.reset();
  psk_.Set(nullptr);
}

void THeleSkupina::DoIt() {
  if (Busy()) return;
  const BusyRun run(*this);
  // A find of the run before is no answer for this point.
  Found = false;
  if (psk_.Get()) {
    TAreaElement* geometry = KeptArea();
    if (area_.Get() && geometry && geometry->ContainsPointOutsideHoles(X, Y)) {
      Found = true;
      SetOutput(area_.Get());
    } else {
      Forget();
    }
  }
  if (!Found) {
    pskDepth_ = 0;
    pskEntered_.Set(nullptr);
    TRecursor::DoIt();
  }
  if (!Found) {
    Forget();
    SetOutput(nullptr);
  }
}

void THeleSkupina::Prepare() { SetOutput(nullptr); }

bool THeleSkupina::QGoInside(TElement* element) {
  if (Found || !DynamicCast<TEntity>(element)) return false;
  auto* rect = DynamicCast<TRectEntity>(element);
  const bool enter = !rect || !rect->IsValid() || (!DynamicCast<TAreaElement>(element) && rect->ContainsPoint(X, Y));
  if (!enter) return false;
  if (pskDepth_ > 0 && Level >= pskDepth_) return element->GetName() == kGeometry;
  if (DynamicCast<TPorostniSkupina>(element)) {
    pskDepth_ = Level + 1;
    pskEntered_.Set(element);
  }
  if (rect) psk_.Set(rect);
  return true;
}

void THeleSkupina::LeftInside(TElement* element) {
  if (element == pskEntered_.Get()) {
    pskDepth_ = 0;
    pskEntered_.Set(nullptr);
  }
}

bool THeleSkupina::QProcessBefore(TElement* element) { return !Found && DynamicCast<TAreaElement>(element); }

void THeleSkupina::Process(TElement* element) {
  auto* area = DynamicCast<TAreaElement>(element);
  if (!area || !area->ContainsPoint(X, Y)) return;
  std::unique_ptr<TAreaElement> converted;
  if (auto* bounded = DynamicCast<TPolyLineAreaElement>(area)) converted.reset(bounded->CreateAreaWithHoles());
  const TAreaElement& geometry = converted ? *converted : *area;
  if (!geometry.ContainsPointOutsideHoles(X, Y)) return;
  Found = true;
  area_.Set(area);
  converted_ = std::move(converted);
  SetOutput(area);
}

// ---------------------------------------------------------------- TSelectByName

bool TSelectByName::Matches(const std::string& name) const {
  if (Partialy)
    return CaseSensitive ? name.find(SelectedName) != std::string::npos
                         : platform::AnsiUpperCase(name).find(platform::AnsiUpperCase(SelectedName)) != std::string::npos;
  return CaseSensitive ? name == SelectedName : platform::AnsiSameUpperCase(name, SelectedName);
}

bool TSelectByName::QProcessBefore(TElement* element) { return DynamicCast<TEntity>(element) != nullptr; }

void TSelectByName::Process(TElement* element) {
  if (!element->HasName() || !Matches(element->GetName())) return;
  auto* selected = DynamicCast<TEntity>(Output());
  if (!selected) {
    selected = CreateElement<TOwnerEntity>();
    selected->SetName(kSelectedName);
    AddElement(selected);
    SetOutput(selected);
  }
  if (element != selected) selected->AddElement(element);
}

// ---------------------------------------------------------------- classes

namespace {

TPropInfo LevelProp(const char* name, THeleHier::Level level) {
  return NotStored(AccessorProp<THeleHier, std::string>(
      name, [level](const THeleHier& tool) { return tool.NodeName(level); },
      [level](THeleHier& tool, std::string text) { tool.SetNodeName(level, text); }));
}

TPropInfo KeyProp(const char* name, const char* property) {
  return NotStored(AccessorProp<THeleSkupina, std::string>(
      name, [property](const THeleSkupina& tool) { return tool.Key(property); }, nullptr));
}

}  // namespace

TElement* ModelHierarchy() {
  TWorld* world = World();
  auto* model = world ? world->ObjectModel() : nullptr;
  auto* data = model ? DynamicCast<TEntity>(model->FindElementByName("DATA")) : nullptr;
  return data ? data->FindElementByName("HIERARCHY") : nullptr;
}

TClass THeleHier::StaticClass() {
  static const TClassInfo info = DescribeClass<THeleHier>(
      "THeleHier", TTool::StaticClass(), "T_Helhie",
      {LevelProp("LHC", kLHC), LevelProp("Odd", kOdd), LevelProp("Dil", kDil), LevelProp("Por", kPor),
       LevelProp("PSK", kPSK)});
  return &info;
}

TClass THeleSkupina::StaticClass() {
  using E = THeleSkupina;
  static const TClassInfo info = DescribeClass<E>(
      "THeleSkupina", TRecursor::StaticClass(), "T_Helhie",
      {FieldProp("X", &E::X), FieldProp("Y", &E::Y), FieldProp("Found", &E::Found),
       NotStored(AccessorProp<E, TElement*>("KeptArea", [](const E& e) -> TElement* { return e.KeptArea(); }, nullptr)),
       NotStored(ReadProp("OutString", &E::OutString)), KeyProp("LHC", "LHC"), KeyProp("ODD", "ODDELENI"),
       KeyProp("DIL", "DILEC"), KeyProp("POR", "POROST"), KeyProp("PSk", "SKUPINA"),
       NotStored(AccessorProp<E, TElement*>("PSKObject", [](const E& e) -> TElement* { return e.PSKObject(); },
                                            nullptr))});
  return &info;
}

TClass TSelectByName::StaticClass() {
  using E = TSelectByName;
  static const TClassInfo info = DescribeClass<E>(
      "TSelectByName", TRecursor::StaticClass(), "T_Helhie",
      {FieldProp("SelectedName", &E::SelectedName), FieldProp("CaseSensitive", &E::CaseSensitive),
       FieldProp("Partialy", &E::Partialy)});
  return &info;
}

void RegisterHierarchyLookupClasses() {
  RegisterKestuClass(THeleHier::StaticClass());
  RegisterKestuClass(THeleSkupina::StaticClass());
}
