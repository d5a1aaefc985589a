#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "rig/fake_controls.h"
#include "rig/fake_process_services.h"
#include "rig/fake_profile_file.h"
#include "rig/initial_state.h"
#include "rig/sim_rig.h"
#include "sim/wire_trace.h"

namespace quorvane::test {

// The time of day, set by hand: 2026-12-07 05:15:02 UTC unless a test moves it.
class FixedWallClock final : public IWallClock {
  public:
    std::chrono::sys_seconds Now() override { return now; }
    std::chrono::sys_seconds now = std::chrono::sys_days{std::chrono::December / 7 / 2026} +
                                   std::chrono::hours{5} + std::chrono::minutes{15} +
                                   std::chrono::seconds{2};
};

// The whole program without a window toolkit over the in-process stand-in transceiver: fake
// window controls, an in-memory settings file, the loopback serial control and one hand-set
// clock. Time moves only in 50 ms periods, so a run is the same on every machine.
class ProgramRig {
  public:
    // userDataFolder: where automatic backups go; empty: none are made. fileWrites: how
    // backups and records reach the disk; null: the system's calls. charts: what draws the
    // curves on a record's page; null: none are drawn.
    explicit ProgramRig(sim::TamskorConfig config = {},
                        sim::SimImage image = sim::SimImage::Generate(1),
                        std::string userDataFolder = {}, FileWrites* fileWrites = nullptr,
                        const ICurveChart* charts = nullptr)
        : sim(std::move(config), std::move(image)),
          trace(traceText),
          program(Platform{sim.serial,
                           sim.clock,
                           profile,
                           process,
                           form.controls,
                           {},
                           std::move(userDataFolder),
                           &wallClock,
                           fileWrites,
                           charts}) {
        sim.transceiver.SetTrace(&trace);
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
        initialLines = form.lboConsole.lines;
    }
    ProgramRig(const ProgramRig&) = delete;
    ProgramRig& operator=(const ProgramRig&) = delete;

    // One 50 ms period: the line is pumped (its arrival ticks run at once), then the timer.
    void Period() {
        sim.Advance(50);
        program.Tick();
    }

    // Periods until done() holds or maxMs have passed; true when done() held.
    template <typename Done>
    bool RunUntil(Done done, std::int32_t maxMs) {
        for (std::int32_t t = 0; t < maxMs; t += 50) {
            Period();
            if (done()) {
                return true;
            }
        }
        return false;
    }

    void RunFor(std::int32_t ms) {
        for (std::int32_t t = 0; t < ms; t += 50) {
            Period();
        }
    }

    // Presses "Connect" and runs until the item list is editable (read and first sends done).
    bool Connect(std::int32_t maxMs = 150000) {
        program.MainWindow().cmd00_Click(0);
        return RunUntil([this] { return program.Operations().stepNo() >= 10; }, maxMs);
    }

    // Runs adjusting cycles until the cycle is back at its end with nothing left to send.
    bool Settle(std::int32_t maxMs = 30000) {
        return RunUntil(
            [this] {
                const clsConsole& c = program.Console();
                for (Int16 i = 0; i < c.ListCount(); ++i) {
                    if (c.flgChanged(i)) {
                        return false;
                    }
                }
                return program.Operations().stepNo() == 28 && !program.Sequence().OpRunning() &&
                       program.Operations().subStepNo() == 0;
            },
            maxMs);
    }

    // Plugs the cable into a new transceiver made from config and image; what was on its way
    // to the old one is lost.
    sim::TamskorSim& Replug(sim::TamskorConfig config = {},
                            sim::SimImage image = sim::SimImage::Generate(1)) {
        spares_.push_back(std::make_unique<sim::TamskorSim>(std::move(config), std::move(image)));
        spares_.back()->SetTrace(&trace);
        sim.serial.Attach(*spares_.back());
        return *spares_.back();
    }
    // The transceiver the cable is plugged into.
    sim::TamskorSim& Transceiver() { return sim.serial.Transceiver(); }

    // The trace without its times: every frame over the wire, in order, one a line.
    std::string Wire() const {
        std::string out;
        ForEachLine(traceText.str(), [&](const std::string& line) {
            const auto ms = line.find(" ms  ");
            out += (ms == std::string::npos ? line : line.substr(ms + 5)) + '\n';
        });
        return out;
    }

    // The decoded lines of the frames the program sent since the last call.
    std::vector<std::string> SentFrames() {
        std::vector<std::string> out;
        ForEachLine(traceText.str().substr(consumed_), [&](const std::string& line) {
            const auto bar = line.find("| ");
            if (line.find("PC>TR") != std::string::npos && bar != std::string::npos) {
                out.push_back(line.substr(bar + 2));
            }
        });
        consumed_ = traceText.str().size();
        return out;
    }

    // Port closed, nothing running and the item list as after start-up.
    bool InInitialState() { return test::InInitialState(program, form, initialLines); }

    FakeMainForm form;
    FakeProfileFile profile;
    FakeProcessServices process;
    FixedWallClock wallClock;
    SimRig sim;
    std::ostringstream traceText;
    sim::WireTrace trace;
    Program program;
    std::vector<std::string> initialLines;

  private:
    template <typename F>
    static void ForEachLine(const std::string& text, F f) {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            f(line);
        }
    }

    std::size_t consumed_ = 0;
    std::vector<std::unique_ptr<sim::TamskorSim>> spares_;
};

}  // namespace quorvane::test
