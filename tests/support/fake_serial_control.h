#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/byte_string.h"
#include "platform/line_settings.h"
#include "platform/serial_control.h"

namespace quorvane::test {

// A serial control in memory: records every call and every byte written, and hands out the
// bytes a test (or a scripted peer) queued as received.
class FakeSerialControl final : public ISerialControl {
  public:
    // --- what the test sees
    Bytes written;                   // every byte Output accepted, in order
    std::vector<std::string> calls;  // "PortOpen 1", "Settings 9600,N,8,1", "ClearOutBuffer"...
    std::vector<std::string>* journal = nullptr;  // optional shared log across fakes
    int opens = 0;
    bool dtr = false, rts = false;
    std::int32_t inBufferSize = 0, rThreshold = -1, sThreshold = -1, inputLen = -1;
    std::int16_t inputMode = -1;

    // --- how it behaves
    bool failOpen = false;
    bool failClearOutBuffer = false;
    std::int32_t outBufferCount = 0;                                 // bytes "waiting to be sent"
    std::size_t maxChunk = std::numeric_limits<std::size_t>::max();  // bytes per Input()
    std::function<void(const Bytes&)> onOutput;                      // the peer's ear

    // Bytes as received from the line.
    void Queue(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
    // Raises a communication event as the control would.
    void Fire(CommEvent event) {
        if (sink_ != nullptr) {
            sink_->OnComm(event);
        }
    }
    ISerialEventSink* sink() const { return sink_; }

    void SetEventSink(ISerialEventSink* sink) override { sink_ = sink; }
    bool CommPort(std::int16_t n) override {
        Log("CommPort " + std::to_string(n));
        if (open_ || n < 1) {
            return false;
        }
        port_ = n;
        return true;
    }
    std::int16_t CommPort() const override { return port_; }
    bool Settings(const std::string& s) override {
        Log("Settings " + s);
        if (!ParseLineSettings(s)) {
            return false;
        }
        settings_ = s;
        return true;
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
        Log(std::string("PortOpen ") + (open ? "1" : "0"));
        if (open && failOpen) {
            return false;
        }
        if (open && !open_) {
            ++opens;
        }
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
        Log("ClearOutBuffer");
        return !failClearOutBuffer;
    }
    Bytes Input() override {
        Log("Input");
        const std::size_t n = std::min(maxChunk, input_.size());
        Bytes out(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
        return out;
    }
    bool Output(const Bytes& bytes) override {
        Log("Output");
        if (!open_) {
            return false;
        }
        written.insert(written.end(), bytes.begin(), bytes.end());
        if (onOutput) {
            onOutput(bytes);
        }
        return true;
    }

    std::size_t pending() const { return input_.size(); }

  private:
    void Log(const std::string& what) {
        calls.push_back(what);
        if (journal != nullptr) {
            journal->push_back(what);
        }
    }

    ISerialEventSink* sink_ = nullptr;
    std::int16_t port_ = 1;
    std::string settings_ = "9600,N,8,1";
    std::int32_t outBufferSize_ = 512;
    bool open_ = false;
    Bytes input_;
};

}  // namespace quorvane::test
