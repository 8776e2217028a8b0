#include "framework/environment/file_elements.h"

#include <cmath>
#include <cstdio>

#include "framework/core/class_registry.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

// Days from 1 January 1970 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yoe = year - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// The day number of 30 December 1899 counted from 1970.
constexpr long long kDateTimeEpoch = -25569;

double PartsToDateTime(const platform::DateParts& p) {
  const double days = static_cast<double>(DaysFromCivil(p.Year, p.Month, p.Day) - kDateTimeEpoch);
  return days + (p.Hour * 3600 + p.Minute * 60 + p.Second) / 86400.0;
}

platform::DateParts DateTimeToParts(double dateTime) {
  platform::DateParts p;
  const double whole = std::floor(dateTime);
  long long seconds = std::llround((dateTime - whole) * 86400.0);
  long long days = static_cast<long long>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  CivilFromDays(days + kDateTimeEpoch, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(seconds / 3600);
  p.Minute = static_cast<int>(seconds / 60 % 60);
  p.Second = static_cast<int>(seconds % 60);
  return p;
}

// A name a file may be renamed to within its folder.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

double PackedFileDateToDateTime(std::uint32_t packed) {
  return PartsToDateTime(platform::UnpackFileDate(packed));
}

std::uint32_t DateTimeToPackedFileDate(double dateTime) {
  return platform::PackFileDate(DateTimeToParts(dateTime));
}

std::string DateTimeToText(double dateTime) {
  const platform::DateParts p = DateTimeToParts(dateTime);
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d.%d %d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour, p.Minute, p.Second);
  return text;
}

bool TextToDateTime(const std::string& text, double& dateTime) {
  platform::DateParts p;
  int used = -1;
  const char* c = text.c_str();
  if (std::sscanf(c, "%d.%d.%d %d:%d:%d%n", &p.Day, &p.Month, &p.Year, &p.Hour, &p.Minute, &p.Second, &used) != 6 ||
      static_cast<std::size_t>(used) != text.size()) {
    p.Hour = p.Minute = p.Second = 0;
    used = -1;
    if (std::sscanf(c, "%d.%d.%d%n", &p.Day, &p.Month, &p.Year, &used) != 3 ||
        static_cast<std::size_t>(used) != text.size())
      return false;
  }
  if (p.Month < 1 || p.Month > 12 || p.Day < 1 || p.Day > 31 || p.Hour < 0 || p.Hour > 23 || p.Minute < 0 ||
      p.Minute > 59 || p.Second < 0 || p.Second > 59)
    return false;
  int year = 0, month = 0, day = 0;
  CivilFromDays(DaysFromCivil(p.Year, p.Month, p.Day), year, month, day);
  if (day != p.Day) return false;  // 31.4. and the like
  dateTime = PartsToDateTime(p);
  return true;
}

// ---------------------------------------------------------------- TFileElement

bool TFileElement::Exists() const { return platform::FileExists(fileName_); }

void TFileElement::SetFileName(const std::string& name) { fileName_ = name; }

std::string TFileElement::FilePath() const {
  const std::size_t slash = fileName_.find_last_of('/');
  return slash == std::string::npos ? std::string() : fileName_.substr(0, slash + 1);
}

std::string TFileElement::FileExt() const {
  const std::string ext = platform::ExtractFileExt(fileName_);
  return ext.empty() ? ext : ext.substr(1);
}

std::string TFileElement::FileNameWithExt(const std::string& ext) const {
  return platform::ChangeFileExt(fileName_, !ext.empty() && ext.front() == '.' ? ext : "." + ext);
}

std::int32_t TFileElement::FileSize() const {
  return static_cast<std::int32_t>(std::min<std::int64_t>(search_.Size, INT32_MAX));
}

double TFileElement::FileTime() const { return PackedFileDateToDateTime(search_.Time); }

void TFileElement::SetFileTime(double value) {
  search_.Time = DateTimeToPackedFileDate(value);
  platform::SetFileDate(fileName_, search_.Time);
}

std::string TFileElement::FileTimeString() const { return DateTimeToText(FileTime()); }

void TFileElement::SetFileTimeString(const std::string& text) {
  double value = 0;
  if (!TextToDateTime(text, value)) throw EConvertError("'" + text + "' is not a valid date and time");
  SetFileTime(value);
}

void TFileElement::SetAttributes(std::uint8_t value) {
  search_.Attributes = value;
  platform::SetFileAttributes(fileName_, value);
}

void TFileElement::SetAttribute(std::uint32_t bit, bool value) {
  const std::uint32_t attributes = value ? (search_.Attributes | bit) : (search_.Attributes & ~bit);
  SetAttributes(static_cast<std::uint8_t>(attributes));
}

