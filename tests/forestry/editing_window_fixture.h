#pragma once
// The editing window of the sample forest: the forester's day (day.oil) run
// in a written copy of the sample folder, then editing.oil builds its
// graphic window, shown offscreen with a known view.  The tests work as a
// person does: they choose tools by their buttons, press and drag the mouse
// over the image's pixels and press keys; dialogs are answered by pressing
// their buttons.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/graphic_forms/graphic_form.h"
#include "app/graphic_forms/graphic_form_window.h"
#include "app/tool_groups/tool_groups.h"
#include "block/forest_model/forest_units.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "platform/canvas.h"
#include "platform/control_drag.h"
#include "platform/forms.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/projection.h"
#include "tests/forestry/sample_forest_folder.h"

using PixelPoint = std::pair<int, int>;

// Sees every message of the window before its tools do and notes its code
// in the main tool's record, so that the two read in one order.
class TWindowMonitor : public TTool {
 public:
  explicit TWindowMonitor(TRecorder& record) : record_(record) {}
  void ReceiveMessage(TKestuMessage*& message, bool&) override {
    record_.Messages.push_back({message->Message, "@window", ""});
  }

 private:
  TRecorder& record_;
};

class EditingWindowTest : public SampleForestFolderTest {
 protected:
  // The map metres of one pixel of the view the tests work in.
  static constexpr double kMetresPerPixel = 0.5;
  static constexpr double kViewX = -760;
  static constexpr double kViewY = -790;

  void SetUp() override {
    SampleForestFolderTest::SetUp();
    interpreter.reset(CreateElement<TCommandLine>());
    interpreter->ByDDE = true;
    for (const char* script : {"day.oil", "editing.oil"}) {
      interpreter->Line.clear();
      interpreter->SetFileName(script);
      interpreter->DoIt();
      ASSERT_FALSE(interpreter->Failed()) << script;
    }
    auto* var = DynamicCast<TVar>(interpreter->Vars()->FindElementByName("EDITACE"));
    window.reset(var ? DynamicCast<TGraphicForm>(var->Element()) : nullptr);
    ASSERT_TRUE(window) << "editing.oil builds the window Editace";
    monitor = new TWindowMonitor(recorder);
    window->Monitors()->AddTool(monitor);
    platform::SetModalAnswerer([this](platform::Form& form) { Answer(form); });
    window->DoIt();
    Form().SetBounds({40, 20, 720, 560});
    RunMessages();
    ShowView(kViewX, kViewY, kMetresPerPixel);
    recorder.Messages.clear();
  }
  void TearDown() override {
    EXPECT_THAT(unexpected, ::testing::IsEmpty()) << "dialogs nobody answered";
    platform::SetModalAnswerer(nullptr);
    window.reset();
    interpreter.reset();
    SampleForestFolderTest::TearDown();
  }

  platform::Form& Form() { return window->Form()->Window(); }
  TPageProjection& Projection() { return *window->Projection(); }
  TEntity* Data() { return DynamicCast<TEntity>(world->ObjectModel()->FindElementByName("DATA")); }
  TEntity* DataChild(const std::string& name) { return DynamicCast<TEntity>(Data()->FindElementByName(name)); }

  // Centres the view on the map point with the pixel size, and redraws.
  void ShowView(double x, double y, double metresPerPixel) {
    Projection().SetCenter({x, y});
    Projection().SetScale(Projection().Scale() * metresPerPixel / Projection().DeviceToWorldLength(1));
    PostKestuMessage(new TKestuMessage(msgReView, nullptr, window.get(), nullptr, false));
    RunMessages();
  }
  PixelPoint PixelOf(double x, double y) {
    TDevicePoint point;
    Projection().WorldToDevice(x, y, point);
    return {point.X, point.Y};
  }
  std::pair<double, double> MapPointOf(PixelPoint pixel) {
    return {Projection().DeviceToWorldX(pixel.first), Projection().DeviceToWorldY(pixel.second)};
  }

