#include "spatial/geometry/plane_math.h"

#include <cmath>
#include <numbers>

#include "framework/values/real48.h"
#include "spatial/geometry/intersections.h"
#include "spatial/geometry/geometry_elements.h"

namespace Mathlib {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
// Slack of PointInBox.
constexpr double kBoxSlack = 1e-4;

// Slope differences far beyond the limit of 1e17 would overflow the
// six-byte real; such lines meet nowhere all the same.
double SlopeDifferenceReal48(double D) { return std::fabs(D) <= 1e30 ? RoundToReal48(D) : D; }

TRealPoint PointOf(const TCoordinate* C) { return {C->GetX(), C->GetY()}; }

}  // namespace

double VectorAngle(double DX, double DY) {
  double A = 0;
  if (DX == 0)
    A = DY == 0 ? 0 : std::copysign(kPi / 2, DY);
  else
    A = std::atan(DY / DX);
  if (DX < 0) return A + kPi;
  const double B = A + kTwoPi;
  return B > kTwoPi ? B - kTwoPi : B;
}

double NormalizeAngle(double A) {
  A = RoundToReal48(A);
  const double R = RoundToReal48(A - std::trunc(A / kTwoPi) * kTwoPi);
  return RoundToReal48(R < 0 ? R + kTwoPi : R);
}

double DegToRad(double D) { return NormalizeAngle(RoundToReal48(D) * kPi / 180); }

bool IsRightOfLine(const TRealPoint& A, const TRealPoint& B, const TRealPoint& P) {
  const double Theta = VectorAngle(B.X - A.X, B.Y - A.Y);
  const double S = std::sin(Theta) * (A.X - P.X) - std::cos(Theta) * (A.Y - P.Y);
  return S < 0;
}

double ArcCos(double X) {
  X = RoundToReal48(X);
  if (X >= 1) return 0;
  if (X <= -1) return RoundToReal48(kPi);
  return RoundToReal48(kPi / 2 - std::atan(X / std::sqrt(1 - X * X)));
}

double VertexAngle(const TRealPoint& A, const TRealPoint& V, const TRealPoint& B) {
  const auto Near = [&V](const TRealPoint& Q) {
    return std::fabs(Q.X - V.X) <= 1e-10 && std::fabs(Q.Y - V.Y) <= 1e-10;
  };
  if (Near(A) || Near(B)) return 0;
  const double Dot = (A.Y - V.Y) * (B.Y - V.Y) + (A.X - V.X) * (B.X - V.X);
  const double C = Dot / (Distance(V.X, V.Y, A.X, A.Y) * Distance(V.X, V.Y, B.X, B.Y));
  return ArcCos(RoundToReal48(C));
}

void PolarPoint(const TRealPoint& Base, TRealPoint& P, double Angle, double Dist) {
  if (Dist < 1e-20) {
    P = Base;
    return;
  }
  P.X = Base.X + Dist * std::cos(Angle);
  P.Y = Base.Y + Dist * std::sin(Angle);
}

void OrderPair(double& A, double& B) {
  if (A > B) {
    const double Moved = RoundToReal48(A);
    A = B;
    B = Moved;
  }
}

bool RectsOverlap(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                  double Tol) {
  OrderPair(X1, X2);
  OrderPair(Y1, Y2);
  OrderPair(X3, X4);
  OrderPair(Y3, Y4);
  return !(Y2 + Tol < Y3 || Y4 + Tol < Y1 || X2 + Tol < X3 || X4 + Tol < X1);
}

double Distance(double X1, double Y1, double X2, double Y2) {
  return std::sqrt((X2 - X1) * (X2 - X1) + (Y2 - Y1) * (Y2 - Y1));
}

bool PointsCoincide(double X1, double Y1, double X2, double Y2, double Tol) {
  return std::fabs(X1 - X2) <= Tol && std::fabs(Y1 - Y2) <= Tol && Distance(X1, Y1, X2, Y2) <= Tol;
}

