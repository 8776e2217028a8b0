// Writes the attribute table that tests/block/dbase_crosscheck.py reads
// with an independent dBASE reader: dbase_table_writer <file>.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "platform/dbase_table.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: dbase_table_writer <file>\n";
    return 2;
  }
  const std::string file = argv[1];
  try {
    platform::DeleteFile(file);
    platform::ExecuteCreateTable("create table \"" + file +
                                 "\" (\nNAZEV char(40),\nPLOCHA decimal(10,2),\nDATUM date,\nPLATNY boolean,\n"
                                 "CISLO decimal(6,0))");
    platform::DbaseTable table;
    table.SetTableName(file);
    table.SetReadOnly(false);
    table.Open();
    const std::vector<std::vector<std::string>> rows = {
        {"Příliš žluťoučký kůň úpěl ďábelské ódy", "12.345", "20261207", "T", "1"},
        {"ŠŤÁVA Ěščřžýáíé ŮŇĎ", "-0,5", "29.2.2024", "F", "3"},
        {"", "", "", "", "4"},
    };
    for (const auto& row : rows) {
      table.Append();
      for (int i = 0; i < table.FieldCount(); ++i) table.SetFieldText(i, row[static_cast<std::size_t>(i)]);
      table.Post();
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
