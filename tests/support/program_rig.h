#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "sim/wire_trace.h"
#include "support/fake_controls.h"
#include "support/fake_process_services.h"
#include "support/fake_profile_file.h"
#include "support/period_runner.h"
#include "support/sim_rig.h"

namespace quorvane::test {

// The whole program over the in-process stand-in transceiver: fake window controls, an
// in-memory settings file, the loopback serial control and one hand-set clock.
class ProgramRig : public PeriodRunner<ProgramRig> {
  public:
    explicit ProgramRig(sim::TamskorConfig config = {},
                        sim::SimImage image = sim::SimImage::Generate(1))
        : sim(std::move(config), std::move(image)),
          trace(traceText),
          program(Platform{sim.serial, sim.clock, profile, process, form.controls}) {
        sim.transceiver.SetTrace(&trace);
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
    }
    ProgramRig(const ProgramRig&) = delete;
    ProgramRig& operator=(const ProgramRig&) = delete;

    // One 50 ms period: the line is pumped (its arrival ticks run at once), then the timer.
    void Period() {
        sim.Advance(50);
        program.Tick();
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

    // Plugs the cable into a new transceiver made from config and image.
    sim::TamskorSim& Replug(sim::TamskorConfig config,
                            sim::SimImage image = sim::SimImage::Generate(1)) {
        spares_.push_back(std::make_unique<sim::TamskorSim>(std::move(config), std::move(image)));
        spares_.back()->SetTrace(&trace);
        sim.serial.Attach(*spares_.back());
        return *spares_.back();
    }

    // The decoded lines of the frames the program sent since the last call.
    std::vector<std::string> SentFrames() {
        std::vector<std::string> out;
        std::string line;
        std::istringstream in(traceText.str().substr(consumed_));
        while (std::getline(in, line)) {
            const auto pos = line.find("PC>TR");
            const auto bar = line.find("| ");
            if (pos != std::string::npos && bar != std::string::npos) {
                out.push_back(line.substr(bar + 2));
            }
        }
        consumed_ = traceText.str().size();
        return out;
    }

    FakeMainForm form;
    FakeProfileFile profile;
    FakeProcessServices process;
    SimRig sim;
    std::ostringstream traceText;
    sim::WireTrace trace;
    Program program;

  private:
    std::size_t consumed_ = 0;
    std::vector<std::unique_ptr<sim::TamskorSim>> spares_;
};

}  // namespace quorvane::test
