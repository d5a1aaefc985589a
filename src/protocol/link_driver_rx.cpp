#include <algorithm>

#include "protocol/common.h"
#include "protocol/link_driver.h"

namespace quorvane {

namespace {

bool FromTransceiver(const Bytes& frame) {
    return Len(frame) >= 3 && frame[0] == wire::kOwnAddress && frame[1] == wire::kRadioAddress;
}

// The byte of the two ASCII hexadecimal characters at 1-based pos, or -1.
int PairValue(const Bytes& frame, Int32 pos) {
    return HexPairValue(static_cast<char>(ByteAt(frame, pos)),
                        static_cast<char>(ByteAt(frame, pos + 1)));
}

// Bytes 4-12 of an end frame are the signature.
bool SignatureAt(const Bytes& frame) {
    return Len(frame) >= 12 && BytesToText(MidB(frame, 4, 9)) == wire::kCloneSignature;
}

}  // namespace

bool IsNumericText(const std::string& text) {
    std::size_t exponents = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            continue;
        }
        if ((c == 'E' || c == 'D') && i > 0 && i + 1 < text.size() && ++exponents == 1) {
            const char before = text[i - 1];
            const char after = text[i + 1];
            if (before >= '0' && before <= '9' && after >= '0' && after <= '9') {
                continue;
            }
        }
        return false;
    }
    return !text.empty();
}

void clsCmcVep3Drv::nowError(LinkError code) {
    nowError_ = code;
    if (code != LinkError::None) {
        lastError_ = code;
    }
    EndExchange();
}

void clsCmcVep3Drv::Reset() {
    EndExchange();
    ClearRxBuffer();
    nextWriteAdr_ = 0;
    nowError_ = LinkError::None;
}

void clsCmcVep3Drv::ClearRxBuffer() {
    rxBuf_.clear();
    outsideFrame_ = true;
}

void clsCmcVep3Drv::AppendToRxBuf(const std::uint8_t* first, const std::uint8_t* last) {
    // Only the last 256 bytes are ever kept.
    const auto count = static_cast<std::size_t>(last - first);
    if (count >= static_cast<std::size_t>(kRxBufMax)) {
        rxBuf_.assign(last - kRxBufMax, last);
        return;
    }
    if (count == 1) {
        // Single bytes are the usual batch on a port that is read as bytes arrive.
        rxBuf_.push_back(*first);
    } else {
        rxBuf_.insert(rxBuf_.end(), first, last);
    }
    if (rxBuf_.size() > static_cast<std::size_t>(kRxBufMax)) {
        rxBuf_.erase(rxBuf_.begin(), rxBuf_.end() - static_cast<std::ptrdiff_t>(kRxBufMax));
    }
}

void clsCmcVep3Drv::read(const Bytes& data) {
    const std::uint8_t* p = data.data();
    const std::uint8_t* const end = p + data.size();
    // The wait state is looked at afresh on every pass: one batch may hold the echo and the
    // start of the answer.
    while (p != end) {
        if (waitState_ == 1) {
            ReadEcho(p, end);
        } else if (waitState_ == 2) {
            ReadAnswer(p, end);
        } else {
            if (waitState_ == 3) {
                quietTimer_.counter(kQuietGap);  // still sending: the silence starts again
            }
            p = end;  // nothing is awaited: dropped
        }
    }
}

void clsCmcVep3Drv::ReadEcho(const std::uint8_t*& p, const std::uint8_t* end) {
    // The echo is looked for in the whole batch, not only in its last 256 bytes, so an answer
    // arriving in the same batch cannot push the echo out of sight.
    Bytes seen = rxBuf_;
    seen.insert(seen.end(), p, end);
    const auto hit = std::search(seen.begin(), seen.end(), txBuf_.begin(), txBuf_.end());
    if (txBuf_.empty() || hit == seen.end()) {
        AppendToRxBuf(p, end);
        p = end;
        return;
    }
    // rxBuf held no complete echo (it was searched before), so the echo ends in the new bytes.
    const auto echoEnd = static_cast<std::size_t>(hit - seen.begin()) + txBuf_.size();
    if (echoEnd > rxBuf_.size()) {
        p += echoEnd - rxBuf_.size();
    }
    rxBuf_.clear();
    HandleLinkEvent(1, Bytes{});
    outsideFrame_ = true;
}

