#include "forestry/editors/graphic_editors.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "forestry/reconstruction/layer_rebuilding.h"
#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/screen_points.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/dialog_tools.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

// The vertex tolerance in pixels: a vertex is hit within twice of it, a
// segment within it.
constexpr std::int32_t kVertexTolerance = 3;
// How far the marks reach from their vertex, in pixels.
constexpr std::int32_t kVertexMark = 3;
constexpr std::int32_t kCurrentMark = 2;
constexpr std::int32_t kAppendEndMark = 5;
// The relative widening of the vertex reach that covers rounding.
constexpr double kReachRounding = 1e-9;

enum EditorCursor : std::int32_t { kSelectLine = 0, kMovePoint = 1, kInsertPoint = 2 };

enum DialogAnswer : std::int32_t { kFinish = 1, kDiscard = 3, kDeleteVertex = 4, kCloseShape = 5 };
enum ConfirmAnswer : std::int32_t { kConfirmYes = 1, kConfirmCancel = 2, kConfirmNo = 3 };

enum Key : std::uint16_t { kBackspace = 8, kDelete = 46, kKeyR = 82, kF3 = 114 };

}  // namespace

TScreenPlace PlaceInsideScreen(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::int32_t screenWidth, std::int32_t screenHeight) {
  TScreenPlace place{x, y};
  if (place.Left + width > screenWidth) place.Left = screenWidth - width;
  if (place.Top + height > screenHeight) place.Top = screenHeight - height;
  // A window larger than the screen keeps its caption and left edge visible.
  place.Left = std::max(place.Left, 0);
  place.Top = std::max(place.Top, 0);
  return place;
}

// ---------------------------------------------------------------- TGraphicEditor

TGraphicEditor::~TGraphicEditor() { RestorePickedElement(); }

void TGraphicEditor::SetOutput(TElement* element) {
  TElement* old = Output();
  if (old == element) return;
  if (element) CheckNewHeld(element);
  TFrameTool::SetOutput(element);
  if (element) AddElement(element);
  if (old) FreeElement(old);
}

void TGraphicEditor::ReleaseWorkingElement() { SetOutput(nullptr); }

void TGraphicEditor::RestorePickedElement() {
  TElement* element = picked_.Get();
  if (!element) return;
  if (auto* line = DynamicCast<TPolyElement>(element)) {
    while (line->GetCoordsCount() > 0) line->FreeElement(line->GetCoord(line->GetCoordsCount() - 1));
    for (const auto& [x, y] : formerVertices_) line->AddVertex(x, y);
    line->CalcBounds();
  }
  for (const FormerOwner& former : formerOwners_) {
    auto* owner = DynamicCast<TEntity>(former.Owner.Get());
    if (owner) owner->InsertElement(std::min(former.Index, owner->GetCount()), element);
  }
  ForgetPickedElement();
  // Its picking redrew its place without it: the window shows it again.
  PostMessageToOwners(msgReViewArea, element, false);
}

void TGraphicEditor::ForgetPickedElement() {
  picked_.Set(nullptr);
  formerOwners_.clear();
  formerVertices_.clear();
}

void TGraphicEditor::DrawElement() {}

void TGraphicEditor::RefreshElementArea() {}

void TGraphicEditor::ResetWorkingElement() {}

TElement* TGraphicEditor::CloneInput() { return CloneElement(Input()); }

void TGraphicEditor::ElementSelected(TKestuMessage* message) {
  TElement* element = message->Data();
  SetInput(element);
  ForgetPickedElement();
  if (element) {
    // Kept so that an element leaving the editor unstored goes back whole.
    picked_.Set(element);
    for (int i = element->GetOwnersCount() - 1; i >= 0; --i) {
      auto* owner = DynamicCast<TEntity>(element->GetOwner(i));
      if (!owner) continue;
      formerOwners_.insert(formerOwners_.begin(), {TElementLink(owner), owner->IndexOf(element)});
      owner->RemoveElement(element);
    }
    if (auto* line = DynamicCast<TPolyElement>(element))
      for (int i = 0; i < line->GetCoordsCount(); ++i) formerVertices_.emplace_back(line->GetCoordX(i), line->GetCoordY(i));
  }
  SetOutput(element);
  SetActiveTool(nullptr);
  TFrameTool::Activate();
  RefreshElementArea();
  DrawElement();
}

