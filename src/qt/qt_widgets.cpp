#include "qt/qt_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "qt/qt_key_codes.h"

namespace quorvane {

QtListWidget::QtListWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    // Fixed-width lines are cut at the edge, never shortened with an ellipsis.
    setTextElideMode(Qt::ElideNone);
}

void QtListWidget::keyPressEvent(QKeyEvent* event) {
    if (keyDown_) {
        const std::int16_t code = KeyCodeOf(*event);
        if (code != 0 && keyDown_(code, ShiftStateOf(event->modifiers()))) {
            event->accept();
            return;
        }
    }
    QListWidget::keyPressEvent(event);
}

void QtListWidget::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    if (gotFocus_) {
        gotFocus_();
    }
}

QtPushButton::QtPushButton(QWidget* parent) : QPushButton(parent) {
    // Enter on a focused button presses it, as Space does.
    setAutoDefault(true);
}

void QtPushButton::keyPressEvent(QKeyEvent* event) {
    if (keyPress_) {
        for (const QChar c : event->text()) {
            // Only plain ASCII has a key character code; other characters are not reported.
            if (c.unicode() >= 1 && c.unicode() <= 127) {
                keyPress_(static_cast<char>(c.unicode()));
            }
        }
    }
    QPushButton::keyPressEvent(event);
}

QtLineWidget::QtLineWidget(QWidget* parent, QPalette::ColorRole role)
    : QWidget(parent), role_(role) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void QtLineWidget::Points(QPoint from, QPoint to) {
    const int left = std::min(from.x(), to.x());
    const int top = std::min(from.y(), to.y());
    setGeometry(left, top, std::abs(to.x() - from.x()) + 1, std::abs(to.y() - from.y()) + 1);
    from_ = from - QPoint(left, top);
    to_ = to - QPoint(left, top);
    update();
}

void QtLineWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(role_), 0));
    painter.drawLine(from_, to_);
}

}  // namespace quorvane
