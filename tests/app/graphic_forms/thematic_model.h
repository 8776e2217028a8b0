#pragma once
// The sample thematic maps of the graphic form, kept as
// samples/tool_groups/thematic.kes: the object model's "DATA" with
// "THEMATIC" and its three maps ("Porostní mapa", "Šrafová mapa",
// "Těžební mapa"), each a rect entity of its own lines and areas over the
// same 1000 m square in national grid coordinates.  The program that writes
// the file and the test that checks it both build it here.
#include <string>
#include <vector>

#include "spatial/geometry/geometry_types.h"

class TOwnerEntity;

// The south-west corner of the square the maps cover.
TRealPoint ThematicModelOrigin();
std::vector<std::string> ThematicMapNames();
// A new "DATA" (the caller owns it).
TOwnerEntity* BuildThematicModel();
void WriteThematicModel(const std::string& fileName);
