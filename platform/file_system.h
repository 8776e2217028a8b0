#pragma once
// The file system as the subsystems see it.
#include <string>
#include <vector>

namespace platform {

// The roots a user may start from: "/" first, then the mounted volumes.
std::vector<std::string> MountPoints();
// Creates one folder; on failure answers false with the system's reason.
bool MakeDirectory(const std::string& path, std::string& error);

}  // namespace platform
