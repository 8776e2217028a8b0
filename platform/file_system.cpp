#include "platform/file_system.h"

#include <QStorageInfo>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace platform {

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
  if (std::filesystem::create_directory(path, code)) return true;
  error = code ? code.message() : "File exists";
  return false;
}

}  // namespace platform
