#pragma once
// The sample layouts, kept in samples/layouts: a desktop sheet with two
// views of one grid model (the second following the first), a title, a
// framed rectangle and a legend text block; a multi-page desktop of three
// sheets in a row whose number texts name their neighbours; and the
// legend's Windows-1250 text file.  The program that writes the files and
// the test that checks them both build them here.
#include <string>
#include <vector>

class TDesktop;
class TMultiPageDesktop;

// The legend's lines and its file's name beside the desktop.
std::vector<std::string> SampleLegendLines();
inline constexpr const char* kSampleLegendFile = "legenda.txt";
// New layouts (the caller owns them).
TDesktop* BuildSampleDesktop();
TMultiPageDesktop* BuildSampleMultiPageDesktop();
// Writes desktop.kes, pages.kes and the legend into the folder.
void WriteSampleLayouts(const std::string& folder);
