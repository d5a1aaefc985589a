#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "platform/ui_controls.h"

namespace quorvane {

// The modal critical message box: stop icon, OK only, the title given, the text as plain
// text with its CR LF line breaks. Its owner may be null (before the main window exists).
class QtMessageBox final : public IMessageBox {
  public:
    explicit QtMessageBox(QWidget* owner = nullptr) : owner_(owner) {}

    // Returns 1, the code of the OK button, once the user has closed the box.
    std::int16_t ShowCritical(const std::string& text, const std::string& title) override;

  private:
    QPointer<QWidget> owner_;
};

// The Yes/No question: No is the default button and Escape answers No too, so that nothing
// is done by a key pressed in haste.
class QtConfirmBox final : public IConfirmBox {
  public:
    explicit QtConfirmBox(QWidget* owner = nullptr) : owner_(owner) {}

    bool Confirm(const std::string& text, const std::string& title, bool warning) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace quorvane
