
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
    auto* model = Named<TElementModel>(name, element);
    model->ElementClassName = className;
    return model;
  }
  TOwnerEntity keep;
};

TEST_F(ModelTest, PartsAreNamedChildrenMadeOnFirstUseAndLinksPointFromOrToTheModel) {
  TElementModel model;
  TPropertyModel other;
  EXPECT_TRUE(model.NoLinks() && model.NoModelElements() && model.NoModelProperties() && model.NoImages());
  EXPECT_EQ(model.LastPropertyModel(), nullptr);
  model.NewSourceLink(nullptr);
  EXPECT_TRUE(model.NoLinks());  // there but empty
  model.NewSourceLink(&other);
  model.SetPropertyText("NewDestinationLink", Handle(&other));
  model.SetPropertyText("NewElementName", "Sub");
  model.SetPropertyText("NewPropertyName", "Width");
  model.SetPropertyText("NewPropertyName", "Height");
  model.SetPropertyText("NewImage", "line.bmp");
  EXPECT_EQ(Join(model.GetPathValueList("ELEMENT.Name")), "LINKS ELEMENTS PROPERTIES IMAGES");
  auto* in = DynamicCast<TModelLink>(model.Links()->GetElement(0));
  auto* out = DynamicCast<TModelLink>(model.Links()->GetElement(1));
  ASSERT_TRUE(in && out);
  EXPECT_TRUE(in->GetSource() == &other && in->GetDestination() == &model && out->GetSource() == &model &&
              out->GetDestination() == &other);
  EXPECT_NE(DynamicCast<TElementModel>(model.FindPathElement("ModelElements.FINDELEMENTBYNAME(Sub)")), nullptr);
  EXPECT_EQ(model.Images()->GetValueList(), std::vector<std::string>{"line.bmp"});
  EXPECT_EQ(Join(model.GetPathValueList("ModelProperties.ELEMENT.Name")), "Width Height");
  EXPECT_EQ(model.LastPropertyModel()->ClassType(), TPropertyModel::StaticClass());
  TToolModel tool;
  EXPECT_EQ(tool.LastToolModel(), nullptr);
  tool.SetPropertyText("NewToolName", "First");
  tool.NewToolName("Second");
  EXPECT_EQ(tool.ModelTools()->GetName() + " " + Join(tool.GetPathValueList("ModelTools.ELEMENT.Name")) + " " +
                tool.LastToolModel()->GetName(),
            "TOOLS First Second Second");
}

TEST_F(ModelTest, ElementModelDescribesTheOwnerOfItsNameAndClass) {
  TElementModel* model = Described(new TOwnerEntity, "Roads", "towneRentity");
  EXPECT_EQ(model->GetModelElement(), model->GetOwner(0));
  EXPECT_EQ(Described(new TOwnerEntity, "Roads", "TEntity")->GetModelElement(), nullptr);
  auto* renamed = new TOwnerEntity;
  TElementModel* wrongName = Described(renamed, "Rivers", "TOwnerEntity");
  renamed->SetName("Lakes");
  TElement* lakes = wrongName->GetModelElement();
  renamed->SetName("RIVERS");
  EXPECT_TRUE(lakes == nullptr && wrongName->GetModelElement() == renamed);
  model->NewPropertyName("Width");
  EXPECT_TRUE(model->LastPropertyModel()->GetModelElement() == model->GetOwner(0) &&
              TPropertyModel().GetModelElement() == nullptr);
}

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

TEST_F(InheritanceTest, NodesFileUnderTheNearestAncestorAndFindSelectsTheMostSpecific) {
  TInheritanceModel* element = Add("TElement");
  EXPECT_TRUE(Find("TStringElement") == element && tree.Error == 0);
  TInheritanceModel* owner = Add("TOwnerEntity");
  TInheritanceModel* entity = Add("TEntity");
  EXPECT_EQ(Find("TNameEntity"), entity);
  Add("TNameEntity");
  Add("TStringElement");
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity(TNameEntity(TOwnerEntity)) TStringElement))");
  EXPECT_EQ(tree.ExistingItems()->GetName() + " " + tree.GetPropertyText("ActualClassName"), "ITEMS TStringElement");
  EXPECT_TRUE(Find("TKestuClasses") == owner && Find("TEntity") == entity);
  EXPECT_TRUE(tree.FindModelByName("TBooleanElement") == element && tree.FindModel(nullptr) == nullptr);
}

TEST_F(InheritanceTest, ErrorCodesOfTheCursor) {
  Add("TEntity");
  EXPECT_EQ(Find("TStringElement"), nullptr);
  EXPECT_EQ(tree.GetPropertyText("IsError") + " " + State(), "True (TEntity) 1");
  tree.SetFindClassName("TNoSuchClass");
  EXPECT_EQ(tree.Error, 2);
  EXPECT_TRUE(Add("TNoSuchClass") == nullptr && tree.Error == 2);
  tree.SetNewClassName("");
  EXPECT_FALSE(tree.GetIsError());
  EXPECT_EQ(tree.GetActualClassName(), "NIL");  // reading it without a current node is error 3
  EXPECT_EQ(State(), "(TEntity) 3");
  tree.Error = 0;
  tree.SetActualClassName("TElement");
  EXPECT_EQ(tree.Error, 3);
  tree.Error = 2;
  tree.DeleteActualItem(true);  // nothing without a current node
  EXPECT_EQ(State(), "(TEntity) 2");
}

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

TEST_F(InheritanceTest, ItemClassInsertionAndNextItem) {
  EXPECT_EQ(tree.GetPropertyText("ItemClassName"), "TInheritanceModel");
  tree.SetPropertyText("ItemClassName", "TRegisterClassModel");
  EXPECT_EQ(Add("TElement")->ClassType(), TRegisterClassModel::StaticClass());
  tree.SetItemClassName("TStringElement");  // no node class: the default
  EXPECT_EQ(Add("TEntity")->ClassType(), TInheritanceModel::StaticClass());
  TInheritanceModel* element = Find("TElement");
  tree.InsertModel(element);  // twice, into itself, nil: nothing changes
  element->InsertModel(element);
  tree.InsertModel(nullptr);
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity))");
  TInheritanceModel loose;  // a node without an owner is not filed under itself either
  loose.InsertModel(&loose);
  EXPECT_TRUE(!loose.ExistingItems() || loose.ExistingItems()->IsEmpty());
  EXPECT_TRUE(element->AcceptsClass(TEntity::StaticClass()) && !element->AcceptsClass(nullptr) &&
              tree.AcceptsClass(nullptr));
  auto* node = new TInheritanceModel;
  node->SetElementClassName("TTool");
  EXPECT_EQ(node->GetName(), "TTool");
  tree.SetPropertyText("NextItem", Handle(node));
  EXPECT_EQ(Shape(&tree), "(TElement(TEntity(TTool)))");
  TOwnerEntity stranger;  // only inheritance nodes are taken
  tree.SetPropertyText("NextItem", Handle(&stranger));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error filling property NextItem by string " + Handle(&stranger)});
  EXPECT_EQ(GetObjectPropByName(tree, "Items"), tree.ExistingItems());
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
