#include <string>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "framework/values/element_models.h"
#include "framework/values/inheritance_models.h"
#include "framework/values/tool_models.h"

namespace {

class ModelTest : public FrameworkTest {
 protected:
  // An element of the class named, with an element model describing it.
  TElementModel* Described(TOwnerEntity* element, const std::string& name, const std::string& className) {
    element->SetName(name);
    keep.AddElement(element);
    auto* model = new TElementModel;
    model->SetName(name);
    model->ElementClassName = className;
    element->AddElement(model);
    return model;
  }
  TOwnerEntity keep;
};

TEST_F(ModelTest, LinksAreOneChildCreatedOnFirstRead) {
  TPropertyModel model;
  EXPECT_TRUE(model.NoLinks());
  EXPECT_EQ(model.GetCount(), 0);
  TOwnerEntity* links = model.Links();
  EXPECT_EQ(model.Links(), links);
  EXPECT_EQ(GetObjectPropByName(model, "Links"), links);
  EXPECT_EQ(model.GetCount(), 1);
  EXPECT_EQ(links->GetName(), "LINKS");
  EXPECT_TRUE(model.NoLinks());  // there but empty
  model.NewSourceLink(nullptr);
  EXPECT_TRUE(model.NoLinks());
}

TEST_F(ModelTest, NewLinksPointFromOrToTheModel) {
  TPropertyModel model;
  TPropertyModel other;
  model.NewSourceLink(&other);
  model.SetPropertyText("NewDestinationLink", std::to_string(HandleOfElement(&other)));
  ASSERT_FALSE(model.NoLinks());
  ASSERT_EQ(model.Links()->GetCount(), 2);
  auto* in = DynamicCast<TModelLink>(model.Links()->GetElement(0));
  auto* out = DynamicCast<TModelLink>(model.Links()->GetElement(1));
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->GetSource(), &other);
  EXPECT_EQ(in->GetDestination(), &model);
  EXPECT_EQ(out->GetSource(), &model);
  EXPECT_EQ(out->GetDestination(), &other);
  EXPECT_EQ(in->GetPropertyText("Source"), std::to_string(HandleOfElement(&other)));
}

TEST_F(ModelTest, ElementModelDescribesTheOwnerOfItsNameAndClass) {
  TElementModel* model = Described(new TOwnerEntity, "Roads", "towneRentity");
  EXPECT_EQ(model->GetModelElement(), model->GetOwner(0));
  TElementModel* wrongClass = Described(new TOwnerEntity, "Roads", "TEntity");
  EXPECT_EQ(wrongClass->GetModelElement(), nullptr);
  auto* renamed = new TOwnerEntity;
  TElementModel* wrongName = Described(renamed, "Rivers", "TOwnerEntity");
  renamed->SetName("Lakes");
  EXPECT_EQ(wrongName->GetModelElement(), nullptr);
  renamed->SetName("RIVERS");
  EXPECT_EQ(wrongName->GetModelElement(), renamed);
  model->NewPropertyName("Width");
  TPropertyModel* property = model->LastPropertyModel();
  ASSERT_NE(property, nullptr);
  EXPECT_EQ(property->GetModelElement(), model->GetOwner(0));
  TPropertyModel loose;
  EXPECT_EQ(loose.GetModelElement(), nullptr);
}

TEST_F(ModelTest, LinkMakesTheSourceElementAChildOfTheDestinationElementOnce) {
  auto* source = new TOwnerEntity;
  auto* destination = new TOwnerEntity;
  TElementModel* sourceModel = Described(source, "Source", "TOwnerEntity");
  TElementModel* destinationModel = Described(destination, "Destination", "TOwnerEntity");
  sourceModel->NewDestinationLink(destinationModel);
  auto* link = DynamicCast<TModelLink>(sourceModel->Links()->GetElement(0));
  ASSERT_NE(link, nullptr);
  link->Apply();
  link->Apply();
  EXPECT_EQ(destination->IndexOf(source), 1);  // after its model
  EXPECT_EQ(destination->GetCount(), 2);
  EXPECT_TRUE(source->HasOwner(destination));
}

