#pragma once
// A folder whose files are given a new content as one set: the new set is
// made in a folder beside it and takes the folder's place at one stroke,
// only once it is complete.  Until then the folder stays as it was (or stays
// missing), and a run that ends on the way (an error, a kill) leaves nothing
// of the new set under the folder's name.
#include <string>

namespace platform {

class TReplacingFolder {
 public:
  // The new set starts as a copy of the folder, or as no folder at all
  // where there is none.  What runs that ended before their swap left
  // beside the folder goes.  EWriteError when the copy cannot be made,
  // EFCreateError where a file stands in the folder's place.
  explicit TReplacingFolder(const std::string& path);
  // Not committed, the new set goes.
  ~TReplacingFolder();
  TReplacingFolder(const TReplacingFolder&) = delete;
  TReplacingFolder& operator=(const TReplacingFolder&) = delete;

  // The folder the new set is written in.
  const std::string& Path() const { return newPath_; }
  // Writes the new set out to the disk and puts it in the folder's place;
  // the earlier set goes.  Nothing changes where the new set was never
  // made.  EWriteError when the swap fails: the folder then stays as it was.
  void Commit();

 private:
  // As given, for the texts of errors.
  std::string name_;
  std::string path_;
  std::string newPath_;
  bool existed_ = false;
  bool committed_ = false;

  // The new set in the folder's place, where there was none or where the
  // earlier set stood (which goes); false with errno set when the folder
  // stays as it was.
  bool PutInPlace();
  bool Exchange();
};

}  // namespace platform
