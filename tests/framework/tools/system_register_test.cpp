#include "framework/tools/system_register.h"

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "framework/tools/world.h"
#include "framework/values/inheritance_models.h"

namespace {

class SysRegTest : public FrameworkTest {};

TEST_F(SysRegTest, SectionsAreMadeOnFirstReadUnderTheirNames) {
  TSystemRegister reg;
  TStringListElement* images = reg.Images();
  TStringListElement* cursors = reg.Cursors();
  TRegisterClassModels* models = reg.ClassModels();
  ASSERT_NE(images, nullptr);
  ASSERT_NE(cursors, nullptr);
  ASSERT_NE(models, nullptr);
  EXPECT_EQ(images->GetName(), "IMAGES");
  EXPECT_EQ(cursors->GetName(), "CURSORS");
  EXPECT_EQ(models->GetName(), "CLASS MODELS");
  EXPECT_EQ(reg.Images(), images);
  EXPECT_EQ(reg.Cursors(), cursors);
  EXPECT_EQ(reg.ClassModels(), models);
  EXPECT_EQ(reg.GetCount(), 3);
  EXPECT_EQ(GetObjectPropByName(reg, "Cursors"), cursors);
  EXPECT_EQ(GetObjectPropByName(reg, "ClassModels"), models);
}

TEST_F(SysRegTest, ExistingSectionIsFoundInAnyLetterCase) {
  TSystemRegister reg;
  auto* cursors = new TStringListElement;
  cursors->SetName("cursors");
  cursors->NextValue("Kurzor1.cur");
  reg.AddElement(cursors);
  EXPECT_EQ(reg.Cursors(), cursors);
  EXPECT_EQ(reg.GetCount(), 1);
  EXPECT_EQ(reg.Cursors()->GetValue(0), "Kurzor1.cur");
}

TEST_F(SysRegTest, SectionOfAnotherClassIsNotTakenForTheList) {
  TSystemRegister reg;
  auto* images = new TStringElement;
  images->SetName("Images");
  reg.AddElement(images);
  EXPECT_EQ(reg.Images(), nullptr);
  EXPECT_EQ(reg.GetCount(), 1);
}

TEST_F(SysRegTest, SectionFreedElsewhereIsMadeAgain) {
  TSystemRegister reg;
  TStringListElement* first = reg.Images();
  reg.FreeElement(first);
  TStringListElement* second = reg.Images();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(reg.IndexOf(second), 0);
}

TEST_F(SysRegTest, ClassModelsKeepRegisterClassModels) {
  TWorld world;
  TRegisterClassModels* models = world.SystemRegister()->ClassModels();
  models->SetNewClassName("TEntity");
  ASSERT_NE(models->ActualClassModel(), nullptr);
  EXPECT_EQ(models->ActualClassModel()->GetName(), "TEntity");
  models->SetFindClassName("TOwnerEntity");
  EXPECT_EQ(models->Error, 0);
  EXPECT_EQ(models->ActualClassModel()->GetName(), "TEntity");
}

}  // namespace