TEST_F(ModelTest, LinksWithAPlainPropertyModelOrAMissingEndDoNothing) {
  auto* source = new TOwnerEntity;
  auto* destination = new TOwnerEntity;
  TElementModel* sourceModel = Described(source, "Source", "TOwnerEntity");
  TElementModel* destinationModel = Described(destination, "Destination", "TOwnerEntity");
  sourceModel->NewPropertyName("Width");
  TModelLink fromProperty;
  fromProperty.SetSource(sourceModel->LastPropertyModel());
  fromProperty.SetDestination(destinationModel);
  fromProperty.Apply();
  TModelLink halfSet;
  halfSet.SetSource(sourceModel);
  halfSet.Apply();
  auto* gone = new TElementModel;
  halfSet.SetDestination(gone);
  delete gone;
  halfSet.Apply();
  TModelLink toUndescribed;  // the destination model describes no element
  TElementModel loose;
  toUndescribed.SetSource(sourceModel);
  toUndescribed.SetDestination(&loose);
  toUndescribed.Apply();
  EXPECT_EQ(destination->GetCount(), 1);
  EXPECT_EQ(source->GetOwnersCount(), 1);
}

TEST_F(ModelTest, ElementModelPartsAreNamedChildrenCreatedOnFirstUse) {
  TElementModel model;
  EXPECT_TRUE(model.NoModelElements());
  EXPECT_TRUE(model.NoModelProperties());
  EXPECT_TRUE(model.NoImages());
  EXPECT_EQ(model.LastPropertyModel(), nullptr);
  model.SetPropertyText("NewElementName", "Sub");
  model.SetPropertyText("NewPropertyName", "Width");
  model.SetPropertyText("NewPropertyName", "Height");
  model.SetPropertyText("NewImage", "line.bmp");
  EXPECT_EQ(model.ModelElements()->GetName(), "ELEMENTS");
  EXPECT_EQ(model.ModelProperties()->GetName(), "PROPERTIES");
  EXPECT_EQ(model.Images()->GetName(), "IMAGES");
  EXPECT_EQ(model.GetCount(), 3);
  auto* sub = DynamicCast<TElementModel>(model.ModelElements()->GetElement(0));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetName(), "Sub");
  EXPECT_EQ(model.LastPropertyModel()->GetName(), "Height");
  EXPECT_EQ(model.LastPropertyModel()->ClassType(), TPropertyModel::StaticClass());
  EXPECT_EQ(model.Images()->GetValueList(), (std::vector<std::string>{"line.bmp"}));
  EXPECT_FALSE(model.NoModelElements());
  EXPECT_FALSE(model.NoModelProperties());
  EXPECT_FALSE(model.NoImages());
  EXPECT_EQ(model.GetPathValue("LastPropertyModel.Name"), "Height");
  EXPECT_EQ(model.GetPathValueList("ModelProperties.ELEMENT.Name"), (std::vector<std::string>{"Width", "Height"}));
}

TEST_F(ModelTest, ToolModelListsItsSubToolModels) {
  TToolModel model;
  EXPECT_TRUE(model.NoModelTools());
  EXPECT_EQ(model.LastToolModel(), nullptr);
  model.SetPropertyText("NewToolName", "First");
  model.NewToolName("Second");
  EXPECT_EQ(model.ModelTools()->GetName(), "TOOLS");
  EXPECT_EQ(model.ModelTools()->GetCount(), 2);
  ASSERT_NE(model.LastToolModel(), nullptr);
  EXPECT_EQ(model.LastToolModel()->GetName(), "Second");
  EXPECT_FALSE(model.NoModelTools());
  model.SetPropertyText("DynamicTool", "True");
  model.SetPropertyText("ShortCut", "Ctrl+E");
  EXPECT_TRUE(model.DynamicTool);
  EXPECT_EQ(model.ShortCut, "Ctrl+E");
}

TEST_F(ModelTest, ModelClassesAreRegisteredButNotTheTreeClasses) {
  for (const char* name : {"TModelLink", "TPropertyModel", "TElementModel", "TToolModel", "TRegisterClassModel",
                           "TRegisterClassModels", "TRegisterPropertyModel"})
    EXPECT_NE(FindKestuClass(name), nullptr) << name;
  for (const char* name : {"TModelItems", "TInheritanceModel", "TInheritanceModelEntity"})
    EXPECT_EQ(FindKestuClass(name), nullptr) << name;
}

// ---------------------------------------------------------------- inheritance trees