void clsCmcVep3Drv::ReadAnswer(const std::uint8_t*& p, const std::uint8_t* end) {
    // The first frame start or terminator decides; what comes before it belongs to the frame
    // being received, if any.
    const std::uint8_t* const mark = std::find_if(
        p, end, [](std::uint8_t b) { return b == wire::kPreamble || b == wire::kEndOfFrame; });

    if (mark != end && *mark == wire::kEndOfFrame) {
        if (outsideFrame_) {
            p = end;  // a terminator outside a frame: the whole rest of the batch is dropped
            return;
        }
        AppendToRxBuf(p, mark);
        p = mark + 1;
        // A copy, so that the accumulator keeps its room for the next frame.
        const Bytes frame(rxBuf_);
        rxBuf_.clear();
        HandleLinkEvent(1, frame);
        outsideFrame_ = true;
        return;
    }
    if (mark != end) {
        p = mark + 1;
        outsideFrame_ = false;
        rxBuf_.clear();
        return;
    }
    if (!outsideFrame_) {
        AppendToRxBuf(p, end);
    }
    p = end;
}

void clsCmcVep3Drv::HandleLinkEvent(Int16 event, const Bytes& frame) {
    if (event != 1) {
        return;
    }
    if (waitState_ == 1) {
        if (waitAnswer_) {
            SetWaitState(2);
        } else {
            ContinueCloneWrite();
        }
    } else if (waitState_ == 2) {
        varLastE8Answer_ = frame;
        if (DispatchAnswer(frame) == 0) {
            EndExchange();
        }
    }
}

Int16 clsCmcVep3Drv::DispatchAnswer(const Bytes& frame) {
    if (!FromTransceiver(frame)) {
        return 1;
    }
    const std::uint8_t command = frame[2];
    if (command == wire::kIdentity && workMode_ == 1) {
        if (ValidateAnswer(frame) != 0) {
            nowError(LinkError::BadAnswer);
            return 1;
        }
        ansInfo_ = frame;
        return 0;
    }
    if (command == wire::kCloneData && workMode_ == 2) {
        if (ValidateAnswer(frame) != 0) {
            nowError(LinkError::BadAnswer);
            return 1;
        }
        respTimer_.counter(answerTimeout_);
        if (StoreCloneData(frame) != 0) {
            nowError(LinkError::CloneDataNotStorable);
        }
        return 1;
    }
    if (command == wire::kCloneEnd && workMode_ == 2) {
        if (ValidateAnswer(frame) == 0) {
            return 0;
        }
        nowError(countMismatch_ ? LinkError::FrameCountWrong : LinkError::BadAnswer);
        return 1;
    }
    if (command == wire::kCloneResult && workMode_ == 4) {
        // A result frame without its result byte cannot be taken as an acceptance.
        if (ValidateAnswer(frame) != 0 || Len(frame) < 4) {
            nowError(LinkError::BadAnswer);
            return 1;
        }
        if (frame[3] == 0) {
            return 0;
        }
        nowError(LinkError::CloneWriteRejected);
        return 1;
    }
    if (command == wire::kAdjust && workMode_ == 5) {
        if (ValidateAnswer(frame) != 0) {
            nowError(LinkError::BadAnswer);
            return 1;
        }
        varLastE8Answer_ = MidB(frame, 4);
        return 0;
    }
    return 1;
}

