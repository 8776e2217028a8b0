// A code-31 redraw of a graphic window through its form-tool manager against
// its anchor in the same run: Qt's painter drawing the same polylines on an
// image of the window's size.  Beside them, the universal interpret redraws
// the same model into a plain bitmap device of that size: what the window
// adds to the interpret's drawing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "bench/pixel_walks.h"
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

// 100,000 random walks of 10 vertices over the window's pixels.
TPixelWalks Walks() { return RandomWalks(kLines, kVertices, kWidth, kHeight, 40, 11); }

// The walks as polylines, one world unit a pixel: world (x, height - y) is
// pixel (x, y).
std::unique_ptr<TOwnerEntity> WindowModel() {
  auto model = std::make_unique<TOwnerEntity>();
  for (const auto& walk : Walks()) {
    auto* line = new TPolyLineElement;
    for (const platform::PixelPoint& p : walk) line->AddVertex(p.X, kHeight - p.Y);
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

void BM_GraphicWindowRedrawQtPainter(benchmark::State& state) { PaintWalksWithQt(state, Walks(), kWidth, kHeight); }
BENCHMARK(BM_GraphicWindowRedrawQtPainter)->Unit(benchmark::kMillisecond);

void BM_GraphicWindowUniversalInterpret(benchmark::State& state) {
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
BENCHMARK(BM_GraphicWindowUniversalInterpret)->Unit(benchmark::kMillisecond);

}  // namespace
