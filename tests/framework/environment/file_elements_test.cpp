#include "framework/environment/file_elements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "framework/core/class_registry.h"
#include "framework/environment/directory_walker.h"
#include "platform/files.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"

namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path, const std::string& text = "x") { std::ofstream(path) << text; }

std::vector<std::string> NamesOf(TEntity& entity) {
  std::vector<std::string> names;
  for (int i = 0; i < entity.GetCount(); ++i) names.push_back(entity.GetElement(i)->GetName());
  return names;
}

// root/
//   a.txt, B.PAS, c.pas, Z.KES
//   sub/ (d.kes, e.KES, deep/ (f.KES)), loop -> root, zz/ (y.KES)
class FileElementsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    root = folder.Path();
    for (const char* name : {"a.txt", "c.pas", "Z.KES", "sub/d.kes", "sub/e.KES", "sub/deep/f.KES", "zz/y.KES"}) {
      fs::create_directories(fs::path(root + "/" + name).parent_path());
      Touch(root + "/" + name);
    }
    WriteCp1250File(root + "/B.PAS", "[Unit_Description]\r\nDescription=Výpočty\r\nVersion = 2.1\r\n[Other]\r\nAdmin=x\r\n");
    fs::create_directory_symlink(root, root + "/sub/loop");
  }

  TempFolder folder;
  std::string root;
};

TEST_F(FileElementsTest, AFolderIsListedOnFirstAccessAndLinkedFoldersAreNotEntered) {
  std::unique_ptr<TDirectoryElement> dir(CreateElement<TDirectoryElement>());
  dir->SetFileName(root);
  EXPECT_FALSE(dir->Listed());
  EXPECT_EQ(Join(NamesOf(*dir)), "B.PAS Z.KES a.txt c.pas sub zz");
  auto* sub = DynamicCast<TDirectoryElement>(dir->FindElementByName("sub"));
  ASSERT_NE(sub, nullptr);
  EXPECT_FALSE(sub->Listed());
  EXPECT_EQ(Join(NamesOf(*sub)), "d.kes deep e.KES loop");
  auto* loop = DynamicCast<TDirectoryElement>(sub->FindElementByName("loop"));
  ASSERT_NE(loop, nullptr);
  EXPECT_TRUE(loop->SearchRecord().SymLink);
  EXPECT_TRUE(loop->IsEmpty());
  EXPECT_EQ(loop->GetCount(), 0);
  // A whole walk of the tree through its children ends, however far it goes.
  int reached = 0;
  std::vector<TEntity*> pending{dir.get()};
  while (!pending.empty()) {
    TEntity* entity = pending.back();
    pending.pop_back();
    for (int i = 0; i < entity->GetCount(); ++i, ++reached)
      if (auto* child = DynamicCast<TEntity>(entity->GetElement(i))) pending.push_back(child);
  }
  EXPECT_EQ(reached, 12);
}

TEST_F(FileElementsTest, ListedEntriesTakeTheirClassFromTheirKind) {
  struct Case {
    bool dirOnly;
    const char* name;
    const char* cls;
  };
  const Case cases[] = {{false, "B.PAS", "TPascalUnitElement"}, {false, "c.pas", "TFileElement"},
                        {false, "sub", "TDirectoryElement"},   {true, "sub", "TDirectoryElement"},
                        {true, "a.txt", "none"},               {false, "a.txt", "TFileElement"}};
  for (const Case& c : cases) {
    std::unique_ptr<TDirectoryElement> dir(CreateElement<TDirectoryElement>());
    dir->DirOnly = c.dirOnly;
    dir->SetFileName(root);
    TElement* found = dir->FindElementByName(c.name);
    EXPECT_EQ(found ? found->ClassName() : "none", c.cls) << c.name << (c.dirOnly ? " dirs only" : "");
  }
}

TEST_F(FileElementsTest, AListedFolderKeepsItsName) {
  std::unique_ptr<TDirectoryElement> dir(CreateElement<TDirectoryElement>());
  dir->SetFileName(root);
  auto* sub = DynamicCast<TDirectoryElement>(dir->FindElementByName("sub"));
  sub->SetFileName(root + "/zz");
  EXPECT_EQ(sub->FileName(), root + "/sub");
  // The same name again in other letter case lists nothing anew.
  const int count = dir->GetCount();
  dir->SetFileName(AsciiUpperCase(root));
  EXPECT_EQ(dir->FileName(), root);
  EXPECT_EQ(dir->GetCount(), count);
}

TEST_F(FileElementsTest, UnitDescriptionsComeFromTheirSection) {
  std::unique_ptr<TDirectoryElement> dir(CreateElement<TDirectoryElement>());
  dir->SetFileName(root);
  TElement* unit = dir->FindElementByName("B.PAS");
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->GetPropertyText("Description"), "Výpočty");
  EXPECT_EQ(unit->GetPropertyText("Version"), "2.1");
  EXPECT_EQ(unit->GetPropertyText("Admin"), "");
  unit->SetPropertyText("Version", "9");
  EXPECT_EQ(unit->GetPropertyText("Version"), "2.1");
}

