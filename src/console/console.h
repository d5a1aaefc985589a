#pragma once

#include <string>
#include <vector>

#include "console/console_events.h"
#include "platform/checked.h"
#include "platform/ui_controls.h"
#include "protocol/e8_sender.h"
#include "protocol/eeprom.h"

namespace quorvane {

// The adjustment items of the main screen: item i is line i of the list box. Each item has a
// value kept within its limits, a line text, an EEPROM byte and an E8 command that sends it
// live. Item-specific behaviour goes through the event numbers to myEventClass.
// Every indexed operation raises IndexOutOfRange for an index outside 0..ListCount-1.
class clsConsole {
  public:
    static constexpr Int16 kBarWidth = 20;

    // The owner sets these before adding items.
    IListBox* myListBox = nullptr;
    IConsoleEvents* myEventClass = nullptr;
    IE8Sender* myVep3Seq = nullptr;
    clsCmcEeprom* myEeprom = nullptr;

    void Clear();
    void AddItem();
    Int16 ListCount() const { return static_cast<Int16>(items_.size()); }

    std::string DefaultString(Int16 Index) const;
    std::string BarString(Int16 Index) const;
    void UpDown(Int16 Index, Int16 stp);
    void Disp(Int16 Index);
    void ReadFromEe(Int16 Index);
    void WriteToEe(Int16 Index);
    void SendE8(Int16 Index);
    void EnterPushed(Int16 Index);
    void EnterExec(Int16 Index);

    // Item properties.
    const std::string& Title(Int16 Index) const { return At(Index).Title; }
    void Title(Int16 Index, const std::string& title);
    Int16 Value(Int16 Index) const { return At(Index).Value; }
    void Value(Int16 Index, Int16 value);
    Int16 Min(Int16 Index) const { return At(Index).Min; }
    void Min(Int16 Index, Int16 value);
    Int16 Max(Int16 Index) const { return At(Index).Max; }
    void Max(Int16 Index, Int16 value);
    bool BarExist(Int16 Index) const { return At(Index).BarExist; }
    void BarExist(Int16 Index, bool on) { At(Index).BarExist = on; }
    bool LoopVal(Int16 Index) const { return At(Index).LoopVal; }
    void LoopVal(Int16 Index, bool on) { At(Index).LoopVal = on; }
    Int32 WaitAfterE8(Int16 Index) const { return At(Index).WaitAfterE8; }
    void WaitAfterE8(Int16 Index, Int32 ms) { At(Index).WaitAfterE8 = ms; }
    Int32 EeAdr(Int16 Index) const { return At(Index).EeAdr; }
    void EeAdr(Int16 Index, Int32 adr) { At(Index).EeAdr = adr; }
    bool EeDataSigned(Int16 Index) const { return At(Index).EeDataSigned; }
    void EeDataSigned(Int16 Index, bool on) { At(Index).EeDataSigned = on; }
    Int16 E8Command(Int16 Index) const { return At(Index).E8Command; }
    void E8Command(Int16 Index, Int16 command) { At(Index).E8Command = command; }
    Int16 Event_Disp(Int16 Index) const { return At(Index).Event_Disp; }
    void Event_Disp(Int16 Index, Int16 evNo);
    Int16 Event_Changed(Int16 Index) const { return At(Index).Event_Changed; }
    void Event_Changed(Int16 Index, Int16 evNo) { At(Index).Event_Changed = evNo; }
    Int16 Event_SendE8(Int16 Index) const { return At(Index).Event_SendE8; }
    void Event_SendE8(Int16 Index, Int16 evNo) { At(Index).Event_SendE8 = evNo; }
    Int16 Event_Enter(Int16 Index) const { return At(Index).Event_Enter; }
    void Event_Enter(Int16 Index, Int16 evNo) { At(Index).Event_Enter = evNo; }
    bool flgChanged(Int16 Index) const { return At(Index).flgChanged; }
    void flgChanged(Int16 Index, bool on);
    bool flgEnterOn(Int16 Index) const { return At(Index).flgEnterOn; }
    void flgEnterOn(Int16 Index, bool on);

  private:
    struct Item {
        std::string Title;
        Int16 Value = 0;
        Int16 Min = 0;
        Int16 Max = 255;
        bool BarExist = false;
        bool LoopVal = false;
        Int32 WaitAfterE8 = 200;
        Int32 EeAdr = -1;
        bool EeDataSigned = false;
        Int16 E8Command = -1;
        Int16 Event_Disp = -1;
        Int16 Event_Changed = -1;
        Int16 Event_SendE8 = -1;
        Int16 Event_Enter = -1;
        bool flgChanged = false;
        bool flgEnterOn = false;
    };

    Item& At(Int16 Index);
    const Item& At(Int16 Index) const;
    void ClampValue(Int16 Index);
    IListBox& ListBox() const;
    IConsoleEvents& Events() const;
    clsCmcEeprom& Eeprom() const;

    std::vector<Item> items_;
};

}  // namespace quorvane
