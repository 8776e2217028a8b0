#include "block/topology/joiners.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
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

// The vertex joiner as it was first built: the ends of every segment of the
// new line against every later record of it, then against every old line's
// record, in list order.
class TEveryVertexJoiner : public TPoinPointJoiner {
 public:
  void DoIt() override {
    auto* list = DynamicCast<TLinesAbscEntity>(Input());
    const TPolyLineElement* line = list->LineOf(0);
    for (int s = 0; s < list->GetChildCount() && list->LineOf(s) == line; ++s) {
      TLumLinAbscissa* segment = list->Segment(s);
      if (SelfTest) {
        TNearest best;
        for (int t = s + 1; t <= list->GroupEnd(s); ++t) TryVertices(*segment, *list->Segment(t), best);
        SnapToNearest(*segment, best, true);
      }
      TNearest best;
      for (int t = list->GroupEnd(0) + 1; t < list->GetChildCount(); ++t)
        TryVertices(*segment, *list->Segment(t), best);
      SnapToNearest(*segment, best, false);
    }
  }
};

// The vertex-onto-segment joiner as it was first built: every segment of
// the new line against every later record (or every old line's record), in
// list order, the records split on the way included.
class TEveryRecordSnapJoiner : public TNewPointOldAbscJoiner {
 public:
  void DoIt() override {
    auto* list = DynamicCast<TLinesAbscEntity>(Input());
    const TPolyLineElement* line = list->LineOf(0);
    for (int s = 0; s < list->GetChildCount() && list->LineOf(s) == line; ++s) {
      TLumLinAbscissa* segment = list->Segment(s);
      if (OnlyEnds && !segment->GetIsMargin()) continue;
      for (int t = SelfTest ? s + 1 : list->GroupEnd(0) + 1; t < list->GetChildCount(); ++t) {
        const TLumLinAbscissa* other = list->Segment(t);
        if (!segment->BoundsMeetRect(other->GetXmin(), other->GetYmin(), other->GetXmax(), other->GetYmax(),
                                     SnapDistance))
          continue;
        if (!(OnlyEnds && !segment->GetIsFirst())) SnapOnto(*list, s, t, true);
        if (segment->GetIsLast()) SnapOnto(*list, s, t, false);
      }
    }
  }
};

// The joiner splitting the new line at other vertices as it was first
// built: every segment of the new line against every later record (or every
// old line's record).
class TEveryRecordPointJoiner : public TNewAbscOldPointJoiner {
 public:
  void DoIt() override {
    auto* list = DynamicCast<TLinesAbscEntity>(Input());
    const TPolyLineElement* line = list->LineOf(0);
    for (int s = 0; s < list->GetChildCount() && list->LineOf(s) == line;) {
      std::vector<int> later;
      for (int t = SelfTest ? s + 1 : list->GroupEnd(0) + 1; t < list->GetChildCount(); ++t) later.push_back(t);
      s += ProcessAbsc(*list, s, later) + 1;
    }
  }
};

class JoinersTest : public TopologyTest {
 protected:
  // The working list of a new line and old lines, each of the old ones with
  // every third segment left out; All gets the lines, the new one first.
  TLinesAbscEntity* WorkingList(const Points& newLine, const std::vector<Points>& oldLines,
                                std::vector<TPolyLineElement*>& All);
  // Runs Joiner on a working list of the lines, every line protocolled into
  // ProtocolFile; the vertices and records after the run, and the protocol.
  std::vector<std::string> Run(TProtocolTool& Joiner, const Points& newLine, const std::vector<Points>& oldLines,
                               const char* ProtocolFile, std::string& Protocol);
  // Runs Indexed and Reference on the same lines: both must leave the same
  // lines, records and protocol.  The protocol of Indexed.
  std::string ExpectSameAsReference(const char* Name, TProtocolTool& Indexed, TProtocolTool& Reference,
                                    const Points& newLine, const std::vector<Points>& oldLines);
};

