#pragma once
// Where the symbol library's text files and fonts are read from: one folder
// for the whole program, set from the options.
#include <string>

// The folder without a trailing delimiter; empty when none is set.
const std::string& SymbolLibraryDirectory();
// Keeps the folder with one trailing "\" or "/" removed.
void SetSymbolLibraryDirectory(const std::string& directory);
// A file of the library: the folder and the name joined by the delimiter.
std::string SymbolLibraryFile(const std::string& name);
