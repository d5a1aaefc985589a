// quorvane-bench-window: the program on its real window (offscreen) and its real serial port,
// against the tamskor-sim command on a pseudo-terminal pacing both directions of the line.
// Measures Connect to the adjusting page, the clone read, key to line, the CPU it uses and
// its peak memory, and prints them as table rows (bench_rows.h).
#include <sys/prctl.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "bench_rows.h"
#include "line_trace.h"
#include "proc_stats.h"
#include "qt/qt_platform.h"
#include "qt/qt_program.h"
#include "settings/ini_file_store.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"

namespace quorvane::bench {
namespace {

constexpr char kUsage[] =
    "Usage: quorvane-bench-window --sim PATH [--baud 9600|38400] [--bytes-per-frame N]\n"
    "                             [--connects N] [--keys N] [--idle SECONDS]\n"
    "                             [--memory on|off] [--keep-trace FILE]\n"
    "Runs the program's window and serial port against tamskor-sim (PATH) and prints the\n"
    "measures as ROW lines. --keys 0, --idle 0 and --memory off leave those measures out.\n";

struct Options {
    QString sim;
    int baud = 9600;
    int bytesPerFrame = 122;
    int connects = 1;
    int keys = 50;
    int idleSeconds = 60;
    int turnaroundMs = 5;
    bool memory = true;
    QString keepTrace;  // where to copy the stand-in's trace at the end
};

bool Parse(const QStringList& args, Options& o) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size()) {
            return false;
        }
        const QString v = args[++i];
        if (a == "--sim") {
            o.sim = v;
        } else if (a == "--baud") {
            o.baud = v.toInt();
        } else if (a == "--bytes-per-frame") {
            o.bytesPerFrame = v.toInt();
        } else if (a == "--connects") {
            o.connects = v.toInt();
        } else if (a == "--keys") {
            o.keys = v.toInt();
        } else if (a == "--idle") {
            o.idleSeconds = v.toInt();
        } else if (a == "--memory") {
            o.memory = v != "off";
        } else if (a == "--keep-trace") {
            o.keepTrace = v;
        } else {
            return false;
        }
    }
    return !o.sim.isEmpty() && (o.baud == 9600 || o.baud == 38400) && o.connects >= 1;
}

// Lets the event loop run for ms; the loop sleeps in the system until an event comes, so
// nothing here polls or delays an event.
void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        Pump(20);
    }
    return true;
}

// Passes every tick's calls on to the main window and then lets the bench look at the
// program, so that what a tick did is seen the moment it is done.
class TickTap final : public ITickClient {
  public:
    TickTap(frmMain& target, std::function<void()> after)
        : target_(target), after_(std::move(after)) {}
    void task() override {
        target_.task();
        after_();
    }
    void MsgBoxCloneErr() override { target_.MsgBoxCloneErr(); }
    void TickError(const std::exception& error) override { target_.TickError(error); }

  private:
    frmMain& target_;
    std::function<void()> after_;
};

// Notes the moment a widget is shown and ends a waiting loop.
class ShowWatch final : public QObject {
  public:
    explicit ShowWatch(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }
    ~ShowWatch() override { widget_->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Show && shownUs_ < 0) {
            shownUs_ = MonotonicUs();
            if (loop_ != nullptr) {
                loop_->quit();
            }
        }
        return false;
    }

    // Runs the event loop until the widget is shown or timeoutMs pass; -1 on time-out.
    std::int64_t Await(int timeoutMs) {
        if (shownUs_ < 0) {
            QEventLoop loop;
            loop_ = &loop;
            QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
            loop.exec();
            loop_ = nullptr;
        }
        return shownUs_;
    }

  private:
    QWidget* widget_;
    QEventLoop* loop_ = nullptr;
    std::int64_t shownUs_ = -1;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

class Bench {
  public:
    Bench(const Options& options, const QString& dir)
        : o_(options),
          dir_(dir),
          process_(QStringLiteral("quorvane-adj"), dir),
          baudLabel_(Format("%d baud", options.baud)) {}

    ~Bench() {
        if (program_ != nullptr) {
            program_->Core().Com().tickClient(&program_->Core().MainWindow());
        }
        program_.reset();
        if (!o_.keepTrace.isEmpty()) {
            QFile::remove(o_.keepTrace);
            QFile::copy(trace_, o_.keepTrace);
        }
        if (sim_.state() != QProcess::NotRunning) {
            sim_.terminate();
            if (!sim_.waitForFinished(5000)) {
                sim_.kill();
                sim_.waitForFinished(5000);
            }
        }
    }

