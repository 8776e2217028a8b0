#include "platform/run_time_controls.h"

#include <QLabel>
#include <QLineEdit>

#include "platform/form_access.h"
#include "platform/widget_bounds.h"

namespace platform {
namespace {

QWidget& FreeNameOn(Form& form, const std::string& name) {
  QWidget& root = FormAccess::Root(form);
  if (form.HasControl(name)) throw EFormLayoutError("Form " + form.LayoutName() + " already has a control " + name);
  return root;
}

}  // namespace

void AddRunTimeEdit(Form& form, const std::string& name, const Bounds& bounds) {
  QWidget& root = FreeNameOn(form, name);
  auto* edit = new QLineEdit(&root);
  edit->setObjectName(QString::fromStdString(name));
  const Bounds held = WidgetBounds(bounds);
  edit->setGeometry(held.Left, held.Top, held.Width, held.Height);
  edit->show();
}

void AddRunTimeLabel(Form& form, const std::string& name, const std::string& caption, int left) {
  QWidget& root = FreeNameOn(form, name);
  auto* label = new QLabel(QString::fromStdString(caption), &root);
  label->setObjectName(QString::fromStdString(name));
  const QSize size = label->sizeHint();
  label->setGeometry(WidgetPlace(left), (root.height() - size.height()) / 2, size.width(), size.height());
  label->show();
}

}  // namespace platform