TEST_F(FileElementsTest, RenamesStayInTheFolderAndRefuseOtherNames) {
  struct Case {
    const char* name;
    bool renamed;
  };
  const Case cases[] = {{"", false},      {".", false},        {"..", false},  {"x/y", false}, {"..\\a", false},
                        {"/tmp/x", false}, {"Z.KES", false},    {"b.txt", true}, {"a.txt", true}};
  std::unique_ptr<TFileElement> file(CreateElement<TFileElement>());
  file->SetFileName(root + "/a.txt");
  for (const Case& c : cases) {
    const std::string before = file->FileName();
    file->SetName(c.name);
    const std::string expected = c.renamed ? root + "/" + c.name : before;
    EXPECT_EQ(file->FileName(), expected) << "'" << c.name << "'";
    EXPECT_TRUE(fs::exists(expected)) << "'" << c.name << "'";
    EXPECT_EQ(file->GetName(), platform::ExtractFileName(expected)) << "'" << c.name << "'";
  }
  EXPECT_TRUE(fs::exists(root + "/Z.KES"));
}

TEST_F(FileElementsTest, NamePartsOfTheFileName) {
  struct Case {
    const char* fileName;
    const char* path;
    const char* ext;
  };
  const Case cases[] = {{"/data/LES.TXT", "/data/", "TXT"}, {"/data/README", "/data/", ""},
                        {"/data.d/README", "/data.d/", ""},  {"name.kes", "", "kes"}};
  for (const Case& c : cases) {
    TFileElement file;
    file.SetFileName(c.fileName);
    EXPECT_EQ(file.FilePath(), c.path) << c.fileName;
    EXPECT_EQ(file.FileExt(), c.ext) << c.fileName;
  }
  TFileElement file;
  file.SetFileName("/data/LES.TXT");
  EXPECT_EQ(file.FileNameWithExt("DBF"), "/data/LES.DBF");
  EXPECT_EQ(file.FileNameWithExt(".dbf"), "/data/LES.dbf");
  file.SetPropertyText("FileExt", "DBF");
  EXPECT_EQ(file.FileName(), "/data/LES.TXT");
}

TEST_F(FileElementsTest, AttributesAndTimesReachTheFile) {
  std::unique_ptr<TFileElement> file(CreateElement<TFileElement>());
  file->SetFileName(root + "/a.txt");
  file->SetPropertyBoolean("ReadInfo", true);
  EXPECT_EQ(file->FileSize(), 1);
  EXPECT_FALSE(file->GetPropertyBoolean("AttrReadOnly"));
  EXPECT_TRUE(file->GetPropertyBoolean("AttrArchive"));
  file->SetPropertyBoolean("AttrReadOnly", true);
  const int attributes = file->Attributes();
  file->SetPropertyBoolean("AttrReadOnly", true);
  EXPECT_EQ(file->Attributes(), attributes);
  EXPECT_EQ(fs::status(root + "/a.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  file->SetPropertyBoolean("AttrReadOnly", false);
  EXPECT_NE(fs::status(root + "/a.txt").permissions() & fs::perms::owner_write, fs::perms::none);

  file->SetPropertyText("FileTimeString", "24.12.2019 18:30:04");
  file->SetPropertyBoolean("ReadInfo", true);
  EXPECT_EQ(file->GetPropertyText("FileTimeString"), "24.12.2019 18:30:04");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { file->SetFileTimeString("31.4.2019 1:00:00"); }),
            "'31.4.2019 1:00:00' is not a valid date and time");
}

TEST_F(FileElementsTest, SizesBeyond32BitsAreClamped) {
  // A sparse file takes no room on the disk.
  const std::string big = root + "/big.dat";
  Touch(big);
  fs::resize_file(big, std::uintmax_t{5} << 30);
  std::unique_ptr<TFileElement> file(CreateElement<TFileElement>());
  file->SetFileName(big);
  file->SetPropertyBoolean("ReadInfo", true);
  EXPECT_EQ(file->SearchRecord().Size, std::int64_t{5} << 30);
  EXPECT_EQ(file->FileSize(), INT32_MAX);
  EXPECT_EQ(file->GetPropertyText("FileSize"), "2147483647");
}

TEST(FileDateTest, PackedDatesConvertBothWays) {
  struct Case {
    const char* text;
    double dateTime;
  };
  const Case cases[] = {{"1.1.1980 0:00:00", 29221.0},
                        {"30.12.1999 12:00:00", 36524.5},
                        {"29.2.2024 23:59:58", 45351.0 + 86398.0 / 86400.0}};
  for (const Case& c : cases) {
    double value = 0;
    ASSERT_TRUE(TextToDateTime(c.text, value)) << c.text;
    EXPECT_NEAR(value, c.dateTime, 1e-9) << c.text;
    EXPECT_EQ(DateTimeToText(PackedFileDateToDateTime(DateTimeToPackedFileDate(value))), c.text) << c.text;
  }
  for (const char* bad : {"", "1.1.2000 ", "1.13.2000", "32.1.2000", "1.1.2000 24:00:00", "1.1.2000 x"}) {
    double value = 0;
    EXPECT_FALSE(TextToDateTime(bad, value)) << bad;
  }
}

