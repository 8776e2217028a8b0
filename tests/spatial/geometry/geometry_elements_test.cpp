#include "spatial/geometry/geometry_elements.h"

#include <limits>
#include <memory>
#include <tuple>

#include "tests/spatial/spatial_fixture.h"

namespace {

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

// Each alignment name puts the anchor at its place on the box, from
// wherever it was; a name of neither axis leaves it.
TEST_F(GeometryElementsTest, EachAlignmentNamePutsTheAnchorAtItsPlace) {
  const struct {
    const char* property;
    const char* name;
    const char* relRef;  // RelRefX|RelRefY after it
    const char* read;    // HorizAllign|VertAllign|RefPosition read back
  } rows[] = {
      {"HorizAllign", "left", "0|0.25", "LEFT|OTHER|0"},
      {"HorizAllign", "CENTER", "0.5|0.25", "CENTER|OTHER|0"},
      {"HorizAllign", "Right", "1|0.25", "RIGHT|OTHER|0"},
      {"HorizAllign", "TOP", "0.25|0.25", "OTHER|OTHER|0"},
      {"VertAllign", "down", "0.25|0", "OTHER|DOWN|0"},
      {"VertAllign", "CENTER", "0.25|0.5", "OTHER|CENTER|0"},
      {"VertAllign", "top", "0.25|1", "OTHER|TOP|0"},
      {"VertAllign", "LEFT", "0.25|0.25", "OTHER|OTHER|0"},
      {"RefPosition", "1", "0|0", "LEFT|DOWN|1"},
      {"RefPosition", "6", "0.5|1", "CENTER|TOP|6"},
      {"RefPosition", "9", "1|1", "RIGHT|TOP|9"},
  };
  for (const auto& row : rows) {
    auto e = Box();
    SetTexts(*e, {{"RelRefX", "0.25"}, {"RelRefY", "0.25"}, {row.property, row.name}});
    EXPECT_EQ(Texts(*e, {"RelRefX", "RelRefY"}), row.relRef) << row.property << "=" << row.name;
    EXPECT_EQ(Texts(*e, {"HorizAllign", "VertAllign", "RefPosition"}), row.read) << row.property << "=" << row.name;
  }
}

// A box lies inside, contains and meets another rectangle with its edges
// included; what two boxes share is all zeros when it has no width or height.
TEST_F(GeometryElementsTest, ABoxAgainstARectangleCountsSharedEdgesAsInside) {
  const struct {
    const char* name;
    TRealRect other;
    bool inside, contains, meets;
    TRealRect shared;
  } rows[] = {
      {"the same box", {0, 0, 100, 50}, true, true, true, {0, 0, 100, 50}},
      {"within, on the west edge", {0, 10, 40, 40}, false, true, true, {0, 10, 40, 40}},
      {"within, on the south edge", {20, 0, 40, 30}, false, true, true, {20, 0, 40, 30}},
      {"within, on the east and north edges", {50, 20, 100, 50}, false, true, true, {50, 20, 100, 50}},
      {"around, on the west and south edges", {0, 0, 120, 60}, true, false, true, {0, 0, 100, 50}},
      {"around, on the east and north edges", {-10, -5, 100, 50}, true, false, true, {0, 0, 100, 50}},
      {"out over the west edge", {-1, 10, 40, 40}, false, false, true, {0, 10, 40, 40}},
      {"touching the east edge", {100, 10, 120, 40}, false, false, true, {0, 0, 0, 0}},
      {"touching the north edge", {20, 50, 40, 60}, false, false, true, {0, 0, 0, 0}},
      {"beyond the north edge", {20, 50.5, 40, 60}, false, false, false, {0, 0, 0, 0}},
      {"beyond the south edge", {20, -9, 40, -0.5}, false, false, false, {0, 0, 0, 0}},
      {"beyond the west edge", {-9, 10, -0.5, 40}, false, false, false, {0, 0, 0, 0}},
      {"beyond the east edge", {100.5, 10, 120, 40}, false, false, false, {0, 0, 0, 0}},
  };
  const auto e = Box();
  for (const auto& row : rows) {
    const TRealRect& o = row.other;
    EXPECT_EQ(std::tuple(e->IsInsideRect(o.MinX, o.MinY, o.MaxX, o.MaxY), e->ContainsRect(o.MinX, o.MinY, o.MaxX, o.MaxY),
                         e->IntersectsRect(o.MinX, o.MinY, o.MaxX, o.MaxY)),
              std::tuple(row.inside, row.contains, row.meets))
        << row.name;
    TRealRect shared{-1, -1, -1, -1};
    e->GetIntersection(o, shared);
    EXPECT_EQ(std::tuple(shared.MinX, shared.MinY, shared.MaxX, shared.MaxY),
              std::tuple(row.shared.MinX, row.shared.MinY, row.shared.MaxX, row.shared.MaxY))
        << row.name;
  }
}

// A rectangle is valid with ordered corners, none NaN and none at or beyond
// the empty marker either way.
TEST_F(GeometryElementsTest, ARectangleIsValidOnlyWithOrderedFiniteCornersInsideTheMarker) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double m = TRectangle::EmptyMarker;
  const struct {
    const char* name;
    double minX, minY, maxX, maxY;
    bool valid;
  } rows[] = {
      {"ordered", -3, -2, 5, 7, true},
      {"a point", 4, 4, 4, 4, true},
      {"X reversed", 5, 0, 4, 1, false},
      {"Y reversed", 0, 5, 1, 4, false},
      {"the empty rectangle", m, m, -m, -m, false},
      {"min X at minus the marker", -m, 0, 1, 1, false},
      {"min Y at minus the marker", 0, -m, 1, 1, false},
      {"max X at the marker", 0, 0, m, 1, false},
      {"max Y at the marker", 0, 0, 1, m, false},
      {"just inside the marker", -m / 2, -m / 2, m / 2, m / 2, true},
      {"min X beyond the marker, reversed", 2 * m, 0, 1, 1, false},
      {"NaN min X", nan, 0, 1, 1, false},
      {"NaN min Y", 0, nan, 1, 1, false},
      {"NaN max X", 0, 0, nan, 1, false},
      {"NaN max Y", 0, 0, 1, nan, false},
      {"infinite max", 0, 0, inf, 1, false},
      {"infinite min", -inf, 0, 1, 1, false},
  };
  for (const auto& row : rows) {
    TRectangle r;
    r.SetMinX(row.minX);
    r.SetMinY(row.minY);
    r.SetMaxX(row.maxX);
    r.SetMaxY(row.maxY);
    EXPECT_EQ(r.IsValid(), row.valid) << row.name;
  }
}

