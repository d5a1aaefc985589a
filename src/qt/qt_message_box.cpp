#include "qt/qt_message_box.h"

#include <QMessageBox>

#include "qt/qt_text.h"

namespace quorvane {

std::int16_t QtMessageBox::ShowCritical(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Critical, ToQString(title), ToQtLines(text), QMessageBox::Ok,
                    owner_.data());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1;
}

bool QtConfirmBox::Confirm(const std::string& text, const std::string& title, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question, ToQString(title),
                    ToQtLines(text), QMessageBox::Yes | QMessageBox::No, owner_.data());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace quorvane