void TGraphicEditor::Activate() {
  SetActive(true);
  SetInput(nullptr);
  TTool* selector = SelectTool();
  if (!selector) {
    TFrameTool::Activate();
    if (CanCreateNewObject) ResetWorkingElement();
    SetActiveTool(nullptr);
    DrawElement();
    return;
  }
  SetActiveTool(selector);
  if (auto* deviceTool = DynamicCast<TDeviceTool>(selector)) deviceTool->SetDevice(GetDevice());
  if (auto* frameTool = DynamicCast<TFrameTool>(selector)) frameTool->SetFrameSelector(FrameSelector());
  if (auto* interfaceTool = DynamicCast<TInterfaceTool>(selector)) interfaceTool->Activate();
}

void TGraphicEditor::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  // The window offers its own close request to its active tool first; the
  // window asks the editor when it closes, and the editor closing on the
  // request too would ask the user twice.
  if (message && message->Message == msgClose && message->Receiver() != this) return;
  TTool* active = message ? GetActiveTool() : nullptr;
  if (!active) return TFrameTool::ReceiveMessage(message, handled);
  handled = false;
  if (message->Message == msgElementSelected) {
    ElementSelected(message);
    handled = true;
  } else if (message->Message == msgCursorChanged) {
    auto* cursor = DynamicCast<TKestuCursorEvent>(message);
    for (int i = 0; i < GetOwnersCount(); ++i)
      if (TElement* owner = GetOwner(i))
        PostKestuMessage(new TKestuCursorEvent(msgCursorChanged, owner, this, cursor ? cursor->Cursor : 0));
    handled = true;
  } else {
    active->ReceiveMessage(message, handled);
  }
}

void TGraphicEditor::FreeTool(TTool* tool) {
  for (TTool** field : {&selectTool_, &storeTool_, &dialog_})
    if (*field == tool) *field = nullptr;
  TFrameTool::FreeTool(tool);
}

std::int32_t TGraphicEditor::RunDialogAt(TElement* element, const std::string& caption) {
  auto* dialog = DynamicCast<TKestuDialog>(Dialog());
  if (!dialog) return 0;
  dialog->SetCaption(caption);
  dialog->SetInput(element);
  std::int32_t x = 0, y = 0;
  platform::CursorScreenPosition(x, y);
  const platform::ScreenExtent screen = platform::ScreenSize();
  const TScreenPlace place = PlaceInsideScreen(x, y, dialog->Width(), dialog->Height(), screen.Width, screen.Height);
  dialog->SetLeft(place.Left);
  dialog->SetTop(place.Top);
  dialog->DoIt();
  return dialog->Result;
}

void TGraphicEditor::PostToMainTool(int code) { PostKestuMessage(new TKestuMessage(code, this, nullptr, nullptr, false)); }

bool TGraphicEditor::MapPointOf(const TKestuMessage* message, double& X, double& Y) const {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!mouse || !projection) return false;
  X = projection->DeviceToWorldX(mouse->X);
  Y = projection->DeviceToWorldY(mouse->Y);
  return true;
}

void TGraphicEditor::ProcessMessages() { platform::Application::Instance().ProcessMessages(); }

// ---------------------------------------------------------------- TPolyElementEditor

TPolyElementEditor::TPolyElementEditor() { Color = 0xC0C0C0; }

TPolyElement* TPolyElementEditor::WorkingElement() const { return DynamicCast<TPolyElement>(Output()); }

double TPolyElementEditor::Tolerance() const {
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  return projection ? projection->DeviceToWorldLength(kVertexTolerance) : 0;
}

