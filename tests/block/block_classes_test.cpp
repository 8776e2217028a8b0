// The classes scripts and element files make by name: every class the block
// library registers (with those of the libraries below it) stands in the
// class tree under a parent and is made as itself.
#include "block/block_classes.h"

#include "platform/canvas.h"
#include "platform/forms.h"
#include "tests/block/block_fixture.h"

namespace {

class BlockClassesTest : public BlockTest {};

TEST_F(BlockClassesTest, EveryRegisteredClassStandsUnderItsParentAndIsMadeAsItself) {
  platform::EnsureWindowSystem();
  // A print device begins a print document: into a folder of ours.
  const std::string printFile = platform::PrintFileName();
  platform::SetPrintFileName(File("sweep.pdf"));
  TKestuClasses& registry = *KestuClasses();
  for (int i = 0; i < registry.GetCount(); ++i) {
    TKestuClass* entry = registry.Entry(i);
    const TClass cls = entry->ElementClass();
    ASSERT_NE(cls, nullptr) << "entry " << i << " of the registry, after "
                            << (i > 0 ? registry.Entry(i - 1)->GetName() : std::string("none"));
    EXPECT_EQ(entry->GetName(), cls->ClassName);
    // The tree's root, the class library's object, is no registered class.
    EXPECT_NE(cls->Parent, nullptr) << cls->ClassName;
    TOwnerEntity keeper;
    TElement* element = NewElement(cls);
    if (!element) continue;  // an abstract class
    keeper.AddElement(element);
    EXPECT_EQ(element->ClassType(), cls) << cls->ClassName;
  }
  platform::SetPrintFileName(printFile);
  // Those of the block units, outside the topology's.
  for (const char* name :
       {"TLumarProps", "TLumarPointProps", "TLumarTextProps", "TLumarLineProps", "TLumarAreaProps",
        "TLumarObjectOwner", "TLumarObjectRegister", "TLumarBlockRegister", "TLumaRReader", "TLumarManipulator",
        "TLumaRObjectReader", "TLumarCoordReader", "TLumarLinReader", "TLumarAreaReader", "TLumarAreaBoundaryReader",
        "TLumarPointReader", "TLumarTextReader", "TFiltrDruhuObjektu", "TLumaRBlokInfoReader", "TLumaRBlokReader",
        "TImportSource", "TImportSourceNode", "TLumaRImportSource", "TLumaRImportBlocks", "TLumaRImportLibraries",
        "TLumaRImportRasters", "TGuide", "TGuidePage_50", "TGuidePage_25", "TGuidePage_10", "TGuidePage_5",
        "TGuidePage_2", "TUserMapSpaces", "TVectors", "TSelectGuideLines", "TKESTXDialog",
        "TPrepareExportLinesToLumar", "TExportLinesToLumar", "TSelectLinesFromGroups", "TExpBlockName",
        "TExportElementsToText", "TPrepareExportAreasToLumar", "TExportAreasToLumar",
        "TExportAreasToLumarPropsFromAreaQTree", "TExportPointsToLumar", "TSaveAreasToBlok", "TFindBlockLayer",
        "TBlockLayersTool", "TLayerImportDialog", "TForestUnit", "TEtaz", "TPorostniSkupina", "TPorost", "TDilec",
        "TOddeleni", "TLHC", "TTezPProps", "TTezBProps", "TSRFBProps", "TExportLHC", "TExportSimpleLHC"}) {
    const TClass cls = FindKestuClass(name);
    EXPECT_TRUE(cls && cls->ClassName == name) << name;
  }
}

}  // namespace