void TFileElement::SetReadInfo(bool value) {
  if (!value) return;
  platform::FileEntry entry;
  if (platform::FindFile(fileName_, entry)) search_ = entry;
}

std::string TFileElement::GetName() const { return platform::ExtractFileName(fileName_); }

void TFileElement::SetName(const std::string& name) {
  if (!IsPlainFileName(name)) return;
  const std::string target = FilePath() + name;
  if (!platform::RenameFile(fileName_, target)) return;
  search_.Name = name;
  fileName_ = target;
}

// ---------------------------------------------------------------- TDirectoryElement

void TDirectoryElement::SetFileName(const std::string& name) {
  if (GetOwnerByClass(TDirectoryElement::StaticClass())) return;
  if (AsciiUpperCase(name) == AsciiUpperCase(fileName_)) return;
  fileName_ = name;
  TOwnerEntity::Clear();
  listed_ = false;
}

void TDirectoryElement::Clear() {
  TOwnerEntity::Clear();
  // Cleared children are gone for good: no later question lists them again.
  listed_ = true;
}

void TDirectoryElement::EnsureListed() const {
  if (!listed_) const_cast<TDirectoryElement*>(this)->List();
}

void TDirectoryElement::List() {
  listed_ = true;
  if (fileName_.empty() || search_.SymLink) return;
  const std::string dir = platform::IncludeTrailingPathDelimiter(fileName_);
  for (const platform::FileEntry& entry :
       platform::ListDirectory(dir, "*.*", DirOnly ? platform::faDirectory : platform::faAnyFile)) {
    if (entry.Attributes & platform::faVolumeID) continue;
    TFileElement* element = nullptr;
    if (entry.Attributes & platform::faDirectory) {
      auto* directory = CreateElement<TDirectoryElement>();
      directory->DirOnly = DirOnly;
      element = directory;
    } else if (DirOnly) {
      continue;
    } else if (platform::ExtractFileExt(entry.Name) == ".PAS") {
      element = CreateElement<TPascalUnitElement>();
    } else {
      element = CreateElement<TFileElement>();
    }
    element->SetSearchRecord(entry);
    element->SetFileName(dir + entry.Name);
    AddElement(element);
  }
}

int TDirectoryElement::GetCount() {
  EnsureListed();
  return TOwnerEntity::GetCount();
}

TElement* TDirectoryElement::GetElement(int index) {
  EnsureListed();
  return TOwnerEntity::GetElement(index);
}

int TDirectoryElement::IndexOf(const TElement* element) const {
  EnsureListed();
  return TOwnerEntity::IndexOf(element);
}

TElement* TDirectoryElement::FindElementByName(const std::string& name) const {
  EnsureListed();
  return TOwnerEntity::FindElementByName(name);
}

TElement* TDirectoryElement::FindElementByClass(TClass cls) const {
  EnsureListed();
  return TOwnerEntity::FindElementByClass(cls);
}

bool TDirectoryElement::IsEmpty() const {
  EnsureListed();
  return TOwnerEntity::IsEmpty();
}

// ---------------------------------------------------------------- drives

void TLogicalDriveElement::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (value) {
    fileName_.clear();
    TDirectoryElement::SetFileName(RootName);
  } else {
    Clear();  // also when it was never listed: an inactive drive lists nothing
  }
}

std::int32_t TLogicalDriveElement::DriveType() const { return platform::DriveType(RootName); }

std::string TLogicalDriveElement::DriveTypeString() const {
  static const char* const kTexts[] = {"UnKnown", "not found ", "FD", "HD", "REMOTE disk", "CDROM", "RAM Disk"};
  const std::int32_t type = DriveType();
  return type >= 0 && type <= 6 ? kTexts[type] : kTexts[0];
}

std::string TLogicalDriveElement::GetName() const { return StoredName(); }

void TLogicalDriveElement::SetName(const std::string& name) { TNamed<TEntity>::SetName(name); }

void TLocalComputerElement::AfterConstruction() {
  TOwnerEntity::AfterConstruction();
  for (const std::string& root : platform::MountPoints()) {
    auto* drive = CreateElement<TLogicalDriveElement>();
    drive->RootName = root;
    drive->SetName(root + " " + drive->DriveTypeString());
    AddElement(drive);
  }
}

// A loaded computer brings the drives stored with it: each takes the place of
// the drive of the same root listed when the computer was made, so that no
// drive is listed twice and nothing stored is lost.
void TLocalComputerElement::AddElement(TElement* element) {
  if (const auto* drive = DynamicCast<TLogicalDriveElement>(element)) {
    for (int i = 0; i < GetCount(); ++i) {
      auto* listed = DynamicCast<TLogicalDriveElement>(GetElement(i));
      if (listed && listed != drive && listed->RootName == drive->RootName) {
        FreeElement(listed);
        break;
      }
    }
  }
  TOwnerEntity::AddElement(element);
}