bool PointsEqual(double X1, double Y1, double X2, double Y2) { return X1 == X2 && Y1 == Y2; }

void PointTowards(double& X, double& Y, double X1, double Y1, double X2, double Y2, double Dist, double Grid) {
  const double L = Distance(X1, Y1, X2, Y2);
  if (L > 0 && Dist < L) {
    X = X1 + (X2 - X1) * Dist / L;
    Y = Y1 + (Y2 - Y1) * Dist / L;
  } else {
    X = X2;
    Y = Y2;
  }
  if (Grid != 0) {
    // Nearest whole number of grid steps, halves to even; no integer type
    // limits the count.
    X = std::nearbyint(X / Grid) * Grid;
    Y = std::nearbyint(Y / Grid) * Grid;
  }
}

void SegmentIntersection(double& X, double& Y, bool& NoPoint, double X1, double Y1, double X2, double Y2,
                         double X3, double Y3, double X4, double Y4, bool& OnFirst, bool& OnSecond) {
  AnalInt::SegmentIntersectionRounded(SlopeDifferenceReal48, X, Y, NoPoint, X1, Y1, X2, Y2, X3, Y3, X4, Y4, OnFirst,
                                      OnSecond);
}

bool SegmentsCross(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4) {
  double X = 0, Y = 0;
  bool NoPoint = true, OnFirst = false, OnSecond = false;
  SegmentIntersection(X, Y, NoPoint, X1, Y1, X2, Y2, X3, Y3, X4, Y4, OnFirst, OnSecond);
  return OnFirst && OnSecond;
}

bool PointInBox(double X, double Y, double X1, double Y1, double X2, double Y2) {
  OrderPair(X1, X2);
  OrderPair(Y1, Y2);
  return (X > X1 || X1 - X < kBoxSlack) && (X < X2 || X - X2 < kBoxSlack) && (Y > Y1 || Y1 - Y < kBoxSlack) &&
         (Y < Y2 || Y - Y2 < kBoxSlack);
}

void FootOfPerpendicular(double& X, double& Y, double AX, double AY, double BX, double BY, double PX, double PY) {
  const double DX = BX - AX, DY = BY - AY;
  if (std::fabs(DX) < 1e-9 && std::fabs(DY) < 1e-9) {
    X = AX;
    Y = AY;
  } else if (std::fabs(DX) < 1e-9) {
    X = AX;
    Y = PY;
  } else if (std::fabs(DY) < 1e-9) {
    X = PX;
    Y = AY;
  } else {
    const double M = DY / DX, N = -1 / M;
    X = (AY - PY + N * PX - M * AX) / (N - M);
    Y = (AX - PX - M * PY + N * AY) / (N - M);
  }
}

void ProjectPointToSegment(bool& OnSegment, double& X, double& Y, double PX, double PY, double AX, double AY,
                           double BX, double BY, double& Dist) {
  FootOfPerpendicular(X, Y, AX, AY, BX, BY, PX, PY);
  OnSegment = PointInBox(X, Y, AX, AY, BX, BY);
  Dist = Distance(PX, PY, X, Y);
}

bool CoordIsRightOfLine(const TCoordinate* A, const TCoordinate* B, const TCoordinate* P) {
  if (!A || !B || !P) return false;
  return IsRightOfLine(PointOf(A), PointOf(B), PointOf(P));
}

double CoordVertexAngle(const TCoordinate* A, const TCoordinate* V, const TCoordinate* B) {
  if (!A || !V || !B) return 0;
  return VertexAngle(PointOf(A), PointOf(V), PointOf(B));
}

bool SegmentBoxNearRect(const TCoordinate* A, const TCoordinate* B, const TRealPoint& P1, const TRealPoint& P2,
                        double Tol) {
  if (!A || !B) return false;
  return RectsOverlap(A->GetX(), A->GetY(), B->GetX(), B->GetY(), P1.X, P1.Y, P2.X, P2.Y, Tol);
}

}  // namespace Mathlib