double TPolyElementEditor::VertexReach() const {
  // Pixels turned into map units come out a rounding error short at most
  // scales; a point whole pixels away, exactly at the reach, still counts.
  return 2 * Tolerance() * (1 + kReachRounding);
}

void TPolyElementEditor::InitCursors() {
  AddCursor("SELECTLINE");
  AddCursor("MOVE_POINT");
  AddCursor("INSERT_POINT");
}

void TPolyElementEditor::ClearIndices() {
  current_ = -1;
  hit_ = -1;
  onSegment_ = false;
  extendAtStart_ = false;
  snap_ = false;
}

bool TPolyElementEditor::TakeCursorPoint(const TKestuMessage* message) { return MapPointOf(message, x_, y_); }

double TPolyElementEditor::WorkingLength() const {
  const TPolyElement* line = WorkingElement();
  return line ? line->Length() : 0;
}

void TPolyElementEditor::StartNewLine() {
  DrawElement();
  RestorePickedElement();
  SetOutput(CreateElement<TPolyLineElement>());
  ClearIndices();
  // The changes went with the line given up: none asks to be saved later.
  Modified = false;
}

void TPolyElementEditor::ElementChanged() {}

void TPolyElementEditor::HitTest() {
  hit_ = -1;
  onSegment_ = false;
  std::int32_t cursor = kSelectLine;
  const double tolerance = Tolerance();
  if (TPolyElement* line = WorkingElement()) {
    const int count = line->GetCoordsCount();
    for (int i = 0; i < count && hit_ < 0; ++i)
      if (Mathlib::PointsCoincide(x_, y_, line->GetCoordX(i), line->GetCoordY(i), VertexReach())) {
        hit_ = i;
        cursor = kMovePoint;
      }
    for (int i = 0; i + 1 < count && hit_ < 0; ++i) {
      bool on = false;
      double footX = 0, footY = 0, distance = 0;
      Mathlib::ProjectPointToSegment(on, footX, footY, x_, y_, line->GetCoordX(i), line->GetCoordY(i),
                                     line->GetCoordX(i + 1), line->GetCoordY(i + 1), distance);
      if (on && distance < tolerance) {
        hit_ = i;
        onSegment_ = true;
        cursor = kInsertPoint;
      }
    }
  }
  SetCursorIndex(cursor);
}

void TPolyElementEditor::CommitElement() {
  TPolyElement* line = WorkingElement();
  if (!line) return;
  line->CalcBounds();
  TTool* store = StoreTool();
  if (store) {
    store->SetInput(line);
    store->DoIt();
  }
  DrawElement();
  PostMessageToOwners(msgReView, line, false);
  ProcessMessages();
  if (store) ForgetPickedElement();
  RestorePickedElement();
  ReleaseWorkingElement();
  ClearIndices();
  Activate();
}

void TPolyElementEditor::InsertVertex() {
  TPolyElement* line = WorkingElement();
  if (!line || hit_ < 0) return;
  if (onSegment_) {
    line->InsertVertex(hit_ + 1, x_, y_);
    current_ = hit_ + 1;
  } else {
    current_ = hit_;
  }
}

void TPolyElementEditor::AppendVertex() {
  TPolyElement* line = WorkingElement();
  if (!line) return;
  DrawElement();
  if (line->GetCoordsCount() == 0) {
    line->AddVertex(x_, y_);
  } else if (extendAtStart_) {
    line->InsertVertex(0, x_, y_);
    if (current_ >= 0) ++current_;
  } else {
    line->AddVertex(x_, y_);
  }
  DrawElement();
}

void TPolyElementEditor::ShowPointMenu(std::int32_t X, std::int32_t Y) {
  TDevice* device = GetDevice();
  TPageProjection* projection = device ? device->Projection() : nullptr;
  if (!projection) return;
  x_ = projection->DeviceToWorldX(X);
  y_ = projection->DeviceToWorldY(Y);
  const std::vector<std::string> items{"X=" + FloatToText(x_), "Y=" + FloatToText(y_), "Potvrzení"};
  std::int32_t screenX = 0, screenY = 0;
  platform::CursorScreenPosition(screenX, screenY);
  if (platform::ChooseRunTimePopupItem(items, screenX, screenY) == 2) AppendVertex();
}

