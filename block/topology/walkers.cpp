#include "block/topology/walkers.h"

#include <exception>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/gauge_form.h"
#include "spatial/objects/space_entities.h"

namespace {

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

// Clears the busy flag however the walk ends.
class BusyScope {
 public:
  explicit BusyScope(TTool& tool) : tool_(tool) { tool_.SetBusy(true); }
  ~BusyScope() { tool_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TTool& tool_;
};

// Asked of every element a walk over lines or areas meets: the class is
// asked once.
bool IsContainerOfObjects(TElement* element) {
  static const TClass ownerEntity = TOwnerEntity::StaticClass();
  static const TClass polyLine = TPolyLineElement::StaticClass();
  if (!element) return false;
  const TClass cls = element->ClassType();
  return cls->InheritsFrom(ownerEntity) && !cls->InheritsFrom(polyLine);
}

// Adds a found element to the searchers' result: with its bounds when the
// result has them.
void AddToResult(TElement* result, TElement* element) {
  if (auto* entity = DynamicCast<TRectEntity>(result)) entity->AddEntity(element);
  else if (auto* plain = DynamicCast<TEntity>(result)) plain->AddElement(element);
}

bool AllZero(double a, double b, double c, double d) { return a == 0 && b == 0 && c == 0 && d == 0; }

// The searchers' step for one element not yet done: collect it when there is
// no rectangle or it meets the rectangle, and mark it done either way.
void CollectOnce(TElement* result, TSpaceEntity* element, double minX, double minY, double maxX, double maxY) {
  if (element->GetIsDone()) return;
  if (AllZero(minX, minY, maxX, maxY) || element->IntersectsRect(minX, minY, maxX, maxY))
    AddToResult(result, element);
  element->SetIsDone(true);
}

// Output when set; else a new container of the class given, owned by the
// searcher as its child and set as its Output.
template <class Container>
TElement* ResultOf(TTool& searcher) {
  if (TElement* output = searcher.Output()) return output;
  auto* made = new Container;
  searcher.AddElement(made);
  searcher.SetOutput(made);
  return made;
}

}  // namespace

// ---------------------------------------------------------------- base

TProchazecObjektu::TProchazecObjektu() = default;
TProchazecObjektu::~TProchazecObjektu() = default;

platform::TF_gaugeForm& TProchazecObjektu::Gauge() {
  if (!gauge_) {
    gauge_ = platform::NewGaugeForm();
    gauge_->SetCaption(GetName());
    gauge_->SetMaxValue(0);
  }
  return *gauge_;
}

void TProchazecObjektu::SetGaugeCaption(const std::string& text) { Gauge().SetCaption(text); }
void TProchazecObjektu::SetProtocol(const std::string&) {}

void TProchazecObjektu::DoIt() {
  if (Busy()) return;
  BusyScope busy(*this);
  platform::MessageHold hold;
  platform::WaitCursor hourglass;
  stopped_ = false;
  Gauge().SetCaption(GetName());
  Walk();
}

void TProchazecObjektu::Walk() { TRecursor::DoIt(); }

void TProchazecObjektu::SetGaugeMax(int Value) { Gauge().SetMaxValue(Value); }
void TProchazecObjektu::ShowGauge() { Gauge().Show(); }
void TProchazecObjektu::HideGauge() { Gauge().Hide(); }
void TProchazecObjektu::SetGaugeStep(int Value) { GaugeStep = Value; }

void TProchazecObjektu::SetGaugeProgress(int Value) {
  platform::TF_gaugeForm& gauge = Gauge();
  if (gauge.MaxValue() < 1) return;
  if (GaugeStep != 0 && (GaugeStep < 1 || Value % GaugeStep != 0)) return;
  try {
    gauge.SetProgress(Value);
  } catch (const std::exception&) {
    ShowError("Chyba v GaugeSet");
  }
  platform::Application::Instance().ProcessMessages();
}

void TProchazecObjektu::GaugeWalk(TProchazecObjektu& counter, int step) {
  counter.SetInput(Input());
  counter.DoIt();
  if (counter.Count > GaugeThreshold) {
    SetGaugeMax(counter.Count);
    if (step != 0) SetGaugeStep(step);
    ShowGauge();
  }
  // The gauge goes away however the walk ends.
  struct Hide {
    TProchazecObjektu& walker;
    ~Hide() { walker.HideGauge(); }
  } hide{*this};
  TProchazecObjektu::Walk();
}

bool TProchazecObjektu::Stopped() const { return stopped_ || BreakWork(); }

bool TProchazecObjektu::Stopping() {
  if (Stopped()) return true;
  platform::TF_gaugeForm& gauge = Gauge();
  if (!gauge.DoCloseQuery()) return false;
  // Asked once per request: a cancelled question lets the walk go on.
  gauge.SetDoCloseQuery(false);
  if (!AbortQuestion.empty() && gauge.ConfirmAbort(AbortQuestion)) stopped_ = true;
  return stopped_;
}

// ---------------------------------------------------------------- lines

bool TProchazecLinii::QGoInside(TElement* element) { return !Stopped() && IsContainerOfObjects(element); }

bool TProchazecLinii::QProcessBefore(TElement* element) {
  return DynamicCast<TPolyLineElement>(element) && !Stopping();
}

void TProchazecLinii::Process(TElement*) { ++Count; }

void TOznacLinie::Process(TElement* element) {
  ++Count;
  auto* line = static_cast<TPolyLineElement*>(element);
  if (line->GetIsDone()) line->SetIsDone(false);
}

void TProchazecLiniiGauge::Walk() {
  Count = 0;
  TOznacLinie counter;
  GaugeWalk(counter, 0);
}

void THledacLinii::DoIt() {
  if (Busy()) return;
  result_.Set(ResultOf<TSpaceEntity>(*this));
  TProchazecObjektu::DoIt();
}

void THledacLinii::Process(TElement* element) {
  ++Count;
  SetGaugeProgress(Count);
  if (TElement* result = Result()) CollectOnce(result, static_cast<TSpaceEntity*>(element), MinX, MinY, MaxX, MaxY);
}

// ---------------------------------------------------------------- areas

// An area holds lines or vertices, never an area (holes are held apart).
bool TProchazecPloch::QGoInside(TElement* element) {
  return !Stopped() && IsContainerOfObjects(element) && !DynamicCast<TAreaElement>(element);
}

bool TProchazecPloch::QProcessBefore(TElement* element) { return DynamicCast<TAreaElement>(element) && !Stopping(); }

void TProchazecPloch::Process(TElement*) { ++Count; }

void TOznacPlochy::Process(TElement* element) {
  ++Count;
  auto* area = static_cast<TAreaElement*>(element);
  if (area->GetIsDone()) area->SetIsDone(false);
}

void TProchazecPlochGauge::Walk() {
  // Counted afresh on every walk, as the other families do.
  Count = 0;
  TOznacPlochy counter;
  GaugeWalk(counter, 10);
}

void THledacPloch::DoIt() {
  if (Busy() || !DynamicCast<TEntity>(Input())) return;
  result_.Set(ResultOf<TAreaString>(*this));
  TProchazecObjektu::DoIt();
}

void THledacPloch::Process(TElement* element) {
  auto* area = static_cast<TAreaElement*>(element);
  if (area->IsHole && !IncludeHoles) return;
  ++Count;
  SetGaugeProgress(Count);
  if (TElement* result = Result()) CollectOnce(result, area, MinX, MinY, MaxX, MaxY);
}

// ---------------------------------------------------------------- leaves of a line-end index

bool TProchazecListuQTree::QGoInside(TElement* element) {
  return !Stopped() && DynamicCast<TSpaceLineBegEndCell>(element);
}

bool TProchazecListuQTree::QProcessBefore(TElement* element) {
  const auto* cell = DynamicCast<TSpaceLineBegEndCell>(element);
  return cell && cell->Last() && !Stopping();
}

void TProchazecListuQTree::Process(TElement*) { ++Count; }

void TProchazecListuQTreeGauge::Walk() {
  TProchazecListuQTree counter;
  Count = 0;
  GaugeWalk(counter, 0);
}

// ---------------------------------------------------------------- reading lines into a line-end index

TSpaceLineBegEndCell* TReadLinesIntoQTree::Tree() const { return static_cast<TSpaceLineBegEndCell*>(tree_.Get()); }

void TReadLinesIntoQTree::DoIt() {
  if (Busy()) return;
  auto* bounds = DynamicCast<TRectEntity>(NoParameters() ? Input() : GetParameterByIndex(0));
  if (!bounds || !bounds->IsValid()) return;
  auto tree = std::make_unique<TSpaceLineBegEndCell>();
  tree->SetName("QTREE");
  tree->SetBounds({bounds->GetMinX(), bounds->GetMinY(), bounds->GetMaxX(), bounds->GetMaxY()});
  tree_.Set(tree.get());
  SetGaugeStep(10);
  ends_.clear();
  // Messages are held during the walk, so the lines read stay as they are
  // until the index files them; what was read before a failure is filed.
  const auto reportingFailure = [](const auto& step) {
    try {
      step();
    } catch (const std::exception&) {
      ShowError("Error: Načítač linií do QTree");
    }
  };
  reportingFailure([this] { TProchazecObjektu::DoIt(); });
  reportingFailure([this, &tree] { tree->AddLineEnds(ends_); });
  ends_.clear();
  ends_.shrink_to_fit();
  SetOutput(tree.release());
}

void TReadLinesIntoQTree::Process(TElement* element) {
  auto* line = static_cast<TPolyLineElement*>(element);
  if (!line->GetIsDone()) {
    for (bool atBegin : {true, false}) {
      TLineEndToFile end;
      if (TSpaceLineBegEndCell::ReadLineEnd(line, atBegin, end)) ends_.push_back(end);
    }
    line->SetIsDone(true);
  }
  SetGaugeProgress(Count);
  ++Count;
}

// ---------------------------------------------------------------- classes

TClass TProchazecObjektu::StaticClass() {
  using W = TProchazecObjektu;
  static const TClassInfo info = DescribeClass<W>(
      "TProchazecObjektu", TRecursor::StaticClass(), "T_Lumar",
      {WriteProp("GaugeCaption", &W::SetGaugeCaption), WriteProp("Protocol", &W::SetProtocol)});
  return &info;
}

#define KESTX_WALKER_CLASS(Self, Parent, ...)                                                             \
  TClass Self::StaticClass() {                                                                            \
    static const TClassInfo info = DescribeClass<Self>(#Self, Parent::StaticClass(), "T_Lumar", {__VA_ARGS__}); \
    return &info;                                                                                         \
  }

KESTX_WALKER_CLASS(TProchazecLinii, TProchazecObjektu)
KESTX_WALKER_CLASS(TOznacLinie, TProchazecLinii)
KESTX_WALKER_CLASS(TProchazecLiniiGauge, TProchazecLinii)
KESTX_WALKER_CLASS(THledacLinii, TProchazecLiniiGauge)
KESTX_WALKER_CLASS(TProchazecPloch, TProchazecObjektu)
KESTX_WALKER_CLASS(TOznacPlochy, TProchazecPloch)
KESTX_WALKER_CLASS(TProchazecPlochGauge, TProchazecPloch)
KESTX_WALKER_CLASS(THledacPloch, TProchazecPlochGauge, FieldProp("IncludeHoles", &THledacPloch::IncludeHoles))
KESTX_WALKER_CLASS(TProchazecListuQTree, TProchazecObjektu)
KESTX_WALKER_CLASS(TProchazecListuQTreeGauge, TProchazecListuQTree)
KESTX_WALKER_CLASS(TReadLinesIntoQTree, TProchazecLiniiGauge)

#undef KESTX_WALKER_CLASS

void RegisterTopologyWalkerClasses() {
  for (TClass cls : {TOznacLinie::StaticClass(), THledacPloch::StaticClass(), THledacLinii::StaticClass(),
                     TReadLinesIntoQTree::StaticClass(), TProchazecListuQTree::StaticClass()})
    RegisterKestuClass(cls);
}
