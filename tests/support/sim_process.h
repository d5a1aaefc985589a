#pragma once

#include <QProcess>
#include <QStringList>
#include <string>
#include <vector>

namespace quorvane::test {

// The tamskor-sim command as a child process serving a pseudo-terminal; its standard error is
// the test's. Every wait has a deadline.
class SimProcess {
  public:
    // Starts exe with args and waits for the device path it prints first; Ok() tells whether
    // it came.
    SimProcess(const std::string& exe, const std::vector<std::string>& args) {
        QStringList list;
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QString::fromStdString(exe), list);
        while (process_.waitForReadyRead(10000) && !process_.canReadLine()) {
        }
        ok_ = process_.canReadLine();
    }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Ok() const { return ok_; }
    // True once the child has ended by itself (the hang-up fault closes the line and ends it).
    bool Ended() { return process_.state() == QProcess::NotRunning || process_.waitForFinished(0); }
    // Asks the child to end (it removes its link and saves its image) and waits for it.
    void Stop() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

  private:
    QProcess process_;
    bool ok_ = false;
};

}  // namespace quorvane::test
