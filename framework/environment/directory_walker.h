#pragma once
// Walks a folder tree and collects the names of matching files: the files of
// a folder (sorted by name) come before those of its sub-folders, which are
// walked in the order the folder lists them.  Folders reached through a
// symbolic link are not entered, so a link loop ends the walk of its branch.
#include <cstdint>
#include <string>
#include <vector>

class TDirSurfer {
 public:
  TDirSurfer(const std::string& root, std::uint16_t attributes, const std::string& mask);
  virtual ~TDirSurfer() = default;
  TDirSurfer(const TDirSurfer&) = delete;
  TDirSurfer& operator=(const TDirSurfer&) = delete;

  // Walks the root; a separate step so that descendants' overrides take part.
  void Walk();

  const std::string& Root() const { return root_; }
  std::vector<std::string>& Result() { return result_; }
  std::vector<std::string> TakeResult() { return std::move(result_); }

  virtual bool AcceptFile(const std::string& /*name*/) { return true; }
  virtual void FoundFile(std::vector<std::string>& list, const std::string& name);
  virtual void DirectoryDone(std::vector<std::string>& list);

 private:
  void ListFiles(const std::string& dir);

  std::string root_;
  std::string mask_;
  std::uint16_t attributes_;
  std::vector<std::string> result_;
};

// Full names of the matching files of the tree under root.
std::vector<std::string> RecursiveFileSearch(const std::string& root, const std::string& mask,
                                             std::uint16_t attributes);
// Full names of the entries of one folder whose attributes share a bit with
// attributes; empty when none matched.
std::vector<std::string> FlatFileSearch(const std::string& dir, const std::string& mask, std::uint16_t attributes);
