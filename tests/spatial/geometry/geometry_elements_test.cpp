#include "spatial/geometry/geometry_elements.h"

#include <memory>

#include "tests/spatial/spatial_fixture.h"

namespace {

using Writes = std::vector<std::pair<const char*, const char*>>;

TRectangle* Rect(double minX, double minY, double maxX, double maxY) {
  auto* r = new TRectangle;
  r->IncludePoint(minX, minY);
  r->IncludePoint(maxX, maxY);
  return r;
}

// An entity whose box is (0, 0, 100, 50) with the anchor at the lower-left corner.
std::unique_ptr<TRectEntity> Box() {
  auto e = std::make_unique<TRectEntity>();
  e->SetBounds({0, 0, 100, 50});
  return e;
}

class GeometryElementsTest : public SpatialTest {
 protected:
  TQuickEntity map;
};

TEST_F(GeometryElementsTest, CoordinatesAndRectanglesKeepTheirKindsRules) {
  T2DCoordinate plane(3.5, -2);
  T3DCoordinate c;
  SetTexts(c, {{"X", "1"}, {"Y", "2"}, {"Z", "3"}, {"CS", "4"}});
  std::unique_ptr<TCoordinate> copy(c.CreateCopy());
  std::unique_ptr<TElement> envelope(c.CreateEnvelope());
  EXPECT_EQ(Texts(*copy, {"X", "Y", "Z", "CS"}) + "/" + Texts(*envelope, {"X", "Y", "Z", "CS"}), "1|2|3|4/1|2|3|0");

  TRectangle r;  // grows from the empty marker; an empty rectangle or one with a corner at the marker adds nothing
  EXPECT_EQ(Texts(r, {"MinX", "MinY", "MaxX", "MaxY"}), "1E30|1E30|-1E30|-1E30");
  EXPECT_FALSE(r.IsValid());
  r.IncludePoint(5, 7);
  r.IncludeCoordinate(std::make_unique<T2DCoordinate>(6, 0).get());
  std::unique_ptr<TRectangle> empty(new TRectangle), marker(Rect(0, 0, 1e30, 5)), valid(Rect(-2, 3, 0, 40));
  r.IncludeRect(empty.get());
  r.IncludeRect(marker.get());
  EXPECT_EQ(BoxOf(r), (Box4{5, 0, 6, 7}));
  r.IncludeRect(valid.get());
  EXPECT_EQ(BoxOf(r), (Box4{-2, 0, 6, 40}));
  const std::pair<Writes, bool> validity[] = {
      {{{"MinY", "-1E30"}}, false}, {{{"MinY", "-9.99E29"}}, true}, {{{"MaxX", "-1"}}, false}, {{{"MaxX", "0"}}, true}};
  for (const auto& [writes, expected] : validity) {
    std::unique_ptr<TRectangle> t(Rect(0, 0, 10, 10));
    for (const auto& [name, value] : writes) t->SetPropertyText(name, value);
    EXPECT_EQ(t->IsValid(), expected) << writes[0].first << "=" << writes[0].second;
  }
  std::unique_ptr<TRectangle> a(Rect(0, 0, 10, 10)), corner(Rect(10, 10, 11, 11));
  EXPECT_TRUE(a->Intersects(corner.get()));
  corner->MoveBy(0.001, 0);
  EXPECT_FALSE(a->Intersects(corner.get()));

  SetTexts(r, {{"MinX", "5"}, {"MinY", "9"}, {"MaxX", "1"}, {"MaxY", "8"}});
  r.Normalize();  // each axis on its own
  EXPECT_EQ(BoxOf(r), (Box4{1, 8, 5, 9}));
  std::unique_ptr<TRectangle> s(Rect(2, 4, 6, 10));
  TRealRect m;
  s->GetMarginRect(m);
  EXPECT_EQ(BoxOf(m), (Box4{-8, -6, 16, 20}));
  s->Assign(&plane);  // only rectangles are taken
  EXPECT_EQ(BoxOf(*s), (Box4{2, 4, 6, 10}));
  s->Assign(&r);
  std::unique_ptr<TRectangle> rCopy(s->CreateCopy());
  EXPECT_EQ(BoxOf(*rCopy), (Box4{1, 8, 5, 9}));
  EXPECT_NE(rCopy->MinCorner(), s->MinCorner());
}

// Each row starts from Box() and ends with the box, the relative anchor and how it reads.
TEST_F(GeometryElementsTest, RectEntityAnchorAlignmentAndSizeWrites) {
  const std::pair<Writes, const char*> cases[] = {
      {{{"HorizAllign", "center"}}, "-50|0|50|50|0.5|0|CENTER|DOWN|4"},
      {{{"VertAllign", "Top"}, {"HorizAllign", "STŘED"}, {"HorizAllign", "right"}}, "-100|-50|0|0|1|1|RIGHT|TOP|9"},
      {{{"AbsRefX", "25"}}, "0|0|100|50|0.25|0|OTHER|DOWN|0"},
      {{{"AbsRefY", "50"}}, "0|0|100|50|0|1|LEFT|TOP|3"},
      {{{"RefPosition", "9"}}, "-100|-50|0|0|1|1|RIGHT|TOP|9"},
      {{{"RefPosition", "0"}, {"RefPosition", "10"}}, "0|0|100|50|0|0|LEFT|DOWN|1"},
      {{{"RefPosition", "2"}}, "0|-25|100|25|0|0.5|LEFT|CENTER|2"},
      {{{"DeltaRefX", "25"}}, "-25|0|75|50|0.25|0|OTHER|DOWN|0"},
      {{{"RelRefX", "0.5"}, {"Width", "200"}}, "-50|0|150|50|0.25|0|OTHER|DOWN|0"},
      {{{"RelRefY", "1"}, {"Height", "25"}}, "0|-50|100|-25|0|2|LEFT|OTHER|0"},
      {{{"DeltaX", "5"}, {"DeltaY", "-2"}}, "5|-2|105|48|0|0|LEFT|DOWN|1"},
  };
  for (const auto& [writes, expected] : cases) {
    auto e = Box();
    for (const auto& [name, value] : writes) e->SetPropertyText(name, value);
    EXPECT_EQ(
        Texts(*e, {"MinX", "MinY", "MaxX", "MaxY", "RelRefX", "RelRefY", "HorizAllign", "VertAllign", "RefPosition"}),
        expected)
        << writes[0].first << "=" << writes[0].second;
  }
  auto e = Box();  // its own bounds and anchor handed back are kept
  e->SetRelRefX(0.5);
  e->SetBoundRect(e->BoundRect());
  e->SetRelRefPoint(e->RelRefPoint());
  EXPECT_EQ(Texts(*e, {"MinX", "MaxX", "RelRefX", "X", "CenterX", "DeltaRefX"}), "-50|50|0.5|0|0|50");
  TRectEntity fresh;  // the first X and Y make a point box
  SetTexts(fresh, {{"X", "10"}, {"Y", "20"}});
  EXPECT_EQ(BoxOf(fresh), (Box4{10, 20, 10, 20}));
  TRectEntity flat;  // no size to measure against: the anchor stays
  flat.SetBounds({5, 5, 5, 5});
  SetTexts(flat, {{"RelRefY", "0.5"}, {"AbsRefX", "100"}, {"DeltaRefY", "3"}});
  EXPECT_EQ(Texts(flat, {"RelRefX", "RelRefY"}), "0|0");
}

TEST_F(GeometryElementsTest, RectEntityIntersectionContainmentAndExtentOfChildren) {
  TRectEntity e;
  e.SetBounds({0, 0, 10, 10});
  const std::pair<TRealRect, Box4> cuts[] = {
      {{10, 0, 20, 10}, {0, 0, 0, 0}}, {{5, 5, 20, 20}, {5, 5, 10, 10}}, {{2, 10, 8, 30}, {0, 0, 0, 0}}};
  for (const auto& [with, expected] : cuts) {
    TRealRect out{1, 1, 1, 1};
    e.GetIntersection(with, out);
    EXPECT_EQ(BoxOf(out), expected) << ::testing::PrintToString(BoxOf(with));
  }
  EXPECT_EQ(
      (std::vector<bool>{e.IntersectsRect(10, 10, 20, 20), e.IntersectsRect(10.5, 0, 20, 20), e.ContainsPoint(10, 0),
                         e.ContainsPoint(10, -0.1), e.IsInsideRect(0, 0, 10, 10), e.IsInsideRect(0, 0, 9, 10),
                         e.ContainsRect(0, 0, 10, 10), e.ContainsRect(-1, 0, 10, 10)}),
      (std::vector<bool>{true, false, true, false, true, false, true, false}));

  TRectEntity owner;  // the extent follows coordinate and rect children only
  owner.AddElement(new TOwnerEntity);
  owner.AddEntity(new T2DCoordinate(3, 4));
  auto* child = new TRectEntity;
  child->SetBounds({-1, 0, 2, 10});
  owner.AddEntity(child);
  owner.AddEntity(new TRectEntity);  // empty: no effect
  owner.AddEntity(nullptr);
  owner.SetBounds({-50, -50, 50, 50});
  owner.SetPropertyBoolean("UpdateNoReset", true);
  EXPECT_EQ(BoxOf(owner), (Box4{-50, -50, 50, 50}));
  owner.UpdateRect();
  EXPECT_EQ(BoxOf(owner), (Box4{-1, 0, 3, 10}));
  owner.SetPropertyBoolean("UpdateNoReset", false);
  EXPECT_FALSE(owner.IsValid());
  TText text;  // a text box ignores its children
  text.SetBounds({0, 0, 40, 10});
  text.SetRelRefY(0.5);
  text.AddElement(new T2DCoordinate(100, 100));
  text.SetPropertyBoolean("UpdateNoReset", true);
  EXPECT_EQ(BoxOf(text), (Box4{0, -5, 40, 5}));
}

TEST_F(GeometryElementsTest, CopiesAssignAndEnvelopesOfRectEntitiesTextsAndSelections) {
  auto source = Box();
  SetTexts(*source, {{"Index", "7"}, {"RelRefX", "0.5"}, {"RelRefY", "1"}, {"Name", "okno"}});
  auto* shared = new TOwnerElement;
  source->AddElement(shared);
  TRectEntity loaded;  // the stored properties applied in order restore box and anchor
  for (const std::string& name : StoredPropertyNames(*source))
    loaded.SetPropertyText(name, source->GetPropertyText(name));
  EXPECT_EQ(Texts(loaded, {"MinX", "MinY", "MaxX", "MaxY", "RelRefX", "RelRefY"}), "-50|-50|50|0|0.5|1");
  TRectEntity target;
  target.Assign(source.get());  // box and index, not the anchor
  EXPECT_EQ(Texts(target, {"Index", "MinX", "MinY", "MaxX", "MaxY", "RelRefX"}), "7|-50|-50|50|0|0");
  EXPECT_NE(target.BoundRect(), source->BoundRect());
  std::unique_ptr<TElement> copy(source->CreateEnvelope());
  EXPECT_EQ(Texts(*copy, {"Name", "MinX", "MinY", "MaxX", "MaxY"}), "Obálka: okno|-50|-50|50|0");
  EXPECT_EQ(static_cast<TRectEntity*>(copy.get())->Children(), std::vector<TElement*>{shared});

  TDrawRectangle r;
  SetTexts(r, {{"PenStyle", "psDashDot"}, {"BrushColor", "65280"}});
  std::unique_ptr<TElement> rCopy(r.CreateEnvelope());
  EXPECT_EQ(Texts(*rCopy, {"PenStyle", "BrushColor"}), "psDashDot|65280");
  TText t;
  t.SetBounds({0, 0, 40, 10});
  t.FontStyle = fsBold | fsUnderline;
  SetTexts(t, {{"Text", "Lesní správa"}, {"Charset", "238"}, {"Orientation", "1.5"}});
  std::unique_ptr<TElement> tCopy(t.CreateEnvelope());
  EXPECT_EQ(Texts(*tCopy, {"Text", "FontStyle", "Charset", "Orientation", "Height"}), "Lesní správa|5|238|1.5|10");
  TSelectedElement s;  // the link to the selection goes with it
  auto* selected = new TOwnerEntity;
  selected->SetName("Porost 12");
  s.SetSelected(selected);
  EXPECT_EQ(s.GetPropertyText("SelectName"), "Porost 12");
  delete selected;
  EXPECT_EQ(s.GetSelectName(), "");
}

TEST_F(GeometryElementsTest, PointAndRectangleRecordsByteForByte) {
  T2DCoordinate c(3.5, -2);
  c.ID = 7;
  c.CS = 2;
  const Bytes plane = Record()
                          .Str("T2DCoordinate")
                          .Int8(7)
                          .Int8(2)
                          .Raw({0, 0, 0, 0, 0, 0, 0x0C, 0x40})
                          .Raw({0, 0, 0, 0, 0, 0, 0, 0xC0})
                          .bytes();
  EXPECT_EQ(WrittenRecord(c), plane);
  T2DCoordinate read;
  ReadRecord(plane, read, map);
  EXPECT_EQ(std::tuple(read.ID, read.CS, read.GetX(), read.GetY()), std::tuple(7, 2, 3.5, -2.0));
  T3DCoordinate h;  // a height follows as a float value
  h.SetZ(10);
  const Bytes space = Record().Str("T3DCoordinate").Int8(-1).Int8(0).Raw(Bytes(16, 0)).Raw(kExtendedTen).bytes();
  EXPECT_EQ(WrittenRecord(h), space);
  T3DCoordinate readH;
  readH.SetX(9);
  ReadRecord(space, readH, map);
  EXPECT_EQ(Texts(readH, {"X", "Z"}), "0|10");

  std::unique_ptr<TRectangle> r(Rect(1, -2.5, 10, 100));
  const Bytes rect = Record()
                         .Str("TRectangle")
                         .Int8(-1)
                         .Raw(kExtendedOne)
                         .Raw(kExtendedMinus2_5)
                         .Raw(kExtendedTen)
                         .Raw(kExtendedHundred)
                         .bytes();
  EXPECT_EQ(WrittenRecord(*r), rect);
  TRectangle readR;
  ReadRecord(rect, readR, map);
  EXPECT_EQ(BoxOf(readR), (Box4{1, -2.5, 10, 100}));
  ReadRecord(WrittenRecord(TRectangle()), readR, map);  // an empty one stays empty
  EXPECT_EQ(BoxOf(readR), (Box4{1e30, 1e30, -1e30, -1e30}));
}

TEST_F(GeometryElementsTest, RectEntityAndTextRecordsFollowTheNamedEntity) {
  auto e = Box();
  SetTexts(*e, {{"Name", "okno"}, {"RelRefX", "0.5"}, {"Index", "3"}});
  e->ID = 5;
  auto* child = new T2DCoordinate(1, 1);
  child->ID = 2;
  e->AddElement(child);
  const Bytes minus50{0x05, 0, 0, 0, 0, 0, 0, 0, 0xC8, 0x04, 0xC0};
  const Bytes expected = Record()
                             .Str("TRectEntity")
                             .Int8(5)
                             .Raw({0x01})
                             .Int8(2)
                             .Raw({0x00})
                             .Str("okno")
                             .Raw(minus50)
                             .Raw(kExtendedZero)
                             .Raw(kExtendedFifty)
                             .Raw(kExtendedFifty)
                             .bytes();
  EXPECT_EQ(WrittenRecord(*e), expected);
  TEntity numbered;  // owns what the map refers to, as the loaded graph would
  for (int i = 0; i < 3; ++i) {
    auto* element = new T2DCoordinate(i, i);
    numbered.AddElement(element);
    map.AddElement(element);
  }
  TRectEntity read;
  ReadRecord(expected, read, map);
  EXPECT_EQ(read.Children(), std::vector<TElement*>{map.GetElement(2)});
  EXPECT_EQ(read.ID, 5);
  EXPECT_EQ(Texts(read, {"Name", "MinX", "MinY", "MaxX", "MaxY", "RelRefX", "Index"}), "okno|-50|0|50|50|0|0");
  while (map.GetCount() > 0) map.RemoveElement(map.GetElement(0));

  TText t;  // text, orientation and height follow
  t.SetBounds({0, 0, 100, 10});
  SetTexts(t, {{"Text", "Lesní"}, {"Orientation", "1"}});
  const Bytes text = Record()
                         .Str("TText")
                         .Int8(-1)
                         .Raw({0x01, 0x00})
                         .Str("TText")
                         .Raw(kExtendedZero)
                         .Raw(kExtendedZero)
                         .Raw(kExtendedHundred)
                         .Raw(kExtendedTen)
                         .Str("Lesn\xED")
                         .Raw(kExtendedOne)
                         .Raw(kExtendedTen)
                         .bytes();
  EXPECT_EQ(WrittenRecord(t), text);
  TText readT;
  ReadRecord(text, readT, map);
  EXPECT_EQ(Texts(readT, {"Text", "Orientation", "MaxX", "MaxY"}), "Lesní|1|100|10");
  // Others write nothing of their own: their records differ only by the class name, written twice.
  TDrawRectangle draw;
  draw.PenWidth = 3;
  const std::size_t plain = WrittenRecord(TRectEntity()).size();
  EXPECT_EQ(WrittenRecord(draw).size() - plain, 2 * (sizeof("TDrawRectangle") - sizeof("TRectEntity")));
  EXPECT_EQ(WrittenRecord(TSelectedElement()).size() - plain, 2 * (sizeof("TSelectedElement") - sizeof("TRectEntity")));
}

}  // namespace