void clsCmcVep3Drv::TakeEndAddress(const Bytes& frame) {
    // A frame too short to carry the end address leaves the previous one in place.
    if (Len(frame) < 63) {
        return;
    }
    // Read unsigned and capped, so the value stays a positive 16-bit address that the
    // progress display may divide by: "7FF0".."FFFF" all give the largest end address.
    const auto raw = static_cast<std::uint16_t>(AsciiHexToInt(MidB(frame, 60, 4)));
    const Int32 rounded = Int32{raw} - Int32{raw} % 16 + 16;
    EndAddress_ = static_cast<Int16>(std::min<Int32>(rounded, wire::kMaxEndAddress));
}

Int16 clsCmcVep3Drv::ValidateAnswer(const Bytes& frame) {
    if (!FromTransceiver(frame)) {
        return 1;
    }
    const Int32 len = Len(frame);
    switch (frame[2]) {
        case wire::kIdentity: {
            bool bad = len < 7 || !IsNumericText(BytesToHex(MidB(frame, 4, 4)));
            if (len < 59 || ByteAt(frame, 8) != len - 7) {
                bad = true;
            }
            TakeEndAddress(frame);
            frameCounter_ = 0;
            return bad ? 1 : 0;
        }
        case wire::kCloneData: {
            if (len % 2 == 0 || len < 13) {
                return 1;
            }
            int sum = 0;
            for (Int32 pos = 4; pos < len; pos += 2) {
                const int value = PairValue(frame, pos);
                if (value < 0) {
                    return 1;
                }
                sum += value;
            }
            if (sum % 256 != 0 || AsciiHexToInt(MidB(frame, 8, 2)) != (len - 11) / 2) {
                return 1;
            }
            frameCounter_ = static_cast<Int16>((frameCounter_ + 1) % 256);
            return 0;
        }
        case wire::kCloneEnd: {
            bool bad = !SignatureAt(frame);
            // Without its count the frame is malformed, not a miscount.
            if (len < 14) {
                return 1;
            }
            if (AsciiHexToInt(MidB(frame, 13, 2)) != frameCounter_) {
                bad = true;
                countMismatch_ = true;
            }
            return bad ? 1 : 0;
        }
        case wire::kAdjust:
            if (len < 8 || !IsNumericText(BytesToHex(MidB(frame, 4, 4))) ||
                ByteAt(frame, 8) != e8CheckByte_) {
                return 1;
            }
            return 0;
        default:
            return 0;
    }
}

Int16 clsCmcVep3Drv::StoreCloneData(const Bytes& frame) {
    const Int32 adr = AsciiHexToInt(MidB(frame, 4, 4));
    const Int32 n = AsciiHexToInt(MidB(frame, 8, 2));
    Bytes data;
    data.reserve(static_cast<std::size_t>(std::max<Int32>(n, 0)));
    for (Int32 i = 0; i < n; ++i) {
        const int value = PairValue(frame, 10 + 2 * i);
        if (value < 0) {
            return 1;
        }
        data.push_back(static_cast<std::uint8_t>(value));
    }
    if (myEep_ == nullptr || myEep_->WriteBlock(adr, data) != 0) {
        return 1;
    }
    lastEeAdr_ = adr + n - 1;
    return 0;
}

void clsCmcVep3Drv::task() {
    if (waitState_ == 1) {
        if (respTimer_.counter() < 1) {
            nowError(LinkError::NoEcho);
        }
    } else if (waitState_ == 2) {
        if (respTimer_.counter() < 1 && RetrySend() != 0) {
            nowError(LinkError::NoAnswer);
        }
    } else if (waitState_ == 3) {
        ListenStep();
    }
}

double clsCmcVep3Drv::CloneFraction() const {
    // The end address is kept positive; a zero is still never divided by.
    return EndAddress_ > 0 ? std::clamp(lastEeAdr_ / static_cast<double>(EndAddress_), 0.0, 1.0)
                           : 0.0;
}

}  // namespace quorvane
