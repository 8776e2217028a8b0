#include "render/area_symbols/area_symbol.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "framework/core/class_registry.h"
#include "platform/canvas.h"
#include "render/devices/device.h"
#include "render/palette/palette.h"

namespace {

// Crossings are kept in thousandths of a pixel.
constexpr std::int64_t kFixed = 1000;
// The line counter of the diagonal scan starts here.
constexpr std::int64_t kDiagonalStart = 15000;

std::int64_t FloorMod(std::int64_t value, std::int64_t period) {
  const std::int64_t r = value % period;
  return r < 0 ? r + period : r;
}

// Device coordinates never lie beyond +-32000; the fixed-point edges rely on it.
TDevicePoint Clamped(const TDevicePoint& p) {
  constexpr std::int32_t kLimit = 32000;
  return {std::clamp(p.X, -kLimit, kLimit), std::clamp(p.Y, -kLimit, kLimit)};
}

std::int32_t PixelOf(std::int32_t fixed) {
  return static_cast<std::int32_t>(std::floor(static_cast<double>(fixed) / kFixed + 0.5));
}

// A run of pixels from..to inclusive along the line, clipped to the span.
void Run(platform::Canvas& canvas, bool swapAxes, std::int32_t line, std::int64_t from, std::int64_t to,
         std::int32_t spanFrom, std::int32_t spanTo) {
  const auto a = static_cast<std::int32_t>(std::max<std::int64_t>(from, spanFrom));
  const auto b = static_cast<std::int32_t>(std::min<std::int64_t>(to, spanTo));
  if (a > b) return;
  if (swapAxes) {
    canvas.MoveTo(line, a);
    canvas.LineTo(line, b + 1);
  } else {
    canvas.MoveTo(a, line);
    canvas.LineTo(b + 1, line);
  }
}

}  // namespace

std::uint32_t TSrafa::ColourValue() const {
  return ByTrueColor ? static_cast<std::uint32_t>(TrueColor) : ColourOfCode(Barva);
}

TPlosnaZnacka::TPlosnaZnacka() = default;
TPlosnaZnacka::~TPlosnaZnacka() = default;

void TPlosnaZnacka::UpdateActiveEdges(std::int32_t last, std::int32_t Y, std::int32_t& first, std::int32_t& index) {
  const auto end = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  while (first <= end && Edges[static_cast<std::size_t>(first)].TopY >= Y) ++first;
  while (index < first && Edges[static_cast<std::size_t>(index)].Count == 0) ++index;
}

void TPlosnaZnacka::SortActiveEdges(std::int32_t& count, std::int32_t last, std::int32_t first) {
  count = 0;
  first = std::max(first, 0);
  last = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  if (first > last) return;
  const auto begin = Edges.begin() + first, end = Edges.begin() + last + 1;
  // Stable: the edges meeting at a vertex keep the order they were entered in.
  std::stable_sort(begin, end, [](const TEdgeRecord& a, const TEdgeRecord& b) {
    if ((a.Count > 0) != (b.Count > 0)) return a.Count == 0;
    return a.X < b.X;
  });
  count = static_cast<std::int32_t>(std::count_if(begin, end, [](const TEdgeRecord& e) { return e.Count > 0; }));
}

void TPlosnaZnacka::StepActiveEdges(std::int32_t first, std::int32_t last) {
  first = std::max(first, 0);
  last = std::min<std::int32_t>(last, static_cast<std::int32_t>(Edges.size()) - 1);
  for (std::int32_t i = first; i <= last; ++i) {
    TEdgeRecord& edge = Edges[static_cast<std::size_t>(i)];
    if (edge.Count <= 0) continue;
    --edge.Count;
    edge.X -= edge.Step;
  }
}

