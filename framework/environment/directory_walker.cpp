#include "framework/environment/directory_walker.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/files.h"

TDirSurfer::TDirSurfer(const std::string& root, std::uint16_t attributes, const std::string& mask)
    : root_(platform::ExpandFileName(root)), mask_(mask), attributes_(attributes) {}

void TDirSurfer::FoundFile(std::vector<std::string>& list, const std::string& name) {
  if (AcceptFile(name)) list.push_back(name);
}

void TDirSurfer::DirectoryDone(std::vector<std::string>& list) {
  std::sort(list.begin(), list.end());
  result_.insert(result_.end(), list.begin(), list.end());
}

void TDirSurfer::ListFiles(const std::string& dir) {
  std::vector<std::string> list;
  for (const platform::FileEntry& entry : platform::ListDirectory(dir, mask_, attributes_))
    if (entry.Attributes == 0 || (entry.Attributes & attributes_) != 0) FoundFile(list, dir + entry.Name);
  DirectoryDone(list);
}

void TDirSurfer::Walk() {
  // An explicit stack instead of recursion: a deep tree costs heap, not
  // stack.  Sub-folders are pushed last first, so they are walked in order.
  std::vector<std::string> pending{platform::IncludeTrailingPathDelimiter(root_)};
  while (!pending.empty()) {
    const std::string dir = std::move(pending.back());
    pending.pop_back();
    ListFiles(dir);
    std::vector<std::string> subdirs;
    for (const platform::FileEntry& entry : platform::ListDirectory(dir, "*.*", platform::faDirectory))
      if ((entry.Attributes & platform::faDirectory) && !entry.SymLink) subdirs.push_back(dir + entry.Name + "/");
    pending.insert(pending.end(), subdirs.rbegin(), subdirs.rend());
  }
}

std::vector<std::string> RecursiveFileSearch(const std::string& root, const std::string& mask,
                                             std::uint16_t attributes) {
  TDirSurfer walker(root, attributes, mask);
  walker.Walk();
  return walker.TakeResult();
}

std::vector<std::string> FlatFileSearch(const std::string& dir, const std::string& mask, std::uint16_t attributes) {
  std::vector<std::string> found;
  const std::string folder = platform::IncludeTrailingPathDelimiter(dir);
  for (const platform::FileEntry& entry : platform::ListDirectory(folder, mask, attributes))
    if ((entry.Attributes & attributes) != 0) found.push_back(folder + entry.Name);
  return found;
}
