#include "cartography/layouts/view_interpret.h"

#include <cmath>

#include "cartography/layouts/view.h"
#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"

namespace {

// What drawing a view changes on the device's page and projection, put back
// when the drawing ends, also when the inner walk raises.  The pixel clip
// rectangle and the rotation centre are kept too: converting the clip back
// from world units may round, and a rotated window must keep its centre.
class TDeviceState {
 public:
  TDeviceState(T_Page& page, TPageProjection& projection) : page_(page), projection_(projection) {
    projection.GetClipWorldRect(clipWorld_);
    clipPixels_ = page.ClipRect;
    clipActive_ = page.ClipActive;
    angle_ = projection.Angle();
    rotateX_ = projection.RotateCenter_X;
    rotateY_ = projection.RotateCenter_Y;
    centre_ = {projection.Center_X(), projection.Center_Y()};
    scale_ = projection.Scale();
    virtualScale_ = projection.VirtualScale();
  }
  ~TDeviceState() {
    page_.ClipActive = clipActive_;
    page_.CentreOnClip = false;
    projection_.Calculate(centre_, &page_, scale_);
    projection_.SetVirtualScale(virtualScale_);
    projection_.SetClipRect(clipWorld_);
    page_.ClipRect = clipPixels_;
    projection_.SetAngle(angle_);
    projection_.RotateCenter_X = rotateX_;
    projection_.RotateCenter_Y = rotateY_;
  }
  TDeviceState(const TDeviceState&) = delete;
  TDeviceState& operator=(const TDeviceState&) = delete;

  const TRealRect& ClipWorld() const { return clipWorld_; }
  double Scale() const { return scale_; }

 private:
  T_Page& page_;
  TPageProjection& projection_;
  TRealRect clipWorld_;
  TDeviceRect clipPixels_;
  bool clipActive_;
  double angle_;
  double rotateX_;
  double rotateY_;
  TRealPoint centre_;
  double scale_;
  double virtualScale_;
};

// A band draws with the page clip and transform of the whole picture: the
// view sets them up there, and the band follows them, also once they are
// put back.
class TFollowing {
 public:
  explicit TFollowing(TDevice& device) : device_(device) {}
  ~TFollowing() { device_.FollowWholePicture(); }
  TFollowing(const TFollowing&) = delete;
  TFollowing& operator=(const TFollowing&) = delete;

 private:
  TDevice& device_;
};

// Views shown inside the models of views: each level draws through an
// interpret of its own on the stack, so the depth a file can nest them to is
// cut off here.
thread_local int nestedViews = 0;

class TNestedView {
 public:
  TNestedView() { ++nestedViews; }
  ~TNestedView() { --nestedViews; }
  TNestedView(const TNestedView&) = delete;
  TNestedView& operator=(const TNestedView&) = delete;
  bool TooDeep() const { return nestedViews > TViewInterpret::MostNestedViews; }
};

}  // namespace

TUniversalInterpret* TViewInterpret::Interpret() {
  for (int i = 0; i < ToolCount(); ++i)
    if (auto* inner = DynamicCast<TUniversalInterpret>(ToolAt(i))) return inner;
  auto* inner = CreateElement<TUniversalInterpret>();
  AddTool(inner);
  return inner;
}

TInterpretScript* TViewInterpret::InterpretScript() {
  TUniversalInterpret* inner = Interpret();
  if (!inner->Script()) {
    TUniversalLumarScriptCreator creator;
    creator.DoIt();
    inner->SetScript(DynamicCast<TInterpretScript>(creator.Output()));
  }
  return inner->Script();
}

void TViewInterpret::SetInterpretScript(TInterpretScript* script) {
  if (script) Interpret()->SetScript(script);
}

bool TViewInterpret::QGoInside(TElement* element) {
  return DynamicCast<TEntity>(element) && !DynamicCast<TView>(element) && !DynamicCast<TText>(element);
}

bool TViewInterpret::QProcessBefore(TElement* element) { return IsItsClass(element); }
bool TViewInterpret::IsItsClass(TElement* element) { return DynamicCast<TView>(element); }

