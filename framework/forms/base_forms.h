#pragma once
// The base form of every window and the base form part: each belongs to a
// tool and turns what the user does into framework messages posted to that
// tool.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "platform/forms.h"

class TTool;

enum : int { msgFileDropped = 70 };

class TKESTUForm : public TPersistent {
  KESTX_CLASS(TKESTUForm)
 public:
  // Makes the window from the layout of that name.
  explicit TKESTUForm(const std::string& layout);
  virtual ~TKESTUForm();
  TKESTUForm(const TKESTUForm&) = delete;
  TKESTUForm& operator=(const TKESTUForm&) = delete;

  platform::Form& Window() { return *window_; }
  const platform::Form& Window() const { return *window_; }
  TTool* Tool() const;
  bool CanClose() const { return canClose_; }
  bool AcceptDropFiles() const { return window_->AcceptDropFiles(); }

  virtual void SetTool(TTool* tool);
  // A form that may not close by itself asks its tool to close it instead.
  virtual void SetCanClose(bool value);
  virtual void SetAcceptDropFiles(bool value);

 private:
  bool CloseQuery();
  void FilesDropped(const std::vector<std::string>& files);

  std::unique_ptr<platform::Form> window_;
  TElementLink tool_;
  bool canClose_ = true;
};

// Changes a form's bounds through change; nothing without a form.
void ChangeFormBounds(TKESTUForm* form, const std::function<void(platform::Bounds&)>& change);

// A form part embedded in a container of another form.  It lives as long as
// the object, and leaves the host form when destroyed.
class TKestu_Frame {
 public:
  // Makes the part from the layout of that name inside the host's container.
  TKestu_Frame(const std::string& layout, TKESTUForm& host, const std::string& container);
  // Makes the part from the layout on its own, to be placed into a control
  // of another window later.
  explicit TKestu_Frame(const std::string& layout);
  virtual ~TKestu_Frame();
  TKestu_Frame(const TKestu_Frame&) = delete;
  TKestu_Frame& operator=(const TKestu_Frame&) = delete;

  platform::Form& Window() { return *window_; }
  const platform::Form& Window() const { return *window_; }
  TTool* Tool() const;
  bool AcceptDropFiles() const { return window_->AcceptDropFiles(); }

  virtual void SetTool(TTool* tool);
  virtual void SetAcceptDropFiles(bool value);

 private:
  // Each file goes to the tool when there is one, and is shown in any case.
  void FilesDropped(const std::vector<std::string>& files);

  std::unique_ptr<platform::Form> window_;
  TElementLink tool_;
};
