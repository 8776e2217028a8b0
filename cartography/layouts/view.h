#pragma once
// A view: a rectangle on a desktop (in sheet units) through which a model is
// shown at a scale, centre and rotation of its own.  Its projection maps the
// view's own frame (sheet units from its lower-left corner) to world units.
#include <string>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/projection.h"

class TModelScript;

// Sheet point (x, y) of the view's frame maps to world (s·x + ox, s·y + oy),
// an axis-parallel scaling without a flip of Y.
class TViewProjection : public TProjection {
  KESTX_CLASS(TViewProjection)
 public:
  TRectEntity* View() const;
  // Stores the view and recomputes the origin for it.
  void BindView(TRectEntity* view);

  // All zero while the scale is 0.
  void GetWorldRect(TRealRect& R) const override;
  void GetClipWorldRect(TRealRect& R) const override { GetWorldRect(R); }
  void SetCenter(const TRealPoint& C) override;
  void SetCenter_X(double value) override;
  void SetCenter_Y(double value) override;
  void SetScale(double value) override;
  // The larger of the two ratios, centred on R; a view or rectangle without
  // a size leaves the projection as it was.
  void FitRect(const TRealRect& R) override;
  // A view has no clip rectangle of its own.
  void SetClipRect(const TRealRect&) override {}

  // A loaded projection recomputes once it is bound to its view.
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;

 private:
  void Recompute();

  TElementLink view_;
};

class TView : public TDrawRectangle {
  KESTX_CLASS(TView)
 public:
  TView();

  std::string ControlViewName;
  double ModelDeltaX = 0;
  double ModelDeltaY = 0;
  // Stored and published; nothing reads it.
  bool ReadAfter = false;

  TElement* Model() const { return model_.Get(); }
  // The old model is let go as an owner lets go of a child (freed when
  // nothing else holds it); the new one becomes a child.
  void SetModel(TElement* model);
  // The child holding the model script, created on first use.
  TModelScript* ModelScript();
  // Made again when it has gone.
  TViewProjection* Projection();

  virtual TElement* CreateModel();
  // True builds the model from the model script; either value publishes the
  // model of a view named "VEKTOR" as the world's test element.
  virtual void SetReadModel(bool value);

  // The control view's centre plus the delta while this view follows one;
  // else the projection's own centre.
  double ModelCenterX();
  double ModelCenterY();
  void SetModelCenterX(double value) { Projection()->SetCenter_X(value); }
  void SetModelCenterY(double value) { Projection()->SetCenter_Y(value); }
  // The view that this one follows: found by name among the children of its
  // first owner; nil for no name, no owner, no such view, or a chain of
  // control views that comes back to this one.
  TView* ControlView() const;
  // The world rectangle shown, after re-centring on the control view; all
  // zero while the scale is 0.
  TRealRect ModelRect();
  // Writes the model centre back to itself (a follower takes its leader's).
  void Recentre();

  double Scale() { return Projection()->Scale(); }
  void SetScale(double value) { Projection()->SetScale(value); }
  double Angle() { return Projection()->Angle(); }
  void SetAngle(double value) { Projection()->SetAngle(value); }
  double RotateCenterX() { return Projection()->RotateCenter_X; }
  void SetRotateCenterX(double value) { Projection()->RotateCenter_X = value; }
  double RotateCenterY() { return Projection()->RotateCenter_Y; }
  void SetRotateCenterY(double value) { Projection()->RotateCenter_Y = value; }
  double VirtualScale() { return Projection()->VirtualScale(); }
  void SetVirtualScale(double value) { Projection()->SetVirtualScale(value); }

  // Children of the stream: a projection takes the place of the one the
  // view was made with, the model keeps its one place.
  void AddElement(TElement* element) override;

 private:
  // Centre along one axis, following the chain of control views.
  double FollowedCentre(bool alongX);

  TElementLink model_;
  TElementLink projection_;
};

void RegisterViewClasses();
