#include "adjust/rssi_capture.h"

#include "console/console.h"
#include "eeprom/eeprom_map.h"
#include "protocol/wire.h"

namespace quorvane {

bool RssiCapture::Step(Int16& subStep) {
    if (links_.host.SequencerBusy()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStep + 1);
    switch (subStep) {
        case substep::kRssiBegin:
            capture_ = false;
            captured_ = false;
            break;
        case substep::kRssiRead:
            if (!ReadAndCapture()) {
                return false;
            }
            break;
        default:
            next = NextAfterRead();
            break;
    }
    subStep = next;
    readPending_ = false;
    return true;
}

bool RssiCapture::ReadAndCapture() {
    const bool first = !readPending_;
    readPending_ = true;
    Int16 sd = 0;
    if (!links_.host.AdReading(kAdLineSd, first, sd)) {
        return false;
    }
    if (capture_) {
        // The first level asked for is S3, the second S1.
        const Int16 command = secondStage_ ? wire::e8::kRssiS1 : wire::e8::kRssiS3;
        const Int32 address = secondStage_ ? eepmap::kRssiS1Level : eepmap::kRssiS3Level;
        const char* name = secondStage_ ? "RSSI S1" : "RSSI S3";
        links_.host.SendStored(command, address, sd, name);
        SpecialOpOutcome stored;
        stored.operation = ChangeSource::Rssi;
        stored.name = name;
        stored.value = stored.reading = sd;
        links_.host.Ended(stored);
    }
    captured_ = capture_;
    return true;
}

Int16 RssiCapture::NextAfterRead() {
    if (!captured_) {
        return substep::kRssiRead;
    }
    if (secondStage_) {
        capture_ = false;
        secondStage_ = false;
        links_.host.Beep();
        return substep::kNone;
    }
    secondStage_ = true;
    links_.console.Disp(links_.items.rssi);
    return substep::kRssiBegin;
}

}  // namespace quorvane
