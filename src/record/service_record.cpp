#include "record/service_record.h"

#include <algorithm>

#include "image/image_compare.h"
#include "platform/program_title.h"
#include "platform/text.h"
#include "record/record_text.h"
#include "record/service_record_html.h"

namespace quorvane {

namespace {

std::string ItemsSection(const ServiceSession& session) {
    std::string out = "Adjustment items   as read   now\n";
    for (const ItemRow& row : ItemRows(session)) {
        out += "  " + LeftAlign(row.title, 14) + RightAlign(std::to_string(row.asRead), 7) +
               RightAlign(std::to_string(row.now), 6) + (row.Changed() ? "  changed" : "") + "\n";
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

std::string Text(const ServiceSession& session, std::chrono::sys_seconds savedAt,
                 const std::vector<DumpLineDifference>& differences) {
    std::string out = std::string(kProgramTitle) + " - service record\n\n";
    for (const RecordFact& fact : RecordFacts(session, savedAt)) {
        out += LeftAlign(fact.label, 13) + fact.value + "\n";
    }
    out += "\n";
    if (!session.Changed()) {
        out += std::string(kNothingChangedText) + "\n\n";
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
    for (const ItemRow& row : ItemRows(session)) {
        if (row.Changed()) {
            out += "item," + CsvField(row.title) + "," + std::to_string(row.asRead) + "," +
                   std::to_string(row.now) + "\r\n";
        }
    }
    for (const DumpLineDifference& d : differences) {
        out += "parameter," + CsvField(d.name) + "," + CsvField(d.before) + "," + CsvField(d.now) +
               "\r\n";
    }
    return out;
}

}  // namespace

ServiceRecordFiles RenderServiceRecord(const ServiceSession& session,
                                       std::chrono::sys_seconds savedAt,
                                       const ICurveChart* charts) {
    // The text, the table and the page show the same dump differences: compared once.
    const std::vector<DumpLineDifference> differences =
        CompareParameterDumps(session.Start().imageAsRead, session.State().image);
    return {Text(session, savedAt, differences), Csv(session, differences),
            RenderServiceRecordHtml(session, savedAt, differences, charts)};
}

}  // namespace quorvane
