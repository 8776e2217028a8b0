#include "cartography/layouts/view.h"

#include <cmath>
#include <unordered_set>
#include <vector>

#include "cartography/models/layer_scripts.h"
#include "cartography/models/script_models.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"

// ---------------------------------------------------------------- TViewProjection

TRectEntity* TViewProjection::View() const { return static_cast<TRectEntity*>(view_.Get()); }

void TViewProjection::BindView(TRectEntity* view) {
  view_.Set(view);
  Recompute();
}

void TViewProjection::Recompute() {
  const TRectEntity* view = View();
  const double width = view ? view->GetWidth() : 0;
  const double height = view ? view->GetHeight() : 0;
  pixelSizeX_ = pixelSizeY_ = pixelSizeMax_ = scale_;
  originX_ = center_.X - width / 2 * scale_;
  originY_ = center_.Y - height / 2 * scale_;
}

void TViewProjection::GetWorldRect(TRealRect& R) const {
  if (scale_ == 0) {
    R = {0, 0, 0, 0};
    return;
  }
  const TRectEntity* view = View();
  const double width = view ? view->GetWidth() : 0;
  const double height = view ? view->GetHeight() : 0;
  R = {originX_, originY_, originX_ + scale_ * width, originY_ + scale_ * height};
}

void TViewProjection::SetCenter(const TRealPoint& C) {
  center_ = C;
  Recompute();
}

void TViewProjection::SetCenter_X(double value) {
  center_.X = value;
  Recompute();
}

void TViewProjection::SetCenter_Y(double value) {
  center_.Y = value;
  Recompute();
}

void TViewProjection::SetScale(double value) {
  scale_ = value;
  Recompute();
}

void TViewProjection::FitRect(const TRealRect& R) {
  const TRectEntity* view = View();
  if (!view) return;
  const double viewWidth = view->GetWidth();
  const double viewHeight = view->GetHeight();
  // A view without a size has no scale that shows anything in it.
  if (!(viewWidth != 0 && viewHeight != 0)) return;
  const double sx = (R.MaxX - R.MinX) / viewWidth;
  const double sy = (R.MaxY - R.MinY) / viewHeight;
  const double s = sx > sy ? sx : sy;
  const TRealPoint centre{(R.MinX + R.MaxX) / 2, (R.MinY + R.MaxY) / 2};
  for (double v : {s, centre.X, centre.Y})
    if (!std::isfinite(v)) return;
  scale_ = s;
  center_ = centre;
  Recompute();
}

void TViewProjection::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TProjection::ReadData(reader, elementMap);
  Recompute();
}

// ---------------------------------------------------------------- TView

TView::TView() {
  PenColor = 0xC0C0C0;
  PenStyle = psDot;
  BrushColor = 0xFFFFFF;
  BrushStyle = bsClear;
  Projection();
}

TViewProjection* TView::Projection() {
  if (auto* held = static_cast<TViewProjection*>(projection_.Get())) return held;
  auto* projection = new TViewProjection;
  projection_.Set(projection);
  TRectEntity::AddElement(projection);
  projection->BindView(this);
  return projection;
}

void TView::SetModel(TElement* model) { ReplaceLinkedChild(model_, model); }

TModelScript* TView::ModelScript() {
  if (auto* script = DynamicCast<TModelScript>(FindElementByClass(TModelScript::StaticClass()))) return script;
  auto* script = new TModelScript;
  script->SetName("Model Script");
  TRectEntity::AddElement(script);
  return script;
}

void TView::AddElement(TElement* element) {
  auto* projection = DynamicCast<TViewProjection>(element);
  if (projection && projection != projection_.Get()) {
    ReplaceLinkedChild(projection_, projection);
    projection->BindView(this);
  } else if (element && element == model_.Get()) {
    AddLinkedChild(model_, element);
  } else if (element && element == projection_.Get()) {
    AddLinkedChild(projection_, element);
  } else {
    TRectEntity::AddElement(element);
  }
}

TElement* TView::CreateModel() {
  auto* model = new TRectEntity;
  model->SetName("Předmět zájmu");
  SetModel(model);
  return model;
}

namespace {

TView* NamedControlView(const TView& view) {
  if (view.ControlViewName.empty() || view.GetOwnersCount() == 0) return nullptr;
  const auto* owner = DynamicCast<TEntity>(view.GetOwner(0));
  return owner ? DynamicCast<TView>(owner->FindElementByName(view.ControlViewName)) : nullptr;
}

// The views from view along their control views, up to the first that
// follows none or whose leader is already listed.  Nil when the chain comes
// back to view itself: a view that follows itself follows nobody.
std::vector<TView*> ControlChain(TView* view) {
  std::vector<TView*> chain{view};
  std::unordered_set<const TView*> listed{view};
  for (TView* next = NamedControlView(*view); next; next = NamedControlView(*next)) {
    if (next == view) return {};
    if (!listed.insert(next).second) break;
    chain.push_back(next);
  }
  return chain;
}

}  // namespace

TView* TView::ControlView() const {
  const std::vector<TView*> chain = ControlChain(const_cast<TView*>(this));
  return chain.size() > 1 ? chain[1] : nullptr;
}

