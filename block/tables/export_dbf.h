#pragma once
// The attribute writer the export tools run once per exported object: it
// makes the target table (from a template of the control folder, or from
// the structure of the table the object came from), appends one record and
// fills it from dynamic values, the source record, the object's properties
// and its geometry.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/tools/tools.h"

class TLumarDBFTable;
class TDynamicProperties;

class TExportDBFClass : public TTool {
  KESTX_CLASS(TExportDBFClass)
 public:
  TExportDBFClass();
  ~TExportDBFClass() override;

  // The target block's folder.
  std::string ExpBlockName;
  // The folder of the ".CRT" templates and ".TDS" transfer scripts.
  std::string ControlDir;
  // Take the structure from the object's own table, not from a template.
  bool CreateFromSource = false;
  char ObjectType = 'L';
  std::int16_t Druh = 0;
  // Areas in hectares instead of square units.
  bool PlochyVHa = false;
  // Dynamic values and the source record both, not only the dynamic values.
  bool BothSources = false;

  // Not owned.
  TDynamicProperties* DynamicProps() const;
  void SetDynamicProps(TDynamicProperties* props);
  // ExpBlockName + letter + kind in four digits + ".DBF".
  std::string DBFName() const;
  // Nil until the first object, and after a table could not be made.
  TLumarDBFTable* Table() const { return table_.get(); }

  // Makes the target table from the template, else from SourceTable (the
  // table the object came from); true when it was made.
  bool EnsureTable(const std::string& SourceTable);
  // The object's number, kind, colour, symbol, reference point, length and
  // area into the fields of those names that the table has.
  void WriteRecord(const TElement* Element);
  // One record for the object; other readers of the table see it after the
  // next Flush.  The export tools write their objects so and flush once.
  // The source record is looked up in the table the object's properties
  // name, or in SourceTable: the one they named before a tool changed the
  // object's kind.
  void WriteObject(const TElement* element);
  void WriteObject(const TElement* element, const std::string& SourceTable);
  // The table's header and records out to the file.
  void Flush();
  // The table's header and records out to the file, which is closed: the
  // next object opens it again.
  void CloseTable();
  // WriteObject for the Input, then Flush.
  void DoIt() override;

 private:
  std::string ControlFile(const std::string& ext) const;
  // The open table's indices of the fields WriteRecord fills, -1 for those
  // it lacks: found once per table, not by name for every record.
  const std::array<int, 8>& RecordFields();
  // Another table, or the same one made anew.
  void ForgetFields() { fieldsOf_.clear(); }

  // The target table's and the transfer script's names, made again only
  // when a folder, the letter or the kind they come from changes.
  struct TNames {
    std::string blockDir;
    std::string controlDir;
    char letter = 0;
    std::int16_t kind = 0;
    std::string table;
    std::string script;
  };
  const TNames& Names();

  TNames names_;
  std::unique_ptr<TLumarDBFTable> table_;
  std::array<int, 8> fields_{};
  std::string fieldsOf_;
  TElementLink dynamicProps_;
};