void TPolyElementEditor::FinishElement() {
  TPolyElement* line = WorkingElement();
  if (!line) return;
  line->CalcBounds();
  TTool* store = StoreTool();
  const bool stored = store && line->GetCoordsCount() > 1;
  if (stored) {
    store->SetInput(line);
    store->DoIt();
    PostToMainTool(msgDataChanged);
  }
  DrawElement();
  PostMessageToOwners(msgReView, line, false);
  if (stored) ForgetPickedElement();
  RestorePickedElement();
  ReleaseWorkingElement();
  ClearIndices();
  Modified = false;
  Activate();
  ProcessMessages();
  ProcessMessages();
}

void TPolyElementEditor::DiscardElement() {
  ForgetPickedElement();
  ResetWorkingElement();
  if (!NewObject()) Activate();
}

void TPolyElementEditor::RemoveVertex(int index) {
  TPolyElement* line = WorkingElement();
  line->FreeElement(line->GetCoord(index));
  current_ = std::min(current_, line->GetCoordsCount() - 1);
}

void TPolyElementEditor::DeleteCurrentVertex() {
  TPolyElement* line = WorkingElement();
  if (!line || line->GetCoordsCount() < 2 || current_ < 0 || current_ >= line->GetCoordsCount()) return;
  DrawElement();
  RemoveVertex(current_);
  Modified = true;
  DrawElement();
}

void TPolyElementEditor::CloseShape() {
  TPolyElement* line = WorkingElement();
  if (!line || line->GetCoordsCount() < 3) return;
  DrawElement();
  line->AddVertex(line->GetCoordX(0), line->GetCoordY(0));
  Modified = true;
  DrawElement();
}

void TPolyElementEditor::DrawMark(double X, double Y, std::int32_t reach) {
  TDevice* device = GetDevice();
  const double d = device->Projection()->DeviceToWorldLength(reach);
  device->Rectangle(X - d, Y + d, X + d, Y - d);
}

void TPolyElementEditor::DrawChain(TPolyElement& element) { GetDevice()->DrawPolyline(&element); }

void TPolyElementEditor::DrawElement() {
  TPolyElement* line = WorkingElement();
  TDevice* device = GetDevice();
  if (!line || !device || !device->Projection()) return;
  device->SetPen({Color, ChainWidth(), platform::PenStyle::Solid, platform::PenMode::Xor});
  device->SetBrush({Color, platform::BrushStyle::Clear});
  DrawChain(*line);
  device->SetPen({Color, 1, platform::PenStyle::Solid, platform::PenMode::Xor});
  const int count = line->GetCoordsCount();
  for (int i = 0; i < count; ++i) DrawMark(line->GetCoordX(i), line->GetCoordY(i), kVertexMark);
  if (current_ >= 0 && current_ < count) DrawMark(line->GetCoordX(current_), line->GetCoordY(current_), kCurrentMark);
  if (count > 0) {
    const int end = extendAtStart_ ? 0 : count - 1;
    DrawMark(line->GetCoordX(end), line->GetCoordY(end), kAppendEndMark);
  }
  if (snap_ && count > 1) {
    // The two ends joined: a cross through the end the dragged one meets.
    const int other = current_ == 0 ? count - 1 : 0;
    const double x = line->GetCoordX(other), y = line->GetCoordY(other);
    const double d = device->Projection()->DeviceToWorldLength(kAppendEndMark);
    device->MoveTo(x - d, y - d);
    device->LineTo(x + d, y + d);
    device->MoveTo(x - d, y + d);
    device->LineTo(x + d, y - d);
  }
  PostMessageToOwners(msgRepaintImage, nullptr, false);
}

void TPolyElementEditor::RefreshElementArea() {
  PostMessageToOwners(msgReViewArea, Output(), false);
  ProcessMessages();
}

void TPolyElementEditor::Activate() {
  TGraphicEditor::Activate();
  SetActive(true);
}

