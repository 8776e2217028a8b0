#include "forestry/editors/area_point_editors.h"

#include <gmock/gmock.h>

#include "forestry/editors/element_dialogs.h"
#include "tests/forestry/editors/editor_fixture.h"

namespace {

using testing::ElementsAre;

constexpr platform::ColorValue kBlue = 0xFF0000;

class AreaEditorTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    frame = Named<TOwnerEntity>("frame", data.get());
    boundary = Named<TRectEntity>("HRANICE", frame);
    const Points ring{{10, 10}, {10, 50}, {50, 50}, {50, 10}, {10, 10}};
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
      auto* line = new TPolyLineElement;
      line->AddVertex(ring[i].first, ring[i].second);
      line->AddVertex(ring[i + 1].first, ring[i + 1].second);
      line->CalcBounds();
      boundary->AddEntity(line);
    }
    selector = std::make_unique<TFrameSelectorStandIn>(frame);
  }
  TPolyLineAreaEditor* AreaEditor() {
    auto* editor = MakeEditor<TPolyLineAreaEditor>();
    editor->SetName("Plochy");
    editor->Color = kBlue;
    editor->SetFrameSelector(selector.get());
    return editor;
  }
  using Points = std::vector<std::pair<double, double>>;

  TOwnerEntity* frame = nullptr;
  TRectEntity* boundary = nullptr;
  std::unique_ptr<TFrameSelectorStandIn> selector;
};

TEST_F(AreaEditorTest, AClickInsideTheLinesBuildsAnAreaStoredOnlyOnOk) {
  struct Row {
    const char* name;
    const char* copyLevels;
    double x, y;
    bool withDialog;
    int answer;
    bool stored;
    std::vector<std::string> messages;
    std::uint8_t button;
  } rows[] = {
      {"Ano stores", "HRANICE", 30, 30, true, 1, true, {"store", "owner:32", "main:28"}, 0},
      {"Storno stores nothing", "HRANICE", 30, 30, true, 2, false, {}, 0},
      {"without a dialog it stores", "HRANICE", 30, 30, false, 0, true, {"store", "owner:32", "main:28"}, 0},
      {"outside the ring nothing is built", "HRANICE", 70, 70, true, 1, false, {}, 0},
      {"no lines", "NIC", 30, 30, true, 1, false, {"Plochy: No lines for Area Found! "}, 0},
      {"the right button is left to others", "HRANICE", 30, 30, false, 0, false, {}, 1},
  };
  for (const Row& row : rows) {
    TPolyLineAreaEditor* editor = AreaEditor();
    editor->CopyLinesLevels = row.copyLevels;
    auto* store = new TStoreStandIn(log, *layer);
    editor->SetStoreTool(store);
    if (row.withDialog) editor->SetDialog(CreateElement<TKestuDialog>());
    AnswerForms({row.answer});
    captions.clear();
    log.clear();
    EXPECT_EQ(Mouse(*editor, msgMouseUp, row.x, row.y, row.button), row.button == 0) << row.name;
    EXPECT_EQ(Logged({"store", "owner:32", "main:28", "Plochy: No lines for Area Found! "}), row.messages)
        << row.name;
    EXPECT_EQ(captions.empty() ? "" : captions.front(), row.withDialog && row.x < 50 && row.copyLevels[0] == 'H'
                                                             ? "Nová plocha"
                                                             : "")
        << row.name;
    auto* area = DynamicCast<TAreaElement>(store->input);
    EXPECT_EQ(area != nullptr, row.stored) << row.name;
    if (area) {
      EXPECT_TRUE(area->ContainsPointOutsideHoles(row.x, row.y)) << row.name;
      EXPECT_EQ(area->GetCoordsCount(), 4) << row.name << ": the outline stays with the area";
      EXPECT_EQ(store->frame, frame) << row.name;
    }
    EXPECT_EQ(editor->PickedArea(), nullptr) << row.name << ": the editor lets the area go";
    EXPECT_EQ(boundary->GetCount(), 4) << row.name << ": the copied lines stay where they were";
    EXPECT_EQ(editor->FindElementByName("Founded lines"), nullptr) << row.name << ": the gathered lines are let go";
  }
}

