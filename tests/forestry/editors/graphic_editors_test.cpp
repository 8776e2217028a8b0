#include "forestry/editors/graphic_editors.h"

#include <gmock/gmock.h>

#include <set>

#include "platform/screen_points.h"
#include "spatial/geometry/projection.h"
#include "tests/forestry/editors/editor_fixture.h"

namespace {

using Points = std::vector<std::pair<double, double>>;

enum : std::uint16_t { kBackspace = 8, kDelete = 46, kKeyR = 82, kF3 = 114 };

TEST(PlaceInsideScreen, MovesLeftOrUpAndNeverPastTheCorner) {
  struct Row {
    const char* name;
    std::int32_t x, y, width, height;
    TScreenPlace expected;
  } rows[] = {
      {"inside", 100, 100, 200, 150, {100, 100}},
      {"right edge exactly", 600, 100, 200, 150, {600, 100}},
      {"sticks out right", 700, 100, 200, 150, {600, 100}},
      {"sticks out below", 100, 500, 200, 150, {100, 450}},
      {"lower right corner", 790, 590, 200, 150, {600, 450}},
      {"wider than the screen", 10, 10, 900, 150, {0, 10}},
      {"taller than the screen", 10, 10, 200, 700, {10, 0}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(PlaceInsideScreen(row.x, row.y, row.width, row.height, 800, 600), row.expected) << row.name;
}

TEST_F(EditorTest, HitTestFindsVerticesWithinTwiceTheToleranceAndSegmentsWithinIt) {
  TPolyLineEditor* editor = LineEditorWith({{20, 50}, {60, 50}, {60, 20}});
  struct Row {
    const char* name;
    double x, y;
    int hit;
    bool onSegment;
    int cursor;
  } rows[] = {
      {"on a vertex", 60, 50, 1, false, 1},
      {"6 px right of the first", 14, 50, 0, false, 1},
      {"7 px right of the first", 13, 50, -1, false, 0},
      {"diagonal 4,4 from the last", 64, 24, 2, false, 1},
      {"diagonal 5,5 from the last", 65, 25, -1, false, 0},
      {"2 px above the first segment", 40, 52, 0, true, 2},
      {"3 px above the first segment", 40, 53, -1, false, 0},
      {"2 px right of the second segment", 62, 35, 1, true, 2},
      {"past the end of the last segment", 60, 10, -1, false, 0},
  };
  for (const Row& row : rows) {
    Mouse(*editor, msgMouseMove, row.x, row.y);
    EXPECT_EQ(editor->HitIndex(), row.hit) << row.name;
    EXPECT_EQ(editor->OnSegment(), row.onSegment) << row.name;
    EXPECT_EQ(editor->CursorIndex(), row.cursor) << row.name;
  }
}

// Whole pixels turned into map units round; at any scale a vertex 6 pixels
// away is hit and one 7 pixels away is not.
TEST_F(EditorTest, AVertexSixPixelsAwayIsHitAtEveryScale) {
  for (const double metresPerPixel : {0.5, 0.3, 0.7, 0.1, 2.5, 1.7}) {
    TPolyLineEditor* editor = LineEditorWith({});
    TPageProjection& projection = *device->Projection();
    projection.SetScale(projection.Scale() * metresPerPixel / projection.DeviceToWorldLength(1));
    const auto mapPoint = [&projection](int x, int y) {
      return std::pair{projection.DeviceToWorldX(x), projection.DeviceToWorldY(y)};
    };
    const auto [vx, vy] = mapPoint(20, 50);
    editor->WorkingElement()->AddVertex(vx, vy);
    for (const auto& [pixels, hit] : {std::pair{6, 0}, {7, -1}}) {
      const auto [x, y] = mapPoint(20 + pixels, 50);
      Mouse(*editor, msgMouseMove, x, y);
      EXPECT_EQ(editor->HitIndex(), hit) << metresPerPixel << " m a pixel, " << pixels << " px";
    }
  }
}

TEST_F(EditorTest, LeftClicksAppendAtTheEndOrAtTheStartAfterTheFirstVertexIsChosen) {
  TPolyLineEditor* editor = LineEditorWith({});
  for (auto [x, y] : Points{{10, 10}, {40, 10}, {40, 40}}) Mouse(*editor, msgMouseDown, x, y);
  EXPECT_EQ(Vertices(*editor->WorkingElement()), (Points{{10, 10}, {40, 10}, {40, 40}}));
  EXPECT_TRUE(editor->Modified);
  Mouse(*editor, msgMouseDown, 10, 10);
  EXPECT_TRUE(editor->ExtendAtStart());
  EXPECT_EQ(editor->CurrentIndex(), 0);
  Mouse(*editor, msgMouseDown, 10, 70);
  EXPECT_EQ(Vertices(*editor->WorkingElement()), (Points{{10, 70}, {10, 10}, {40, 10}, {40, 40}}));
  EXPECT_EQ(editor->CurrentIndex(), 1) << "the chosen vertex stays current";
  Mouse(*editor, msgMouseDown, 40, 40);
  EXPECT_FALSE(editor->ExtendAtStart()) << "the last vertex chosen";
  EXPECT_EQ(Logged({"main:27"}), std::vector<std::string>(6, "main:27")) << "one message per edit";
}

// The chosen end decides where clicks add vertices: the first vertex, also
// when it is the only one, makes the line grow at its start.
TEST_F(EditorTest, ChoosingAnEndVertexMakesTheLineGrowThereAndTheChosenVertexStaysCurrent) {
  struct Row {
    const char* name;
    Points line;
    std::pair<double, double> chosen;
    Points expected;  // after one click off the line at (70, 70)
    int current;
    bool atStart;
  } rows[] = {
      {"the only vertex", {{10, 10}}, {10, 10}, {{70, 70}, {10, 10}}, 1, true},
      {"the first of two", {{10, 10}, {40, 10}}, {10, 10}, {{70, 70}, {10, 10}, {40, 10}}, 1, true},
      {"the last of two", {{10, 10}, {40, 10}}, {40, 10}, {{10, 10}, {40, 10}, {70, 70}}, 1, false},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({});
    for (auto [x, y] : row.line) editor->WorkingElement()->AddVertex(x, y);
    Mouse(*editor, msgMouseDown, row.chosen.first, row.chosen.second);
    Mouse(*editor, msgMouseDown, 70, 70);
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
    EXPECT_EQ(std::tuple(editor->CurrentIndex(), editor->ExtendAtStart()), std::tuple(row.current, row.atStart))
        << row.name;
  }
}

// After Delete the vertex that took the deleted one's place is current, or
// the new last one when the last was deleted: a second Delete removes it.
TEST_F(EditorTest, DeletingTheCurrentVertexLeavesItsSuccessorOrTheNewLastCurrent) {
  struct Row {
    const char* name;
    std::pair<double, double> chosen;
    Points afterOne;
    int current;
    Points afterTwo;
  } rows[] = {
      {"the first", {10, 10}, {{40, 10}, {40, 40}}, 0, {{40, 40}}},
      {"the middle", {40, 10}, {{10, 10}, {40, 40}}, 1, {{10, 10}}},
      {"the last", {40, 40}, {{10, 10}, {40, 10}}, 1, {{10, 10}}},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 10}, {40, 40}});
    Mouse(*editor, msgMouseDown, row.chosen.first, row.chosen.second);
    EXPECT_TRUE(Key(*editor, kDelete)) << row.name;
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.afterOne) << row.name;
    EXPECT_EQ(editor->CurrentIndex(), row.current) << row.name;
    EXPECT_TRUE(Key(*editor, kDelete)) << row.name;
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.afterTwo) << row.name;
  }
}

