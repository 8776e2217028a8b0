#pragma once
// The base form of every window: it belongs to a tool and turns what the
// user does into framework messages posted to that tool.
#include <memory>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "platform/forms.h"

class TTool;

enum : int { msgFileDropped = 70 };

class TKESTUForm {
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
