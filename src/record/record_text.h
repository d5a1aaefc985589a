#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "record/service_session.h"

namespace quorvane {

// The words a service record's text and its page share, so both say the same.

// One line of the record's head: "Port", "COM 1 (/dev/ttyUSB0)".
struct RecordFact {
    const char* label;
    std::string value;
};

// Program, saved, connected, port, transceiver and backup.
std::vector<RecordFact> RecordFacts(const ServiceSession& session,
                                    std::chrono::sys_seconds savedAt);

inline constexpr const char* kNothingChangedText = "No value was changed in this session.";

// An adjustment item as read and as it is now.
struct ItemRow {
    std::string title;
    Int16 asRead = 0;
    Int16 now = 0;
    bool Changed() const { return now != asRead; }
};

std::vector<ItemRow> ItemRows(const ServiceSession& session);

// "BPF T1 swept: kept 90 (best SD reading 220)"
std::string OutcomeText(const SpecialOpOutcome& outcome);

// "BPF T1 sweep", "RX LVA adjustment"
std::string RunName(const SpecialOpOutcome& run);

// "05:16:02  sweep   BPF T1 swept: kept 90 (best SD reading 220)", ending with "\n".
std::string JournalLine(const JournalEntry& entry);

}  // namespace quorvane
