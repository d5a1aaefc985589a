#pragma once

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace quorvane {

// The window's key code for a Qt key event (the codes of platform/main_form.h and their
// siblings: letters and digits by their upper-case ASCII code, F1 112 ... F12 123), or 0 for
// a key that has none.
std::int16_t KeyCodeOf(const QKeyEvent& event);

// The shift state bits (1 Shift, 2 Ctrl, 4 Alt) of Qt's modifiers.
std::int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers);

}  // namespace quorvane
