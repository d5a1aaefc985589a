#include "record/service_record_html.h"

#include "image/utc_time.h"
#include "platform/program_title.h"
#include "record/record_text.h"

namespace quorvane {

namespace {

// Fonts named first are the ones the program's machines install, metric twins of the ones
// named after them, so a page lays out alike everywhere; each line has a fixed height.
constexpr const char* kStyle = R"(
@page { margin: 14mm 15mm 16mm;
        @bottom-right { content: "Page " counter(page) " of " counter(pages);
                        font: 8pt "Liberation Sans", Arial, sans-serif; } }
html { font: 10pt/1.35 "Liberation Sans", Arial, Helvetica, sans-serif; color: #000;
       background: #fff; }
body { margin: 0 auto; max-width: 180mm; padding: 0 4mm; }
h1 { font-size: 15pt; margin: 4mm 0 1mm; }
h2 { font-size: 12pt; margin: 6mm 0 2mm; border-bottom: 0.3mm solid #888;
     break-after: avoid; page-break-after: avoid; }
table { border-collapse: collapse; }
th, td { padding: 0.3mm 3mm 0.3mm 0; text-align: left; vertical-align: top; }
th { font-weight: bold; border-bottom: 0.2mm solid #888; }
.facts th { border: none; padding-right: 5mm; }
td.n, th.n { text-align: right; }
tr, figure, .readouts, .note { break-inside: avoid; page-break-inside: avoid; }
tr.changed td { font-weight: bold; }
tr.changed td.mark { color: #a33; }
.mono, pre { font-family: "Liberation Mono", "Courier New", Courier, monospace; font-size: 8.5pt;
             line-height: 1.3; }
pre { margin: 0; white-space: pre-wrap; }
.note { padding: 1.5mm 3mm; border: 0.3mm solid #888; }
.readouts { display: flex; gap: 12mm; }
figure { margin: 3mm 0 6mm; }
figcaption { font-weight: bold; margin-bottom: 1mm; }
svg.chart { display: block; width: 100%; height: auto; }
svg.chart text { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; }
)";

// Text as HTML character data or attribute value.
std::string Html(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Text as a CSS string inside a <style> element.
std::string CssString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '<') {
            out += "\\3C ";  // never "</style>"
        } else if (c == '\n' || c == '\r') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Every printed page names the transceiver and the time of the record.
std::string Footer(const std::string& text) {
    return "@page { @bottom-left { content: " + CssString(text) +
           "; font: 8pt \"Liberation Sans\", Arial, sans-serif; } }\n";
}

std::string Cell(const std::string& text, const char* cls = nullptr) {
    return cls != nullptr ? "<td class=\"" + std::string(cls) + "\">" + Html(text) + "</td>"
                          : "<td>" + Html(text) + "</td>";
}

std::string Head(const ServiceSession& session, std::chrono::sys_seconds savedAt) {
    std::string out = "<h1>Service record</h1>\n<table class=\"facts\">\n";
    for (const RecordFact& fact : RecordFacts(session, savedAt)) {
        out += "<tr><th>" + Html(fact.label) + "</th>" + Cell(fact.value) + "</tr>\n";
    }
    out += "</table>\n";
    if (!session.Changed()) {
        out += "<p class=\"note\">" + Html(kNothingChangedText) + "</p>\n";
    }
    return out;
}

std::string Items(const ServiceSession& session) {
    std::string out =
        "<h2>Adjustment items</h2>\n<table class=\"items\">\n<thead><tr><th>Item</th>"
        "<th class=\"n\">As read</th><th class=\"n\">Now</th><th></th></tr></thead>\n<tbody>\n";
    for (const ItemRow& row : ItemRows(session)) {
        out += row.Changed() ? "<tr class=\"changed\">" : "<tr>";
        out += Cell(row.title) + Cell(std::to_string(row.asRead), "n") +
               Cell(std::to_string(row.now), "n") + Cell(row.Changed() ? "changed" : "", "mark") +
               "</tr>\n";
    }
    return out + "</tbody>\n</table>\n";
}

std::string Parameters(const std::vector<DumpLineDifference>& differences) {
    std::string out = "<h2>Stored parameters that differ from the image as read</h2>\n";
    if (differences.empty()) {
        return out + "<p>None.</p>\n";
    }
    out +=
        "<table class=\"parameters\">\n<thead><tr><th class=\"n\">Line</th><th>Parameter</th>"
        "<th class=\"n\">As read</th><th class=\"n\">Now</th></tr></thead>\n<tbody>\n";
    for (const DumpLineDifference& d : differences) {
        out += "<tr>" + Cell(std::to_string(d.line), "n") + Cell(d.name) + Cell(d.before, "n") +
               Cell(d.now, "n") + "</tr>\n";
    }
    return out + "</tbody>\n</table>\n";
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string out = "<pre>";
    for (const std::string& line : lines) {
        if (!line.empty()) {
            out += Html(line) + "\n";
        }
    }
    return out + "</pre>";
}

std::string Readouts(const SessionState& state) {
    return "<h2>Converter readouts, as last shown</h2>\n<div class=\"readouts\">" +
           Lines(state.adLines) + Lines(state.daLines) + "</div>\n";
}

std::string Figure(const JournalEntry& e, const ICurveChart* charts) {
    const SpecialOpOutcome& run = *e.Outcome();
    std::string out = "<figure>\n<figcaption>" + Html(UtcClockText(e.at) + "  " + RunName(run)) +
                      "</figcaption>\n";
    if (charts != nullptr) {
        out += charts->Svg(run) + "\n";
    } else {
        out += "<p>" + Html(OutcomeText(run)) + "; " + std::to_string(run.points.size()) +
               " readings, not drawn.</p>\n";
    }
    return out + "</figure>\n";
}

std::string Operations(const ServiceSession& session, const ICurveChart* charts) {
    std::string out = "<h2>Special operations</h2>\n";
    std::string rows;
    for (const JournalEntry& e : session.Journal()) {
        if (e.Outcome() != nullptr) {
            rows += "<tr>" + Cell(UtcClockText(e.at), "mono") + Cell(OutcomeText(*e.Outcome())) +
                    "</tr>\n";
        }
    }
    if (rows.empty()) {
        return out + "<p>None.</p>\n";
    }
    out += "<table class=\"outcomes\">\n<tbody>\n" + rows + "</tbody>\n</table>\n";
    for (const JournalEntry* e : session.Curves()) {
        out += Figure(*e, charts);
    }
    return out;
}

std::string Journal(const ServiceSession& session) {
    std::string out = "<h2>Journal (UTC)</h2>\n<pre class=\"journal\">";
    for (const JournalEntry& e : session.Journal()) {
        out += Html(JournalLine(e));
    }
    return out + "</pre>\n";
}

}  // namespace

std::string RenderServiceRecordHtml(const ServiceSession& session, std::chrono::sys_seconds savedAt,
                                    const std::vector<DumpLineDifference>& differences,
                                    const ICurveChart* charts) {
    const std::string about = session.Start().identity + ", " + UtcText(savedAt);
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           Html(std::string(kProgramTitle) + " - service record, " + about) + "</title>\n<style>" +
           kStyle + Footer("Service record, " + about) + "</style>\n</head>\n<body>\n" +
           Head(session, savedAt) + Items(session) + Parameters(differences) +
           Readouts(session.State()) + Operations(session, charts) + Journal(session) +
           "</body>\n</html>\n";
}

}  // namespace quorvane
