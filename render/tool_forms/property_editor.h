#pragma once
// The property editor: every published property of one object in three
// grids (those its framework base class publishes, the others, the methods),
// edited in place and written back as text; an object-valued property opens
// a nested editor.  The editor holds its object by handle: when the object
// is freed (the model was cleared), the editor closes and reads nothing of
// it.  An object that is no element is reached afresh, each time, through
// the properties that lead to it from the element it was found under.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/forms/base_forms.h"
#include "framework/tools/tools.h"

class TInstanceProperties;

class TFProp : public TKESTUForm {
  KESTX_CLASS(TFProp)
 public:
  // The three grids, in page order.
  static constexpr const char* kGrids[3] = {"sgElementProperties", "sgAscProperties", "sgMethods"};

  TFProp();

  // The grid of the active page.
  std::string CurrentGrid() const;
  // Column 1 of the current grid takes the width column 0 leaves.
  void FitColumns();
  // The row of the last selected cell, -1 before any.
  int SelectedRow() const;

 private:
  void GridMouse(const std::string& grid, platform::MouseAction action, const platform::MouseInput& input);
  // Posts the edit of the cell at (col, row) to the editor.
  void PostEdit(int col, int row);
  void PostToMainTool(int code);

  std::int32_t mouseX_ = 0;
  std::int32_t mouseY_ = 0;
};

class TObjectPropertyEditor : public TTool {
  KESTX_CLASS(TObjectPropertyEditor)
 public:
  TObjectPropertyEditor();
  ~TObjectPropertyEditor() override;

  // Made on first use.
  TFProp* Form();
  TInstanceProperties* Properties() const { return properties_.get(); }
  bool Refilling = false;

  virtual std::int32_t GetLeft();
  virtual std::int32_t GetTop();
  virtual std::int32_t GetWidth();
  virtual std::int32_t GetHeight();
  virtual void SetLeft(std::int32_t value);
  virtual void SetTop(std::int32_t value);
  virtual void SetWidth(std::int32_t value);
  virtual void SetHeight(std::int32_t value);
  virtual std::string GetCaption();
  virtual void SetCaption(const std::string& caption);

  // The edited element; watched, so that its freeing closes the editor.
  void SetInput(TElement* element) override;
  // Edits an object that is no element: the one the named properties lead
  // to, one after the other, from the element holder.
  void SetHeldObject(TElement* holder, std::vector<std::string> path);
  // The edited object; nil when it is gone.
  TObject* Edited() const;

  // Shows the object's properties; nothing for a missing object.
  void DoIt() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
  // Frees the editor with its window.
  void ToolClosed(TKestuMessage* message, bool& handled) override;
  // Writes one row per property into the grid of its kind: appended at the
  // first fill, the same rows again from the top at a refill.
  void Fill();

 private:
  // Index of the first property that is not its framework base class's;
  // 0 for objects that are no elements.
  int ElementPropertyCount() const;
  void EditCell(int col);
  void OpenNested(const std::string& property);

  std::unique_ptr<TFProp> form_;
  std::unique_ptr<TInstanceProperties> properties_;
  std::vector<std::string> path_;
  // Shared with the watcher of freed elements, which may run on another thread.
  struct Watched;
  std::shared_ptr<Watched> watched_;
  int watcher_ = 0;
};

void RegisterPropertyEditorClasses();
