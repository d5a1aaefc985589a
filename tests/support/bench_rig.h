#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "sim/loopback_serial_control.h"
#include "sim/sim_image.h"
#include "sim/tamskor_sim.h"
#include "support/fake_controls.h"
#include "support/fake_process_services.h"
#include "support/fake_profile_file.h"
#include "support/initial_state.h"
#include "support/manual_clock.h"
#include "support/period_runner.h"

namespace quorvane::test {

// The cable of a bench with several transceivers: the program's serial control, plugged into
// one stand-in's loopback at a time (only while the port is closed, as a technician would move
// the cable). The line settings the program made are carried over to the newly plugged line.
// A test may also make any call on the line fail by throwing from `fault`.
class SwitchedLine final : public ISerialControl {
  public:
    explicit SwitchedLine(sim::LoopbackSerialControl& first) : line_(&first) {}

    // Called before every input and output; throw from it to make the line fail.
    std::function<void()> fault;

    sim::LoopbackSerialControl& Line() { return *line_; }
    void Plug(sim::LoopbackSerialControl& line) {
        if (line_->PortOpen()) {
            line_->PortOpen(false);
        }
        line_->SetEventSink(nullptr);
        line_ = &line;
        line.SetEventSink(sink_);
        (void)line.CommPort(port_);
        (void)line.Settings(settings_);
        line.DTREnable(dtr_);
        line.RTSEnable(rts_);
        line.InBufferSize(inBufferSize_);
        line.OutBufferSize(outBufferSize_);
        line.RThreshold(rThreshold_);
        line.SThreshold(sThreshold_);
        line.InputLen(inputLen_);
        line.InputMode(inputMode_);
    }

    void SetEventSink(ISerialEventSink* sink) override {
        sink_ = sink;
        line_->SetEventSink(sink);
    }
    bool CommPort(std::int16_t n) override {
        const bool ok = line_->CommPort(n);
        if (ok) {
            port_ = n;
        }
        return ok;
    }
    std::int16_t CommPort() const override { return line_->CommPort(); }
    bool Settings(const std::string& s) override {
        const bool ok = line_->Settings(s);
        if (ok) {
            settings_ = s;
        }
        return ok;
    }
    std::string Settings() const override { return line_->Settings(); }
    void DTREnable(bool on) override { line_->DTREnable(dtr_ = on); }
    void RTSEnable(bool on) override { line_->RTSEnable(rts_ = on); }
    void InBufferSize(std::int32_t n) override { line_->InBufferSize(inBufferSize_ = n); }
    void OutBufferSize(std::int32_t n) override { line_->OutBufferSize(outBufferSize_ = n); }
    std::int32_t OutBufferSize() const override { return line_->OutBufferSize(); }
    void RThreshold(std::int32_t n) override { line_->RThreshold(rThreshold_ = n); }
    void SThreshold(std::int32_t n) override { line_->SThreshold(sThreshold_ = n); }
    void InputLen(std::int32_t n) override { line_->InputLen(inputLen_ = n); }
    void InputMode(std::int16_t m) override { line_->InputMode(inputMode_ = m); }
    bool PortOpen() const override { return line_->PortOpen(); }
    bool PortOpen(bool open) override { return line_->PortOpen(open); }
    std::int32_t InBufferCount() const override { return line_->InBufferCount(); }
    std::int32_t OutBufferCount() const override { return line_->OutBufferCount(); }
    bool ClearOutBuffer() override { return line_->ClearOutBuffer(); }
    Bytes Input() override {
        if (fault) {
            fault();
        }
        return line_->Input();
    }
    bool Output(const Bytes& bytes) override {
        if (fault) {
            fault();
        }
        return line_->Output(bytes);
    }

  private:
    sim::LoopbackSerialControl* line_;
    ISerialEventSink* sink_ = nullptr;
    std::int16_t port_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool dtr_ = false, rts_ = false;
    std::int32_t inBufferSize_ = 1024, outBufferSize_ = 512, rThreshold_ = 0, sThreshold_ = 0,
                 inputLen_ = 0;
    std::int16_t inputMode_ = 0;
};

// The item list of the window, which a test may make fail once (as a broken control would).
class FaultyListBox final : public IListBox {
  public:
    explicit FaultyListBox(FakeMainForm& form) : list_(form.lboConsole) {
        form.controls.lboConsole = this;
    }
    // Thrown by the next call of any kind, once.
    std::function<void()> failOnce;

