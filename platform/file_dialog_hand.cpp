#include "platform/dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace platform {

void UserAnswerNextFileDialog(int downs, const std::optional<std::string>& typed, FileDialogSeen& seen) {
  QTimer::singleShot(0, [downs, typed, &seen] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen.Shown = true;
    for (const QString& filter : dialog->nameFilters()) seen.Filters.push_back(filter.toStdString());
    seen.FirstFilter = dialog->selectedNameFilter().toStdString();
    seen.Save = dialog->acceptMode() == QFileDialog::AcceptSave;
    for (int i = 0; i < downs; ++i) QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
    seen.DefaultSuffix = dialog->defaultSuffix().toStdString();
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (typed) {
      name->setText(QString::fromStdString(*typed));
      QTest::keyClick(name, Qt::Key_Return);
    } else {
      QTest::keyClick(name, Qt::Key_Escape);
    }
    seen.StayedOpen = dialog->isVisible();
    if (seen.StayedOpen) dialog->reject();
  });
}

}  // namespace platform