TEST_F(EditorTest, DraggingInsertsOnASegmentMovesAVertexAndSnapsAnEndWithinSixPixels) {
  struct Row {
    const char* name;
    Points line;
    double fromX, fromY, toX, toY;
    Points expected;
  } rows[] = {
      {"segment drag inserts", {{10, 50}, {50, 50}}, 30, 51, 30, 70, {{10, 50}, {30, 70}, {50, 50}}},
      {"vertex drag moves", {{10, 50}, {50, 50}, {50, 10}}, 50, 50, 70, 60, {{10, 50}, {70, 60}, {50, 10}}},
      {"last end 6 px from the first closes exactly",
       {{10.25, 50.25}, {50, 50}, {50, 10}, {20, 20}}, 20, 20, 16, 50,
       {{10.25, 50.25}, {50, 50}, {50, 10}, {10.25, 50.25}}},
      {"last end 7 px from the first stays", {{10, 50}, {50, 50}, {50, 10}, {20, 20}}, 20, 20, 17, 50,
       {{10, 50}, {50, 50}, {50, 10}, {17, 50}}},
      {"first end onto the last closes exactly", {{10, 10}, {50, 50}, {50, 10}, {20, 50}}, 10, 10, 24, 50,
       {{20, 50}, {50, 50}, {50, 10}, {20, 50}}},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({});
    for (auto [x, y] : row.line) editor->WorkingElement()->AddVertex(x, y);
    Drag(*editor, row.fromX, row.fromY, row.toX, row.toY);
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
    EXPECT_TRUE(editor->Modified) << row.name;
    EXPECT_THAT(log, testing::Contains("main:27")) << row.name;
    log.clear();
  }
}

