#pragma once
// The block tests' fixture and what every block test uses.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "block/block_classes.h"
#include "block/files/block_records.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "framework/values/real48.h"
#include "platform/dbase_table.h"
#include "platform/files.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "tests/platform/temp_folder.h"
#include "tests/spatial/spatial_fixture.h"

// A record's bytes as a vector.
template <std::size_t N>
Bytes AsBytes(const std::array<std::uint8_t, N>& bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

// A file's bytes, and a file made of bytes.
inline Bytes FileContent(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
inline void WriteFileBytes(const std::string& fileName, const Bytes& bytes) {
  platform::TFileStream file(fileName, platform::TFileStream::Mode::Create);
  if (!bytes.empty()) file.Write(bytes.data(), bytes.size());
}

// The numbers (Cislo) of the objects of a layer, in order.
inline std::vector<int> NumbersOf(const TEntity& list) {
  std::vector<int> numbers;
  for (TElement* child : list.Children()) numbers.push_back(child->GetPropertyInteger("Cislo"));
  return numbers;
}

// Vertices of a polyline as (x, y) pairs.
inline std::vector<std::pair<double, double>> VerticesOf(const TPolyElement& line) {
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < line.GetCoordsCount(); ++i) points.emplace_back(line.GetCoordX(i), line.GetCoordY(i));
  return points;
}

// The spatial fixture with the block classes registered and a block folder
// of its own.
class BlockTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    RegisterBlockClasses();
  }

  std::string File(const std::string& name) const { return folder.File(name); }

  // A table of the given fields ("NAME char(10), ...") with one record per
  // row, values in field order.
  std::string MakeTable(const std::string& name, const std::string& fields,
                        const std::vector<std::vector<std::string>>& rows) {
    const std::string file = File(name);
    platform::ExecuteCreateTable("create table \"" + file + "\" (" + fields + ")");
    platform::DbaseTable table;
    table.SetTableName(file);
    table.SetReadOnly(false);
    table.Open();
    for (const auto& row : rows) {
      table.Append();
      for (std::size_t i = 0; i < row.size(); ++i) table.SetFieldText(static_cast<int>(i), row[i]);
      table.Post();
    }
    return file;
  }
  // The table's records as texts, in field order.
  static std::vector<std::vector<std::string>> Rows(const std::string& file) {
    platform::DbaseTable table;
    table.SetTableName(file);
    table.Open();
    std::vector<std::vector<std::string>> rows;
    for (table.First(); !table.Eof(); table.Next()) {
      rows.emplace_back();
      for (int i = 0; i < table.FieldCount(); ++i) rows.back().push_back(table.GetFieldText(i));
    }
    return rows;
  }
  static std::vector<std::string> FieldNames(const std::string& file) {
    platform::DbaseTable table;
    table.SetTableName(file);
    table.Open();
    std::vector<std::string> names;
    for (int i = 0; i < table.FieldCount(); ++i)
      names.push_back(table.Field(i).Name + " " + table.Field(i).Type + std::to_string(table.Field(i).Length) + "," +
                      std::to_string(table.Field(i).Decimals));
    return names;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& shown : dialogs.Messages) texts.push_back(shown.Text);
    return texts;
  }

  // A block object of entity class E with props P, filed in the block.
  template <class E, class P>
  E* Filed(TLumarBlockRegister& block, std::int32_t cislo, std::int16_t druh) {
    auto* entity = new E;
    auto* props = new P;
    props->Cislo = cislo;
    props->Druh = druh;
    entity->SetProperties(props);
    block.RegisterElement(entity);
    return entity;
  }

  TempFolder folder;
};
