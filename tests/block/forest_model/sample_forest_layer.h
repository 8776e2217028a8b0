#pragma once
// The sample forestry data of the repository: under "DATA" a layer "TEZBA"
// (a rect entity round its lines) of two stands drawn as three lines without properties, their areas in a
// list named like the layer, and the units from LHC to stand group over the
// left stand, which has harvest props.  The program that writes
// samples/forestry/lhc.kes and the test that checks the file both build it
// here.
#include <string>

class TOwnerEntity;

// A new "DATA" entity; the caller owns it.
TOwnerEntity* BuildSampleForestData();
// Saves it as a KES file.
void WriteSampleForestData(const std::string& fileName);