TEST_F(EditorTest, KeysEditTheLine) {
  struct Row {
    const char* name;
    Points line;
    int chooseVertex;  // -1: none chosen
    std::uint16_t key;
    std::uint8_t shift;
    Points expected;
  } rows[] = {
      {"Backspace removes the last", {{10, 10}, {40, 10}, {40, 40}}, -1, kBackspace, 0, {{10, 10}, {40, 10}}},
      {"Backspace at the start removes the first", {{10, 10}, {40, 10}, {40, 40}}, 0, kBackspace, 0,
       {{40, 10}, {40, 40}}},
      {"Backspace on one vertex leaves none", {{10, 10}}, -1, kBackspace, 0, {}},
      {"Delete removes the current", {{10, 10}, {40, 10}, {40, 40}}, 1, kDelete, 0, {{10, 10}, {40, 40}}},
      {"Delete on one vertex does nothing", {{10, 10}}, 0, kDelete, 0, {{10, 10}}},
      {"Delete without a current vertex does nothing", {{10, 10}, {40, 10}}, -1, kDelete, 0, {{10, 10}, {40, 10}}},
      {"Ctrl+Delete discards the line", {{10, 10}, {40, 10}}, -1, kDelete, ssCtrl, {}},
      {"R changes no vertex", {{10, 10}, {40, 10}}, -1, kKeyR, 0, {{10, 10}, {40, 10}}},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({});
    for (auto [x, y] : row.line) editor->WorkingElement()->AddVertex(x, y);
    if (row.chooseVertex >= 0)
      Mouse(*editor, msgMouseDown, row.line[row.chooseVertex].first, row.line[row.chooseVertex].second);
    EXPECT_TRUE(Key(*editor, row.key, row.shift)) << row.name;
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
  }
}

// A click on a segment, or on the vertex already current, chooses nothing:
// the next click still adds at the end it added at before.
TEST_F(EditorTest, AClickOnASegmentOrOnTheCurrentVertexChoosesNothing) {
  struct Row {
    const char* name;
    std::vector<std::pair<double, double>> clicks;  // before the click off the line at (70, 70)
    Points expected;
    int current;
    int edits;  // messages 27 of all the clicks
  } rows[] = {
      {"on the first segment", {{25, 11}}, {{10, 10}, {40, 10}, {40, 40}, {70, 70}}, -1, 1},
      {"on the first vertex, current already", {{10, 10}, {10, 10}}, {{70, 70}, {10, 10}, {40, 10}, {40, 40}}, 1, 2},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 10}, {40, 40}});
    for (auto [x, y] : row.clicks) Mouse(*editor, msgMouseDown, x, y);
    Mouse(*editor, msgMouseDown, 70, 70);
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
    EXPECT_EQ(editor->CurrentIndex(), row.current) << row.name;
    EXPECT_EQ(Logged({"main:27"}).size(), static_cast<std::size_t>(row.edits)) << row.name;
    log.clear();
  }
}

TEST_F(EditorTest, TheOverlayDrawnTwiceRestoresEveryPixel) {
  const std::vector<platform::ColorValue> blank = Blank();
  TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 60}, {80, 60}});
  const std::vector<platform::ColorValue> drawn = Pixels();
  EXPECT_NE(drawn, blank);
  const TDevicePoint middle = At(60, 60);
  EXPECT_EQ(device->Bitmap()->GetCanvas().Pixel(middle.X, middle.Y), 0xFFFFFFu ^ 0xC0C0C0u) << "the grey XOR line";
  EXPECT_TRUE(Key(*editor, kKeyR));
  EXPECT_EQ(Pixels(), blank) << "R erased it";
  EXPECT_THAT(log, testing::Contains("owner:49")) << "the image is repainted";
  EXPECT_TRUE(Key(*editor, kF3));
  EXPECT_EQ(Pixels(), drawn) << "F3 drew it again";
  Mouse(*editor, msgMouseDown, 40, 60);
  Drag(*editor, 80, 60, 16, 10);
  EXPECT_TRUE(editor->Snapped());
  editor->DrawElement();
  EXPECT_EQ(Pixels(), blank) << "marks, current vertex and snap cross erased alike";
  editor->DrawElement();
  editor->Deactivate();
  EXPECT_EQ(Pixels(), blank) << "leaving the editor erases the overlay";
  EXPECT_FALSE(editor->Active());
}

