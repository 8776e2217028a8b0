#pragma once
// A folder whose files are given a new content as one set: the new set is
// made in a folder beside it and takes the folder's place at one stroke,
// only once it is complete.  Until then the folder stays as it was (or stays
// missing), and a run that ends on the way (an error, a kill) leaves nothing
// of the new set under the folder's name.
//
// The folder is the one the system finds under the name: a link to a folder
// is followed, and "lnk/.." is the folder above where the link leads.  A
// file of the folder that is a link is no file of the new set while it is
// written, so that nothing is written through the link before the swap: a
// file written anew takes the link's place as a file of its own (what the
// link led to stays as it was), and a link not written anew comes back as
// the same link.
//
// Where no new set can be made beside the folder (its parent folder may not
// be written, the disk has no room for a copy of it, it holds what a copy
// cannot take, such as a named pipe), the new files are written apart and
// each then replaces its file of the folder on its own, whole; the folder
// then holds, after a run that ended on the way, earlier and new files side
// by side.
#include <string>
#include <utility>
#include <vector>

namespace platform {

class TReplacingFolder {
 public:
  // The new set starts as a copy of the folder, or as no folder at all
  // where there is none.  What runs that ended before their swap left
  // beside the folder goes.  EWriteError when neither a new set nor a
  // folder for the new files apart can be made, EFCreateError where a file
  // stands in the folder's place.
  explicit TReplacingFolder(const std::string& path);
  // Not committed, the new set goes.
  ~TReplacingFolder();
  TReplacingFolder(const TReplacingFolder&) = delete;
  TReplacingFolder& operator=(const TReplacingFolder&) = delete;

  // The folder the new files are written in.
  const std::string& Path() const { return newPath_; }
  // Why no new set could be made beside the folder, so that its files are
  // replaced one by one; empty where the new set takes the folder's place.
  const std::string& ReplacedFileByFile() const { return fileByFile_; }
  // The text with the folder the new files are written in named as the
  // folder the user named: the user knows no other.
  std::string Named(const std::string& text) const;
  // Writes the new set out to the disk and puts it in the folder's place;
  // the earlier set goes.  Nothing changes where the new set was never
  // made.  EWriteError when the swap fails: the folder then stays as it
  // was.  Where the files are replaced one by one, each file written goes
  // whole to its place in the folder (EWriteError for one that cannot).
  void Commit();

 private:
  // As given, for the texts of errors.
  std::string name_;
  std::string path_;
  std::string newPath_;
  std::string fileByFile_;
  bool existed_ = false;
  bool committed_ = false;
  // Folders of the new set that the copy opened to its writer, with the
  // mode each has in the folder, given back before the swap.
  std::vector<std::pair<std::string, unsigned>> modes_;
  // The folder's own entries that are links (name, where it leads).
  std::vector<std::pair<std::string, std::string>> links_;

  std::string CopyFolder();
  void WriteFilesApart(const std::string& reason);
  void PutFilesInPlace();
  void FinishSet();
  // The new set in the folder's place, where there was none or where the
  // earlier set stood (which goes); false with errno set when the folder
  // stays as it was.
  bool PutInPlace();
  bool Exchange();
};

}  // namespace platform
