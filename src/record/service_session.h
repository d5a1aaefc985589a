#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "adjust/session_events.h"
#include "platform/byte_string.h"
#include "platform/wall_clock.h"

namespace quorvane {

// What the program noted: "Connected: ...", an image written.
struct JournalNote {
    std::string text;
};

// A value sent to the transceiver, with the value it replaced.
struct JournalSend {
    SentValue sent;
    Int16 before = 0;
};

// A sweep, LVA adjustment or RSSI capture that ended.
struct JournalOutcome {
    SpecialOpOutcome outcome;
};

// A message box the window showed.
struct JournalMessage {
    std::string text;
};

// One line of the session's journal: when, and one of the four kinds.
struct JournalEntry {
    std::chrono::sys_seconds at{};
    std::variant<JournalNote, JournalSend, JournalOutcome, JournalMessage> what;

    // The ended operation of an outcome entry; null for the other kinds.
    const SpecialOpOutcome* Outcome() const {
        const auto* o = std::get_if<JournalOutcome>(&what);
        return o != nullptr ? &o->outcome : nullptr;
    }
};

// Where and what was connected when the session began.
struct SessionStart {
    std::chrono::sys_seconds at{};
    std::string port;      // "COM 1 (/dev/ttyUSB0)"
    std::string identity;  // "model 8537, sub 0200, revision 04"
    Bytes imageAsRead;
    std::filesystem::path backup;  // the image's automatic backup; empty when none was written
};

// What the window last showed of the session: the items, the image with every change sent,
// and the converter readouts.
struct SessionState {
    std::vector<ItemValue> items;
    Bytes image;
    std::vector<std::string> adLines;
    std::vector<std::string> daLines;
};

// The work on one transceiver from the read that identified it: the items and image as read,
// as they are now, and the journal of everything sent, every special operation's outcome and
// every message shown, in time order.
class ServiceSession {
  public:
    ServiceSession(SessionStart start, IWallClock& clock);

    // The items after a read. The first read gives the values "as read"; every read gives the
    // values later sends are compared with.
    void ItemsRead(const std::vector<ItemValue>& items);
    void ValueSent(const SentValue& sent);
    void SpecialOpEnded(const SpecialOpOutcome& outcome);
    void Note(std::string text);
    void Message(std::string text);
    void Now(SessionState state) { now_ = std::move(state); }

    // Something was sent by a key or an operation, an image was written, or an item or the
    // image differs from what was read: the connect's own sends change nothing.
    bool Changed() const {
        return changed_ || now_.items != itemsAsRead_ || now_.image != start_.imageAsRead;
    }
    void ImageWritten(std::string text);

    const SessionStart& Start() const { return start_; }
    const std::vector<ItemValue>& ItemsAsRead() const { return itemsAsRead_; }
    const SessionState& State() const { return now_; }
    const std::vector<JournalEntry>& Journal() const { return journal_; }
    // The journal's ended sweeps and LVA adjustments, each with its readings, in time order;
    // valid until the journal grows.
    std::vector<const JournalEntry*> Curves() const;

  private:
    void Add(decltype(JournalEntry::what) what);

    SessionStart start_;
    IWallClock& clock_;
    std::vector<ItemValue> itemsAsRead_;
    SessionState now_;
    std::map<std::string, Int16> last_;  // by item or parameter name: the value last sent or read
    std::vector<JournalEntry> journal_;
    bool changed_ = false;
};

}  // namespace quorvane
