#include "qt/qt_menu_right_text.h"

#include <QAction>
#include <QMenu>
#include <QStyleOptionMenuItem>

namespace quorvane {

namespace {

constexpr char kProperty[] = "quorvaneRightText";

// The right-hand text of the item the option draws; the menu's captions are unique.
QString RightTextFor(const QStyleOption* option, const QWidget* widget) {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const auto* menu = qobject_cast<const QMenu*>(widget);
    if (item == nullptr || menu == nullptr) {
        return {};
    }
    for (const QAction* action : menu->actions()) {
        if (action->text() == item->text) {
            return MenuRightTextStyle::RightText(*action);
        }
    }
    return {};
}

int Room(const QStyleOption& option, const QString& text) {
    return option.fontMetrics.horizontalAdvance(text) +
           option.fontMetrics.horizontalAdvance(QStringLiteral("    "));
}

}  // namespace

void MenuRightTextStyle::SetRightText(QAction& action, const QString& text) {
    action.setProperty(kProperty, text);
    // The tooltip change makes the menu measure its items again.
    action.setToolTip(text);
}

QString MenuRightTextStyle::RightText(const QAction& action) {
    return action.property(kProperty).toString();
}

QSize MenuRightTextStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                           const QSize& size, const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        const QString text = RightTextFor(option, widget);
        if (!text.isEmpty()) {
            result.rwidth() += Room(*option, text);
        }
    }
    return result;
}

void MenuRightTextStyle::drawControl(ControlElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const QString text = element == CE_MenuItem ? RightTextFor(option, widget) : QString();
    if (text.isEmpty()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionMenuItem item(*qstyleoption_cast<const QStyleOptionMenuItem*>(option));
    // "&" in a path is no accelerator.
    item.text += QLatin1Char('\t') + QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
    item.reservedShortcutWidth = std::max(item.reservedShortcutWidth, Room(*option, text));
    QProxyStyle::drawControl(element, &item, painter, widget);
}

}  // namespace quorvane