void TViewInterpret::Process(TElement* element) {
  if (auto* view = DynamicCast<TView>(element)) DrawView(*view);
}

void TViewInterpret::DrawView(TView& view) {
  TDevice* device = Device();
  T_Page* page = device ? device->WholePicture().Page() : nullptr;
  TPageProjection* projection = device ? device->WholePicture().Projection() : nullptr;
  const TNestedView nested;
  if (!page || !projection || nested.TooDeep()) return;
  if (platform::CanvasBrush* brush = device->GetBrush()) *brush = {0xFFFFFF, platform::BrushStyle::Solid};
  if (platform::CanvasPen* pen = device->GetPen()) {
    pen->Width = 0;
    pen->Style = platform::PenStyle::Dot;
    pen->Color = 0xC0C0C0;
  }
  const TFollowing following(*device);
  const TDeviceState saved(*page, *projection);
  const TRealRect& clip = saved.ClipWorld();
  if (!view.IntersectsRect(clip.MinX, clip.MinY, clip.MaxX, clip.MaxY)) return;

  TRealRect visible;
  view.GetIntersection(clip, visible);
  TDeviceRect visiblePixels;
  projection->WorldRectToDevice(visible.MinX, visible.MinY, visible.MaxX, visible.MaxY, visiblePixels);
  TDevicePoint visibleCentre;
  projection->WorldToDevice((visible.MinX + visible.MaxX) / 2, (visible.MinY + visible.MaxY) / 2, visibleCentre);
  TDeviceRect viewPixels;
  projection->WorldRectToDevice(view.GetMinX(), view.GetMinY(), view.GetMaxX(), view.GetMaxY(), viewPixels);
  page->ClipRect = viewPixels;
  page->ClipActive = true;
  page->CentreOnClip = true;

  InterpretScript();
  TUniversalInterpret* inner = Interpret();
  inner->Printing = Printing;
  inner->SetInput(view.Model());
  inner->SetDevice(device);

  view.Recentre();
  TViewProjection& own = *view.Projection();
  const double modelScale = own.Scale() * saved.Scale();
  projection->Calculate({own.Center_X(), own.Center_Y()}, page, modelScale);
  projection->SetAngle(own.Angle());
  projection->RotateCenter_X = own.RotateCenter_X;
  projection->RotateCenter_Y = own.RotateCenter_Y;
  projection->SetVirtualScale(own.VirtualScale());

  TRealPoint visibleCentreWorld;
  projection->DeviceToWorld(visibleCentre.X, visibleCentre.Y, visibleCentreWorld);
  page->ClipRect = visiblePixels;
  projection->Calculate(visibleCentreWorld, page, modelScale);

  // A view of no scale (or one the page cannot take) would draw its model
  // in the desktop's units, all of it on a point: it shows nothing.
  const bool shown = modelScale > 0 && std::isfinite(modelScale) && projection->Scale() == modelScale &&
                     projection->Center_X() == visibleCentreWorld.X && projection->Center_Y() == visibleCentreWorld.Y;
  if (shown && inner->Input()) {
    device->FollowWholePicture();
    inner->AttachDevice(device);
    inner->DoIt();
  }
}

TClass TViewInterpret::StaticClass() {
  using E = TViewInterpret;
  static const TClassInfo info =
      DescribeClass<E>("TViewInterpret", TInterpret::StaticClass(), "E_view",
                       {NotStored(AccessorProp<E, TInterpretScript*>(
                            "InterpretScript", [](const E& i) { return const_cast<E&>(i).InterpretScript(); },
                            [](E& i, TInterpretScript* script) { i.SetInterpretScript(script); })),
                        NotStored(AccessorProp<E, TUniversalInterpret*>(
                            "Interpret", [](const E& i) { return const_cast<E&>(i).Interpret(); }, nullptr))});
  return &info;
}

void RegisterViewInterpretClasses() { RegisterKestuClass(TViewInterpret::StaticClass()); }