// ---------------------------------------------------------------- unit descriptions

std::string TPascalUnitElement::Read(const std::string& key) const {
  std::vector<std::string> lines;
  try {
    lines = platform::ReadTextLines(fileName_);
  } catch (const platform::EStreamError&) {
    return {};  // an unreadable file describes nothing: every key reads its default
  }
  bool inSection = false;
  const std::string wanted = AsciiUpperCase(key);
  for (const std::string& raw : lines) {
    const std::string line = TrimBlanks(raw);
    if (!line.empty() && line.front() == '[') {
      inSection = AsciiUpperCase(line) == "[UNIT_DESCRIPTION]";
      continue;
    }
    std::string name, value;
    if (inSection && SplitAtChar(line, '=', name, value) && AsciiUpperCase(TrimBlanks(name)) == wanted)
      return value;
  }
  return {};
}

TOwnerEntity* TPascalUnits::Group(const std::string& name) {
  if (auto* found = DynamicCast<TOwnerEntity>(FindElementByName(name))) return found;
  auto* group = CreateElement<TOwnerEntity>();
  group->SetName(name);
  AddElement(group);
  return group;
}

// ---------------------------------------------------------------- file models

std::string TFileModel::GetPath() const {
  const std::string name = GetFileName();
  return name.substr(0, name.size() - platform::ExtractFileName(name).size());
}

void TFileModel::SetPath(const std::string& path) {
  SetFileName(platform::IncludeTrailingPathDelimiter(path) + platform::ExtractFileName(GetFileName()));
}

void TFileBasedEntity::SetFileName(const std::string& name) {
  fileName_ = name;
  Error = errNone;
  if (name.empty()) Error = errNoName;
  else if (platform::FileExists(name)) LoadFromFile(name);
  else Error = errNoFile;
}

// ---------------------------------------------------------------- classes

namespace {

TPropInfo AttributeProp(const char* name, std::uint32_t bit, bool writable) {
  return NotStored(AccessorProp<TFileElement, bool>(
      name, [bit](const TFileElement& f) { return f.Attribute(bit); },
      writable ? std::function<void(TFileElement&, bool)>([bit](TFileElement& f, bool v) { f.SetAttribute(bit, v); })
               : nullptr));
}

}  // namespace

TClass TFileElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TFileElement>(
      "TFileElement", TOwnerEntity::StaticClass(), "E_Files",
      {// The name is the last part of FileName and setting it renames the file:
       // never data of a stream, so reading one renames nothing.
       NotStored(ElementNameProp()), NotStored(ReadProp("Exists", &TFileElement::Exists)),
       AccessorProp<TFileElement, std::string>(
           "FileName", [](const TFileElement& f) { return f.FileName(); },
           [](TFileElement& f, std::string v) { f.SetFileName(v); }),
       NotStored(ReadProp("FilePath", &TFileElement::FilePath)),
       NotStored(AccessorProp<TFileElement, std::string>(
           "FileExt", [](const TFileElement& f) { return f.FileExt(); },
           [](TFileElement& f, std::string v) { (void)f.FileNameWithExt(v); })),
       NotStored(ReadProp("FileSize", &TFileElement::FileSize)),
       NotStored(ReadWriteProp("FileTime", &TFileElement::FileTime, &TFileElement::SetFileTime)),
       NotStored(ReadWriteProp("FileTimeString", &TFileElement::FileTimeString, &TFileElement::SetFileTimeString)),
       NotStored(ReadWriteProp("Attributes", &TFileElement::Attributes, &TFileElement::SetAttributes)),
       AttributeProp("AttrReadOnly", platform::faReadOnly, true), AttributeProp("AttrHidden", platform::faHidden, true),
       AttributeProp("AttrSysFile", platform::faSysFile, true), AttributeProp("AttrArchive", platform::faArchive, true),
       AttributeProp("AttrVolumeID", platform::faVolumeID, false),
       AttributeProp("AttrDirectory", platform::faDirectory, false),
       NotStored(WriteProp("ReadInfo", &TFileElement::SetReadInfo))});
  return &info;
}

TClass TDirectoryElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TDirectoryElement>(
      "TDirectoryElement", TFileElement::StaticClass(), "E_Files", {FieldProp("DirOnly", &TDirectoryElement::DirOnly)});
  return &info;
}

