#include "oil/runtime/program_blocks.h"

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "oil/errors/lang_errors.h"
#include "oil/runtime/run_context.h"

namespace {

[[noreturn]] void Fail(int code) { throw TRunTimeError(code); }

// Replaces a child the entity alone held; the replaced one is freed.
void ReplaceChild(TEntity& entity, int index, TElement* element) {
  TElement* old = entity.GetElement(index);
  entity.SetElement(index, element);
  if (old && old != element && old->HolderCount() == 0) delete old;
}

// The declared class of an element storage: its name, TELEMENT when unnamed.
std::string DeclaredClassOf(const TTypeElement& storage) {
  return storage.HasName() ? storage.GetName() : std::string("TELEMENT");
}

}  // namespace

void ExecuteLine(TOilLine* line) {
  BetweenStatements();
  if (line) line->Execute();
}

std::unique_ptr<TTypeElement> NewValueOfType(int type, const std::string& typeName) {
  using Made = std::unique_ptr<TTypeElement>;
  switch (type) {
    case otBoolean: return Made(TBooleanElement::CreateValue(false));
    case otChar: return Made(TCharElement::CreateValue('\0'));
    case otByte: return Made(TByteElement::CreateValue(0));
    case otFloat: return Made(TFloatElement::CreateValue(0));
    case otString: return Made(TStringElement::CreateValue(std::string()));
    case otInteger: return Made(TIntegerElement::CreateValue(0));
    case otElement: {
      Made value(TPointerElement::CreateValue(nullptr));
      value->SetName(typeName);
      return value;
    }
    default:
      // No declaration yields another type; the slot keeps its place.
      return std::make_unique<TTypeElement>();
  }
}

TClass SlotClassOf(int type) {
  switch (type) {
    case otBoolean: return TBooleanElement::StaticClass();
    case otChar: return TCharElement::StaticClass();
    case otByte: return TByteElement::StaticClass();
    case otFloat: return TFloatElement::StaticClass();
    case otString: return TStringElement::StaticClass();
    case otInteger: return TIntegerElement::StaticClass();
    case otElement: return TPointerElement::StaticClass();
    default: return TTypeElement::StaticClass();
  }
}

bool TypesCompatible(int target, int source) {
  if (target == source || target == otAny) return true;
  if (target == otFloat) return source == otByte || source == otInteger;
  if (target == otString) return source == otChar;
  if (target == otInteger) return source == otByte;
  return false;
}

void AssignToStorage(TTypeElement& storage, const TOilValue& value, const std::string* typeName) {
  if (!value) Fail(rteNoValue);
  if (TypeCodeOf(storage) == otElement && TypeCodeOf(*value) == otElement && value.ElementHandle() != 0) {
    TElement* element = value->GetAsPointer();
    TClass cls = FindKestuClass(typeName ? *typeName : DeclaredClassOf(storage));
    if (element && (!cls || !element->InheritsFrom(cls))) Fail(rteTypeMismatch);
  }
  value.StoreInto(storage);
}

// ---------------------------------------------------------------- blocks

TNameEntity* TOilBlock::GetLines() { return OwnedList<TNameEntity>(*this, lines_, "Program Lines"); }

TOilLine* TOilBlock::GetLine(int index) { return static_cast<TOilLine*>(GetLines()->GetElement(index)); }

void TOilBlock::SetLine(int index, TOilLine* line) {
  if (!line) return;
  TNameEntity* lines = GetLines();
  if (index >= lines->GetCount()) lines->AddElement(line);
  else ReplaceChild(*lines, index, line);
}

void TOilBlock::AddLine(TOilLine* line) {
  if (line) GetLines()->AddElement(line);
}

int TOilBlock::LineCount() const {
  return lines_ ? static_cast<int>(static_cast<TEntity*>(lines_)->Children().size()) : 0;
}

TNameEntity* TOilBlock::GetVarInfo() { return OwnedList<TNameEntity>(*this, varInfo_, "VarInfo"); }

TVarInfo* TOilBlock::GetVarInfoItem(int index) { return static_cast<TVarInfo*>(GetVarInfo()->GetElement(index)); }

int TOilBlock::VarCount() const {
  return varInfo_ ? static_cast<int>(static_cast<TEntity*>(varInfo_)->Children().size()) : 0;
}

