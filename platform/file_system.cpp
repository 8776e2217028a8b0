#include "platform/file_system.h"

#include <QStorageInfo>

#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace platform {

namespace fs = std::filesystem;

std::vector<std::string> MountPoints() {
  std::vector<std::string> roots{"/"};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    const std::string root = volume.rootPath().toStdString();
    if (volume.isValid() && std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
  }
  return roots;
}

bool MakeDirectory(const std::string& path, std::string& error) {
  std::error_code code;
  if (fs::create_directory(path, code)) return true;
  error = code ? code.message() : "File exists";
  return false;
}

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

DateParts LocalParts(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

bool EntryOf(const fs::path& path, FileEntry& entry) {
  struct stat linkInfo {};
  if (lstat(path.c_str(), &linkInfo) != 0) return false;
  struct stat info = linkInfo;
  entry.SymLink = S_ISLNK(linkInfo.st_mode);
  if (entry.SymLink && stat(path.c_str(), &info) != 0) info = linkInfo;  // a dangling link: its own facts
  entry.Name = path.filename().string();
  entry.Attributes = 0;
  entry.Attributes |= S_ISDIR(info.st_mode) ? faDirectory : faArchive;
  if ((info.st_mode & S_IWUSR) == 0) entry.Attributes |= faReadOnly;
  if (!entry.Name.empty() && entry.Name.front() == '.') entry.Attributes |= faHidden;
  entry.Size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
  entry.Time = PackFileDate(LocalParts(info.st_mtime));
  return true;
}

}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*" || mask == "*") return true;
  // Greedy matching with one backtrack point: linear in practice, never
  // recursive.
  std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Upper(mask[m]) == Upper(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<FileEntry> ListDirectory(const std::string& directory, const std::string& mask,
                                     std::uint32_t attributes) {
  std::vector<FileEntry> entries;
  // The system reads a name only up to a NUL byte: a folder named with one
  // would list the folder named before it, and a walk below it that folder
  // over and over.
  if (directory.find('\0') != std::string::npos) return entries;
  std::error_code error;
  for (fs::directory_iterator it(directory.empty() ? "." : directory, error), end; !error && it != end;
       it.increment(error)) {
    FileEntry entry;
    if (!EntryOf(it->path(), entry) || !MatchesMask(entry.Name, mask)) continue;
    if ((entry.Attributes & faDirectory) && !(attributes & faDirectory)) continue;
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const FileEntry& a, const FileEntry& b) { return a.Name < b.Name; });
  return entries;
}

bool FindFile(const std::string& path, FileEntry& entry) { return !path.empty() && EntryOf(path, entry); }

std::string ExpandFileName(const std::string& path) {
  if (!path.empty() && path.front() == '/') return fs::path(path).lexically_normal().string();
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

bool SetFileAttributes(const std::string& path, std::uint32_t attributes) {
  if (IsWriteProtected(path)) return false;
  std::error_code error;
  const fs::perms write = fs::perms::owner_write;
  fs::permissions(path, write, (attributes & faReadOnly) ? fs::perm_options::remove : fs::perm_options::add, error);
  return !error;
}

bool SetFileDate(const std::string& path, std::uint32_t packedTime) {
  if (IsWriteProtected(path)) return false;
  const DateParts parts = UnpackFileDate(packedTime);
  std::tm local{};
  local.tm_year = parts.Year - 1900;
  local.tm_mon = parts.Month - 1;
  local.tm_mday = parts.Day;
  local.tm_hour = parts.Hour;
  local.tm_min = parts.Minute;
  local.tm_sec = parts.Second;
  local.tm_isdst = -1;
  const std::time_t time = mktime(&local);
  if (time == static_cast<std::time_t>(-1)) return false;
  const struct timeval times[2] = {{time, 0}, {time, 0}};
  return utimes(path.c_str(), times) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(to, error)) || IsWriteProtected(from) || IsWriteProtected(to)) return false;
  fs::rename(from, to, error);
  return !error;
}

std::uint32_t PackFileDate(const DateParts& p) {
  const int year = std::clamp(p.Year, 1980, 2107);
  const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (p.Month << 5) | p.Day);
  const std::uint32_t time = static_cast<std::uint32_t>((p.Hour << 11) | (p.Minute << 5) | (p.Second / 2));
  return (date << 16) | time;
}

DateParts UnpackFileDate(std::uint32_t packed) {
  const std::uint32_t date = packed >> 16, time = packed & 0xFFFFu;
  return {static_cast<int>(date >> 9) + 1980, static_cast<int>((date >> 5) & 0x0F), static_cast<int>(date & 0x1F),
          static_cast<int>(time >> 11),       static_cast<int>((time >> 5) & 0x3F), static_cast<int>((time & 0x1F) * 2)};
}

int DriveType(const std::string& root) {
  std::error_code error;
  if (!fs::is_directory(root, error)) return 1;
  const QStorageInfo volume(QString::fromStdString(root));
  if (!volume.isValid()) return 0;
  const QByteArray type = volume.fileSystemType().toLower();
  if (type == "tmpfs" || type == "ramfs" || type == "devtmpfs") return 6;
  if (type == "iso9660" || type == "udf") return 5;
  if (type.startsWith("nfs") || type == "cifs" || type == "smbfs" || type.startsWith("fuse.sshfs")) return 4;
  if (type == "vfat" || type == "msdos" || type == "exfat") return 2;
  return 3;
}

}  // namespace platform
