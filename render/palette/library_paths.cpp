#include "render/palette/library_paths.h"

#include "platform/files.h"

namespace {
std::string& Directory() {
  static std::string directory;
  return directory;
}
}  // namespace

const std::string& SymbolLibraryDirectory() { return Directory(); }

void SetSymbolLibraryDirectory(const std::string& directory) {
  std::string path = directory;
  for (char& c : path)
    if (c == '\\') c = platform::PathDelimiter;
  if (!path.empty() && path.back() == platform::PathDelimiter) path.pop_back();
  Directory() = path;
}

std::string SymbolLibraryFile(const std::string& name) { return Directory() + platform::PathDelimiter + name; }
