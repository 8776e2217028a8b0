#include "platform/replacing_folder.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/streams.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string TextOf(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ReasonOf(int error) { return std::generic_category().message(error); }

// A new set is a hidden folder beside the folder, named after it and after
// the process that makes it ("<pid>-<count>"), so that a later run can tell
// one whose maker is gone.  Its name never ends as the folder's does: a
// reader looking for the folder by its name or its extension passes it by.
std::string NewSetPrefix(const fs::path& folder) { return "." + TextOf(folder.filename()) + ".~new-"; }
// Where a file system cannot swap two names at one stroke, the earlier set
// steps aside under this name before the new set takes the folder's.
std::string EarlierSetPrefix(const fs::path& folder) { return "." + TextOf(folder.filename()) + ".~old-"; }
// New files written apart inside the folder, where none may be made beside
// it; no reader of the folder's files looks into a hidden folder.
constexpr const char* kFilesApartPrefix = ".~new-";

// The process named at the start of what follows the prefix; 0 for none.
pid_t MakerOf(std::string_view rest) {
  pid_t maker = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), maker);
  return error == std::errc() && end != rest.data() && end < rest.data() + rest.size() && *end == '-' ? maker : 0;
}

bool Runs(pid_t process) { return kill(process, 0) == 0 || errno == EPERM; }

// Whether the name is one a run whose process is gone gave a set beside the
// folder under the prefix.
bool LeftBy(const std::string& name, const std::string& prefix) {
  if (!name.starts_with(prefix)) return false;
  const pid_t maker = MakerOf(std::string_view(name).substr(prefix.size()));
  return maker > 0 && maker != getpid() && !Runs(maker);
}

// Removes a set with what it holds.  A set copied from a folder its owner
// may not write (mode 0555) is opened to its owner first: the set is ours.
void RemoveSet(const fs::path& set, std::error_code& error) {
  if (!fs::is_directory(fs::symlink_status(set, error))) {
    fs::remove(set, error);
    return;
  }
  std::vector<fs::path> folders{set};
  for (std::size_t i = 0; i < folders.size(); ++i) {
    chmod(folders[i].c_str(), S_IRWXU);
    std::error_code unread;  // what cannot be read cannot be removed either: remove_all tells
    for (fs::directory_iterator entry(folders[i], unread), end; !unread && entry != end; entry.increment(unread))
      if (entry->is_directory(unread) && !entry->is_symlink(unread)) folders.push_back(entry->path());
  }
  fs::remove_all(set, error);
}

