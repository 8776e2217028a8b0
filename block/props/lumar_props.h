#pragma once
// The property objects of map objects that come from a GIS block or go into
// one: what the block files store per object besides geometry (number, kind,
// colour, symbol, selection and precision, and the text, line and area
// attributes), and the tie to the block's attribute table of the object's
// class, whose fields answer the names no class publishes.
#include <cstdint>
#include <memory>
#include <string>

#include "block/files/block_info.h"
#include "block/files/block_records.h"
#include "spatial/objects/space_entity_properties.h"

class T2DCoordinate;
class TLumarDBFTable;

class TLumarProps : public TSpaceEntityProps {
  KESTX_CLASS(TLumarProps)
 public:
  std::int32_t Cislo = 0;
  std::int16_t Druh = 0;
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  bool Vyber = false;
  std::uint8_t Presnost = 0;
  // A topology check marks a problem object with -23.
  std::int16_t Symbol = 0;

  // ' ' without an entity; else by the entity's class: B point, T text,
  // L polyline, P area, X anything else.
  char PhysicalObjectType() const;
  // The letter of the attribute table; each descendant answers its own.
  virtual char GetObjectType() const;
  // Block folder + letter + the primary props' kind in four digits + ".DBF";
  // empty without a block or without block props as the primary ones.
  std::string GetDBFName() const;
  // The attribute table of the object's register; nil when not filed in a
  // block register of this subsystem.
  TLumarDBFTable* GetDBFTable() const;

  int GetSpaceID() const override;
  bool HasField(const std::string& Name) const override;
  void GetFieldValue(const std::string& Name, std::string& Value) const override;
  void SetFieldValue(const std::string& Name, const std::string& Value) override;
  bool LocateRecord() const override;
  // A published name goes to the property.  A field of the attribute table
  // is written into the record whose CISLO is this object's number; when
  // there is no such record that is reported and nothing changes.  Any
  // other name is ignored.
  // A table that cannot be read, or a value its field cannot hold, ends as
  // other property text errors do: "Err Field Value" on reading, the
  // "Error filling property" box on writing.
  std::string GetPropertyText(const std::string& name) const override;
  void SetPropertyText(const std::string& name, const std::string& text) override;

 private:
  void SetTableField(const std::string& name, const std::string& text);
};

class TLumarPointProps : public TLumarProps {
  KESTX_CLASS(TLumarPointProps)
 public:
  char GetObjectType() const override { return 'B'; }
};

class TLumarTextProps : public TLumarProps {
  KESTX_CLASS(TLumarTextProps)
 public:
  TLumarTextProps();
  ~TLumarTextProps() override;

  TCodePage CodePage = cpIBM;
  std::uint8_t LumarFont = 0;
  double Height = 0;
  double WidthCoef = 0;
  double Direction = 0;
  double Slope = 0;
  double Distance = 0;
  // Bits taZrusenT, taOkT, taTxtZmena, taT30; a deleted text has taZrusenT.
  std::uint8_t TextAtrib = 0;
  std::uint8_t TextMode = 0;

  // Held as a space entity holds its properties: a point nothing else holds
  // is freed with the props or when replaced, one held elsewhere as well
  // lives on, and a point freed elsewhere leaves the field empty.  Created
  // on first read.
  T2DCoordinate* StartPoint() const;
  void SetStartPoint(T2DCoordinate* point);
  char GetObjectType() const override { return 'T'; }
  void FieldElementFreed(TElement* element) override;

 private:
  TElement* startPoint_ = nullptr;
};

class TLumarLineProps : public TLumarProps {
  KESTX_CLASS(TLumarLineProps)
 public:
  // Numbers of the areas on either side; 0 none.
  std::int32_t LeftArea = 0;
  std::int32_t RightArea = 0;
  // The lines meeting this one's nodes, in the order of the line records;
  // written and read verbatim.
  TLineLinks Links{};

  std::int32_t GetArea(bool Left) const { return Left ? LeftArea : RightArea; }
  // Line meets this line's node with its beginning (AtBeginning) or end.
  void SetLink(TLineLinkSlot slot, std::int32_t Line, bool AtBeginning);
  char GetObjectType() const override { return 'L'; }
};

class TLumarAreaProps : public TLumarProps {
  KESTX_CLASS(TLumarAreaProps)
 public:
  // The first boundary line; the parent area, 0 none.
  std::int32_t LineNo = 0;
  std::int32_t PaterNo = 0;
  bool HasChildren = false;

  // The entity's area in hectares; 0 unless the entity is an area.
  double Hektars() const;
  char GetObjectType() const override { return 'P'; }
};

void RegisterE_LmrPrpClasses();
