#pragma once
// A page control of a form, reached by its name: pages in layout order, each
// with its caption, shown or hidden as a tab, one of them active.
#include <functional>
#include <string>

#include "platform/forms.h"

namespace platform {

class TabPages {
 public:
  // EFormLayoutError when the form has no page control of that name.  The
  // handle holds no state.
  TabPages(Form& form, const std::string& control);

  int PageCount() const;
  // The component name of the page at index.
  std::string PageName(int index) const;
  std::string PageCaption(int index) const;
  void SetPageCaption(int index, const std::string& caption);
  // Whether the page shows as a tab; a hidden page cannot be the active one.
  bool PageVisible(int index) const;
  void SetPageVisible(int index, bool visible);
  // -1 when no page shows.
  int ActivePage() const;
  void SetActivePage(int index);
  // Another page became the active one, by the program or the user.
  void OnChange(std::function<void()> handler);

 private:
  Form& form_;
  std::string control_;
};

// The user clicks the tab of the page at index.
void UserChooseTab(Form& form, const std::string& control, int index);

}  // namespace platform
