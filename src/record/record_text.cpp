#include "record/record_text.h"

#include <algorithm>

#include "image/utc_time.h"
#include "platform/program_title.h"
#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

constexpr std::size_t kNameWidth = 12;

const char* SourceName(ChangeSource source) {
    switch (source) {
        case ChangeSource::Connect:
            return "connect";
        case ChangeSource::Key:
            return "key";
        case ChangeSource::Sweep:
            return "sweep";
        case ChangeSource::Lva:
            return "LVA";
        case ChangeSource::Rssi:
            return "RSSI";
    }
    return "";
}

std::string SentText(const JournalSend& e) {
    const SentValue& s = e.sent;
    std::string text = LeftAlign(s.name, kNameWidth) + RightAlign(std::to_string(e.before), 4) +
                       " -> " + RightAlign(std::to_string(s.value), 4) + "   E8 " +
                       Hex2(s.subCommand) + " " + Hex2(s.data);
    if (s.address >= 0) {
        text += "  at " + std::to_string(s.address);
    }
    return text;
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

}  // namespace

std::vector<RecordFact> RecordFacts(const ServiceSession& session,
                                    std::chrono::sys_seconds savedAt) {
    const SessionStart& start = session.Start();
    return {{"Program", kProgramTitle},
            {"Saved", UtcText(savedAt)},
            {"Connected", UtcText(start.at)},
            {"Port", start.port},
            {"Transceiver", start.identity},
            {"Backup", start.backup.empty() ? "none" : start.backup.string()}};
}

std::vector<ItemRow> ItemRows(const ServiceSession& session) {
    const std::vector<ItemValue>& read = session.ItemsAsRead();
    const std::vector<ItemValue>& now = session.State().items;
    std::vector<ItemRow> rows;
    rows.reserve(read.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        rows.push_back(
            {read[i].title, read[i].value, i < now.size() ? now[i].value : read[i].value});
    }
    return rows;
}

std::string OutcomeText(const SpecialOpOutcome& o) {
    const std::string value = std::to_string(o.value);
    switch (o.operation) {
        case ChangeSource::Sweep:
            return o.name + " swept: kept " + value + " (best SD reading " +
                   std::to_string(o.reading) + ")";
        case ChangeSource::Lva:
            if (o.succeeded) {
                return o.name + " adjusted to " + value + " (target " + std::to_string(o.target) +
                       ", LVIN " + std::to_string(o.reading) + ")";
            }
            return o.name + " not adjusted: target " + std::to_string(o.target) +
                   " out of reach, " + value + " kept";
        default:
            return o.name + " level stored: " + value;
    }
}

std::string RunName(const SpecialOpOutcome& run) {
    return run.name + (run.operation == ChangeSource::Lva ? " adjustment" : " sweep");
}

std::string JournalLine(const JournalEntry& e) {
    struct Line {
        std::string source;
        std::string text;
    };
    struct Of {
        Line operator()(const JournalSend& s) const {
            return {SourceName(s.sent.source), SentText(s)};
        }
        Line operator()(const JournalOutcome& o) const {
            return {SourceName(o.outcome.operation), OutcomeText(o.outcome)};
        }
        Line operator()(const JournalMessage& m) const { return {"shown", OneLine(m.text)}; }
        Line operator()(const JournalNote& n) const { return {"-", n.text}; }
    };
    const auto [source, text] = std::visit(Of{}, e.what);
    return UtcClockText(e.at) + "  " + LeftAlign(source, 8) + text + "\n";
}

}  // namespace quorvane
