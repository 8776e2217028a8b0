#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>

#include "platform/code_page.h"
#include "platform/streams.h"

namespace platform {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of(PathDelimiter);
  return slash == std::string::npos ? 0 : slash + 1;
}

std::size_t ExtStart(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < NameStart(path) ? path.size() : dot;
}

std::string NormalFolder(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), error);
  const std::u8string text = absolute.lexically_normal().u8string();
  return IncludeTrailingPathDelimiter(std::string(text.begin(), text.end()));
}

std::mutex protectedMutex;
std::vector<std::string> protectedFolders;
std::atomic<bool> anyProtected{false};

}  // namespace

WriteProtectedFolder::WriteProtectedFolder(const std::string& folder) : folder_(NormalFolder(folder)) {
  const std::lock_guard lock(protectedMutex);
  protectedFolders.push_back(folder_);
  anyProtected = true;
}

WriteProtectedFolder::~WriteProtectedFolder() {
  const std::lock_guard lock(protectedMutex);
  protectedFolders.erase(std::find(protectedFolders.begin(), protectedFolders.end(), folder_));
  anyProtected = !protectedFolders.empty();
}

bool IsWriteProtected(const std::string& path) {
  if (!anyProtected) return false;
  const std::string normal = NormalFolder(path);
  const std::lock_guard lock(protectedMutex);
  return std::any_of(protectedFolders.begin(), protectedFolders.end(),
                     [&](const std::string& folder) { return normal.starts_with(folder); });
}

int SyncFolder(const std::string& folder) {
  const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return errno;
  const int error = ::fsync(handle) == 0 || errno == EINVAL || errno == ENOTSUP ? 0 : errno;
  ::close(handle);
  return error;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (path.empty() || path.back() == PathDelimiter) return path;
  return path + PathDelimiter;
}

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileExt(const std::string& path) { return path.substr(ExtStart(path)); }

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, ExtStart(path)) + ext;
}

bool DeleteFile(const std::string& fileName) {
  std::error_code error;
  return FileExists(fileName) && !IsWriteProtected(fileName) && std::filesystem::remove(PathOf(fileName), error);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(PathOf(a), PathOf(b), error);
  return !error && same;
}

long long FileSize(const std::string& fileName) {
  std::error_code error;
  const auto size = std::filesystem::file_size(PathOf(fileName), error);
  return error ? -1 : static_cast<long long>(size);
}

FileStamp StampOfFile(const std::string& fileName) {
  struct stat status {};
  if (::stat(PathOf(fileName).c_str(), &status) != 0) return {};
  return {static_cast<unsigned long long>(status.st_ino), static_cast<long long>(status.st_size),
          static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec};
}

bool TruncateFile(const std::string& fileName, unsigned long long size) {
  std::error_code error;
  std::filesystem::resize_file(PathOf(fileName), size, error);
  return !error;
}


void ForceDirectories(const std::string& path) {
  std::error_code error;
  if (!DirectoryExists(path) && IsWriteProtected(path)) throw EFCreateError("Cannot create directory " + path);
  std::filesystem::create_directories(PathOf(path), error);
  if (error || !DirectoryExists(path)) throw EFCreateError("Cannot create directory " + path);
}

std::vector<std::string> ReadByteLines(const std::string& fileName) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::vector<std::string> ReadTextLines(const std::string& fileName) {
  std::vector<std::string> lines = ReadByteLines(fileName);
  for (std::string& line : lines) line = Cp1250ToUtf8(line);
  return lines;
}

void WriteWholeFile(const std::string& fileName, std::string_view bytes) {
  TReplacingFileStream file(fileName);
  file.Write(bytes.data(), bytes.size());
  file.Commit();
}

void WriteTextLines(const std::string& fileName, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += Utf8ToCp1250(line) + "\r\n";
  WriteWholeFile(fileName, bytes);
}

std::string FindFileAnyCase(const std::string& fileName) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_regular_file(PathOf(fileName), error)) return fileName;
  const std::size_t nameStart = NameStart(fileName);
  const std::string folder = fileName.substr(0, nameStart);
  const std::string wanted = fileName.substr(nameStart);
  for (fs::directory_iterator entry(folder.empty() ? fs::path(".") : PathOf(folder), error), end;
       !error && entry != end; entry.increment(error)) {
    const std::u8string name = entry->path().filename().u8string();
    const std::string text(name.begin(), name.end());
    if (AnsiSameText(text, wanted) && entry->is_regular_file(error)) return folder + text;
  }
  return fileName;
}

void AppendTextLine(const std::string& fileName, const std::string& line) {
  const std::string bytes = Utf8ToCp1250(line) + "\r\n";
  if (IsWriteProtected(fileName)) throw EFCreateError("Cannot create file " + fileName);
  std::ofstream file(PathOf(fileName), std::ios::binary | std::ios::app);
  if (!file) throw EFCreateError("Cannot create file " + fileName);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.flush();
  if (!file) throw EFCreateError("Cannot write file " + fileName);
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(PathOf(path), error);
}

std::string GetCurrentDir() {
  std::error_code error;
  const std::u8string path = std::filesystem::current_path(error).u8string();
  return error ? std::string() : std::string(path.begin(), path.end());
}

bool SetCurrentDir(const std::string& path) {
  std::error_code error;
  std::filesystem::current_path(PathOf(path), error);
  return !error;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList list;
  for (const std::string& argument : arguments) list.append(QString::fromStdString(argument));
  return QProcess::startDetached(QString::fromStdString(program), list);
}

}  // namespace platform
