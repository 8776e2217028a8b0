#pragma once
// Facts about the program's environment: the machine's memory figures as an
// element, the version information of a program file, and the program's
// default INI file name.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/elements.h"
#include "platform/memory_status.h"

// The figures read once when the element is made; callers that want current
// ones make a new element.  The published figures are 32-bit: larger counts
// are clamped to the largest 32-bit value.
class TMemoryElement : public TOwnerElement {
  KESTX_CLASS(TMemoryElement)
 public:
  TMemoryElement();

  const platform::MemoryStatus& Status() const { return status_; }
  void SetStatus(const platform::MemoryStatus& status) { status_ = status; }

  std::uint32_t MemoryLoad() const;
  std::uint32_t TotalPhys() const;
  std::uint32_t AvailPhys() const;
  std::uint32_t TotalPageFile() const;
  std::uint32_t AvailPageFile() const;
  std::uint32_t TotalVirtual() const;
  std::uint32_t AvailVirtual() const;
  std::uint32_t AlocatedMemory() const;
  std::uint32_t AvailMemory() const;

 private:
  platform::MemoryStatus status_;
};

// The version resource of an executable or library.  Program files of this
// system carry none, so every file reports the missing-information error and
// all figures read 0 or empty.
class TFileVersion : public TPersistent {
  KESTX_CLASS(TFileVersion)
 public:
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  const std::string& Error() const { return error_; }

  std::uint16_t MajorVersion() const { return 0; }
  std::uint16_t MinorVersion() const { return 0; }
  std::uint16_t Release() const { return 0; }
  std::uint16_t Build() const { return 0; }
  std::uint32_t FileFlagsMask() const { return 0; }
  std::uint32_t FileFlags() const { return 0; }
  std::string Language() const { return {}; }
  // Empty without a translation entry, which a file without version data
  // never has.
  std::string InfoString(const std::string& name) const;

 private:
  std::string error_ = "Empty FileName";
  std::string fileName_;
};

// The directory of the running program's file + that file's name with its
// extension replaced by ".INI".
std::string DefaultIniFileName();
// The same for a given program file.
std::string IniFileNameOf(const std::string& programFile);
// The options INI file: the one the main tool names while it has installed
// its source, else DefaultIniFileName().  Lower libraries read and write
// their settings there without knowing the main tool.
std::string OptionsIniFileName();
// Installs the main tool's source; empty removes it.
void SetOptionsIniFileSource(std::function<std::string()> source);

void RegisterEnvironmentClasses();
