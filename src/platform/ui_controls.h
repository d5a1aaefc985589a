#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

// The user-interface seams. The program's logic never touches a widget: it speaks to these
// small interfaces, implemented with Qt Widgets in the program and by fakes in tests.
// Every measure is in twips (1/1440 inch), relative to the control's container.

enum class SystemColor {
    ButtonText,  // the system colour for button text
    GrayText,    // the system colour for disabled (grey) text
};

class IControl {
  public:
    virtual ~IControl() = default;
    virtual void Visible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void Enabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    virtual void Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) = 0;
    virtual std::int32_t Left() const = 0;
    virtual std::int32_t Top() const = 0;
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    // Makes the control a tab stop and moves it to the end of the window's tab order.
    virtual void TabStopLast() = 0;
};

// A list of text lines with a current line (ListIndex -1 when none is selected).
class IListBox : public IControl {
  public:
    virtual void AddItem(const std::string& text) = 0;
    virtual void List(std::int16_t index, const std::string& text) = 0;
    virtual std::string List(std::int16_t index) const = 0;
    virtual void Clear() = 0;
    virtual std::int16_t ListCount() const = 0;
    virtual std::int16_t ListIndex() const = 0;
    virtual void ListIndex(std::int16_t index) = 0;
};

// A multi-line text box.
class ITextBox : public IControl {
  public:
    virtual void Text(const std::string& text) = 0;
    virtual std::string Text() const = 0;
};

class ILabel : public IControl {
  public:
    virtual void Caption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void ForeColor(SystemColor color) = 0;
};

class IButton : public IControl {
  public:
    virtual void Caption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    // The button pressed by Enter, and the one pressed by Escape.
    virtual void Default(bool on) = 0;
    virtual void Cancel(bool on) = 0;
};

class IFrame : public IControl {
  public:
    virtual void BorderVisible(bool on) = 0;
};

// A straight line drawn on the window.
class ILine {
  public:
    virtual ~ILine() = default;
    virtual void Coordinates(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                             std::int32_t y2) = 0;
    virtual std::int32_t X1() const = 0;
    virtual std::int32_t Y1() const = 0;
    virtual std::int32_t X2() const = 0;
    virtual std::int32_t Y2() const = 0;
};

class IMenuItem {
  public:
    virtual ~IMenuItem() = default;
    virtual void Checked(bool on) = 0;
    virtual bool Checked() const = 0;
    virtual void Enabled(bool on) = 0;
    virtual bool Enabled() const = 0;
};

// The top-level window: its caption, outer geometry and inner (client) size.
class IWindow {
  public:
    virtual ~IWindow() = default;
    virtual void Caption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void Move(std::int32_t left, std::int32_t top, std::int32_t width,
                      std::int32_t height) = 0;
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual std::int32_t ScaleWidth() const = 0;
    virtual std::int32_t ScaleHeight() const = 0;
};

// Screen measures in twips.
class IScreen {
  public:
    virtual ~IScreen() = default;
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    virtual std::int32_t TwipsPerPixelX() const = 0;
    virtual std::int32_t TwipsPerPixelY() const = 0;
};

// A modal message box with the critical (stop) icon and an OK button; returns the button code.
class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    virtual std::int16_t ShowCritical(const std::string& text, const std::string& title) = 0;
};

// The standard modal dialogs that choose a file: the path chosen, or "" when cancelled. folder
// is where the dialog starts; filter lists the kinds offered, "Text (*.txt);;All files (*)".
class IFileDialog {
  public:
    virtual ~IFileDialog() = default;
    virtual std::string OpenFileName(const std::string& title, const std::string& folder,
                                     const std::string& filter) = 0;
    // A name typed without an extension gets defaultSuffix ("txt", without the dot).
    virtual std::string SaveFileName(const std::string& title, const std::string& folder,
                                     const std::string& filter,
                                     const std::string& defaultSuffix) = 0;
};

// A modal question with Yes and No buttons, No the default; true when the user chose Yes.
// warning shows the warning icon instead of the question mark.
class IConfirmBox {
  public:
    virtual ~IConfirmBox() = default;
    virtual bool Confirm(const std::string& text, const std::string& title, bool warning) = 0;
};

class IBeeper {
  public:
    virtual ~IBeeper() = default;
    virtual void Beep() = 0;
};

}  // namespace quorvane
