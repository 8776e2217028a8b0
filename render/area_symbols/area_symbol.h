#pragma once
// An area symbol of the GIS: a background colour and layers of hatching,
// painted over an area's rings in device pixels.  Painting scans the rings
// one pixel line at a time, from the largest line coordinate down, through an
// edge table: the scan routines here keep its active edges.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "spatial/geometry/geometry_types.h"

class TDevice;

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

// One hatch set: line width, spacing, colour and dashes, all in pixels.
class TSrafa : public TElement {
  KESTX_CLASS(TSrafa)
 public:
  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  std::int32_t Color = 0;

  std::int32_t Sirka = 0;
  std::int16_t Barva = 0;
  std::int32_t Vzdalenost = 0;
  bool Dashed = false;
  std::int32_t D1 = 0;
  std::int32_t DelkaVzoru = 0;
  std::int32_t D2 = 0;
  std::int32_t DashPeriod() const { return D1 + DelkaVzoru + D2; }
  std::uint32_t ColourValue() const;
};

// Direction indices of a hatching layer.
enum THatchDirection : std::uint8_t { hd0 = 0, hd45 = 1, hd90 = 2, hd135 = 3 };

// One layer of hatching: sets in one direction, drawn one after another.
struct TVrstvaSraf {
  std::uint8_t Direction = hd0;
  // The ring in drawing order: the set read last first.
  std::vector<std::unique_ptr<TSrafa>> Sets;
};

class TPlosnaZnacka : public TOwnerElement {
  KESTX_CLASS(TPlosnaZnacka)
 public:
  TPlosnaZnacka();
  ~TPlosnaZnacka() override;

  std::int32_t TrueColor = 0;
  bool ByTrueColor = false;
  bool FillBackground = false;
  std::int32_t Color = 0;

  // -1 until the symbol is read.
  std::int32_t Kod = -1;
  std::string Nazev;
  // The background's colour code; 0 for none.
  std::int16_t Podklad = 0;
  // Stored only: no other symbol is drawn for or instead of this one.
  std::int32_t Zakladniznacka = 0;
  std::int32_t Nahradniznacka = 0;
  // In drawing order: the layer read last first.
  std::vector<std::unique_ptr<TVrstvaSraf>> Layers;
  // Every hatch colour is the background's: only the background is painted.
  bool NoHatching = false;

  // Paints the background and the hatching over the rings (device pixels,
  // the outer ring and the holes one after another).
  void Draw(TDevice& device, const TDevicePoint* points, const std::int32_t* counts, std::int32_t ringCount);

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

 private:
  // The edge table of the rings scanned along Y, or along X when the axes
  // are swapped; false when fewer than two edges cross any line.
  bool BuildEdges(const TDevicePoint* points, const std::int32_t* counts, std::int32_t ringCount, bool swapAxes,
                  std::int32_t& top, std::int32_t& bottom);
  // Calls span(line, from, to) for each pair of crossings of each line,
  // from the largest line down, and lineDone() after each line.
  template <class Span, class LineDone>
  void Scan(std::int32_t top, std::int32_t bottom, Span span, LineDone lineDone);
  void DrawAxisLayer(TDevice& device, const TVrstvaSraf& layer, const TDevicePoint* points, const std::int32_t* counts,
                     std::int32_t ringCount);
  void DrawDiagonalLayer(TDevice& device, const TVrstvaSraf& layer, const TDevicePoint* points,
                         const std::int32_t* counts, std::int32_t ringCount);
};

void RegisterAreaSymbolClasses();
