#pragma once
// Bounds a rect entity lacks (a layer read without them, a list filled
// without growing), made from what it holds.
#include "spatial/geometry/geometry_types.h"

class TElement;

// Walks what the element holds: every rect entity below it (and the element
// itself) without valid bounds gets the bounds of its content, and one with
// valid bounds grows by the content whose bounds the walk made.  Extent is
// the element's bounds, the union of what another entity holds, or a
// coordinate's point; false when there is none.  The walk keeps its own
// stack, however deep the entities nest, and enters each entity once.
bool CompleteMissingBounds(TElement* element, TRealRect& extent);