// The vertices of every line, and the records of the list with their flags.
std::vector<std::string> Outcome(const TLinesAbscEntity& list, const std::vector<TPolyLineElement*>& all) {
  std::vector<std::string> result;
  for (int i = 0; i < list.GetChildCount(); ++i) {
    const TLumLinAbscissa* r = list.Segment(i);
    const auto owner = std::find(all.begin(), all.end(), r->GetLine()) - all.begin();
    result.push_back("line " + std::to_string(owner) + " segment " + std::to_string(r->Index) +
                     (r->IsNewEnd ? " new end" : "") + (r->IsNew ? " new" : "") + (r->IsDeleted ? " deleted" : "") +
                     (r->FixedBegin ? " fixed begin" : "") + (r->FixedEnd ? " fixed end" : ""));
  }
  for (std::size_t k = 0; k < all.size(); ++k) {
    std::string vertices = "line " + std::to_string(k) + ":";
    for (const auto& [x, y] : VerticesOf(*all[k])) vertices += " " + FloatToText(x) + "; " + FloatToText(y);
    result.push_back(vertices);
  }
  return result;
}

TLinesAbscEntity* JoinersTest::WorkingList(const Points& newLine, const std::vector<Points>& oldLines,
                                           std::vector<TPolyLineElement*>& All) {
  All = {Line(newLine, 1)};
  auto* list = new TLinesAbscEntity;
  for (int i = 0; i + 1 < All[0]->GetCoordsCount(); ++i) {
    auto* record = new TLumLinAbscissa;
    record->SetLine(All[0]);
    record->Index = i;
    list->AddSegment(record);
  }
  for (std::size_t k = 0; k < oldLines.size(); ++k) {
    All.push_back(Line(oldLines[k], static_cast<int>(k) + 2));
    for (int i = 0; i + 1 < All.back()->GetCoordsCount(); ++i) {
      if (i % 3 == 2) continue;
      auto* record = new TLumLinAbscissa;
      record->SetLine(All.back());
      record->Index = i;
      list->AddSegment(record);
    }
  }
  return list;
}

std::vector<std::string> JoinersTest::Run(TProtocolTool& Joiner, const Points& newLine,
                                          const std::vector<Points>& oldLines, const char* ProtocolFile,
                                          std::string& Protocol) {
  std::vector<TPolyLineElement*> all;
  std::unique_ptr<TLinesAbscEntity> list(WorkingList(newLine, oldLines, all));
  Joiner.SetProtocol(File(ProtocolFile));
  Joiner.UseProtocol = true;
  Joiner.ProtocoledLine = -1;
  Joiner.SetInput(list.get());
  Joiner.DoIt();
  const Bytes bytes = FileContent(Joiner.GetProtocol());
  Protocol.assign(bytes.begin(), bytes.end());
  return Outcome(*list, all);
}

std::string JoinersTest::ExpectSameAsReference(const char* Name, TProtocolTool& Indexed, TProtocolTool& Reference,
                                               const Points& newLine, const std::vector<Points>& oldLines) {
  std::string protocols[2];
  const std::vector<std::string> indexed = Run(Indexed, newLine, oldLines, "index.lae", protocols[0]);
  const std::vector<std::string> reference = Run(Reference, newLine, oldLines, "reference.lae", protocols[1]);
  EXPECT_EQ(indexed, reference) << Name;
  EXPECT_EQ(protocols[0], protocols[1]) << Name;
  return protocols[0];
}


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

