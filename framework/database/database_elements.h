#pragma once
// The records of a database table presented as the children of an entity,
// without loading them: each record is a virtual element made on demand,
// named by a name column and addressed by the values of its address
// columns; a property of a virtual element that names a column reads that
// column of its record.  Tables are dBASE files (the data source is the
// file in the data source path); queries and text tables are refused.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"

enum class TDSType : std::uint8_t { dstTable, dstSQL, dstSQLdef, dstQBE, dstText };

namespace typinfo {
template <>
const TEnumType& EnumTypeOf<TDSType>();
}

// The n-th (from 1) part of text, parts ending in ";"; a text without a
// final ";" is its own first part only.  Empty when there is no such part.
void NthField(const std::string& text, int n, std::string& field);
// The parts of a ";"-separated list (a missing final ";" is supplied).
std::vector<std::string> SplitFields(const std::string& list);

class TDatabaseClass;

class TVirtualElement : public TOwnerElement {
  KESTX_CLASS(TVirtualElement)
 public:
  std::string ElementAdress;

  // Nil once the database class is gone.
  TDatabaseClass* Database() const;
  void SetDatabase(TDatabaseClass* database);
  std::int32_t PropertyCount() const;

  // A column's value in this element's record; other names read the
  // published property.
  std::string GetPropertyText(const std::string& name) const override;

 private:
  TElementLink database_;
};

class TDatabaseClass : public TOwnerEntity {
  KESTX_CLASS(TDatabaseClass)
 public:
  TDatabaseClass();
  ~TDatabaseClass() override;

  const std::string& DataSourcePath() const { return dataSourcePath_; }
  void SetDataSourcePath(const std::string& path);
  TDSType DataSourceType() const { return dataSourceType_; }
  void SetDataSourceType(TDSType type);
  const std::string& DataSource() const { return dataSource_; }
  void SetDataSource(const std::string& name);
  std::string AdressField;
  std::string NameField;

  // 0 when the data set cannot be opened.
  std::int32_t PropertyCount() const;
  std::int32_t RecordSize() const;

  // Opens the data set when needed: false when there is none to open (a
  // query by example) or the table cannot be opened; raises
  // platform::EDatabaseError for the query and text kinds, which this engine
  // does not serve.
  bool OpenDataSet() const;
  // The same as a question: a kind this engine does not serve is a data set
  // that cannot be opened (what counts records or columns answers 0, and a
  // model holding such an element can still be saved and shown).
  bool DataSetAvailable() const;

  int GetCount() override;
  bool AnswersFromChildren() const override { return false; }
  bool IsEmpty() const override;
  void Clear() override {}
  int AccumulateSize() override;
  // The element of the record at index (from 0); nil past the last record.
  TElement* GetElement(int index) override;
  // Searches every record once, starting from the current one and going on
  // from the first after the last.
  TElement* FindElementByName(const std::string& name) const override;
  int IndexOf(const TElement* element) const override;

  // The text of a column in the record with that address; empty when no
  // record has it.  Used by the virtual elements.
  std::string ColumnText(const std::string& address, int column) const;
  int FindColumn(const std::string& name) const;

 private:
  struct DataSet;
  // The address of the current record: its address columns' values, each
  // followed by ";".
  std::string CurrentAddress() const;
  // Moves to the first record, from the current one on and wrapping once,
  // that test accepts; false (and back where it was) when none does.
  template <class Test>
  bool Scan(Test test) const;
  TElement* ElementOfCurrent() const;
  void CloseDataSet();

  std::string dataSourcePath_;
  TDSType dataSourceType_ = TDSType::dstTable;
  std::string dataSource_;
  std::unique_ptr<DataSet> data_;
};

void RegisterDatabaseClasses();
