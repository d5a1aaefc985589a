#pragma once

#include <string>

#include "platform/byte_string.h"
#include "platform/checked.h"
#include "platform/clock.h"
#include "protocol/eeprom.h"
#include "protocol/wire.h"
#include "serial/cmc_tick.h"
#include "serial/port_form.h"
#include "serial/port_form_clients.h"

namespace quorvane {

// The link driver: frames payloads, runs one exchange at a time over the port form, finds the
// echo and the answer frames in the received bytes, checks and stores what they carry, and
// reports failures as a LinkError.
class clsCmcVep3Drv final : public ILinkDriverPort {
  public:
    static constexpr Int32 kRxBufMax = 256;
    static constexpr Int32 kEchoTimeout = 1000;
    static constexpr Int32 kAnswerTimeout = 1200;
    // Before an identify goes out the line must have been silent this long: a transceiver
    // still streaming a clone read the program gave up sends its frames a few milliseconds
    // apart, and a Connect costs only four ticks more.
    static constexpr Int32 kQuietGap = 200;
    // A stream that has not stopped within this is a clone read running on (it lasts up to
    // 75 s at 9600 baud): the technician is told so rather than left facing a silent Connect.
    static constexpr Int32 kQuietBound = 3000;

    explicit clsCmcVep3Drv(IClock& clock);

    // The port, used to transmit and to ask whether sending is possible.
    frmCom* myObjCom() const { return myObjCom_; }
    void myObjCom(frmCom* com) { myObjCom_ = com; }

    Int16 workMode() const { return workMode_; }
    // Also empties varLastE8Answer, sets lastEeAdr to 0 and chooses waitAnswer (1, 2, 4).
    void workMode(Int16 mode);
    bool waitAnswer() const { return waitAnswer_; }
    void waitAnswer(bool value) { waitAnswer_ = value; }
    Int16 retryCount() const { return retryCount_; }
    void retryCount(Int16 value) { retryCount_ = value; }
    Int16 retriesLeft() const { return retriesLeft_; }
    Int32 echoTimeout() const { return echoTimeout_; }
    Int32 answerTimeout() const { return answerTimeout_; }

    clsCmcEeprom* myEep() const { return myEep_; }
    void myEep(clsCmcEeprom* eep) { myEep_ = eep; }
    Int16 sizDataOfPacket() const { return sizDataOfPacket_; }
    void sizDataOfPacket(Int16 value) { sizDataOfPacket_ = value; }
    const std::string& cloneWriteAdrList() const { return cloneWriteAdrList_; }
    // Also sets nextWriteAdr to the start of the first range (-1 when there is none).
    void cloneWriteAdrList(const std::string& list);
    Int32 nextWriteAdr() const { return nextWriteAdr_; }

    bool waitEcho() const { return workMode_ >= 1 && workMode_ <= 5; }
    bool SendEnable() const;
    bool Running() const { return Running_; }
    // 0 idle, 1 waiting for the echo, 2 waiting for an answer, 3 listening before a frame.
    Int16 waitState() const { return waitState_; }
    bool txReady() const { return txReady_; }
    const Bytes& txBuf() const { return txBuf_; }
    Int32 rxBufSize() const { return Len(rxBuf_); }
    bool outsideFrame() const { return outsideFrame_; }
    Int32 lastEeAdr() const { return lastEeAdr_; }
    // The end of the clone area from the last identification answer, always in 16..32752.
    Int16 EndAddress() const { return EndAddress_; }
    // How far a clone transfer has come through the clone area, 0 to 1.
    double CloneFraction() const;
    const Bytes& ansInfo() const { return ansInfo_; }
    const Bytes& varLastE8Answer() const { return varLastE8Answer_; }
    Int16 e8CheckByte() const { return e8CheckByte_; }
    Int16 frameCounter() const { return frameCounter_; }
    bool countMismatch() const { return countMismatch_; }

    LinkError nowError() const { return nowError_; }
    bool linkFailed() const override { return nowError_ != LinkError::None; }
    // Stores the code, copies a failure into lastError, and ends the exchange.
    void nowError(LinkError code);
    LinkError lastError() const { return lastError_; }
    void lastError(LinkError code) { lastError_ = code; }

    // Transmit half: 0 sent, 1 refused.
    Int16 Send(const Bytes& payload);
    Int16 RetrySend();
    Int16 RealSend(const Bytes& payload);
    // As Send, once the line has been silent for kQuietGap: while the transceiver is still
    // sending nothing goes out, and LineBusy when it has not fallen silent within kQuietBound.
    // 0 listening, 1 refused at once (as Send refuses).
    Int16 SendWhenQuiet(const Bytes& payload);
    void SendFE(Int16 count);

    // Receive half.
    void read(const Bytes& data) override;
    void task() override;
    void Reset() override;
    void ClearRxBuffer() override;

  private:
    void SetWaitState(Int16 state);
    void EndExchange();
    void HandleLinkEvent(Int16 event, const Bytes& frame);
    void ContinueCloneWrite();
    bool BuildCloneWriteFrame(Bytes& payload);
    Int16 DispatchAnswer(const Bytes& frame);
    Int16 ValidateAnswer(const Bytes& frame);
    Int16 StoreCloneData(const Bytes& frame);
    void TakeEndAddress(const Bytes& frame);
    void AppendToRxBuf(const std::uint8_t* first, const std::uint8_t* last);
    void ReadEcho(const std::uint8_t*& first, const std::uint8_t* last);
    void ReadAnswer(const std::uint8_t*& first, const std::uint8_t* last);
    void ListenStep();

    frmCom* myObjCom_ = nullptr;
    clsCmcTick respTimer_;
    // While listening: restarted by every received batch, and the bound on the whole wait.
    clsCmcTick quietTimer_;
    clsCmcTick listenTimer_;
    Bytes pendingPayload_;
    Int16 workMode_ = 0;
    bool waitAnswer_ = false;
    Int16 retryCount_ = 0;
    Int16 retriesLeft_ = 0;
    Int32 echoTimeout_ = kEchoTimeout;
    Int32 answerTimeout_ = kAnswerTimeout;
    Int16 waitState_ = 0;
    Bytes txBuf_;
    Bytes savedPayload_;
    bool txReady_ = true;
    bool Running_ = false;
    Bytes rxBuf_;
    bool outsideFrame_ = true;
    clsCmcEeprom* myEep_ = nullptr;
    Int16 sizDataOfPacket_ = 0;
    std::string cloneWriteAdrList_;
    Int32 nextWriteAdr_ = 0;
    Int32 lastEeAdr_ = 0;
    Int16 EndAddress_ = wire::kImageSize;
    Bytes ansInfo_;
    Bytes varLastE8Answer_;
    Int16 e8CheckByte_ = 0;
    Int16 frameCounter_ = 0;
    bool countMismatch_ = false;
    LinkError nowError_ = LinkError::None;
    LinkError lastError_ = LinkError::None;
};

// True for text of decimal digits, or decimal digits with a single E or D between two of them
// (read as an exponent).
bool IsNumericText(const std::string& text);

}  // namespace quorvane
