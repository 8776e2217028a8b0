#pragma once
// The sample model of the rendering tests, kept as samples/render/model.kes:
// lines, an area with a hole, points, a node of three lines, a selection, two
// state map sheets and a ZM locator, all round the corner of ZM sheet 12 in
// national grid coordinates.  The program that writes the file and the test
// that checks it both build it here.
#include <string>

#include "spatial/geometry/geometry_types.h"

class TOwnerEntity;

// The corner of ZM sheet 12 the model lies round; it spans 1000 m each way.
TRealPoint SampleModelOrigin();
// A new model (the caller owns it).
TOwnerEntity* BuildSampleRenderModel();
void WriteSampleRenderModel(const std::string& fileName);
