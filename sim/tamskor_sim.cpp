#include "tamskor_sim.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "e8_items.h"
#include "protocol/common.h"

namespace quorvane::sim {

namespace {

// Stray bytes of the garbage fault; never 0xFE or 0xFD, so they sit between frames.
const Bytes kGarbageBytes{0x00, 0x55, 0xAA, 0x13, 0x7F};

bool HasFrameByte(std::uint16_t id) {
    for (std::uint8_t b : {static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id)}) {
        if (b == wire::kPreamble || b == wire::kEndOfFrame) {
            return true;
        }
    }
    return false;
}

std::uint16_t IdAt(const Bytes& c, std::size_t i) {
    return static_cast<std::uint16_t>(c[i] << 8 | c[i + 1]);
}

void PutId(Bytes& b, std::uint16_t id) {
    b.push_back(static_cast<std::uint8_t>(id >> 8));
    b.push_back(static_cast<std::uint8_t>(id & 0xFF));
}

std::string Hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
    return buf;
}

}  // namespace

TamskorSim::TamskorSim(TamskorConfig config, SimImage image)
    : config_(std::move(config)),
      image_(std::move(image)),
      analog_(config_.analog),
      line_(config_.baud),
      sub_(config_.faults.Has(Fault::RefusedSub) ? std::uint16_t{0x0300} : config_.sub),
      revision_(config_.faults.Has(Fault::UnfitRevision) ? std::uint8_t{0x03} : config_.revision) {
    // A frame of 11 + 2n bytes must fit the program's 256-byte receive buffer.
    if (config_.bytesPerFrame < 1 || config_.bytesPerFrame > 122) {
        throw std::invalid_argument("data bytes per clone frame must be 1..122");
    }
    if (HasFrameByte(config_.model) || HasFrameByte(sub_)) {
        throw std::invalid_argument("identifiers must not contain the bytes FE or FD");
    }
    if (revision_ == wire::kPreamble || revision_ == wire::kEndOfFrame) {
        throw std::invalid_argument("the revision byte must not be FE or FD");
    }
    if (config_.serial.size() != 8 ||
        !std::all_of(config_.serial.begin(), config_.serial.end(),
                     [](char ch) { return ch >= '0' && ch <= '9'; })) {
        throw std::invalid_argument("the serial number must be 8 digits");
    }
    if (config_.cloneEnd < 0 || config_.cloneEnd >= kImageSize) {
        throw std::invalid_argument("the clone area must end inside the image");
    }
    if (config_.turnaround < 0 || config_.frameGap < 0) {
        throw std::invalid_argument("times must not be negative");
    }
}

void TamskorSim::Receive(const Bytes& bytes, SimTime t) {
    for (auto b : bytes) {
        Receive(b, t);
    }
}

void TamskorSim::Receive(std::uint8_t byte, SimTime t) {
    t = std::max(t, lastTime_);
    lastTime_ = t;
    Generate(t);
    if (hungUp_) {
        return;
    }
    if (!config_.faults.Has(Fault::NoEcho)) {
        line_.Pass(byte, t);
    }
    if (auto content = parser_.Push(byte)) {
        HandleFrame(*content, t);
    }
}

Bytes TamskorSim::TakeDue(SimTime now) {
    now = std::max(now, lastTime_);
    lastTime_ = now;
    Generate(now);
    if (hungUp_) {
        line_.DropAfter(hangUpAt_);
    }
    return line_.TakeDue(now);
}

SimTime TamskorSim::NextFrameStart() const {
    const SimTime gap = streamFrames_ > 0 ? config_.frameGap : 0;
    return std::max(streamEarliest_, line_.FreeAt() + gap);
}

std::optional<SimTime> TamskorSim::NextEvent() const {
    auto next = line_.NextDue();
    if (streaming_) {
        const SimTime start = NextFrameStart();
        next = next ? std::min(*next, start) : start;
    }
    return next;
}

std::uint8_t TamskorSim::Readout(std::uint8_t selector) const {
    return analog_.Read(selector, image_, channel_, lastLva_);
}

