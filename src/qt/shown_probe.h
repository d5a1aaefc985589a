#pragma once

class QApplication;

namespace quorvane {

// For start-up measurements only: when the environment variable QUORVANE_BENCH_SHOWN_FILE
// names a file, the moment the first window is exposed is written there, once, as
// microseconds of the system's monotonic clock (CLOCK_MONOTONIC). Without the variable
// nothing is installed and the program runs as ever.
void InstallShownProbe(QApplication& app);

}  // namespace quorvane