bool TPlosnaZnacka::BuildEdges(const TDevicePoint* points, const std::int32_t* counts, std::int32_t ringCount,
                               bool swapAxes, std::int32_t& top, std::int32_t& bottom) {
  Edges.clear();
  top = 0;
  bottom = 0;
  bool first = true;
  std::int64_t start = 0;
  for (std::int32_t ring = 0; ring < ringCount; ++ring) {
    const std::int32_t count = counts[ring];
    for (std::int32_t i = 0; i < count; ++i) {
      TDevicePoint p = Clamped(points[start + i]);
      TDevicePoint q = Clamped(points[start + (i + 1) % count]);
      if (swapAxes) {
        std::swap(p.X, p.Y);
        std::swap(q.X, q.Y);
      }
      if (p.Y == q.Y) continue;
      if (p.Y < q.Y) std::swap(p, q);
      const std::int32_t lines = p.Y - q.Y;
      // Lines p.Y down to q.Y + 1: a shared vertex counts once.
      const double step = static_cast<double>(p.X - q.X) * kFixed / lines;
      Edges.push_back({p.Y, static_cast<std::int32_t>(p.X * kFixed), lines,
                       static_cast<std::int32_t>(std::lround(step))});
      top = first ? p.Y : std::max(top, p.Y);
      bottom = first ? q.Y : std::min(bottom, q.Y);
      first = false;
    }
    start += count;
  }
  std::stable_sort(Edges.begin(), Edges.end(), [](const TEdgeRecord& a, const TEdgeRecord& b) { return a.TopY > b.TopY; });
  return Edges.size() >= 2;
}

template <class Span, class LineDone>
void TPlosnaZnacka::Scan(std::int32_t top, std::int32_t bottom, Span span, LineDone lineDone) {
  const auto last = static_cast<std::int32_t>(Edges.size()) - 1;
  std::int32_t first = 0, index = 0;
  for (std::int32_t line = top; line > bottom; --line) {
    UpdateActiveEdges(last, line, first, index);
    std::int32_t count = 0;
    SortActiveEdges(count, first - 1, index);
    // Even-odd: first crossing with second, third with fourth.
    for (std::int32_t i = first - count; i + 1 < first; i += 2)
      span(line, PixelOf(Edges[static_cast<std::size_t>(i)].X), PixelOf(Edges[static_cast<std::size_t>(i + 1)].X));
    lineDone();
    StepActiveEdges(index, first - 1);
  }
}

void TPlosnaZnacka::DrawAxisLayer(TDevice& device, const TVrstvaSraf& layer, const TDevicePoint* points,
                                  const std::int32_t* counts, std::int32_t ringCount) {
  const bool swapAxes = layer.Direction == hd90;
  std::int32_t top = 0, bottom = 0;
  if (!BuildEdges(points, counts, ringCount, swapAxes, top, bottom)) return;
  platform::Canvas& canvas = *device.GetHandle();
  std::vector<std::uint32_t> colours;
  for (const auto& set : layer.Sets) colours.push_back(set->ColourValue());
  std::size_t current = 0;
  // Lines left of the current set's band, then of its gap.
  std::int32_t bandLeft = layer.Sets[0]->Sirka;
  std::int32_t gapLeft = layer.Sets[0]->Vzdalenost;
  const auto span = [&](std::int32_t line, std::int32_t from, std::int32_t to) {
    if (bandLeft <= 0) return;
    const TSrafa& set = *layer.Sets[current];
    canvas.Pen.Color = colours[current];
    if (!set.Dashed) {
      Run(canvas, swapAxes, line, from, to, from, to);
      return;
    }
    // Dashes anchored to the device: every period starts at a multiple of
    // it, with the gap D1, the dash, and the gap D2.
    const std::int64_t period = set.DashPeriod();
    for (std::int64_t start = from - FloorMod(from, period); start <= to; start += period)
      Run(canvas, swapAxes, line, start + set.D1, start + set.D1 + set.DelkaVzoru, from, to);
  };
  // The bands move on every line, crossed or not.
  const auto lineDone = [&] {
    if (bandLeft > 0)
      --bandLeft;
    else
      --gapLeft;
    if (bandLeft <= 0 && gapLeft <= 0) {
      current = (current + 1) % layer.Sets.size();
      bandLeft = layer.Sets[current]->Sirka;
      gapLeft = layer.Sets[current]->Vzdalenost;
    }
  };
  Scan(top, bottom, span, lineDone);
}

