#pragma once
// The framework's depth-first walk over an element graph, with overridable
// tests and an action run on each element before and after its children.
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "framework/tools/tools.h"

class TRecursor : public TTechnology {
  KESTX_CLASS(TRecursor)
 public:
  bool NotInside = false;
  // Depth of the element being visited: 1 for Input.
  std::int32_t Level = 0;

  void DoIt() override;

  virtual void GoInside(TElement* element);
  virtual bool QGoInside(TElement* element);
  virtual bool QProcessBefore(TElement* element);
  virtual bool QProcessAfter(TElement* element);
  virtual void Process(TElement* element);
  virtual void Prepare();

 protected:
  // Run after the walk below an entity has ended, where a recursive walk
  // would return from GoInside on it.
  virtual void LeftInside(TElement* element);

  // The levels of a walk below an entity are frames of a list, not of the
  // stack: a file may nest entities a million deep.  Entering an entity puts
  // it on the descent path; leaving it, or unwinding on an exception, takes
  // it off again.
  struct WalkFrame {
    TEntity* Entity;
    int Count;  // taken once, before the loop over the children
    int Index = 0;
    bool OnPath;                 // this frame put Entity on the descent path
    TElement* Inside = nullptr;  // the child whose children are being walked
    // Entity answers from its list: the walk reads the list itself, again
    // after every hook (a hook may change it).
    bool Direct = false;
  };
  class TWalkFrames {
   public:
    explicit TWalkFrames(TRecursor& recursor) : recursor_(recursor) {}
    TWalkFrames(const TWalkFrames&) = delete;
    TWalkFrames& operator=(const TWalkFrames&) = delete;
    ~TWalkFrames();
    void Enter(TEntity* entity);
    void Leave();
    bool Empty() const { return frames_.empty(); }
    // Valid until the next Enter.
    WalkFrame& Top() { return frames_.back(); }

   private:
    TRecursor& recursor_;
    std::vector<WalkFrame> frames_;
  };
  bool OnDescentPath(const TElement* element) const;

 private:
  // The entities whose children are being walked.  Every child of a walk is
  // looked up here, and a walk seldom nests deeper than a few levels: the
  // first levels are kept in a short list, searched faster than a hash set
  // is asked and entered without allocating; levels past them go into a
  // set, so that a path a million deep still answers in constant time.
  class TDescentPath {
   public:
    // False, changing nothing, when the entity is already on the path.
    bool Insert(const TElement* entity);
    void Erase(const TElement* entity);
    bool Contains(const TElement* entity) const;

   private:
    static constexpr std::size_t kListed = 24;
    std::vector<const TElement*> listed_;
    std::unordered_set<const TElement*> deeper_;
  };
  TDescentPath descent_;
};

// A recursor whose tests and actions are sub-tools named in its model.
class TRecursorWithTools : public TRecursor {
  KESTX_CLASS(TRecursorWithTools)
 public:
  TTool* BeforeTool() const { return static_cast<TTool*>(beforeTool_.Get()); }
  void SetBeforeTool(TTool* tool) { beforeTool_.Set(tool); }
  TTool* AfterTool() const { return static_cast<TTool*>(afterTool_.Get()); }
  void SetAfterTool(TTool* tool) { afterTool_.Set(tool); }
  TTool* QGoInsideTool() const { return static_cast<TTool*>(qGoInsideTool_.Get()); }
  void SetQGoInsideTool(TTool* tool) { qGoInsideTool_.Set(tool); }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement* element) override;

 private:
  TElementLink beforeTool_;
  TElementLink afterTool_;
  TElementLink qGoInsideTool_;
};

void RegisterRecursorClasses();
