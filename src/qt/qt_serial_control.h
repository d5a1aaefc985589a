#pragma once

#include <QSerialPort>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/byte_string.h"
#include "platform/line_settings.h"
#include "platform/serial_control.h"

namespace quorvane {

// The serial control on QSerialPort. COM port n opens the device path the injected mapping
// gives for n. Events reach the sink from the Qt event loop, never from inside a QSerialPort
// signal, so the sink may close the port or open a modal dialog while handling one.
//
// Receive queue: at most InBufferSize bytes are kept; bytes beyond that are dropped and
// reported as RxOver. Transmit queue: OutBufferCount is what QSerialPort has not yet handed to
// the operating system; Output refuses (and reports TxFull) what would pass OutBufferSize.
// A device that vanishes while open is closed here and reported as DeviceLost.
class QtSerialControl final : public ISerialControl {
  public:
    using PortPath = std::function<std::string(std::int16_t portNumber)>;

    explicit QtSerialControl(PortPath pathForPort);
    ~QtSerialControl() override;
    QtSerialControl(const QtSerialControl&) = delete;
    QtSerialControl& operator=(const QtSerialControl&) = delete;

    void SetEventSink(ISerialEventSink* sink) override { sink_ = sink; }

    bool CommPort(std::int16_t portNumber) override;
    std::int16_t CommPort() const override { return commPort_; }
    bool Settings(const std::string& settings) override;
    std::string Settings() const override { return settingsText_; }

    void DTREnable(bool on) override;
    void RTSEnable(bool on) override;
    void InBufferSize(std::int32_t bytes) override { inBufferSize_ = bytes; }
    void OutBufferSize(std::int32_t bytes) override { outBufferSize_ = bytes; }
    std::int32_t OutBufferSize() const override { return outBufferSize_; }
    void RThreshold(std::int32_t bytes) override { rThreshold_ = bytes; }
    void SThreshold(std::int32_t bytes) override { sThreshold_ = bytes; }
    void InputLen(std::int32_t bytes) override { inputLen_ = bytes; }
    void InputMode(std::int16_t mode) override { inputMode_ = mode; }

    bool PortOpen() const override { return port_.isOpen(); }
    bool PortOpen(bool open) override;

    std::int32_t InBufferCount() const override;
    std::int32_t OutBufferCount() const override;
    bool ClearOutBuffer() override;

    Bytes Input() override;
    bool Output(const Bytes& bytes) override;

    // The path the port has open; empty while it is closed.
    std::string OpenDevice() const { return port_.isOpen() ? openPath_ : std::string(); }

  private:
    void ApplyLineSettings();
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    void ScheduleDispatch();
    void Dispatch();
    void CloseAndForget();

    QSerialPort port_;
    PortPath pathForPort_;
    std::string openPath_;
    ISerialEventSink* sink_ = nullptr;
    std::int16_t commPort_ = 1;
    std::string settingsText_ = "9600,N,8,1";
    LineSettings settings_;
    bool dtr_ = false;
    bool rts_ = false;
    std::int32_t inBufferSize_ = 1024;
    std::int32_t outBufferSize_ = 512;
    std::int32_t rThreshold_ = 0;
    std::int32_t sThreshold_ = 0;
    std::int32_t inputLen_ = 0;
    std::int16_t inputMode_ = 0;
    Bytes rx_;
    bool overflowPending_ = false;
    bool txFullPending_ = false;
    bool lostPending_ = false;
    bool dispatchScheduled_ = false;
};

}  // namespace quorvane
