#pragma once
// The attribute table of one object class of a block (letter + kind in four
// digits + ".DBF", one record per object keyed by CISLO) with its own index
// (".IND" beside it): a flat array of 32-bit little-endian record numbers,
// the entry at byte 4 x n for CISLO n, -1 where no record has that number.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/dbase_table.h"
#include "platform/type_info.h"

class TElement;
class TMovedItemContainer;
namespace platform {
class TFileStream;
}  // namespace platform

class TLumarDBFTable : public TPersistent {
  KESTX_CLASS(TLumarDBFTable)
 public:
  // The largest CISLO the index holds: 40 MB of index at most.
  static constexpr std::int32_t MaxIndexedCislo = 10000000;

  TLumarDBFTable();
  ~TLumarDBFTable() override;

  // The engine's table.
  platform::DbaseTable& Table() { return table_; }
  const platform::DbaseTable& Table() const { return table_; }

  // The template (.CRT) or source table (.DBF) CreateTable uses.
  std::string CreateFileName;

  // Finds the record (published write-only).
  void SetCislo(std::int32_t Cislo);
  // Loads a transfer script when the name differs from the loaded one; an
  // empty or missing file leaves none.
  void SetTransferScript(const std::string& FileName);
  TMovedItemContainer* TransferScript() const { return transfer_.get(); }
  std::string ShortTableName() const { return table_.ShortName(); }

  // From CreateFileName: a ".DBF" file gives the structure of that table, any
  // other a template; true when the table was made.
  bool CreateTable(const std::string& TableName);
  // Read-only; false when there is no such file.
  bool OpenTable(const std::string& TableName);
  // Writable, for appending or editing; false when there is no such file.
  bool OpenForUpdate(const std::string& TableName);
  // Closes and makes the table read-only again.
  void CloseTable();
  // Appended records and the count out to the file; a missing transfer
  // script is looked for again after it.
  void Flush();
  bool Locate(const std::string& TableName, std::int32_t Cislo);
  bool FindRecord(const std::string& BlockDir, char TypeLetter, std::int16_t Druh, std::int32_t Cislo);
  // A block object: the table of its props' DBFName, the record of its Cislo.
  bool FindElementRecord(const TElement* Element);
  // Through the index, built when missing and rebuilt once when it leads to
  // a record of another number, or lacks the number and was not built by
  // this object over the same records; record by record when the index
  // cannot be had or replaced.
  bool FindCislo(std::int32_t Cislo);

  // "TABLE.FIELD" is accepted when TABLE is this table's short name.
  bool HasField(const std::string& Name) const;
  bool GetFieldString(const std::string& Name, std::string& Value) const;
  bool SetFieldString(const std::string& Name, const std::string& Value);
  // 0 when CISLO is no number.
  std::int32_t ReadCislo() const;

  // Copies the source's current record into this one's, by the transfer
  // script or field by field of the same name (CISLO excepted).
  void Transfer(const TLumarDBFTable& Source);
  // The script's "*Property" pairs: fields from the element's properties.
  void ApplyElementProps(const TElement* Element);
  // Each named value of DynamicProps into the field of that name.
  void ApplyDynamicProps(const TElement* Element, const TElement* DynamicProps);

  // Names the table TableName, which could not be read, in the log: once
  // for this object, however often it is asked for.
  void ReportUnreadable(const std::string& TableName);

  // Index upkeep; false (after a warning) when it cannot be had.
  bool EnsureIndex();
  bool BuildIndex();
  void DropIndex();

 private:
  // The index entry for Cislo; 0 when it is outside the index or no valid
  // record number.
  std::int32_t IndexEntry(std::int32_t Cislo);
  // Opens the named table; one that claims more records than it holds is
  // named in the log once.
  void OpenReported();
  void ReportOnce(const std::string& text);
  bool SearchWithoutIndex(std::int32_t Cislo);
  std::string IndexFileName() const;
  void SetName(const std::string& TableName);

  platform::DbaseTable table_;
  std::int32_t cislo_ = 0;
  std::unique_ptr<platform::TFileStream> index_;
  // The record count when this object last built the index; -1 none.
  std::int64_t indexRecords_ = -1;
  std::unique_ptr<TMovedItemContainer> transfer_;
  // The transfer script last asked for and not found: an export asks once
  // per record.
  std::string missingTransfer_;
  // The tables already named in the log.
  std::set<std::string> reported_;
  std::set<std::string> unreadable_;
};

// The name of a block's attribute table: BlockDir + letter + Druh in four
// digits + ".DBF".
std::string BlockTableName(const std::string& BlockDir, char Letter, std::int16_t Druh);
