#include "qt/qt_guard.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>

namespace quorvane {

void ReportEscapedError(QWidget* owner, const char* what) noexcept {
    try {
        const QString title =
            owner != nullptr ? owner->window()->windowTitle() : QCoreApplication::applicationName();
        QMessageBox box(QMessageBox::Critical, title, QString::fromUtf8(what), QMessageBox::Ok,
                        owner);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } catch (...) {
        std::fputs(what, stderr);  // nothing is left to show it with
        std::fputc('\n', stderr);
    }
}

}  // namespace quorvane
