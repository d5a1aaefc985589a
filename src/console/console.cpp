#include "console/console.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

clsConsole::Item& clsConsole::At(Int16 Index) {
    return CheckedAt(items_, Index, "console item");
}

const clsConsole::Item& clsConsole::At(Int16 Index) const {
    return CheckedAt(items_, Index, "console item");
}

IListBox& clsConsole::ListBox() const {
    if (myListBox == nullptr) {
        raiseInvalidArgument("console without a list box");
    }
    return *myListBox;
}

IConsoleEvents& clsConsole::Events() const {
    if (myEventClass == nullptr) {
        raiseInvalidArgument("console without an event handler");
    }
    return *myEventClass;
}

clsCmcEeprom& clsConsole::Eeprom() const {
    if (myEeprom == nullptr) {
        raiseInvalidArgument("console without an EEPROM image");
    }
    return *myEeprom;
}

void clsConsole::Clear() {
    items_.clear();
    ListBox().Clear();
}

void clsConsole::AddItem() {
    if (items_.size() >= static_cast<std::size_t>(std::numeric_limits<Int16>::max())) {
        raiseOverflow("console item count");
    }
    items_.emplace_back();
    IListBox& box = ListBox();
    while (box.ListCount() < ListCount()) {
        box.AddItem("");
    }
    Disp(static_cast<Int16>(ListCount() - 1));
}

void clsConsole::ClampValue(Int16 Index) {
    Item& item = At(Index);
    const Int16 old = item.Value;
    if (item.Value < item.Min) {
        item.Value = item.Min;
    }
    if (item.Max < item.Value) {
        item.Value = item.Max;
    }
    if (item.Value != old) {
        Disp(Index);
    }
}

void clsConsole::Title(Int16 Index, const std::string& title) {
    At(Index).Title = title;
    Disp(Index);
}

void clsConsole::Value(Int16 Index, Int16 value) {
    // Redraws call back into the owner, so the item is looked up afresh after each of them.
    const Int16 old = At(Index).Value;
    At(Index).Value = value;
    ClampValue(Index);
    if (At(Index).Value != old) {
        Disp(Index);
    }
    At(Index).flgChanged = true;
}

void clsConsole::Min(Int16 Index, Int16 value) {
    Item& item = At(Index);
    item.Min = value;
    if (item.Max < item.Min) {
        item.Max = item.Min;
    }
    ClampValue(Index);
    Disp(Index);
}

void clsConsole::Max(Int16 Index, Int16 value) {
    Item& item = At(Index);
    item.Max = value;
    if (item.Max < item.Min) {
        item.Min = item.Max;
    }
    ClampValue(Index);
    Disp(Index);
}

void clsConsole::Event_Disp(Int16 Index, Int16 evNo) {
    At(Index).Event_Disp = evNo;
    Disp(Index);
}

void clsConsole::flgChanged(Int16 Index, bool on) {
    At(Index).flgChanged = on;
    if (on) {
        ClampValue(Index);
        Disp(Index);
    }
}

void clsConsole::flgEnterOn(Int16 Index, bool on) {
    At(Index);  // check first: a bad index changes nothing
    if (on) {
        for (Item& item : items_) {
            item.flgEnterOn = false;
        }
    }
    At(Index).flgEnterOn = on;
}

void clsConsole::UpDown(Int16 Index, Int16 stp) {
    const Item item = At(Index);
    Int16 next = 0;
    if (item.LoopVal && item.Value >= item.Max && stp > 0) {
        next = item.Min;
    } else if (item.LoopVal && item.Value <= item.Min && stp < 0) {
        next = item.Max;
    } else {
        next = Add16(item.Value, stp);
    }
    Value(Index, next);
}

std::string clsConsole::DefaultString(Int16 Index) const {
    const Item& item = At(Index);
    std::string text = item.Title + ":" + Right("   " + std::to_string(item.Value), 4);
    if (item.BarExist) {
        text += BarString(Index);
    }
    return text;
}

std::string clsConsole::BarString(Int16 Index) const {
    const Item& item = At(Index);
    const Int16 span = Sub16(item.Max, item.Min);
    const Int16 scaled = Mul16(Sub16(item.Value, item.Min), kBarWidth);
    // An item without a range has nothing to scale; it shows an empty bar rather than failing.
    const double exact = span == 0 ? 0.0 : static_cast<double>(scaled) / span;
    const auto n = static_cast<Int16>(std::nearbyint(exact));  // halves go to even
    const Int16 filled = std::clamp<Int16>(n, 0, kBarWidth);
    return " [" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]";
}

void clsConsole::Disp(Int16 Index) {
    const Item& item = At(Index);
    if (item.Event_Disp < 0) {
        ListBox().List(Index, DefaultString(Index));
    } else {
        ListBox().List(Index, Events().ConsEv_Disp(*this, Index, item.Event_Disp, item.Value));
    }
}

void clsConsole::ReadFromEe(Int16 Index) {
    const Item& item = At(Index);
    if (item.EeAdr < 0) {
        return;
    }
    Int16 value = Eeprom().ReadByte(item.EeAdr);
    if (item.EeDataSigned && value > 127) {
        value = static_cast<Int16>(value - 256);
    }
    Value(Index, value);
}

void clsConsole::WriteToEe(Int16 Index) {
    const Item& item = At(Index);
    if (item.EeAdr < 0) {
        return;
    }
    Eeprom().WriteByte(item.EeAdr, static_cast<std::uint8_t>(item.Value & 0xFF));
}

void clsConsole::SendE8(Int16 Index) {
    // A copy: the sequencer and the handler may reach back into the console.
    const Item item = At(Index);
    if (item.Event_SendE8 < 0) {
        if (item.E8Command >= 0) {
            if (myVep3Seq == nullptr) {
                raiseInvalidArgument("console without a sequencer");
            }
            myVep3Seq->easySendE8NoAnswer(Hex2(item.E8Command) + Hex2AsAsciiHex(item.Value));
            Events().WaitE8Required(item.WaitAfterE8);
        }
    } else {
        Events().ConsEv_SendE8(*this, Index, item.Event_SendE8, item.Value);
    }
    WriteToEe(Index);
}

void clsConsole::EnterPushed(Int16 Index) {
    flgEnterOn(Index, true);
}

void clsConsole::EnterExec(Int16 Index) {
    const Item item = At(Index);
    if (item.Event_Enter >= 0) {
        Events().ConsEv_Enter(*this, Index, item.Event_Enter, item.Value);
        Disp(Index);
    }
}

}  // namespace quorvane
