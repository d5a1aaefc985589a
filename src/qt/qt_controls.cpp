#include "qt/qt_controls.h"

#include <QApplication>
#include <QLayout>
#include <QListWidgetItem>
#include <QPalette>

#include "platform/checked.h"
#include "qt/qt_text.h"

namespace quorvane {

QtListBox::QtListBox(QtListWidget* list, const TwipScale& scale)
    : QtControlBase(list, scale), list_(list) {}

void QtListBox::AddItem(const std::string& text) {
    if (list_->count() >= 32767) {
        raiseOverflow("list box: too many lines");
    }
    list_->addItem(ToQString(text));
}

void QtListBox::List(std::int16_t index, const std::string& text) {
    QListWidgetItem* item = list_->item(index);
    if (item == nullptr) {
        raiseIndexOutOfRange("list box line");
    }
    item->setText(ToQString(text));
}

std::string QtListBox::List(std::int16_t index) const {
    const QListWidgetItem* item = list_->item(index);
    return item != nullptr ? FromQString(item->text()) : std::string();
}

void QtListBox::Clear() {
    list_->clear();
}

std::int16_t QtListBox::ListCount() const {
    return To16(list_->count(), "list box count");
}

std::int16_t QtListBox::ListIndex() const {
    // The selected line; Qt may hold a current line that is not selected, which is no line.
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? std::int16_t{-1}
                              : To16(list_->row(selected.front()), "list box index");
}

void QtListBox::ListIndex(std::int16_t index) {
    if (index < -1 || index >= list_->count()) {
        raiseIndexOutOfRange("list box index");
    }
    list_->setCurrentRow(index);  // selects it, or clears the selection for -1
    if (index >= 0) {
        list_->scrollToItem(list_->item(index));
    }
}

QtTextBox::QtTextBox(QPlainTextEdit* edit, const TwipScale& scale)
    : QtControlBase(edit, scale), edit_(edit) {
    edit_->setReadOnly(true);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void QtTextBox::Text(const std::string& text) {
    text_ = text;
    edit_->setPlainText(ToQtLines(text));
}

QtLabel::QtLabel(QLabel* label, const TwipScale& scale, bool autoSize)
    : QtControlBase(label, scale), label_(label), autoSize_(autoSize) {
    // A caption is shown as it stands, never read as markup.
    label_->setTextFormat(Qt::PlainText);
}

void QtLabel::Caption(const std::string& text) {
    caption_ = text;
    label_->setText(ToQtLines(text));
    if (autoSize_) {
        label_->adjustSize();
    }
}

void QtLabel::ForeColor(SystemColor color) {
    const QPalette system = QApplication::palette();
    const QColor c = color == SystemColor::GrayText
                         ? system.color(QPalette::Disabled, QPalette::Text)
                         : system.color(QPalette::Active, QPalette::ButtonText);
    QPalette p = label_->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, c);
    p.setColor(QPalette::Inactive, QPalette::WindowText, c);
    label_->setPalette(p);
}

void QtLabel::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    QtControlBase::Move(left, top, width, height);
    if (autoSize_) {
        label_->adjustSize();
    }
}

QtButton::QtButton(QtPushButton* button, const TwipScale& scale)
    : QtControlBase(button, scale), button_(button) {}

void QtButton::Caption(const std::string& text) {
    button_->setText(ToQString(text));
}

std::string QtButton::Caption() const {
    return FromQString(button_->text());
}

void QtButton::Default(bool on) {
    default_ = on;
    button_->setDefault(on);  // draws the default frame
}

QtFrame::QtFrame(QFrame* frame, const TwipScale& scale)
    : QtControlBase(frame, scale), frame_(frame) {
    BorderVisible(true);
}

void QtFrame::BorderVisible(bool on) {
    frame_->setFrameStyle(on ? (QFrame::Box | QFrame::Sunken) : QFrame::NoFrame);
}

void QtLine::Coordinates(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    line_->Points(QPoint(scale_.PixelsX(x1), scale_.PixelsY(y1)),
                  QPoint(scale_.PixelsX(x2), scale_.PixelsY(y2)));
}

void QtWindow::Caption(const std::string& text) {
    window_->setWindowTitle(ToQString(text));
}

std::string QtWindow::Caption() const {
    return FromQString(window_->windowTitle());
}

void QtWindow::Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    // The measures are the outer ones, title bar and borders included, once the window
    // system has told them.
    const QSize decoration = window_->frameGeometry().size() - window_->geometry().size();
    window_->move(scale_.PixelsX(left), scale_.PixelsY(top));
    window_->resize(std::max(0, scale_.PixelsX(width) - decoration.width()),
                    std::max(0, scale_.PixelsY(height) - decoration.height()));
    if (!window_->isVisible() && window_->layout() != nullptr) {
        // A hidden window gets no resize event; place the client area now so that its inner
        // size can be read at once.
        window_->layout()->invalidate();
        window_->layout()->activate();
    }
}

std::int32_t QtWindow::Width() const {
    return scale_.TwipsX(window_->frameGeometry().width());
}

std::int32_t QtWindow::Height() const {
    return scale_.TwipsY(window_->frameGeometry().height());
}

void QtBeeper::Beep() {
    QApplication::beep();
}

}  // namespace quorvane
