#pragma once
// Stateless routines on world coordinates (metres, Y up, angles in radians
// counter-clockwise from +X).  Values the routines hold in the six-byte real
// of the block files carry only its precision; such a value of 2^127 or more
// raises EReal48Overflow.
#include "spatial/geometry/geometry_types.h"

class TCoordinate;

namespace Mathlib {

// Direction in (0, 2pi]: +X and the zero vector give 2pi.
double VectorAngle(double DX, double DY);
// Into [0, 2pi), six-byte real.
double NormalizeAngle(double A);
double DegToRad(double D);
// P strictly right of the directed line A -> B.
bool IsRightOfLine(const TRealPoint& A, const TRealPoint& B, const TRealPoint& P);
// The coordinate-object twins read X and Y through the accessors; a nil
// coordinate gives false or 0.
bool CoordIsRightOfLine(const TCoordinate* A, const TCoordinate* B, const TCoordinate* P);
double ArcCos(double X);
// The angle at V between V -> A and V -> B, in [0, pi].
double VertexAngle(const TRealPoint& A, const TRealPoint& V, const TRealPoint& B);
double CoordVertexAngle(const TCoordinate* A, const TCoordinate* V, const TCoordinate* B);
void PolarPoint(const TRealPoint& Base, TRealPoint& P, double Angle, double Dist);
// Puts the pair in ascending order; the value that moves to B passes
// through a six-byte real.
void OrderPair(double& A, double& B);
bool RectsOverlap(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4,
                  double Tol);
// The box of the segment AB against the box with corners P1, P2.
bool SegmentBoxNearRect(const TCoordinate* A, const TCoordinate* B, const TRealPoint& P1, const TRealPoint& P2,
                        double Tol);
double Distance(double X1, double Y1, double X2, double Y2);
bool PointsCoincide(double X1, double Y1, double X2, double Y2, double Tol);
bool PointsEqual(double X1, double Y1, double X2, double Y2);
// The point at Dist from (X1, Y1) towards (X2, Y2), snapped to Grid unless
// Grid is 0.
void PointTowards(double& X, double& Y, double X1, double Y1, double X2, double Y2, double Dist, double Grid);
// As AnalInt::SegmentIntersection, with the slope difference rounded to the
// six-byte real.
void SegmentIntersection(double& X, double& Y, bool& NoPoint, double X1, double Y1, double X2, double Y2,
                         double X3, double Y3, double X4, double Y4, bool& OnFirst, bool& OnSecond);
bool SegmentsCross(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4);
// Within the box widened by 1e-4.
bool PointInBox(double X, double Y, double X1, double Y1, double X2, double Y2);
// A segment shorter than 1e-9 on both axes has its foot at A.
void FootOfPerpendicular(double& X, double& Y, double AX, double AY, double BX, double BY, double PX, double PY);
void ProjectPointToSegment(bool& OnSegment, double& X, double& Y, double PX, double PY, double AX, double AY,
                           double BX, double BY, double& Dist);

}  // namespace Mathlib
