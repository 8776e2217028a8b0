#include "framework/database/database_elements.h"

#include "framework/core/class_registry.h"
#include "platform/dbase_table.h"
#include "platform/files.h"

template <>
const TEnumType& typinfo::EnumTypeOf<TDSType>() {
  static const TEnumType type{"TDSType", {"dstTable", "dstSQL", "dstSQLdef", "dstQBE", "dstText"}};
  return type;
}

void NthField(const std::string& text, int n, std::string& field) {
  field.clear();
  if (n < 1) return;
  if (text.find(';') == std::string::npos) {
    if (n == 1) field = text;
    return;
  }
  std::size_t start = 0;
  for (int part = 1;; ++part) {
    const std::size_t end = text.find(';', start);
    if (end == std::string::npos) return;
    if (part == n) {
      field = text.substr(start, end - start);
      return;
    }
    start = end + 1;
  }
}

std::vector<std::string> SplitFields(const std::string& list) {
  std::vector<std::string> fields;
  if (list.empty()) return fields;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    fields.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

// ---------------------------------------------------------------- the data set

// The open table, the physical numbers of its live records (so that moving
// to any record is one step), the current record, and one element per
// record address.
struct TDatabaseClass::DataSet {
  platform::DbaseTable table;
  std::vector<int> records;
  int current = -1;
  std::vector<int> addressColumns;
  int nameColumn = -1;
  std::map<std::string, TElementLink> elements;

  void MoveTo(int index) {
    current = index;
    table.MoveTo(records[static_cast<std::size_t>(index)]);
  }
  std::string Text(int column) const { return column < 0 ? std::string() : table.GetFieldText(column); }
};

TDatabaseClass::TDatabaseClass() = default;

TDatabaseClass::~TDatabaseClass() { CloseDataSet(); }

void TDatabaseClass::CloseDataSet() {
  if (!data_) return;
  data_->table.Close();
  data_->records.clear();
  data_->current = -1;
  // Elements nobody took over go with the records they stood for; the
  // others stay with their holders.
  for (auto& [address, link] : data_->elements) {
    TElement* element = link.Get();
    if (element && element->HasNoOwner() && element->HolderCount() == 0) delete element;
  }
  data_->elements.clear();
}

void TDatabaseClass::SetDataSourcePath(const std::string& path) {
  dataSourcePath_ = path;
  CloseDataSet();
}

void TDatabaseClass::SetDataSourceType(TDSType type) {
  dataSourceType_ = type;
  CloseDataSet();
}

void TDatabaseClass::SetDataSource(const std::string& name) {
  dataSource_ = name;
  CloseDataSet();
}

bool TDatabaseClass::OpenDataSet() const {
  switch (dataSourceType_) {
    case TDSType::dstQBE: return false;
    case TDSType::dstSQL:
    case TDSType::dstSQLdef:
      throw platform::EDatabaseError("SQL queries are not supported: only dBASE tables can be opened (" +
                                     dataSource_ + ")");
    case TDSType::dstText:
      throw platform::EDatabaseError("Text tables are not supported: only dBASE tables can be opened (" +
                                     dataSource_ + ")");
    case TDSType::dstTable: break;
  }
  auto* self = const_cast<TDatabaseClass*>(this);
  if (!data_) self->data_ = std::make_unique<DataSet>();
  DataSet& data = *data_;
  if (data.table.Active()) return true;
  std::string file = dataSourcePath_.empty() ? dataSource_
                                             : platform::IncludeTrailingPathDelimiter(dataSourcePath_) + dataSource_;
  if (platform::ExtractFileExt(file).empty()) file += ".DBF";
  data.table.SetTableName(file);
  data.table.SetReadOnly(true);
  try {
    data.table.Open();
  } catch (const platform::EDatabaseError&) {
    return false;  // a table that cannot be opened has no records and no columns
  }
  data.records.clear();
  for (data.table.First(); !data.table.Eof(); data.table.Next()) data.records.push_back(data.table.RecNo());
  data.current = -1;
  data.addressColumns.clear();
  for (const std::string& column : SplitFields(AdressField)) data.addressColumns.push_back(FindColumn(column));
  data.nameColumn = FindColumn(NameField);
  if (!data.records.empty()) data.MoveTo(0);
  return true;
}

int TDatabaseClass::FindColumn(const std::string& name) const {
  if (!data_ || !data_->table.Active()) return -1;
  const std::string wanted = AsciiUpperCase(name);
  for (int i = 0; i < data_->table.FieldCount(); ++i)
    if (AsciiUpperCase(data_->table.Field(i).Name) == wanted) return i;
  return -1;
}

bool TDatabaseClass::DataSetAvailable() const {
  try {
    return OpenDataSet();
  } catch (const platform::EDatabaseError&) {
    return false;
  }
}

std::int32_t TDatabaseClass::PropertyCount() const {
  return DataSetAvailable() ? data_->table.FieldCount() : 0;
}

std::int32_t TDatabaseClass::RecordSize() const {
  if (!DataSetAvailable()) return 0;
  std::int32_t size = 0;
  for (int i = 0; i < data_->table.FieldCount(); ++i) size += data_->table.Field(i).Length;
  return size;
}

int TDatabaseClass::GetCount() { return DataSetAvailable() ? static_cast<int>(data_->records.size()) : 0; }

bool TDatabaseClass::IsEmpty() const { return const_cast<TDatabaseClass*>(this)->GetCount() < 1; }

int TDatabaseClass::AccumulateSize() { return GetCount() * RecordSize(); }

std::string TDatabaseClass::CurrentAddress() const {
  std::string address;
  for (int column : data_->addressColumns) address += data_->Text(column) + ";";
  return address;
}

TElement* TDatabaseClass::ElementOfCurrent() const {
  const std::string address = CurrentAddress();
  TElementLink& link = data_->elements[address];
  if (auto* element = static_cast<TVirtualElement*>(link.Get())) {
    element->SetName(data_->Text(data_->nameColumn));
    return element;
  }
  auto* element = CreateElement<TVirtualElement>();
  element->SetName(data_->Text(data_->nameColumn));
  element->ElementAdress = address;
  element->SetDatabase(const_cast<TDatabaseClass*>(this));
  link.Set(element);
  return element;
}

TElement* TDatabaseClass::GetElement(int index) {
  if (!DataSetAvailable() || index < 0 || index >= static_cast<int>(data_->records.size())) return nullptr;
  data_->MoveTo(index);
  return ElementOfCurrent();
}

template <class Test>
bool TDatabaseClass::Scan(Test test) const {
  const int count = static_cast<int>(data_->records.size());
  if (count == 0) return false;
  const int start = data_->current < 0 ? 0 : data_->current;
  for (int step = 0; step < count; ++step) {
    data_->MoveTo((start + step) % count);
    if (test()) return true;
  }
  data_->MoveTo(start);
  return false;
}

TElement* TDatabaseClass::FindElementByName(const std::string& name) const {
  if (!OpenDataSet() || data_->addressColumns.empty()) return nullptr;
  const std::string wanted = AsciiUpperCase(name);
  const int column = data_->addressColumns.front();
  if (!Scan([&] { return AsciiUpperCase(data_->Text(column)) == wanted; })) return nullptr;
  return ElementOfCurrent();
}

int TDatabaseClass::IndexOf(const TElement* element) const {
  const auto* record = DynamicCast<TVirtualElement>(element);
  if (!record || !OpenDataSet()) return -1;
  return Scan([&] { return CurrentAddress() == record->ElementAdress; }) ? data_->current : -1;
}

std::string TDatabaseClass::ColumnText(const std::string& address, int column) const {
  if (!OpenDataSet() || column < 0) return {};
  if (!Scan([&] { return CurrentAddress() == address; })) return {};
  return data_->Text(column);
}

// ---------------------------------------------------------------- TVirtualElement

TDatabaseClass* TVirtualElement::Database() const { return static_cast<TDatabaseClass*>(database_.Get()); }

void TVirtualElement::SetDatabase(TDatabaseClass* database) { database_.Set(database); }

std::int32_t TVirtualElement::PropertyCount() const {
  const TDatabaseClass* database = Database();
  return database ? database->PropertyCount() : 0;
}

std::string TVirtualElement::GetPropertyText(const std::string& name) const {
  if (const TDatabaseClass* database = Database(); database && database->OpenDataSet()) {
    const int column = database->FindColumn(name);
    if (column >= 0) return database->ColumnText(ElementAdress, column);
  }
  return TOwnerElement::GetPropertyText(name);
}

// ---------------------------------------------------------------- classes

TClass TVirtualElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TVirtualElement>(
      "TVirtualElement", TOwnerElement::StaticClass(), "E_DB",
      {FieldProp("ElementAdress", &TVirtualElement::ElementAdress),
       NotStored(ReadProp("PropertyCount", &TVirtualElement::PropertyCount))});
  return &info;
}

