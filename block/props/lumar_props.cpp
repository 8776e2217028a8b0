#include "block/props/lumar_props.h"

#include "block/props/lumar_registers.h"
#include "block/tables/lumar_dbf_table.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/objects/space_entities.h"

// ---------------------------------------------------------------- TLumarProps

char TLumarProps::PhysicalObjectType() const {
  const TSpaceEntity* entity = SpaceEntity();
  if (!entity) return ' ';
  if (DynamicCast<TPointElement>(entity)) return 'B';
  if (DynamicCast<TTextElement>(entity)) return 'T';
  if (DynamicCast<TPolyLineElement>(entity)) return 'L';
  if (DynamicCast<TAreaElement>(entity)) return 'P';
  return 'X';
}

char TLumarProps::GetObjectType() const { return PhysicalObjectType(); }

std::string TLumarProps::GetDBFName() const {
  const auto* primary = DynamicCast<TLumarProps>(GetPrimaryProps());
  const std::string block = GetBlockName();
  if (!primary || block.empty()) return std::string();
  return BlockTableName(block, GetObjectType(), primary->Druh);
}

TLumarDBFTable* TLumarProps::GetDBFTable() const {
  auto* objects = DynamicCast<TLumarObjectRegister>(GetObjectRegister());
  return objects ? objects->GetDBFTable() : nullptr;
}

int TLumarProps::GetSpaceID() const { return Cislo; }

bool TLumarProps::HasField(const std::string& Name) const {
  TLumarDBFTable* table = GetDBFTable();
  const std::string name = GetDBFName();
  try {
    return table && !name.empty() && table->OpenTable(name) && table->HasField(Name);
  } catch (const platform::EDatabaseError&) {
    // The callers that ask whether a field is there (keys among them) take
    // the failure as a no: the log says which table it was.
    table->ReportUnreadable(name);
    throw;
  }
}

void TLumarProps::GetFieldValue(const std::string& Name, std::string& Value) const {
  Value.clear();
  if (const TLumarDBFTable* table = GetDBFTable()) table->GetFieldString(Name, Value);
}

void TLumarProps::SetFieldValue(const std::string& Name, const std::string& Value) {
  if (TLumarDBFTable* table = GetDBFTable()) table->SetFieldString(Name, Value);
}

bool TLumarProps::LocateRecord() const {
  TLumarDBFTable* table = GetDBFTable();
  const std::string name = GetDBFName();
  return table && !name.empty() && table->Locate(name, GetOrigNo());
}

void TLumarProps::SetPropertyText(const std::string& name, const std::string& text) {
  if (ClassType()->FindProp(name)) {
    TSpaceEntityProps::SetPropertyText(name, text);
    return;
  }
  try {
    SetTableField(name, text);
  } catch (const platform::EDatabaseError&) {
    ShowPropertyFillError(name, text);
  }
}

std::string TLumarProps::GetPropertyText(const std::string& name) const {
  try {
    return TSpaceEntityProps::GetPropertyText(name);
  } catch (const platform::EDatabaseError&) {
    return "Err Field Value";
  }
}

void TLumarProps::SetTableField(const std::string& name, const std::string& text) {
  if (!GetObjectRegister() || !HasField(name)) return;
  TLumarDBFTable* table = GetDBFTable();
  const std::string tableName = GetDBFName();
  // The table goes back to read-only however the edit ends; an edit that
  // failed is dropped with it.
  struct ReadOnlyAgain {
    TLumarDBFTable* table;
    ~ReadOnlyAgain() { table->CloseTable(); }
  } readOnlyAgain{table};
  if (!table->OpenForUpdate(tableName) || !table->FindCislo(Cislo)) {
    platform::MessageDlg("Není nalezen záznam c." + std::to_string(Cislo) + "\r\n" + tableName,
                         platform::MsgDlgType::Error, platform::mbOK);
    return;
  }
  table->Table().Edit();
  table->SetFieldString(name, text);
  table->Table().Post();
}

// ---------------------------------------------------------------- descendants

TLumarTextProps::TLumarTextProps() = default;
TLumarTextProps::~TLumarTextProps() { ReleaseField(startPoint_); }

