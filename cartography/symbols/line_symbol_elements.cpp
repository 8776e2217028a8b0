#include "cartography/symbols/line_symbol_elements.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cartography/symbols/parallel.h"
#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "render/palette/palette.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/geometry/projection.h"

namespace {

TRealPoint Turn(const TRealPoint& p, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {p.X * c - p.Y * s, p.X * s + p.Y * c};
}

TRealPoint Plus(const TRealPoint& a, const TRealPoint& b) { return {a.X + b.X, a.Y + b.Y}; }
TRealPoint Times(const TRealPoint& a, double k) { return {a.X * k, a.Y * k}; }

// An element shorter than this draws nothing.
constexpr double kSmallestElement = 0.001;
// Lengths that fit within this share of a segment count as fitting, so that
// a pattern that ends exactly on a vertex is not split by rounding.
constexpr double kFitSlack = 1e-9;

std::int32_t Pixels(TDevice& device, double world) { return device.Projection()->WorldToDeviceLength(world); }

double MillimetresToWorld(TDevice& device, double mm) { return mm / 1000 * device.Projection()->VirtualScale(); }

// The stretch of the line through a along unit, in distances from a, whose
// points lie in the rectangle widened by margin; from > to when it passes
// the rectangle by.
void StretchInside(const TRealPoint& a, const TRealPoint& unit, const TRealRect& rect, double margin, double& from,
                   double& to) {
  from = -std::numeric_limits<double>::infinity();
  to = std::numeric_limits<double>::infinity();
  const auto axis = [&](double start, double step, double min, double max) {
    if (step == 0) {
      if (start < min || start > max) from = std::numeric_limits<double>::infinity();
      return;
    }
    const double enter = (min - start) / step;
    const double leave = (max - start) / step;
    from = std::max(from, std::min(enter, leave));
    to = std::min(to, std::max(enter, leave));
  };
  axis(a.X, unit.X, rect.MinX - margin, rect.MaxX + margin);
  axis(a.Y, unit.Y, rect.MinY - margin, rect.MaxY + margin);
}

// Of `whole` periods that start at s, s + along, s + 2 along ... (distances
// along the line), how many at the head start outside [from, to]: all when
// the walk never comes into that stretch, else one fewer than it takes to
// come in, so that rounding never passes over the first period inside.
double PeriodsOutside(double s, double along, double from, double to, double whole) {
  if (!(from <= to)) return whole;
  if (s >= from && s <= to) return 0;
  const double towards = s < from ? along : -along;
  if (!(towards > 0)) return whole;
  const double distance = s < from ? from - s : s - to;
  return std::min(whole, std::max(0.0, std::ceil(distance / towards) - 1));
}

// What one segment leaves for the next.
struct Carry {
  enum Kind { None, Gap, Rest, Whole } kind = None;
  std::size_t element = 0;
  double length = 0;
};

}  // namespace

void TLinZnacka::SetDirection(double angle) {
  direction_ = angle;
  for (TBodZnacky& point : Points) point.Turned = Turn(point.Point, angle);
  const double gapAngle = Flags & kLomBod1 ? angle + M_PI : angle;
  gapVector_ = {Vzdalenost * std::cos(gapAngle), Vzdalenost * std::sin(gapAngle)};
}

void TLinZnacka::Prepare() {
  Points.clear();
  Points.push_back({1, Turn({Velikost, 0}, Uhel), {}});
  if (Uhel != 0) Points.push_back({0, {Velikost, 0}, {}});
  gapVector_ = {Vzdalenost, 0};
}

void TLinZnacka::DrawAt(TDevice& device, TRealPoint& position) {
  if (Velikost < kSmallestElement || Points.empty()) return;
  const TRealPoint end = Plus(position, Points[0].Turned);
  device.MoveTo(position.X, position.Y);
  device.LineTo(end.X, end.Y);
  position = Plus(position, Advance());
}

TRealPoint TLinZnacka::Advance() const {
  if (Velikost < kSmallestElement || Points.empty()) return {};
  return Points.size() > 1 ? Points[1].Turned : Points[0].Turned;
}

