#pragma once
// How the program meets the window system when it starts.
#include <string>

namespace platform {

// A fatal message of Qt (no display to connect to, no platform plug-in)
// goes to the standard error and ends the program with exit code 1, instead
// of aborting it with a core dump.
void EndOnFatalQtMessage();
// Chooses Qt's offscreen platform when no display is set and no platform was
// asked for.
void UseOffscreenWithoutDisplay();

// The toolkit's message log as code outside it meets it (the tests).
enum class ToolkitMessage { Info, Warning, Fatal };
// Sends a message through the toolkit's log, as the toolkit's own code does.
void LogToolkitMessage(ToolkitMessage kind, const std::string& text);
// Makes the toolkit's log write each message as prefix + text on a line of
// the standard error, as a handler found in place when the program starts.
void EchoToolkitMessages(const std::string& prefix);

}  // namespace platform
