#include "block/topology/joiners.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"
#include "tests/block/topology/topology_fixture.h"

namespace {

// The segment joiner as it was first built: every segment of the new line
// against every later record (or every old line's record), in list order.
class TEveryPairJoiner : public TAbscAbscJoiner {
 public:
  void DoIt() override {
    auto* list = DynamicCast<TLinesAbscEntity>(Input());
    const TPolyLineElement* line = list->LineOf(0);
    for (int s = 0; s < list->GetChildCount() && list->LineOf(s) == line; ++s)
      for (int t = SelfTest ? s + 1 : list->GroupEnd(0) + 1; t < list->GetChildCount(); ++t)
        if (!Compare(*list, s, t).Kept) break;
    UndoLoneSplits(*list);
  }
};

using JoinersTest = TopologyTest;

// A line of count vertices at random in a 10 by 10 square: it crosses itself
// many times, some crossings on one segment, some near vertices.
Points RandomLine(unsigned seed, int count) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> place(0, 10);
  Points points;
  for (int i = 0; i < count; ++i) points.emplace_back(place(random), place(random));
  return points;
}

// A spiral of turns quarter turns and a last segment straight out across
// every arm.
Points SpiralCrossedOnce(int turns) {
  Points points;
  for (int i = 0; i < turns; ++i) {
    const double r = 1 + i * 0.5;
    points.emplace_back(r * ((i % 4 == 0 || i % 4 == 3) ? 1 : -1), r * (i % 4 < 2 ? 1 : -1));
  }
  points.emplace_back(30.25, 0.125);
  return points;
}

// The end of a group is where the records of its line stop, wherever in the
// group the question starts and however long the group is.
TEST_F(JoinersTest, AGroupEndsAtTheLastRecordOfItsLine) {
  const struct {
    const char* name;
    std::vector<int> groups;  // records per line, in list order
  } rows[] = {
      {"one record", {1}},
      {"one line", {7}},
      {"lines of one record", {1, 1, 1, 1}},
      {"a long new line and short old ones", {1000, 3, 1, 2}},
      {"short lines round a long one", {2, 1, 513, 1, 64}},
  };
  for (const auto& row : rows) {
    std::vector<TPolyLineElement*> owners;
    TLinesAbscEntity list;
    for (std::size_t g = 0; g < row.groups.size(); ++g) {
      TPolyLineElement* line = Line({{0, 0}, {1, 1}}, static_cast<int>(g));
      for (int i = 0; i < row.groups[g]; ++i) {
        auto* record = new TLumLinAbscissa;
        record->SetLine(line);
        record->Index = i;
        list.AddSegment(record);
        owners.push_back(line);
      }
    }
    const int count = list.GetChildCount();
    for (int i = 0; i <= count; ++i) {
      int last = i;
      while (i < count && last + 1 < count && owners[static_cast<std::size_t>(last + 1)] == owners[static_cast<std::size_t>(i)])
        ++last;
      ASSERT_EQ(list.GroupEnd(i), last) << row.name << ", from record " << i;
    }
  }
}

TEST_F(JoinersTest, SegmentsComparedThroughTheBoxIndexJoinAsComparingEveryPairDoes) {
  const struct {
    const char* name;
    Points newLine;
    std::vector<Points> oldLines;  // each of them with every third segment left out of the list
    bool selfTest;
  } rows[] = {
      {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, {}, true},
      {"pentagram", {{0, 0}, {6, 18}, {12, 0}, {-3, 11}, {15, 11}, {0, 0}}, {}, true},
      {"back over itself", {{0, 0}, {5, 0}, {10, 0}, {5, 0}, {0, 0}, {0, 5}}, {}, true},
      {"one segment across a zigzag", {{0, 0}, {1, 10}, {2, 0}, {3, 10}, {4, 0}, {5, 10}, {6, 0}, {-1, 5}}, {}, true},
      {"crossing at a vertex", {{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, 0}, {5, -5}}, {}, true},
      {"spiral crossed once", SpiralCrossedOnce(40), {}, true},
      {"random, 30 vertices", RandomLine(11, 30), {}, true},
      {"random, 60 vertices", RandomLine(12, 60), {}, true},
      {"random, 90 vertices", RandomLine(13, 90), {}, true},
      {"old lines only", RandomLine(14, 25), {RandomLine(15, 25), RandomLine(16, 25)}, false},
      {"itself and old lines", RandomLine(17, 25), {RandomLine(18, 25), SpiralCrossedOnce(20)}, true},
      {"no segment", {{1, 1}}, {RandomLine(19, 5)}, true},
  };
  for (const auto& row : rows) {
    std::string protocols[2];
    std::vector<std::string> results[2];
    for (int way = 0; way < 2; ++way) {
      TPolyLineElement* line = Line(row.newLine, 1);
      std::vector<TPolyLineElement*> all{line};
      auto* list = new TLinesAbscEntity;
      for (int i = 0; i + 1 < line->GetCoordsCount(); ++i) {
        auto* record = new TLumLinAbscissa;
        record->SetLine(line);
        record->Index = i;
        list->AddSegment(record);
      }
      for (std::size_t k = 0; k < row.oldLines.size(); ++k) {
        all.push_back(Line(row.oldLines[k], static_cast<int>(k) + 2));
        for (int i = 0; i + 1 < all.back()->GetCoordsCount(); ++i) {
          if (i % 3 == 2) continue;
          auto* record = new TLumLinAbscissa;
          record->SetLine(all.back());
          record->Index = i;
          list->AddSegment(record);
        }
      }
      std::unique_ptr<TAbscAbscJoiner> joiner(way == 0 ? new TAbscAbscJoiner : new TEveryPairJoiner);
      joiner->SelfTest = row.selfTest;
      joiner->SetProtocol(File(way == 0 ? "index.lae" : "pairs.lae"));
      joiner->UseProtocol = true;
      joiner->ProtocoledLine = -1;
      joiner->SetInput(list);
      joiner->DoIt();
      for (int i = 0; i < list->GetChildCount(); ++i) {
        const TLumLinAbscissa* r = list->Segment(i);
        const auto owner = std::find(all.begin(), all.end(), r->GetLine()) - all.begin();
        results[way].push_back("line " + std::to_string(owner) + " segment " + std::to_string(r->Index) +
                               (r->IsNewEnd ? " new end" : "") + (r->IsNew ? " new" : "") +
                               (r->IsDeleted ? " deleted" : ""));
      }
      for (std::size_t k = 0; k < all.size(); ++k) {
        std::string vertices = "line " + std::to_string(k) + ":";
        for (const auto& [x, y] : VerticesOf(*all[k])) vertices += " " + FloatToText(x) + "; " + FloatToText(y);
        results[way].push_back(vertices);
      }
      delete list;
      const Bytes bytes = FileContent(joiner->GetProtocol());
      protocols[way].assign(bytes.begin(), bytes.end());
    }
    EXPECT_EQ(results[0], results[1]) << row.name;
    EXPECT_EQ(protocols[0], protocols[1]) << row.name;
    // The rows are meant to split or drop segments: one that changes nothing proves little.
    if (std::string(row.name) != "no segment") {
      EXPECT_TRUE(protocols[0].find("New absc") != std::string::npos ||
                  protocols[0].find("Deleted absc") != std::string::npos)
          << row.name;
    }
  }
}

}  // namespace