// Marks are one-pixel squares reaching from their vertex: 3 pixels round
// every vertex, 2 more round the current one, 5 round the end that grows.
// Straight up from a vertex of a level line only the marks' top sides lie.
TEST_F(EditorTest, EachVertexMarkIsAOnePixelSquareReachingItsSizeFromTheVertex) {
  TPolyLineEditor* editor = LineEditorWith({{10, 50}, {40, 50}, {70, 50}});
  Mouse(*editor, msgMouseDown, 40, 50);  // the middle vertex becomes current
  struct Row {
    const char* name;
    double x;
    std::set<int> sides;  // pixels above the vertex where a mark's side lies
  } rows[] = {
      {"a vertex", 10, {3}},
      {"the current vertex", 40, {2, 3}},
      {"the end that grows", 70, {3, 5}},
  };
  const platform::ColorValue grey = 0xFFFFFFu ^ 0xC0C0C0u;
  for (const Row& row : rows) {
    const TDevicePoint vertex = At(row.x, 50);
    for (int up = 1; up <= 6; ++up)
      EXPECT_EQ(device->Bitmap()->GetCanvas().Pixel(vertex.X, vertex.Y - up),
                row.sides.count(up) ? grey : platform::ColorValue{0xFFFFFF})
          << row.name << ", " << up << " px above";
  }
}

// A window that paints its image afresh, as the window's redraw of the map
// does, when its redraw message comes: the overlay on it is gone.
class TRepaintingWindow : public TOwnerEntity {
 public:
  TRepaintingWindow(platform::Canvas& canvas, int size) : canvas_(canvas), size_(size) {}
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    if (message->Message != msgReView) return;
    for (int y = 0; y < size_; ++y)
      for (int x = 0; x < size_; ++x) canvas_.SetPixel(x, y, 0xFFFFFF);
    handled = true;
  }

 private:
  platform::Canvas& canvas_;
  int size_;
};

// The editor's redraw comes after the window's: the redraws pending when it
// arrives are done first, so that the overlay is drawn on the fresh image.
TEST_F(EditorTest, ARedrawDrawsTheOverlayOverTheWindowsPendingRepaint) {
  TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 60}, {80, 60}});
  const std::vector<platform::ColorValue> drawn = Pixels();
  ASSERT_NE(drawn, Blank());
  TRepaintingWindow repainting(device->Bitmap()->GetCanvas(), kSize);
  repainting.AddElement(editor);
  PostKestuMessage(new TKestuMessage(msgReView, editor, &repainting, nullptr, false));
  Deliver(*editor, new TKestuMessage(msgReView, nullptr, editor, nullptr, false));
  EXPECT_EQ(Pixels(), drawn);
  repainting.RemoveElement(editor);
}

TEST_F(EditorTest, DialogResultsFinishDiscardDeleteOrClose) {
  struct Row {
    const char* name;
    int result;
    Points expected;  // the working line after the answer
    int stored;       // vertices the store tool got, -1 when it did not run
    std::vector<std::string> messages;
  } rows[] = {
      {"1 stores", 1, {}, 3, {"store", "main:28", "owner:31"}},
      {"3 discards", 3, {}, -1, {}},
      {"4 deletes the current vertex", 4, {{10, 10}, {40, 40}}, -1, {}},
      {"5 closes the shape", 5, {{10, 10}, {40, 10}, {40, 40}, {10, 10}}, -1, {}},
      {"Storno does nothing", 2, {{10, 10}, {40, 10}, {40, 40}}, -1, {}},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 10}, {40, 40}});
    auto* store = new TStoreStandIn(log, *layer);
    editor->SetStoreTool(store);
    editor->SetDialog(CreateElement<TKestuDialog>());
    Mouse(*editor, msgMouseDown, 40, 10);
    log.clear();
    AnswerForms({row.result});
    EXPECT_TRUE(Mouse(*editor, msgMouseDown, 70, 70, 1)) << row.name;
    EXPECT_EQ(captions.back(), "Nová linie") << row.name;
    EXPECT_EQ(store->vertices, row.stored) << row.name;
    EXPECT_EQ(Logged({"store", "main:28", "owner:31"}), row.messages) << row.name;
    ASSERT_NE(editor->WorkingElement(), nullptr) << row.name;
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
  }
}

