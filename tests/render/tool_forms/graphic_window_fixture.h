#pragma once
// A graphic window on a small model of squares, drawn by an interpret that
// logs each square it fills; the clock can be made to ring at every look so
// that the window's messages arrive while it draws.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/interprets/interpret_script.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

// Fills each rect entity it gets in black and notes its name.
class TSquareInterpret : public TInterpret {
 public:
  std::vector<std::string>* log = nullptr;
  // Called after each square, while the walk goes on.
  std::function<void(const std::string& name)>* drawn = nullptr;
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override {
    log->push_back(element->GetName());
    if (drawn && *drawn) (*drawn)(element->GetName());
    if (auto* rect = DynamicCast<TRectEntity>(element); rect && Device() && Device()->GetBrush()) {
      Device()->GetBrush()->Color = 0;
      Device()->FillRect(rect->GetMinX(), rect->GetMinY(), rect->GetMaxX(), rect->GetMaxY());
    }
  }
};

class GraphicWindowTest : public ToolFormsTest {
 public:
  void SetUp() override {
    ToolFormsTest::SetUp();
    platform::SetDialogs(&dialogs);
    MainTool = &owner;
    manager = CreateElement<TFormToolManager>();
    owner.AddElement(manager);
    auto* script = new TInterpretScript;
    script->SetPropertyText("NewClassName", "TPolyLineElement");
    auto* squares = new TSquareInterpret;
    squares->log = &log;
    squares->drawn = &whileDrawing;
    script->SetActualInterpret(squares);
    manager->SetInterpretScript(script);
    model = CreateElement<TRectEntity>();
    model->SetName("model");
    for (int i = 0; i < 5; ++i) {
      auto* square = CreateElement<TPolyLineElement>();
      square->SetName(std::string(1, char('a' + i)));
      square->SetBounds({i * 100.0, i * 50.0, i * 100.0 + 40, i * 50.0 + 40});
      model->AddEntity(square);
    }
    manager->SetInput(model);
  }
  void TearDown() override {
    platform::SetTickSource(nullptr);
    owner.Clear();
    platform::SetDialogs(nullptr);
    ToolFormsTest::TearDown();
  }
  // Every look at the clock rings the drawing's alarm.
  static void RingAtEveryLook() {
    static std::uint64_t now = 0;
    platform::SetTickSource([] { return now += 1000; });
  }
  platform::Form& Window() { return manager->Form()->Window(); }
  platform::Bitmap& Picture() { return *manager->Form()->ImageBitmap(); }
  TPageProjection& Projection() { return *manager->Projection(); }
  // Redraws the manager finished, as it reports them to the main tool.
  int Redraws() const {
    return static_cast<int>(std::count_if(owner.codes.begin(), owner.codes.end(), [](int c) { return c == msgFinished; }));
  }
  void Post(int code) { PostKestuMessage(new TKestuMessage(code, manager, manager, nullptr, false)); }
  void Mouse(platform::MouseAction action, int x, int y, std::uint8_t button = 0, std::uint8_t shift = 0) {
    platform::UserMouse(Window(), "Image", action, {button, shift, x, y});
  }
  // Each event is handled before the next comes, as a person's hand is slower.
  void Drag(int x0, int y0, int x1, int y1) {
    Mouse(platform::MouseAction::Down, x0, y0);
    RunMessages();
    Mouse(platform::MouseAction::Move, x1, y1, 0, 8);
    RunMessages();
    Mouse(platform::MouseAction::Up, x1, y1);
    RunMessages();
  }

  platform::RecordingDialogs dialogs;
  TCodeRecorder owner;
  TFormToolManager* manager = nullptr;
  TRectEntity* model = nullptr;
  std::vector<std::string> log;
  std::function<void(const std::string& name)> whileDrawing;
};
