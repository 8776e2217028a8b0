#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/environment/file_elements.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"

namespace {

// Each drive as "root=name", sorted.
std::vector<std::string> Drives(TEntity& computer) {
  std::vector<std::string> drives;
  for (int i = 0; i < computer.GetCount(); ++i) {
    auto* drive = DynamicCast<TLogicalDriveElement>(computer.GetElement(i));
    drives.push_back(drive ? drive->RootName + "=" + drive->GetName() : "?");
  }
  std::sort(drives.begin(), drives.end());
  return drives;
}

class LocalComputerLoadTest : public FrameworkTest {
 protected:
  TempFolder folder;
};

// A loaded element is finished as one made by class name: the computer lists
// the drives present now, and the stored ones take the place of those of the
// same root.
TEST_F(LocalComputerLoadTest, ALoadedComputerListsThePresentDrivesOnceWithTheStoredOnesInTheirPlace) {
  std::unique_ptr<TEntity> computer(DynamicCast<TEntity>(CreateElementByClassName("TLocalComputerElement")));
  ASSERT_NE(computer, nullptr);
  std::vector<std::string> expected;
  for (const std::string& drive : Drives(*computer))
    if (drive.rfind("/=", 0) != 0) expected.push_back(drive);
  computer->Clear();
  for (const char* root : {"/", "/stored-only"}) {
    auto* drive = CreateElement<TLogicalDriveElement>();
    drive->RootName = root;
    drive->SetName(std::string("kept ") + root);
    computer->AddElement(drive);
    expected.push_back(std::string(root) + "=kept " + root);
  }
  std::sort(expected.begin(), expected.end());

  TSave save;
  save.FileName = folder.File("computer.kes");
  save.SetInput(computer.get());
  save.DoIt();
  TLoad load;
  load.FileName = save.FileName;
  load.DoIt();
  std::unique_ptr<TEntity> loaded(DynamicCast<TEntity>(load.Output()));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Drives(*loaded), expected);
}

}  // namespace