TEST_F(EditorTest, FinishingOneVertexDoesNotStoreButEndsTheEditing) {
  TPolyLineEditor* editor = LineEditorWith({{10, 10}});
  auto* store = new TStoreStandIn(log, *layer);
  editor->SetStoreTool(store);
  editor->Modified = true;
  editor->FinishElement();
  EXPECT_EQ(store->vertices, -1);
  EXPECT_FALSE(editor->Modified);
  EXPECT_EQ(editor->WorkingElement()->GetCoordsCount(), 0) << "a new line starts";
}

// Notes the cursor of each cursor event that reaches it, -1 for any other
// message.
class TCursorLog : public TOwnerEntity {
 public:
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    auto* event = DynamicCast<TKestuCursorEvent>(message);
    cursors.push_back(event ? event->Cursor : -1);
    handled = true;
  }
  std::vector<int> cursors;
};

// While the selector is active, its cursor changes reach each of the
// editor's windows; a change that names no cursor is the default one.
TEST_F(EditorTest, ACursorChangeReachesEveryOwnerWithItsCursor) {
  struct Row {
    const char* name;
    bool cursorEvent;
    std::int32_t cursor;
    int shown;
  } rows[] = {
      {"the selector's cursor", true, 5, 5},
      {"the default cursor", true, 0, 0},
      {"a change naming no cursor", false, 7, 0},
  };
  for (const Row& row : rows) {
    auto* editor = MakeEditor<TPolyLineEditor>();
    TCursorLog second;
    second.AddElement(editor);
    auto* selector = new TSelectorStandIn;
    editor->SetSelectTool(selector);
    editor->Activate();
    RunMessages();
    log.clear();
    second.cursors.clear();
    TKestuMessage* change = row.cursorEvent
                                ? new TKestuCursorEvent(msgCursorChanged, editor, selector, row.cursor)
                                : new TKestuMessage(msgCursorChanged, selector, editor, nullptr, false);
    EXPECT_TRUE(Deliver(*editor, change)) << row.name;
    EXPECT_EQ(Logged({"owner:71"}), std::vector<std::string>{"owner:71"}) << row.name;
    EXPECT_EQ(second.cursors, std::vector<int>{row.shown}) << row.name;
    EXPECT_THAT(selector->codes, testing::IsEmpty()) << row.name << ": the editor answers it itself";
    second.RemoveElement(editor);
  }
}

