#pragma once
// The main road of the program: a guide file is loaded into the object
// model, and the sheet frames of every chosen series are written into a
// block of their own under the export folder.  The main tool runs both as
// the handlers of its messages 84 and 100; the options are the main tool's
// published "Options".
#include <string>

class TTool;

// Releases everything the object model holds and loads the guide file into
// it; the main tool then shows the guide and posts the export (100).
void LoadGuide(TTool& mainTool, const std::string& fileName);
// Asks for the series and the folder, selects the frame lines and writes one
// block per chosen series.  guideFileName is the file the guide came from.
// False when a chosen block was not written (no guide, no folder, a block
// that failed or the user's stop); the user's No to the dialog is no failure.
bool ExportGuide(TTool& mainTool, const std::string& guideFileName);
