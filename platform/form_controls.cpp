// The controls of a form: texts, checks, lists, ranges, colours, pictures,
// cursors and places.
#include "platform/forms.h"

#include <cstdint>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStringList>
#include <QTextEdit>
#include <QToolBar>
#include <QWidget>

#include "platform/canvas.h"
#include "platform/form_controls.h"
#include "platform/form_impl.h"
#include "platform/screen_cursors.h"

namespace platform {

namespace {

// The panel at index of a status bar of several panels: labels made all at
// once on first use, so that they stand in index order.
QLabel* StatusPanelAt(QStatusBar& bar, int index) {
  const int count = bar.property("panels").toInt();
  if (index < 0 || index >= count) return nullptr;
  const auto name = [](int i) { return QStringLiteral("qt_status_panel_%1").arg(i); };
  if (bar.findChild<QLabel*>(name(0)) == nullptr) {
    for (int i = 0; i < count; ++i) {
      auto* panel = new QLabel(&bar);
      panel->setObjectName(name(i));
      bar.addWidget(panel, 1);
    }
  }
  return bar.findChild<QLabel*>(name(index));
}

}  // namespace

bool Form::PlayAnimation(const std::string& control, const std::string& fileName) {
  auto* label = impl_->As<QLabel>(control);
  if (label == nullptr) return false;
  auto* movie = new QMovie(Q(fileName), QByteArray(), label);
  if (!movie->isValid()) {
    delete movie;
    return false;
  }
  label->setMovie(movie);
  movie->start();
  return true;
}

std::string Form::Text(const std::string& control) const {
  QObject& object = impl_->Find(control);
  if (auto* label = qobject_cast<QLabel*>(&object)) return S(label->text());
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) return S(edit->text());
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) return S(button->text());
  if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) return S(memo->toPlainText());
  if (auto* rich = qobject_cast<QTextEdit*>(&object)) return S(rich->toPlainText());
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return S(combo->currentText());
  if (auto* group = qobject_cast<QGroupBox*>(&object)) return S(group->title());
  if (auto* action = qobject_cast<QAction*>(&object)) return S(action->text());
  if (auto* status = qobject_cast<QStatusBar*>(&object)) return S(StatusPanel(*status).text());
  if (auto* menu = qobject_cast<QMenu*>(&object)) return S(menu->title());
  if (auto* widget = qobject_cast<QWidget*>(&object)) return S(widget->windowTitle());
  return {};
}

void Form::SetText(const std::string& control, const std::string& text) {
  QObject& object = impl_->Find(control);
  if (auto* label = qobject_cast<QLabel*>(&object)) return label->setText(Q(text));
  if (auto* edit = qobject_cast<QLineEdit*>(&object)) return edit->setText(Q(text));
  if (auto* button = qobject_cast<QAbstractButton*>(&object)) return button->setText(Q(text));
  if (auto* memo = qobject_cast<QPlainTextEdit*>(&object)) return memo->setPlainText(Q(text));
  if (auto* rich = qobject_cast<QTextEdit*>(&object)) return rich->setPlainText(Q(text));
  if (auto* combo = qobject_cast<QComboBox*>(&object)) return combo->setCurrentText(Q(text));
  if (auto* group = qobject_cast<QGroupBox*>(&object)) return group->setTitle(Q(text));
  if (auto* action = qobject_cast<QAction*>(&object)) return action->setText(Q(text));
  if (auto* status = qobject_cast<QStatusBar*>(&object)) return StatusPanel(*status).setText(Q(text));
  if (auto* menu = qobject_cast<QMenu*>(&object)) return menu->setTitle(Q(text));
  if (auto* widget = qobject_cast<QWidget*>(&object)) widget->setWindowTitle(Q(text));
}

std::string Form::PanelText(const std::string& control, int index) const {
  QLabel* panel = StatusPanelAt(impl_->Expect<QStatusBar>(control, "status bar"), index);
  if (panel == nullptr) throw EFormLayoutError("Status bar " + control + " has no panel " + std::to_string(index));
  return S(panel->text());
}

