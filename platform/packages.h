#pragma once
// Run-time packages: shared libraries that bring classes of their own.  A
// package registers its classes from its exported function
// "KestxRegisterClasses" (extern "C", no arguments), called once it is loaded.
#include <string>

namespace platform {

// False with the system's reason when the file is no loadable package.
bool LoadPackage(const std::string& fileName, std::string& error);

}  // namespace platform
