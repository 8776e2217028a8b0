// Tree controls of a form: nodes by number, columns, pictures, and the drag
// of a node onto another control.
#include "platform/forms.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QColor>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QIcon>
#include <QMimeData>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <QTreeWidget>
#include <QWidget>

#include "platform/form_impl.h"

namespace platform {

namespace {

// The drag of a tree node between our own controls.
constexpr const char* kTreeNodeMime = "application/x-kestx-tree-node";

}  // namespace

int Form::TreeAddNode(const std::string& control, int parent, const std::vector<std::string>& texts,
                      std::uint32_t data) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* above = parent ? impl_->Node(tree, parent) : nullptr;
  if (parent && !above) return 0;
  QStringList columns;
  for (const std::string& text : texts) columns.append(Q(text));
  auto* item = above ? new QTreeWidgetItem(above, columns) : new QTreeWidgetItem(&tree, columns);
  const int number = impl_->nextNode++;
  item->setData(0, kNodeRole, number);
  item->setData(0, kDataRole, static_cast<qulonglong>(data));
  impl_->nodes[number] = item;
  return number;
}

void Form::TreeClear(const std::string& control) {
  QTreeWidget& tree = impl_->Tree(control);
  for (int i = 0; i < tree.topLevelItemCount(); ++i) impl_->Forget(tree.topLevelItem(i), true);
  tree.clear();
}

void Form::TreeDeleteChildren(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* item = impl_->Node(tree, node);
  if (!item) return;
  impl_->Forget(item, false);
  qDeleteAll(item->takeChildren());
}

void Form::TreeDeleteNode(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  QTreeWidgetItem* item = impl_->Node(tree, node);
  if (!item) return;
  impl_->Forget(item, true);
  delete item;
}

std::vector<int> Form::TreeChildren(const std::string& control, int parent) const {
  const QTreeWidget& tree = impl_->Tree(control);
  std::vector<int> children;
  if (parent == 0) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i) children.push_back(Impl::NumberOf(tree.topLevelItem(i)));
  } else if (const QTreeWidgetItem* item = impl_->Node(tree, parent)) {
    for (int i = 0; i < item->childCount(); ++i) children.push_back(Impl::NumberOf(item->child(i)));
  }
  return children;
}

std::string Form::TreeNodeText(const std::string& control, int node, int column) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item ? S(item->text(column)) : std::string();
}

std::uint32_t Form::TreeNodeData(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item ? static_cast<std::uint32_t>(item->data(0, kDataRole).toULongLong()) : 0;
}

bool Form::TreeExpanded(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  return item && item->isExpanded();
}

void Form::SetTreeExpanded(const std::string& control, int node, bool expanded) {
  if (QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node)) item->setExpanded(expanded);
}

int Form::TreeCurrent(const std::string& control) const {
  return Impl::NumberOf(impl_->Tree(control).currentItem());
}

void Form::SetTreeCurrent(const std::string& control, int node) {
  QTreeWidget& tree = impl_->Tree(control);
  tree.setCurrentItem(impl_->Node(tree, node));
}

std::vector<std::string> Form::TreeColumns(const std::string& control) const {
  const QTreeWidget& tree = impl_->Tree(control);
  std::vector<std::string> captions;
  for (int i = 0; i < tree.columnCount(); ++i) captions.push_back(S(tree.headerItem()->text(i)));
  return captions;
}

void Form::SetTreeColumns(const std::string& control, const std::vector<std::string>& captions) {
  QTreeWidget& tree = impl_->Tree(control);
  QStringList labels;
  for (const std::string& caption : captions) labels.append(Q(caption));
  const bool report = !tree.isHeaderHidden();
  tree.setColumnCount(static_cast<int>(labels.size()));
  tree.setHeaderLabels(labels);
  for (int i = 1; i < tree.columnCount(); ++i) tree.setColumnHidden(i, !report);
}

Form::ListStyle Form::TreeListStyle(const std::string& control) const {
  const QTreeWidget& tree = impl_->Tree(control);
  if (!tree.isHeaderHidden()) return ListStyle::Report;
  return tree.iconSize().width() > 16 ? ListStyle::Icons : ListStyle::List;
}