void Form::SetPanelText(const std::string& control, int index, const std::string& text) {
  QLabel* panel = StatusPanelAt(impl_->Expect<QStatusBar>(control, "status bar"), index);
  if (panel == nullptr) throw EFormLayoutError("Status bar " + control + " has no panel " + std::to_string(index));
  panel->setText(Q(text));
}

bool Form::Checked(const std::string& control) const {
  if (auto* button = impl_->As<QAbstractButton>(control)) return button->isChecked();
  if (auto* action = impl_->As<QAction>(control)) return action->isChecked();
  return false;
}

void Form::SetChecked(const std::string& control, bool checked) {
  if (auto* button = impl_->As<QAbstractButton>(control)) button->setChecked(checked);
  if (auto* action = impl_->As<QAction>(control)) action->setChecked(checked);
}

bool Form::Enabled(const std::string& control) const {
  QObject& object = impl_->Find(control);
  if (auto* action = qobject_cast<QAction*>(&object)) return action->isEnabled();
  if (auto* widget = qobject_cast<QWidget*>(&object)) return widget->isEnabled();
  return false;
}

void Form::SetEnabled(const std::string& control, bool enabled) {
  QObject& object = impl_->Find(control);
  if (auto* action = qobject_cast<QAction*>(&object)) action->setEnabled(enabled);
  if (auto* widget = qobject_cast<QWidget*>(&object)) widget->setEnabled(enabled);
}

std::vector<std::string> Form::Items(const std::string& control) const {
  std::vector<std::string> items;
  QObject& object = impl_->Find(control);
  if (qobject_cast<QMenuBar*>(&object) || qobject_cast<QMenu*>(&object) || qobject_cast<QToolBar*>(&object))
    return ActionTexts(static_cast<QWidget&>(object));
  if (auto* list = qobject_cast<QListWidget*>(&object)) {
    for (int i = 0; i < list->count(); ++i) items.push_back(S(list->item(i)->text()));
  } else if (auto* combo = qobject_cast<QComboBox*>(&object)) {
    for (int i = 0; i < combo->count(); ++i) items.push_back(S(combo->itemText(i)));
  }
  return items;
}

void Form::SetItems(const std::string& control, const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) texts.append(Q(item));
  if (auto* list = impl_->As<QListWidget>(control)) {
    list->clear();
    list->addItems(texts);
  } else if (auto* combo = impl_->As<QComboBox>(control)) {
    combo->clear();
    combo->addItems(texts);
  }
}

int Form::ItemIndex(const std::string& control) const {
  if (auto* list = impl_->As<QListWidget>(control)) return list->currentRow();
  if (auto* combo = impl_->As<QComboBox>(control)) return combo->currentIndex();
  return -1;
}

void Form::SetItemIndex(const std::string& control, int index) {
  if (auto* list = impl_->As<QListWidget>(control)) list->setCurrentRow(index);
  if (auto* combo = impl_->As<QComboBox>(control)) combo->setCurrentIndex(index);
}

std::string Form::Hint(const std::string& control) const {
  if (auto* action = qobject_cast<QAction*>(&impl_->Find(control))) return S(action->toolTip());
  return S(impl_->Expect<QWidget>(control, "control").toolTip());
}

Bounds Form::ControlBounds(const std::string& control) const {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr) return {};
  // A hidden window lays out only when asked, and a container resized while
  // hidden keeps its old layout: each container from the window down to the
  // control places its children anew.
  std::vector<QWidget*> containers;
  for (QWidget* w = widget; w != &impl_->Root();) {
    w = w->parentWidget();
    if (w == nullptr) break;
    containers.push_back(w);
  }
  for (auto it = containers.rbegin(); it != containers.rend(); ++it) {
    (*it)->ensurePolished();
    if (QLayout* layout = (*it)->layout()) {
      layout->invalidate();
      layout->activate();
    }
  }
  const QPoint topLeft = widget->mapTo(&impl_->Root(), QPoint(0, 0));
  return {topLeft.x(), topLeft.y(), widget->width(), widget->height()};
}

void Form::SetColor(const std::string& control, std::uint32_t colour) {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr) return;
  const QColor color(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  widget->setProperty("colour", QVariant::fromValue(colour));
  widget->setStyleSheet("background-color: " + color.name() + ";");
}