void TOilBlock::AddVariable(int type, const std::string& typeName, const std::string& name) {
  auto* info = NewVarInfo(name);
  GetVarInfo()->AddElement(info);
  SetVarType(VarCount() - 1, type);
  SetVarTypeName(VarCount() - 1, typeName);
}

int TOilBlock::GetVarType(int index) { return GetVarInfoItem(index)->VarType & 0x7F; }
void TOilBlock::SetVarType(int index, int type) { GetVarInfoItem(index)->VarType = static_cast<std::uint8_t>(type); }
std::string TOilBlock::GetVarTypeName(int index) { return GetVarInfoItem(index)->TypeName; }
void TOilBlock::SetVarTypeName(int index, const std::string& name) { GetVarInfoItem(index)->TypeName = name.substr(0, 30); }

TOwnerEntity* TOilBlock::GetStack() {
  if (stack_) return static_cast<TOwnerEntity*>(stack_);
  return OwnedList<TOwnerEntity>(*this, stack_, "STACK" + GetName());
}

void TOilBlock::SetStack(TOwnerEntity* stack) { SetOwnedElement(stack_, stack); }

TTypeElement* TOilBlock::GetStackItem(int index) {
  auto* stack = static_cast<TEntity*>(stack_ ? stack_ : GetStack());
  const auto& items = stack->Children();
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) Fail(rteInternal);
  // The stack is an element like any other: a script may have put anything there.
  auto* item = DynamicCast<TTypeElement>(items[static_cast<std::size_t>(index)]);
  if (!item) Fail(rteInternal);
  return item;
}

TTypeElement* TOilBlock::GetStackItem(int index, TClass expected) {
  const auto& items = static_cast<TEntity*>(stack_ ? stack_ : GetStack())->Children();
  if (index >= 0 && static_cast<std::size_t>(index) < items.size()) {
    TElement* item = items[static_cast<std::size_t>(index)];
    if (item->ClassType() == expected) return static_cast<TTypeElement*>(item);
  }
  return GetStackItem(index);
}

void TOilBlock::SetStackValue(int index, TOilValue value) {
  if (!value) Fail(rteNoValue);
  TOwnerEntity* stack = GetStack();
  if (index >= stack->GetCount()) {
    stack->AddElement(value.NewElement().release());
    return;
  }
  AssignToStorage(*GetStackItem(index), value);
}

void TOilBlock::PopStackTo(int count) {
  TOwnerEntity* stack = GetStack();
  while (static_cast<int>(stack->Children().size()) > count && !stack->Children().empty())
    stack->FreeElement(stack->Children().back());
}

void TOilBlock::PushVariables() {
  TOwnerEntity* stack = GetStack();
  Base = stack->GetCount();
  const int count = VarCount();
  for (int i = 0; i < count; ++i) {
    const TVarInfo* info = GetVarInfoItem(i);
    stack->AddElement(NewValueOfType(info->VarType & 0x7F, info->TypeName).release());
  }
}

void TOilBlock::PopVariables() { PopStackTo(GetStack()->GetCount() - VarCount()); }

void TOilBlock::ExecuteLines() {
  if (!lines_) return;
  const auto& lines = static_cast<TEntity*>(lines_)->Children();
  const std::size_t count = lines.size();
  for (std::size_t i = 0; i < count && i < lines.size(); ++i) ExecuteLine(static_cast<TOilLine*>(lines[i]));
}

void TOilBlock::Execute() {
  // A block that declares nothing has no frame to push.
  if (VarCount() == 0) return ExecuteLines();
  TBlockFrame frame(*this);
  ExecuteLines();
}

TBlockFrame::TBlockFrame(TOilBlock& block)
    : block_(block), savedBase_(block.Base), savedCount_(block.GetStack()->GetCount()) {
  block.PushVariables();
}

TBlockFrame::~TBlockFrame() {
  block_.PopStackTo(savedCount_);
  block_.Base = savedBase_;
}

// ---------------------------------------------------------------- class descriptions

#define OIL_PROGRAM_INFO(Self, Parent, ...) OIL_CLASS_INFO(Self, Parent, "OilProgram", __VA_ARGS__)
OIL_PROGRAM_INFO(TOilLine, TOwnerEntity)
OIL_PROGRAM_INFO(TVarInfo, TElement, FieldProp("VarType", &TVarInfo::VarType),
                 FieldProp("TypeName", &TVarInfo::TypeName))
OIL_PROGRAM_INFO(TOilBlock, TOilLine)
