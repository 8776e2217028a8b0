#include "render/symbols/line_symbol_elements.h"

#include <algorithm>
#include <cmath>

#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "render/palette/palette.h"
#include "render/symbols/parallel.h"
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
  position = Points.size() > 1 ? Plus(position, Points[1].Turned) : end;
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
  position = Plus(position, {Velikost * std::cos(direction_), Velikost * std::sin(direction_)});
}

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
  double reach = 0;
  for (const TLinZnacka* element : pattern) {
    period += element->Velikost + element->Vzdalenost;
    reach = std::max(reach, element->Velikost + element->Vzdalenost);
  }
  // Nothing to lay along the line: the walk would never move on.
  if (!(period > 0)) return;
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
    std::size_t index = 0;
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
      index = carry.element;
      carry = {};
    }
    position = at(t);
    // Whole periods off the screen are passed over without a step each.
    if (!drawn && index == 0) t += std::floor((length - t) / period) * period;
    while (true) {
      TLinZnacka& element = *pattern[index];
      const double rest = length - t;
      if (element.Velikost <= rest + slack) {
        if (drawn) element.DrawAt(device, position);
        t += element.Velikost;
        if (t + element.Vzdalenost > length + slack) {
          carry = {Carry::Gap, 0, element.Vzdalenost - (length - t)};
          break;
        }
        t += element.Vzdalenost;
        position = drawn ? Plus(position, element.GapVector()) : at(t);
        index = (index + 1) % pattern.size();
        continue;
      }
      // The element does not fit before the vertex.  At the line's end
      // nothing is carried: the piece that fits is drawn only with bit 64.
      const bool drawnWhole =
          element.CanBeCut() ? (element.Flags & kKreslitPosledni) && !(element.Flags & kLamatZnacku)
                             : (element.Flags & (kLamatZnacku | kKreslitPosledni)) != 0;
      if (last) {
        if (drawn && element.Flags & kKreslitZbytek) {
          if (drawnWhole)
            element.DrawAt(device, position);
          else if (element.CanBeCut() && element.Flags & kLamatZnacku)
            element.Split(device, position, rest);
        }
        return;
      }
      if (drawnWhole) {
        if (drawn) element.DrawAt(device, position);
        carry = {Carry::Gap, 0, element.Velikost - rest + element.Vzdalenost};
      } else if (element.CanBeCut() && element.Flags & kLamatZnacku) {
        if (drawn) element.Split(device, position, rest);
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
