#include "cartography/layouts/view.h"

#include <functional>
#include <limits>
#include <memory>
#include <tuple>

#include "cartography/models/layer_scripts.h"
#include "framework/tools/world.h"
#include "tests/cartography/layouts/layouts_fixture.h"

namespace {

using ViewTest = LayoutTest;

TEST_F(ViewTest, TheModelRectangleIsTheWorldTheViewShowsAtItsScaleAboutItsCentre) {
  struct Case {
    const char* name;
    TRealRect sheet;
    double scale;
    TRealPoint centre;
    const char* shown;
  };
  const Case cases[] = {
      {"0.2 x 0.1 at 5000 about (1000, 2000)", {0.3, 0.4, 0.5, 0.5}, 5000, {1000, 2000}, "(500, 1750)-(1500, 2250)"},
      {"scale 0 shows nothing", {0, 0, 0.2, 0.1}, 0, {1000, 2000}, "(0, 0)-(0, 0)"},
      {"a view of no height shows a line", {0, 0, 0.2, 0}, 100, {10, 20}, "(0, 20)-(20, 20)"},
  };
  for (const Case& test : cases) {
    std::unique_ptr<TView> view(MakeView("V", test.sheet, test.scale, test.centre));
    TRealRect world;
    view->Projection()->GetWorldRect(world);
    EXPECT_EQ(RectText(view->ModelRect()), test.shown) << test.name;
    EXPECT_EQ(RectText(world), test.shown) << test.name << ": the projection's world rectangle";
    EXPECT_EQ(view->GetPropertyText("ModelMaxY"), FloatToText(view->ModelRect().MaxY)) << test.name;
  }
}

TEST_F(ViewTest, FittingAWorldRectangleTakesTheLargerRatioAndItsCentreAndAViewWithoutSizeKeepsItsProjection) {
  struct Case {
    const char* name;
    TRealRect sheet;
    TRealRect world;
    double scale;
    TRealPoint centre;
  };
  const Case cases[] = {
      {"1000 x 200 into 0.2 x 0.1: the width ratio", {0, 0, 0.2, 0.1}, {0, 0, 1000, 200}, 5000, {500, 100}},
      {"200 x 1000 into 0.2 x 0.1: the height ratio", {0, 0, 0.2, 0.1}, {100, 0, 300, 1000}, 10000, {200, 500}},
      {"a view of no width", {0, 0, 0, 0.1}, {0, 0, 1000, 200}, 7, {1, 2}},
      {"a view of no height", {0, 0, 0.2, 0}, {0, 0, 1000, 200}, 7, {1, 2}},
      {"a rectangle without a number",
       {0, 0, 0.2, 0.1},
       {0, 0, std::numeric_limits<double>::quiet_NaN(), 1},
       7,
       {1, 2}},
  };
  for (const Case& test : cases) {
    std::unique_ptr<TView> view(MakeView("V", test.sheet, 7, {1, 2}));
    view->Projection()->FitRect(test.world);
    EXPECT_EQ(view->Scale(), test.scale) << test.name;
    EXPECT_EQ(view->Projection()->Center_X(), test.centre.X) << test.name;
    EXPECT_EQ(view->Projection()->Center_Y(), test.centre.Y) << test.name;
  }
}

TEST_F(ViewTest, AFollowerTakesItsControlViewsCentrePlusItsDeltaAndNothingElseMovesACentre) {
  struct Case {
    const char* name;
    // The second view's control view name and deltas; the first's control view name.
    std::string secondFollows;
    std::string firstFollows;
    double deltaX, deltaY;
    // Centre of the second view after the first moved to (300, 400) and
    // the second's centre was read three times.
    TRealPoint second;
    TRealPoint first;
  };
  const Case cases[] = {
      {"follows the first with 100, -50", "A", "", 100, -50, {400, 350}, {300, 400}},
      {"no control view: the delta is not added", "", "", 100, -50, {10, 20}, {300, 400}},
      {"names no view", "Nobody", "", 100, -50, {10, 20}, {300, 400}},
      {"names itself", "B", "", 100, -50, {10, 20}, {300, 400}},
      {"the two name each other", "A", "B", 100, -50, {10, 20}, {300, 400}},
      {"follows a follower of itself through a third", "A", "C", 100, -50, {10, 20}, {300, 400}},
      {"the control view's name is case-blind", "a", "", 1, 2, {301, 402}, {300, 400}},
  };
  for (const Case& test : cases) {
    TOwnerEntity desktop;
    TView* first = MakeView("A", {0, 0, 0.2, 0.1}, 1000, {1, 1});
    TView* second = MakeView("B", {0.3, 0, 0.5, 0.1}, 1000, {10, 20});
    TView* third = MakeView("C", {0.6, 0, 0.8, 0.1}, 1000, {50, 60});
    third->ControlViewName = "B";
    for (TView* view : {first, second, third}) desktop.AddElement(view);
    first->ControlViewName = test.firstFollows;
    second->ControlViewName = test.secondFollows;
    second->ModelDeltaX = test.deltaX;
    second->ModelDeltaY = test.deltaY;
    first->Projection()->SetCenter({300, 400});
    for (int i = 0; i < 3; ++i) second->Recentre();
    EXPECT_EQ(second->ModelCenterX(), test.second.X) << test.name;
    EXPECT_EQ(second->ModelCenterY(), test.second.Y) << test.name;
    EXPECT_EQ(first->ModelCenterX(), test.first.X) << test.name;
    EXPECT_EQ(second->Projection()->Center_X(), test.second.X) << test.name << ": the projection follows";
  }
}

TEST_F(ViewTest, ANewModelReplacesTheOldOneWhichIsFreedUnlessAnotherEntityHoldsIt) {
  using Model = Tracked<TRectEntity>;
  struct Case {
    const char* name;
    bool heldElsewhere;
    int aliveAfter;
  };
  const Case cases[] = {{"held only by the view", false, 0}, {"also held by another entity", true, 1}};
  for (const Case& test : cases) {
    Model::Alive = 0;
    TOwnerEntity other;
    {
      std::unique_ptr<TView> view(MakeView("V", {0, 0, 1, 1}, 1, {0, 0}));
      auto* old = new Model;
      view->SetModel(old);
      if (test.heldElsewhere) other.AddElement(old);
      TElement* made = view->CreateModel();
      EXPECT_EQ(Model::Alive, test.aliveAfter) << test.name;
      EXPECT_EQ(view->Model(), made) << test.name;
      EXPECT_EQ(made->GetName(), "Předmět zájmu") << test.name;
      EXPECT_EQ(view->IndexOf(made) >= 0, true) << test.name << ": the model is a child";
    }
    EXPECT_EQ(Model::Alive, test.aliveAfter) << test.name;
  }
}

// The model and the projection are children a property also holds: a file
// lists them among the children after the view is made, so one added again
// stays one child, moved to the place the list gives it, and stays held.
TEST_F(ViewTest, TheModelOrProjectionAddedAgainStaysOneChildAtTheEnd) {
  struct Case {
    const char* name;
    std::function<TElement*(TView&)> child;
  };
  const Case cases[] = {
      {"the model", [](TView& view) { return view.Model(); }},
      {"the projection", [](TView& view) -> TElement* { return view.Projection(); }},
  };
  for (const Case& test : cases) {
    std::unique_ptr<TView> view(MakeView("V", {0, 0, 1, 1}, 1, {0, 0}));
    view->CreateModel();
    view->ModelScript();
    TElement* model = view->Model();
    TViewProjection* projection = view->Projection();
    TElement* child = test.child(*view);
    const int count = view->GetCount();
    view->AddElement(child);
    int times = 0;
    for (TElement* each : view->Children()) times += each == child;
    EXPECT_EQ(std::tuple(times, view->GetCount(), view->IndexOf(child)), std::tuple(1, count, count - 1))
        << test.name;
    EXPECT_EQ(std::tuple(view->Model(), view->Projection()), std::tuple(model, projection)) << test.name;
  }
}

TEST_F(ViewTest, ReadingTheModelBuildsItFromTheModelScriptAndAViewNamedVektorPublishesIt) {
  struct Case {
    const char* name;
    const char* viewName;
    bool withScript;
    bool read;
    // The model's name afterwards, and whether it is the world's test element.
    const char* model;
    bool published;
  };
  const Case cases[] = {
      {"a script builds the model", "V", true, true, "VIEWMODEL", false},
      {"no script keeps the model", "V", false, true, "Předmět zájmu", false},
      {"VEKTOR publishes the built model", "VEKTOR", true, true, "VIEWMODEL", true},
      {"VEKTOR publishes on False too", "vektor", false, false, "Předmět zájmu", true},
  };
  for (const Case& test : cases) {
    TWorld world;
    SetWorld(&world);
    SetObjectPropByName(world, "TestElement", nullptr);
    std::unique_ptr<TView> view(MakeView(test.viewName, {0, 0, 0.2, 0.1}, 5000, {1000, 2000}));
    using Model = Tracked<TRectEntity>;
    Model::Alive = 0;
    auto* old = new Model;
    old->SetName("Předmět zájmu");
    view->SetModel(old);
    if (test.withScript) view->ModelScript();
    view->SetReadModel(test.read);
    EXPECT_EQ(view->Model()->GetName(), test.model) << test.name;
    EXPECT_EQ(Model::Alive, test.withScript ? 0 : 1) << test.name << ": a replaced model is freed";
    EXPECT_EQ(TestElement() == view->Model(), test.published) << test.name;
    SetWorld(nullptr);
  }
}

}  // namespace
