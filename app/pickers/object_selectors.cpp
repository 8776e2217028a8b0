#include "app/pickers/object_selectors.h"

#include <memory>

#include "app/pickers/chosen_element.h"
#include "app/pickers/pick_uppers.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "render/devices/device.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "render/tool_forms/standard_image_form.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr std::int32_t kLineSelectorCursor = 17;
constexpr std::int32_t kPointCollectorCursor = 7;
// How far the crosses of a line's mark reach: at its first vertex, at the
// others, at its reference point.
constexpr std::int32_t kFirstVertexReach = 5;
constexpr std::int32_t kVertexReach = 3;
constexpr std::int32_t kReferenceReach = 6;
// The chosen element's windows open this far right of and below the click.
constexpr std::int32_t kShowOffset = 10;

}  // namespace

void UseMarkPen(TDevice& device, platform::ColorValue colour) {
  device.SetPen({colour, 1, platform::PenStyle::Solid, platform::PenMode::Copy});
}

void DrawMarkCross(TDevice& device, double X, double Y, std::int32_t halfSize, CrossShape shape) {
  TPageProjection* projection = device.Projection();
  if (!projection) return;
  const double d = projection->DeviceToWorldLength(halfSize);
  if (shape == CrossShape::Diagonal) {
    device.MoveTo(X - d, Y - d);
    device.LineTo(X + d, Y + d);
    device.MoveTo(X - d, Y + d);
    device.LineTo(X + d, Y - d);
  } else {
    device.MoveTo(X - d, Y);
    device.LineTo(X + d, Y);
    device.MoveTo(X, Y - d);
    device.LineTo(X, Y + d);
  }
}

void MarkLine(TDevice& device, const TPolyElement& line) {
  UseMarkPen(device, kMarkRed);
  for (int i = 0; i < line.GetCoordsCount(); ++i) {
    const double x = line.GetCoordX(i);
    const double y = line.GetCoordY(i);
    if (i == 0) {
      DrawMarkCross(device, x, y, kFirstVertexReach, CrossShape::Diagonal);
      DrawMarkCross(device, x, y, kFirstVertexReach, CrossShape::Upright);
    } else {
      DrawMarkCross(device, x, y, kVertexReach, CrossShape::Diagonal);
    }
  }
  UseMarkPen(device, kMarkWhite);
  DrawMarkCross(device, line.GetAbsRefX(), line.GetAbsRefY(), kReferenceReach, CrossShape::Diagonal);
  DrawMarkCross(device, line.GetAbsRefX(), line.GetAbsRefY(), kReferenceReach, CrossShape::Upright);
}

// ---------------------------------------------------------------- TObjectSelector

TTool* TObjectSelector::OnSelect() const { return DynamicCast<TTool>(onSelect_.Get()); }

void TObjectSelector::SetOnSelect(TTool* tool) { onSelect_.Set(tool); }

TElement* TObjectSelector::OwningTool() const {
  TElement* owner = GetOwner(0);
  if (auto* list = DynamicCast<TEnvelopeEntity>(owner)) return list->Wrapped();
  return owner;
}

bool TObjectSelector::WorldPointOf(const TKestuMouseEvent& mouse, double& X, double& Y) const {
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!projection) return false;
  X = projection->DeviceToWorldX(mouse.X);
  Y = projection->DeviceToWorldY(mouse.Y);
  return true;
}

void TObjectSelector::RepaintImage() {
  if (TFormToolManager* manager = Manager())
    PostKestuMessage(new TKestuMessage(msgRepaintImage, manager, this, nullptr, false));
}