T2DCoordinate* TLumarTextProps::StartPoint() const {
  auto& self = const_cast<TLumarTextProps&>(*this);
  if (!startPoint_) self.HoldInField(self.startPoint_, CreateElement<T2DCoordinate>());
  return static_cast<T2DCoordinate*>(startPoint_);
}

void TLumarTextProps::SetStartPoint(T2DCoordinate* point) { HoldInField(startPoint_, point); }

void TLumarTextProps::FieldElementFreed(TElement* element) {
  if (element == startPoint_) startPoint_ = nullptr;
  TLumarProps::FieldElementFreed(element);
}

void TLumarLineProps::SetLink(TLineLinkSlot slot, std::int32_t Line, bool AtBeginning) {
  Links[slot] = TLineLink{Line, static_cast<std::uint8_t>(AtBeginning ? 1 : 0)};
}

double TLumarAreaProps::Hektars() const {
  const auto* area = DynamicCast<TAreaElement>(SpaceEntity());
  return area ? area->GetCalculatedArea() / 10000 : 0;
}

// ---------------------------------------------------------------- class descriptions

namespace {

// A set of up to eight flags published as its ordinal.
TPropInfo SetProp(TPropInfo info) {
  info.Kind = tkSet;
  info.Range = {0, 255};
  return info;
}

}  // namespace

TClass TLumarProps::StaticClass() {
  using E = TLumarProps;
  static const TClassInfo info = DescribeClass<E>(
      "TLumarProps", TSpaceEntityProps::StaticClass(), "E_LmrPrp",
      {FieldProp("Cislo", &E::Cislo), FieldProp("Druh", &E::Druh), FieldProp("Barva", &E::Barva),
       FieldProp("Znacka", &E::Znacka), FieldProp("Vyber", &E::Vyber), FieldProp("Presnost", &E::Presnost),
       FieldProp("Symbol", &E::Symbol), NotStored(FieldProp("IsDone", &TSpaceEntityProps::IsDone)),
       NotStored(ReadProp("PhysicalObjectType", &E::PhysicalObjectType)),
       NotStored(ReadProp("ObjectType", &E::GetObjectType)), NotStored(ReadProp("DBFName", &E::GetDBFName)),
       NotStored(ReadProp("DBFTable", &E::GetDBFTable))});
  return &info;
}

TClass TLumarPointProps::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumarPointProps>("TLumarPointProps", TLumarProps::StaticClass(), "E_LmrPrp", {});
  return &info;
}

TClass TLumarTextProps::StaticClass() {
  using E = TLumarTextProps;
  static const TClassInfo info = DescribeClass<E>(
      "TLumarTextProps", TLumarProps::StaticClass(), "E_LmrPrp",
      {FieldProp("CodePage", &E::CodePage), ReadWriteProp("StartPoint", &E::StartPoint, &E::SetStartPoint),
       FieldProp("LumarFont", &E::LumarFont), FieldProp("Height", &E::Height), FieldProp("WidthCoef", &E::WidthCoef),
       FieldProp("Direction", &E::Direction), FieldProp("Slope", &E::Slope), FieldProp("Distance", &E::Distance),
       SetProp(FieldProp("TextAtrib", &E::TextAtrib)), FieldProp("TextMode", &E::TextMode)});
  return &info;
}

TClass TLumarLineProps::StaticClass() {
  using E = TLumarLineProps;
  static const TClassInfo info =
      DescribeClass<E>("TLumarLineProps", TLumarProps::StaticClass(), "E_LmrPrp",
                       {FieldProp("LeftArea", &E::LeftArea), FieldProp("RightArea", &E::RightArea)});
  return &info;
}

TClass TLumarAreaProps::StaticClass() {
  using E = TLumarAreaProps;
  static const TClassInfo info = DescribeClass<E>(
      "TLumarAreaProps", TLumarProps::StaticClass(), "E_LmrPrp",
      {FieldProp("LineNo", &E::LineNo), FieldProp("PaterNo", &E::PaterNo), FieldProp("HasChildren", &E::HasChildren),
       NotStored(ReadProp("Hektars", &E::Hektars))});
  return &info;
}

void RegisterE_LmrPrpClasses() {
  for (TClass cls : {TLumarProps::StaticClass(), TLumarPointProps::StaticClass(), TLumarTextProps::StaticClass(),
                     TLumarAreaProps::StaticClass(), TLumarLineProps::StaticClass()})
    RegisterKestuClass(cls);
}