// What a run killed before its swap left (its new set), or just after it
// (the earlier set, under the new set's name or stepped aside), beside the
// folder, and the new files it wrote apart inside the folder.  An earlier
// set stepped aside while the folder is missing was killed between its two
// steps: it is the folder, and goes back in place.
void RemoveLeftovers(const fs::path& folder) {
  const std::string newSets = NewSetPrefix(folder);
  const std::string earlierSets = EarlierSetPrefix(folder);
  std::vector<fs::path> left;
  std::error_code error;
  for (fs::directory_iterator entry(folder.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = TextOf(entry->path().filename());
    std::error_code missing, unmoved;  // one that cannot go back now is tried by the next run
    if (LeftBy(name, earlierSets) && !fs::exists(fs::symlink_status(folder, missing)))
      fs::rename(entry->path(), folder, unmoved);
    else if (LeftBy(name, newSets) || LeftBy(name, earlierSets))
      left.push_back(entry->path());
  }
  std::error_code inside;  // a folder not there holds nothing
  for (fs::directory_iterator entry(folder, inside), end; !inside && entry != end; entry.increment(inside))
    if (LeftBy(TextOf(entry->path().filename()), kFilesApartPrefix)) left.push_back(entry->path());
  // A leftover that cannot go now is tried again by the next run: it holds
  // nothing the folder needs.
  for (const fs::path& path : left) RemoveSet(path, error);
}

// The folder the system finds under the name: ".." goes up from where the
// link before it leads, and a link to a folder leads to that folder.  Empty
// for a name that names no folder's place (the root).
fs::path FolderOf(const std::string& path) {
  std::error_code error;
  fs::path folder = fs::absolute(PathOf(path), error);
  if (error) return {};
  if (!folder.has_filename()) folder = folder.parent_path();
  // A name not there yet is resolved up to its last part.
  folder = fs::weakly_canonical(folder, error);
  if (!error && !folder.has_filename()) folder = folder.parent_path();
  if (error || !folder.has_filename()) return {};
  return folder;
}

std::atomic<int> setsMade{0};

std::string SetName(const std::string& prefix) {
  return prefix + std::to_string(getpid()) + "-" + std::to_string(++setsMade);
}

// A set's place beside the folder, named by its prefix, this process and
// the sets it made before.
std::string BesideFolder(const fs::path& folder, const std::string& prefix) {
  return TextOf(folder.parent_path() / SetName(prefix));
}

// A file descriptor closed with its holder.
class TDescriptor {
 public:
  explicit TDescriptor(int fd) : fd_(fd) {}
  ~TDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now; false with errno set when what was written did not go.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

// Writes all count bytes; a disk that takes a part of them says why it
// takes no more at the next write.  False with errno set.
bool WriteAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(fd, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

// Hands the bytes of an open file to take, piece by piece, until its end;
// false with errno set when a read fails or take refuses a piece.
bool ForEachPiece(int from, const std::function<bool(const char* bytes, std::size_t count)>& take) {
  std::vector<char> buffer(256 * 1024);
  for (;;) {
    const ssize_t read = ::read(from, buffer.data(), buffer.size());
    if (read < 0 && errno == EINTR) continue;
    if (read <= 0) return read == 0;
    if (!take(buffer.data(), static_cast<std::size_t>(read))) return false;
  }
}

// Copies the bytes of one open file to another; false with errno set.
bool CopyBytes(int from, int to) {
  return ForEachPiece(from, [to](const char* bytes, std::size_t count) { return WriteAll(to, bytes, count); });
}

// A new file of the mode given with the bytes of the file from; false with
// errno set.
bool CopyFile(const fs::path& from, const fs::path& to, mode_t mode) {
  const TDescriptor in(open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (in.Get() < 0) return false;
  TDescriptor out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
  return out.Get() >= 0 && CopyBytes(in.Get(), out.Get()) && fchmod(out.Get(), mode & 07777) == 0 && out.Close();
}

// Writes out to the disk every file and folder below root and root itself,
// so that a power cut after the swap finds the new set whole; false with
// errno set.
bool SyncTree(const fs::path& root) {
  std::vector<fs::path> folders{root};
  for (std::size_t i = 0; i < folders.size(); ++i) {
    std::error_code error;
    for (fs::directory_iterator entry(folders[i], error), end; !error && entry != end; entry.increment(error)) {
      const fs::file_status status = entry->symlink_status(error);
      if (error) break;
      if (fs::is_directory(status)) {
        folders.push_back(entry->path());
      } else if (fs::is_regular_file(status)) {
        TDescriptor file(open(entry->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (file.Get() < 0 || fsync(file.Get()) != 0) return false;
      }
    }
    if (error) {
      errno = error.value();
      return false;
    }
    if (const int unsynced = SyncFolder(TextOf(folders[i])); unsynced != 0) {
      errno = unsynced;
      return false;
    }
  }
  return true;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

TReplacingFolder::TReplacingFolder(const std::string& path) : name_(path) {
  const fs::path folder = FolderOf(path);
  if (folder.empty()) throw EWriteError("Cannot replace folder " + path);
  path_ = TextOf(folder);
  newPath_ = BesideFolder(folder, NewSetPrefix(folder));
  if (IsWriteProtected(path_) || IsWriteProtected(newPath_)) throw EWriteError("Cannot replace folder " + path);
  RemoveLeftovers(folder);
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  // Where a file stands, no folder can be made.
  if (fs::exists(status) && !fs::is_directory(status)) throw EFCreateError("Cannot create directory " + path);
  existed_ = fs::is_directory(status);
  if (!existed_) return;
  const std::string refused = CopyFolder();
  if (!refused.empty()) WriteFilesApart(refused);
}

TReplacingFolder::~TReplacingFolder() {
  if (committed_) return;
  std::error_code ignored;  // the folder itself was not touched
  RemoveSet(PathOf(newPath_), ignored);
}

std::string TReplacingFolder::Named(const std::string& text) const {
  std::string named = text;
  ReplaceAll(named, newPath_, name_);
  ReplaceAll(named, path_, name_);
  return named;
}

// The new set as a copy of the folder: its folders open to their writer
// until the swap, the folder's own links left out until then.  The reason
// it cannot be made, naming what the copy could not take, empty when made.
std::string TReplacingFolder::CopyFolder() {
  const fs::path set = PathOf(newPath_);
  if (mkdir(set.c_str(), S_IRWXU) != 0) return ReasonOf(errno);
  struct Pending {
    fs::path from, to;
  };
  std::vector<Pending> folders{{PathOf(path_), set}};
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const Pending here = folders[i];
    struct stat own {};
    if (stat(here.from.c_str(), &own) != 0) return Named(here.from.string()) + ": " + ReasonOf(errno);
    if ((own.st_mode & S_IRWXU) != S_IRWXU) modes_.emplace_back(TextOf(here.to), own.st_mode & 07777);
    if (chmod(here.to.c_str(), (own.st_mode & 07777) | S_IRWXU) != 0) return ReasonOf(errno);
    std::error_code error;
    for (fs::directory_iterator entry(here.from, error), end; !error && entry != end; entry.increment(error)) {
      const fs::path to = here.to / entry->path().filename();
      struct stat kind {};
      if (lstat(entry->path().c_str(), &kind) != 0) return Named(TextOf(entry->path())) + ": " + ReasonOf(errno);
      bool copied = true;
      if (S_ISLNK(kind.st_mode)) {
        const fs::path target = fs::read_symlink(entry->path(), error);
        if (error) break;
        if (i == 0)
          links_.emplace_back(TextOf(entry->path().filename()), TextOf(target));
        else
          copied = symlink(target.c_str(), to.c_str()) == 0;
      } else if (S_ISDIR(kind.st_mode)) {
        copied = mkdir(to.c_str(), S_IRWXU) == 0;
        folders.push_back({entry->path(), to});
      } else if (S_ISREG(kind.st_mode)) {
        copied = CopyFile(entry->path(), to, kind.st_mode);
      } else {
        // A named pipe, a device or a socket has no bytes to copy.
        errno = ENOTSUP;
        copied = false;
      }
      if (!copied) return Named(TextOf(entry->path())) + ": " + ReasonOf(errno);
    }
    if (error) return Named(TextOf(here.from)) + ": " + error.message();
  }
  return {};
}

// Where no new set can be made, the new files are written apart: beside
// the folder, else inside it, in a hidden folder of their own.
void TReplacingFolder::WriteFilesApart(const std::string& reason) {
  std::error_code ignored;  // what the copy left goes with the next run's leftovers where not now
  RemoveSet(PathOf(newPath_), ignored);
  modes_.clear();
  links_.clear();
  fileByFile_ = reason;
  if (mkdir(newPath_.c_str(), S_IRWXU) == 0) return;
  const std::string inside = TextOf(PathOf(path_) / SetName(kFilesApartPrefix));
  if (IsWriteProtected(inside) || mkdir(inside.c_str(), S_IRWXU) != 0)
    throw EWriteError("Cannot replace folder " + name_ + ": " + reason);
  newPath_ = inside;
}

void TReplacingFolder::Commit() {
  std::error_code error;
  if (!fs::exists(PathOf(newPath_), error)) return;
  if (!fileByFile_.empty()) {
    PutFilesInPlace();
  } else {
    FinishSet();
    if (!(existed_ ? Exchange() : PutInPlace()))
      throw EWriteError("Cannot replace folder " + name_ + ": " + ReasonOf(errno));
    committed_ = true;
    if (const int unsynced = SyncFolder(TextOf(PathOf(path_).parent_path())); unsynced != 0)
      throw EWriteError("Cannot write folder " + name_ + " to the disk: " + ReasonOf(unsynced));
  }
  committed_ = true;
}

// Each new file replaces its file of the folder, whole, by the one writer
// of whole files; the folder's other files stay.
void TReplacingFolder::PutFilesInPlace() {
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::directory_iterator entry(PathOf(newPath_), error), end; !error && entry != end; entry.increment(error))
    files.push_back(entry->path());
  if (error) throw EWriteError("Cannot replace folder " + name_ + ": " + error.message());
  for (const fs::path& file : files) {
    const std::string target = TextOf(PathOf(path_) / file.filename());
    const TDescriptor in(open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.Get() < 0) throw EWriteError("Cannot replace file " + Named(target) + ": " + ReasonOf(errno));
    TReplacingFileStream out(target);
    const bool read = ForEachPiece(in.Get(), [&out](const char* bytes, std::size_t count) {
      out.Write(bytes, count);
      return true;
    });
    if (!read) throw EWriteError("Cannot replace file " + Named(target) + ": " + ReasonOf(errno));
    out.Commit();
    // Its room goes to the next one; what cannot go now goes with the next
    // run's leftovers.
    fs::remove(file, error);
  }
  RemoveSet(PathOf(newPath_), error);
}

// The folder's links back where no new file took their place, the modes of
// its folders given back, everything written out to the disk.
void TReplacingFolder::FinishSet() {
  const fs::path set = PathOf(newPath_);
  for (const auto& [name, target] : links_) {
    const fs::path at = set / PathOf(name);
    std::error_code missing, error;
    if (fs::exists(fs::symlink_status(at, missing))) continue;
    fs::create_symlink(PathOf(target), at, error);
    if (error) throw EWriteError("Cannot replace folder " + name_ + ": " + error.message());
  }
  if (!SyncTree(set)) throw EWriteError("Cannot write folder " + name_ + " to the disk: " + ReasonOf(errno));
  for (auto folder = modes_.rbegin(); folder != modes_.rend(); ++folder)
    if (chmod(folder->first.c_str(), folder->second) != 0)
      throw EWriteError("Cannot replace folder " + name_ + ": " + ReasonOf(errno));
}

namespace {

// Network file systems take no flags to a rename (EINVAL); an old kernel
// has no such call (ENOSYS).
bool RenameFlagsUnknown() { return errno == EINVAL || errno == ENOSYS; }

}  // namespace

bool TReplacingFolder::PutInPlace() {
  if (renameat2(AT_FDCWD, newPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) == 0) return true;
  return RenameFlagsUnknown() && rename(newPath_.c_str(), path_.c_str()) == 0;
}

bool TReplacingFolder::Exchange() {
  std::error_code error;  // an earlier set that cannot go now goes with the next run's leftovers
  if (renameat2(AT_FDCWD, newPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE) == 0) {
    RemoveSet(PathOf(newPath_), error);
    return true;
  }
  if (!RenameFlagsUnknown()) return false;
  // Where two names cannot be swapped, the earlier set steps aside and the
  // new set takes its name.  A kill between the two steps leaves the folder
  // missing beside the earlier set stepped aside, which the next run puts
  // back.
  const fs::path folder = PathOf(path_);
  const std::string aside = BesideFolder(folder, EarlierSetPrefix(folder));
  if (rename(path_.c_str(), aside.c_str()) != 0) return false;
  if (rename(newPath_.c_str(), path_.c_str()) != 0) {
    const int reason = errno;
    rename(aside.c_str(), path_.c_str());
    errno = reason;
    return false;
  }
  RemoveSet(PathOf(aside), error);
  return true;
}

}  // namespace platform
