#include "framework/environment/environment.h"

#include <algorithm>
#include <limits>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/files.h"

namespace {

std::uint32_t Clamp32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

std::uint64_t Used(std::uint64_t total, std::uint64_t avail) { return total > avail ? total - avail : 0; }

}  // namespace

TMemoryElement::TMemoryElement() {
  SetName("Memory status");
  status_ = platform::ReadMemoryStatus();
}

std::uint32_t TMemoryElement::MemoryLoad() const { return std::min<std::uint32_t>(status_.MemoryLoad, 100); }
std::uint32_t TMemoryElement::TotalPhys() const { return Clamp32(status_.TotalPhys); }
std::uint32_t TMemoryElement::AvailPhys() const { return Clamp32(status_.AvailPhys); }
std::uint32_t TMemoryElement::TotalPageFile() const { return Clamp32(status_.TotalPageFile); }
std::uint32_t TMemoryElement::AvailPageFile() const { return Clamp32(status_.AvailPageFile); }
std::uint32_t TMemoryElement::TotalVirtual() const { return Clamp32(status_.TotalVirtual); }
std::uint32_t TMemoryElement::AvailVirtual() const { return Clamp32(status_.AvailVirtual); }

// Both derived figures are reckoned from the full 64-bit counts, so that a
// machine with more than 4 GiB neither wraps nor derives from clamped parts.
namespace {
std::uint64_t Allocated(const platform::MemoryStatus& s) {
  return Used(s.TotalPhys, s.AvailPhys) + Used(s.TotalPageFile, s.AvailPageFile);
}
}  // namespace

std::uint32_t TMemoryElement::AlocatedMemory() const { return Clamp32(Allocated(status_)); }

std::uint32_t TMemoryElement::AvailMemory() const {
  return Clamp32(Allocated(status_) / 100 * (100 - MemoryLoad()));
}

void TFileVersion::SetFileName(const std::string& name) {
  fileName_ = name;
  error_ = "InfoSize=0";
}

std::string TFileVersion::InfoString(const std::string&) const { return {}; }

std::string IniFileNameOf(const std::string& programFile) {
  const std::string name = platform::ExtractFileName(programFile);
  const std::string dir = programFile.substr(0, programFile.size() - name.size());
  return dir + platform::ChangeFileExt(name, ".INI");
}

std::string DefaultIniFileName() { return IniFileNameOf(platform::Application::Instance().ExeName()); }

namespace {

std::function<std::string()>& OptionsIniFileSource() {
  static std::function<std::string()> source;
  return source;
}

}  // namespace

std::string OptionsIniFileName() {
  return OptionsIniFileSource() ? OptionsIniFileSource()() : DefaultIniFileName();
}

void SetOptionsIniFileSource(std::function<std::string()> source) { OptionsIniFileSource() = std::move(source); }

namespace {

template <class C>
TPropInfo Figure(const char* name, std::uint32_t (C::*get)() const) {
  return NotStored(ReadProp(name, get));
}

std::string InfoOf(const TFileVersion& version, const char* name) {
  return version.Error().empty() ? version.InfoString(name) : std::string();
}

TPropInfo InfoProp(const char* name) {
  return AccessorProp<TFileVersion, std::string>(
      name, [name](const TFileVersion& v) { return InfoOf(v, name); }, nullptr);
}

}  // namespace

TClass TMemoryElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TMemoryElement>(
      "TMemoryElement", TOwnerElement::StaticClass(), "E_Memory",
      {Figure("MemoryLoad", &TMemoryElement::MemoryLoad), Figure("TotalPhys", &TMemoryElement::TotalPhys),
       Figure("AvailPhys", &TMemoryElement::AvailPhys), Figure("TotalPageFile", &TMemoryElement::TotalPageFile),
       Figure("AvailPageFile", &TMemoryElement::AvailPageFile),
       Figure("TotalVirtual", &TMemoryElement::TotalVirtual), Figure("AvailVirtual", &TMemoryElement::AvailVirtual),
       Figure("AlocatedMemory", &TMemoryElement::AlocatedMemory),
       Figure("AvailMemory", &TMemoryElement::AvailMemory)});
  return &info;
}

TClass TFileVersion::StaticClass() {
  static const TClassInfo info = DescribeClass<TFileVersion>(
      "TFileVersion", TPersistent::StaticClass(), "E_Memory",
      {AccessorProp<TFileVersion, std::string>(
           "FileName", [](const TFileVersion& v) { return v.FileName(); },
           [](TFileVersion& v, std::string name) { v.SetFileName(name); }),
       ReadProp("MajorVersion", &TFileVersion::MajorVersion), ReadProp("MinorVersion", &TFileVersion::MinorVersion),
       ReadProp("Release", &TFileVersion::Release), ReadProp("Build", &TFileVersion::Build),
       ReadProp("FileFlagsMask", &TFileVersion::FileFlagsMask), ReadProp("FileFlags", &TFileVersion::FileFlags),
       AccessorProp<TFileVersion, std::string>(
           "Error", [](const TFileVersion& v) { return v.Error(); }, nullptr),
       ReadProp("Language", &TFileVersion::Language), InfoProp("CompanyName"), InfoProp("FileDescription"),
       InfoProp("FileVersion"), InfoProp("InternalName"), InfoProp("LegalCopyright"), InfoProp("OriginalFilename"),
       InfoProp("ProductName"), InfoProp("ProductVersion")});
  return &info;
}

void RegisterEnvironmentClasses() { RegisterKestuClass(TMemoryElement::StaticClass()); }
