#pragma once

#include <QWidget>
#include <exception>

namespace quorvane {

// Runs one window or timer event handler of the logic. The logic catches its own errors at
// these edges; should one still escape, it is shown in a message box here instead of
// unwinding through Qt's event loop, which would end the program. Returns false when the
// handler did not complete.
template <typename Handler>
bool RunGuarded(QWidget* owner, Handler&& handler) noexcept;

void ReportEscapedError(QWidget* owner, const char* what) noexcept;

template <typename Handler>
bool RunGuarded(QWidget* owner, Handler&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ReportEscapedError(owner, e.what());
    } catch (...) {
        ReportEscapedError(owner, "Unknown error.");
    }
    return false;
}

}  // namespace quorvane
