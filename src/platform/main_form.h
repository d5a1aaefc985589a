#pragma once

#include <array>
#include <cstdint>

#include "platform/ui_controls.h"

namespace quorvane {

// The main window's controls, by their own names, as the logic sees them. The Qt window
// builds the real ones; tests build fakes. Control arrays are indexed from 0, the COM port
// menu from 1 (element 0 of mnuOptSelCom is unused and null).
struct frmMainControls {
    IWindow* window = nullptr;
    IScreen* screen = nullptr;
    std::array<IButton*, 3> cmd00{};
    std::array<IFrame*, 4> fra01{};
    std::array<IListBox*, 2> lbo01{};
    IListBox* lboConsole = nullptr;
    ITextBox* txtDispPara = nullptr;
    ILabel* lblTitle = nullptr;
    ILabel* lblProgress = nullptr;
    ILabel* lblComBusy = nullptr;
    // On the parameter page, over the dump: the name and origin of an image file shown there.
    ILabel* lblImageFile = nullptr;
    std::array<ILine*, 2> linSepa{};
    std::array<IMenuItem*, 5> mnuOptSelCom{};
    std::array<IMenuItem*, 6> mnuOptionSelAutoRelease{};
    IMenuItem* mnuFileSave = nullptr;
    IMenuItem* mnuFileOpen = nullptr;
    IMenuItem* mnuFileWrite = nullptr;
    IMenuItem* mnuFileRecord = nullptr;
    IMessageBox* messageBox = nullptr;
    IConfirmBox* confirmBox = nullptr;
    IFileDialog* fileDialog = nullptr;
    IBeeper* beeper = nullptr;
};

// Key codes of the window's key events.
inline constexpr std::int16_t vbKeyReturn = 13;
inline constexpr std::int16_t vbKeyLeft = 37;
inline constexpr std::int16_t vbKeyRight = 39;
inline constexpr std::int16_t vbKeySeparator = 108;
inline constexpr std::int16_t vbKeyF5 = 116;
// Shift state bits.
inline constexpr std::int16_t vbShiftMask = 1;
inline constexpr std::int16_t vbCtrlMask = 2;
inline constexpr std::int16_t vbAltMask = 4;

// What the window reports to the main window's logic. Runs on the user-interface thread.
class IMainFormEvents {
  public:
    // Key pressed on the item list; returns true when the key is consumed (the list never
    // sees it).
    virtual bool lboConsole_KeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
    virtual void lboConsole_GotFocus() = 0;
    // Any key pressed anywhere in the window, before the focused control sees it.
    virtual void Form_KeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
    virtual void cmd00_Click(std::int16_t index) = 0;
    // A character typed while button index has the focus.
    virtual void cmd00_KeyPress(std::int16_t index, char keyAscii) = 0;
    virtual void mnuOptSelCom_Click(std::int16_t index) = 0;
    virtual void mnuOptionSelAutoRelease_Click(std::int16_t index) = 0;
    virtual void mnuFileSave_Click() = 0;
    virtual void mnuFileOpen_Click() = 0;
    virtual void mnuFileWrite_Click() = 0;
    virtual void mnuFileRecord_Click() = 0;
    virtual void mnuFileExit_Click() = 0;
    virtual void Form_Load() = 0;
    virtual void Form_Resize() = 0;
    // The window is about to close (close box or File > Exit); the close is never refused.
    virtual void Form_QueryUnload() = 0;
    virtual void Form_Unload() = 0;

  protected:
    ~IMainFormEvents() = default;
};

}  // namespace quorvane