TEST_F(FileElementsTest, FileBasedEntitiesReportWhyNothingWasLoaded) {
  struct Loading : TFileBasedEntity {
    std::vector<std::string> loaded;
    void LoadFromFile(const std::string& name) override { loaded.push_back(name); }
  };
  struct Case {
    std::string name;
    int error;
    std::size_t loads;
  };
  const Case cases[] = {{"", 11, 0}, {root + "/none.txt", 12, 0}, {root + "/a.txt", 0, 1}, {root + "/sub", 12, 0}};
  for (const Case& c : cases) {
    Loading entity;
    entity.Error = 99;
    entity.SetFileName(c.name);
    EXPECT_EQ(entity.Error, c.error) << c.name;
    EXPECT_EQ(entity.loaded.size(), c.loads) << c.name;
    EXPECT_EQ(entity.GetFileName(), c.name);
  }
}

TEST_F(FileElementsTest, FileModelsMoveTheirFileToAnotherPath) {
  TFileModel model;
  model.SetPropertyText("FileName", "/old/place/guide.KES");
  EXPECT_EQ(model.GetPropertyText("Path"), "/old/place/");
  model.SetPropertyText("Path", "/new");
  EXPECT_EQ(model.GetFileName(), "/new/guide.KES");
}

TEST_F(FileElementsTest, ADriveIsListedOnceWhileActive) {
  std::unique_ptr<TLogicalDriveElement> drive(CreateElement<TLogicalDriveElement>());
  drive->RootName = root;
  drive->SetName("root");
  EXPECT_EQ(drive->GetName(), "root");
  // The kind of the volume the test folder is on: any present kind.
  const char* const texts[] = {"UnKnown", "not found ", "FD", "HD", "REMOTE disk", "CDROM", "RAM Disk"};
  ASSERT_GE(drive->DriveType(), 2);
  ASSERT_LE(drive->DriveType(), 6);
  EXPECT_EQ(drive->DriveTypeString(), texts[drive->DriveType()]);
  drive->SetActive(true);
  drive->SetActive(false);
  EXPECT_EQ(drive->GetCount(), 0);  // deactivated before anyone looked
  drive->SetActive(true);
  const int count = drive->GetCount();
  EXPECT_EQ(count, 6);
  drive->SetActive(true);
  EXPECT_EQ(drive->GetCount(), count);
  drive->SetActive(false);
  EXPECT_EQ(drive->GetCount(), 0);
  drive->SetActive(true);
  EXPECT_EQ(drive->GetCount(), count);
  drive->RootName = root + "/missing";
  EXPECT_EQ(drive->DriveTypeString(), "not found ");
}

TEST_F(FileElementsTest, TheComputerHoldsOneDrivePerVolume) {
  std::unique_ptr<TElement> computer(CreateElementByClassName("TLocalComputerElement"));
  auto* drives = DynamicCast<TEntity>(computer.get());
  ASSERT_NE(drives, nullptr);
  ASSERT_GE(drives->GetCount(), 1);
  auto* first = DynamicCast<TLogicalDriveElement>(drives->GetElement(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->RootName, "/");
  EXPECT_EQ(first->GetName(), "/ " + first->DriveTypeString());
  EXPECT_FALSE(first->Active());
}

TEST_F(FileElementsTest, TheWalkerCollectsFilesFolderByFolder) {
  struct Case {
    const char* mask;
    std::uint16_t attributes;
    std::vector<std::string> found;
  };
  const Case cases[] = {
      {"*.KES", 63, {"Z.KES", "sub/d.kes", "sub/e.KES", "sub/deep/f.KES", "zz/y.KES"}},
      {"?.pas", 63, {"B.PAS", "c.pas"}},
      {"*.kes", platform::faReadOnly, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected;
    for (const std::string& name : c.found) expected.push_back(root + "/" + name);
    EXPECT_EQ(RecursiveFileSearch(root, c.mask, c.attributes), expected) << c.mask;
  }
  EXPECT_EQ(FlatFileSearch(root + "/sub", "*.kes", 63),
            (std::vector<std::string>{root + "/sub/d.kes", root + "/sub/e.KES"}));
  EXPECT_EQ(FlatFileSearch(root, "*", platform::faDirectory),
            (std::vector<std::string>{root + "/sub", root + "/zz"}));
}

TEST_F(FileElementsTest, TheWalkersChoiceOfFilesCanBeNarrowed) {
  struct OnlyShort : TDirSurfer {
    using TDirSurfer::TDirSurfer;
    bool AcceptFile(const std::string& name) override { return platform::ExtractFileName(name).size() <= 5; }
  };
  OnlyShort walker(folder.Path() + "/sub/../sub", 63, "*.*");
  EXPECT_EQ(walker.Root(), root + "/sub");
  walker.Walk();
  EXPECT_EQ(walker.Result(), (std::vector<std::string>{root + "/sub/d.kes", root + "/sub/deep", root + "/sub/e.KES",
                                                       root + "/sub/loop", root + "/sub/deep/f.KES"}));
}

}  // namespace
