#include "spatial/geometry/polygon_clipper.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "spatial/geometry/intersections.h"

using AnalInt::RoundClamped;

TOrezavacPloch::TOrezavacPloch(const TDeviceRect& R, std::unique_ptr<TDevicePoint[]> Buffer,
                               std::int32_t ByteSize, std::int32_t Count)
    : FClipRect(R) {
  FInput.Points = std::move(Buffer);
  FInput.ByteSize = ByteSize;
  FInput.Count = Count;
  if (!FInput.Points || ByteSize < 0 || Count < 0 || Count > FInput.Capacity()) {
    FFailed = true;
    return;
  }
  for (std::int32_t I = 0; I < Count; ++I) {
    const TDevicePoint& P = FInput.Points[I];
    FSideFlags[sdLeft] |= P.X < R.Left;
    FSideFlags[sdTop] |= P.Y < R.Top;
    FSideFlags[sdRight] |= P.X > R.Right;
    FSideFlags[sdBottom] |= P.Y > R.Bottom;
  }
}

bool TOrezavacPloch::Inside(TSide Side, const TDevicePoint& P) const {
  switch (Side) {
    case sdLeft:
      return P.X >= FClipRect.Left;
    case sdTop:
      return P.Y >= FClipRect.Top;
    case sdRight:
      return P.X <= FClipRect.Right;
    case sdBottom:
      return P.Y <= FClipRect.Bottom;
  }
  return false;
}

TDevicePoint TOrezavacPloch::Intersection(TSide Side, const TDevicePoint& S, const TDevicePoint& P) const {
  const double SX = S.X, SY = S.Y, PX = P.X, PY = P.Y;
  const auto AtX = [&](std::int32_t X) { return TDevicePoint{X, RoundClamped(SY + (X - SX) * (PY - SY) / (PX - SX))}; };
  const auto AtY = [&](std::int32_t Y) { return TDevicePoint{RoundClamped(SX + (Y - SY) * (PX - SX) / (PY - SY)), Y}; };
  switch (Side) {
    case sdLeft:
      return AtX(FClipRect.Left);
    case sdTop:
      return AtY(FClipRect.Top);
    case sdRight:
      return AtX(FClipRect.Right);
    case sdBottom:
      return AtY(FClipRect.Bottom);
  }
  return P;
}

void TOrezavacPloch::AddPoint(const TDevicePoint& P) {
  if (FFailed) return;
  if (FOutput.Count >= FOutput.Capacity()) {
    FFailed = true;
    return;
  }
  FOutput.Points[FOutput.Count++] = P;
}

void TOrezavacPloch::Pass(TSide Side) {
  // Room for the worst case of two output points per input point.
  const std::int64_t ByteSize = std::int64_t{FInput.Count} * 16;
  FOutput = TPointBuffer();
  if (ByteSize > std::numeric_limits<std::int32_t>::max()) {
    FFailed = true;
    return;
  }
  FOutput.Points.reset(new (std::nothrow) TDevicePoint[static_cast<std::size_t>(ByteSize / 8)]);
  if (!FOutput.Points) {
    FFailed = true;
    return;
  }
  FOutput.ByteSize = static_cast<std::int32_t>(ByteSize);

  const TDevicePoint* In = FInput.Points.get();
  TDevicePoint S = In[FInput.Count - 1];
  for (std::int32_t I = 0; I < FInput.Count && !FFailed; ++I) {
    const TDevicePoint& P = In[I];
    const bool SIn = Inside(Side, S), PIn = Inside(Side, P);
    if (SIn && PIn) {
      AddPoint(P);
    } else if (PIn) {
      AddPoint(Intersection(Side, S, P));
      AddPoint(P);
    } else if (SIn) {
      AddPoint(Intersection(Side, S, P));
    }
    S = P;
  }
}

void TOrezavacPloch::CloseRing() {
  if (FOutput.Count >= 3 && !(FOutput.Points[0] == FOutput.Points[FOutput.Count - 1]))
    AddPoint(FOutput.Points[0]);
}

void TOrezavacPloch::Clip() {
  for (const TSide Side : {sdLeft, sdTop, sdRight, sdBottom}) {
    if (FFailed || FInput.Count == 0) break;
    if (!FSideFlags[Side]) continue;
    Pass(Side);
    CloseRing();
    if (FFailed) break;
    FInput = std::move(FOutput);
  }
  FOutput = TPointBuffer();
}

void TOrezavacPloch::GetResult(std::unique_ptr<TDevicePoint[]>& Buffer, std::int32_t& ByteSize,
                               std::int32_t& Count) {
  Buffer.reset();
  ByteSize = 0;
  Count = 0;
  if (FFailed) return;
  if (FInput.Count == 0) {
    FFailed = true;
    return;
  }
  std::unique_ptr<TDevicePoint[]> Copy(new (std::nothrow) TDevicePoint[static_cast<std::size_t>(FInput.Capacity())]);
  if (!Copy) {
    FFailed = true;
    return;
  }
  std::copy_n(FInput.Points.get(), FInput.Count, Copy.get());
  Buffer = std::move(Copy);
  ByteSize = FInput.ByteSize;
  Count = FInput.Count;
}
