#pragma once

#include <QProxyStyle>
#include <QString>

class QAction;

namespace quorvane {

// A style for a menu whose items carry a right-hand text of their own: it is drawn in the
// column a shortcut takes, while the item's caption (QAction::text), its accelerator and its
// check mark stay exactly as they are.
class MenuRightTextStyle final : public QProxyStyle {
  public:
    static void SetRightText(QAction& action, const QString& text);
    static QString RightText(const QAction& action);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

}  // namespace quorvane