TEST_F(GeometryElementsTest, EmptyRectanglesAddNothingAndAnchorsFollowTheirWrites) {
  TRectangle r;  // an empty rectangle or one with a corner at the marker adds nothing
  r.IncludePoint(5, 7);
  std::unique_ptr<TRectangle> empty(new TRectangle), marker(Rect(0, 0, 1e30, 5));
  r.IncludeRect(empty.get());
  r.IncludeRect(marker.get());
  EXPECT_EQ(BoxOf(r), (Box4{5, 7, 5, 7}));
  auto e = Box();  // alignment texts move the anchor; its own bounds and anchor handed back are kept
  SetTexts(*e, {{"VertAllign", "Top"}, {"HorizAllign", "center"}, {"HorizAllign", "STŘED"}});
  EXPECT_EQ(Texts(*e, {"RelRefX", "RelRefY", "HorizAllign", "RefPosition"}), "0.5|1|CENTER|6");
  SetTexts(*e, {{"RelRefY", "0"}, {"RelRefX", "0.5"}});
  e->SetBoundRect(e->BoundRect());
  e->SetRelRefPoint(e->RelRefPoint());
  EXPECT_EQ(Texts(*e, {"MinX", "MaxX", "RelRefX", "X", "CenterX", "DeltaRefX"}), "-50|50|0.5|0|0|50");
  TRectEntity flat;  // no size to measure against: the anchor stays
  flat.SetBounds({5, 5, 5, 5});
  SetTexts(flat, {{"RelRefY", "0.5"}, {"AbsRefX", "100"}, {"DeltaRefY", "3"}});
  EXPECT_EQ(Texts(flat, {"RelRefX", "RelRefY"}), "0|0");
  SetTexts(*e, {{"Index", "7"}, {"RelRefY", "1"}});
  TRectEntity loaded;  // the stored properties applied in order restore box and anchor
  for (const std::string& name : StoredPropertyNames(*e)) loaded.SetPropertyText(name, e->GetPropertyText(name));
  EXPECT_EQ(Texts(loaded, {"MinX", "MinY", "MaxX", "MaxY", "RelRefX", "RelRefY", "Index"}), "-50|-50|50|0|0.5|1|7");
  TSelectedElement s;  // the link to the selection goes with it
  auto* selected = new TOwnerEntity;
  s.SetSelected(selected);
  delete selected;
  EXPECT_EQ(s.GetSelectName(), "");
}

// A reference written as a distance from the lower corner becomes that share
// of the side, and the box moves about its reference point, which stays.
TEST_F(GeometryElementsTest, AReferenceDistanceBecomesAShareOfTheSideAndTheBoxMovesAboutIt) {
  const struct {
    const char* property;
    const char* value;
    const char* after;  // RelRefX|RelRefY|MinX|MinY|X|Y
  } rows[] = {
      {"DeltaRefX", "25", "0.25|0|-25|0|0|0"},
      {"DeltaRefY", "10", "0|0.2|0|-10|0|0"},
      {"DeltaRefY", "-5", "0|-0.1|0|5|0|0"},
      {"DeltaRefY", "0", "0|0|0|0|0|0"},
      {"X", "30", "0|0|30|0|30|0"},
      {"Y", "-20", "0|0|0|-20|0|-20"},
  };
  for (const auto& row : rows) {
    TRectEntity box;
    box.SetBounds({0, 0, 100, 50});
    box.SetPropertyText(row.property, row.value);
    EXPECT_EQ(Texts(box, {"RelRefX", "RelRefY", "MinX", "MinY", "X", "Y"}), row.after)
        << row.property << " := " << row.value;
  }
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

// An envelope is the entity's own class with its box and a child for each
// of its children.
TEST_F(GeometryElementsTest, AnEnvelopeOfARectEntityKeepsItsBoxAndChildren) {
  auto e = Box();
  e->AddElement(new T2DCoordinate(1, 1));
  std::unique_ptr<TElement> envelope(e->CreateEnvelope());
  const auto* copy = dynamic_cast<const TRectEntity*>(envelope.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Texts(*copy, {"MinX", "MinY", "MaxX", "MaxY"}), "0|0|100|50");
  EXPECT_EQ(copy->Children().size(), 1u);
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
