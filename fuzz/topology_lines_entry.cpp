// The fuzz entry of topology building: outside lines through line joining
// and node and area building, with the invariants of their results.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/stand_map.h"
#include "block/block_classes.h"
#include "block/topology/area_building.h"
#include "block/topology/line_joining.h"
#include "framework/core/messages.h"
#include "fuzz/fuzz_entries.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "spatial/index/quadtree.h"
#include "spatial/objects/space_entities.h"
#include "spatial/topology/segment_records.h"

namespace fuzz {

namespace {

constexpr double kSnap = 0.01;
constexpr std::size_t kMaxLines = 64;

// Stands in for the main tool: keeps the log lines of one run.
class TLogRecorder : public TOwnerEntity {
 public:
  std::vector<std::string> Lines;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (auto* text = DynamicCast<TKestuTextMessage>(message); text && text->Message == msgLogText)
      Lines.push_back(text->Text);
    handled = true;
  }
};

struct TopologySession {
  platform::RecordingDialogs dialogs;
  TLogRecorder log;
  TopologySession() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    RegisterBlockClasses();
  }
  // Installed for every run: the other entries install their own hook.
  void Install() {
    platform::SetDialogs(&dialogs);
    dialogs.Messages.clear();
    dialogs.Answers.clear();
    log.Lines.clear();
    platform::Application::Instance().SetMessageHook([this](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message))
        DeliverKestuMessage(kestu, handled, [this] { return static_cast<TElement*>(&log); });
    });
  }
};

TopologySession& Session() {
  static TopologySession session;
  return session;
}

[[noreturn]] void Broken(const std::string& what) {
  std::fprintf(stderr, "topology invariant broken: %s\n", what.c_str());
  std::abort();
}

void AddLine(TPolyLineString& lines, const std::vector<std::pair<double, double>>& points) {
  auto* line = new TPolyLineElement;
  for (const auto& [x, y] : points) line->AddVertex(x, y);
  line->CalcBounds();
  lines.AddEntity(line);
}

// A coordinate of the coarse grid: half units, and a hair off it when the
// top bit is set.
double GridValue(std::uint8_t byte) { return (byte & 0x7F) * 0.5 + ((byte & 0x80) ? 0.004 : 0); }

// Lines of 2 to 8 vertices, two bytes a vertex.
std::unique_ptr<TPolyLineString> GridLines(const std::uint8_t* data, std::size_t size) {
  auto lines = std::make_unique<TPolyLineString>();
  std::size_t pos = 0;
  while (pos < size && static_cast<std::size_t>(lines->GetCount()) < kMaxLines) {
    const std::size_t count = 2 + data[pos++] % 7;
    if (pos + 2 * count > size) break;
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < count; ++i, pos += 2) points.emplace_back(GridValue(data[pos]), GridValue(data[pos + 1]));
    AddLine(*lines, points);
  }
  return lines;
}

// 0xFF, side, seed, segments per edge: a stand map; then pairs of a line
// index and an offset move that line's first vertex by up to 0.004.
std::unique_ptr<TPolyLineString> StandMapLines(const std::uint8_t* data, std::size_t size) {
  TStandMap map = MakeStandMap(data[1] % 4 + 1, data[2], data[3] % 4 + 1);
  for (std::size_t pos = 4; pos + 1 < size; pos += 2) {
    TStandMapLine& line = map.Lines[data[pos] % map.Lines.size()];
    const double offset = (data[pos + 1] % 9 - 4) * 0.001;
    line.front().X += offset;
    line.front().Y -= offset;
  }
  return std::unique_ptr<TPolyLineString>(MakeStandMapLines(map));
}

void CheckAreas(const TAreaString& areas, const std::vector<std::string>& log) {
  bool labelReported = false;
  for (const std::string& line : log) labelReported = labelReported || line.rfind("Chyba umístění pop.bodu", 0) == 0;
  for (TElement* child : areas.Children()) {
    const auto* area = static_cast<const TAreaElement*>(child);
    if (area->IsHole) Broken("a hole among the areas");
    if (!(area->WholeArea() > TCreateAreaForBranch::MinRingArea)) Broken("an area not clockwise");
    if (!area->ContainsPointOutsideHoles(area->GetAbsRefX(), area->GetAbsRefY()) && !labelReported)
      Broken("a label outside its area, unreported");
    if (const THolesEntity* holes = area->Holes())
      for (TElement* hole : holes->Children())
        if (!static_cast<const TAreaElement*>(hole)->IsHole) Broken("a hole not marked as one");
  }
}

}  // namespace

void TopologyLines(const std::uint8_t* data, std::size_t size) {
  TopologySession& session = Session();
  session.Install();
  std::unique_ptr<TPolyLineString> lines =
      size >= 4 && data[0] == 0xFF ? StandMapLines(data, size) : GridLines(data, size);
  if (lines->GetCount() == 0) return;
  {
    TJoinLines joiner;
    joiner.SnapDistance = kSnap;
    // A line may cross itself: the self test cuts it there as well.
    joiner.SelfTest = true;
    joiner.SetInput(lines.get());
    joiner.DoIt();
    std::unique_ptr<TQTreeLumLin> accepted(static_cast<TQTreeLumLin*>(joiner.Output()));
  }
  TMakeNodesAndAreas maker;
  maker.SetInput(lines.get());
  maker.DoIt();
  platform::Application::Instance().ProcessMessages();
  if (const auto* areas = DynamicCast<TAreaString>(maker.Output())) CheckAreas(*areas, session.log.Lines);
  DiscardQueuedKestuMessages();
}

}  // namespace fuzz
