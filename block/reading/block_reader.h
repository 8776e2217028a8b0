#pragma once
// The reader of a whole GIS block, one layer at a time: points, lines, line
// symbols, areas (with their parents) and texts, each into a new list named
// by the block and the layer type.  The block's INFO.TXT gives the code
// page of its texts and its box, which lets a caller skip blocks outside
// its area without opening their files.
#include <string>
#include <vector>

#include "block/files/block_info.h"
#include "block/reading/reader_base.h"
#include "spatial/geometry/geometry_types.h"

class TAreaString;
class TPointString;
class TPolyLineString;
class TRaster;
class TSpaceEntityString;
class TTextString;

class TLumaRBlokInfoReader : public TLumarManipulator {
  KESTX_CLASS(TLumaRBlokInfoReader)
 public:
  // INFO.TXT of the block; a block without one has the defaults.
  void ReadInfo(const std::string& Block);
  const TBlockDescription& Info() const { return info_; }
  // The box in world coordinates; all 0 without one.
  double MaxX() const { return info_.BoundingRect[0]; }
  double MaxY() const { return info_.BoundingRect[1]; }
  double MinX() const { return info_.BoundingRect[2]; }
  double MinY() const { return info_.BoundingRect[3]; }
  // Coordinate system 1 of the world's library; nil without a coordinate
  // world.
  TWCS* GetWCS() override;

 private:
  TBlockDescription info_;
};

class TLumaRBlokReader : public TLumaRReader {
  KESTX_CLASS(TLumaRBlokReader)
 public:
  TLumaRBlokReader();
  ~TLumaRBlokReader() override;

  // Areas as polygons of their boundary vertices rather than of their
  // shared lines.
  bool ReadAreaAsBoundary = false;

  TCodePage CodePage() const { return codePage_; }
  TLumaRBlokInfoReader* InfoReader() const { return infoReader_.get(); }

  // The block's INFO.TXT, its coordinate system and code page.
  virtual void Create(const std::string& Block);

  // Each a new list (the caller owns it) named BlockName + " " + type, with
  // the dynamic properties BlockName and TYPE; nil when the layer's file
  // cannot be opened or its condition cannot be parsed.
  TPointString* ReadPoints();
  TPolyLineString* ReadLines();
  TPointString* ReadLineSymbols();
  TAreaString* ReadAreas();
  TTextString* ReadTexts();

 private:
  // Hands the reader's restrictions and overrides to a file reader.
  void HandOver(TLumaRReader& Reader, bool Everything);
  // Whether the object meets the clip rectangle (points: lie in it).
  bool InsideClip(const TElement* Object) const;
  // Adds the object to the list, or frees it when it fails the clip test
  // and nothing else holds it; then takes it out again when the condition
  // fails.
  void AddClipped(TLumaRReader& Reader, TSpaceEntityString& List, TElement* Object, bool TestCondition);
  void LogPartial(const TLumaRReader& Reader);

  TCodePage codePage_ = cpIBM;
  std::unique_ptr<TLumaRBlokInfoReader> infoReader_;
};

// True when the block has no box in INFO.TXT (MinX and MaxX 0) or its box
// meets Rect.
bool BlockMeetsRect(const std::string& BlockName, const TRealRect& Rect);

// The kind filter of the first parameter whose name begins with "!" (keep
// the listed kinds) or "-" (drop them): the rest of the name is the
// property, the value the list of kind numbers for the layer's kind letter.
// Nil without such a parameter or with an empty list.
TFiltrDruhuObjektu* CreateKindFilter(const std::string& LayerType, const std::vector<std::string>& Params);

// A new raster of the file; nil when there is no such file.  Raises (and
// frees the raster) when the file cannot be opened.
TRaster* CreateRasterFromFile(const std::string& FileName);

// One layer ("LIN", "PNT", "ARE", "TXT" or "LINSYM") of a block with the
// parameters of a layer list: nil when Rect is given (all four values
// non-zero) and the block's box misses it, or for another type.  The
// parameters make the kind filter and set the reader's properties ("@"
// names), Clip restricts the read to Rect, and every parameter (without
// its "@") becomes a property of the list.
TSpaceEntityString* ReadBlockLayer(const std::string& LayerType, const std::string& BlockName,
                                   const std::vector<std::string>& Params, const TRealRect& Rect, bool Clip,
                                   const TMethod& OnNewObject);

void RegisterBlockReaderClasses();