void TPolyElementEditor::Deactivate() {
  SetActive(false);
  ProcessMessages();
  DrawElement();
}

bool TPolyElementEditor::CanCloseActive() {
  if (!Modified) {
    DrawElement();
    RestorePickedElement();
    ReleaseWorkingElement();
    ClearIndices();
    return true;
  }
  std::unique_ptr<TKestuConfirmDialog> confirm(CreateElement<TKestuConfirmDialog>());
  confirm->SetText(ConfirmText);
  confirm->SetCaption(GetName());
  confirm->DoIt();
  switch (confirm->Result) {
    case kConfirmYes: FinishElement(); return true;
    case kConfirmNo: ResetWorkingElement(); return true;
    default: return false;
  }
}

void TPolyElementEditor::ReView(TKestuMessage* message, bool& handled) {
  TGraphicEditor::ReView(message, handled);
  ProcessMessages();
  DrawElement();
}

void TPolyElementEditor::MouseMove(TKestuMessage* message, bool&) {
  if (!TakeCursorPoint(message)) return;
  HitTest();
}

void TPolyElementEditor::SelectHitVertex() {
  TPolyElement* line = WorkingElement();
  DrawElement();
  current_ = hit_;
  if (hit_ == 0) extendAtStart_ = true;
  else if (hit_ == line->GetCoordsCount() - 1) extendAtStart_ = false;
  DrawElement();
  PostToMainTool(msgElementEdited);
}

void TPolyElementEditor::MouseDown(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  TPolyElement* line = WorkingElement();
  if (!mouse || !line || !TakeCursorPoint(message)) return;
  // A press without a move before it still acts on what lies under it.
  HitTest();
  if (mouse->Button == 1) {
    if (!Dialog()) return;
    handled = true;
    switch (RunDialogAt(line, NewObject() ? "Nová linie" : "Stará linie")) {
      case kFinish: FinishElement(); break;
      case kDiscard: DiscardElement(); break;
      case kDeleteVertex: DeleteCurrentVertex(); break;
      case kCloseShape: CloseShape(); break;
      default: break;
    }
    return;
  }
  if (mouse->Button != 0) return;
  if (hit_ < 0) {
    AppendVertex();
    PostToMainTool(msgElementEdited);
    Modified = true;
  } else if (!onSegment_ && hit_ != current_) {
    SelectHitVertex();
  }
}

void TPolyElementEditor::StartDrag(TKestuMessage*, bool&) { dragging_ = true; }

void TPolyElementEditor::SnapDraggedEnd() {
  snap_ = false;
  TPolyElement* line = WorkingElement();
  const int count = line->GetCoordsCount();
  if (count < 2 || (current_ != 0 && current_ != count - 1)) return;
  const int other = current_ == 0 ? count - 1 : 0;
  snap_ = Mathlib::PointsCoincide(x_, y_, line->GetCoordX(other), line->GetCoordY(other), VertexReach());
}

void TPolyElementEditor::DragOver(TKestuMessage* message, bool& handled) {
  TPolyElement* line = WorkingElement();
  if (!line || !TakeCursorPoint(message)) return;
  try {
    if (dragging_) {
      DrawElement();
      InsertVertex();
      DrawElement();
      dragging_ = false;
    }
    if (current_ < 0 || current_ >= line->GetCoordsCount()) return;
    DrawElement();
    SnapDraggedEnd();
    line->SetCoordX(current_, x_);
    line->SetCoordY(current_, y_);
    Modified = true;
    DrawElement();
    PostToMainTool(msgElementEdited);
    ElementChanged();
    handled = true;
  } catch (const std::exception& error) {
    platform::ShowMessage(std::string("Měření: ") + error.what());
  }
}