// A picked line leaves its layer; unless it is stored or deleted it comes
// back to its place with its vertices.
TEST_F(EditorTest, APickedLineReturnsUnlessStoredOrDeleted) {
  struct Row {
    const char* name;
    std::deque<int> confirm;  // the confirmation's answers; empty: not modified
    bool ctrlDelete;
    bool closes;
    bool inLayer;  // back at index 1 with its own vertices
    int stored;
    bool modified;  // afterwards: a change still to be confirmed
    bool storeTool = true;
  } rows[] = {
      {"left unmodified", {}, false, true, true, -1, false},
      {"confirm Ne", {3}, false, true, true, -1, false},
      {"confirm Storno", {2}, false, false, false, -1, true},
      {"confirm Ano", {1}, false, true, false, 2, false},
      {"Ctrl+Delete", {}, true, true, false, -1, false},
      {"confirm Ano without a store tool", {1}, false, true, true, -1, false, false},
  };
  for (const Row& row : rows) {
    layer = std::make_unique<TOwnerEntity>();
    Named<TOwnerEntity>("before", layer.get());
    auto* line = WithVertices(new TPolyLineElement, {{10, 10}, {40, 10}});
    layer->AddElement(line);
    Named<TOwnerEntity>("after", layer.get());
    auto* editor = MakeEditor<TPolyLineEditor>();
    auto* selector = new TSelectorStandIn;
    editor->SetSelectTool(selector);
    auto* store = new TStoreStandIn(log, *layer);
    std::unique_ptr<TStoreStandIn> unused(row.storeTool ? nullptr : store);
    if (row.storeTool) editor->SetStoreTool(store);
    editor->Activate();
    EXPECT_TRUE(selector->activated) << row.name;
    Mouse(*editor, msgMouseMove, 5, 5);
    EXPECT_EQ(selector->codes, std::vector<int>{msgMouseMove}) << row.name << ": routed to the selector";
    log.clear();
    Deliver(*editor, new TKestuCursorEvent(msgCursorChanged, editor, selector, 5));
    EXPECT_THAT(log, testing::Contains("owner:71")) << row.name << ": the cursor goes on to the window";
    Deliver(*editor, new TKestuMessage(msgElementSelected, selector, editor, line, false));
    EXPECT_EQ(layer->IndexOf(line), -1) << row.name << ": detached";
    EXPECT_FALSE(editor->NewObject()) << row.name;
    if (!row.confirm.empty()) Drag(*editor, 40, 10, 40, 70);
    AnswerForms(row.confirm);
    if (row.ctrlDelete) EXPECT_TRUE(Key(*editor, kDelete, ssCtrl)) << row.name;
    else EXPECT_EQ(editor->CanCloseActive(), row.closes) << row.name;
    if (row.inLayer) {
      EXPECT_EQ(layer->IndexOf(line), 1) << row.name;
      EXPECT_EQ(Vertices(*line), (Points{{10, 10}, {40, 10}})) << row.name;
    } else if (row.stored < 0) {
      EXPECT_EQ(layer->GetCount(), 2) << row.name << ": not in the layer";
    }
    EXPECT_EQ(store->vertices, row.stored) << row.name;
    EXPECT_EQ(editor->Modified, row.modified) << row.name;
  }
}

// A line picked after another was deleted or stored goes back, unstored,
// only to its own place, not also to the place of the line before.
TEST_F(EditorTest, ALinePickedAfterAnotherReturnsOnlyToItsOwnPlace) {
  struct Row {
    const char* name;
    bool ctrlDelete;  // else changed and stored on confirmation
  } rows[] = {{"the first deleted", true}, {"the first stored", false}};
  for (const Row& row : rows) {
    TOwnerEntity first, second, stored;
    auto* firstLine = WithVertices(new TPolyLineElement, {{10, 10}, {40, 10}});
    auto* secondLine = WithVertices(new TPolyLineElement, {{10, 50}, {40, 50}});
    first.AddElement(firstLine);
    second.AddElement(secondLine);
    auto* editor = MakeEditor<TPolyLineEditor>();
    auto* selector = new TSelectorStandIn;
    editor->SetSelectTool(selector);
    editor->SetStoreTool(new TStoreStandIn(log, stored));
    editor->Activate();
    Deliver(*editor, new TKestuMessage(msgElementSelected, selector, editor, firstLine, false));
    if (row.ctrlDelete) {
      EXPECT_TRUE(Key(*editor, kDelete, ssCtrl)) << row.name;
    } else {
      Drag(*editor, 40, 10, 40, 70);
      AnswerForms({1});
      EXPECT_TRUE(editor->CanCloseActive()) << row.name;
      EXPECT_EQ(stored.IndexOf(firstLine), 0) << row.name;
    }
    Deliver(*editor, new TKestuMessage(msgElementSelected, selector, editor, secondLine, false));
    EXPECT_TRUE(editor->CanCloseActive()) << row.name << ": unmodified";
    EXPECT_EQ(second.IndexOf(secondLine), 0) << row.name;
    EXPECT_EQ(first.IndexOf(secondLine), -1) << row.name;
    window->FreeElement(editor);
    stored.Clear();
  }
}

TEST_F(EditorTest, AnEditorFreedWhileEditingGivesThePickedLineBack) {
  auto* line = WithVertices(new TPolyLineElement, {{10, 10}, {40, 10}});
  layer->AddElement(line);
  auto* editor = MakeEditor<TPolyLineEditor>();
  auto* selector = new TSelectorStandIn;
  editor->SetSelectTool(selector);
  editor->Activate();
  Deliver(*editor, new TKestuMessage(msgElementSelected, selector, editor, line, false));
  Drag(*editor, 40, 10, 40, 70);
  ASSERT_EQ(layer->IndexOf(line), -1);
  window->FreeElement(editor);
  ASSERT_EQ(layer->IndexOf(line), 0);
  EXPECT_EQ(Vertices(*line), (Points{{10, 10}, {40, 10}}));
}

