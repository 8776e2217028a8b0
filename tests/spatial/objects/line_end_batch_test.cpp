#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "spatial/objects/space_entities.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

struct Segment {
  double X0, Y0, X1, Y1;
};

// The lines of one index, in the order they are filed.
class IndexedLines {
 public:
  explicit IndexedLines(const std::vector<Segment>& segments) {
    for (const Segment& s : segments) {
      auto* line = new TPolyLineElement;
      line->AddVertex(s.X0, s.Y0);
      line->AddVertex(s.X1, s.Y1);
      line->CalcBounds();
      held_.AddElement(line);
      lines_.push_back(line);
    }
  }
  const std::vector<TPolyLineElement*>& Lines() const { return lines_; }

 private:
  TPolyLineString held_;
  std::vector<TPolyLineElement*> lines_;
};

// Everything a filing leaves that a reader of the index can see: cells in
// child order with names, bounds, split points and quarter links; lists with
// their lines (by number) and bounds; and for each line the lists holding it,
// in its order of holders.
std::string Describe(TSpaceLineBegEndCell& root, const std::vector<TPolyLineElement*>& lines) {
  std::map<const TElement*, std::string> paths;
  std::map<const TElement*, std::size_t> numbers;
  for (std::size_t i = 0; i < lines.size(); ++i) numbers[lines[i]] = i;
  std::string text;
  std::function<void(TSpaceLineBegEndCell&, const std::string&)> visit = [&](TSpaceLineBegEndCell& cell,
                                                                             const std::string& path) {
    text += path + (cell.Last() ? " leaf" : " split " + std::to_string(cell.SplitX) + "," + std::to_string(cell.SplitY));
    for (TSpaceRect::Quarter q : {TSpaceRect::UpperLeft, TSpaceRect::LowerLeft, TSpaceRect::UpperRight,
                                  TSpaceRect::LowerRight})
      text += " " + (cell.Cell(q) ? cell.Cell(q)->GetName() : std::string("-"));
    text += "\n";
    for (TElement* child : cell.Children()) {
      const std::string at = path + "/" + child->GetName();
      auto* rect = static_cast<TRectEntity*>(child);
      text += at + " [" + std::to_string(rect->GetMinX()) + " " + std::to_string(rect->GetMinY()) + " " +
              std::to_string(rect->GetMaxX()) + " " + std::to_string(rect->GetMaxY()) + "]";
      if (auto* inner = DynamicCast<TSpaceLineBegEndCell>(child)) {
        text += "\n";
        visit(*inner, at);
        continue;
      }
      paths[child] = at;
      for (TElement* line : static_cast<TEntity*>(child)->Children()) text += " " + std::to_string(numbers[line]);
      text += "\n";
    }
  };
  visit(root, "QTREE");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += "line " + std::to_string(i) + ":";
    for (int o = 0; o < lines[i]->GetOwnersCount(); ++o)
      if (paths.contains(lines[i]->GetOwner(o))) text += " " + paths[lines[i]->GetOwner(o)];
    text += "\n";
  }
  return text;
}

std::vector<Segment> Random(int count, double spread, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> at(0, spread);
  std::vector<Segment> segments;
  for (int i = 0; i < count; ++i) segments.push_back({at(random), at(random), at(random), at(random)});
  return segments;
}

std::vector<Segment> Repeated(int count, Segment segment) { return std::vector<Segment>(count, segment); }

class LineEndBatchTest : public SpatialTest {};

// Filing a batch at once must leave the index exactly as filing the same
// ends one after another does.
TEST_F(LineEndBatchTest, ABatchLeavesTheIndexAsFilingEachEndInTurn) {
  const TRealRect square{0, 0, 100, 100};
  const struct {
    const char* name;
    bool bounded;
    std::vector<Segment> segments;
    int filedBefore;  // ends filed one at a time before the batch
  } rows[] = {
      {"a few ends, no split", true, Random(20, 100, 1), 0},
      {"the 65th end splits", true, Random(33, 100, 2), 0},
      {"one quarter takes all 64 and splits at the next", true, Repeated(40, {10, 10, 12, 12}), 0},
      {"many levels, clustered", true, Random(3000, 3, 3), 0},
      {"a spread map", true, Random(5000, 100, 4), 0},
      {"ends on the split lines", true, Repeated(70, {50, 50, 25, 75}), 0},
      {"ends outside the bounds", true, Random(400, 300, 5), 0},
      {"one point shrinks cells to the least size", true, Repeated(150, {30, 30, 30, 30.00001}), 0},
      {"no bounds: the root never splits", false, Random(200, 100, 6), 0},
      {"an index already holding ends", true, Random(500, 100, 7), 100},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    IndexedLines inTurn(row.segments);
    IndexedLines batched(row.segments);
    TSpaceLineBegEndCell one;
    TSpaceLineBegEndCell all;
    one.SetName("QTREE");
    all.SetName("QTREE");
    if (row.bounded) {
      one.SetBounds(square);
      all.SetBounds(square);
    }
    std::vector<TLineEndToFile> batch;
    int read = 0;
    for (std::size_t i = 0; i < row.segments.size(); ++i) {
      for (bool atBegin : {true, false}) {
        one.AddLineEnd(inTurn.Lines()[i], atBegin);
        TLineEndToFile end;
        ASSERT_TRUE(TSpaceLineBegEndCell::ReadLineEnd(batched.Lines()[i], atBegin, end));
        if (read++ < row.filedBefore) all.AddLineEnd(batched.Lines()[i], atBegin);
        else batch.push_back(end);
      }
    }
    all.AddLineEnds(batch);
    EXPECT_EQ(Describe(all, batched.Lines()), Describe(one, inTurn.Lines()));
  }
}

}  // namespace
