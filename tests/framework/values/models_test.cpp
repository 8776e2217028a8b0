
#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/element_models.h"
#include "framework/values/inheritance_models.h"

namespace {

class ModelTest : public FrameworkTest {
 protected:
  // An element of the class named, with an element model describing it.
  TElementModel* Described(TOwnerEntity* element, const std::string& name, const std::string& className) {
    element->SetName(name);
    keep.AddElement(element);
    auto* model = Named<TElementModel>(name, element);
    model->ElementClassName = className;
    return model;
  }
  TOwnerEntity keep;
};

TEST_F(ModelTest, LinkMakesTheSourceElementAChildOfTheDestinationOnceAndOtherLinksDoNothing) {
  auto* source = new TOwnerEntity;
  auto* destination = new TOwnerEntity;
  TElementModel* sourceModel = Described(source, "Source", "TOwnerEntity");
  TElementModel* destinationModel = Described(destination, "Destination", "TOwnerEntity");
  sourceModel->NewPropertyName("Width");
  TModelLink fromProperty;  // a plain property model at one end
  fromProperty.SetSource(sourceModel->LastPropertyModel());
  fromProperty.SetDestination(destinationModel);
  TModelLink halfSet;
  halfSet.SetSource(sourceModel);
  TModelLink toUndescribed;  // the destination model describes no element
  TElementModel loose;
  toUndescribed.SetSource(sourceModel);
  toUndescribed.SetDestination(&loose);
  for (TModelLink* link : {&fromProperty, &halfSet, &toUndescribed}) link->Apply();
  auto* gone = new TElementModel;
  halfSet.SetDestination(gone);
  delete gone;
  halfSet.Apply();
  EXPECT_EQ(destination->GetCount() + source->GetOwnersCount(), 1 + 1);
  sourceModel->NewDestinationLink(destinationModel);
  auto* link = DynamicCast<TModelLink>(sourceModel->Links()->GetElement(0));
  link->Apply();
  link->Apply();
  EXPECT_TRUE(destination->IndexOf(source) == 1 && destination->GetCount() == 2);  // after its model, once
  EXPECT_TRUE(source->HasOwner(destination));
}

// A model describes the first of its owners that bears its name and the
// class it names, both in any case.
TEST_F(ModelTest, AModelsElementIsItsFirstOwnerOfItsNameAndClass) {
  const struct {
    const char* name;
    std::vector<std::pair<const char*, TClass>> owners;  // name and class, in order
    int described;                                       // index among the owners, -1 for nil
  } rows[] = {
      {"the only owner", {{"Porost", TOwnerEntity::StaticClass()}}, 0},
      {"after one of another name", {{"Dilec", TOwnerEntity::StaticClass()}, {"POROST", TOwnerEntity::StaticClass()}}, 1},
      {"after one of another class", {{"Porost", TNameEntity::StaticClass()}, {"porost", TOwnerEntity::StaticClass()}}, 1},
      {"the first of two", {{"porost", TOwnerEntity::StaticClass()}, {"Porost", TOwnerEntity::StaticClass()}}, 0},
      {"none fits", {{"Dilec", TOwnerEntity::StaticClass()}, {"Porost", TNameEntity::StaticClass()}}, -1},
  };
  for (const auto& row : rows) {
    TOwnerEntity keeper;
    auto* model = Named<TElementModel>("Porost");
    model->ElementClassName = "townerentity";
    std::vector<TElement*> owners;
    for (const auto& [name, cls] : row.owners) {
      auto* owner = static_cast<TEntity*>(NewElement(cls));
      owner->SetName(name);
      keeper.AddElement(owner);
      owner->AddElement(model);
      owners.push_back(owner);
    }
    TElement* expected = row.described < 0 ? nullptr : owners[static_cast<std::size_t>(row.described)];
    EXPECT_EQ(model->GetModelElement(), expected) << row.name;
  }
}

// ---------------------------------------------------------------- inheritance trees

// The tree below node as text: class(children...).
std::string Shape(TInheritanceModel* node) {
  std::string text = node->GetElementClassName();
  TModelItems* items = node->ExistingItems();
  if (!items || items->IsEmpty()) return text;
  std::vector<std::string> children;
  for (TElement* child : items->Children()) children.push_back(Shape(static_cast<TInheritanceModel*>(child)));
  return text + "(" + Join(children) + ")";
}

class InheritanceTest : public FrameworkTest {
 protected:
  TInheritanceModel* Add(const char* className) {
    tree.SetNewClassName(className);
    return tree.ActualItem();
  }
  TInheritanceModel* Find(const char* className) {
    tree.SetFindClassName(className);
    return tree.ActualItem();
  }
  // The tree as text, then the cursor's error code.
  std::string State() { return Shape(&tree) + " " + std::to_string(tree.Error); }
  TInheritanceModelEntity tree;
};

TEST_F(InheritanceTest, DeletingOrReplacingANodeKeepsTheNodesItHeld) {
  Add("TElement");
  Add("TEntity");
  TInheritanceModel* owner = Add("TOwnerEntity");
  TInheritanceModel* name = Add("TNameElement");
  Find("TEntity");
  tree.SetPropertyText("ActualClassName", "TNameEntity");
  EXPECT_EQ(State(), "(TElement(TNameElement TNameEntity(TOwnerEntity))) 0");
  EXPECT_EQ(Find("TOwnerEntity"), owner);  // the same objects
  Find("TNameEntity");
  tree.SetPropertyText("DeleteActualItem", "True");
  EXPECT_EQ(tree.ActualItem(), nullptr);
  EXPECT_EQ(State(), "(TElement(TNameElement TOwnerEntity)) 3");
  EXPECT_TRUE(Find("TOwnerEntity") == owner && Find("TNameElement") == name);
  Find("TElement");
  tree.SetActualClassName("TNoSuchClass");  // the node goes, its sub-nodes stay
  EXPECT_EQ(State(), "(TNameElement TOwnerEntity) 2");
}

TEST_F(InheritanceTest, RegisterClassModelsKeepTheirDataWhenAParentGoes) {
  TRegisterClassModels models;
  EXPECT_EQ(models.GetItemClassName(), "TRegisterClassModel");
  models.SetNewClassName("TElement");
  models.SetNewClassName("TEntity");
  TRegisterClassModel* entity = models.ActualClassModel();
  entity->SetPropertyText("Alias", "Entita");
  entity->SetPropertyText("ImageIndex", "4");
  TOwnerEntity* shell = entity->Shell();
  EXPECT_EQ(shell->GetName() + "|" + entity->PropertyModels()->GetName(), "SHELL|PROPERTY MODELS");
  models.SetFindClassName("TElement");
  models.DeleteActualItem(true);
  models.SetFindClassName("TOwnerEntity");
  ASSERT_EQ(models.ActualClassModel(), entity);
  EXPECT_EQ(entity->Alias + std::to_string(entity->ImageIndex) + std::to_string(entity->Shell() == shell), "Entita41");
}

}  // namespace
