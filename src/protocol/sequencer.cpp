#include "protocol/sequencer.h"

#include <algorithm>
#include <span>

#include "protocol/common.h"
#include "protocol/wire.h"

namespace quorvane {

namespace {

constexpr Int16 kCmdNone = 0;
constexpr Int16 kCmdIdentify = 1;
constexpr Int16 kCmdCloneRead = 2;
constexpr Int16 kCmdCloneWrite = 3;
constexpr Int16 kCmdSendE8 = 4;
constexpr Int16 kCmdFinish = 6;

// The two bytes of the identity answer's model or sub identifier at pos, as far as present.
std::string NameAt(const Bytes& answer, Int32 pos) {
    Bytes present;
    for (Int32 p = pos; p < pos + 2 && HasPos(answer, p); ++p) {
        present.push_back(ByteAt(answer, p));
    }
    return BytesToHex(present);
}

std::uint16_t WordAt(const Bytes& answer, Int32 pos) {
    return HasPos(answer, pos + 1)
               ? static_cast<std::uint16_t>(ByteAt(answer, pos) << 8 | ByteAt(answer, pos + 1))
               : std::uint16_t{0};
}

}  // namespace

clsCmcVep3Sequence::clsCmcVep3Sequence(frmCom& com, clsCmcVep3Drv& driver, clsCmcRadio& radio,
                                       IClock& clock)
    : com_(&com), driver_(&driver), radio_(&radio), holdTimer_(clock) {
    Reset();
    ComPortNo_ = 1;
    comHoldReload(0);
}

void clsCmcVep3Sequence::Operation(Int16 operation) {
    Operation_ = operation;
    e8AnsRequired_ = false;
}

void clsCmcVep3Sequence::comHoldReload(Int32 ms) {
    comHoldReload_ = ms;
    holdTimer_.counter(ms);
}

std::string clsCmcVep3Sequence::ansNameM() const {
    return NameAt(ansInfo(), wire::kAnswerModelAt);
}

std::string clsCmcVep3Sequence::ansNameS() const {
    return NameAt(ansInfo(), wire::kAnswerSubAt);
}

std::uint16_t clsCmcVep3Sequence::ansModel() const {
    return WordAt(ansInfo(), wire::kAnswerModelAt);
}

std::uint16_t clsCmcVep3Sequence::ansSub() const {
    return WordAt(ansInfo(), wire::kAnswerSubAt);
}

std::uint8_t clsCmcVep3Sequence::ansRevision() const {
    return HasPos(ansInfo(), wire::kAnswerRevisionAt) ? ByteAt(ansInfo(), wire::kAnswerRevisionAt)
                                                      : std::uint8_t{0};
}

void clsCmcVep3Sequence::Reset() {
    driver_->Reset();
    com_->Reset();
    Standby();
}

void clsCmcVep3Sequence::Standby() {
    Operation_ = kOpNone;
    opStep_ = 0;
    e8HexStrToSend_.clear();
}

void clsCmcVep3Sequence::start() {
    opStep_ = 0;
    task();
}

void clsCmcVep3Sequence::easyReset(Int16 portNo) {
    Reset();
    ComPortNo_ = portNo;
}

void clsCmcVep3Sequence::easyCloneRead() {
    Operation(kOpCloneRead);
    start();
}

void clsCmcVep3Sequence::easyCloneWrite() {
    Operation(kOpCloneWrite);
    start();
}

void clsCmcVep3Sequence::easyCloneWriteImage(const Bytes& image) {
    radio_->eepImage().eeSize(Len(image));
    radio_->eepImage().WriteBlock(0, image);
    radio_->cloneWriteAdrList_Clear();
    radio_->cloneWriteAdrList_Add(
        0, std::min<Int32>(wire::kLastImageAddress, driver_->EndAddress() - Int32{1}));
    easyCloneWrite();
}

Int16 clsCmcVep3Sequence::easySendE8NoAnswer(const std::string& spE8) {
    Operation(kOpSendE8);
    e8HexStrToSend_ = spE8;
    start();
    return 0;
}

Int16 clsCmcVep3Sequence::easySendE8ReqAnswer(const std::string& spE8) {
    Operation(kOpSendE8);
    e8HexStrToSend_ = spE8;
    e8AnsRequired_ = true;
    start();
    return 0;
}

void clsCmcVep3Sequence::prepareLink() {
    driver_->lastError(LinkError::None);
    error_ = SequenceError::None;
    com_->comPortNum(ComPortNo_);
}

void clsCmcVep3Sequence::OpenForWork(Int16 workMode) {
    prepareLink();
    com_->comOpen(true);
    driver_->workMode(workMode);
}

void clsCmcVep3Sequence::SendFrame(const std::string& hexText, bool whenQuiet) {
    // A frame the driver refuses (port closed, transmit queue full) must not let the
    // operation finish as if it had been sent.
    const Bytes payload = HexToBytes(hexText);
    if ((whenQuiet ? driver_->SendWhenQuiet(payload) : driver_->Send(payload)) != 0) {
        driver_->nowError(LinkError::FrameNotSent);
    }
}

void clsCmcVep3Sequence::issueCommand() {
    const std::string model = radio_->radioNameM();
    switch (cmdCode_) {
        case kCmdIdentify:
            OpenForWork(1);
            // Every operation that starts with an identify may meet a transceiver still
            // streaming an abandoned clone read: it waits for the line to fall silent.
            SendFrame(Hex2(wire::kIdentify) + model + "0000", true);
            break;
        case kCmdCloneRead:
            OpenForWork(2);
            driver_->myEep(&radio_->eepImage());
            SendFrame(Hex2(wire::kCloneRead) + model + radio_->radionameS());
            break;
        case kCmdCloneWrite:
            OpenForWork(3);
            driver_->myEep(&radio_->eepImage());
            driver_->sizDataOfPacket(16);
            driver_->cloneWriteAdrList(radio_->cloneWriteAdrList());
            SendFrame(Hex2(wire::kCloneWrite) + model + radio_->radionameS());
            break;
        case kCmdSendE8:
            OpenForWork(5);
            driver_->waitAnswer(e8AnsRequired_);
            driver_->retryCount(2);
            SendFrame(Hex2(wire::kAdjust) + model + radio_->radionameS() + e8HexStrToSend_);
            break;
        case kCmdFinish:
            opStep_ = 0;
            Standby();
            break;
        default:
            break;
    }
}

void clsCmcVep3Sequence::CheckIdentity(bool forWrite) {
    if (driver_->lastError() != LinkError::None) {
        error_ = SequenceError::DriverError;
        return;
    }
    if (ansNameM() != radio_->radioNameM()) {
        error_ = SequenceError::WrongModel;
    }
    // An answer too short to hold a revision has none, which no rule accepts.
    const std::string revision =
        HasPos(ansInfo(), wire::kAnswerRevisionAt) ? Hex2(ansRevision()) : std::string();
    if (forWrite ? revision != wire::kWriteRevision : revision < wire::kWriteRevision) {
        error_ = SequenceError::RevisionUnfit;
    }
    const std::string sub = ansNameS();
    if (subNameCheck_ != nullptr && subNameCheck_->RigOpFunc_CheckSubNameLegal(sub)) {
        radio_->radionameS(sub);
    } else {
        error_ = SequenceError::SubNameRefused;
    }
}

// What a step of an operation does, looked up by opStep in the operation's table.
enum class clsCmcVep3Sequence::Step : std::uint8_t {
    Identify,        // send the identify command
    CheckForRead,    // identity check, read rule
    CheckForWrite,   // identity check, write rule; then the clone-write command
    AwaitLink,       // a driver error is the operation's error
    CloneRead,       // as AwaitLink, then the clone-read command
    LinkOk,          // a driver error fails the operation
    SendE8,          // send the E8 command
    FinishIfLinkOk,  // a driver error fails the operation, else it is done
    Finish,          // done, whatever the driver reported
};

namespace {

using Step = clsCmcVep3Sequence::Step;

// The steps of each operation by opStep; an operation's last step repeats from then on.
constexpr Step kIdentifySteps[] = {Step::Identify, Step::Finish};
constexpr Step kCloneReadSteps[] = {Step::Identify,  Step::CheckForRead, Step::AwaitLink,
                                    Step::CloneRead, Step::LinkOk,       Step::FinishIfLinkOk};
constexpr Step kCloneWriteSteps[] = {Step::Identify, Step::CheckForWrite, Step::FinishIfLinkOk};
constexpr Step kSendE8Steps[] = {Step::SendE8, Step::FinishIfLinkOk};
// An operation without a table would step on forever: it finishes at once.
constexpr Step kUnknownSteps[] = {Step::Finish};

std::span<const Step> StepsOf(Int16 operation) {
    switch (operation) {
        case clsCmcVep3Sequence::kOpIdentify:
            return kIdentifySteps;
        case clsCmcVep3Sequence::kOpCloneRead:
            return kCloneReadSteps;
        case clsCmcVep3Sequence::kOpCloneWrite:
            return kCloneWriteSteps;
        case clsCmcVep3Sequence::kOpSendE8:
            return kSendE8Steps;
        default:
            return kUnknownSteps;
    }
}

}  // namespace

clsCmcVep3Sequence::StepResult clsCmcVep3Sequence::RunStep(Step step) {
    const bool linkFailed = driver_->lastError() != LinkError::None;
    switch (step) {
        case Step::Identify:
            return {kCmdIdentify, false};
        case Step::CheckForRead:
            CheckIdentity(false);
            return {kCmdNone, error_ != SequenceError::None};
        case Step::CheckForWrite:
            CheckIdentity(true);
            return error_ != SequenceError::None ? StepResult{kCmdNone, true}
                                                 : StepResult{kCmdCloneWrite, false};
        case Step::AwaitLink:
        case Step::CloneRead:
            if (linkFailed) {
                error_ = SequenceError::DriverError;
                return {kCmdNone, true};
            }
            return {step == Step::CloneRead ? kCmdCloneRead : kCmdNone, false};
        case Step::LinkOk:
            return {kCmdNone, linkFailed};
        case Step::SendE8:
            return {kCmdSendE8, false};
        case Step::FinishIfLinkOk:
            return {linkFailed ? kCmdNone : kCmdFinish, linkFailed};
        case Step::Finish:
            return {kCmdFinish, false};
    }
    return {};
}

void clsCmcVep3Sequence::Fail() {
    com_->comOpen(false);
    if (errorReport_ != nullptr) {
        errorReport_->MsgBoxCloneErr(*this);
    } else {
        Reset();
    }
}

void clsCmcVep3Sequence::task() {
    const bool operationSet = Operation_ != kOpNone;
    if (operationSet && !driver_->Running()) {
        const std::span<const Step> steps = StepsOf(Operation_);
        const auto index =
            std::min<std::size_t>(static_cast<std::size_t>(opStep_), steps.size() - 1);
        StepResult result = RunStep(steps[index]);
        if (result.fail) {
            Fail();
            result.command = kCmdFinish;
        }
        opStep_ = Add16(opStep_, 1);
        if (result.command != kCmdNone) {
            cmdCode_ = result.command;
            issueCommand();
        }
    }
    if (operationSet) {
        holdTimer_.counter(comHoldReload_);
    } else if (comHoldReload_ > 0 && holdTimer_.counter() < 1 && com_->comOpen()) {
        Reset();
    }
}

}  // namespace quorvane