void Form::SetTreeListStyle(const std::string& control, ListStyle style) {
  QTreeWidget& tree = impl_->Tree(control);
  const bool report = style == ListStyle::Report;
  tree.setHeaderHidden(!report);
  for (int i = 1; i < tree.columnCount(); ++i) tree.setColumnHidden(i, !report);
  const int side = style == ListStyle::Icons ? 32 : 16;
  tree.setIconSize(QSize(side, side));
}

void Form::TreeBeginUpdate(const std::string& control) { impl_->Tree(control).setUpdatesEnabled(false); }

void Form::TreeEndUpdate(const std::string& control) {
  QTreeWidget& tree = impl_->Tree(control);
  tree.setUpdatesEnabled(true);
  for (int i = 0; i < tree.columnCount(); ++i) tree.resizeColumnToContents(i);
}

bool Form::TreeUpdating(const std::string& control) const { return !impl_->Tree(control).updatesEnabled(); }

void Form::SetTreeImages(const std::string& control, const std::vector<std::string>& files) {
  impl_->Tree(control);
  std::vector<QPixmap>& pictures = impl_->images[control];
  pictures.clear();
  for (const std::string& file : files) {
    QPixmap picture(Q(file));
    if (!picture.isNull()) picture.setMask(picture.createMaskFromColor(QColor(128, 128, 128), Qt::MaskInColor));
    pictures.push_back(picture);
  }
}

void Form::SetTreeNodeImage(const std::string& control, int node, int image, int selectedImage) {
  QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  if (!item) return;
  const std::vector<QPixmap>& pictures = impl_->images[control];
  auto picture = [&pictures](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < pictures.size() ? pictures[static_cast<std::size_t>(index)]
                                                                          : QPixmap();
  };
  QIcon icon;
  if (!picture(image).isNull()) icon.addPixmap(picture(image), QIcon::Normal);
  if (!picture(selectedImage).isNull()) icon.addPixmap(picture(selectedImage), QIcon::Selected);
  item->setIcon(0, icon);
  item->setData(0, kImageRole, image);
}

int Form::TreeNodeImage(const std::string& control, int node) const {
  const QTreeWidgetItem* item = impl_->Node(impl_->Tree(control), node);
  const QVariant image = item ? item->data(0, kImageRole) : QVariant();
  return image.isValid() ? image.toInt() : -1;
}

void Form::OnTreeExpanded(const std::string& control, std::function<void(int node)> handler) {
  QObject::connect(&impl_->Tree(control), &QTreeWidget::itemExpanded, impl_.get(),
                   [handler](QTreeWidgetItem* item) { handler(Impl::NumberOf(item)); });
}

void Form::OnTreeCollapsed(const std::string& control, std::function<void(int node)> handler) {
  QObject::connect(&impl_->Tree(control), &QTreeWidget::itemCollapsed, impl_.get(),
                   [handler](QTreeWidgetItem* item) { handler(Impl::NumberOf(item)); });
}

void Form::SetAcceptTreeDrops(const std::string& control, bool accept) {
  impl_->Expect<QWidget>(control, "control").setAcceptDrops(accept);
}

bool Form::AcceptTreeDrops(const std::string& control) const {
  return impl_->Expect<QWidget>(control, "control").acceptDrops();
}

void Form::OnTreeNodeDropped(const std::string& control, std::function<void(std::uint32_t data)> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->treeDropHandlers[&widget] = std::move(handler);
}

void Form::OnDragOver(const std::string& control, std::function<void()> handler) {
  auto& widget = impl_->Expect<QWidget>(control, "control");
  widget.installEventFilter(impl_.get());
  impl_->dragOverHandlers[&widget] = std::move(handler);
}

void UserDropTreeNode(Form& source, const std::string& tree, int node, Form& target, const std::string& control) {
  auto& sourceTree = source.impl().Expect<QTreeWidget>(tree, "tree");
  if (QTreeWidgetItem* item = source.impl().Node(sourceTree, node)) sourceTree.setCurrentItem(item);
  auto& widget = target.impl().Expect<QWidget>(control, "control");
  QMimeData data;
  data.setData(kTreeNodeMime, QByteArray::number(node));
  QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &enter);
  // The application routes drops only while a system drag runs: the drop
  // is handed to the control's handling with its source.
  if (widget.acceptDrops() && enter.isAccepted()) target.impl().TreeNodeDropped(&widget, &sourceTree);
}

}  // namespace platform
