// A code-31 redraw of a graphic window through its form-tool manager against
// its anchor in the same run: the universal interpret redrawing the same
// model into a plain bitmap device of the window's size.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "render/devices/bitmap_device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/universal_interpret.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/standard_image_form.h"
#include "render/tool_forms/tool_form_classes.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr int kLines = 100000;
constexpr int kVertices = 10;
constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

// 100,000 random walks of 10 vertices over the window, one world unit a pixel.
std::unique_ptr<TOwnerEntity> WindowModel() {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> x0(0, kWidth - 1), y0(0, kHeight - 1), step(-40, 40);
  auto model = std::make_unique<TOwnerEntity>();
  for (int l = 0; l < kLines; ++l) {
    auto* line = new TPolyLineElement;
    int x = x0(random), y = y0(random);
    for (int i = 0; i < kVertices; ++i) {
      line->AddVertex(x, kHeight - y);
      x = std::clamp(x + step(random), 0, kWidth - 1);
      y = std::clamp(y + step(random), 0, kHeight - 1);
    }
    line->CalcBounds();
    model->AddElement(line);
  }
  return model;
}

// Draws each line it is given and nothing inside it.
class TWindowLineInterpret : public TInterpret {
 public:
  bool QGoInside(TElement*) override { return false; }
  void Process(TElement* element) override { Device()->DrawPolyline(static_cast<TRectEntity*>(element)); }
};

TInterpretScript* LineScript() {
  auto* script = new TInterpretScript;
  script->SetNewClassName("TPolyLineElement");
  script->SetActualInterpret(new TWindowLineInterpret);
  return script;
}

void OnePixelAUnit(TDevice& device) {
  T_Page& page = *device.Page();
  device.Projection()->Calculate({kWidth / 2.0, kHeight / 2.0}, &page, page.HRes());
}

void BM_GraphicWindowRedraw(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  RegisterToolFormClasses();
  // The window's envelope holds the model and frees it with itself.
  TOwnerEntity* model = WindowModel().release();
  std::unique_ptr<TFormToolManager> manager(CreateElement<TFormToolManager>());
  if (!manager || !manager->Form() || !manager->GetDevice()) {
    state.SkipWithError(!manager ? "no manager" : !manager->Form() ? "no form" : "no device");
    return;
  }
  manager->SetInterpretScript(LineScript());
  manager->SetInput(model);
  manager->Form()->ImageBitmap()->SetSize(kWidth, kHeight);
  manager->GetDevice()->SetupPage();
  OnePixelAUnit(*manager->GetDevice());
  for (auto _ : state) {
    TKestuMessage redraw(msgReView, nullptr, manager.get(), nullptr, false);
    TKestuMessage* message = &redraw;
    bool handled = false;
    manager->ReceiveMessage(message, handled);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_GraphicWindowRedraw)->Unit(benchmark::kMillisecond);

void BM_GraphicWindowRedrawAnchor(benchmark::State& state) {
  RegisterToolFormClasses();
  const auto model = WindowModel();
  TBitmapDevice device;
  device.SetOwnsBitmap(true);
  device.SetBitmap(platform::Bitmap::Create(kWidth, kHeight).release());
  OnePixelAUnit(device);
  TUniversalInterpret universal;
  universal.SetScript(LineScript());
  universal.SetInput(model.get());
  universal.AttachDevice(&device);
  for (auto _ : state) {
    bool handled = false;
    universal.ReView(nullptr, handled);
  }
  universal.DetachDevice();
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_GraphicWindowRedrawAnchor)->Unit(benchmark::kMillisecond);

}  // namespace