double TView::FollowedCentre(bool alongX) {
  std::vector<TView*> chain = ControlChain(this);
  if (chain.empty()) chain.push_back(this);
  // The last view follows nobody: its own centre, without a delta.
  TViewProjection* last = chain.back()->Projection();
  double centre = alongX ? last->Center_X() : last->Center_Y();
  for (auto follower = chain.rbegin() + 1; follower != chain.rend(); ++follower) {
    TView& view = **follower;
    centre += alongX ? view.ModelDeltaX : view.ModelDeltaY;
    if (alongX)
      view.Projection()->SetCenter_X(centre);
    else
      view.Projection()->SetCenter_Y(centre);
  }
  return centre;
}

double TView::ModelCenterX() { return FollowedCentre(true); }
double TView::ModelCenterY() { return FollowedCentre(false); }

void TView::Recentre() {
  SetModelCenterX(ModelCenterX());
  SetModelCenterY(ModelCenterY());
}

TRealRect TView::ModelRect() {
  TRealRect R{0, 0, 0, 0};
  if (Scale() == 0) return R;
  Recentre();
  Projection()->GetWorldRect(R);
  return R;
}

void TView::SetReadModel(bool value) {
  if (value) {
    const TRealRect shown = ModelRect();
    if (TModelScript* script = DynamicCast<TModelScript>(FindElementByClass(TModelScript::StaticClass()))) {
      TModelByScriptCreator creator;
      creator.SetInput(script);
      if (Projection()->IsOK()) {
        creator.MinX = shown.MinX;
        creator.MinY = shown.MinY;
        creator.MaxX = shown.MaxX;
        creator.MaxY = shown.MaxY;
      }
      creator.CutLayer = true;
      creator.DoIt();
      SetModel(creator.Output());
      if (TElement* model = Model()) model->SetName("VIEWMODEL");
      const auto* model = DynamicCast<TRectEntity>(Model());
      if (!Projection()->IsOK() && model) Projection()->SetCenter({model->GetCenterX(), model->GetCenterY()});
    }
  }
  if (SameNameAs("VEKTOR") && World()) SetObjectPropByName(*World(), "TestElement", Model());
}

TClass TViewProjection::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TViewProjection>("TViewProjection", TProjection::StaticClass(), "E_view", {});
  return &info;
}

TClass TView::StaticClass() {
  using E = TView;
  static const TClassInfo info = DescribeClass<E>(
      "TView", TDrawRectangle::StaticClass(), "E_view",
      {ReadWriteProp("Model", &E::Model, &E::SetModel),
       NotStored(AccessorProp<E, TModelScript*>(
           "ModelScript", [](const E& v) { return const_cast<E&>(v).ModelScript(); }, nullptr)),
       NotStored(AccessorProp<E, double>(
           "ModelCenterX", [](const E& v) { return const_cast<E&>(v).ModelCenterX(); },
           [](E& v, double x) { v.SetModelCenterX(x); })),
       NotStored(AccessorProp<E, double>(
           "ModelCenterY", [](const E& v) { return const_cast<E&>(v).ModelCenterY(); },
           [](E& v, double y) { v.SetModelCenterY(y); })),
       NotStored(AccessorProp<E, double>(
           "ModelMinX", [](const E& v) { return const_cast<E&>(v).ModelRect().MinX; }, nullptr)),
       NotStored(AccessorProp<E, double>(
           "ModelMaxX", [](const E& v) { return const_cast<E&>(v).ModelRect().MaxX; }, nullptr)),
       NotStored(AccessorProp<E, double>(
           "ModelMinY", [](const E& v) { return const_cast<E&>(v).ModelRect().MinY; }, nullptr)),
       NotStored(AccessorProp<E, double>(
           "ModelMaxY", [](const E& v) { return const_cast<E&>(v).ModelRect().MaxY; }, nullptr)),
       NotStored(AccessorProp<E, double>(
           "Scale", [](const E& v) { return const_cast<E&>(v).Scale(); }, [](E& v, double s) { v.SetScale(s); })),
       NotStored(AccessorProp<E, double>(
           "Angle", [](const E& v) { return const_cast<E&>(v).Angle(); }, [](E& v, double a) { v.SetAngle(a); })),
       NotStored(AccessorProp<E, double>(
           "RotateCenterX", [](const E& v) { return const_cast<E&>(v).RotateCenterX(); },
           [](E& v, double x) { v.SetRotateCenterX(x); })),
       NotStored(AccessorProp<E, double>(
           "RotateCenterY", [](const E& v) { return const_cast<E&>(v).RotateCenterY(); },
           [](E& v, double y) { v.SetRotateCenterY(y); })),
       NotStored(AccessorProp<E, double>(
           "VirtualScale", [](const E& v) { return const_cast<E&>(v).VirtualScale(); },
           [](E& v, double s) { v.SetVirtualScale(s); })),
       FieldProp("ControlViewName", &E::ControlViewName), FieldProp("ModelDeltaX", &E::ModelDeltaX),
       FieldProp("ModelDeltaY", &E::ModelDeltaY),
       NotStored(AccessorProp<E, bool>("ReadModel", nullptr, [](E& v, bool read) { v.SetReadModel(read); })),
       FieldProp("ReadAfter", &E::ReadAfter)});
  return &info;
}

void RegisterViewClasses() {
  RegisterKestuClass(TViewProjection::StaticClass());
  RegisterKestuClass(TView::StaticClass());
}
