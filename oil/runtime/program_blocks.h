#pragma once
// The base of a compiled OIL program's tree: statements, and the blocks that
// hold them, declare variables and keep their values on a stack shared down
// the tree (or, in a routine, in a frame of its own activation).  Variables
// find their storage here; the statements of the language build on it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "oil/runtime/operators.h"

// The list under an owner's field, made and named on first use; the owner
// holds it as a child.
template <class T>
T* OwnedList(TEntity& owner, TElement*& field, const std::string& name) {
  if (!field) {
    auto* list = new T;
    list->SetName(name);
    owner.AddElement(list);
    field = list;
  }
  return static_cast<T*>(field);
}

// What a debugger knows of a statement: whether the run stops before it,
// and the source line it was compiled from.
struct TOilDebugInfo {
  bool Breakpoint = false;
  std::int32_t SourceLine = -1;
};

class TOilLine : public TOwnerEntity {
  KESTX_CLASS(TOilLine)
 public:
  virtual int GetSourceLine() const { return sourceLine_; }
  virtual void SetSourceLine(int line) { sourceLine_ = line; }
  // A plain statement is never flagged: only its source line is kept.
  virtual TOilDebugInfo GetDebugInfo() const { return {false, sourceLine_}; }
  virtual void SetDebugInfo(const TOilDebugInfo& info) { sourceLine_ = info.SourceLine; }
  virtual void Execute() {}

 private:
  std::int32_t sourceLine_ = -1;
};

// Runs a statement at a point between statements (where a run may be
// suspended or stopped); nil does nothing.
void ExecuteLine(TOilLine* line);

class TVarInfo : public TElement {
  KESTX_CLASS(TVarInfo)
 public:
  std::uint8_t VarType = 0;
  std::string TypeName;
};

// Stores a value into a storage element that holds a variable of a declared
// element class (named by typeName when the storage has no name of its own);
// raises code 3 when an element of another class is given.
void AssignToStorage(TTypeElement& storage, const TOilValue& value, const std::string* typeName = nullptr);

// A value element of a type code, as a frame holds it before assignment.
std::unique_ptr<TTypeElement> NewValueOfType(int type, const std::string& typeName);
// The class of that element.
TClass SlotClassOf(int type);
// Whether a variable of the target type takes a value of the source type.
bool TypesCompatible(int target, int source);

// The variables of one activation: of a routine, value elements of its own,
// kept for the next activation at the same depth of calls; of a program, the
// elements of its frame in the stack, which its run does not let anyone free.
// By-reference parameters refer to the caller's storage, which outlives the
// activation.
struct TOilFrame {
  std::vector<TTypeElement*> Slots;
  std::vector<TTypeElement*> Targets;
  std::vector<std::unique_ptr<TTypeElement>> Owned;
  // The declared type of each of a routine's own slots.
  std::vector<int> Types;
};

class TOilBlock : public TOilLine {
  KESTX_CLASS(TOilBlock)
 public:
  // Where the current frame of the block starts in the stack.
  std::int32_t Base = 0;

  TNameEntity* GetLines();
  TOilLine* GetLine(int index);
  // Past the end appends; else replaces (and frees) the statement there.
  void SetLine(int index, TOilLine* line);
  // An empty statement is ignored.
  void AddLine(TOilLine* line);
  int LineCount() const;

  TNameEntity* GetVarInfo();
  TVarInfo* GetVarInfoItem(int index);
  int VarCount() const;
  // The name is kept only by the blocks a debugger looks into.
  void AddVariable(int type, const std::string& typeName, const std::string& name = {});
  int GetVarType(int index);
  void SetVarType(int index, int type);
  std::string GetVarTypeName(int index);
  // Cut to 30 characters.
  void SetVarTypeName(int index, const std::string& name);

  TOwnerEntity* GetStack();
  // Shares another block's stack.
  void SetStack(TOwnerEntity* stack);
  TTypeElement* GetStackItem(int index);
  // The same, where the element is expected to be of the class: checked by
  // identity, not by a walk up the class tree.
  TTypeElement* GetStackItem(int index, TClass expected);
  // At or past the top pushes the value; else copies it into the element there.
  void SetStackValue(int index, TOilValue value);
  // Frees the stack's elements from the top down to count.
  void PopStackTo(int count);

  virtual void PushVariables();
  virtual void PopVariables();

  // The storage of a variable of the current activation: in the routine's
  // own frame, or in the stack at Base + index, expected of the class.
  TTypeElement* VariableSlot(int index, TClass expected) {
    if (frame_ && index >= 0 && static_cast<std::size_t>(index) < frame_->Slots.size())
      return frame_->Slots[static_cast<std::size_t>(index)];
    return GetStackItem(Base + index, expected);
  }
  // The caller's storage a by-reference parameter of the current activation
  // refers to; nil outside a routine's frame.
  TTypeElement* ReferenceTarget(int index) const {
    return frame_ && index >= 0 && static_cast<std::size_t>(index) < frame_->Targets.size()
               ? frame_->Targets[static_cast<std::size_t>(index)]
               : nullptr;
  }

  void Execute() override;

 protected:
  // The frame of the routine's current activation (nil for a block that
  // keeps its variables in the stack).
  TOilFrame* frame_ = nullptr;

  // Runs the statement list once (the count is read before the first).
  void ExecuteLines();
  // The description of a new variable.
  virtual TVarInfo* NewVarInfo(const std::string& /*name*/) { return new TVarInfo; }

 private:
  TElement* lines_ = nullptr;
  TElement* varInfo_ = nullptr;
  TElement* stack_ = nullptr;
};

// Pushes a block's frame for one activation and removes it again, also when
// an error passes through; the block's Base is that of the activation while
// it lasts.
class TBlockFrame {
 public:
  explicit TBlockFrame(TOilBlock& block);
  ~TBlockFrame();
  TBlockFrame(const TBlockFrame&) = delete;
  TBlockFrame& operator=(const TBlockFrame&) = delete;

 private:
  TOilBlock& block_;
  std::int32_t savedBase_;
  int savedCount_;
};