namespace {

constexpr const char* kWindowParameter = "FTM";

// Hands the window to a follow-up tool as its parameter "FTM".  A tool that
// sits in that window has it among its owners already: held as a parameter
// too, the window would hold itself, so then the parameter only names it.
void HandOnWindow(TTool& next, TElement* window) {
  TParameters* parameters = next.GetParameters();
  auto* aliases = static_cast<TAliases*>(parameters->FindElementByClass(TAliases::StaticClass()));
  TElement* previous = aliases ? aliases->GetAliasTarget(kWindowParameter) : nullptr;
  if (previous == window && window) return;
  // A window only named before is no child to let go of: its name goes.
  if (previous && parameters->IndexOf(previous) < 0) {
    aliases->FreeElement(aliases->FindElementByName(kWindowParameter));
    previous = nullptr;
  }
  if (!window || !parameters->IsSelfOrAncestor(window)) return next.SetParameter(kWindowParameter, window);
  if (!aliases) {
    aliases = new TAliases;
    parameters->AddElement(aliases);
  }
  if (previous) parameters->FreeElement(previous);
  aliases->SetAlias(kWindowParameter, window);
}

}  // namespace

void TObjectSelector::RunOnSelect(TElement* element) {
  TTool* next = OnSelect();
  if (!next) return;
  next->SetInput(element);
  HandOnWindow(*next, OwningTool());
  next->DoIt();
}

void TObjectSelector::ShowChosenElement(TElement* element, std::int32_t X, std::int32_t Y) {
  TFormToolManager* manager = Manager();
  if (manager && manager->Form()) manager->Form()->Window().ControlToScreen("Image", X, Y);
  std::unique_ptr<TChoicedElementInterpret> shower(CreateElement<TChoicedElementInterpret>());
  shower->SetInput(element);
  shower->DontViewProps = DontViewProps;
  shower->DontViewDBF = DontViewDBF;
  shower->Left = X + kShowOffset;
  shower->Top = Y + kShowOffset;
  shower->DoIt();
}

// ---------------------------------------------------------------- TLineSelector

std::int32_t TLineSelector::GetCursor() { return kLineSelectorCursor; }

void TLineSelector::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  handled = true;
  double x = 0, y = 0;
  if (!WorldPointOf(*mouse, x, y)) return;
  TPickUpPolyLine picker;
  picker.Tolerance = GetDevice()->Projection()->DeviceToWorldLength(PixelTolerance);
  picker.SetX(x);
  picker.SetY(y);
  picker.SetInput(Input());
  picker.DoIt();
  auto* line = DynamicCast<TPolyElement>(picker.Output());
  if (!picker.Found() || !line) return;
  MarkLine(*GetDevice(), *line);
  RepaintImage();
  if (ShowProperties) ShowChosenElement(line, mouse->X, mouse->Y);
  SetOutput(line);
  RunOnSelect(line);
}

// ---------------------------------------------------------------- TPointCollector

std::int32_t TPointCollector::GetCursor() { return kPointCollectorCursor; }

void TPointCollector::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0) return;
  handled = true;
  if (!WorldPointOf(*mouse, X, Y)) return;
  SetOutput(Input());
  RunOnSelect(Input());
}

// ---------------------------------------------------------------- classes

TClass TObjectSelector::StaticClass() {
  using E = TObjectSelector;
  static const TClassInfo info = DescribeClass<E>(
      "TObjectSelector", TInteractiveTool::StaticClass(), "T_Select",
      {FieldProp("ShowProperties", &E::ShowProperties), FieldProp("DontViewProps", &E::DontViewProps),
       FieldProp("DontViewDBF", &E::DontViewDBF), ReadWriteProp("onSelect", &E::OnSelect, &E::SetOnSelect),
       FieldProp("PixelTolerance", &E::PixelTolerance)});
  return &info;
}

TClass TLineSelector::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLineSelector>("TLineSelector", TObjectSelector::StaticClass(), "T_Select", {});
  return &info;
}

TClass TPointCollector::StaticClass() {
  using E = TPointCollector;
  static const TClassInfo info = DescribeClass<E>("TPointCollector", TObjectSelector::StaticClass(), "T_Select",
                                                  {FieldProp("X", &E::X), FieldProp("Y", &E::Y)});
  return &info;
}

void RegisterObjectSelectorClasses() {
  RegisterKestuClass(TObjectSelector::StaticClass());
  RegisterKestuClass(TLineSelector::StaticClass());
  RegisterKestuClass(TPointCollector::StaticClass());
}