    void Visible(bool v) override { Check().Visible(v); }
    bool Visible() const override { return list_.Visible(); }
    void Enabled(bool e) override { Check().Enabled(e); }
    bool Enabled() const override { return list_.Enabled(); }
    void Move(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) override {
        Check().Move(l, t, w, h);
    }
    std::int32_t Left() const override { return list_.Left(); }
    std::int32_t Top() const override { return list_.Top(); }
    std::int32_t Width() const override { return list_.Width(); }
    std::int32_t Height() const override { return list_.Height(); }
    void SetFocus() override { Check().SetFocus(); }
    bool HasFocus() const override { return list_.HasFocus(); }
    void TabStopLast() override { Check().TabStopLast(); }
    void AddItem(const std::string& text) override { Check().AddItem(text); }
    void List(std::int16_t index, const std::string& text) override { Check().List(index, text); }
    std::string List(std::int16_t index) const override { return list_.List(index); }
    void Clear() override { Check().Clear(); }
    std::int16_t ListCount() const override { return list_.ListCount(); }
    std::int16_t ListIndex() const override { return list_.ListIndex(); }
    void ListIndex(std::int16_t index) override { Check().ListIndex(index); }

  private:
    FakeListBox& Check() {
        if (failOnce) {
            const auto f = std::move(failOnce);
            failOnce = nullptr;
            f();
        }
        return list_;
    }
    FakeListBox& list_;
};

// One stand-in transceiver on the bench with its own loopback, on the bench's clock.
struct BenchRadio {
    BenchRadio(sim::TamskorConfig config, sim::SimImage image, ManualClock& clock)
        : transceiver(std::move(config), std::move(image)), line(transceiver, clock) {}
    sim::TamskorSim transceiver;
    sim::LoopbackSerialControl line;
};

// The whole program on a bench: fake window controls, an in-memory settings file, one
// hand-set clock, and as many stand-ins as a test adds, one of them plugged in at a time.
// The first one (a healthy transceiver unless the configuration says otherwise) is plugged in
// at the start.
class BenchRig : public PeriodRunner<BenchRig> {
  public:
    explicit BenchRig(sim::TamskorConfig config = {},
                      sim::SimImage image = sim::SimImage::Generate(1))
        : first_(std::make_unique<BenchRadio>(std::move(config), std::move(image), clock)),
          line(first_->line),
          program(Platform{line, clock, profile, process, form.controls}) {
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
        initialLines = form.lboConsole.lines;
    }
    BenchRig(const BenchRig&) = delete;
    BenchRig& operator=(const BenchRig&) = delete;

    // Adds a stand-in to the bench (not plugged in).
    BenchRadio& Add(sim::TamskorConfig config, sim::SimImage image = sim::SimImage::Generate(1)) {
        others_.push_back(std::make_unique<BenchRadio>(std::move(config), std::move(image), clock));
        return *others_.back();
    }
    BenchRadio& First() { return *first_; }
    // Moves the cable to radio (the program's port is closed by then).
    void Plug(BenchRadio& radio) {
        line.Plug(radio.line);
        plugged_ = &radio;
    }
    // The stand-in the cable is plugged into.
    sim::TamskorSim& Transceiver() { return plugged_->transceiver; }

    // One 50 ms period: every line is pumped (arrival ticks run at once), then the timer.
    void Period() {
        clock.Advance(50);
        PumpAll();
        program.Tick();
    }
    void PumpAll() {
        first_->line.Pump();
        for (auto& r : others_) {
            r->line.Pump();
        }
    }

    bool InInitialState() { return test::InInitialState(program, form, initialLines); }

    ManualClock clock{100000};
    FakeMainForm form;
    FaultyListBox list{form};
    FakeProfileFile profile;
    FakeProcessServices process;

  private:
    std::unique_ptr<BenchRadio> first_;
    std::vector<std::unique_ptr<BenchRadio>> others_;
    BenchRadio* plugged_ = first_.get();

  public:
    SwitchedLine line;
    Program program;
    std::vector<std::string> initialLines;
};

}  // namespace quorvane::test
