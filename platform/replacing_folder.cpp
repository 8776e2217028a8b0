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

// The process named at the start of what follows the prefix; 0 for none.
pid_t MakerOf(std::string_view rest) {
  pid_t maker = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), maker);
  return error == std::errc() && end != rest.data() && end < rest.data() + rest.size() && *end == '-' ? maker : 0;
}

bool Runs(pid_t process) { return kill(process, 0) == 0 || errno == EPERM; }

// What a run killed before its swap left (its new set), or just after it
// (the earlier set, under the new set's name), beside the folder.
void RemoveLeftovers(const fs::path& folder) {
  const std::string prefix = NewSetPrefix(folder);
  std::vector<fs::path> left;
  std::error_code error;
  for (fs::directory_iterator entry(folder.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = TextOf(entry->path().filename());
    if (!name.starts_with(prefix)) continue;
    const pid_t maker = MakerOf(std::string_view(name).substr(prefix.size()));
    if (maker > 0 && maker != getpid() && !Runs(maker)) left.push_back(entry->path());
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

std::atomic<int> newSetsMade{0};

}  // namespace

TReplacingFolder::TReplacingFolder(const std::string& path) : name_(path) {
  const fs::path folder = FolderOf(path);
  if (folder.empty()) throw EWriteError("Cannot replace folder " + path);
  path_ = TextOf(folder);
  newPath_ = TextOf(folder.parent_path() / (NewSetPrefix(folder) + std::to_string(getpid()) + "-" +
                                            std::to_string(++newSetsMade)));
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
  const unsigned int how = existed_ ? RENAME_EXCHANGE : RENAME_NOREPLACE;
  if (renameat2(AT_FDCWD, newPath_.c_str(), AT_FDCWD, path_.c_str(), how) != 0)
    throw EWriteError("Cannot replace folder " + name_ + ": " + std::generic_category().message(errno));
  committed_ = true;
  // The earlier set now stands under the new set's name; one that cannot
  // go now goes with the leftovers of the next run.
  if (existed_) fs::remove_all(PathOf(newPath_), error);
}

}  // namespace platform
