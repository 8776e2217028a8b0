#pragma once
// An editor on a small white bitmap (one map unit a pixel), owned by a
// stand-in window and posting to a stand-in main tool, both writing what
// reaches them into one log; stand-ins of the selector, store tool and
// dialog it drives.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "forestry/editors/graphic_editors.h"
#include "platform/forms.h"
#include "render/tool_forms/dialog_tools.h"
#include "render/tool_forms/interaction_events.h"
#include "tests/forestry/forestry_fixture.h"
#include "tests/render/drawing_fixture.h"

// Writes "prefix:code" of every message it receives into the log, and the
// text of text messages.
class TMessageLog : public TOwnerEntity {
 public:
  TMessageLog(std::vector<std::string>& log, std::string prefix) : log_(log), prefix_(std::move(prefix)) {}
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    log_.push_back(prefix_ + ":" + std::to_string(message->Message));
    if (auto* text = DynamicCast<TKestuTextMessage>(message)) log_.push_back(text->Text);
    handled = true;
  }

 private:
  std::vector<std::string>& log_;
  std::string prefix_;
};

// A store tool: logs "store", notes its input, the input's vertex count and
// its parameter "FrameSelector", and puts the input into its layer, as
// storing does.
class TStoreStandIn : public TTool {
 public:
  TStoreStandIn(std::vector<std::string>& log, TEntity& layer) : log_(log), layer_(layer) {}
  void DoIt() override {
    log_.push_back("store");
    input = Input();
    frame = GetParameter("FrameSelector");
    auto* element = DynamicCast<TPolyElement>(Input());
    vertices = element ? element->GetCoordsCount() : -1;
    if (Input()) layer_.AddElement(Input());
  }
  int vertices = -1;
  TElement* input = nullptr;
  TElement* frame = nullptr;

 private:
  std::vector<std::string>& log_;
  TEntity& layer_;
};

// A selector: an interface tool noting the codes that reach it.
class TSelectorStandIn : public TFrameTool {
 public:
  std::vector<int> codes;
  bool activated = false;
  void Activate() override {
    TFrameTool::Activate();
    activated = true;
  }
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    codes.push_back(message->Message);
    handled = true;
  }
};

// A frame selector whose result is the frame it was given.
class TFrameSelectorStandIn : public TFrameSelector {
 public:
  explicit TFrameSelectorStandIn(TElement* frame) : frame_(frame) {}
  void DoIt() override {
    ++runs;
    SetOutput(frame_);
  }
  int runs = 0;

 private:
  TElement* frame_;
};

class EditorTest : public ForestryTest {
 protected:
  static constexpr int kSize = 100;

  void SetUp() override {
    ForestryTest::SetUp();
    MainTool = mainTool.get();
    window = std::make_unique<TMessageLog>(log, "owner");
    layer = std::make_unique<TOwnerEntity>();
  }
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    window.reset();
    ForestryTest::TearDown();
  }

  // An editor of class T in the window, drawing on its own bitmap device.
  template <class T>
  T* MakeEditor() {
    auto* editor = CreateElement<T>();
    window->AddElement(editor);
    device = MakeBitmapDevice(kSize, kSize).release();
    editor->SetDevice(device);
    return editor;
  }
  // A line editor working on a new line with the vertices, none current.
  TPolyLineEditor* LineEditorWith(WorldPoints points) {
    auto* editor = MakeEditor<TPolyLineEditor>();
    editor->CanCreateNewObject = true;
    editor->Activate();
    WithVertices(editor->WorkingElement(), points);
    editor->DrawElement();
    RunMessages();
    log.clear();
    return editor;
  }
  TDevicePoint At(double x, double y) const {
    TDevicePoint point;
    device->Projection()->WorldToDevice(x, y, point);
    return point;
  }
  // A mouse event at the world point delivered to the editor.
  bool Mouse(TInterfaceTool& tool, int code, double x, double y, std::uint8_t button = 0, std::uint8_t shift = 0) {
    const TDevicePoint at = At(x, y);
    TKestuMessage* message = new TKestuMouseEvent(code, &tool, nullptr, shift, button, at.X, at.Y, false);
    return Deliver(tool, message);
  }
  bool Key(TInterfaceTool& tool, std::uint16_t key, std::uint8_t shift = 0) {
    return Deliver(tool, new TKestuKeyEvent(msgKeyDown, &tool, nullptr, shift, key));
  }
  bool Deliver(TInterfaceTool& tool, TKestuMessage* message) {
    bool handled = false;
    tool.ReceiveMessage(message, handled);
    delete message;
    RunMessages();
    return handled;
  }
  // A left-button drag from one world point to another.
  void Drag(TInterfaceTool& tool, double fromX, double fromY, double toX, double toY) {
    Mouse(tool, msgMouseMove, fromX, fromY);
    Mouse(tool, msgMouseDown, fromX, fromY);
    Mouse(tool, msgStartDrag, fromX, fromY);
    Mouse(tool, msgDragOver, toX, toY);
    Mouse(tool, msgDragDrop, toX, toY);
    Mouse(tool, msgEndDrag, toX, toY);
  }
  // Answers the next modal forms with these results, in turn.
  void AnswerForms(std::deque<int> results) {
    answers = std::move(results);
    platform::SetModalAnswerer([this](platform::Form& form) {
      captions.push_back(form.Caption());
      if (answers.empty()) return;
      form.SetModalResult(answers.front());
      answers.pop_front();
    });
  }
  static std::vector<std::pair<double, double>> Vertices(const TPolyElement& line) {
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < line.GetCoordsCount(); ++i) points.emplace_back(line.GetCoordX(i), line.GetCoordY(i));
    return points;
  }
  // A white picture, as the device's bitmap starts.
  static std::vector<platform::ColorValue> Blank() { return std::vector<platform::ColorValue>(kSize * kSize, 0xFFFFFF); }
  std::vector<platform::ColorValue> Pixels() const {
    std::vector<platform::ColorValue> pixels;
    platform::Canvas& canvas = device->Bitmap()->GetCanvas();
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) pixels.push_back(canvas.Pixel(x, y));
    return pixels;
  }
  // The log's entries among those named.
  std::vector<std::string> Logged(const std::vector<std::string>& named) const {
    std::vector<std::string> kept;
    for (const std::string& entry : log)
      if (std::find(named.begin(), named.end(), entry) != named.end()) kept.push_back(entry);
    return kept;
  }

  std::vector<std::string> log;
  std::unique_ptr<TMessageLog> mainTool = std::make_unique<TMessageLog>(log, "main");
  std::unique_ptr<TMessageLog> window;
  std::unique_ptr<TOwnerEntity> layer;
  // Holds the frames the frame selectors answer, as the data holds them.
  std::unique_ptr<TOwnerEntity> data = std::make_unique<TOwnerEntity>();
  TBitmapDevice* device = nullptr;
  std::deque<int> answers;
  std::vector<std::string> captions;
};
