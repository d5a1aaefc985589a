#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/byte_string.h"
#include "platform/line_settings.h"
#include "platform/serial_control.h"

namespace quorvane::test {

// A serial control in memory: records every call and every byte written, and hands out the
// bytes a test (or the stand-in behind it) queued as received.
class FakeSerialControl final : public ISerialControl {
  public:
    // --- what the test sees
    Bytes written;                   // every byte Output accepted, in order
    std::vector<std::string> calls;  // "PortOpen 1", "Settings 9600,N,8,1", "ClearOutBuffer"...
    int opens = 0;
    bool dtr = false, rts = false;
    std::int32_t inBufferSize = 0, rThreshold = -1, sThreshold = -1, inputLen = -1;
    std::int16_t inputMode = -1;

    // --- how it behaves
    bool failOpen = false;
    bool failClearOutBuffer = false;
    std::int32_t outBufferCount = 0;             // bytes "waiting to be sent"
    std::function<void(const Bytes&)> onOutput;  // the peer's ear

    // Bytes as received from the line.
    void Queue(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
    // Raises a communication event as the control would.
    void Fire(CommEvent event) {
        if (sink_ != nullptr) {
            sink_->OnComm(event);
        }
    }

    void SetEventSink(ISerialEventSink* sink) override { sink_ = sink; }
    bool CommPort(std::int16_t n) override {
        calls.push_back("CommPort " + std::to_string(n));
        port_ = open_ || n < 1 ? port_ : n;
        return !open_ && n >= 1;
    }
    std::int16_t CommPort() const override { return port_; }
    bool Settings(const std::string& s) override {
        calls.push_back("Settings " + s);
        settings_ = ParseLineSettings(s) ? s : settings_;
        return settings_ == s;
    }
    std::string Settings() const override { return settings_; }
    void DTREnable(bool on) override { dtr = on; }
    void RTSEnable(bool on) override { rts = on; }
    void InBufferSize(std::int32_t n) override { inBufferSize = n; }
    void OutBufferSize(std::int32_t n) override { outBufferSize_ = n; }
    std::int32_t OutBufferSize() const override { return outBufferSize_; }
    void RThreshold(std::int32_t n) override { rThreshold = n; }
    void SThreshold(std::int32_t n) override { sThreshold = n; }
    void InputLen(std::int32_t n) override { inputLen = n; }
    void InputMode(std::int16_t m) override { inputMode = m; }

    bool PortOpen() const override { return open_; }
    bool PortOpen(bool open) override {
        calls.push_back(std::string("PortOpen ") + (open ? "1" : "0"));
        if (open && failOpen) {
            return false;
        }
        opens += open && !open_ ? 1 : 0;
        if (!open) {
            input_.clear();  // closing empties the queues
            outBufferCount = 0;
        }
        open_ = open;
        return true;
    }
    std::int32_t InBufferCount() const override {
        return open_ ? static_cast<std::int32_t>(input_.size()) : 0;
    }
    std::int32_t OutBufferCount() const override { return open_ ? outBufferCount : 0; }
    bool ClearOutBuffer() override {
        calls.push_back("ClearOutBuffer");
        return !failClearOutBuffer;
    }
    Bytes Input() override {
        calls.push_back("Input");
        Bytes out;
        out.swap(input_);
        return out;
    }
    bool Output(const Bytes& bytes) override {
        calls.push_back("Output");
        if (!open_) {
            return false;
        }
        written.insert(written.end(), bytes.begin(), bytes.end());
        if (onOutput) {
            onOutput(bytes);
        }
        return true;
    }

  private:
    ISerialEventSink* sink_ = nullptr;
    std::int16_t port_ = 1;
    std::string settings_ = "9600,N,8,1";
    std::int32_t outBufferSize_ = 512;
    bool open_ = false;
    Bytes input_;
};

}  // namespace quorvane::test