void TPlosnaZnacka::DrawDiagonalLayer(TDevice& device, const TVrstvaSraf& layer, const TDevicePoint* points,
                                      const std::int32_t* counts, std::int32_t ringCount) {
  std::int32_t top = 0, bottom = 0;
  if (!BuildEdges(points, counts, ringCount, false, top, bottom)) return;
  platform::Canvas& canvas = *device.GetHandle();
  std::vector<std::uint32_t> colours;
  std::int64_t period = 0;
  for (const auto& set : layer.Sets) {
    colours.push_back(set->ColourValue());
    period += std::int64_t{set->Sirka} + set->Vzdalenost;
  }
  if (period <= 0) return;
  std::int64_t counter = kDiagonalStart;
  const std::int64_t move = layer.Direction == hd45 ? 1 : -1;
  const auto span = [&](std::int32_t line, std::int32_t from, std::int32_t to) {
    std::int64_t phase = FloorMod(from + counter, period);
    // The set whose stretch holds the phase, and where that stretch began.
    std::size_t current = 0;
    while (phase >= std::int64_t{layer.Sets[current]->Sirka} + layer.Sets[current]->Vzdalenost) {
      phase -= std::int64_t{layer.Sets[current]->Sirka} + layer.Sets[current]->Vzdalenost;
      ++current;
    }
    for (std::int64_t start = from - phase; start <= to; current = (current + 1) % layer.Sets.size()) {
      const TSrafa& set = *layer.Sets[current];
      canvas.Pen.Color = colours[current];
      Run(canvas, false, line, start, start + set.Sirka, from, to);
      start += std::int64_t{set.Sirka} + set.Vzdalenost;
    }
  };
  Scan(top, bottom, span, [&] { counter += move; });
}

void TPlosnaZnacka::Draw(TDevice& device, const TDevicePoint* points, const std::int32_t* counts,
                         std::int32_t ringCount) {
  if (!points || !counts || ringCount <= 0) return;
  platform::Canvas& canvas = *device.GetHandle();
  std::int64_t total = 0;
  for (std::int32_t ring = 0; ring < ringCount; ++ring) total += std::max(0, counts[ring]);
  if (Podklad != 0 || FillBackground) {
    canvas.Brush = {Podklad == 0 ? ColourOfCode(0)
                    : ByTrueColor ? static_cast<std::uint32_t>(TrueColor)
                                  : ColourOfCode(Podklad),
                    platform::BrushStyle::Solid};
    canvas.Pen.Style = platform::PenStyle::Clear;
    std::vector<platform::PixelPoint> pixels;
    pixels.reserve(static_cast<std::size_t>(total));
    for (std::int64_t i = 0; i < total; ++i) pixels.push_back({points[i].X, points[i].Y});
    canvas.PolyPolygon(pixels, std::span<const std::int32_t>(counts, static_cast<std::size_t>(ringCount)));
  }
  if (NoHatching) return;
  canvas.Pen.Style = platform::PenStyle::Solid;
  canvas.Pen.Width = 1;
  for (const auto& layer : Layers) {
    if (layer->Sets.empty()) continue;
    if (layer->Direction == hd45 || layer->Direction == hd135)
      DrawDiagonalLayer(device, *layer, points, counts, ringCount);
    else
      DrawAxisLayer(device, *layer, points, counts, ringCount);
  }
  Edges.clear();
}

TClass TPlosnaZnacka::StaticClass() {
  static const TClassInfo info = DescribeClass<TPlosnaZnacka>(
      "TPlosnaZnacka", TOwnerElement::StaticClass(), "e_PlZn",
      {FieldProp("TrueColor", &TPlosnaZnacka::TrueColor), FieldProp("ByTrueColor", &TPlosnaZnacka::ByTrueColor),
       FieldProp("FillBackground", &TPlosnaZnacka::FillBackground), FieldProp("Color", &TPlosnaZnacka::Color)});
  return &info;
}

TClass TSrafa::StaticClass() {
  static const TClassInfo info = DescribeClass<TSrafa>(
      "TSrafa", TElement::StaticClass(), "e_PlZn",
      {FieldProp("TrueColor", &TSrafa::TrueColor), FieldProp("ByTrueColor", &TSrafa::ByTrueColor),
       FieldProp("Color", &TSrafa::Color)});
  return &info;
}

void RegisterAreaSymbolClasses() {
  RegisterKestuClass(TPlosnaZnacka::StaticClass());
  RegisterKestuClass(TSrafa::StaticClass());
}
