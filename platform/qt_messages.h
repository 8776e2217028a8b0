#pragma once
// How the program meets the window system when it starts.
namespace platform {

// A fatal message of Qt (no display to connect to, no platform plug-in)
// goes to the standard error and ends the program with exit code 1, instead
// of aborting it with a core dump.
void EndOnFatalQtMessage();
// Chooses Qt's offscreen platform when no display is set and no platform was
// asked for.
void UseOffscreenWithoutDisplay();

}  // namespace platform
