#pragma once

#include <QLockFile>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "platform/host_system.h"
#include "platform/process_services.h"

class QApplication;

namespace quorvane {

// The application-wide settings the window relies on: the program's name, and "Courier New"
// mapped to the metric-compatible "Liberation Mono" where the former is not installed.
void ConfigureApplication(QApplication& app);
void SubstituteMissingFonts();

// The program's tick: calls the function every period while enabled, and on RunNow (for
// example when serial data arrives). A tick never runs inside another one, nor while a modal
// window (a message box) is open; such a tick is dropped, the next one comes regardless.
class QtTickSource {
  public:
    explicit QtTickSource(std::function<void()> tick, int periodMs = 50);
    QtTickSource(const QtTickSource&) = delete;
    QtTickSource& operator=(const QtTickSource&) = delete;

    void Enabled(bool on);
    bool Enabled() const { return timer_.isActive(); }
    int PeriodMs() const { return timer_.interval(); }

    // Runs one tick now, under the same rules as the timer's.
    void RunNow();
    // Runs one tick from the event loop as soon as the current event has been handled; any
    // further requests before it runs are served by the same tick.
    void RunSoon();
    // Runs one tick ms from now (to the millisecond), under the same rules; a later request
    // replaces an earlier one that has not run yet.
    void RunAfter(int ms);

  private:
    std::function<void()> tick_;
    QTimer timer_;
    QTimer wake_;
    bool running_ = false;
    bool soonPending_ = false;
};

// Where the single-instance lock lives: the user's runtime directory on Linux (one for each
// login session; the temporary directory when there is none), the user's temporary folder on
// Windows, whose runtime location is the user's home folder itself.
QString InstanceLockDirectory(const QString& runtimeLocation, const QString& tempLocation,
                              HostSystem system = kThisSystem);

// Process services on Qt: the single-instance claim is a lock file in InstanceLockDirectory; a
// lock left by a crashed instance is recognised by its dead owner and taken over.
class QtProcessServices final : public IProcessServices {
  public:
    // lockDirectory empty: the per-user runtime directory.
    explicit QtProcessServices(QString lockName = QStringLiteral("quorvane-adj"),
                               QString lockDirectory = {});
    ~QtProcessServices() override;

    bool ClaimSingleInstance() override;
    std::string ProgramDirectory() override;
    // Leaves the event loop when one runs (the program then returns from main), else ends
    // the process with exit status 0.
    void EndProcess() override;

    QString LockFilePath() const { return lockPath_; }

  private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace quorvane
