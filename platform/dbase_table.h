#pragma once
// dBASE tables as the attribute tables of GIS blocks use them: opened by
// file name, read-only or for update; fields by name; records walked,
// appended, edited and posted; tables created from a "create table"
// statement.  Field values are texts: UTF-8 in memory, in the file in the
// code page the table's header names (437, 852, 895, 1250 or 1252;
// Windows-1250 when it names another or none); numbers are written with "."
// and rounded to their decimals, dates as YYYYMMDD, logicals as T or F.  New
// tables carry the Windows-1250 code page byte, so other dBASE readers
// decode their texts.  A record keeps the padding its header's record length
// gives beyond the fields.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The engine's failures; their messages are the engine's own.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DbaseField {
  std::string Name;  // upper case in the file
  char Type = 'C';   // C character, D date, L logical, N numeric
  int Length = 0;
  int Decimals = 0;
  bool operator==(const DbaseField&) const = default;
};

// Letters, digits and "_", 1 to 10 of them.
bool IsValidDbaseFieldName(std::string_view name);
// A valid name and a size the type allows: C 1 to 254; N 1 to 20 with
// fewer decimals than its length; D and L any (they have fixed sizes).
bool IsValidDbaseField(const DbaseField& field);

// Runs a statement of the form
//   create table "file name" (NAME char(n), NAME date, NAME boolean,
//                             NAME decimal(l,d), ...)
// and nothing else: creates the table with those fields in that order.
// Raises EDatabaseError for any other statement, an invalid or repeated
// field, or a file that exists or cannot be made.
void ExecuteCreateTable(const std::string& statement);

class DbaseTable {
 public:
  enum class State { Inactive, Browse, Edit, Insert };

  DbaseTable();
  ~DbaseTable();
  DbaseTable(const DbaseTable&) = delete;
  DbaseTable& operator=(const DbaseTable&) = delete;

  // Name and mode are set while the table is closed.
  const std::string& TableName() const;
  void SetTableName(const std::string& fileName);
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  // The file name without folder and extension.
  std::string ShortName() const;

  // Raises EDatabaseError when the file is missing or no dBASE table, or its
  // fields do not fit its records.  A header that claims more records than
  // the file holds is read as far as the records are whole.
  void Open();
  // Pending changes of an unposted record are dropped.  The table is closed
  // in any case; raises EDatabaseError afterwards when the header or records
  // posted before could not be written (a full disk).
  void Close();
  bool Active() const;
  State GetState() const;

  int FieldCount() const;
  const DbaseField& Field(int index) const;
  // Case-insensitive; "TABLE.FIELD" is accepted when TABLE is this
  // table's short name.  -1 when there is no such field.
  int FindField(std::string_view name) const;
  // Trailing blanks dropped; a logical reads "True", "False" or "".
  std::string GetFieldText(int index) const;
  // Only while editing or inserting; raises EDatabaseError for a value the
  // field cannot hold (not a number, no date, too long a number).
  void SetFieldText(int index, const std::string& text);

  // Physical records, deleted ones included.
  int RecordCount() const;
  // The count the header gave when the table was opened: more than
  // RecordCount when the file holds fewer whole records than it claims.
  int HeaderRecordCount() const;
  // The current record's physical number from 1; 0 when there is none.
  int RecNo() const;
  // Walk the records that are not marked deleted.
  void First();
  void Next();
  bool Eof() const;
  // Raises EDatabaseError for a number outside 1 .. RecordCount.
  void MoveTo(int recNo);

  void Append();
  void Edit();
  // Writes the record; the header names the new count only from Flush or
  // Close on, so that an export of many records does not rewrite it for
  // each (other readers see what was appended after the flush).
  void Post();
  void Cancel();
  // Puts the record count into the header and hands the file to the
  // system.  Raises EDatabaseError when the header, or records posted
  // before, cannot be written (a full disk).
  void Flush();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
