// File and folder lists and drive boxes of a form.
#include "platform/forms.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QObject>
#include <QString>

#include "platform/file_system.h"
#include "platform/form_impl.h"

namespace platform {

std::string Form::Directory(const std::string& control) const {
  return S(impl_->Find(control).property(kDirectory).toString());
}

namespace {

std::vector<std::string> SplitMasks(const QString& masks) {
  std::vector<std::string> parts;
  for (const QString& part : masks.split(';', Qt::SkipEmptyParts)) parts.push_back(S(part.trimmed()));
  return parts;
}

bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks) {
  return std::any_of(masks.begin(), masks.end(), [&](const std::string& mask) { return MatchesMask(name, mask); });
}

}  // namespace

void Form::SetDirectory(const std::string& control, const std::string& directory) {
  auto* list = impl_->As<QListWidget>(control);
  if (list == nullptr) return;
  const QDir dir(Q(directory));
  list->setProperty(kDirectory, dir.absolutePath());
  list->clear();
  const auto announce = [&] {
    for (const auto& handler : impl_->directoryChanged[control]) handler();
  };
  const QVariant fileMask = list->property(kFileMask);
  if (fileMask.isValid()) {
    const std::vector<std::string> masks = SplitMasks(fileMask.toString());
    for (const FileEntry& entry : ListDirectory(S(dir.absolutePath()), "*", 0))
      if (MatchesAnyMask(entry.Name, masks)) list->addItem(Q(entry.Name));
    return announce();
  }
  if (!dir.isRoot()) list->addItem("..");
  list->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
  if (!list->property(kEntersFolders).toBool()) {
    list->setProperty(kEntersFolders, true);
    QObject::connect(list, &QListWidget::itemActivated, impl_.get(), [this, control, list](QListWidgetItem* item) {
      const QDir current(list->property(kDirectory).toString());
      SetDirectory(control, S(QDir::cleanPath(current.filePath(item->text()))));
    });
  }
  announce();
}

std::string Form::FileMask(const std::string& control) const {
  return S(impl_->Find(control).property(kFileMask).toString());
}

void Form::SetFileMask(const std::string& control, const std::string& mask) {
  impl_->Find(control).setProperty(kFileMask, Q(mask));
  const std::string directory = Directory(control);
  if (!directory.empty()) SetDirectory(control, directory);
}

std::string Form::FileName(const std::string& control) const {
  const auto& list = impl_->Expect<QListWidget>(control, "file list");
  const QListWidgetItem* item = list.currentItem();
  if (item == nullptr || !item->isSelected()) return {};
  return S(QDir(list.property(kDirectory).toString()).filePath(item->text()));
}

std::vector<std::string> Form::SelectedFiles(const std::string& control) const {
  const auto& list = impl_->Expect<QListWidget>(control, "file list");
  const QDir dir(list.property(kDirectory).toString());
  std::vector<std::string> files;
  for (int i = 0; i < list.count(); ++i)
    if (list.item(i)->isSelected()) files.push_back(S(dir.filePath(list.item(i)->text())));
  return files;
}

void Form::OnDirectoryChange(const std::string& control, std::function<void()> handler) {
  impl_->Find(control);
  impl_->directoryChanged[control].push_back(Guarded(std::move(handler)));
}

void Form::SetDrive(const std::string& control, const std::string& path) {
  auto& box = impl_->Expect<QComboBox>(control, "drive box");
  const QString wanted = QDir::cleanPath(QDir(Q(path)).absolutePath());
  int best = -1;
  qsizetype bestLength = -1;
  for (int i = 0; i < box.count(); ++i) {
    const QString root = QDir::cleanPath(box.itemText(i));
    const bool holds = wanted == root || wanted.startsWith(root.endsWith('/') ? root : root + '/');
    if (holds && root.size() > bestLength) {
      best = i;
      bestLength = root.size();
    }
  }
  if (best >= 0) box.setCurrentIndex(best);
}

}  // namespace platform