// The tree below node as text: class(children...).
std::string Shape(TInheritanceModel* node) {
  std::string text = node->GetElementClassName();
  TModelItems* items = node->ExistingItems();
  if (!items || items->IsEmpty()) return text;
  text += "(";
  bool first = true;
  for (TElement* child : items->Children()) {
    if (!first) text += " ";
    text += Shape(static_cast<TInheritanceModel*>(child));
    first = false;
  }
  return text + ")";
}

class InheritanceTest : public FrameworkTest {
 protected:
  TInheritanceModel* Add(const char* className) {
    tree.SetNewClassName(className);
    return tree.ActualItem();
  }
  TInheritanceModelEntity tree;
};

TEST_F(InheritanceTest, NodesFileUnderTheNearestAncestorClass) {
  Add("TEntity");
  Add("TOwnerEntity");
  Add("TElement");
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity(TOwnerEntity)))");
  Add("TNameEntity");
  Add("TStringElement");
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity(TNameEntity(TOwnerEntity)) TStringElement))");
  EXPECT_EQ(tree.ExistingItems()->GetName(), "ITEMS");
  EXPECT_EQ(tree.GetPropertyText("ActualClassName"), "TStringElement");
  EXPECT_EQ(tree.ActualItem()->GetName(), "TStringElement");
}

TEST_F(InheritanceTest, FindSelectsTheMostSpecificNode) {
  TInheritanceModel* element = Add("TElement");
  tree.SetFindClassName("TStringElement");
  EXPECT_EQ(tree.ActualItem(), element);
  EXPECT_EQ(tree.Error, 0);
  TInheritanceModel* entity = Add("TEntity");
  TInheritanceModel* owner = Add("TOwnerEntity");
  tree.SetPropertyText("FindClassName", "TNameEntity");
  EXPECT_EQ(tree.ActualItem(), entity);
  tree.SetFindClassName("TKestuClasses");
  EXPECT_EQ(tree.ActualItem(), owner);
  tree.SetFindClassName("TEntity");
  EXPECT_EQ(tree.ActualItem(), entity);
  EXPECT_EQ(tree.FindModelByName("TBooleanElement"), element);
  EXPECT_EQ(tree.FindModel(nullptr), nullptr);
}

TEST_F(InheritanceTest, ErrorCodesOfTheCursor) {
  Add("TEntity");
  tree.SetFindClassName("TStringElement");
  EXPECT_EQ(tree.Error, 1);
  EXPECT_EQ(tree.ActualItem(), nullptr);
  EXPECT_TRUE(tree.GetIsError());
  EXPECT_EQ(tree.GetPropertyText("IsError"), "True");
  tree.SetFindClassName("TNoSuchClass");
  EXPECT_EQ(tree.Error, 2);
  tree.SetNewClassName("TNoSuchClass");
  EXPECT_EQ(tree.Error, 2);
  EXPECT_EQ(tree.ActualItem(), nullptr);
  EXPECT_EQ(Shape(&tree), "(TEntity)");
  tree.SetNewClassName("");
  EXPECT_EQ(tree.Error, 0);
  EXPECT_FALSE(tree.GetIsError());
  EXPECT_EQ(tree.GetActualClassName(), "NIL");
  EXPECT_EQ(tree.Error, 3);
  tree.Error = 0;
  tree.SetActualClassName("TElement");
  EXPECT_EQ(tree.Error, 3);
  EXPECT_EQ(Shape(&tree), "(TEntity)");
  tree.Error = 2;
  tree.DeleteActualItem(true);  // nothing without a current node
  EXPECT_EQ(tree.Error, 2);
}

TEST_F(InheritanceTest, DeletingANodeKeepsTheNodesItHeld) {
  Add("TElement");
  TInheritanceModel* entity = Add("TEntity");
  TInheritanceModel* owner = Add("TOwnerEntity");
  TInheritanceModel* name = Add("TNameElement");
  tree.SetFindClassName("TEntity");
  ASSERT_EQ(tree.ActualItem(), entity);
  tree.SetPropertyText("DeleteActualItem", "True");
  EXPECT_EQ(tree.ActualItem(), nullptr);
  EXPECT_EQ(tree.Error, 3);
  EXPECT_EQ(Shape(&tree), "(TElement(TNameElement TOwnerEntity))");
  tree.SetFindClassName("TOwnerEntity");
  EXPECT_EQ(tree.ActualItem(), owner);
  tree.SetFindClassName("TNameElement");
  EXPECT_EQ(tree.ActualItem(), name);
}