    bool Start() {
        trace_ = dir_ + "/trace.txt";
        sim_.setProgram(o_.sim);
        sim_.setArguments({"--baud", QString::number(o_.baud), "--bytes-per-frame",
                           QString::number(o_.bytesPerFrame), "--turnaround",
                           QString::number(o_.turnaroundMs), "--paced-input", "on", "--trace-clock",
                           "monotonic", "--trace", trace_});
        sim_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The stand-in goes with the bench, however the bench ends.
        sim_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        sim_.start();
        if (!sim_.waitForStarted(10000)) {
            Say("bench: cannot start %s\n", qPrintable(o_.sim));
            return false;
        }
        while (!sim_.canReadLine() && sim_.waitForReadyRead(10000)) {
        }
        const std::string device = QString::fromLocal8Bit(sim_.readLine()).trimmed().toStdString();
        if (device.empty()) {
            Say("bench: the stand-in named no device\n");
            return false;
        }
        IniFileStore store;
        const std::string settings = (dir_ + "/" + kSettingsFileName).toStdString();
        store.WriteProfileString(kPortsSection, "COM1", device, settings);

        program_ = std::make_unique<QtProgram>(process_, dir_.toStdString());
        // The program's own rate is 9600; a faster line is set as the rate every reset
        // restores, so the Connect below opens the port at it.
        program_->Core().Com().resetBaud(o_.baud);
        tap_ = std::make_unique<TickTap>(program_->Core().MainWindow(), [this] { AfterTick(); });
        program_->Core().Com().tickClient(tap_.get());
        // A message box would hold every tick; it is told, closed, and the run counts as failed.
        boxWatch_.setInterval(500);
        QObject::connect(&boxWatch_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Say("bench: the program showed \"%s\"\n", qPrintable(box->text()));
                failed_ = true;
                box->done(QMessageBox::Ok);
            }
        });
        boxWatch_.start();
        program_->Show();
        program_->Window().activateWindow();
        if (!QTest::qWaitForWindowExposed(&program_->Window())) {
            Say("bench: the window was never shown\n");
            return false;
        }
        Pump(300);
        return true;
    }

    bool Connects() {
        auto* button = program_->Window().findChild<QPushButton*>("cmd00_0");
        auto* page = program_->Window().findChild<QWidget*>("fra01_1");
        if (button == nullptr || page == nullptr) {
            Say("bench: no Connect button or adjusting page\n");
            return false;
        }
        std::vector<double> ratios;
        std::vector<double> cloneRatios;
        std::string runs;
        std::string cloneRuns;
        double worstCpu = 0;
        for (int run = 0; run < o_.connects; ++run) {
            if (run > 0) {
                Pump(500);
            }
            // A Connect while the cycle still reads would collide with an answer on the line.
            if (run > 0 && !WaitUntil([this] { return Settled(); }, 60000)) {
                Say("bench: the adjusting cycle did not settle before Connect\n");
                return false;
            }
            // Connect hides a shown page within the click's tick; its return is what is timed.
            ShowWatch watch(page);
            clone_ = {};
            const std::int64_t clickUs = MonotonicUs();
            QTest::mouseClick(button, Qt::LeftButton);
            const std::int64_t readyUs = watch.Await(400000);
            if (readyUs < 0 || failed_) {
                Say("bench: the adjusting page never appeared\n");
                return false;
            }
            Pump(200);  // the trace is written as the frames pass; let the last lines land

            std::vector<TraceFrame> slice;
            for (const TraceFrame& f : ReadTrace(trace_.toStdString())) {
                if (f.us >= clickUs && f.us <= readyUs) {
                    slice.push_back(f);
                }
            }
            const Floor floor = ExchangeFloor(slice, Rules());
            const double measuredUs = static_cast<double>(readyUs - clickUs);
            const double ratio = measuredUs / floor.totalUs;
            ratios.push_back(ratio);
            runs += Format("%s%.2f s / %.2f s", runs.empty() ? "" : "; ", measuredUs / 1e6,
                           floor.totalUs / 1e6);
            Say("connect %d at %d baud: %.3f s, floor %.3f s (line %.3f s in %d requests and %d "
                "answers, turnaround %.3f s, waits %.3f s in %d), ratio %.4f\n",
                run + 1, o_.baud, measuredUs / 1e6, floor.totalUs / 1e6, floor.wireUs / 1e6,
                floor.requests, floor.answers, floor.turnaroundUs / 1e6, floor.waitUs / 1e6,
                floor.waits, ratio);

            // The clone read: from the first byte of its request on the line to the tick
            // that took the last byte of its end frame.
            std::size_t e2 = slice.size();
            for (std::size_t i = 0; i < slice.size(); ++i) {
                if (slice[i].toTransceiver && slice[i].wire.size() > 4 &&
                    slice[i].wire[4] == 0xE2) {
                    e2 = i;
                    break;
                }
            }
            if (e2 == slice.size() || clone_.endUs < 0) {
                Say("bench: no clone read seen\n");
                return false;
            }
            std::vector<TraceFrame> read{slice[e2]};
            for (std::size_t i = e2 + 1; i < slice.size() && !slice[i].toTransceiver; ++i) {
                read.push_back(slice[i]);
            }
            const Floor line = ExchangeFloor(read, Rules());
            const double readUs = static_cast<double>(clone_.endUs) - StartUs(slice[e2], o_.baud);
            cloneRatios.push_back(readUs / line.totalUs);
            cloneRuns += Format("%s%.2f s / %.2f s", cloneRuns.empty() ? "" : "; ", readUs / 1e6,
                                line.totalUs / 1e6);
            Say("clone read %d: %.3f s for %zu frames, line %.3f s, last byte taken %.2f ms after "
                "it ended, ratio %.4f\n",
                run + 1, readUs / 1e6, read.size() - 1, line.totalUs / 1e6,
                (static_cast<double>(clone_.endUs) - EndUs(read.back(), o_.baud)) / 1000.0,
                readUs / line.totalUs);
            const double cpu = (clone_.cpuEnd - clone_.cpuStart) /
                               (static_cast<double>(clone_.endUs - clone_.startUs) / 1e6) * 100.0;
            worstCpu = std::max(worstCpu, cpu);
        }
        const double worst = *std::max_element(ratios.begin(), ratios.end());
        Row("Connect to adjusting page, " + baudLabel_,
            Format("ratio %.3f (%s)", worst, runs.c_str()), "ratio <= 1.05", worst <= 1.05);
        const double worstClone = *std::max_element(cloneRatios.begin(), cloneRatios.end());
        Row("Clone read alone, " + baudLabel_,
            Format("ratio %.4f (%s)", worstClone, cloneRuns.c_str()), "ratio <= 1.02",
            worstClone <= 1.02);
        Row("CPU during a clone read, " + baudLabel_, Format("%.2f %% of one core", worstCpu),
            "<= 5 %", worstCpu <= 5.0);
        return true;
    }

    bool KeyToLine() {
        if (!WaitUntil([this] { return Settled(); }, 60000)) {
            Say("bench: the first cycle did not settle\n");
            return false;
        }
        const int line = Line("       SQL");
        auto* list = program_->Window().findChild<QListWidget*>("lboConsole");
        if (line < 0 || list == nullptr) {
            Say("bench: no SQL line\n");
            return false;
        }
        list->setFocus();
        program_->Window().Controls().lboConsole->ListIndex(static_cast<Int16>(line));
        Pump(100);
        clsConsole& console = program_->Core().Console();
        const auto item = static_cast<Int16>(line);
        // Room for every step, made beforehand with the other arrow.
        while (console.Max(item) - console.Value(item) < o_.keys &&
               console.Value(item) > console.Min(item)) {
            QTest::keyClick(list, Qt::Key_Left);
            Pump(300);
        }
        if (!WaitUntil([this] { return Settled(); }, 10000)) {
            return false;
        }
        const int sub = console.E8Command(item);
        const int first = console.Value(item);
        std::vector<std::int64_t> pressed;
        for (int k = 0; k < o_.keys; ++k) {
            pressed.push_back(MonotonicUs());
            QTest::keyClick(list, Qt::Key_Right);
            Pump(300);
        }
        Pump(300);
        std::vector<TraceFrame> sent;
        for (const TraceFrame& f : ReadTrace(trace_.toStdString())) {
            if (f.us > pressed.front() && E8Sub(f) == sub) {
                sent.push_back(f);
            }
        }
        if (failed_ || sent.size() != pressed.size()) {
            Say("bench: %zu key presses but %zu frames\n", pressed.size(), sent.size());
            return false;
        }
        std::vector<double> delays;
        for (std::size_t k = 0; k < sent.size(); ++k) {
            if (E8Value(sent[k]) != first + static_cast<int>(k) + 1) {
                Say("bench: frame %zu carries %d, not %d\n", k, E8Value(sent[k]),
                    first + static_cast<int>(k) + 1);
                return false;
            }
            delays.push_back(static_cast<double>(sent[k].us - pressed[k]) / 1000.0);
        }
        const double median = Median(delays);
        const double worst = *std::max_element(delays.begin(), delays.end());
        const double floorMs = WireUs(sent.front().wire.size(), o_.baud) / 1000.0;
        Say("key to line over %zu presses: median %.2f ms, max %.2f ms, min %.2f ms, floor "
            "%.2f ms\n",
            delays.size(), median, worst, *std::min_element(delays.begin(), delays.end()), floorMs);
        Row(Format("Key to line, %s (%d presses)", baudLabel_.c_str(), o_.keys),
            Format("median %.1f ms, max %.1f ms (floor %.1f ms)", median, worst, floorMs),
            "median <= 20 ms, max <= 30 ms", median <= 20.0 && worst <= 30.0);
        return true;
    }

    bool Idle() {
        if (!WaitUntil([this] { return Settled(); }, 10000)) {
            return false;
        }
        const double cpu0 = CpuSeconds();
        const std::int64_t t0 = MonotonicUs();
        Pump(o_.idleSeconds * 1000);
        const double cpu1 = CpuSeconds();
        const std::int64_t t1 = MonotonicUs();
        const bool stillIdle = !failed_ && Settled() && program_->Core().Com().comOpen();
        const double percent = (cpu1 - cpu0) / (static_cast<double>(t1 - t0) / 1e6) * 100.0;
        Say("idle: %.2f s of CPU in %.1f s, port %s\n", cpu1 - cpu0,
            static_cast<double>(t1 - t0) / 1e6, stillIdle ? "open, cycle idle" : "NOT idle");
        Row(Format("CPU connected and idle, %d s", o_.idleSeconds),
            Format("%.2f %% of one core", percent), "<= 1 %", stillIdle && percent <= 1.0);
        return stillIdle;
    }

    void Memory() {
        const double mb = PeakRssMb();
        Row("Peak memory, program session at " + baudLabel_,
            Format("%.1f MB (window, port, bench driver)", mb), "<= 60 MB", mb <= 60.0);
    }

  private:
    struct CloneSpan {
        bool running = false;
        std::int64_t startUs = -1;
        std::int64_t endUs = -1;
        double cpuStart = 0;
        double cpuEnd = 0;
    };

    void AfterTick() {
        const clsCmcVep3Sequence& seq = program_->Core().Sequence();
        // From the first tick after the read request went out to the tick that ended it.
        if (seq.Operation() == clsCmcVep3Sequence::kOpCloneRead && seq.opStep() >= 4) {
            if (!clone_.running && clone_.endUs < 0) {
                clone_.running = true;
                clone_.startUs = MonotonicUs();
                clone_.cpuStart = CpuSeconds();
            }
        } else if (clone_.running) {
            clone_.running = false;
            clone_.endUs = MonotonicUs();
            clone_.cpuEnd = CpuSeconds();
        }
    }

    FloorRules Rules() const {
        FloorRules rules;
        rules.baud = o_.baud;
        rules.turnaroundUs = o_.turnaroundMs * 1000.0;
        const clsConsole& console = program_->Core().Console();
        for (Int16 i = 0; i < console.ListCount(); ++i) {
            if (console.Event_SendE8(i) < 0 && console.E8Command(i) >= 0) {
                rules.waitMsBySub[console.E8Command(i)] = console.WaitAfterE8(i);
            }
        }
        return rules;
    }

    bool Settled() const {
        Program& core = program_->Core();
        const clsConsole& console = core.Console();
        for (Int16 i = 0; i < console.ListCount(); ++i) {
            if (console.flgChanged(i)) {
                return false;
            }
        }
        const Int16 step = core.Operations().stepNo();
        return step >= 10 && step <= 28 && !core.Sequence().OpRunning() &&
               core.Operations().subStepNo() == 0;
    }

    int Line(const std::string& title) const {
        const IListBox& list = *program_->Window().Controls().lboConsole;
        for (Int16 i = 0; i < list.ListCount(); ++i) {
            if (list.List(i).rfind(title, 0) == 0) {
                return i;
            }
        }
        return -1;
    }

    Options o_;
    QString dir_;
    QString trace_;
    QtProcessServices process_;
    std::string baudLabel_;
    QProcess sim_;
    std::unique_ptr<QtProgram> program_;
    std::unique_ptr<TickTap> tap_;
    CloneSpan clone_;
    QTimer boxWatch_;
    bool failed_ = false;
};

}  // namespace
}  // namespace quorvane::bench

int main(int argc, char** argv) {
    using namespace quorvane::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);
    Options options;
    if (!Parse(QCoreApplication::arguments(), options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QTemporaryDir dir;
    // The automatic backups of the connects go there too, never to the user's folder.
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    if (!dir.isValid()) {
        Say("bench: no temporary directory\n");
        return 1;
    }
    Bench bench(options, dir.path());
    bool ok = bench.Start() && bench.Connects();
    if (ok && options.keys > 0) {
        ok = bench.KeyToLine();
    }
    if (ok && options.idleSeconds > 0) {
        ok = bench.Idle();
    }
    if (ok && options.memory) {
        bench.Memory();
    }
    return ok ? 0 : 1;
}
