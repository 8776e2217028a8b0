#include "block/tables/export_dbf.h"

#include "block/props/lumar_props.h"
#include "block/tables/lumar_dbf_table.h"
#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"

namespace {

const TLumarProps* PropsOf(const TElement* Element) {
  const auto* entity = DynamicCast<TSpaceEntity>(Element);
  return entity ? DynamicCast<TLumarProps>(entity->Properties()) : nullptr;
}

}  // namespace

TExportDBFClass::TExportDBFClass() = default;

// A table still open goes with its engine table, which closes without
// raising: every run writes its records out itself and tells when it
// cannot, so a table left open belongs to a run that failed and told why,
// and an error leaving a destructor would end the program.
TExportDBFClass::~TExportDBFClass() = default;

TDynamicProperties* TExportDBFClass::DynamicProps() const {
  return DynamicCast<TDynamicProperties>(dynamicProps_.Get());
}

void TExportDBFClass::SetDynamicProps(TDynamicProperties* props) { dynamicProps_.Set(props); }

std::string TExportDBFClass::DBFName() const { return BlockTableName(ExpBlockName, ObjectType, Druh); }

std::string TExportDBFClass::ControlFile(const std::string& ext) const {
  return platform::ChangeFileExt(BlockTableName(ControlDir, ObjectType, Druh), ext);
}

const TExportDBFClass::TNames& TExportDBFClass::Names() {
  if (names_.table.empty() || names_.blockDir != ExpBlockName || names_.controlDir != ControlDir ||
      names_.letter != ObjectType || names_.kind != Druh) {
    names_ = {ExpBlockName, ControlDir, ObjectType, Druh, DBFName(), ControlFile(".TDS")};
  }
  return names_;
}

bool TExportDBFClass::EnsureTable(const std::string& SourceTable) {
  if (!table_) return false;
  ForgetFields();
  if (!CreateFromSource) {
    table_->CreateFileName = ControlFile(".CRT");
    if (table_->CreateTable(DBFName())) return true;
  }
  table_->CreateFileName = SourceTable;
  return table_->CreateTable(DBFName());
}

namespace {

// The fields WriteRecord fills, in the order of RecordFields.
enum TRecordField { rfCislo, rfDruh, rfBarva, rfZnacka, rfX, rfY, rfDelka, rfPlocha };
constexpr std::array<const char*, 8> kRecordFieldNames = {"CISLO", "DRUH", "DISP_BARVA", "DISP_ZNAC",
                                                          "X",     "Y",    "DELKA",      "PLOCHA"};

}  // namespace

const std::array<int, 8>& TExportDBFClass::RecordFields() {
  const platform::DbaseTable& table = table_->Table();
  if (!table.Active()) {
    ForgetFields();
    fields_.fill(-1);
  } else if (fieldsOf_ != table.TableName()) {
    for (std::size_t i = 0; i < kRecordFieldNames.size(); ++i) fields_[i] = table.FindField(kRecordFieldNames[i]);
    fieldsOf_ = table.TableName();
  }
  return fields_;
}

void TExportDBFClass::WriteRecord(const TElement* Element) {
  const auto* entity = DynamicCast<TSpaceEntity>(Element);
  const TLumarProps* props = PropsOf(Element);
  if (!entity || !props || !table_) return;
  const std::array<int, 8>& fields = RecordFields();
  // A value is made only for a field the table has.
  auto set = [&](TRecordField field, auto&& value) {
    if (fields[field] >= 0) table_->Table().SetFieldText(fields[field], value());
  };
  set(rfCislo, [&] { return std::to_string(Element->ID); });
  set(rfDruh, [&] { return std::to_string(props->Druh); });
  set(rfBarva, [&] { return std::to_string(props->Barva); });
  set(rfZnacka, [&] { return std::to_string(props->Znacka); });
  set(rfX, [&] { return FloatToText(-entity->GetAbsRefY()); });
  set(rfY, [&] { return FloatToText(-entity->GetAbsRefX()); });
  if (const auto* poly = DynamicCast<TPolyElement>(entity)) set(rfDelka, [&] { return FloatToText(poly->Length()); });
  if (const auto* area = DynamicCast<TAreaElement>(entity))
    set(rfPlocha, [&] {
      return FloatToText(PlochyVHa ? area->GetCalculatedArea() / 10000 : area->GetCalculatedArea());
    });
}

void TExportDBFClass::DoIt() {
  TTool::DoIt();
  WriteObject(Input());
  Flush();
}

void TExportDBFClass::Flush() {
  if (table_) table_->Flush();
}

void TExportDBFClass::CloseTable() {
  if (table_) table_->CloseTable();
}

void TExportDBFClass::WriteObject(const TElement* element) {
  if (const TLumarProps* props = PropsOf(element)) WriteObject(element, props->GetDBFName());
}

void TExportDBFClass::WriteObject(const TElement* element, const std::string& SourceTable) {
  const TLumarProps* props = PropsOf(element);
  if (!props) return;
  // 1. The table: a new one for the first object (replacing any of that
  // name), then only when the name changes and no such file exists.
  const std::string name = Names().table;
  if (!table_) {
    table_ = std::make_unique<TLumarDBFTable>();
    if (!EnsureTable(SourceTable)) {
      table_.reset();
      return;
    }
  } else if (table_->Table().TableName() != name) {
    table_->CloseTable();
    if (!platform::FileExists(name) && !EnsureTable(SourceTable)) {
      table_.reset();
      return;
    }
  }
  // 2. A new record.
  if (!table_->OpenForUpdate(name)) return;
  table_->Table().Append();
  // 3. Dynamic values, the source record.
  const TDynamicProperties* dynamic = DynamicProps();
  const bool hasValues = dynamic && !dynamic->Children().empty();
  if (hasValues) table_->ApplyDynamicProps(element, dynamic);
  if (!hasValues || BothSources) {
    if (!CreateFromSource) table_->SetTransferScript(Names().script);
    if (!SourceTable.empty()) {
      TLumarDBFTable* sourceTable = props->GetDBFTable();
      if (sourceTable && sourceTable->Locate(SourceTable, props->GetOrigNo()))
        table_->Transfer(*sourceTable);
      else
        platform::MessageDlg("Není nalezen záznam c." + std::to_string(props->GetOrigNo()) + "\r\n" + SourceTable,
                             platform::MsgDlgType::Error, platform::mbOK);
    }
  }
  // 4. The object's own properties and geometry.
  table_->ApplyElementProps(element);
  WriteRecord(element);
  table_->Table().Post();
}

TClass TExportDBFClass::StaticClass() {
  using E = TExportDBFClass;
  static const TClassInfo info = DescribeClass<E>(
      "TExportDBFClass", TTool::StaticClass(), "T_dbfexp",
      {FieldProp("ExpBlockName", &E::ExpBlockName), FieldProp("ControlDir", &E::ControlDir),
       FieldProp("CreateFromSource", &E::CreateFromSource), FieldProp("ObjectType", &E::ObjectType),
       FieldProp("Druh", &E::Druh), ReadWriteProp("DynamicProps", &E::DynamicProps, &E::SetDynamicProps),
       FieldProp("PlochyVHa", &E::PlochyVHa), FieldProp("BothSources", &E::BothSources),
       NotStored(ReadProp("DBFName", &E::DBFName))});
  return &info;
}