TEST_F(EditorTest, ThePointMenuShowsTheCoordinatesAndItsConfirmationAppends) {
  struct Row {
    const char* name;
    int chosen;
    Points expected;
  } rows[] = {
      {"Potvrzení", 2, {{10, 10}, {30, 40}}},
      {"the X item", 0, {{10, 10}}},
      {"nothing chosen", -1, {{10, 10}}},
  };
  for (const Row& row : rows) {
    TPolyLineEditor* editor = LineEditorWith({{10, 10}});
    std::vector<std::string> offered;
    platform::SetPopupAnswerer([&](const std::vector<std::string>& items) {
      offered = items;
      return row.chosen;
    });
    const TDevicePoint at = At(30, 40);
    editor->ShowPointMenu(at.X, at.Y);
    platform::SetPopupAnswerer(nullptr);
    EXPECT_EQ(offered, (std::vector<std::string>{"X=30", "Y=40", "Potvrzení"})) << row.name;
    EXPECT_EQ(Vertices(*editor->WorkingElement()), row.expected) << row.name;
  }
}

TEST_F(EditorTest, CommittingStoresRedrawsAndStartsTheNextPick) {
  TPolyLineEditor* editor = LineEditorWith({{10, 10}, {40, 10}});
  TPolyElement* line = editor->WorkingElement();
  auto* store = new TStoreStandIn(log, *layer);
  editor->SetStoreTool(store);
  auto* selector = new TSelectorStandIn;
  editor->SetSelectTool(selector);
  editor->CommitElement();
  EXPECT_EQ(store->input, line);
  EXPECT_EQ(Logged({"store", "owner:31"}), (std::vector<std::string>{"store", "owner:31"}));
  EXPECT_EQ(editor->WorkingElement(), nullptr);
  EXPECT_EQ(layer->IndexOf(line), 0) << "the layer holds the committed line";
  EXPECT_TRUE(selector->activated) << "the next pick starts";
}

TEST_F(EditorTest, ShapeEditorMeasuresAndDrawsAPolygonFromThreeVertices) {
  auto* editor = MakeEditor<TShapeEditor>();
  editor->CanCreateNewObject = true;
  editor->Activate();
  WithVertices(editor->WorkingElement(), {{10, 10}, {10, 40}, {40, 40}});
  EXPECT_DOUBLE_EQ(editor->Length(), 60);
  EXPECT_DOUBLE_EQ(std::abs(editor->Area()), 450);
  const std::vector<platform::ColorValue> blank = Pixels();
  editor->DrawElement();
  const TDevicePoint closing = At(25, 25);
  EXPECT_EQ(device->Bitmap()->GetCanvas().Pixel(closing.X, closing.Y), 0xFFFFFFu ^ 0xC0C0C0u)
      << "the closing side is drawn";
  editor->DrawElement();
  EXPECT_EQ(Pixels(), blank);
}

// Once its selector is taken away, the editor activated again is the one
// the window's events reach: it starts a new line of its own.
TEST_F(EditorTest, AnEditorWhoseSelectorIsTakenAwayEditsByItselfWhenActivatedAgain) {
  auto* editor = MakeEditor<TPolyLineEditor>();
  editor->CanCreateNewObject = true;
  editor->SetSelectTool(new TSelectorStandIn);
  editor->SetStoreTool(new TStoreStandIn(log, *layer));
  editor->Activate();
  ASSERT_NE(editor->GetActiveTool(), nullptr) << "the selector picks first";
  editor->SetSelectTool(nullptr);
  editor->Activate();
  EXPECT_EQ(editor->GetActiveTool(), nullptr);
  Mouse(*editor, msgMouseDown, 20, 30);
  ASSERT_NE(editor->WorkingElement(), nullptr);
  EXPECT_EQ(Vertices(*editor->WorkingElement()), (Points{{20, 30}}));
}

TEST_F(EditorTest, EditorsAreMadeByClassName) {
  for (const char* name : {"TGraphicEditor", "TPolyElementEditor", "TPolyLineEditor", "TShapeEditor",
                           "TSelectElementKiller"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    ASSERT_NE(made, nullptr) << name;
    EXPECT_NE(DynamicCast<TGraphicEditor>(made.get()), nullptr) << name;
  }
}

}  // namespace