void TPolyElementEditor::KeyDown(TKestuMessage* message, bool& handled) {
  auto* key = DynamicCast<TKestuKeyEvent>(message);
  TPolyElement* line = WorkingElement();
  if (!key || !line || line->GetCoordsCount() == 0) return;
  switch (key->Key) {
    case kBackspace:
      DrawElement();
      RemoveVertex(extendAtStart_ ? 0 : line->GetCoordsCount() - 1);
      Modified = true;
      DrawElement();
      ElementChanged();
      break;
    case kDelete:
      if (key->Shift & ssCtrl) {
        DiscardElement();
      } else {
        DeleteCurrentVertex();
      }
      ElementChanged();
      break;
    case kKeyR:
    case kF3: DrawElement(); break;
    default: return;
  }
  handled = true;
}

// ---------------------------------------------------------------- TPolyLineEditor and TShapeEditor

double TPolyLineEditor::Length() const { return WorkingLength(); }

void TPolyLineEditor::ResetWorkingElement() { StartNewLine(); }

void TPolyLineEditor::DragDrop(TKestuMessage*, bool& handled) {
  TPolyElement* line = WorkingElement();
  if (!line) return;
  handled = true;
  if (!Snapped()) return;
  const int count = line->GetCoordsCount();
  const int other = CurrentIndex() == 0 ? count - 1 : 0;
  DrawElement();
  line->SetCoordX(CurrentIndex(), line->GetCoordX(other));
  line->SetCoordY(CurrentIndex(), line->GetCoordY(other));
  DrawElement();
}

double TShapeEditor::Length() const { return WorkingLength(); }

double TShapeEditor::Area() const {
  const TPolyElement* line = WorkingElement();
  return line ? line->GetCalculatedArea() : 0;
}

void TShapeEditor::ResetWorkingElement() { StartNewLine(); }

void TShapeEditor::DrawChain(TPolyElement& element) {
  if (element.GetCoordsCount() < 3) return GetDevice()->DrawPolyline(&element);
  GetDevice()->DrawPolygon(&element);
}

// ---------------------------------------------------------------- classes

TClass TGraphicEditor::StaticClass() {
  using E = TGraphicEditor;
  static const TClassInfo info = DescribeClass<E>(
      "TGraphicEditor", TFrameTool::StaticClass(), "GraphicEditors",
      {FieldProp("CanCreateNewObject", &E::CanCreateNewObject), ReadWriteProp("SelectTool", &E::SelectTool, &E::SetSelectTool),
       ReadWriteProp("StoreTool", &E::StoreTool, &E::SetStoreTool), ReadWriteProp("Dialog", &E::Dialog, &E::SetDialog),
       FieldProp("Color", &E::Color), FieldProp("Modified", &E::Modified), FieldProp("ConfirmText", &E::ConfirmText),
       ReadProp("NewObject", &E::NewObject)});
  return &info;
}

TClass TPolyElementEditor::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPolyElementEditor>("TPolyElementEditor", TGraphicEditor::StaticClass(), "GraphicEditors", {});
  return &info;
}

TClass TPolyLineEditor::StaticClass() {
  static const TClassInfo info = DescribeClass<TPolyLineEditor>(
      "TPolyLineEditor", TPolyElementEditor::StaticClass(), "GraphicEditors",
      {ReadProp("Length", &TPolyLineEditor::Length)});
  return &info;
}

TClass TShapeEditor::StaticClass() {
  using E = TShapeEditor;
  static const TClassInfo info = DescribeClass<E>("TShapeEditor", TPolyElementEditor::StaticClass(), "GraphicEditors",
                                                  {ReadProp("Length", &E::Length), ReadProp("Area", &E::Area)});
  return &info;
}

TClass TSelectElementKiller::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TSelectElementKiller>("TSelectElementKiller", TGraphicEditor::StaticClass(), "GraphicEditors", {});
  return &info;
}

void RegisterGraphicEditorClasses() {
  RegisterKestuClass(TGraphicEditor::StaticClass());
  RegisterKestuClass(TPolyElementEditor::StaticClass());
  RegisterKestuClass(TPolyLineEditor::StaticClass());
  RegisterKestuClass(TShapeEditor::StaticClass());
  RegisterKestuClass(TSelectElementKiller::StaticClass());
}
