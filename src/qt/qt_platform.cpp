#include "qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QMetaObject>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cstdlib>

#include "qt/qt_guard.h"
#include "qt/qt_text.h"

namespace quorvane {

void ConfigureApplication(QApplication& app) {
    // The executable's own name, which the lock file's stale check compares with.
    app.setApplicationName(QStringLiteral("quorvane-adj"));
    SubstituteMissingFonts();
}

void SubstituteMissingFonts() {
    const QString wanted = QStringLiteral("Courier New");
    if (!QFontDatabase::hasFamily(wanted)) {
        QFont::insertSubstitution(wanted, QStringLiteral("Liberation Mono"));
    }
}

QtTickSource::QtTickSource(std::function<void()> tick, int periodMs) : tick_(std::move(tick)) {
    timer_.setInterval(periodMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { RunNow(); });
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake_, &QTimer::timeout, [this] { RunNow(); });
}

void QtTickSource::Enabled(bool on) {
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
        wake_.stop();
    }
}

void QtTickSource::RunAfter(int ms) {
    if (timer_.isActive()) {
        wake_.start(std::max(ms, 0));
    }
}

void QtTickSource::RunNow() {
    if (running_ || QApplication::activeModalWidget() != nullptr || !tick_) {
        return;
    }
    running_ = true;
    RunGuarded(nullptr, tick_);
    running_ = false;
}

void QtTickSource::RunSoon() {
    if (soonPending_) {
        return;
    }
    soonPending_ = true;
    QMetaObject::invokeMethod(
        &timer_,
        [this] {
            soonPending_ = false;
            RunNow();
        },
        Qt::QueuedConnection);
}

QString InstanceLockDirectory(const QString& runtimeLocation, const QString& tempLocation,
                              HostSystem system) {
    return system == HostSystem::Linux && !runtimeLocation.isEmpty() ? runtimeLocation
                                                                     : tempLocation;
}

namespace {

QString LockDirectory(const QString& given) {
    if (!given.isEmpty()) {
        return given;
    }
    return InstanceLockDirectory(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                                 QDir::tempPath());
}

}  // namespace

QtProcessServices::QtProcessServices(QString lockName, QString lockDirectory)
    : lockPath_(QDir(LockDirectory(lockDirectory)).filePath(lockName + QStringLiteral(".lock"))) {}

QtProcessServices::~QtProcessServices() = default;

bool QtProcessServices::ClaimSingleInstance() {
    if (lock_ != nullptr) {
        return true;
    }
    auto lock = std::make_unique<QLockFile>(lockPath_);
    // A running instance holds its lock for hours: only a dead owner makes a lock stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

std::string QtProcessServices::ProgramDirectory() {
    return FromQString(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

void QtProcessServices::EndProcess() {
    if (QCoreApplication::instance() != nullptr && QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
        return;
    }
    std::exit(0);
}

}  // namespace quorvane
