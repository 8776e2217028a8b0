#include "framework/environment/file_elements.h"

#include <filesystem>
#include <fstream>
#include <tuple>
#include <memory>

#include "framework/core/class_registry.h"
#include "framework/environment/directory_walker.h"
#include "framework/environment/environment.h"
#include "framework/stream/kes_loader.h"
#include "platform/files.h"
#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"
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
  auto* sub = static_cast<TDirectoryElement*>(dir->FindElementByName("sub"));
  EXPECT_FALSE(sub->Listed());
  EXPECT_EQ(Join(NamesOf(*sub)), "d.kes deep e.KES loop");
  auto* loop = static_cast<TDirectoryElement*>(sub->FindElementByName("loop"));
  EXPECT_TRUE(loop->SearchRecord().SymLink && loop->IsEmpty() && loop->GetCount() == 0);
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
  sub->SetFileName(root + "/zz");  // a listed folder keeps its name
  EXPECT_EQ(sub->FileName(), root + "/sub");
  const int count = dir->GetCount();
  dir->SetFileName(AsciiUpperCase(root));  // the same name in other letter case lists nothing anew
  EXPECT_EQ(dir->FileName() + " " + std::to_string(dir->GetCount()), root + " " + std::to_string(count));
  EXPECT_EQ(dir->FindElementByName("c.pas")->ClassName(), "TFileElement");
  TElement* unit = dir->FindElementByName("B.PAS");  // descriptions come from their section
  EXPECT_EQ(unit->ClassName(), "TPascalUnitElement");
  EXPECT_EQ(unit->GetPropertyText("Description") + "|" + unit->GetPropertyText("Version") + "|" +
                unit->GetPropertyText("Admin"),
            "Výpočty|2.1|");
  std::unique_ptr<TDirectoryElement> dirs(CreateElement<TDirectoryElement>());
  dirs->DirOnly = true;
  dirs->SetFileName(root);
  EXPECT_EQ(Join(NamesOf(*dirs)), "sub zz");
}

TEST_F(FileElementsTest, RenamesStayInTheFolderAndRefuseOtherNames) {
  std::unique_ptr<TFileElement> file(CreateElement<TFileElement>());
  file->SetFileName(root + "/a.txt");
  for (const auto& [name, renamed] : {std::pair{"", false}, {".", false}, {"..", false}, {"x/y", false},
                                      {"..\\a", false}, {"/tmp/x", false}, {"Z.KES", false}, {"b.txt", true},
                                      {"a.txt", true}}) {
    const std::string expected = renamed ? root + "/" + name : file->FileName();
    file->SetName(name);
    EXPECT_EQ(file->FileName() + " " + file->GetName(), expected + " " + platform::ExtractFileName(expected)) << name;
    EXPECT_TRUE(fs::exists(expected)) << "'" << name << "'";
  }
  EXPECT_TRUE(fs::exists(root + "/Z.KES"));
}

TEST_F(FileElementsTest, AFileElementReadFromAStreamLeavesTheDiskAsItWas) {
  using kes::Bytes, kes::I, kes::S;
  // 40000 (6 July 2009) as an 80-bit extended float.
  const Bytes dateValue{0x05, 0, 0, 0, 0, 0, 0, 0x40, 0x9C, 0x0E, 0x40};
  const std::string file = root + "/a.txt";
  const struct {
    const char* name;
    const char* property;
    int kind;
    Bytes value;
  } cases[] = {
      {"a name does not rename", "Name", 10, S("renamed.txt")},
      {"a time does not re-date", "FileTime", 4, dateValue},
      {"a time text does not re-date", "FileTimeString", 10, S("6.7.2009 0:00:00")},
      {"attributes do not write-protect", "Attributes", 1, I(1)},
      {"the read-only flag does not write-protect", "AttrReadOnly", 3, I(1)},
      {"the hidden flag changes nothing", "AttrHidden", 3, I(1)},
  };
  const auto stamp = fs::last_write_time(file);
  const auto mode = fs::status(file).permissions();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes stream = kes::Stream({kes::ClassRecord("TFileElement", 0, {{"FileName", 10}, {c.property, c.kind}}),
                                      kes::Record(0, 0, kes::Concat({I(0), S(file), I(1), c.value}))});
    kes::WriteFile(folder.File("crafted.kes"), stream);
    TLoad load;
    load.FileName = folder.File("crafted.kes");
    load.DoIt();
    std::unique_ptr<TElement> loaded(load.Output());
    ASSERT_NE(DynamicCast<TFileElement>(loaded.get()), nullptr);
    EXPECT_EQ(static_cast<TFileElement&>(*loaded).FileName(), file);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(root + "/renamed.txt"));
    EXPECT_EQ(fs::last_write_time(file), stamp);
    EXPECT_EQ(fs::status(file).permissions(), mode);
  }
  // A script still renames through the same property.
  std::unique_ptr<TFileElement> element(CreateElement<TFileElement>());
  element->SetFileName(file);
  element->SetPropertyText("Name", "renamed.txt");
  EXPECT_TRUE(fs::exists(root + "/renamed.txt"));
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
  for (const auto& [text, dateTime] : {std::pair{"1.1.1980 0:00:00", 29221.0}, {"30.12.1999 12:00:00", 36524.5},
                                       {"29.2.2024 23:59:58", 45351.0 + 86398.0 / 86400.0}}) {
    double value = 0;
    ASSERT_TRUE(TextToDateTime(text, value)) << text;
    EXPECT_NEAR(value, dateTime, 1e-9) << text;
    EXPECT_EQ(DateTimeToText(PackedFileDateToDateTime(DateTimeToPackedFileDate(value))), text) << text;
  }
  for (const char* bad : {"", "1.1.2000 ", "1.13.2000", "32.1.2000", "31.4.2000", "1.1.2000 24:00:00",
                          "1.1.2000 10:60:00", "1.1.2000 10:00:60", "1.1.2000 x"}) {
    double value = 0;
    EXPECT_FALSE(TextToDateTime(bad, value)) << bad;
  }
}

