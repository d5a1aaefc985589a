#pragma once

#include <QColor>
#include <QListWidget>
#include <QPalette>
#include <QPoint>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace quorvane {

// A list widget that lets its owner see key-downs first (and swallow them) and learn when
// it receives the focus.
class QtListWidget final : public QListWidget {
  public:
    // Returns true when the key is consumed.
    using KeyDownHandler = std::function<bool(std::int16_t keyCode, std::int16_t shift)>;

    explicit QtListWidget(QWidget* parent);

    void OnKeyDown(KeyDownHandler handler) { keyDown_ = std::move(handler); }
    void OnGotFocus(std::function<void()> handler) { gotFocus_ = std::move(handler); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    KeyDownHandler keyDown_;
    std::function<void()> gotFocus_;
};

// A push button that reports every character typed on it and leaves the key to the button.
class QtPushButton final : public QPushButton {
  public:
    explicit QtPushButton(QWidget* parent);

    void OnKeyPress(std::function<void(char keyAscii)> handler) { keyPress_ = std::move(handler); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::function<void(char)> keyPress_;
};

// A straight line one pixel wide, drawn in one colour role of the palette. The widget covers
// the line's bounding box and lets the mouse through.
class QtLineWidget final : public QWidget {
  public:
    QtLineWidget(QWidget* parent, QPalette::ColorRole role);

    // The end points in the parent's pixels.
    void Points(QPoint from, QPoint to);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPalette::ColorRole role_;
    QPoint from_;
    QPoint to_;
};

}  // namespace quorvane