TClass TDatabaseClass::StaticClass() {
  static const TClassInfo info = DescribeClass<TDatabaseClass>(
      "TDatabaseClass", TOwnerEntity::StaticClass(), "E_DB",
      {AccessorProp<TDatabaseClass, std::string>(
           "DataSourcePath", [](const TDatabaseClass& d) { return d.DataSourcePath(); },
           [](TDatabaseClass& d, std::string v) { d.SetDataSourcePath(v); }),
       AccessorProp<TDatabaseClass, TDSType>(
           "DataSourceType", [](const TDatabaseClass& d) { return d.DataSourceType(); },
           [](TDatabaseClass& d, TDSType v) { d.SetDataSourceType(v); }),
       AccessorProp<TDatabaseClass, std::string>(
           "DataSource", [](const TDatabaseClass& d) { return d.DataSource(); },
           [](TDatabaseClass& d, std::string v) { d.SetDataSource(v); }),
       FieldProp("AdressField", &TDatabaseClass::AdressField), FieldProp("NameField", &TDatabaseClass::NameField),
       ReadProp("PropertyCount", &TDatabaseClass::PropertyCount),
       ReadProp("RecordSize", &TDatabaseClass::RecordSize)});
  return &info;
}

void RegisterDatabaseClasses() { RegisterKestuClass(TDatabaseClass::StaticClass()); }