// Asked for a position outside the list, the list has no record and no line there.
TEST_F(JoinersTest, APositionOutsideTheListHasNoRecordAndNoLine) {
  TPolyLineElement* line = Line({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  const struct {
    const char* name;
    int records;
    int position;
  } rows[] = {
      {"an empty list, at 0", 0, 0}, {"an empty list, at -1", 0, -1}, {"3 records, at -1", 3, -1},
      {"3 records, at 3", 3, 3},     {"3 records, at 40", 3, 40},
  };
  for (const auto& row : rows) {
    TLinesAbscEntity list;
    for (int i = 0; i < row.records; ++i) {
      auto* record = new TLumLinAbscissa;
      record->SetLine(line);
      record->Index = i;
      list.AddSegment(record);
    }
    EXPECT_EQ(list.Segment(row.position), nullptr) << row.name;
    EXPECT_EQ(list.LineOf(row.position), nullptr) << row.name;
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
      // Cut at the old line's bend, the first half ends where the old line's
      // second segment begins: that one is cut there, though the second half
      // lies on the old first segment and is dropped before it meets it.
      {"crossing an old line at its bend beside its first segment", {{0, 0}, {10, 0}}, {{{10, 0}, {5, 0}, {5, 5}}},
       false},
  };
  for (const auto& row : rows) {
    TAbscAbscJoiner indexed;
    TEveryPairJoiner reference;
    indexed.SelfTest = reference.SelfTest = row.selfTest;
    const std::string protocol = ExpectSameAsReference(row.name, indexed, reference, row.newLine, row.oldLines);
    // The rows are meant to split or drop segments: one that changes nothing proves little.
    if (std::string(row.name) != "no segment") {
      EXPECT_TRUE(protocol.find("New absc") != std::string::npos ||
                  protocol.find("Deleted absc") != std::string::npos)
          << row.name;
    }
  }
}

TEST_F(JoinersTest, VerticesSnappedThroughTheBoxIndexMoveAsTryingEveryRecordDoes) {
  const struct {
    const char* name;
    Points newLine;
    std::vector<Points> oldLines;
    bool selfTest;
    bool onlyEnds;
    double snap;
  } rows[] = {
      {"closing on its begin", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0.2, 0.1}}, {}, true, false, 0.5},
      {"vertices near one another along a zigzag",
       {{0, 0}, {1, 5}, {2, 0}, {2.1, 5.1}, {4, 0}, {4.05, 0.1}}, {}, true, false, 0.3},
      {"random, 40 vertices, wide snap", RandomLine(21, 40), {}, true, false, 0.8},
      {"random, 90 vertices", RandomLine(22, 90), {}, true, false, 0.4},
      {"random, 90 vertices, only the ends", RandomLine(23, 90), {}, true, true, 0.8},
      {"itself and old lines", RandomLine(24, 40), {RandomLine(25, 30), RandomLine(26, 30)}, true, false, 0.4},
      {"old lines only", RandomLine(27, 40), {RandomLine(28, 30)}, false, false, 0.4},
      {"no segment", {{1, 1}}, {RandomLine(29, 5)}, true, false, 0.4},
  };
  for (const auto& row : rows) {
    TPoinPointJoiner indexed;
    TEveryVertexJoiner reference;
    for (TPoinPointJoiner* joiner : {&indexed, static_cast<TPoinPointJoiner*>(&reference)}) {
      joiner->SelfTest = row.selfTest;
      joiner->OnlyEnds = row.onlyEnds;
      joiner->SnapDistance = row.snap;
    }
    const std::string protocol = ExpectSameAsReference(row.name, indexed, reference, row.newLine, row.oldLines);
    // The rows are meant to snap to the line itself: one that moves nothing proves little.
    if (row.selfTest && std::string(row.name) != "no segment") {
      EXPECT_NE(protocol.find("to same line"), std::string::npos) << row.name;
    }
  }
}

TEST_F(JoinersTest, VerticesSnappedOntoSegmentsThroughTheBoxIndexAsTryingEveryRecordDoes) {
  const struct {
    const char* name;
    Points newLine;
    std::vector<Points> oldLines;
    bool selfTest;
    bool divide;
    bool onlyEnds;
    double snap;
  } rows[] = {
      {"beginning on its own last segment", {{5, 0.2}, {5, 5}, {0, 5}, {0, 0}, {10, 0}}, {}, true, true, false, 0.5},
      {"two vertices beside its own last segment", {{3, 0.1}, {3, 5}, {7, -0.2}, {7, 5}, {10, 5}, {10, 0}, {0, 0}},
       {}, true, true, false, 0.3},
      {"both ends onto one old segment, the second onto the first's piece", {{2, 0.1}, {8, -0.1}},
       {{{0, 0}, {10, 0}}}, false, true, false, 0.3},
      {"random, 60 vertices, split", RandomLine(31, 60), {}, true, true, false, 0.3},
      {"random, 60 vertices, not split", RandomLine(32, 60), {}, true, false, false, 0.3},
      {"random, 90 vertices, wide snap, split", RandomLine(33, 90), {}, true, true, false, 0.6},
      {"random, 90 vertices, only the ends", RandomLine(34, 90), {}, true, true, true, 0.6},
      {"itself and old lines", RandomLine(35, 40), {RandomLine(36, 30), RandomLine(37, 30)}, true, true, false, 0.3},
      {"old lines only", RandomLine(38, 40), {RandomLine(39, 30)}, false, true, false, 0.3},
      {"no segment", {{1, 1}}, {RandomLine(40, 5)}, true, true, false, 0.3},
  };
  for (const auto& row : rows) {
    TNewPointOldAbscJoiner indexed;
    TEveryRecordSnapJoiner reference;
    for (TNewPointOldAbscJoiner* joiner : {&indexed, static_cast<TNewPointOldAbscJoiner*>(&reference)}) {
      joiner->SelfTest = row.selfTest;
      joiner->DivideOldLine = row.divide;
      joiner->OnlyEnds = row.onlyEnds;
      joiner->SnapDistance = row.snap;
    }
    const std::string protocol = ExpectSameAsReference(row.name, indexed, reference, row.newLine, row.oldLines);
    // The rows are meant to snap: one that moves nothing proves little.
    if (std::string(row.name) != "no segment") {
      EXPECT_NE(protocol.find("TNewPointOldAbscJoiner"), std::string::npos) << row.name;
    }
  }
}