// A neighbourhood tool yielding one neighbour; it holds its Output as its
// own, as the editors hold theirs.
class TNeighbourStandIn : public TTool {
 public:
  explicit TNeighbourStandIn(TElement* neighbour) : neighbour_(neighbour) {}
  void SetOutput(TElement* element) override {
    TElement* old = Output();
    TTool::SetOutput(element);
    if (element) AddElement(element);
    if (old) FreeElement(old);
  }
  void DoIt() override {
    given = TElementLink(Output());
    if (auto* found = DynamicCast<TEntity>(Output())) found->AddElement(neighbour_);
  }
  TElementLink given;

 private:
  TElement* neighbour_;
};

// The lines of the neighbours' levels join the collection, copied or as
// they are; the collection of neighbours goes afterwards.
TEST_F(AreaEditorTest, GatheringTakesTheNeighboursLevelsToo) {
  struct Row {
    const char* name;
    const char* copyLevels;
    const char* workingLevels;
    int gathered;
    bool copies;
  } rows[] = {
      {"copies of a neighbour's lines", "HRANICE", "", 4, true},
      {"a neighbour's lines themselves", "", "HRANICE", 4, false},
      {"a level the neighbour has not", "NIC", "NIC", 0, false},
  };
  for (const Row& row : rows) {
    TPolyLineAreaEditor* editor = AreaEditor();
    editor->CopyLinesLevels = "HRANICE";  // the frame's own, not the neighbours'
    editor->NeighbourhoodCopyLinesLevels = row.copyLevels;
    editor->NeighbourhoodWorkingLinesLevels = row.workingLevels;
    auto* neighbourhood = new TNeighbourStandIn(frame);
    editor->SetNeighbourhoodTool(neighbourhood);
    auto* alone = Named<TOwnerEntity>("alone", data.get());
    TRectEntity* lines = editor->GatherLines(*alone);
    EXPECT_EQ(lines->GetCount(), row.gathered) << row.name;
    for (TElement* line : lines->Children())
      EXPECT_EQ(boundary->IndexOf(line) < 0, row.copies) << row.name;
    EXPECT_EQ(neighbourhood->given.Get(), nullptr) << row.name << ": the neighbours are let go";
    EXPECT_EQ(boundary->GetCount(), 4) << row.name;
  }
}

TEST_F(AreaEditorTest, TheAreaIsShownHatchedWhileTheDialogAsks) {
  TPolyLineAreaEditor* editor = AreaEditor();
  editor->CopyLinesLevels = "HRANICE";
  editor->SetDialog(CreateElement<TKestuDialog>());
  const std::vector<platform::ColorValue> blank = Pixels();
  std::vector<platform::ColorValue> shown;
  platform::SetModalAnswerer([&](platform::Form& form) {
    shown = Pixels();
    form.SetModalResult(2);
  });
  Mouse(*editor, msgMouseUp, 30, 30);
  ASSERT_EQ(shown.size(), blank.size());
  const auto pixel = [&](int x, int y) { return shown[static_cast<std::size_t>(y * kSize + x)]; };
  EXPECT_EQ(pixel(30, 66), 0xFFFFFFu ^ kBlue) << "on a back diagonal";
  EXPECT_EQ(pixel(31, 66), 0xFFFFFFu) << "between the diagonals";
  EXPECT_EQ(pixel(30, 70), 0xFFFFFFu) << "between the diagonals";
  EXPECT_EQ(pixel(10, 69), 0xFFFFFFu ^ kBlue) << "the outline";
  EXPECT_EQ(pixel(70, 70), 0xFFFFFFu) << "outside";
  EXPECT_EQ(Pixels(), blank) << "erased after the answer";
}

// Activated without a pick, the area editor has nothing to show: it draws
// nothing and asks for no repaint.
TEST_F(AreaEditorTest, WithoutAPickedAreaNothingIsDrawn) {
  TPolyLineAreaEditor* editor = AreaEditor();
  const std::vector<platform::ColorValue> blank = Pixels();
  log.clear();
  editor->Activate();
  RunMessages();
  EXPECT_EQ(Pixels(), blank);
  EXPECT_THAT(Logged({"owner:49"}), testing::IsEmpty());
}