void TLinZnacka::Split(TDevice& device, TRealPoint& position, double length) {
  if (Velikost < kSmallestElement || Points.empty() || length <= 0) return;
  const double share = std::min(1.0, length / Velikost);
  const TRealPoint end = Plus(position, Times(Points[0].Turned, share));
  device.MoveTo(position.X, position.Y);
  device.LineTo(end.X, end.Y);
  position = Points.size() > 1 ? Plus(position, Times(Points[1].Turned, share)) : end;
}

TPetrklicZn::TPetrklicZn() { Flags = kNatacet | kLamatZnacku | kKreslitPrvni | kLamatMezeru; }

void TPetrklicZn::Split(TDevice& device, TRealPoint& position, double) { DrawAt(device, position); }

void TPetrklicZn::DrawAt(TDevice& device, TRealPoint& position) {
  device.MoveTo(position.X, position.Y);
  for (const TBodZnacky& point : Points) {
    const TRealPoint at = Plus(position, point.Turned);
    if (point.Draw)
      device.LineTo(at.X, at.Y);
    else
      device.MoveTo(at.X, at.Y);
  }
  position = Plus(position, Advance());
}

TRealPoint TPetrklicZn::Advance() const { return {Velikost * std::cos(direction_), Velikost * std::sin(direction_)}; }

TRetezovaZnacka::TRetezovaZnacka() { Flags = kKreslitPrvni; }

TRetezovaZnacka::~TRetezovaZnacka() = default;

void TRetezovaZnacka::SetDirection(double angle) {
  TLinZnacka::SetDirection(angle);
  for (auto& element : Elements) element->SetDirection(angle);
}

void TRetezovaZnacka::AddElement(std::unique_ptr<TLinZnacka> element) { Elements.push_back(std::move(element)); }

void TRetezovaZnacka::UpdateTooSmall(TDevice& device) {
  bool small = true;
  for (const auto& element : Elements) {
    element->TooSmall = Pixels(device, element->Velikost) < 3;
    small = small && element->TooSmall && Pixels(device, element->Vzdalenost) < 2;
  }
  TooSmall = small;
}

void TRetezovaZnacka::DrawPlain(TDevice& device, const std::vector<TRealPoint>& line) {
  if (platform::CanvasPen* pen = device.GetPen())
    pen->Width = Zakladniznacka == 0 || Zakladniznacka > 999 ? std::max(1, Pixels(device, MillimetresToWorld(device, Sila)))
                                                              : 1;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (i == 0)
      device.MoveTo(line[i].X, line[i].Y);
    else
      device.LineTo(line[i].X, line[i].Y);
}

void TRetezovaZnacka::DrawChain(TDevice& device, const TRealRect& visible, bool clip,
                                const std::vector<TRealPoint>& vertices, std::int16_t lineColour) {
  if (platform::CanvasPen* pen = device.GetPen())
    pen->Color = ByTrueColor ? static_cast<std::uint32_t>(TrueColor)
                             : ColourOfCode(static_cast<std::int16_t>(Color == -1 ? lineColour : Color));
  std::vector<TRealPoint> line = vertices;
  if (Vzdalenost != 0) {
    TParalel parallel;
    parallel.Setup(Strana, 0, Vzdalenost);
    line = parallel.Parallel(vertices);
  }
  if (line.size() < 2) return;
  if (Elements.empty() || TooSmall) {
    DrawPlain(device, line);
    return;
  }
  if (platform::CanvasPen* pen = device.GetPen()) pen->Width = std::max(1, Pixels(device, MillimetresToWorld(device, Sila)));
  std::vector<TLinZnacka*> pattern;
  for (const auto& element : Elements) pattern.push_back(element.get());
  if (Flags & kHarmonika) {
    TLinZnacka* lead = pattern.front();
    pattern.erase(pattern.begin());
    if (pattern.empty()) return;
    const std::size_t last = line.size() - 1;
    const auto visibleSegment = [&](const TRealPoint& a, const TRealPoint& b) {
      return !clip || Mathlib::RectsOverlap(a.X, a.Y, b.X, b.Y, visible.MinX, visible.MinY, visible.MaxX,
                                            visible.MaxY, lead->Velikost);
    };
    if (visibleSegment(line[0], line[1])) {
      lead->SetDirection(Mathlib::VectorAngle(line[1].X - line[0].X, line[1].Y - line[0].Y));
      TRealPoint at = line[0];
      lead->DrawAt(device, at);
    }
    if (visibleSegment(line[last - 1], line[last])) {
      lead->SetDirection(Mathlib::VectorAngle(line[last].X - line[last - 1].X, line[last].Y - line[last - 1].Y));
      TRealPoint at = line[last];
      lead->DrawAt(device, at);
    }
  }
  Walk(device, visible, clip, line, pattern);
}