void TamskorSim::Generate(SimTime now) {
    while (streaming_) {
        const SimTime start = NextFrameStart();
        if (start > now) {
            break;
        }
        if (streamAdr_ <= config_.cloneEnd) {
            const std::int32_t n =
                std::min(config_.bytesPerFrame, config_.cloneEnd + 1 - streamAdr_);
            const auto first = image_.data().begin() + streamAdr_;
            ++streamFrames_;
            std::int32_t recordAdr = streamAdr_;
            if (config_.faults.Has(Fault::BeyondImage) &&
                streamFrames_ == config_.faults.K(Fault::BeyondImage)) {
                recordAdr = kImageSize;
                Note(start, "fault: data frame " + std::to_string(streamFrames_) +
                                " addressed past the end of the image");
            }
            Bytes record =
                BuildCloneRecord(static_cast<std::uint16_t>(recordAdr), Bytes(first, first + n));
            if (config_.faults.Has(Fault::BadChecksum) &&
                streamFrames_ == config_.faults.K(Fault::BadChecksum)) {
                record.back() = static_cast<std::uint8_t>(record.back() + 1);
                Note(start, "fault: checksum of data frame " + std::to_string(streamFrames_) +
                                " off by one");
            }
            const SimTime end = Answer(CloneDataPayload(record), start);
            streamAdr_ += n;
            if (config_.faults.Has(Fault::HangUp) &&
                streamFrames_ == config_.faults.K(Fault::HangUp)) {
                streaming_ = false;
                hungUp_ = true;
                hangUpAt_ = end;
                Note(start, "fault: hanging up after data frame " + std::to_string(streamFrames_));
            }
        } else {
            int count = streamFrames_ % 256;
            if (config_.faults.Has(Fault::WrongCount)) {
                count = (count + 1) % 256;
                Note(start, "fault: end frame counts one frame too many");
            }
            Answer(CloneEndPayload(count), start);
            streaming_ = false;
        }
    }
}

SimTime TamskorSim::AnswerEarliest(SimTime t) const {
    return t + (config_.faults.Has(Fault::LateAnswer) ? kLateAnswerDelay : config_.turnaround);
}

SimTime TamskorSim::Answer(Bytes payload, SimTime earliest) {
    if (config_.faults.Has(Fault::NoAnswer)) {
        Note(earliest, "fault: answer withheld");
        return earliest;
    }
    if (config_.faults.Has(Fault::Garbage)) {
        line_.Send(kGarbageBytes, earliest);
    }
    Bytes wire = BuildFrame(wire::kOwnAddress, wire::kRadioAddress, payload);
    ++answerFrames_;
    if (config_.faults.Has(Fault::DroppedBytes) &&
        answerFrames_ % config_.faults.K(Fault::DroppedBytes) == 0) {
        wire.erase(wire.begin() + static_cast<std::ptrdiff_t>(wire.size() / 2));
        Note(earliest, "fault: a byte dropped from the next frame");
    }
    const SimTime start = std::max(earliest, line_.FreeAt());
    if (trace_ != nullptr) {
        trace_->Frame(start, Direction::ToProgram, wire);
    }
    return line_.Send(wire, start);
}

void TamskorSim::Note(SimTime t, const std::string& text) {
    if (trace_ != nullptr) {
        trace_->Note(t, text);
    }
}

void TamskorSim::Ignore(SimTime t, const std::string& why) {
    ++ignoredFrames_;
    Note(t, "ignored: " + why);
}

void TamskorSim::HandleFrame(const Bytes& c, SimTime t) {
    if (trace_ != nullptr) {
        Bytes wire{wire::kPreamble, wire::kPreamble};
        wire.insert(wire.end(), c.begin(), c.end());
        wire.push_back(wire::kEndOfFrame);
        trace_->Frame(t, Direction::ToTransceiver, wire);
    }
    if (c.size() < 3) {
        Ignore(t, "short frame");
        return;
    }
    if (c[0] != wire::kRadioAddress || c[1] != wire::kOwnAddress) {
        Ignore(t, "not addressed EE EF");
        return;
    }
    if (streaming_) {
        streaming_ = false;
        Note(t, "clone read abandoned: a new request arrived");
    }
    const std::uint8_t cmd = c[2];
    if (cmd != wire::kCloneData && cmd != wire::kCloneEnd) {
        writing_ = false;
    }
    const bool modelOk = c.size() >= 5 && IdAt(c, 3) == config_.model;
    const bool subOk = c.size() >= 7 && IdAt(c, 5) == sub_;
    switch (cmd) {
        case wire::kIdentify:
            if (!modelOk) {
                Ignore(t, "identify for another model");
                return;
            }
            AnswerIdentity(t);
            return;
        case wire::kCloneRead:
            if (!modelOk || !subOk) {
                Ignore(t, "clone read for another model or sub identifier");
                return;
            }
            StartCloneRead(t);
            return;
        case wire::kCloneWrite:
            if (!modelOk || !subOk) {
                Ignore(t, "clone write for another model or sub identifier");
                return;
            }
            writing_ = true;
            writeOk_ = true;
            writeRecords_ = 0;
            staging_ = image_;  // records land here; the image takes them only at the end
            return;
        case wire::kCloneData:
            if (!writing_) {
                Ignore(t, "clone data outside a clone write");
                return;
            }
            CloneWriteRecord(c, t);
            return;
        case wire::kCloneEnd:
            if (!writing_) {
                Ignore(t, "clone end outside a clone write");
                return;
            }
            CloneWriteEnd(c, t);
            return;
        case wire::kAdjust:
            if (!modelOk || !subOk) {
                Ignore(t, "adjust command for another model or sub identifier");
                return;
            }
            HandleAdjust(c, t);
            return;
        default:
            Ignore(t, "unknown command");
            return;
    }
}