TEST_F(InheritanceTest, ReplacingTheCurrentClassKeepsTheNodesItHeld) {
  Add("TElement");
  Add("TEntity");
  TInheritanceModel* owner = Add("TOwnerEntity");
  tree.SetFindClassName("TEntity");
  tree.SetPropertyText("ActualClassName", "TNameEntity");
  EXPECT_EQ(tree.Error, 0);
  EXPECT_EQ(tree.GetActualClassName(), "TNameEntity");
  EXPECT_EQ(Shape(&tree), "(TElement(TNameEntity(TOwnerEntity)))");
  tree.SetFindClassName("TOwnerEntity");
  EXPECT_EQ(tree.ActualItem(), owner);
  tree.SetFindClassName("TElement");
  tree.SetActualClassName("TNoSuchClass");  // the node goes, its sub-nodes stay
  EXPECT_EQ(tree.Error, 2);
  EXPECT_EQ(Shape(&tree), "(TNameEntity(TOwnerEntity))");
}

TEST_F(InheritanceTest, ItemClassDecidesTheClassOfNewNodes) {
  EXPECT_EQ(tree.GetPropertyText("ItemClassName"), "TInheritanceModel");
  tree.SetPropertyText("ItemClassName", "TRegisterClassModel");
  Add("TElement");
  EXPECT_EQ(tree.ActualItem()->ClassType(), TRegisterClassModel::StaticClass());
  tree.SetItemClassName("TStringElement");
  EXPECT_EQ(tree.GetItemClassName(), "TInheritanceModel");
  Add("TEntity");
  EXPECT_EQ(tree.ActualItem()->ClassType(), TInheritanceModel::StaticClass());
}

TEST_F(InheritanceTest, InsertingANodeTwiceOrIntoItselfChangesNothing) {
  TInheritanceModel* element = Add("TElement");
  Add("TEntity");
  tree.InsertModel(element);
  element->InsertModel(element);
  tree.InsertModel(nullptr);
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity))");
  EXPECT_TRUE(element->AcceptsClass(TEntity::StaticClass()));
  EXPECT_FALSE(element->AcceptsClass(nullptr));
  EXPECT_TRUE(tree.AcceptsClass(nullptr));
}

TEST_F(InheritanceTest, NextItemTakesOnlyInheritanceNodes) {
  auto* node = new TInheritanceModel;
  node->SetElementClassName("TEntity");
  EXPECT_EQ(node->GetName(), "TEntity");
  tree.SetPropertyText("NextItem", std::to_string(HandleOfElement(node)));
  EXPECT_EQ(Shape(&tree), "(TEntity)");
  EXPECT_TRUE(dialogs.Messages.empty());
  TOwnerEntity stranger;
  const std::string handle = std::to_string(HandleOfElement(&stranger));
  tree.SetPropertyText("NextItem", handle);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property NextItem by string " + handle);
  EXPECT_FALSE(tree.GetNoItems());
  EXPECT_EQ(GetObjectPropByName(tree, "Items"), tree.ExistingItems());
  EXPECT_EQ(Shape(&tree), "(TEntity)");
}

TEST_F(InheritanceTest, RegisterClassModelsKeepTheirDataWhenAParentGoes) {
  TRegisterClassModels models;
  EXPECT_EQ(models.GetItemClassName(), "TRegisterClassModel");
  models.SetNewClassName("TElement");
  models.SetNewClassName("TEntity");
  TRegisterClassModel* entity = models.ActualClassModel();
  ASSERT_NE(entity, nullptr);
  entity->SetPropertyText("Alias", "Entita");
  entity->SetPropertyText("ImageIndex", "4");
  TOwnerEntity* shell = entity->Shell();
  EXPECT_EQ(entity->Shell(), shell);
  EXPECT_EQ(shell->GetName(), "SHELL");
  EXPECT_EQ(entity->PropertyModels()->GetName(), "PROPERTY MODELS");
  models.SetFindClassName("TElement");
  models.DeleteActualItem(true);
  models.SetFindClassName("TOwnerEntity");
  ASSERT_EQ(models.ActualClassModel(), entity);
  EXPECT_EQ(entity->Alias, "Entita");
  EXPECT_EQ(entity->ImageIndex, 4);
  EXPECT_EQ(entity->Shell(), shell);
}

}  // namespace
