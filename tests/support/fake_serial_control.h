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

    // --- how it behaves
    bool failOpen = false;
    bool failClearOutBuffer = false;
    std::int32_t outBufferCount = 0;             // bytes "waiting to be sent"
    std::function<void(const Bytes&)> onOutput;  // the peer's ear

    // Bytes as received from the line.
    void Queue(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }

    void SetEventSink(ISerialEventSink* /*sink*/) override {}  // tests raise events themselves
    bool CommPort(std::int16_t n) override {
        Log("CommPort", n);
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
    void DTREnable(bool on) override { Log("DTREnable", on); }
    void RTSEnable(bool on) override { Log("RTSEnable", on); }
    void InBufferSize(std::int32_t n) override { Log("InBufferSize", n); }
    void OutBufferSize(std::int32_t n) override { outBufferSize_ = Log("OutBufferSize", n); }
    std::int32_t OutBufferSize() const override { return outBufferSize_; }
    void RThreshold(std::int32_t n) override { Log("RThreshold", n); }
    void SThreshold(std::int32_t n) override { Log("SThreshold", n); }
    void InputLen(std::int32_t n) override { Log("InputLen", n); }
    void InputMode(std::int16_t m) override { Log("InputMode", m); }

    bool PortOpen() const override { return open_; }
    bool PortOpen(bool open) override {
        calls.push_back(std::string("PortOpen ") + (open ? "1" : "0"));
        if (open && failOpen) {
            return false;
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
    // Journals a setting as "Name value"; returns the value.
    std::int32_t Log(const char* name, std::int32_t value) {
        calls.push_back(std::string(name) + " " + std::to_string(value));
        return value;
    }

    std::int16_t port_ = 1;
    std::string settings_ = "9600,N,8,1";
    std::int32_t outBufferSize_ = 512;
    bool open_ = false;
    Bytes input_;
};

}  // namespace quorvane::test
