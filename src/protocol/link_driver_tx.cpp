#include <algorithm>

#include "protocol/common.h"
#include "protocol/link_driver.h"

namespace quorvane {

namespace {

// An address field of the clone-write list that is not four hexadecimal digits.
constexpr Int32 kBadListAddress = 0x10000;

// Four characters of the clone-write list from 0-based index pos, read as an unsigned address.
// Read unsigned so that no address can collide with -1, the list's "exhausted" mark.
Int32 ListAddress(const std::string& list, std::size_t pos) {
    if (pos + 4 > list.size()) {
        return kBadListAddress;
    }
    Int32 value = 0;
    for (std::size_t i = pos; i < pos + 4; ++i) {
        const int d = HexDigitValue(list[i]);
        if (d < 0) {
            return kBadListAddress;
        }
        value = value * 16 + d;
    }
    return value;
}

constexpr std::size_t kListRangeWidth = 10;

}  // namespace

clsCmcVep3Drv::clsCmcVep3Drv(IClock& clock)
    : respTimer_(clock), quietTimer_(clock), listenTimer_(clock) {
    rxBuf_.reserve(kRxBufMax);
    Reset();
}

void clsCmcVep3Drv::workMode(Int16 mode) {
    workMode_ = mode;
    varLastE8Answer_.clear();
    lastEeAdr_ = 0;
    waitAnswer_ = mode == 1 || mode == 2 || mode == 4;
}

void clsCmcVep3Drv::cloneWriteAdrList(const std::string& list) {
    cloneWriteAdrList_ = list;
    // A list without one complete range has nothing to write: exhausted from the start.
    nextWriteAdr_ = list.size() >= kListRangeWidth ? ListAddress(list, 0) : -1;
}

bool clsCmcVep3Drv::SendEnable() const {
    if (!txReady_ || myObjCom_ == nullptr || !myObjCom_->comSendEnable()) {
        return false;
    }
    const ISerialControl& port = myObjCom_->MsCom();
    return std::int64_t{port.OutBufferSize()} - port.OutBufferCount() > 256;
}

Int16 clsCmcVep3Drv::RealSend(const Bytes& payload) {
    if (!txBuf_.empty() || !SendEnable()) {
        return 1;
    }
    savedPayload_ = payload;
    txBuf_ = {wire::kPreamble, wire::kPreamble, wire::kRadioAddress, wire::kOwnAddress};
    txBuf_.insert(txBuf_.end(), payload.begin(), payload.end());
    txBuf_.push_back(wire::kEndOfFrame);
    // Bytes left from an earlier exchange can never be part of this frame's echo.
    rxBuf_.clear();
    if (workMode_ == 5) {
        // A payload without command bytes has nothing to repeat; its answer must carry 0.
        e8CheckByte_ = payload.size() >= 6 ? payload[5] : 0;
    }
    (void)myObjCom_->MsCom().Output(txBuf_);
    txReady_ = false;
    if (waitEcho()) {
        SetWaitState(1);
        Running_ = true;
    } else if (waitAnswer_) {
        SetWaitState(2);
        Running_ = true;
    } else {
        EndExchange();
    }
    // A clone-write frame waits for its echo so that the next frame follows it.
    if (!waitAnswer_ && workMode_ != 3) {
        EndExchange();
    }
    return 0;
}

Int16 clsCmcVep3Drv::Send(const Bytes& payload) {
    const Int16 result = RealSend(payload);
    retriesLeft_ = retryCount_;
    return result;
}

Int16 clsCmcVep3Drv::SendWhenQuiet(const Bytes& payload) {
    if (!txBuf_.empty() || !SendEnable()) {
        return 1;
    }
    pendingPayload_ = payload;
    quietTimer_.counter(kQuietGap);
    listenTimer_.counter(kQuietBound);
    SetWaitState(3);
    Running_ = true;
    return 0;
}

void clsCmcVep3Drv::ListenStep() {
    if (quietTimer_.counter() < 1) {
        // Silent long enough: the frame goes out as any other, with the client's resends.
        waitState_ = 0;
        Running_ = false;
        if (Send(pendingPayload_) != 0) {
            nowError(LinkError::FrameNotSent);
        }
    } else if (listenTimer_.counter() < 1) {
        nowError(LinkError::LineBusy);
    }
}

Int16 clsCmcVep3Drv::RetrySend() {
    if (retriesLeft_ < 1) {
        return 1;
    }
    EndExchange();
    const Int16 result = RealSend(savedPayload_);
    retriesLeft_ = Sub16(retriesLeft_, 1);
    return result;
}

void clsCmcVep3Drv::SendFE(Int16 count) {
    if (myObjCom_ == nullptr) {
        return;
    }
    // Written from a copy: a frame kept in txBuf would refuse every later exchange.
    Bytes out = txBuf_;
    out.insert(out.end(), static_cast<std::size_t>(std::max<Int16>(count, 0)), wire::kPreamble);
    (void)myObjCom_->MsCom().Output(out);
}

void clsCmcVep3Drv::SetWaitState(Int16 state) {
    waitState_ = state;
    if (state == 1) {
        respTimer_.counter(echoTimeout_);
    } else if (state == 2) {
        respTimer_.counter(answerTimeout_);
    }
}

void clsCmcVep3Drv::EndExchange() {
    SetWaitState(0);
    txBuf_.clear();
    Running_ = false;
    retryCount_ = 0;
    txReady_ = true;
}

void clsCmcVep3Drv::ContinueCloneWrite() {
    if (workMode_ != 3) {
        EndExchange();
        return;
    }
    EndExchange();
    Bytes payload;
    if (nextWriteAdr_ >= 0) {
        if (!BuildCloneWriteFrame(payload)) {
            nowError(LinkError::FrameNotSent);
            return;
        }
    } else {
        workMode(4);
        payload = {wire::kCloneEnd};
        const Bytes signature = AsBytes(std::string(wire::kCloneSignature));
        payload.insert(payload.end(), signature.begin(), signature.end());
    }
    if (Send(payload) != 0) {
        nowError(LinkError::FrameNotSent);
    }
}

bool clsCmcVep3Drv::BuildCloneWriteFrame(Bytes& payload) {
    if (cloneWriteAdrList_.size() < kListRangeWidth || myEep_ == nullptr) {
        return false;
    }
    const Int32 rangeEnd = ListAddress(cloneWriteAdrList_, 5);
    const Int32 adr = nextWriteAdr_;
    if (rangeEnd == kBadListAddress || adr >= kBadListAddress) {
        return false;
    }
    Int32 n = sizDataOfPacket_;
    if (std::int64_t{adr} + n - 1 > rangeEnd) {
        n = rangeEnd - adr + 1;
    }
    // A range that ends before it starts, a packet size that does not fit the count byte, or
    // a block outside the image cannot be sent.
    if (n < 1 || n > wire::kMaxDataBytes || !myEep_->AdrValid(adr) ||
        !myEep_->AdrValid(adr + n - 1)) {
        return false;
    }
    Bytes record = {static_cast<std::uint8_t>(adr >> 8), static_cast<std::uint8_t>(adr & 0xFF),
                    static_cast<std::uint8_t>(n)};
    const Bytes data = myEep_->ReadBlock(adr, n);
    record.insert(record.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : record) {
        sum += b;
    }
    record.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));

    payload = {wire::kCloneData};
    const Bytes text = TextToBytes(BytesToHex(record));
    payload.insert(payload.end(), text.begin(), text.end());
    lastEeAdr_ = adr + n - 1;

    if (adr + n - 1 < rangeEnd) {
        nextWriteAdr_ = adr + n;
    } else {
        cloneWriteAdrList_.erase(0, kListRangeWidth);
        nextWriteAdr_ =
            cloneWriteAdrList_.size() >= kListRangeWidth ? ListAddress(cloneWriteAdrList_, 0) : -1;
    }
    return true;
}

}  // namespace quorvane
