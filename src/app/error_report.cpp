#include "app/error_report.h"

#include "platform/number_format.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kHeading[] = "Check the following:";
constexpr char kPower[] = "- Transceiver power is ON.";
constexpr char kCable[] = "- Cloning cable connections.";
constexpr char kPort[] = "- The COM port settings.";
constexpr char kSoftware[] = "- Appropriate cloning software for the transceiver is being used.";
constexpr char kRevision[] = "- The revision number of the transceiver.";

// The lines joined by CR LF; no line break after the last.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    bool first = true;
    for (const char* line : lines) {
        if (!first) {
            out += kCrLf;
        }
        out += line;
        first = false;
    }
    return out;
}

// A blank line, the heading, then the port, cable and power lines.
std::string StandardTail() {
    return std::string(kCrLf) + kCrLf + Lines({kHeading, kPort, kCable, kPower});
}

std::string LinkErrorMessage(LinkError lastError) {
    switch (lastError) {
        case LinkError::NoEcho:
            return "Cannot access COM port" + StandardTail();
        case LinkError::NoAnswer:
            return "No answer from transceiver." + StandardTail();
        case LinkError::BadAnswer:
            return "Illegal data." + StandardTail();
        case LinkError::FrameCountWrong:
            return "Data counter error." + StandardTail();
        case LinkError::CloneDataNotStorable:
            return "Data overflow." + StandardTail();
        case LinkError::LineBusy:
            return Lines({"Transceiver is still sending clone data.", "",
                          "Wait until it stops, then press Connect again."});
        case LinkError::CloneWriteRefused:
        case LinkError::CloneWriteRejected:
            return Lines({"Cannot write cloning data.", "", kHeading, kCable, kPower});
        default:
            return Lines({"Cannot Clone.", "", kHeading, "", kPort, kCable, kPower});
    }
}

std::string SequencerErrorMessage(SequenceError error) {
    switch (error) {
        case SequenceError::None:
            return Lines({"Communication failed.", "", kHeading, kCable, kPower});
        case SequenceError::SubNameRefused:
            return Lines({"Version number does not match", "for this transceiver."});
        case SequenceError::RevisionUnfit:
            return Lines({"Connected transceiver is not compatible model.", "", kHeading, kSoftware,
                          kRevision});
        default:
            return "Cannot Clone." + StandardTail();
    }
}

}  // namespace

std::string CloneErrorMessage(const CloneErrorState& state) {
    if (state.errCannotOpen) {
        return "Cannot access COM" + StrNumber(state.comPortNum) + "." + StandardTail();
    }
    if (state.errOverflow) {
        return "COM buffer overflow." + StandardTail();
    }
    if (state.lastError != LinkError::None) {
        return LinkErrorMessage(state.lastError);
    }
    return SequencerErrorMessage(state.sequencerError);
}

std::string RuntimeErrorMessage(const std::string& what) {
    return "Run-time error: " + what;
}

Int16 MsgBoxCritical(IMessageBox& box, const std::string& text) {
    return box.ShowCritical(ExpandNewlines(text), kProgramTitle);
}

}  // namespace quorvane
