#include "record/service_record.h"

#include <algorithm>

#include "image/image_compare.h"
#include "image/utc_time.h"
#include "platform/program_title.h"
#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

// The dump's labels are 30 characters, the value follows.
constexpr std::size_t kDumpLabelWidth = 30;
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

std::string SentText(const JournalEntry& e) {
    const SentValue& s = e.sent;
    std::string text = LeftAlign(s.name, kNameWidth) + RightAlign(std::to_string(e.before), 4) +
                       " -> " + RightAlign(std::to_string(s.value), 4) + "   E8 " +
                       Hex2(s.subCommand) + " " + Hex2(s.data);
    if (s.address >= 0) {
        text += "  at " + std::to_string(s.address);
    }
    return text;
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

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string JournalLine(const JournalEntry& e) {
    std::string source = "-";
    std::string text;
    switch (e.kind) {
        case JournalEntry::Kind::ValueSent:
            source = SourceName(e.sent.source);
            text = SentText(e);
            break;
        case JournalEntry::Kind::Outcome:
            source = SourceName(e.outcome.operation);
            text = OutcomeText(e.outcome);
            break;
        case JournalEntry::Kind::Message:
            source = "shown";
            text = OneLine(e.text);
            break;
        case JournalEntry::Kind::Note:
            text = e.text;
            break;
    }
    return UtcClockText(e.at) + "  " + LeftAlign(source, 8) + text + "\n";
}

std::string ItemsSection(const ServiceSession& session) {
    const std::vector<ItemValue>& read = session.ItemsAsRead();
    const std::vector<ItemValue>& now = session.State().items;
    std::string out = "Adjustment items   as read   now\n";
    for (std::size_t i = 0; i < read.size(); ++i) {
        const Int16 value = i < now.size() ? now[i].value : read[i].value;
        out += "  " + LeftAlign(read[i].title, 14) + RightAlign(std::to_string(read[i].value), 7) +
               RightAlign(std::to_string(value), 6) + (value != read[i].value ? "  changed" : "") +
               "\n";
    }
    return out;
}

std::string DumpSection(const std::vector<DumpLineDifference>& differences) {
    std::string out = "Stored parameters that differ from the image as read\n";
    if (differences.empty()) {
        return out + "  none\n";
    }
    return out + RenderSideBySide(differences, "As read", "Now");
}

std::string ReadoutSection(const SessionState& state) {
    std::string out = "Converter readouts, as last shown\n";
    for (const auto* lines : {&state.adLines, &state.daLines}) {
        for (const std::string& line : *lines) {
            if (!line.empty()) {
                out += "  " + line + "\n";
            }
        }
    }
    return out;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + "\"";
}

// A dump line's name (its label without the colon) and its value.
std::pair<std::string, std::string> DumpField(const std::string& line) {
    const std::string label = line.substr(0, std::min(line.size(), kDumpLabelWidth));
    const std::string value = line.size() > kDumpLabelWidth ? line.substr(kDumpLabelWidth) : "";
    std::string name = Trimmed(label);
    if (!name.empty() && name.back() == ':') {
        name.pop_back();
    }
    return {name, Trimmed(value)};
}

std::string Text(const ServiceSession& session, std::chrono::sys_seconds savedAt,
                 const std::vector<DumpLineDifference>& differences) {
    const SessionStart& start = session.Start();
    std::string out = std::string(kProgramTitle) + " - service record\n\n";
    out += "Program      " + std::string(kProgramTitle) + "\n";
    out += "Saved        " + UtcText(savedAt) + "\n";
    out += "Connected    " + UtcText(start.at) + "\n";
    out += "Port         " + start.port + "\n";
    out += "Transceiver  " + start.identity + "\n";
    out += "Backup       " + (start.backup.empty() ? "none" : start.backup.string()) + "\n\n";
    if (!session.Changed()) {
        out += "No value was changed in this session.\n\n";
    }
    out += ItemsSection(session) + "\n";
    out += DumpSection(differences) + "\n";
    out += ReadoutSection(session.State()) + "\n";
    out += "Journal (UTC)\n";
    for (const JournalEntry& e : session.Journal()) {
        out += JournalLine(e);
    }
    return out;
}

std::string Csv(const ServiceSession& session, const std::vector<DumpLineDifference>& differences) {
    std::string out = "kind,name,as read,now\r\n";
    const std::vector<ItemValue>& read = session.ItemsAsRead();
    const std::vector<ItemValue>& now = session.State().items;
    for (std::size_t i = 0; i < read.size() && i < now.size(); ++i) {
        if (read[i].value != now[i].value) {
            out += "item," + CsvField(read[i].title) + "," + std::to_string(read[i].value) + "," +
                   std::to_string(now[i].value) + "\r\n";
        }
    }
    for (const DumpLineDifference& d : differences) {
        const auto [name, before] = DumpField(d.a);
        out += "parameter," + CsvField(name) + "," + CsvField(before) + "," +
               CsvField(DumpField(d.b).second) + "\r\n";
    }
    return out;
}

}  // namespace

ServiceRecordFiles RenderServiceRecord(const ServiceSession& session,
                                       std::chrono::sys_seconds savedAt) {
    // The text and the table show the same dump differences: compared once.
    const std::vector<DumpLineDifference> differences =
        CompareParameterDumps(session.Start().imageAsRead, session.State().image);
    return {Text(session, savedAt, differences), Csv(session, differences)};
}

}  // namespace quorvane
