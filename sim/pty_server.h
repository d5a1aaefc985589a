#pragma once

#include <optional>
#include <string>

#include "paced_line.h"
#include "tamskor_sim.h"

namespace quorvane::sim {

// The stand-in on a pseudo-terminal in raw mode, at real time: what the program writes to the
// device reaches the stand-in as it is read, and the stand-in's bytes are written as they
// become due, so they leave at the baud rate.
class PtyServer {
  public:
    enum class End { Signal, HungUp, LineError };

    // Opens the pseudo-terminal; std::runtime_error when it cannot.
    explicit PtyServer(TamskorSim& transceiver);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The device a program opens, e.g. /dev/pts/3.
    const std::string& DevicePath() const { return path_; }

    // On: what the program writes reaches the stand-in (and its echo the program) one byte
    // time apart at the stand-in's rate, as a real line carries it, rather than at once.
    void PacedInput(bool on) { pacedInput_ = on; }
    // On: the stand-in's time is the system's monotonic clock (CLOCK_MONOTONIC) rather than
    // the time since Serve began, so trace times compare with another process's.
    void MonotonicTime(bool on) { monotonicTime_ = on; }

    // Serves until signalFd becomes readable, the stand-in hangs up (the line is then closed),
    // or the line fails. Waits in poll, never spins.
    End Serve(int signalFd);

  private:
    void Close();
    void AwaitDrain(int signalFd);

    TamskorSim* transceiver_;
    int master_ = -1;
    int slave_ = -1;  // held open so the line stays up while no program has it open
    std::string path_;
    bool pacedInput_ = false;
    bool monotonicTime_ = false;
};

}  // namespace quorvane::sim
