#include "app/pickers/pick_uppers.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "app/pickers/picker_classes.h"
#include "framework/core/class_registry.h"
#include "spatial/objects/space_entities.h"
#include "tests/framework/framework_fixture.h"

namespace {

template <class E>
E* Named(const std::string& name, TRectEntity* list) {
  auto* element = new E;
  element->SetName(name);
  list->AddEntity(element);
  return element;
}

TPointElement* PointAt(const std::string& name, double x, double y, TRectEntity* list) {
  auto* point = new TPointElement;
  point->SetName(name);
  point->SetBounds({x, y, x, y});
  list->AddEntity(point);
  return point;
}

template <class E>
E* Poly(const std::string& name, std::initializer_list<std::pair<double, double>> vertices, TRectEntity* list) {
  auto* poly = new E;
  poly->SetName(name);
  for (const auto& [x, y] : vertices) poly->AddVertex(x, y);
  poly->CalcBounds();
  list->AddEntity(poly);
  return poly;
}

// Each kind of object in the list of its kind and in a list of another
// kind, where the picker of its kind must not look:
//   points:  origin (0,0), p1 (10,10); lineInPoints (140,150)-(160,150)
//   lines:   l1 (0,50)-(100,50), l2 (0,52)-(100,52); pointInLines (150,170);
//            areaInLines, square (400,0)-(450,50)
//   areas:   a1, square (200,0)-(300,100); lineInAreas (200,20)-(300,20)
//   group:   a2, square (500,0)-(600,100)
class PickUpersTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    auto* points = Named<TPointString>("points", &model);
    PointAt("origin", 0, 0, points);
    PointAt("p1", 10, 10, points);
    Poly<TPolyLineElement>("lineInPoints", {{140, 150}, {160, 150}}, points);
    auto* lines = Named<TPolyLineString>("lines", &model);
    Poly<TPolyLineElement>("l1", {{0, 50}, {100, 50}}, lines);
    Poly<TPolyLineElement>("l2", {{0, 52}, {100, 52}}, lines);
    PointAt("pointInLines", 150, 170, lines);
    Poly<TAreaElement>("areaInLines", {{400, 0}, {400, 50}, {450, 50}, {450, 0}}, lines);
    auto* areas = Named<TAreaString>("areas", &model);
    Poly<TAreaElement>("a1", {{200, 0}, {200, 100}, {300, 100}, {300, 0}}, areas);
    Poly<TPolyLineElement>("lineInAreas", {{200, 20}, {300, 20}}, areas);
    auto* group = Named<TRectEntity>("group", &model);
    Poly<TAreaElement>("a2", {{500, 0}, {500, 100}, {600, 100}, {600, 0}}, group);
  }
  TRectEntity model;
};

std::string NameOf(const TElement* element) { return element ? element->GetName() : "nothing"; }

TEST_F(PickUpersTest, EachPickerFindsTheFirstObjectOfItsKindUnderThePointOnlyInListsItMaySee) {
  TPickUpPoint points;
  TPickUpPolyLine lines;
  TPickUpArea areas;
  struct Row {
    const char* name;
    TPickUper* picker;
    double x, y, tolerance;
    std::string found;
  };
  // Each picker runs again and again: a miss must not keep the last find.
  const Row rows[] = {
      {"a point within the tolerance", &points, 10.5, 10, 1, "p1"},
      {"a point beyond the tolerance", &points, 12, 10, 1, "nothing"},
      {"the point at the origin", &points, 0, 0.5, 1, "origin"},
      {"a point in a list of lines", &points, 150, 170, 1, "nothing"},
      {"a line among the points is no point", &points, 150, 150, 1, "nothing"},
      {"a point among the lines is no line", &lines, 150, 170, 1, "nothing"},
      {"two lines in reach: the first met", &lines, 50, 51, 3, "l1"},
      {"only the second line in reach", &lines, 50, 52.5, 1, "l2"},
      {"between the lines, out of reach", &lines, 50, 51, 0.5, "nothing"},
      {"a line in a list of areas", &lines, 250, 20, 1, "nothing"},
      {"a line in a list of points", &lines, 150, 150, 1, "nothing"},
      {"an area", &areas, 250, 50, 1, "a1"},
      {"an area in a group", &areas, 550, 50, 1, "a2"},
      {"an area in a list of lines", &areas, 425, 25, 1, "nothing"},
      {"outside every area", &areas, 350, 50, 1, "nothing"},
  };
  for (const Row& row : rows) {
    row.picker->SetInput(&model);
    row.picker->SetX(row.x);
    row.picker->SetY(row.y);
    row.picker->Tolerance = row.tolerance;
    row.picker->DoIt();
    EXPECT_EQ(std::tuple(NameOf(row.picker->Output()), row.picker->Found()),
              std::tuple(row.found, row.found != "nothing"))
        << row.name;
  }
}

TEST_F(PickUpersTest, APickerWithoutAPointFindsNothingEvenAtTheOrigin) {
  TPickUpPoint picker;
  picker.Tolerance = 1;
  picker.SetInput(&model);
  picker.DoIt();
  EXPECT_EQ(std::tuple(NameOf(picker.Output()), picker.Found(), picker.X(), picker.Y()),
            std::tuple(std::string("nothing"), false, 0.0, 0.0));
  picker.SetY(0);
  picker.DoIt();
  EXPECT_EQ(NameOf(picker.Output()), "origin");
}

// Counts the entities the walk enters.
class TCountingLinePicker : public TPickUpPolyLine {
 public:
  int entered = 0;
  bool QGoInside(TElement* element) override {
    const bool enter = TPickUpPolyLine::QGoInside(element);
    entered += enter;
    return enter;
  }
};

TEST_F(PickUpersTest, AfterAFindTheWalkEntersNothingMore) {
  struct Row {
    const char* name;
    double y;
    int entered;
  };
  // Without a find the walk enters the model, the list of lines, the point
  // in it and the group; the lists of points and areas are kept out of.
  const Row rows[] = {
      {"a find in the list of lines", 50, 2},
      {"nothing found", 75, 4},
  };
  for (const Row& row : rows) {
    TCountingLinePicker picker;
    picker.SetInput(&model);
    picker.SetX(50);
    picker.SetY(row.y);
    picker.Tolerance = 1;
    picker.DoIt();
    EXPECT_EQ(picker.entered, row.entered) << row.name;
  }
}

TEST_F(PickUpersTest, ThePickPointAndToleranceArePublished) {
  TPickUpArea picker;
  const std::pair<const char*, const char*> writes[] = {{"X", "250"}, {"Y", "50"}, {"Tolerance", "2"}};
  for (const auto& [name, text] : writes) picker.SetPropertyText(name, text);
  picker.SetInput(&model);
  picker.DoIt();
  EXPECT_EQ(std::tuple(picker.GetPropertyText("Found"), NameOf(picker.Output()), picker.Tolerance),
            std::tuple(std::string("True"), std::string("a1"), 2.0));
}

TEST(PickerClasses, EveryPickerAndSelectorIsMadeByItsClassName) {
  RegisterPickerClasses();
  for (const char* name : {"TPickUper", "TPickUpPoint", "TPickUpPolyLine", "TPickUpArea", "TObjectSelector",
                           "TLineSelector", "TPointCollector", "TChoicedElementInterpret"}) {
    std::unique_ptr<TElement> element(CreateElementByClassName(name));
    ASSERT_NE(element, nullptr) << name;
    EXPECT_EQ(element->ClassType(), FindKestuClass(name)) << name;
  }
}

}  // namespace
