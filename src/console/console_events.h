#pragma once

#include <string>

#include "platform/checked.h"

namespace quorvane {

class clsConsole;

// The item-specific behaviour the console hands back to its owner: the adjustment operations
// object implements it. Arguments: the console, the item index, the item's event number and
// its current value.
class IConsoleEvents {
  public:
    // The complete line text of the item.
    virtual std::string ConsEv_Disp(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) = 0;
    virtual void ConsEv_SendE8(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) = 0;
    virtual void ConsEv_Enter(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) = 0;
    // The wait, in milliseconds, to observe after an E8 command was sent.
    virtual void WaitE8Required(Int32 ms) = 0;

  protected:
    ~IConsoleEvents() = default;
};

}  // namespace quorvane
