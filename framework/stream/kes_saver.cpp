#include "framework/stream/kes_saver.h"

#include <algorithm>
#include <cmath>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "platform/streams.h"
#include "platform/dialogs.h"

namespace {

constexpr std::size_t kStreamBuffer = 4096;
constexpr std::size_t kComponentBuffer = 64000;
constexpr int kProgressStep = 500;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

// ---------------------------------------------------------------- TKestuSaver

void TKestuSaver::GetParameterName(int, std::string& name) { name = "FileName"; }

bool TKestuSaver::QGoInside(TElement* element) { return element && IsEntityClass(element->ClassType()); }

bool TKestuSaver::QProcessAfter(TElement*) { return true; }

void TKestuSaver::DoIt() {
  numbered_.clear();
  classNumbers_.clear();
  lastClass_ = nullptr;
  lastSaved_ = nullptr;
  testedClass_ = nullptr;
  inline_.clear();
  current_ = nullptr;
  currentEntry_ = nullptr;
  currentClass_ = nullptr;
  counter_ = 0;
  stamped_ = false;
  TElement* input = Input();
  if (!input) {
    WriteHeader();
    return;
  }
  platform::WaitCursor hourglass;
  auto* entity = DynamicCast<TEntity>(input);
  // Counting draws a new stamp and stamps every element it reaches, which is
  // all that marking the graph reachable would do again.
  const int total = entity ? entity->WholeCount() : kProgressStep;
  stamped_ = entity != nullptr;
  if (total > kProgressStep)
    StartProgress("Ukládání modelu do souboru " + FileName + " -celkem " + std::to_string(total) + " Elementů", 0,
                  total);
  try {
    PrepareSave();
    WriteHeader();
    numbered_.reserve(static_cast<std::size_t>(std::max(total, 0)) + 1);
    TRecursor::DoIt();
  } catch (...) {
    EndProgress();
    throw;
  }
  EndProgress();
}

void TKestuSaver::PrepareSave() {
  if (TElement* input = Input(); input && !stamped_) input->MarkReachable();
  SetOwnedElement(classes_, new TKestuClasses);
}

void TKestuSaver::GoInside(TElement* element) {
  // The recursor's walk with this saver's tests (no action before, into
  // every entity, the record after), which only Process can disturb: it may
  // let pending messages run.
  auto* entity = QGoInside(element) ? static_cast<TEntity*>(element) : nullptr;
  if (NotInside || !entity) {
    LeftInside(element);
    return;
  }
  TWalkFrames frames(*this);
  const auto stillAt = [](TEntity& parent, int index, const TElement* child) {
    return index < parent.GetCount() && parent.GetElement(index) == child;
  };
  frames.Enter(entity);
  while (!frames.Empty()) {
    WalkFrame& top = frames.Top();
    TEntity& parent = *top.Entity;
    const int i = top.Index++;
    if (TElement* child = top.Inside) {
      // Back from the child's children, which had their records written.
      top.Inside = nullptr;
      LeftInside(child);
      if (stillAt(parent, i, child)) Process(child);
      continue;
    }
    if (i >= top.Count || i >= parent.GetCount()) {
      frames.Leave();
      continue;
    }
    TElement* child = parent.GetElement(i);
    if (!child) continue;
    if (QGoInside(child)) {
      // An element that contains itself, directly or further down, is walked once.
      if (OnDescentPath(child)) continue;
      if (!NotInside) {
        --top.Index;
        top.Inside = child;
        frames.Enter(static_cast<TEntity*>(child));
        continue;
      }
      LeftInside(child);
    }
    Process(child);
  }
  LeftInside(element);
}

void TKestuSaver::Process(TElement* element) {
  if (!element || IsWritten(element)) return;
  // An element being written inline gets its record only at the end of its own nested list.
  if (!inline_.empty() && IsOpenInline(element) && element != inline_.back()) return;
  const std::int32_t number = counter_++;
  numbered_.push_back(element);
  element->ID = number;
  if (counter_ % kProgressStep == 0) {
    SetProgress(counter_);
    SetProgressText("Uloženo " + std::to_string(counter_) + " elementů");
    platform::Application::Instance().ProcessMessages();
  }
  current_ = element;
  currentEntry_ = ClassKnown();
  currentClass_ = SavedClassOf(currentEntry_);
  WriteElementHead();
  WriteProperties();
  WriteChildren();
}

TKestuClass* TKestuSaver::ClassKnown() {
  TClass cls = current_->ClassType();
  if (cls == lastClass_) [[likely]]
    return lastSaved_->Entry;
  auto known = classNumbers_.find(cls);
  if (known == classNumbers_.end()) {
    TKestuClass* entry = KestuClasses()->FindEntry(cls->ClassName);
    if (!entry || entry->ElementClass() != cls) {
      Log(cls->ClassName + " - Unknown class !");
      entry = RegisterKestuClass(cls);
    }
    static_cast<TKestuClasses*>(classes_)->AddEntry(entry);
    SavedClass saved{entry, entry->ID, cls->InheritsFrom(TEntity::StaticClass()), {}};
    for (int i = 0; i < entry->PropCount(); ++i) {
      const TPropInfo* info = entry->PropertyInfo(i);
      if (!info->HasRead() || !info->HasWrite() || info->StoredConstant == false) continue;
      switch (info->Kind) {
        case tkInteger: case tkEnumeration: case tkSet: case tkChar: case tkFloat: case tkString: case tkLString:
        case tkClass:
          saved.Stored.push_back({i, info});
          break;
        default:
          break;
      }
    }
    known = classNumbers_.emplace(cls, std::move(saved)).first;
    WriteClassRecord(entry);
  }
  lastClass_ = cls;
  lastSaved_ = &known->second;
  return lastSaved_->Entry;
}

bool TKestuSaver::IsEntityClass(TClass cls) {
  if (cls == lastClass_) return lastSaved_->IsEntity;
  if (cls != testedClass_) {
    testedClass_ = cls;
    testedIsEntity_ = cls->InheritsFrom(TEntity::StaticClass());
  }
  return testedIsEntity_;
}

const TKestuSaver::SavedClass* TKestuSaver::SavedClassOf(const TKestuClass* entry) const {
  if (lastSaved_ && lastSaved_->Entry == entry) return lastSaved_;
  auto found = classNumbers_.find(entry->ElementClass());
  return found == classNumbers_.end() ? nullptr : &found->second;
}

bool TKestuSaver::CurrentIsEntity() const { return currentClass_ && currentClass_->IsEntity; }

std::int32_t TKestuSaver::NumberOf(const TElement* element) const {
  return IsWritten(element) ? element->ID : -1;
}

std::int32_t TKestuSaver::ClassNumberOf(const TKestuClass* entry) const {
  const SavedClass* saved = SavedClassOf(entry);
  return saved ? saved->Number : -1;
}

bool TKestuSaver::IsOpenInline(const TElement* element) const {
  return std::find(inline_.begin(), inline_.end(), element) != inline_.end();
}

bool TKestuSaver::CanReference(const TElement* element) const {
  if (IsWritten(element)) return true;
  return !IsOpenInline(element) && inline_.size() < KesMaxInlineDepth;
}

void TKestuSaver::WriteProperties() {
  TElement* element = current_;
  const SavedClass* saved = currentClass_ ? currentClass_ : SavedClassOf(currentEntry_);
  if (!saved) return;
  for (const StoredProperty& property : saved->Stored) {
    const TPropInfo* info = property.Info;
    if (!info->StoredConstant && info->StoredTest && !info->StoredTest(*element)) continue;
    position_ = property.Position;
    switch (info->Kind) {
      case tkInteger:
      case tkEnumeration:
      case tkSet:
        if (info->GetOrd)
          if (const std::int64_t value = info->GetOrd(*element); value != 0)
            WriteOrdinalValue(static_cast<std::int32_t>(value));
        break;
      case tkChar:
        if (info->GetOrd) WriteCharValue(static_cast<std::uint8_t>(info->GetOrd(*element)));
        break;
      case tkFloat:
        if (info->GetFloat)
          if (const long double value = info->GetFloat(*element); value != 0 && !std::isnan(value))
            WriteFloatValue(value);
        break;
      case tkString:
      case tkLString:
        if (info->GetStr)
          if (const std::string value = info->GetStr(*element); !value.empty()) WriteStringValue(value);
        break;
      case tkClass: {
        TElement* target = info->GetObj ? DynamicCast<TElement>(info->GetObj(*element)) : nullptr;
        if (!target) break;
        // A reference back into an element whose nested list is still open has no number to use.
        if (!CanReference(target)) {
          Log(currentEntry_->GetName() + " property " + Quoted(info->Name) + " refers to an element being written!");
          break;
        }
        WriteElementValue(target);
        break;
      }
      default:
        break;
    }
  }
}

void TKestuSaver::WriteInlineRecords(TElement* element) {
  TElement* savedElement = current_;
  TKestuClass* savedEntry = currentEntry_;
  const SavedClass* savedClass = currentClass_;
  const std::int32_t savedPosition = position_;
  inline_.push_back(element);
  if (QGoInside(element)) GoInside(element);
  Process(element);
  inline_.pop_back();
  // The number is used up: a later reference writes the element inline again.
  if (IsWritten(element)) numbered_[static_cast<std::size_t>(element->ID)] = nullptr;
  element->ID = -1;
  current_ = savedElement;
  currentEntry_ = savedEntry;
  currentClass_ = savedClass;
  position_ = savedPosition;
}

void TKestuSaver::ReportPropertyProblems(const TKestuClass* entry) {
  for (int i = 0; i < entry->PropCount(); ++i) {
    const TPropInfo* info = entry->PropertyInfo(i);
    if (!info->IsStoredOn(*current_)) continue;
    const std::string prefix = entry->GetName() + " property " + Quoted(info->Name);
    if (!info->HasRead() || !info->HasWrite()) Log(prefix + " is Read or Write Only!");
    if (info->Kind == tkClass && !(info->PropClass && info->PropClass->InheritsFrom(TElement::StaticClass())))
      Log(prefix + " is not Element!");
  }
}

// ---------------------------------------------------------------- TStreamSaver

TStreamSaver::TStreamSaver() = default;
TStreamSaver::~TStreamSaver() = default;

void TStreamSaver::DoIt() {
  struct Close {
    TStreamSaver& saver;
    ~Close() {
      saver.writer_.reset();
      saver.file_.reset();
    }
  } close{*this};
  // An existing file keeps its content until the new one is complete.
  file_ = std::make_unique<platform::TReplacingFileStream>(FileName);
  writer_ = std::make_unique<platform::TWriter>(*file_, kStreamBuffer);
  TKestuSaver::DoIt();
  writer_->WriteListEnd();
  writer_->FlushBuffer();
  file_->Commit();
}

void TStreamSaver::WriteHeader() {
  writer_->Write("KES0", 4);
  writer_->WriteString("KARTIR32");
  writer_->WriteString("3.01 BETA");
  writer_->WriteString(Comment());
  writer_->WriteListBegin();
}

void TStreamSaver::WriteClassRecord(TKestuClass* entry) {
  writer_->WriteInteger(-1);
  writer_->WriteString(entry->GetName());
  writer_->WriteInteger(ClassNumberOf(entry));
  writer_->WriteListBegin();
  for (int i = 0; i < entry->PropCount(); ++i) {
    writer_->WriteString(entry->PropertyName(i));
    writer_->WriteInteger(entry->PropertyKind(i));
  }
  ReportPropertyProblems(entry);
  writer_->WriteListEnd();
}

void TStreamSaver::WriteElementHead() {
  writer_->WriteInteger(ClassNumberOf(CurrentEntry()));
  writer_->WriteInteger(NumberOf(CurrentElement()));
}

void TStreamSaver::WriteProperties() {
  writer_->WriteListBegin();
  TKestuSaver::WriteProperties();
  writer_->WriteListEnd();
}

void TStreamSaver::WriteChildren() {
  auto* entity = CurrentIsEntity() ? static_cast<TEntity*>(CurrentElement()) : nullptr;
  if (!entity || entity->IsEmpty()) {
    writer_->WriteInteger(0);
    return;
  }
  writer_->WriteInteger(1);
  writer_->WriteListBegin();
  for (TElement* child : entity->Children()) {
    if (!child) continue;
    const std::int32_t number = NumberOf(child);
    if (number < 0) Log(child->GetName() + ": " + std::to_string(child->ID) + "\r");
    writer_->WriteInteger(number);
  }
  writer_->WriteListEnd();
}

void TStreamSaver::WriteOrdinalValue(std::int32_t value) {
  writer_->WriteInteger(PropertyPosition());
  writer_->WriteInteger(value);
}

void TStreamSaver::WriteCharValue(std::uint8_t code) {
  writer_->WriteInteger(PropertyPosition());
  writer_->WriteInteger(code);
}

void TStreamSaver::WriteFloatValue(long double value) {
  writer_->WriteInteger(PropertyPosition());
  writer_->WriteFloat(value);
}

void TStreamSaver::WriteStringValue(const std::string& value) {
  writer_->WriteInteger(PropertyPosition());
  writer_->WriteString(value);
}

void TStreamSaver::WriteElementValue(TElement* element) {
  writer_->WriteInteger(PropertyPosition());
  if (const std::int32_t number = NumberOf(element); number >= 0) {
    writer_->WriteInteger(number);
    return;
  }
  writer_->WriteInteger(-2);
  writer_->WriteListBegin();
  WriteInlineRecords(element);
  writer_->WriteListEnd();
}

// ---------------------------------------------------------------- TSaver

TSaver::TSaver() { SetName("KESTU.KES"); }
TSaver::~TSaver() = default;

bool TSaver::QProcessAfter(TElement*) { return true; }

void TSaver::DoIt() {
  platform::WaitCursor hourglass;
  struct Close {
    TSaver& saver;
    ~Close() {
      saver.writer_.reset();
      saver.file_.reset();
      saver.written_.clear();
    }
  } close{*this};
  file_ = std::make_unique<platform::TReplacingFileStream>(GetName());
  writer_ = std::make_unique<platform::TWriter>(*file_, kComponentBuffer);
  counter_ = 0;
  writer_->Write("TPF0", 4);
  writer_->WriteListBegin();
  TRecursor::DoIt();
  writer_->WriteListEnd();
  writer_->FlushBuffer();
  file_->Commit();
}

void TSaver::Process(TElement* element) {
  // Its own record of what it wrote, so an unstamped graph is written whole.
  if (!element || !written_.insert(element).second) return;
  element->ID = counter_++;
  element->WriteData(*writer_);
}

// ---------------------------------------------------------------- classes

TClass TKestuSaver::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuSaver>("TKestuSaver", TRecursor::StaticClass(), "T_saver",
                                                            {FieldProp("FileName", &TKestuSaver::FileName)});
  return &info;
}

TClass TStreamSaver::StaticClass() {
  static const TClassInfo info = DescribeClass<TStreamSaver>("TStreamSaver", TKestuSaver::StaticClass(), "T_saver", {});
  return &info;
}

TClass TSave::StaticClass() {
  static const TClassInfo info = DescribeClass<TSave>("TSave", TStreamSaver::StaticClass(), "T_saver", {});
  return &info;
}

TClass TSaver::StaticClass() {
  static const TClassInfo info = DescribeClass<TSaver>("TSaver", TRecursor::StaticClass(), "T_saver", {});
  return &info;
}

void RegisterSaverClasses() {
  RegisterKestuClass(TSave::StaticClass());
  RegisterKestuClass(TSaver::StaticClass());
}
