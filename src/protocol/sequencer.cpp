#include "protocol/sequencer.h"

#include "protocol/common.h"

namespace quorvane {

namespace {

constexpr Int16 kCmdNone = 0;
constexpr Int16 kCmdIdentify = 1;
constexpr Int16 kCmdCloneRead = 2;
constexpr Int16 kCmdCloneWrite = 3;
constexpr Int16 kCmdSendE8 = 4;
constexpr Int16 kCmdFinish = 6;

// Positions 4-5 (model) and 6-7 (sub identifier) of the identity answer.
std::string NameAt(const Bytes& answer, Int32 pos) {
    Bytes present;
    for (Int32 p = pos; p < pos + 2 && HasPos(answer, p); ++p) {
        present.push_back(ByteAt(answer, p));
    }
    return BytesToHex(present);
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
    return NameAt(ansInfo(), 4);
}

std::string clsCmcVep3Sequence::ansNameS() const {
    return NameAt(ansInfo(), 6);
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
    driver_->lastError(0);
    error_ = 0;
    com_->comPortNum(ComPortNo_);
}

void clsCmcVep3Sequence::SendFrame(const std::string& hexText) {
    // A frame the driver refuses (port closed, transmit queue full) must not let the
    // operation finish as if it had been sent.
    if (driver_->Send(HexToBytes(hexText)) != 0) {
        driver_->nowError(8);
    }
}

void clsCmcVep3Sequence::issueCommand() {
    const std::string& model = radio_->radioNameM();
    switch (cmdCode_) {
        case kCmdIdentify:
            prepareLink();
            com_->comOpen(true);
            driver_->workMode(1);
            SendFrame("E0" + model + "0000");
            break;
        case kCmdCloneRead:
            prepareLink();
            com_->comOpen(true);
            driver_->workMode(2);
            driver_->myEep(&radio_->eepImage());
            SendFrame("E2" + model + radio_->radionameS());
            break;
        case kCmdCloneWrite:
            prepareLink();
            com_->comOpen(true);
            driver_->workMode(3);
            driver_->myEep(&radio_->eepImage());
            driver_->sizDataOfPacket(16);
            driver_->cloneWriteAdrList(radio_->cloneWriteAdrList());
            SendFrame("E3" + model + radio_->radionameS());
            break;
        case kCmdSendE8:
            prepareLink();
            com_->comOpen(true);
            driver_->workMode(5);
            driver_->waitAnswer(e8AnsRequired_);
            driver_->retryCount(2);
            SendFrame("E8" + model + radio_->radionameS() + e8HexStrToSend_);
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
    if (driver_->lastError() != 0) {
        error_ = 4;
        return;
    }
    if (ansNameM() != radio_->radioNameM()) {
        error_ = 1;
    }
    const Bytes& answer = ansInfo();
    const std::string revision = HasPos(answer, 43) ? Hex2(ByteAt(answer, 43)) : std::string();
    if (forWrite ? revision != "04" : revision < "04") {
        error_ = 3;
    }
    const std::string sub = ansNameS();
    if (subNameCheck_ != nullptr && subNameCheck_->RigOpFunc_CheckSubNameLegal(sub)) {
        radio_->radionameS(sub);
    } else {
        error_ = 2;
    }
}

void clsCmcVep3Sequence::task() {
    const bool operationSet = Operation_ != kOpNone;
    if (operationSet && !driver_->Running()) {
        const bool linkFailed = driver_->lastError() != 0;
        Int16 command = kCmdNone;
        bool fail = false;
        switch (Operation_) {
            case kOpIdentify:
                command = opStep_ == 0 ? kCmdIdentify : kCmdFinish;
                break;
            case kOpCloneRead:
                if (opStep_ == 0) {
                    command = kCmdIdentify;
                } else if (opStep_ == 1) {
                    CheckIdentity(false);
                    fail = error_ != 0;
                } else if (opStep_ == 2 || opStep_ == 3) {
                    if (linkFailed) {
                        error_ = 4;
                        fail = true;
                    } else if (opStep_ == 3) {
                        command = kCmdCloneRead;
                    }
                } else if (opStep_ == 4) {
                    fail = linkFailed;
                } else {
                    fail = linkFailed;
                    command = linkFailed ? kCmdNone : kCmdFinish;
                }
                break;
            case kOpCloneWrite:
                if (opStep_ == 0) {
                    command = kCmdIdentify;
                } else if (opStep_ == 1) {
                    CheckIdentity(true);
                    fail = error_ != 0;
                    command = fail ? kCmdNone : kCmdCloneWrite;
                } else {
                    fail = linkFailed;
                    command = linkFailed ? kCmdNone : kCmdFinish;
                }
                break;
            case kOpSendE8:
                if (opStep_ == 0) {
                    command = kCmdSendE8;
                } else {
                    fail = linkFailed;
                    command = linkFailed ? kCmdNone : kCmdFinish;
                }
                break;
            default:
                // An operation without a table would step on forever: it finishes at once.
                command = kCmdFinish;
                break;
        }
        if (fail) {
            com_->comOpen(false);
            if (errorReport_ != nullptr) {
                errorReport_->MsgBoxCloneErr(*this);
            } else {
                Reset();
            }
            command = kCmdFinish;
        }
        opStep_ = Add16(opStep_, 1);
        if (command != kCmdNone) {
            cmdCode_ = command;
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
