#pragma once

#include <cstdint>

namespace quorvane::test {

// Runs a program rig period by period on its hand-set clock. Rig provides Period() (one
// 50 ms period: the line pumped, then the timer's tick) and a Program named program.
template <typename Rig>
class PeriodRunner {
  public:
    // Periods until done() holds or maxMs have passed; true when done() held.
    template <typename Done>
    bool RunUntil(Done done, std::int32_t maxMs) {
        for (std::int32_t t = 0; t < maxMs; t += 50) {
            Self().Period();
            if (done()) {
                return true;
            }
        }
        return false;
    }

    void RunFor(std::int32_t ms) {
        for (std::int32_t t = 0; t < ms; t += 50) {
            Self().Period();
        }
    }

    // Presses "Connect" and runs until the item list is editable (read and first sends done).
    bool Connect(std::int32_t maxMs = 150000) {
        Self().program.MainWindow().cmd00_Click(0);
        return RunUntil([this] { return Self().program.Operations().stepNo() >= 10; }, maxMs);
    }

  private:
    Rig& Self() { return static_cast<Rig&>(*this); }
};

}  // namespace quorvane::test
