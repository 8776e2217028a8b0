#pragma once
// An area symbol of the GIS: a background colour and layers of hatching,
// painted over an area's rings in device pixels.  Painting scans the rings
// one pixel line at a time, from the largest line coordinate down, through an
// edge table: the scan routines here keep its active edges.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/elements.h"

// One edge of the scan, 16 bytes: the line where it begins (its largest
// coordinate), its crossing there in thousandths of a pixel, the lines it
// still spans, and how far its crossing moves back each line.
struct TEdgeRecord {
  std::int32_t TopY = 0;
  std::int32_t X = 0;
  std::int32_t Count = 0;
  std::int32_t Step = 0;
  bool operator==(const TEdgeRecord&) const = default;
};
static_assert(sizeof(TEdgeRecord) == 16);

class TPlosnaZnacka : public TOwnerElement {
  KESTX_CLASS(TPlosnaZnacka)
 public:
  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  bool FillBackground = false;
  std::int32_t Color = 0;

  // -1 until the symbol is read.
  std::int32_t Kod = -1;
  std::string Nazev;
  // The background's colour code; 0 for none.
  std::int16_t Podklad = 0;
  std::int32_t Zakladniznacka = 0;
  std::int32_t Nahradniznacka = 0;

  // The edge table of the scan, sorted by TopY, largest first.
  std::vector<TEdgeRecord> Edges;

  // Enters the records up to last whose TopY is at or above the line Y
  // (first is one past the entered ones), and moves index, the first record
  // still worth looking at, past the exhausted ones (Count 0) before it.
  void UpdateActiveEdges(std::int32_t last, std::int32_t Y, std::int32_t& first, std::int32_t& index);
  // Counts the records first..last with lines left and orders the range:
  // the exhausted ones first, then the others by their crossing, so that the
  // crossings of the line are the last count records.
  void SortActiveEdges(std::int32_t& count, std::int32_t last, std::int32_t first);
  // Moves each record first..last with lines left to the next line: one line
  // fewer and its crossing back by its step.
  void StepActiveEdges(std::int32_t first, std::int32_t last);
};

void RegisterAreaSymbolClasses();
