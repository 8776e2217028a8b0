#include "block/export/line_export.h"

#include <gmock/gmock.h>

#include "block/props/lumar_props.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/topology_nodes.h"
#include "tests/block/block_fixture.h"

namespace {

using ::testing::ElementsAre;

TLineLinks Links(std::initializer_list<TLineLink> links) {
  TLineLinks all{};
  std::copy(links.begin(), links.end(), all.begin());
  return all;
}

// Lines with line props, and the nodes of their ends.
class PrepareLinesTest : public BlockTest {
 protected:
  TPolyLineElement* Line(std::initializer_list<TRealPoint> points) {
    auto* line = new TPolyLineElement;
    for (const TRealPoint& p : points) line->AddVertex(p.X, p.Y);
    line->CalcBounds();
    line->SetProperties(new TLumarLineProps);
    model.AddElement(line);
    return line;
  }
  TNode* NodeAt(double x, double y) {
    for (TElement* child : graph.Children())
      if (auto* node = static_cast<TNode*>(child); node->GetX() == x && node->GetY() == y) return node;
    auto* node = new TNode;
    graph.AddElement(node);
    return node;
  }
  void Connect(TPolyLineElement* line) {
    for (bool atBegin : {true, false}) {
      const T2DCoordinate* end = line->VertexAt(0, atBegin);
      NodeAt(end->GetX(), end->GetY())->AddLine(line, atBegin);
    }
  }
  static TLineLinks LinksOf(TPolyLineElement* line) {
    return static_cast<TLumarLineProps*>(line->Properties())->Links;
  }
  void Prepare() {
    TPrepareExportLinesToLumar prepare;
    prepare.SetInput(&input);
    prepare.DoIt();
    EXPECT_EQ(prepare.Output(), &input);
  }

  TOwnerEntity model;
  TEntity graph;
  TEntity input;
};

TEST_F(PrepareLinesTest, LinesAreNumberedInListOrderOnceAndOtherChildrenGetNoNumber) {
  TPolyLineElement* a = Line({{0, 0}, {1, 0}});
  TPolyLineElement* b = Line({{0, 0}, {0, 1}});
  auto* point = new TPointElement;
  model.AddElement(point);
  a->ID = 0;  // a walk's done mark
  b->ID = 17;
  input.AddElement(point);
  input.AddElement(a);
  input.AddElement(b);
  input.AddElement(a);
  Prepare();
  EXPECT_EQ(a->ID, 1);
  EXPECT_EQ(b->ID, 2);
  EXPECT_EQ(point->ID, -1);
}

TEST_F(PrepareLinesTest, LinksNameTheBranchesBeforeAndAfterEachEndAndNothingStale) {
  // At the origin, in ascending angle: B leaves at pi/2, C arrives from the
  // left (pi), E leaves downwards (3 pi/2) and A leaves along +X (2 pi).
  TPolyLineElement* a = Line({{0, 0}, {1, 0}});
  TPolyLineElement* b = Line({{0, 0}, {0, 1}});
  TPolyLineElement* c = Line({{-1, 0}, {0, 0}});
  TPolyLineElement* e = Line({{0, 0}, {0, -1}});
  TPolyLineElement* d = Line({{5, 5}, {6, 6}});
  for (TPolyLineElement* line : {a, b, c, e}) Connect(line);
  // What a block reading left in the props, and a number E keeps from
  // elsewhere: neither may reach the records.
  static_cast<TLumarLineProps*>(d->Properties())->Links = Links({{99, 1}, {98, 1}, {97, 0}, {96, 1}});
  e->ID = 42;
  for (TPolyLineElement* line : {a, b, c, d}) input.AddElement(line);
  Prepare();

  const struct {
    const char* name;
    TPolyLineElement* line;
    TLineLinks links;  // start previous, end next, start next, end previous
  } cases[] = {
      {"A: E outside the export before it, B after it; alone at its end", a,
       Links({{0, 0}, {1, 0}, {2, 1}, {1, 0}})},
      {"B: A before it (wrapping), C after it; alone at its end", b, Links({{1, 1}, {2, 0}, {3, 0}, {2, 0}})},
      {"C: alone at its start; B before its end, E after it", c, Links({{3, 1}, {0, 0}, {3, 1}, {2, 1}})},
      {"D: no nodes", d, Links({})},
  };
  for (const auto& expected : cases) EXPECT_EQ(LinksOf(expected.line), expected.links) << expected.name;
  EXPECT_EQ(e->ID, 42);
}

TEST_F(PrepareLinesTest, WithoutAnEntityInputNothingHappens) {
  T2DCoordinate point(1, 2);
  TPrepareExportLinesToLumar prepare;
  prepare.SetInput(&point);
  prepare.DoIt();
  EXPECT_EQ(point.ID, -1);
  EXPECT_EQ(prepare.Output(), nullptr);
}

}  // namespace
