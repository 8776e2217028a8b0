#pragma once
// The file system as the subsystems see it.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The roots a user may start from: "/" first, then the mounted volumes.
std::vector<std::string> MountPoints();
// Creates one folder; on failure answers false with the system's reason.
bool MakeDirectory(const std::string& path, std::string& error);

// Attribute bits of a directory entry.  On this system a file is read-only
// when its owner may not write it and hidden when its name starts with ".";
// every plain file carries the archive bit (as new files do where the bit is
// kept), and system and volume bits never occur.
enum : std::uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faAnyFile = 0x3F,
};

struct FileEntry {
  std::string Name;           // without its folder
  std::uint32_t Attributes = 0;
  std::int64_t Size = 0;      // bytes, 0 for a folder
  std::uint32_t Time = 0;     // local time packed as a file date (date in the high word)
  bool SymLink = false;       // the entry is a symbolic link (its target's facts are given)
};

// The entries of a folder whose names match the mask ("*" and "?", letter
// case ignored, "*.*" matching every name), without "." and "..", sorted by
// name.  Folders are listed only when attributes asks for faDirectory.  An
// unreadable folder gives no entries.
std::vector<FileEntry> ListDirectory(const std::string& directory, const std::string& mask,
                                     std::uint32_t attributes);
// Whether the mask matches the name, as ListDirectory matches.
bool MatchesMask(const std::string& name, const std::string& mask);
// The facts of one file or folder; false when it does not exist.
bool FindFile(const std::string& path, FileEntry& entry);
// The path made absolute against the working folder; a path starting with
// "/" already is.
std::string ExpandFileName(const std::string& path);

// Only the read-only bit can be given to a file here; false when the file's
// permissions cannot be changed.
bool SetFileAttributes(const std::string& path, std::uint32_t attributes);
bool SetFileDate(const std::string& path, std::uint32_t packedTime);
// False (and nothing moved) when the target exists or the move fails.
bool RenameFile(const std::string& from, const std::string& to);

// Packed file dates (seconds in steps of two, years from 1980) to and from
// the calendar.
struct DateParts {
  int Year = 1980, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
};
std::uint32_t PackFileDate(const DateParts& parts);
DateParts UnpackFileDate(std::uint32_t packed);

// The kind of volume a mount point is on: 0 unknown, 1 not found, 2 removable,
// 3 fixed, 4 remote, 5 optical, 6 memory.
int DriveType(const std::string& root);

}  // namespace platform
