#include "platform/replacing_folder.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <signal.h>
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

// A new set is a hidden folder beside the folder, named after it and after
// the process that makes it ("<pid>-<count>"), so that a later run can tell
// one whose maker is gone.  Its name never ends as the folder's does: a
// reader looking for the folder by its name or its extension passes it by.
std::string NewSetPrefix(const fs::path& folder) { return "." + TextOf(folder.filename()) + ".~new-"; }
// Where a file system cannot swap two names at one stroke, the earlier set
// steps aside under this name before the new set takes the folder's.
std::string EarlierSetPrefix(const fs::path& folder) { return "." + TextOf(folder.filename()) + ".~old-"; }

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

// What a run killed before its swap left (its new set), or just after it
// (the earlier set, under the new set's name or stepped aside), beside the
// folder.  An earlier set stepped aside while the folder is missing was
// killed between its two steps: it is the folder, and goes back in place.
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
  // A leftover that cannot go now is tried again by the next run: it holds
  // nothing the folder needs.
  for (const fs::path& path : left) fs::remove_all(path, error);
}

// The folder named, through a link to a folder to the folder it leads to;
// empty for a name that names no folder's place (the root).
fs::path FolderOf(const std::string& path) {
  std::error_code error;
  fs::path folder = fs::absolute(PathOf(path), error).lexically_normal();
  if (error) return {};
  if (!folder.has_filename()) folder = folder.parent_path();
  std::error_code missing;  // a folder that is not there yet is no link
  if (fs::is_symlink(fs::symlink_status(folder, missing))) folder = fs::canonical(folder, error);
  if (error || !folder.has_filename()) return {};
  return folder;
}

std::atomic<int> setsMade{0};

// A set's place beside the folder, named by its prefix, this process and
// the sets it made before.
std::string BesideFolder(const fs::path& folder, const std::string& prefix) {
  return TextOf(folder.parent_path() / (prefix + std::to_string(getpid()) + "-" + std::to_string(++setsMade)));
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
  fs::copy(folder, PathOf(newPath_), fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
  if (!error) return;
  std::error_code ignored;  // the reason to tell is the copy's
  fs::remove_all(PathOf(newPath_), ignored);
  throw EWriteError("Cannot copy folder " + path + ": " + error.message());
}

TReplacingFolder::~TReplacingFolder() {
  if (committed_) return;
  std::error_code ignored;  // the folder itself was not touched
  fs::remove_all(PathOf(newPath_), ignored);
}

void TReplacingFolder::Commit() {
  std::error_code error;
  if (!fs::exists(PathOf(newPath_), error)) return;
  if (!(existed_ ? Exchange() : PutInPlace()))
    throw EWriteError("Cannot replace folder " + name_ + ": " + std::generic_category().message(errno));
  committed_ = true;
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
    fs::remove_all(PathOf(newPath_), error);
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
  fs::remove_all(PathOf(aside), error);
  return true;
}

}  // namespace platform
