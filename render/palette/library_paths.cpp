#include "render/palette/library_paths.h"

#include "platform/files.h"

namespace {
std::string& Directory() {
  static std::string directory;
  return directory;
}
std::string& FontDirectory() {
  static std::string directory;
  return directory;
}
// Backslashes become the system's delimiter; a trailing one goes.
std::string FolderWithoutDelimiter(const std::string& directory) {
  std::string path = directory;
  for (char& c : path)
    if (c == '\\') c = platform::PathDelimiter;
  if (!path.empty() && path.back() == platform::PathDelimiter) path.pop_back();
  return path;
}
}  // namespace

const std::string& SymbolLibraryDirectory() { return Directory(); }

void SetSymbolLibraryDirectory(const std::string& directory) { Directory() = FolderWithoutDelimiter(directory); }

std::string SymbolLibraryFile(const std::string& name) { return Directory() + platform::PathDelimiter + name; }

const std::string& StrokeFontDirectory() { return FontDirectory(); }

void SetStrokeFontDirectory(const std::string& directory) { FontDirectory() = FolderWithoutDelimiter(directory); }

std::string StrokeFontFile(const std::string& name) { return FontDirectory() + platform::PathDelimiter + name; }
