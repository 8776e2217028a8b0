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

// The program's folder, where the text fonts lie; set by the main tool.
const std::string& StrokeFontDirectory();
void SetStrokeFontDirectory(const std::string& directory);
// A text font file: the folder and the name joined by the delimiter.
std::string StrokeFontFile(const std::string& name);