std::uint32_t Form::Color(const std::string& control) const {
  return impl_->Find(control).property("colour").value<std::uint32_t>();
}

bool Form::ControlVisible(const std::string& control) const {
  auto* widget = impl_->As<QWidget>(control);
  return widget && !widget->isHidden();
}

void Form::SetControlVisible(const std::string& control, bool visible) {
  if (auto* widget = impl_->As<QWidget>(control)) widget->setVisible(visible);
}

namespace {

// A progress bar or a spin edit: both have a range and a position.
template <class Act>
auto OnRanged(QObject* control, Act act) {
  if (auto* bar = qobject_cast<QProgressBar*>(control)) return act(*bar);
  if (auto* spin = qobject_cast<QSpinBox*>(control)) return act(*spin);
  return decltype(act(std::declval<QSpinBox&>()))();
}

}  // namespace

void Form::SetRange(const std::string& control, int min, int max) {
  OnRanged(impl_->As<QObject>(control), [&](auto& ranged) { ranged.setRange(min, max); });
}

int Form::Minimum(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.minimum(); });
}

int Form::Maximum(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.maximum(); });
}

int Form::Position(const std::string& control) const {
  return OnRanged(impl_->As<QObject>(control), [](auto& ranged) { return ranged.value(); });
}

void Form::SetPosition(const std::string& control, int position) {
  OnRanged(impl_->As<QObject>(control), [&](auto& ranged) { ranged.setValue(position); });
}

void Form::Focus(const std::string& control) {
  if (auto* widget = impl_->As<QWidget>(control)) widget->setFocus();
}

std::string Form::FocusedControl() const {
  const QWidget* focused = impl_->Root().focusWidget();
  return focused ? S(focused->objectName()) : std::string();
}

bool Form::ChooseFont(const std::string& control) {
  auto* widget = impl_->As<QWidget>(control);
  if (widget == nullptr || Unattended()) return false;
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, widget->font(), impl_->root.data());
  if (ok) widget->setFont(font);
  return ok;
}

void Form::SetImageBitmap(const std::string& control, Bitmap* bitmap) {
  QObject& object = impl_->Find(control);
  auto* widget = qobject_cast<QWidget*>(&object);
  if (widget == nullptr || !widget->property(kImageControl).toBool())
    throw EFormLayoutError("Control " + control + " of the form " + impl_->layout + " is no image");
  const auto old = impl_->imageBitmaps.find(widget);
  if (old != impl_->imageBitmaps.end() && old->second != nullptr && old->second != bitmap) old->second->OnChange(nullptr);
  impl_->imageBitmaps[widget] = bitmap;
  widget->installEventFilter(impl_.get());
  if (bitmap != nullptr) bitmap->OnChange([target = QPointer<QWidget>(widget)] {
      if (target) target->update();
    });
  widget->update();
}

Bitmap* Form::ImageBitmap(const std::string& control) const {
  const auto found = impl_->imageBitmaps.find(&impl_->Find(control));
  return found != impl_->imageBitmaps.end() ? found->second : nullptr;
}

void Form::RepaintImage(const std::string& control) { impl_->Expect<QWidget>(control, "control").repaint(); }

void Form::ControlToScreen(const std::string& control, std::int32_t& x, std::int32_t& y) const {
  const QPoint screen = impl_->Expect<QWidget>(control, "control").mapToGlobal(QPoint(x, y));
  x = screen.x();
  y = screen.y();
}

void Form::SetControlCursor(const std::string& control, int screenCursor) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.setProperty(kScreenCursor, screenCursor);
  widget.setCursor(ScreenCursorShape(screenCursor));
}

int Form::ControlCursor(const std::string& control) const {
  return impl_->Expect<QWidget>(control, "control").property(kScreenCursor).toInt();
}

bool Form::Down(const std::string& control) const {
  return impl_->Expect<QAbstractButton>(control, "button").isChecked();
}

void Form::SetDown(const std::string& control, bool down) {
  auto& button = impl_->Expect<QAbstractButton>(control, "button");
  button.setCheckable(true);
  button.setChecked(down);
}

QObject& FormControl(const Form& form, const std::string& name) { return form.impl().Find(name); }

}  // namespace platform