void TRetezovaZnacka::Walk(TDevice& device, const TRealRect& visible, bool clip, const std::vector<TRealPoint>& line,
                           const std::vector<TLinZnacka*>& pattern) {
  double period = 0;
  // How far from its start an element draws: along the line, across it (a
  // tick) or round about (a glyph).
  double reach = 0;
  for (const TLinZnacka* element : pattern) {
    period += element->Velikost + element->Vzdalenost;
    double extent = element->Velikost + element->Vzdalenost;
    for (const TBodZnacky& point : element->Points)
      extent = std::max(extent, std::hypot(point.Point.X, point.Point.Y));
    reach = std::max(reach, extent);
  }
  // Nothing to lay along the line: the walk would never move on.
  if (!(period > 0)) return;
  const platform::CanvasPen* pen = device.GetPen();
  reach += device.Projection()->DeviceToWorldLength((pen ? pen->Width : 1) + 1);
  Carry carry;
  for (std::size_t k = 0; k + 1 < line.size(); ++k) {
    const TRealPoint& a = line[k];
    const TRealPoint& b = line[k + 1];
    const double length = std::hypot(b.X - a.X, b.Y - a.Y);
    if (length == 0) continue;
    const bool last = k + 2 == line.size();
    const double slack = length * kFitSlack;
    const TRealPoint unit = {(b.X - a.X) / length, (b.Y - a.Y) / length};
    const auto at = [&](double t) { return TRealPoint{a.X + unit.X * t, a.Y + unit.Y * t}; };
    const bool drawn = !clip || Mathlib::RectsOverlap(a.X, a.Y, b.X, b.Y, visible.MinX, visible.MinY, visible.MaxX,
                                                      visible.MaxY, reach);
    SetDirection(Mathlib::VectorAngle(b.X - a.X, b.Y - a.Y));
    double t = 0;
    TRealPoint position = a;
    // What the previous segment left comes first.
    if (carry.kind == Carry::Gap) {
      if (carry.length > length + slack) {
        carry.length -= length;
        continue;
      }
      t = carry.length;
      carry = {};
    } else if (carry.kind == Carry::Rest) {
      TLinZnacka& element = *pattern[carry.element];
      if (carry.length > length + slack) {
        if (drawn && (!last || element.Flags & kKreslitZbytek)) element.Split(device, position, length);
        carry.length -= length;
        if (last) return;
        continue;
      }
      if (drawn) element.Split(device, position, carry.length);
      t = carry.length;
      if (t + element.Vzdalenost > length + slack) {
        carry = {Carry::Gap, 0, element.Vzdalenost - (length - t)};
        continue;
      }
      t += element.Vzdalenost;
      carry = {};
    } else if (carry.kind == Carry::Whole) {
      // The copy that did not fit before the vertex starts this segment;
      // longer than the segment, it uses it up and runs past its end, and
      // the overrun with its gap is carried on.
      TLinZnacka& element = *pattern[carry.element];
      if (drawn) element.DrawAt(device, position);
      t = element.Velikost;
      carry = {};
      if (t + element.Vzdalenost > length + slack) {
        carry = {Carry::Gap, 0, t + element.Vzdalenost - length};
        continue;
      }
      t += element.Vzdalenost;
    }
    position = at(t);
    // The pattern starts again at its first element.  The position moves
    // by the same step each period (less than the period where gaps point
    // back), and a period draws only about its start: where the line lies
    // in the visible rectangle widened by both.
    TRealPoint step{};
    for (const TLinZnacka* element : pattern) step = Plus(step, Plus(element->Advance(), element->GapVector()));
    const double along = step.X * unit.X + step.Y * unit.Y;
    double from = -std::numeric_limits<double>::infinity(), to = -from;
    if (!drawn) std::swap(from, to);
    else if (clip) StretchInside(a, unit, visible, period + reach, from, to);
    std::size_t index = 0;
    bool ink = drawn;
    while (true) {
      if (index == 0) {
        // A period that no longer moves the walk at this distance would
        // never end it; the line is too long for its pattern.
        if (!(t + period > t)) {
          carry = {};
          break;
        }
        // The periods that would draw nothing, before the visible stretch
        // or after it, are passed over in one step.
        const double s = (position.X - a.X) * unit.X + (position.Y - a.Y) * unit.Y;
        const double periods = std::max(0.0, std::floor((length - t) / period));
        const double skipped = PeriodsOutside(s, along, from, to, periods);
        if (skipped > 0) {
          t += skipped * period;
          position = Plus(position, Times(step, skipped));
        }
        const double here = s + skipped * along;
        ink = drawn && here >= from && here <= to;
      }
      TLinZnacka& element = *pattern[index];
      const double rest = length - t;
      if (element.Velikost <= rest + slack) {
        if (ink)
          element.DrawAt(device, position);
        else
          position = Plus(position, element.Advance());
        t += element.Velikost;
        if (t + element.Vzdalenost > length + slack) {
          carry = {Carry::Gap, 0, element.Vzdalenost - (length - t)};
          break;
        }
        t += element.Vzdalenost;
        position = Plus(position, element.GapVector());
        index = (index + 1) % pattern.size();
        continue;
      }
      // The element does not fit before the vertex.  A dash that may be cut
      // is split there; else bit 32 draws it whole past the vertex (a glyph
      // also with bit 2), and one with neither goes whole to the next
      // segment.
      const bool cut = element.CanBeCut() && element.Flags & kLamatZnacku;
      const bool whole =
          !cut && element.Flags & (element.CanBeCut() ? kKreslitPosledni : kKreslitPosledni | kLamatZnacku);
      if (last) {
        // At the line's end nothing is carried.  Bit 32 draws the element
        // whole past the end as it would past a vertex; bit 64 asks only for
        // the piece of one that is split (a glyph's piece is all of it).
        if (ink && whole && element.Flags & kKreslitPosledni)
          element.DrawAt(device, position);
        else if (ink && (cut || whole) && element.Flags & kKreslitZbytek)
          element.Split(device, position, rest);
        return;
      }
      if (whole) {
        if (ink) element.DrawAt(device, position);
        carry = {Carry::Gap, 0, element.Velikost - rest + element.Vzdalenost};
      } else if (cut) {
        if (ink) element.Split(device, position, rest);
        carry = {Carry::Rest, index, element.Velikost - rest};
      } else {
        carry = {Carry::Whole, index, 0};
      }
      break;
    }
  }
}

TClass TLinZnacka::StaticClass() {
  using E = TLinZnacka;
  static const TClassInfo info = DescribeClass<E>(
      "TLinZnacka", TElement::StaticClass(), "LinZnacky",
      {FieldProp("TrueColor", &E::TrueColor), FieldProp("ByTrueColor", &E::ByTrueColor), FieldProp("Color", &E::Color)});
  return &info;
}

TClass TPetrklicZn::StaticClass() {
  static const TClassInfo info = DescribeClass<TPetrklicZn>("TPetrklicZn", TLinZnacka::StaticClass(), "LinZnacky", {});
  return &info;
}

TClass TRetezovaZnacka::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRetezovaZnacka>("TRetezovaZnacka", TLinZnacka::StaticClass(), "LinZnacky", {});
  return &info;
}

void RegisterLineSymbolElementClasses() {
  RegisterKestuClass(TLinZnacka::StaticClass());
  RegisterKestuClass(TPetrklicZn::StaticClass());
  RegisterKestuClass(TRetezovaZnacka::StaticClass());
}
