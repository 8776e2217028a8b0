#pragma once
// File names and whole files as the subsystems see them: names are UTF-8,
// folders are separated by the platform's delimiter, text files are
// Windows-1250 on disk.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr char PathDelimiter = '/';

// The path with one delimiter at its end (an empty path stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& path);
// The part after the last delimiter.
std::string ExtractFileName(const std::string& path);
// The extension with its dot, empty when the name has none.
std::string ExtractFileExt(const std::string& path);
// The name with its extension replaced (ext with its dot, or empty).
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// False when there was no such file or it could not be removed.
bool DeleteFile(const std::string& fileName);
// Both names lead to one existing file (through links and "..").
bool SameFile(const std::string& a, const std::string& b);
// The file's size in bytes; -1 when it cannot be read.
long long FileSize(const std::string& fileName);
// Cuts the file to that size; false when it cannot.
bool TruncateFile(const std::string& fileName, unsigned long long size);
// A folder of that name exists.
bool DirectoryExists(const std::string& path);
// What tells one version of a file from the next without reading it: the
// file itself, its size and the time it was last written, to the nanosecond.
struct FileStamp {
  unsigned long long Node = 0;
  long long Size = -1;
  long long WrittenNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// The file's stamp; the default stamp when there is no such file.
FileStamp StampOfFile(const std::string& fileName);
// The file as named when it exists; else the first entry of its folder
// whose name matches without regard to case (files written on a system
// that ignores case); else the name as given.
std::string FindFileAnyCase(const std::string& fileName);
// Creates the folder and every missing folder above it; raises EFCreateError
// when one cannot be made.
void ForceDirectories(const std::string& path);

// The lines of a Windows-1250 text file as UTF-8; lines end in CR LF, LF or
// CR, and a break at the very end starts no line.  Raises EFOpenError.
std::vector<std::string> ReadTextLines(const std::string& fileName);
// The same lines as the bytes the file holds, for files in another code page.
std::vector<std::string> ReadByteLines(const std::string& fileName);
// Writes the bytes as the whole file, through the one writer of whole
// files; raises EFCreateError or EWriteError.
void WriteWholeFile(const std::string& fileName, std::string_view bytes);
// Writes the lines in Windows-1250, each ended by CR LF, as the whole file;
// raises EFCreateError or EWriteError.
void WriteTextLines(const std::string& fileName, const std::vector<std::string>& lines);
// Appends one line in Windows-1250, ended by CR LF, to the file, which is
// created when missing; raises EFCreateError when it can be neither opened
// nor created.
void AppendTextLine(const std::string& fileName, const std::string& line);

// A folder that this layer treats, with everything below it, as one the user
// cannot write (a read-only share or medium): its files are not deleted,
// renamed, created or opened for writing while the guard lives.  Tests use
// it where permissions would stop nothing (they run as root).
class WriteProtectedFolder {
 public:
  explicit WriteProtectedFolder(const std::string& folder);
  ~WriteProtectedFolder();
  WriteProtectedFolder(const WriteProtectedFolder&) = delete;
  WriteProtectedFolder& operator=(const WriteProtectedFolder&) = delete;

 private:
  std::string folder_;
};
// Whether the file or folder lies in a write-protected folder.
bool IsWriteProtected(const std::string& path);
// Writes the folder's entries out to the disk, so that a file renamed or
// made in it is found there after a power cut; 0, or the system's error.
// A file system that cannot sync a folder, and says so, is no failure.
int SyncFolder(const std::string& folder);

// The process's current directory, without a trailing delimiter.
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& path);
// Starts a program with its arguments and does not wait for it; false when it
// could not be started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace platform