TEST_F(FileElementsTest, TheWalkerCollectsFilesFolderByFolder) {
  const auto found = [this](std::vector<std::string> files) {
    for (std::string& name : files) name = root + "/" + name;
    return files;
  };
  EXPECT_EQ(RecursiveFileSearch(root, "*.KES", 63),
            found({"Z.KES", "sub/d.kes", "sub/e.KES", "sub/deep/f.KES", "zz/y.KES"}));
  EXPECT_EQ(RecursiveFileSearch(root, "?.pas", 63), found({"B.PAS", "c.pas"}));
  EXPECT_EQ(RecursiveFileSearch(root, "*.kes", platform::faReadOnly), found({}));
  EXPECT_EQ(FlatFileSearch(root + "/sub", "*.kes", 63), found({"sub/d.kes", "sub/e.KES"}));
  EXPECT_EQ(FlatFileSearch(root, "*", platform::faDirectory), found({"sub", "zz"}));
  struct OnlyShort : TDirSurfer {  // the walker's choice of files can be narrowed
    using TDirSurfer::TDirSurfer;
    bool AcceptFile(const std::string& name) override { return platform::ExtractFileName(name).size() <= 5; }
  };
  OnlyShort walker(folder.Path() + "/sub/../sub", 63, "*.*");
  EXPECT_EQ(walker.Root(), root + "/sub");
  walker.Walk();
  EXPECT_EQ(walker.Result(), found({"sub/d.kes", "sub/deep", "sub/e.KES", "sub/loop", "sub/deep/f.KES"}));
}

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;
constexpr std::uint32_t Max32 = 0xFFFFFFFFu;

TEST(MemoryElementTest, FiguresAreReckonedIn64BitsAndClampedTo32) {
  const struct {
    const char* name;
    platform::MemoryStatus status;
    std::uint32_t totalPhys, availPhys, allocated, avail;
  } cases[] = {
      {"small machine", {32, 50, 1000, 500, 3000, 2000, 0, 0}, 1000, 500, 1500, 750},
      {"full load", {32, 100, 1000, 0, 1000, 0, 0, 0}, 1000, 0, 2000, 0},
      // Free figures above their totals (a racing reading) use nothing.
      {"more free than there is", {32, 40, 1000, 1200, 1000, 1500, 0, 0}, 1000, 1200, 0, 0},
      // 16 GiB with 6 GiB free: 10 GiB in use does not wrap to 2 GiB.
      {"above 4 GiB", {32, 62, 16 * GiB, 6 * GiB, 20 * GiB, 10 * GiB, 0, 0}, Max32, Max32, Max32, Max32},
      // 3 GiB in use reads as it is although the totals are clamped.
      {"totals clamped, use not", {32, 30, 8 * GiB, 7 * GiB, 8 * GiB, 6 * GiB, 0, 0}, Max32, Max32,
       static_cast<std::uint32_t>(3 * GiB), static_cast<std::uint32_t>(3 * GiB / 100 * 70)},
  };
  for (const auto& c : cases) {
    TMemoryElement memory;
    memory.SetStatus(c.status);
    EXPECT_EQ(std::tuple(memory.TotalPhys(), memory.AvailPhys(), memory.AlocatedMemory(), memory.AvailMemory()),
              std::tuple(c.totalPhys, c.availPhys, c.allocated, c.avail))
        << c.name;
    EXPECT_EQ(memory.GetPropertyText("AlocatedMemory"), std::to_string(c.allocated)) << c.name;
  }
}

}  // namespace
