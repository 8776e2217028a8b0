#pragma once
// The file system shown to the element world: files and folders as
// elements whose published properties read and change the files; the
// volumes of the machine; models that name a file; and entities loaded from
// a file.  Folders are listed when their children are first asked for, and
// a folder reached through a symbolic link is never listed, so no walk over
// these elements runs into a loop.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"
#include "platform/file_system.h"

// Calendar days since 30 December 1899 with the time as the fraction.
double PackedFileDateToDateTime(std::uint32_t packed);
std::uint32_t DateTimeToPackedFileDate(double dateTime);
// "d.m.yyyy h:nn:ss"; the reverse answers false for any other text.
std::string DateTimeToText(double dateTime);
bool TextToDateTime(const std::string& text, double& dateTime);

class TFileElement : public TOwnerEntity {
  KESTX_CLASS(TFileElement)
 public:
  const platform::FileEntry& SearchRecord() const { return search_; }
  void SetSearchRecord(const platform::FileEntry& entry) { search_ = entry; }

  bool Exists() const;
  const std::string& FileName() const { return fileName_; }
  virtual void SetFileName(const std::string& name);
  std::string FilePath() const;
  std::string FileExt() const;
  // The name with the new extension, which nothing uses yet.
  std::string FileNameWithExt(const std::string& ext) const;
  std::int32_t FileSize() const;
  double FileTime() const;
  void SetFileTime(double value);
  std::string FileTimeString() const;
  void SetFileTimeString(const std::string& text);
  std::uint8_t Attributes() const { return static_cast<std::uint8_t>(search_.Attributes); }
  void SetAttributes(std::uint8_t value);
  bool Attribute(std::uint32_t bit) const { return (search_.Attributes & bit) != 0; }
  void SetAttribute(std::uint32_t bit, bool value);
  void SetReadInfo(bool value);

  // The file name part of FileName.
  std::string GetName() const override;
  // Names are compared as GetName gives them, not as stored.
  bool SameNameAs(std::string_view name) const override { return TElement::SameNameAs(name); }
  // Renames the file on disk within its folder; a name that is empty, "."
  // or "..", or holds a folder separator, is refused, and a failed rename
  // changes nothing.
  void SetName(const std::string& name) override;

 protected:
  platform::FileEntry search_;
  std::string fileName_;
};

class TDirectoryElement : public TFileElement {
  KESTX_CLASS(TDirectoryElement)
 public:
  bool DirOnly = false;

  void SetFileName(const std::string& name) override;
  // Whether the folder's entries have been read into children.
  bool Listed() const { return listed_; }

  int GetCount() override;
  TElement* GetElement(int index) override;
  bool AnswersFromChildren() const override { return false; }
  int IndexOf(const TElement* element) const override;
  TElement* FindElementByName(const std::string& name) const override;
  TElement* FindElementByClass(TClass cls) const override;
  bool IsEmpty() const override;
  void Clear() override;

 protected:
  // Lists the folder once, on the first question about its children.
  void EnsureListed() const;
  void List();

 private:
  bool listed_ = false;
};

class TLogicalDriveElement : public TDirectoryElement {
  KESTX_CLASS(TLogicalDriveElement)
 public:
  // The volume's mount point (this system has no drive letters).
  std::string RootName;

  bool Active() const { return active_; }
  void SetActive(bool value);
  std::int32_t DriveType() const;
  std::string DriveTypeString() const;

  // The plain name of a named entity, not the file name.
  std::string GetName() const override;
  // Names are compared as GetName gives them, not as stored.
  bool SameNameAs(std::string_view name) const override { return TElement::SameNameAs(name); }
  void SetName(const std::string& name) override;

 private:
  bool active_ = false;
};

// One drive element per mounted volume, "/" first.
class TLocalComputerElement : public TOwnerEntity {
  KESTX_CLASS(TLocalComputerElement)
 public:
  void AfterConstruction() override;
  void AddElement(TElement* element) override;
};

class TTextFileElement : public TFileElement {
  KESTX_CLASS(TTextFileElement)
};

// A unit file described by its own "Unit_Description" INI section.
class TPascalUnitElement : public TFileElement {
  KESTX_CLASS(TPascalUnitElement)
 public:
  std::string Description() const { return Read("Description"); }
  std::string Version() const { return Read("Version"); }
  std::string Admin() const { return Read("Admin"); }
  std::string TechTopic() const { return Read("TechTopic"); }
  std::string Topic() const { return Read("Topic"); }

 private:
  std::string Read(const std::string& key) const;
};

class TPascalUnits : public TOwnerEntity {
  KESTX_CLASS(TPascalUnits)
 public:
  TOwnerEntity* Admins() { return Group("Admins"); }
  TOwnerEntity* TechTopics() { return Group("Tech topics"); }
  TOwnerEntity* Topics() { return Group("Topics"); }
  TOwnerEntity* Units() { return Group("Units"); }

 private:
  TOwnerEntity* Group(const std::string& name);
};

class TFileModel : public TOwnerEntity {
  KESTX_CLASS(TFileModel)
 public:
  virtual std::string GetFileName() const { return fileName_; }
  virtual std::string GetPath() const;
  virtual void SetFileName(const std::string& name) { fileName_ = name; }
  virtual void SetPath(const std::string& path);

 private:
  std::string fileName_;
};

class TFilePathModel : public TFileModel {
  KESTX_CLASS(TFilePathModel)
 public:
  std::string Path1;
};

// The base of entities loaded from a file.  Error: 0 loaded, 11 no name,
// 12 no such file.
class TFileBasedEntity : public TOwnerEntity {
  KESTX_CLASS(TFileBasedEntity)
 public:
  enum : std::int32_t { errNone = 0, errNoName = 11, errNoFile = 12 };
  std::int32_t Error = errNone;

  virtual std::string GetFileName() const { return fileName_; }
  virtual void SetFileName(const std::string& name);
  virtual void LoadFromFile(const std::string& /*fileName*/) {}
  virtual void SaveToFile(const std::string& /*fileName*/) {}

 private:
  std::string fileName_;
};

void RegisterFileElementClasses();
