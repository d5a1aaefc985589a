#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace quorvane::test {

// The tamskor-sim command as a child process on a pseudo-terminal, recording the line in a
// trace file. Clone reads use the largest valid frames, so a full read takes about 70 s at
// 9600 baud instead of 90.
class StandInProcess {
  public:
    StandInProcess(const QString& traceFile, const QStringList& extraArgs = {})
        : traceFile_(traceFile) {
        QStringList args{QStringLiteral("--bytes-per-frame"), QStringLiteral("122"),
                         QStringLiteral("--trace"), traceFile};
        args += extraArgs;
        process_.setProgram(QStringLiteral(TAMSKOR_SIM_EXE));
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(10000)) {
            return;
        }
        // The first line on standard output is the device.
        while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
        }
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~StandInProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool Started() const { return !device_.isEmpty(); }
    const QString& Device() const { return device_; }

    // The trace's lines for frames the program sent, from line `from` (0-based) on.
    std::vector<std::string> SentFrames(std::size_t from = 0) const {
        QFile file(traceFile_);
        std::vector<std::string> out;
        if (!file.open(QIODevice::ReadOnly)) {
            return out;
        }
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const int bar = line.indexOf("| ");
            if (line.contains("PC>TR") && bar >= 0) {
                out.push_back(line.mid(bar + 2).toStdString());
            }
        }
        out.erase(out.begin(),
                  out.begin() + static_cast<std::ptrdiff_t>(std::min(from, out.size())));
        return out;
    }

  private:
    QString traceFile_;
    QProcess process_;
    QString device_;
};

}  // namespace quorvane::test
