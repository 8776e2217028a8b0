#pragma once
// The element explorer: a tree of elements that unfolds downwards (children)
// or upwards (owners) one level at a time, a detail list of the selected
// element's children or owners with columns from the class models, a status
// line, and a pop-up menu that hands the selected element to the main tool.
// The tree's nodes hold their elements by handle: when an element a node
// shows is freed (the model was cleared), the explorer is told and its node
// goes, and no freed element is ever read.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/forms/base_forms.h"
#include "render/tool_forms/form_tool.h"

class TElementWatch;
class TRegisterClassModel;

enum : int {
  msgSaveElement = 25,
  msgLoadElement = 26,
  msgOpenGraphicWindow = 30,
  msgOpenExplorer = 36,
  msgOpenOwnersExplorer = 37,
  msgOpenPropertyEditor = 58,
};

class TExplorerForm : public TKESTUForm {
  KESTX_CLASS(TExplorerForm)
 public:
  TExplorerForm();
  ~TExplorerForm() override;
  // The tool is also the one the watcher of freed elements asks to prune.
  void SetTool(TTool* tool) override;

  bool OwnersMode() const { return ownersMode_; }
  void SetOwnersMode(bool value) { ownersMode_ = value; }
  bool ListHidden() const { return listHidden_; }
  void SetListHidden(bool hidden);

  // Empties the tree and adds the element as its root, prepared.
  void ShowRoot(TElement* element);
  // The element of a node; nil when it has been freed.
  TElement* ElementOf(int node) const;
  TElement* Selected() const;
  // The watch window on the selected element, or nil.
  TElementWatch* Watch() const { return watch_.get(); }
  // Frees an open watch window and opens a new one on the selected element.
  void OpenWatch();

  // Removes every node whose element has been freed, with its sub-nodes, and
  // prepares again a node left without sub-nodes (its element may have other
  // children now).
  void Prune();

 private:
  // The pictures of the system register's image list.
  void LoadImages();
  // Gives the node its picture and its first child node, so that it shows an
  // expand mark.
  void Prepare(int node);
  int AddNode(int parent, TElement* element);
  // Adds a row of the detail list with the element's picture.
  void AddRow(TElement* element, const std::vector<std::string>& texts);
  void Expanded(int node);
  void Collapsed(int node);
  void ShowDetails();
  void SetListStyle(const std::string& button, platform::Form::ListStyle style);
  void FillOwners(TElement* element);
  void FillChildren(TElement* element);
  TRegisterClassModel* ClassModel(TClass cls);
  void Post(int code, bool toMainTool);

  friend class TreeFill;
  // The handles the tree shows, and whether a prune was asked for; shared
  // with the watcher of freed elements, which may run on another thread.
  struct Shown;
  std::shared_ptr<Shown> shown_;
  int watcher_ = 0;
  bool ownersMode_ = false;
  bool listHidden_ = false;
  bool filling_ = false;
  TClass cachedClass_ = nullptr;
  TElementLink cachedModel_;
  // The sub-class whose property models give the list's columns.
  std::string columnsClass_;
  std::vector<std::string> columns_;
  std::unique_ptr<TElementWatch> watch_;
};

class TExplorer : public TFormTool {
  KESTX_CLASS(TExplorer)
 public:
  bool Modal = false;
  bool ShowOwners = false;
  bool DontShowList = false;

  TExplorerForm* ExplorerForm() const;
  void CreateForm() override;
  void DoIt() override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;
};

void RegisterExplorerClasses();
