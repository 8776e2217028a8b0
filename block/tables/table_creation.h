#pragma once
// Creating attribute tables: from a text template (".CRT": one field per
// line, name, type letter, length and decimals), from the structure of
// another table, and through the engine's "create table" statement.  Every
// field is checked before a table is made; a table counts as made only
// when its file exists afterwards.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"

// One field: C character, D date, L logical, N numeric.
class TFieldDefElement : public TNameElement {
  KESTX_CLASS(TFieldDefElement)
 public:
  char FieldType = 'C';
  std::uint16_t Length = 0;
  std::uint16_t Decimals = 0;

  // char(n), date, boolean, decimal(l,d); empty for any other type.
  std::string SQLType() const;
};

// The statement that makes TableName with the TFieldDefElement children of
// FieldDefs, one line per field.
std::string CreateTableStatement(const std::string& TableName, const TEntity& FieldDefs);
// Deletes TableName when it exists and runs the statement; an engine error
// is shown ("Nemohu vytvořit tabulku ...") and nothing is created.  True
// when the table exists afterwards.
bool CreateTableBySQL(const std::string& TableName, const TEntity& FieldDefs);
// Bad lines are shown and skipped; a CISLO N(6,0) field is appended when no
// line names it.  Done when the table was made, which takes more than one
// field.
void CreateFromTemplate(const std::string& TemplateFile, const std::string& TableName, bool& Done);
// The fields of SourceTable's header; refused when SourceTable is TableName
// itself or its header does not hold together.
void CreateFromDBF(const std::string& SourceTable, const std::string& TableName, bool& Done);
