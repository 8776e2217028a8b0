#include "platform/form_parts.h"

#include <QToolBar>

#include "platform/form_access.h"

namespace platform {
namespace {

QToolBar& Bar(const Form& host, const std::string& toolBar) {
  auto* bar = qobject_cast<QToolBar*>(&FormAccess::Control(host, toolBar));
  if (bar == nullptr) throw EFormLayoutError("Control " + toolBar + " of the form " + host.LayoutName() + " is no tool bar");
  return *bar;
}

}  // namespace

void PlaceFormInToolBar(Form& part, Form& host, const std::string& toolBar) {
  QToolBar& bar = Bar(host, toolBar);
  QWidget& window = FormAccess::Root(part);
  window.setWindowFlags(Qt::Widget);
  bar.addWidget(&window);
  window.show();
}

bool FormInToolBar(const Form& part, const Form& host, const std::string& toolBar) {
  return FormAccess::Root(part).parentWidget() == &Bar(host, toolBar);
}

}  // namespace platform
