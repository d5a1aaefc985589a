#pragma once

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/ui_controls.h"
#include "qt/qt_screen.h"
#include "qt/qt_widgets.h"

namespace quorvane {

// The IControl part shared by every control: geometry in twips relative to the container,
// visibility, enabling, focus and tab order on one widget. The widget belongs to its Qt
// parent; this object only speaks for it.
template <typename Interface>
class QtControlBase : public Interface {
  public:
    QtControlBase(QWidget* widget, const TwipScale& scale) : widget_(widget), scale_(scale) {}

    // The control's own property, whether or not its containers are shown.
    void Visible(bool visible) override { widget_->setVisible(visible); }
    bool Visible() const override {
        return !widget_->isHidden() || !widget_->testAttribute(Qt::WA_WState_ExplicitShowHide);
    }
    void Enabled(bool enabled) override { widget_->setEnabled(enabled); }
    bool Enabled() const override { return !widget_->testAttribute(Qt::WA_ForceDisabled); }

    // A negative size (a window narrower than its margins) shows nothing instead of failing.
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override {
        widget_->setGeometry(scale_.PixelsX(left), scale_.PixelsY(top),
                             std::max(0, scale_.PixelsX(width)),
                             std::max(0, scale_.PixelsY(height)));
    }
    std::int32_t Left() const override { return scale_.TwipsX(widget_->x()); }
    std::int32_t Top() const override { return scale_.TwipsY(widget_->y()); }
    std::int32_t Width() const override { return scale_.TwipsX(widget_->width()); }
    std::int32_t Height() const override { return scale_.TwipsY(widget_->height()); }

    void SetFocus() override { widget_->setFocus(Qt::OtherFocusReason); }
    bool HasFocus() const override { return widget_->window()->focusWidget() == widget_; }

    void TabStopLast() override {
        if (!(widget_->focusPolicy() & Qt::TabFocus)) {
            widget_->setFocusPolicy(Qt::StrongFocus);
        }
        // Qt orders only focusable widgets: find the last one that is not this control or
        // one of its own inner widgets.
        QWidget* top = widget_->window();
        for (QWidget* w = top->previousInFocusChain(); w != nullptr && w != top;
             w = w->previousInFocusChain()) {
            // Inner widgets that take no focus (a text box's scroll bars) may trail the chain
            // behind controls that were moved last; they are no tab stops.
            if (w->focusPolicy() == Qt::NoFocus || w->window() != top) {
                continue;
            }
            if (w == widget_ || widget_->isAncestorOf(w)) {
                return;  // already last
            }
            // Qt sees its tab chain as a ring and leaves the first control where it is when
            // asked to put it after the last; a focusable window breaks the ring.
            const Qt::FocusPolicy topPolicy = top->focusPolicy();
            top->setFocusPolicy(Qt::StrongFocus);
            QWidget::setTabOrder(w, widget_);
            top->setFocusPolicy(topPolicy);
            return;
        }
    }

  protected:
    QWidget* widget_;
    const TwipScale& scale_;
};

class QtListBox final : public QtControlBase<IListBox> {
  public:
    QtListBox(QtListWidget* list, const TwipScale& scale);

    void AddItem(const std::string& text) override;
    void List(std::int16_t index, const std::string& text) override;
    std::string List(std::int16_t index) const override;
    void Clear() override;
    std::int16_t ListCount() const override;
    std::int16_t ListIndex() const override;
    void ListIndex(std::int16_t index) override;

    QtListWidget* widget() const { return list_; }

  private:
    QtListWidget* list_;
};

// A read-only multi-line text box without line wrapping.
class QtTextBox final : public QtControlBase<ITextBox> {
  public:
    QtTextBox(QPlainTextEdit* edit, const TwipScale& scale);

    void Text(const std::string& text) override;
    std::string Text() const override { return text_; }

    QPlainTextEdit* widget() const { return edit_; }

  private:
    QPlainTextEdit* edit_;
    std::string text_;
};

// A label showing its caption as plain text; an auto-sized label fits itself to its caption.
class QtLabel final : public QtControlBase<ILabel> {
  public:
    QtLabel(QLabel* label, const TwipScale& scale, bool autoSize);

    void Caption(const std::string& text) override;
    std::string Caption() const override { return caption_; }
    void ForeColor(SystemColor color) override;
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;

    QLabel* widget() const { return label_; }

  private:
    QLabel* label_;
    bool autoSize_;
    std::string caption_;
};

class QtButton final : public QtControlBase<IButton> {
  public:
    QtButton(QtPushButton* button, const TwipScale& scale);

    void Caption(const std::string& text) override;
    std::string Caption() const override;
    void Default(bool on) override;
    void Cancel(bool on) override { cancel_ = on; }

    bool Default() const { return default_; }
    bool Cancel() const { return cancel_; }
    QtPushButton* widget() const { return button_; }

  private:
    QtPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
};

// A container whose children are placed relative to its outer top-left corner.
class QtFrame final : public QtControlBase<IFrame> {
  public:
    QtFrame(QFrame* frame, const TwipScale& scale);

    void BorderVisible(bool on) override;

    QFrame* widget() const { return frame_; }

  private:
    QFrame* frame_;
};

class QtLine final : public ILine {
  public:
    QtLine(QtLineWidget* line, const TwipScale& scale) : line_(line), scale_(scale) {}

    void Coordinates(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    std::int32_t X1() const override { return x1_; }
    std::int32_t Y1() const override { return y1_; }
    std::int32_t X2() const override { return x2_; }
    std::int32_t Y2() const override { return y2_; }

    QtLineWidget* widget() const { return line_; }

  private:
    QtLineWidget* line_;
    const TwipScale& scale_;
    std::int32_t x1_ = 0;
    std::int32_t y1_ = 0;
    std::int32_t x2_ = 0;
    std::int32_t y2_ = 0;
};

// A menu command; its check mark and its enabled state are set by the logic only (see
// QtMainWindow).
class QtMenuItem final : public IMenuItem {
  public:
    explicit QtMenuItem(QAction* action) : action_(action) {}

    void Checked(bool on) override { action_->setChecked(on); }
    bool Checked() const override { return action_->isChecked(); }
    void Enabled(bool on) override { action_->setEnabled(on); }
    bool Enabled() const override { return action_->isEnabled(); }

    QAction* action() const { return action_; }

  private:
    QAction* action_;
};

// The top-level window: outer geometry of the window, inner size of its client area (the
// part below the menu bar).
class QtWindow final : public IWindow {
  public:
    QtWindow(QWidget* window, QWidget* client, const TwipScale& scale)
        : window_(window), client_(client), scale_(scale) {}

    void Caption(const std::string& text) override;
    std::string Caption() const override;
    void Move(std::int32_t left, std::int32_t top, std::int32_t width,
              std::int32_t height) override;
    std::int32_t Width() const override;
    std::int32_t Height() const override;
    std::int32_t ScaleWidth() const override { return scale_.TwipsX(client_->width()); }
    std::int32_t ScaleHeight() const override { return scale_.TwipsY(client_->height()); }

  private:
    QWidget* window_;
    QWidget* client_;
    const TwipScale& scale_;
};

class QtBeeper final : public IBeeper {
  public:
    void Beep() override;
};

}  // namespace quorvane
