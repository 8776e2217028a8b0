#include "spatial/geometry/intersections.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "spatial/geometry/geometry_elements.h"

namespace AnalInt {

namespace {

// Far end of the rays of the crossing routines.
constexpr double kFar = 1e20;
// Cohen-Sutherland settles within five rounds; a segment whose ends still
// hop between sides after this many (through rounding) is rejected rather
// than clipped for ever.
constexpr int kMaxClipRounds = 32;

bool Between(double V, double A, double B) { return V >= std::min(A, B) && V <= std::max(A, B); }

void RayMeetsEdge(double X0, double Y, double RayEndX, const TRealPoint& A, const TRealPoint& B, bool& Meets,
                  double& X) {
  double MeetY = 0;
  bool NoPoint = true, OnRay = false, OnEdge = false;
  SegmentIntersection(X, MeetY, NoPoint, X0, Y, RayEndX, Y, A.X, A.Y, B.X, B.Y, OnRay, OnEdge);
  Meets = !NoPoint && OnRay && OnEdge;
}

// An edge wholly left of X0, above or below Y never meets the ray.
bool EdgeMayCross(const TRealPoint& A, const TRealPoint& B, double X0, double Y) {
  return !((A.X < X0 && B.X < X0) || (A.Y > Y && B.Y > Y) || (A.Y < Y && B.Y < Y));
}

// Walks the crossings of the outline with the ray from (X0, Y) towards +X.
// A run of vertices on the ray's line counts once when the outline leaves it
// on the other side than it came from and not at all when it only touches.
// The walk starts at a vertex off the line so that every run is entered from
// a known side, whichever vertex the outline begins with.
template <class Visit>
void WalkRayCrossings(std::span<const TRealPoint> E, double X0, double Y, Visit OnCrossing) {
  const std::size_t N = E.size();
  if (N < 3) return;
  const auto Start = std::find_if(E.begin(), E.end(), [Y](const TRealPoint& V) { return V.Y != Y; });
  if (Start == E.end()) return;
  const std::size_t S = static_cast<std::size_t>(Start - E.begin());
  bool RunOpen = false, RunFromAbove = false;
  for (std::size_t K = 0, I = S; K < N; ++K) {
    const std::size_t Next = I + 1 == N ? 0 : I + 1;
    const TRealPoint& A = E[I];
    const TRealPoint& B = E[Next];
    I = Next;
    if (B.Y == Y) {
      if (!RunOpen) {
        RunOpen = true;
        RunFromAbove = A.Y > Y;
      }
      continue;
    }
    bool Counts = EdgeMayCross(A, B, X0, Y);
    if (RunOpen) {
      RunOpen = false;
      Counts = Counts && (B.Y > Y) != RunFromAbove;
    }
    if (!Counts) continue;
    bool Meets = false;
    double X = 0;
    RayMeetsEdge(X0, Y, kFar, A, B, Meets, X);
    if (Meets) OnCrossing(X);
  }
}

}  // namespace

std::int32_t RoundClamped(double V) {
  if (V > 2147483647.0) return 2147483647;
  if (V < -2147483647.0) return -2147483647;
  if (std::isnan(V)) return 0;
  return static_cast<std::int32_t>(std::nearbyint(V));
}

std::uint8_t Outcode(const TDeviceRect& R, std::int32_t X, std::int32_t Y) {
  std::uint8_t Code = 0;
  if (X < R.Left)
    Code |= ocLeft;
  else if (X > R.Right)
    Code |= ocRight;
  if (Y > R.Bottom)
    Code |= ocBelow;
  else if (Y < R.Top)
    Code |= ocAbove;
  return Code;
}

void ClipTest(const TDeviceRect& R, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              bool& Inside, bool& Crosses) {
  const std::uint8_t C1 = Outcode(R, X1, Y1);
  const std::uint8_t C2 = Outcode(R, X2, Y2);
  Inside = C1 == 0 && C2 == 0;
  Crosses = !Inside && (C1 & C2) == 0;
}

void ClipLine(const TDeviceRect& R, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              std::int32_t& OX1, std::int32_t& OY1, std::int32_t& OX2, std::int32_t& OY2, bool& Visible) {
  Visible = false;
  double AX = X1, AY = Y1, BX = X2, BY = Y2;
  for (int Round = 0; Round < kMaxClipRounds; ++Round) {
    if (std::isnan(AX) || std::isnan(AY) || std::isnan(BX) || std::isnan(BY)) break;
    std::uint8_t CA = Outcode(R, RoundClamped(AX), RoundClamped(AY));
    std::uint8_t CB = Outcode(R, RoundClamped(BX), RoundClamped(BY));
    if (CA == 0 && CB == 0) {
      Visible = true;
      break;
    }
    if (CA & CB) break;
    if (CA == 0) {
      std::swap(AX, BX);
      std::swap(AY, BY);
      std::swap(CA, CB);
    }
    if (BX != AX) {
      const double M = (BY - AY) / (BX - AX);
      if (CA & ocLeft) {
        AY = (R.Left - AX) * M + AY;
        AX = R.Left;
      } else if (CA & ocRight) {
        AY = (R.Right - AX) * M + AY;
        AX = R.Right;
      } else if (CA & ocBelow) {
        AX = (R.Bottom - AY) / M + AX;
        AY = R.Bottom;
      } else if (CA & ocAbove) {
        AX = (R.Top - AY) / M + AX;
        AY = R.Top;
      }
    } else if (CA & ocBelow) {
      AY = R.Bottom;
    } else if (CA & ocAbove) {
      AY = R.Top;
    }
  }
  OX1 = RoundClamped(AX);
  OY1 = RoundClamped(AY);
  OX2 = RoundClamped(BX);
  OY2 = RoundClamped(BY);
}

namespace {

double Unrounded(double D) { return D; }

void LineIntersectionRounded(TSlopeRounding Round, double& X, double& Y, bool& NoPoint, double M1, double C1,
                             double M2, double C2) {
  const double D = Round(M1 - M2);
  if (std::fabs(D) > 1e17) {
    X = 0;
    Y = 0;
    NoPoint = true;
    return;
  }
  const double T = std::fabs(1e20 * D);
  if (T <= std::fabs(C2 - C1) || T <= std::fabs(M1 * C2 - M2 * C1)) {
    NoPoint = true;
    return;
  }
  X = (M1 * C2 - M2 * C1) / D;
  Y = (C2 - C1) / D;
  NoPoint = false;
}

}  // namespace

void LineIntersection(double& X, double& Y, bool& NoPoint, double M1, double C1, double M2, double C2) {
  LineIntersectionRounded(Unrounded, X, Y, NoPoint, M1, C1, M2, C2);
}

void SegmentIntersection(double& X, double& Y, bool& NoPoint, double X1, double Y1, double X2, double Y2,
                         double X3, double Y3, double X4, double Y4, bool& OnFirst, bool& OnSecond) {
  SegmentIntersectionRounded(Unrounded, X, Y, NoPoint, X1, Y1, X2, Y2, X3, Y3, X4, Y4, OnFirst, OnSecond);
}

void SegmentIntersectionRounded(TSlopeRounding Round, double& X, double& Y, bool& NoPoint, double X1, double Y1,
                                double X2, double Y2, double X3, double Y3, double X4, double Y4, bool& OnFirst,
                                bool& OnSecond) {
  OnFirst = false;
  OnSecond = false;
  X = 0;
  Y = 0;
  // Working relative to the first point keeps the slopes' offsets small.
  const double AX = 0, AY = 0, BX = X2 - X1, BY = Y2 - Y1;
  const double CX = X3 - X1, CY = Y3 - Y1, DX = X4 - X1, DY = Y4 - Y1;
  const bool FirstFlat = !(std::fabs(AY - BY) > 1e-20);
  const bool SecondFlat = !(std::fabs(CY - DY) > 1e-20);
  double M1 = 0, C1 = 0, M2 = 0, C2 = 0;
  if (!FirstFlat) {
    M1 = (AX - BX) / (AY - BY);
    C1 = (AY * BX - BY * AX) / (AY - BY);
  }
  if (!SecondFlat) {
    M2 = (CX - DX) / (CY - DY);
    C2 = (CY * DX - DY * CX) / (CY - DY);
  }
  if (FirstFlat && SecondFlat) {
    NoPoint = true;
  } else if (FirstFlat) {
    Y = AY;
    X = M2 * Y + C2;
    NoPoint = false;
  } else if (SecondFlat) {
    Y = CY;
    X = M1 * Y + C1;
    NoPoint = false;
  } else {
    LineIntersectionRounded(Round, X, Y, NoPoint, M1, C1, M2, C2);
  }
  if (!NoPoint) {
    OnFirst = FirstFlat ? Between(X, AX, BX) : Between(Y, AY, BY);
    OnSecond = SecondFlat ? Between(X, CX, DX) : Between(Y, CY, DY);
  }
  X += X1;
  Y += Y1;
}

bool PointInPolygon(std::span<const TRealPoint> E, const TRealPoint& P) {
  std::int32_t Count = 0;
  WalkRayCrossings(E, P.X, P.Y, [&Count](double) { ++Count; });
  return Count % 2 == 1;
}

// An edge of a ring that can count in the walk of WalkRayCrossings.  A
// horizontal edge never counts: it ends on the ray's line or lies wholly to
// one side of it.  An edge leaving a run of vertices on the ray's line counts
// only when it leaves to the other side than the run was entered from;
// EntryAbove is that side for a ray along its first vertex's height.
struct TRingEdge {
  std::size_t Ring = 0;
  TRealPoint A, B;
  bool EntryAbove = false;
  double Low = 0, High = 0;
};

namespace {

// The walk counts exactly the edges that cross the ray on their own and the
// edges leaving a run to the other side, whichever vertex it starts at.
bool EdgeCounts(const TRingEdge& E, double X0, double Y) {
  if (E.B.Y == Y) return false;
  bool Counts = EdgeMayCross(E.A, E.B, X0, Y);
  if (E.A.Y == Y) Counts = Counts && (E.B.Y > Y) != E.EntryAbove;
  if (!Counts) return false;
  bool Meets = false;
  double X = 0;
  RayMeetsEdge(X0, Y, kFar, E.A, E.B, Meets, X);
  return Meets;
}

// The edges of a ring that can count; the vertex before a run of equal
// heights is its entry.
void CollectRingEdges(std::size_t Ring, std::span<const TRealPoint> E, std::vector<TRingEdge>& Edges) {
  const std::size_t N = E.size();
  if (N < 3) return;
  const auto Before = [N](std::size_t I) { return I == 0 ? N - 1 : I - 1; };
  std::size_t First = 0;
  while (First < N && !(E[First].Y != E[Before(First)].Y)) ++First;
  if (First == N) return;  // one height all round: nothing counts
  std::size_t Entry = Before(First);
  for (std::size_t K = 0; K < N; ++K) {
    const std::size_t I = (First + K) % N;
    if (E[I].Y != E[Before(I)].Y) Entry = Before(I);
    const TRealPoint& A = E[I];
    const TRealPoint& B = E[I + 1 == N ? 0 : I + 1];
    if (A.Y == B.Y) continue;
    Edges.push_back({Ring, A, B, E[Entry].Y > A.Y, std::min(A.Y, B.Y), std::max(A.Y, B.Y)});
  }
}

}  // namespace

std::vector<std::uint8_t> PointsInAnyPolygon(std::span<const std::vector<TRealPoint>> Rings,
                                             std::span<const TRealPoint> Points) {
  std::vector<std::uint8_t> Inside(Points.size(), 0);
  std::vector<TRingEdge> Edges;
  for (std::size_t R = 0; R < Rings.size(); ++R) CollectRingEdges(R, Rings[R], Edges);
  // Edges with a height that is no number take part in every test.
  const auto Unordered = std::partition(Edges.begin(), Edges.end(),
                                        [](const TRingEdge& E) { return !std::isnan(E.A.Y) && !std::isnan(E.B.Y); });
  const std::span<const TRingEdge> Always(Unordered, Edges.end());
  // Edges and points are sorted as small keys: far less memory moves.
  std::vector<std::pair<double, std::size_t>> ByLow(static_cast<std::size_t>(Unordered - Edges.begin()));
  for (std::size_t I = 0; I < ByLow.size(); ++I) ByLow[I] = {Edges[I].Low, I};
  std::sort(ByLow.begin(), ByLow.end());
  std::vector<std::pair<double, std::size_t>> Order;
  for (std::size_t I = 0; I < Points.size(); ++I) {
    if (std::isnan(Points[I].Y)) {
      for (const std::vector<TRealPoint>& Ring : Rings) Inside[I] = Inside[I] || PointInPolygon(Ring, Points[I]);
    } else {
      Order.push_back({Points[I].Y, I});
    }
  }
  std::sort(Order.begin(), Order.end());
  std::vector<const TRingEdge*> Active;
  std::vector<std::uint8_t> Odd(Rings.size(), 0), Listed(Rings.size(), 0);
  std::vector<std::size_t> Touched;
  auto Next = ByLow.begin();
  for (const auto& Key : Order) {
    const std::size_t I = Key.second;
    const double X0 = Points[I].X, Y = Points[I].Y;
    for (; Next != ByLow.end() && Next->first <= Y; ++Next) Active.push_back(&Edges[Next->second]);
    const auto Toggle = [&](const TRingEdge& E) {
      if (!EdgeCounts(E, X0, Y)) return;
      if (!Listed[E.Ring]) Touched.push_back(E.Ring);
      Listed[E.Ring] = 1;
      Odd[E.Ring] ^= 1;
    };
    // Heights only rise: an edge below this point stays below the rest.
    for (std::size_t K = 0; K < Active.size();) {
      if (Active[K]->High < Y) {
        Active[K] = Active.back();
        Active.pop_back();
        continue;
      }
      Toggle(*Active[K]);
      ++K;
    }
    for (const TRingEdge& E : Always) Toggle(E);
    for (const std::size_t R : Touched) {
      Inside[I] = Inside[I] || Odd[R];
      Odd[R] = 0;
      Listed[R] = 0;
    }
    Touched.clear();
  }
  return Inside;
}

TRingIndex::TRingIndex(std::span<const TRealPoint> Ring) : ring_(Ring.begin(), Ring.end()) {
  CollectRingEdges(0, Ring, edges_);
  // Edges with a height that is no number take part in every test.
  const auto Unordered = std::partition(edges_.begin(), edges_.end(),
                                        [](const TRingEdge& E) { return !std::isnan(E.A.Y) && !std::isnan(E.B.Y); });
  always_.assign(Unordered, edges_.end());
  edges_.erase(Unordered, edges_.end());
  std::sort(edges_.begin(), edges_.end(), [](const TRingEdge& A, const TRingEdge& B) { return A.Low < B.Low; });
  leaves_ = 1;
  while (leaves_ < edges_.size()) leaves_ *= 2;
  highs_.assign(2 * leaves_, -std::numeric_limits<double>::infinity());
  for (std::size_t I = 0; I < edges_.size(); ++I) highs_[leaves_ + I] = edges_[I].High;
  for (std::size_t N = leaves_ - 1; N >= 1; --N) highs_[N] = std::max(highs_[2 * N], highs_[2 * N + 1]);
}

TRingIndex::~TRingIndex() = default;
TRingIndex::TRingIndex(TRingIndex&&) noexcept = default;
TRingIndex& TRingIndex::operator=(TRingIndex&&) noexcept = default;

bool TRingIndex::Contains(const TRealPoint& P) const {
  if (std::isnan(P.Y)) return PointInPolygon(ring_, P);
  bool Odd = false;
  for (const TRingEdge& E : always_) Odd ^= EdgeCounts(E, P.X, P.Y);
  // The edges that count lie at or below the point by their lower height
  // (a prefix of edges_) and reach it by their upper height; the tree leads
  // to those of the prefix only, through the nodes whose largest upper
  // height reaches the point.
  const std::size_t Prefix = static_cast<std::size_t>(
      std::upper_bound(edges_.begin(), edges_.end(), P.Y, [](double Y, const TRingEdge& E) { return Y < E.Low; }) -
      edges_.begin());
  if (Prefix == 0) return Odd;
  struct TNode {
    std::size_t Index, First, Count;
  };
  // At most two nodes a level wait: the depth of a tree over a ring.
  std::vector<TNode> Pending{{1, 0, leaves_}};
  while (!Pending.empty()) {
    const TNode Node = Pending.back();
    Pending.pop_back();
    if (Node.First >= Prefix || highs_[Node.Index] < P.Y) continue;
    if (Node.Count == 1) {
      Odd ^= EdgeCounts(edges_[Node.First], P.X, P.Y);
      continue;
    }
    const std::size_t Half = Node.Count / 2;
    Pending.push_back({2 * Node.Index + 1, Node.First + Half, Half});
    Pending.push_back({2 * Node.Index, Node.First, Half});
  }
  return Odd;
}

void HorizontalCrossings(std::span<const TRealPoint> E, double& LeftX, double& RightX, double X0, double Y,
                         std::int32_t& Count) {
  LeftX = kFar;
  RightX = kFar;
  Count = 0;
  const std::size_t N = E.size();
  if (N < 3) return;
  for (std::size_t I = 0; I < N; ++I) {
    const TRealPoint& A = E[I];
    const TRealPoint& B = E[(I + 1) % N];
    if ((A.Y > Y && B.Y > Y) || (A.Y < Y && B.Y < Y)) continue;
    bool Meets = false;
    double X = 0;
    RayMeetsEdge(X0, Y, kFar, A, B, Meets, X);
    if (Meets) {
      ++Count;
      if (std::fabs(X0 - X) < std::fabs(X0 - RightX)) RightX = X;
      continue;
    }
    RayMeetsEdge(X0, Y, -kFar, A, B, Meets, X);
    if (Meets) {
      ++Count;
      if (std::fabs(X0 - X) < std::fabs(X0 - LeftX)) LeftX = X;
    }
  }
}

void HorizontalCrossingsTwoNearest(std::span<const TRealPoint> E, double& First, double& Second, double X0,
                                   double Y, std::int32_t& Count) {
  First = kFar;
  Second = kFar;
  Count = 0;
  WalkRayCrossings(E, X0, Y, [&](double X) {
    ++Count;
    if (std::fabs(X0 - X) < std::fabs(X0 - First)) {
      Second = First;
      First = X;
    } else if (std::fabs(X0 - X) < std::fabs(X0 - Second)) {
      Second = X;
    }
  });
}

namespace {

std::vector<TRealPoint> VerticesOf(const TEntity* E) {
  std::vector<TRealPoint> vertices;
  if (!E) return vertices;
  vertices.reserve(E->Children().size());
  for (const TElement* child : E->Children())
    if (const auto* coordinate = DynamicCast<TCoordinate>(child))
      vertices.push_back({coordinate->GetX(), coordinate->GetY()});
  return vertices;
}

}  // namespace

bool PointInPolygon(const TEntity* E, const TCoordinate* P) {
  if (!E || !P) return false;
  return PointInPolygon(VerticesOf(E), TRealPoint{P->GetX(), P->GetY()});
}

void HorizontalCrossings(const TEntity* E, double& LeftX, double& RightX, double X0, double Y, std::int32_t& Count) {
  HorizontalCrossings(VerticesOf(E), LeftX, RightX, X0, Y, Count);
}

void HorizontalCrossingsTwoNearest(const TEntity* E, double& First, double& Second, double X0, double Y,
                                   std::int32_t& Count) {
  HorizontalCrossingsTwoNearest(VerticesOf(E), First, Second, X0, Y, Count);
}

}  // namespace AnalInt
