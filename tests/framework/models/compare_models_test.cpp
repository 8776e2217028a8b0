#include "framework/models/compare_models.h"

#include <memory>

#include "framework/core/class_registry.h"
#include "framework/models/task_models.h"
#include "framework/tools/tools.h"
#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

namespace {

std::string StatusName(TCompareStatus status) {
  return typinfo::EnumTypeOf<TCompareStatus>().Names[static_cast<std::size_t>(status)];
}

// The result tree, one "left/right:status" per node, depth first.
void Describe(TCompareNode& node, std::string& text, int depth = 0) {
  if (depth > 0) text += " ";
  text += std::string(static_cast<std::size_t>(depth), '.') + node.Model1Name() + "/" + node.Model2Name() + ":" +
          StatusName(node.Status);
  for (TElement* child : node.Nodes()->Children())
    if (auto* sub = DynamicCast<TCompareNode>(child)) Describe(*sub, text, depth + 1);
}

TProjectionInfo* View(const std::string& name, double x, double scale, TEntity* parent) {
  auto* view = Named<TProjectionInfo>(name, parent);
  view->X = x;
  view->Scale = scale;
  return view;
}

class CompareModelTest : public FrameworkTest {
 protected:
  // left:  A, B (x), P (X 1, Scale 2), n (a plain named element)
  // right: b (x, y), C, P (X 5, Scale 3), n
  void SetUp() override {
    FrameworkTest::SetUp();
    // The compared trees belong to a model of their own, as they do in a
    // program; a compare node is one more owner.
    model.reset();
    models.reset(Named("models"));
    left = Named("left", models.get());
    right = Named("right", models.get());
    Named("A", left);
    Named("x", Named("B", left));
    View("P", 1, 2, left);
    Named<TNameElement>("n", left);
    TOwnerEntity* b = Named("b", right);
    Named("x", b);
    Named("y", b);
    Named("C", right);
    View("P", 5, 3, right);
    Named<TNameElement>("n", right);
    model.reset(CreateElement<TCompareModel>());
  }

  void Script() {
    TCompareClassModels* script = model->CompareScript();
    script->SetNewClassName("TOwnerEntity");
    script->ActualClassModel()->SetNextKeyProperty("Name");
    script->SetNewClassName("TProjectionInfo");
    script->ActualClassModel()->SetNextKeyProperty("Name");
    script->ActualClassModel()->SetNextProperty("Scale");
    script->ActualClassModel()->SetNextProperty("X");
  }

  std::string Compare() {
    model->SetModel1(left);
    model->SetModel2(right);
    std::string text;
    Describe(*model, text);
    return text;
  }

