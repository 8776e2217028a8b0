#pragma once
// The sample guide of the repository: one 1:50 000 sheet with its whole
// detail, some sheets of every scale selected and some not, and user map
// spaces.  The program that writes samples/guide/sample.kes and the test
// that checks the file both build it here.
#include <string>

class TGuide;

// A new guide (the caller owns it); a coordinate-system world must be set.
TGuide* BuildSampleGuide();
// Saves the sample guide as a KES file.
void WriteSampleGuide(const std::string& fileName);