TClass TLogicalDriveElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TLogicalDriveElement>(
      "TLogicalDriveElement", TDirectoryElement::StaticClass(), "E_Files",
      {ElementNameProp(),  // a drive keeps a plain name of its own
       NotStored(ReadWriteProp("Active", &TLogicalDriveElement::Active, &TLogicalDriveElement::SetActive)),
       FieldProp("RootName", &TLogicalDriveElement::RootName),
       NotStored(ReadProp("DriveType", &TLogicalDriveElement::DriveType)),
       NotStored(ReadProp("DriveTypeString", &TLogicalDriveElement::DriveTypeString))});
  return &info;
}

TClass TLocalComputerElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLocalComputerElement>("TLocalComputerElement", TOwnerEntity::StaticClass(), "E_Files", {});
  return &info;
}

TClass TTextFileElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTextFileElement>("TTextFileElement", TFileElement::StaticClass(), "E_Files", {});
  return &info;
}

TClass TPascalUnitElement::StaticClass() {
  static const TClassInfo info = DescribeClass<TPascalUnitElement>(
      "TPascalUnitElement", TFileElement::StaticClass(), "E_Files",
      {NotStored(ReadProp("Description", &TPascalUnitElement::Description)),
       AccessorProp<TPascalUnitElement, std::string>(
           "Version", [](const TPascalUnitElement& u) { return u.Version(); },
           [](TPascalUnitElement&, std::string) {}),
       NotStored(ReadProp("Admin", &TPascalUnitElement::Admin)),
       NotStored(ReadProp("TechTopic", &TPascalUnitElement::TechTopic)),
       NotStored(ReadProp("Topic", &TPascalUnitElement::Topic))});
  return &info;
}

TClass TPascalUnits::StaticClass() {
  static const TClassInfo info = DescribeClass<TPascalUnits>(
      "TPascalUnits", TOwnerEntity::StaticClass(), "E_Files",
      {NotStored(AccessorProp<TPascalUnits, TOwnerEntity*>(
           "Admins", [](const TPascalUnits& u) { return const_cast<TPascalUnits&>(u).Admins(); }, nullptr)),
       NotStored(AccessorProp<TPascalUnits, TOwnerEntity*>(
           "TechTopics", [](const TPascalUnits& u) { return const_cast<TPascalUnits&>(u).TechTopics(); }, nullptr)),
       NotStored(AccessorProp<TPascalUnits, TOwnerEntity*>(
           "Topics", [](const TPascalUnits& u) { return const_cast<TPascalUnits&>(u).Topics(); }, nullptr)),
       NotStored(AccessorProp<TPascalUnits, TOwnerEntity*>(
           "Units", [](const TPascalUnits& u) { return const_cast<TPascalUnits&>(u).Units(); }, nullptr)),
       NotStored(AccessorProp<TPascalUnits, std::string>("NextUnit", nullptr, [](TPascalUnits&, std::string) {}))});
  return &info;
}

TClass TFileModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TFileModel>(
      "TFileModel", TOwnerEntity::StaticClass(), "E_Files",
      {AccessorProp<TFileModel, std::string>(
           "FileName", [](const TFileModel& m) { return m.GetFileName(); },
           [](TFileModel& m, std::string v) { m.SetFileName(v); }),
       AccessorProp<TFileModel, std::string>(
           "Path", [](const TFileModel& m) { return m.GetPath(); }, [](TFileModel& m, std::string v) { m.SetPath(v); })});
  return &info;
}

TClass TFilePathModel::StaticClass() {
  static const TClassInfo info = DescribeClass<TFilePathModel>(
      "TFilePathModel", TFileModel::StaticClass(), "E_Files", {FieldProp("Path1", &TFilePathModel::Path1)});
  return &info;
}

TClass TFileBasedEntity::StaticClass() {
  static const TClassInfo info = DescribeClass<TFileBasedEntity>(
      "TFileBasedEntity", TOwnerEntity::StaticClass(), "E_Files",
      {AccessorProp<TFileBasedEntity, std::string>(
           "FileName", [](const TFileBasedEntity& e) { return e.GetFileName(); },
           [](TFileBasedEntity& e, std::string v) { e.SetFileName(v); }),
       FieldProp("Error", &TFileBasedEntity::Error)});
  return &info;
}

void RegisterFileElementClasses() {
  RegisterKestuClass(TFileElement::StaticClass());
  RegisterKestuClass(TDirectoryElement::StaticClass());
  RegisterKestuClass(TLogicalDriveElement::StaticClass());
  RegisterKestuClass(TLocalComputerElement::StaticClass());
  RegisterKestuClass(TTextFileElement::StaticClass());
  RegisterKestuClass(TFileModel::StaticClass());
  RegisterKestuClass(TFilePathModel::StaticClass());
  RegisterKestuClass(TFileBasedEntity::StaticClass());
  RegisterKestuClass(TPascalUnitElement::StaticClass());
  RegisterKestuClass(TPascalUnits::StaticClass());
}