TEST_F(JoinersTest, SegmentsSplitAtVerticesThroughTheBoxIndexAsTryingEveryRecordDoes) {
  const struct {
    const char* name;
    Points newLine;
    std::vector<Points> oldLines;
    bool selfTest;
    double snap;
  } rows[] = {
      {"its last vertex on its first segment", {{0, 0}, {10, 0}, {10, 10}, {5, 0.1}}, {}, true, 0.3},
      {"two later vertices on its first segment", {{0, 0}, {10, 0}, {10, 5}, {7, 0.1}, {3, 5}, {3, -0.1}, {-2, -2}},
       {}, true, 0.3},
      {"random, 60 vertices", RandomLine(41, 60), {}, true, 0.2},
      {"random, 90 vertices, wide snap", RandomLine(42, 90), {}, true, 0.5},
      {"itself and old lines", RandomLine(43, 40), {RandomLine(44, 30), RandomLine(45, 30)}, true, 0.3},
      {"old lines only", RandomLine(46, 40), {RandomLine(47, 30)}, false, 0.3},
      {"no segment", {{1, 1}}, {RandomLine(48, 5)}, true, 0.3},
  };
  for (const auto& row : rows) {
    TNewAbscOldPointJoiner indexed;
    TEveryRecordPointJoiner reference;
    for (TNewAbscOldPointJoiner* joiner : {&indexed, static_cast<TNewAbscOldPointJoiner*>(&reference)}) {
      joiner->SelfTest = row.selfTest;
      joiner->SnapDistance = row.snap;
    }
    const std::string protocol = ExpectSameAsReference(row.name, indexed, reference, row.newLine, row.oldLines);
    // The rows are meant to split: one that cuts nothing proves little.
    if (std::string(row.name) != "no segment") {
      EXPECT_NE(protocol.find("TNewAbscOldPointJoiner"), std::string::npos) << row.name;
    }
  }
}

}  // namespace

namespace {

// Scripts set the joiners' tolerances and switches by name.
TEST_F(JoinersTest, TheJoinersStandUnderTheProtocolToolAndPublishTheirSettings) {
  EXPECT_EQ(MisplacedClasses({
                {&TLinesAbscEntity::StaticClass, "TLinesAbscEntity", &TEntity::StaticClass, {}},
                {&TProtocolTool::StaticClass, "TProtocolTool", &TTool::StaticClass,
                 {"Protocol", "UseProtocol", "ProtocoledLine"}},
                {&TDeleteZeroAbscInFirstLine::StaticClass, "TDeleteZeroAbscInFirstLine", &TProtocolTool::StaticClass,
                 {"SnapDistance", "UseProtocol"}},
                {&TPoinPointJoiner::StaticClass, "TPoinPointJoiner", &TProtocolTool::StaticClass,
                 {"SnapDistance", "OnlyEnds", "SelfTest"}},
                {&TNewPointOldAbscJoiner::StaticClass, "TNewPointOldAbscJoiner", &TProtocolTool::StaticClass,
                 {"SnapDistance", "DivideOldLine", "OnlyEnds", "SelfTest"}},
                {&TNewAbscOldPointJoiner::StaticClass, "TNewAbscOldPointJoiner", &TProtocolTool::StaticClass,
                 {"SnapDistance", "SelfTest"}},
                {&TAbscAbscJoiner::StaticClass, "TAbscAbscJoiner", &TProtocolTool::StaticClass, {"SelfTest"}},
                {&TDivideAbscs::StaticClass, "TDivideAbscs", &TProtocolTool::StaticClass,
                 {"MaxOutputAbscLength", "RoundKoef", "DivideLines"}},
                {&TAbscPoint::StaticClass, "TAbscPoint", &TElement::StaticClass, {}},
                {&TPointsLine::StaticClass, "TPointsLine", &TEntity::StaticClass, {}},
            }),
            "");
}

}  // namespace