  // The tool of the group chosen by its button.
  template <class T>
  T* Choose(const std::string& group, const std::string& tool) {
    auto* owner = DynamicCast<TExtendedToolGroup>(window->FindTool(group));
    EXPECT_TRUE(owner) << group;
    if (!owner) return nullptr;
    auto* chosen = DynamicCast<T>(owner->FindTool(tool));
    EXPECT_TRUE(chosen) << group << "/" << tool;
    int button = 0;
    while (button < owner->ToolCount() && owner->GetTool(button) != chosen) ++button;
    platform::UserClickToolButton(Form(), "tb_" + group, button);
    RunMessages();
    return chosen;
  }
  // The mouse moved to the pixel, its button pressed and released there.
  void Click(PixelPoint at, std::uint8_t button = 0, std::uint8_t shift = 0) {
    Move(at, shift);
    platform::UserMouse(Form(), "Image", platform::MouseAction::Down, {button, shift, at.first, at.second});
    platform::UserMouse(Form(), "Image", platform::MouseAction::Up, {button, shift, at.first, at.second});
    RunMessages();
  }
  void Move(PixelPoint at, std::uint8_t shift = 0) {
    platform::UserMouse(Form(), "Image", platform::MouseAction::Move, {0, shift, at.first, at.second});
    RunMessages();
  }
  // The mouse moved to the path's first pixel, and the left button dragged
  // from there, a pixel and a few more aside to start the drag, to the last.
  void Drag(PixelPoint from, PixelPoint to) {
    Move(from);
    platform::UserDragControl(Form(), "Image",
                              {from, {from.first + 1, from.second + 1}, {from.first + 4, from.second + 4}, to});
    RunMessages();
  }
  void Key(std::uint16_t key, std::uint8_t shift = 0) {
    platform::UserKey(Form(), key, shift);
    RunMessages();
  }
  // Answers the next modal forms, in turn, by pressing the named buttons
  // after an optional look at the form.
  void AnswerWith(const std::vector<std::string>& buttons, std::function<void(platform::Form&)> look = nullptr) {
    answers.assign(buttons.begin(), buttons.end());
    this->look = std::move(look);
  }
  // A form beyond the answers is noted and cancelled, so that a test fails
  // where it would wait for a person.
  void Answer(platform::Form& form) {
    if (answers.empty()) {
      unexpected.push_back(form.Caption());
      form.SetModalResult(platform::mrCancel);
      return;
    }
    captions.push_back(form.Caption());
    if (look) look(form);
    const std::string button = answers.front();
    answers.pop_front();
    if (answers.empty()) look = nullptr;
    platform::UserClick(form, button);
  }

  // The image's pixels, row by row.
  std::vector<platform::ColorValue> ImagePixels() {
    const platform::Canvas& canvas = window->GraphicForm()->ImageBitmap()->GetCanvas();
    std::vector<platform::ColorValue> pixels;
    for (int y = 0; y < canvas.ClipRect().Bottom; ++y)
      for (int x = 0; x < canvas.ClipRect().Right; ++x) pixels.push_back(canvas.Pixel(x, y));
    return pixels;
  }
  // The line's vertices as pixels of the view.
  std::vector<PixelPoint> PixelsOf(const TPolyElement& line) {
    std::vector<PixelPoint> pixels;
    for (int i = 0; i < line.GetCoordsCount(); ++i) {
      const PixelPoint at = PixelOf(line.GetCoordX(i), line.GetCoordY(i));
      pixels.push_back(at);
    }
    return pixels;
  }
  // The stand group under the map point, as the hierarchy lookup finds it.
  TElement* StandGroupAt(double x, double y) {
    THeleSkupina lookup;
    lookup.SetInput(DataChild("HIERARCHY"));
    lookup.X = x;
    lookup.Y = y;
    lookup.DoIt();
    return lookup.Found ? static_cast<TElement*>(lookup.PSKObject()) : nullptr;
  }
  // The group's child of that name; nil when missing.
  static TEntity* Level(TElement* group, const std::string& name) {
    auto* entity = DynamicCast<TEntity>(group);
    return entity ? DynamicCast<TEntity>(entity->FindElementByName(name)) : nullptr;
  }
  // Empties the global store and the stand groups' containers of that name.
  void ForgetStored(const std::string& container, const std::string& global) {
    DataChild(global)->Clear();
    std::vector<TEntity*> open = {DataChild("HIERARCHY")};
    while (!open.empty()) {
      TEntity* at = open.back();
      open.pop_back();
      for (TElement* child : at->Children()) {
        auto* entity = DynamicCast<TEntity>(child);
        if (!entity) continue;
        if (entity->SameNameAs(container))
          entity->Clear();
        else if (DynamicCast<TRectEntity>(entity) && !DynamicCast<TAreaString>(entity))
          open.push_back(entity);
      }
    }
  }
  // "main <code>" and "window <code>" of the messages of the codes, in the
  // order they arrived.
  std::vector<std::string> Arrived(const std::vector<int>& codes) {
    RunMessages();
    std::vector<std::string> arrived;
    for (const TRecorder::Entry& entry : recorder.Messages)
      for (int code : codes)
        if (entry.Code == code)
          arrived.push_back((entry.Sender == "@window" ? "window " : "main ") + std::to_string(code));
    return arrived;
  }
  void SaveScreenshot(const std::string& name) {
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    EXPECT_TRUE(Form().SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/" + name + ".png")) << name;
  }

  std::unique_ptr<TCommandLine> interpreter;
  std::unique_ptr<TGraphicForm> window;
  TWindowMonitor* monitor = nullptr;
  std::deque<std::string> answers;
  std::function<void(platform::Form&)> look;
  std::vector<std::string> captions;
  std::vector<std::string> unexpected;
};
