#include "platform/packages.h"

#include <QLibrary>

namespace platform {

bool LoadPackage(const std::string& fileName, std::string& error) {
  QLibrary library(QString::fromStdString(fileName));
  if (!library.load()) {
    error = library.errorString().toStdString();
    return false;
  }
  using Register = void (*)();
  if (auto registerClasses = reinterpret_cast<Register>(library.resolve("KestxRegisterClasses"))) registerClasses();
  return true;
}

}  // namespace platform