void TamskorSim::StartCloneRead(SimTime t) {
    if (config_.faults.Has(Fault::NoAnswer)) {
        Note(t, "fault: clone read not answered");
        return;
    }
    streaming_ = true;
    streamAdr_ = 0;
    streamFrames_ = 0;
    streamEarliest_ = AnswerEarliest(t);
}

void TamskorSim::HandleAdjust(const Bytes& c, SimTime t) {
    if (c.size() < 10) {
        Ignore(t, "adjust command without sub-command and value");
        return;
    }
    const int value = HexPairValue(static_cast<char>(c[8]), static_cast<char>(c[9]));
    if (value < 0) {
        Ignore(t, "adjust value not ASCII hexadecimal");
        return;
    }
    if (c[7] == wire::e8::kReadout) {
        AnswerReadout(static_cast<std::uint8_t>(value), t);
    } else {
        SetItem(c[7], static_cast<std::uint8_t>(value), t);
    }
}

void TamskorSim::AnswerIdentity(SimTime t) {
    std::uint16_t model = config_.model;
    if (config_.faults.Has(Fault::WrongModel)) {
        model = model == 0x8538 ? 0x8536 : 0x8538;
    }
    Answer(IdentityPayload({model, sub_, config_.serial, revision_, config_.cloneEnd}),
           AnswerEarliest(t));
}

void TamskorSim::AnswerReadout(std::uint8_t selector, SimTime t) {
    std::uint16_t sub = sub_;
    if (config_.faults.Has(Fault::ForeignReadout)) {
        sub = sub == 0x0100 ? 0x0200 : 0x0100;
    }
    Bytes p{wire::kAdjust};
    PutId(p, config_.model);
    PutId(p, sub);
    p.push_back(wire::e8::kReadout);
    const Bytes value = AsciiHex(Bytes{Readout(selector)});
    p.insert(p.end(), value.begin(), value.end());
    if (config_.faults.Has(Fault::LongReadout)) {
        p.push_back('0');
    }
    Answer(p, AnswerEarliest(t));
}

void TamskorSim::SetItem(std::uint8_t sub, std::uint8_t value, SimTime t) {
    if (sub == wire::e8::kChannel) {
        channel_ = value;
        return;
    }
    if (sub == wire::e8::kAdjustMode) {
        adjustMode_ = value;
        return;
    }
    const auto item = FindE8Item(sub);
    if (!item || item->address < 0) {
        Ignore(t, "unknown sub-command " + Hex4(sub).substr(2));
        return;
    }
    image_.Byte(item->address, value);
    if (sub == wire::e8::kRxLva) {
        lastLva_ = Lva::Rx;
    } else if (sub == wire::e8::kTxLva) {
        lastLva_ = Lva::Tx;
    }
}

void TamskorSim::CloneWriteRecord(const Bytes& c, SimTime t) {
    std::string why;
    const auto record = ParseCloneRecordText(Bytes(c.begin() + 3, c.end()), &why);
    if (!record) {
        writeOk_ = false;
        Note(t, "clone write record refused: " + why);
        return;
    }
    if (record->address + static_cast<std::int32_t>(record->data.size()) > kImageSize) {
        writeOk_ = false;
        Note(t, "clone write record refused: outside the image");
        return;
    }
    ++writeRecords_;
    const bool unstored = config_.faults.Has(Fault::UnstoredByte) &&
                          writeRecords_ == config_.faults.K(Fault::UnstoredByte) &&
                          !record->data.empty();
    std::copy(record->data.begin() + (unstored ? 1 : 0), record->data.end(),
              staging_.data().begin() + record->address + (unstored ? 1 : 0));
    if (unstored) {
        Note(t, "fault: the first byte of clone-write record " + std::to_string(writeRecords_) +
                    " is not stored");
    }
    if (config_.faults.Has(Fault::WriteHangUp) &&
        writeRecords_ == config_.faults.K(Fault::WriteHangUp)) {
        writing_ = false;
        hungUp_ = true;
        hangUpAt_ = line_.FreeAt();
        Note(t, "fault: hanging up after clone-write record " + std::to_string(writeRecords_));
    }
}

void TamskorSim::CloneWriteEnd(const Bytes& c, SimTime t) {
    const bool signatureOk = c.size() == 3 + wire::kCloneSignature.size() &&
                             BytesToText(Bytes(c.begin() + 3, c.end())) == wire::kCloneSignature;
    if (config_.faults.Has(Fault::NoWriteResult)) {
        writing_ = false;
        Note(t, "fault: clone write result withheld, the image is unchanged");
        return;
    }
    const bool rejected = config_.faults.Has(Fault::RejectedWrite);
    if (rejected) {
        Note(t, "fault: clone write rejected");
    }
    const std::uint8_t result = signatureOk && writeOk_ && !rejected ? 0x00 : 0x01;
    if (result == 0) {
        image_ = staging_;
    } else {
        Note(t, "clone write refused, the image is unchanged");
    }
    writing_ = false;
    Answer(Bytes{wire::kCloneResult, result}, AnswerEarliest(t));
}

}  // namespace quorvane::sim
