#include "qt/qt_file_dialog.h"

#include <QFileDialog>

#include "qt/qt_text.h"

namespace quorvane {
namespace {

std::string Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return FromQString(dialog.selectedFiles().constFirst());
}

}  // namespace

std::string QtFileDialog::OpenFileName(const std::string& title, const std::string& folder,
                                       const std::string& filter) {
    QFileDialog dialog(owner_.data(), ToQString(title), ToQString(folder), ToQString(filter));
    dialog.setObjectName(QStringLiteral("openFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog);
}

std::string QtFileDialog::SaveFileName(const std::string& title, const std::string& folder,
                                       const std::string& filter,
                                       const std::string& defaultSuffix) {
    QFileDialog dialog(owner_.data(), ToQString(title), ToQString(folder), ToQString(filter));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ToQString(defaultSuffix));
    return Run(dialog);
}

}  // namespace quorvane
