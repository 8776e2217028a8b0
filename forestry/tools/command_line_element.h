#pragma once
// The element a command-line path designates: the line runs and its first
// result is read as an element handle.
class TCommandLine;
class TElement;

// Runs the line; nil when its result is no live handle (an address, any other
// text or an error designates nothing).
TElement* RunForElement(TCommandLine& commandLine);
