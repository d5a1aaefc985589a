#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/steady_clock.h"
#include "qt/qt_serial_control.h"
#include "rig/fake_controls.h"
#include "rig/fake_process_services.h"
#include "rig/fake_profile_file.h"
#include "rig/initial_state.h"

namespace quorvane::test {

// The whole program on the real serial port (QSerialPort) and the real clock, with fake window
// controls; COM 1 is the device path the test sets. The test runs the Qt event loop through
// Pump, which also fires the 50 ms timer; a QCoreApplication must exist.
class QtProgramRig {
  public:
    QtProgramRig()
        : control([this](std::int16_t n) { return n == 1 ? device : std::string(); }),
          program(Platform{control, clock, profile, process, form.controls}) {
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
        initialLines = form.lboConsole.lines;
        sinceTick.start();
    }
    QtProgramRig(const QtProgramRig&) = delete;
    QtProgramRig& operator=(const QtProgramRig&) = delete;

    // Runs the event loop (and the timer) until done() holds or deadlineMs pass; the deadline
    // only bounds a failing run.
    template <typename Done>
    bool PumpUntil(Done done, int deadlineMs) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > deadlineMs) {
                return false;
            }
            Step();
        }
        return true;
    }
    void PumpFor(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            Step();
        }
    }

    // Presses "Connect" and runs until the item list is editable (read and first sends done).
    bool Connect(int deadlineMs = 30000) {
        program.MainWindow().cmd00_Click(0);
        return PumpUntil([this] { return program.Operations().stepNo() >= 10; }, deadlineMs);
    }

    bool InInitialState() { return test::InInitialState(program, form, initialLines); }

    std::string device;  // the path COM 1 opens
    SteadyClock clock;
    FakeMainForm form;
    FakeProfileFile profile;
    FakeProcessServices process;
    QtSerialControl control;
    Program program;
    std::vector<std::string> initialLines;

  private:
    void Step() {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
        if (sinceTick.elapsed() >= frmCom::kTickPeriodMs) {
            sinceTick.restart();
            if (program.Com().timSolidEnabled()) {
                program.Tick();
            }
        }
    }
    QElapsedTimer sinceTick;
};

}  // namespace quorvane::test
