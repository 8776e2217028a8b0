#include "platform/tab_pages.h"

#include <QTabBar>
#include <QTabWidget>

#include "platform/form_controls.h"

namespace platform {
namespace {

QTabWidget& PagesOf(const Form& form, const std::string& control) {
  auto* pages = qobject_cast<QTabWidget*>(&FormControl(form, control));
  if (pages == nullptr)
    throw EFormLayoutError("Control " + control + " of the form " + form.LayoutName() + " is no page control");
  return *pages;
}

void ExpectPage(const QTabWidget& pages, const std::string& control, int index) {
  if (index < 0 || index >= pages.count())
    throw EFormLayoutError("Page control " + control + " has no page " + std::to_string(index));
}

}  // namespace

TabPages::TabPages(Form& form, const std::string& control) : form_(form), control_(control) {
  PagesOf(form_, control_);
}

int TabPages::PageCount() const { return PagesOf(form_, control_).count(); }

std::string TabPages::PageName(int index) const {
  const QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  return pages.widget(index)->objectName().toStdString();
}

std::string TabPages::PageCaption(int index) const {
  const QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  return pages.tabText(index).toStdString();
}

void TabPages::SetPageCaption(int index, const std::string& caption) {
  QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  pages.setTabText(index, QString::fromStdString(caption));
}

bool TabPages::PageVisible(int index) const {
  const QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  return pages.isTabVisible(index);
}

void TabPages::SetPageVisible(int index, bool visible) {
  QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  pages.setTabVisible(index, visible);
  // The tab bar moves off a page it hides; the widget must follow it.
  if (!visible && pages.currentIndex() == index)
    for (int other = 0; other < pages.count(); ++other)
      if (pages.isTabVisible(other)) return pages.setCurrentIndex(other);
}

int TabPages::ActivePage() const {
  const QTabWidget& pages = PagesOf(form_, control_);
  const int current = pages.currentIndex();
  return current >= 0 && pages.isTabVisible(current) ? current : -1;
}

void TabPages::SetActivePage(int index) {
  QTabWidget& pages = PagesOf(form_, control_);
  ExpectPage(pages, control_, index);
  if (pages.isTabVisible(index)) pages.setCurrentIndex(index);
}

void TabPages::OnChange(std::function<void()> handler) {
  QTabWidget& pages = PagesOf(form_, control_);
  QObject::connect(&pages, &QTabWidget::currentChanged, &pages,
                   [handler = std::move(handler)](int) { RunGuarded(handler); });
}

void UserChooseTab(Form& form, const std::string& control, int index) {
  QTabWidget& pages = PagesOf(form, control);
  ExpectPage(pages, control, index);
  if (!pages.isTabVisible(index) || !pages.isTabEnabled(index))
    throw EFormLayoutError("Page " + std::to_string(index) + " of " + control + " shows no tab");
  pages.tabBar()->setCurrentIndex(index);
}

}  // namespace platform