TEST_F(EditorTest, PointEditorStoresOncePerGesture) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, std::pair<double, double>>> events;
    int answer;
    bool withFrame;
    int stores;
    std::pair<double, double> at;
  } rows[] = {
      {"a click", {{msgMouseDown, {20, 20}}, {msgMouseUp, {20, 20}}}, 1, true, 1, {20, 20}},
      {"released away from where it went down", {{msgMouseDown, {20, 20}}, {msgMouseUp, {26, 32}}}, 1, true, 1, {26, 32}},
      {"a drag ends with the drop and the release",
       {{msgMouseDown, {20, 20}},
        {msgStartDrag, {20, 20}},
        {msgDragOver, {25, 30}},
        {msgDragOver, {30, 40}},
        {msgDragDrop, {30, 40}},
        {msgEndDrag, {30, 40}},
        {msgMouseUp, {30, 40}}},
       1,
       true,
       1,
       {30, 40}},
      {"Storno", {{msgMouseDown, {20, 20}}, {msgMouseUp, {20, 20}}}, 2, true, 0, {20, 20}},
      {"no frame", {{msgMouseDown, {20, 20}}, {msgMouseUp, {20, 20}}}, 1, false, 0, {20, 20}},
  };
  for (const Row& row : rows) {
    auto* editor = MakeEditor<TPointEditor>();
    TFrameSelectorStandIn selector(row.withFrame ? Named<TOwnerEntity>("frame", data.get()) : nullptr);
    editor->SetFrameSelector(&selector);
    editor->SetDialog(CreateElement<TKestuDialog>());
    int stores = 0;
    auto* store = new TStoreStandIn(log, *layer);
    editor->SetStoreTool(store);
    AnswerForms({row.answer});
    log.clear();
    for (const auto& [code, at] : row.events) EXPECT_TRUE(Mouse(*editor, code, at.first, at.second)) << row.name;
    for (const std::string& entry : log) stores += entry == "store";
    EXPECT_EQ(stores, row.stores) << row.name;
    ASSERT_NE(editor->Point(), nullptr) << row.name;
    EXPECT_EQ(editor->Point()->GetAbsRefX(), row.at.first) << row.name;
    EXPECT_EQ(editor->Point()->GetAbsRefY(), row.at.second) << row.name;
    if (row.stores) {
      EXPECT_EQ(store->input, editor->Point()) << row.name;
      EXPECT_EQ(Logged({"store", "owner:31", "main:28"}), (std::vector<std::string>{"store", "owner:31", "main:28"}))
          << row.name;
    }
    editor->SetFrameSelector(nullptr);
  }
}

// A point placed takes the dialog's values at once, without its form.
TEST_F(EditorTest, APointPlacedTakesTheDialogsValuesWithoutItsForm) {
  struct Row {
    const char* name;
    bool withDialog;
    std::string kind;  // DRUH of the point placed
  } rows[] = {
      {"with the point dialog", true, "7"},
      {"without a dialog", false, ""},
  };
  for (const Row& row : rows) {
    auto* editor = MakeEditor<TPointEditor>();
    if (row.withDialog) {
      auto* dialog = CreateElement<TSimplePointDialog>();
      dialog->Druh = 7;
      editor->SetDialog(dialog);
    }
    AnswerForms({});
    captions.clear();
    EXPECT_TRUE(Mouse(*editor, msgMouseDown, 20, 20)) << row.name;
    ASSERT_NE(editor->Point(), nullptr) << row.name;
    EXPECT_EQ(editor->Point()->GetPropertyText("DRUH"), row.kind) << row.name;
    EXPECT_THAT(captions, testing::IsEmpty()) << row.name << ": no form shown";
  }
}

TEST_F(EditorTest, AreaAndPointEditorsAreMadeByClassName) {
  for (const char* name : {"TPolyLineAreaEditor", "TPointEditor"}) {
    std::unique_ptr<TElement> made(CreateElementByClassName(name));
    EXPECT_NE(DynamicCast<TGraphicEditor>(made.get()), nullptr) << name;
  }
}

}  // namespace
