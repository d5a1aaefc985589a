#include "qt/qt_key_codes.h"

#include <QKeyEvent>

#include "platform/main_form.h"

namespace quorvane {
namespace {

struct KeyPair {
    int qtKey;
    std::int16_t code;
};

constexpr KeyPair kMainKeys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, vbKeyReturn},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, vbKeyLeft},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, vbKeyRight},
    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
};

// The number block: digits and operators have codes of their own there.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

std::int16_t Lookup(const KeyPair* begin, const KeyPair* end, int key) {
    for (const KeyPair* p = begin; p != end; ++p) {
        if (p->qtKey == key) {
            return p->code;
        }
    }
    return 0;
}

}  // namespace

std::int16_t KeyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    // The number block's Enter is reported as the separator key, which the item list treats
    // like Enter.
    if (key == Qt::Key_Enter) {
        return vbKeySeparator;
    }
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            return static_cast<std::int16_t>(96 + (key - Qt::Key_0));
        }
        if (const std::int16_t code = Lookup(std::begin(kKeypadKeys), std::end(kKeypadKeys), key)) {
            return code;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::int16_t>(key);  // Qt uses the upper-case ASCII codes here
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16) {
        return static_cast<std::int16_t>(112 + (key - Qt::Key_F1));
    }
    return Lookup(std::begin(kMainKeys), std::end(kMainKeys), key);
}

std::int16_t ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    std::int16_t shift = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        shift |= vbShiftMask;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        shift |= vbCtrlMask;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        shift |= vbAltMask;
    }
    return shift;
}

}  // namespace quorvane