  std::unique_ptr<TOwnerEntity> models;
  TOwnerEntity* left = nullptr;
  TOwnerEntity* right = nullptr;
  std::unique_ptr<TCompareModel> model;
};

TEST_F(CompareModelTest, PairsChildrenByTheChosenKey) {
  const struct {
    TCompareType type;
    bool script;
    bool thru;
    const char* result;
  } cases[] = {
      {TCompareType::ctCompareNames, false, false,
       "left/right:csOK .A/:csRightNotFound .B/b:csOK ..x/x:csOK ../y:csLeftNotFound .P/P:csOK .n/n:csOK "
       "./C:csLeftNotFound"},
      {TCompareType::ctCompareNameAndClass, false, false,
       "left/right:csOK .A/:csRightNotFound .B/b:csOK ..x/x:csOK ../y:csLeftNotFound .P/P:csOK .n/n:csOK "
       "./C:csLeftNotFound"},
      {TCompareType::ctCompareAll, true, false,
       "left/right:csOK .A/:csRightNotFound .B/b:csOK ..x/x:csOK ../y:csLeftNotFound .P/P:csDifference "
       ".n/:csClassNotFound ./C:csLeftNotFound ./n:csLeftNotFound"},
      {TCompareType::ctCompareAll, false, false, "left/right:csClassNotFound"},
      {TCompareType::ctCompareAll, false, true,
       "left/right:csClassNotFound .A/:csClassNotFound .B/:csClassNotFound .P/:csClassNotFound "
       ".n/:csClassNotFound ./b:csLeftNotFound ./C:csLeftNotFound ./P:csLeftNotFound ./n:csLeftNotFound"},
  };
  for (const auto& c : cases) {
    SetUp();
    model->CompareType = c.type;
    model->CompareThruDifference = c.thru;
    if (c.script) Script();
    EXPECT_EQ(Compare(), c.result) << "type " << static_cast<int>(c.type) << (c.script ? " scripted" : "")
                                   << (c.thru ? " through differences" : "");
  }
}

// The progress counts every pair with a left element and shows the pairs
// that have both sides, out of the left side's whole count.
TEST_F(CompareModelTest, TheProgressCountsThePairsAndNamesThoseWithBothSides) {
  TRecorder recorder;
  MainTool = &recorder;
  model->CompareType = TCompareType::ctCompareNames;
  Compare();
  RunMessages();
  MainTool = nullptr;
  std::vector<std::string> shown;
  for (const TRecorder::Entry& m : recorder.Messages) {
    if (m.Code == msgProgressStart) shown.push_back(m.Text + std::to_string(m.Max));
    if (m.Code == msgProgress) shown.push_back(std::to_string(m.Progress));
    if (m.Code == msgProgressText) shown.push_back(m.Text);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"Comparing elements: 5", "left ... right", "1", "B ... b", "3", "x ... x",
                                             "4", "P ... P", "5", "n ... n", "6"}));
}

TEST_F(CompareModelTest, RecordsTheFirstDifferingPropertyAndAReplacedScriptIsFreed) {
  model->CompareType = TCompareType::ctCompareAll;
  Script();
  std::unique_ptr<TCompareClassModels> fresh(CreateElement<TCompareClassModels>());
  TElementLink old(model->CompareScript());
  model->SetCompareScript(fresh.release());
  EXPECT_EQ(old.Get(), nullptr);
  EXPECT_EQ(Compare(), "left/right:csClassNotFound");
  Script();
  Compare();
  TCompareNode* pair = nullptr;
  for (TElement* child : model->Nodes()->Children())
    if (auto* node = DynamicCast<TCompareNode>(child); node && node->Model1Name() == "P") pair = node;
  ASSERT_NE(pair, nullptr);
  TStringListElement* differences = pair->ErrProps();
  EXPECT_EQ(differences->GetName() + " " + Join(differences->GetValueList()) + " " + differences->GetItemName(0),
            "Differences " + std::to_string('2' - '3') + " Scale");  // the first only
  EXPECT_EQ(model->ErrProps()->GetCount(), 0);
}

TEST_F(CompareModelTest, ElementsNamedLikeTheNodesOwnChildrenAreStillCompared) {
  // A compared element named "Progress" or "Differences" is no tool and no list.
  model->CompareType = TCompareType::ctCompareNames;
  model->SetModel1(Named("Progress", models.get()));
  model->SetModel2(Named("Differences", models.get()));
  EXPECT_EQ(model->Progress()->ClassName() + " " + model->ErrProps()->ClassName() + " " + StatusName(model->Status),
            "TTool TStringListElement csOK");
}

TEST_F(CompareModelTest, ComparedEnvelopesKeepWhatTheyWrap) {
  auto* leftTree = Named<TInheritanceModel>("tree", left);
  auto* rightTree = Named<TInheritanceModel>("tree", right);
  TModelItems* leftItems = leftTree->GetItems();
  TModelItems* rightItems = rightTree->GetItems();
  const std::string result = Compare();
  EXPECT_NE(result.find(".tree/tree:csOK ..ITEMS/ITEMS:csOK"), std::string::npos) << result;
  EXPECT_TRUE(leftItems->Wrapped() == leftTree && rightItems->Wrapped() == rightTree);
  model.reset();
  EXPECT_TRUE(leftItems->Wrapped() == leftTree && leftTree->GetItems() == leftItems);
}

}  // namespace
