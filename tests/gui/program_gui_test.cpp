#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/error_report.h"
#include "qt/qt_program.h"
#include "settings/ini_file_store.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"
#include "stand_in_process.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

using test::StandInProcess;

// Runs the event loop until done() holds; the deadline only bounds a failing test.
bool WaitFor(const std::function<bool()>& done, int deadlineMs) {
    const QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

// A full clone read at 9600 baud with the largest frames takes about 70 s.
constexpr int kConnectDeadlineMs = 180000;

class ProgramGui : public ::testing::Test {
  protected:
    ProgramGui() : process(QStringLiteral("quorvane-adj"), QString::fromStdString(dir.File(""))) {}

    ~ProgramGui() override { program.reset(); }

    std::string SettingsFile() const { return dir.File(kSettingsFileName); }

    void MapPort(int n, const QString& device) {
        ASSERT_TRUE(store.WriteProfileString(kPortsSection, "COM" + std::to_string(n),
                                             device.toStdString(), SettingsFile()));
    }

    void Start() {
        program = std::make_unique<QtProgram>(process, dir.path().string(), [this] { ++ends; });
        program->Show();
        program->Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->Window()));
    }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        T* w = program->Window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QListWidget* List() const { return Find<QListWidget>("lboConsole"); }
    clsIndOp_RigTamsk& Ops() const { return program->Core().Operations(); }

    int Line(const std::string& title) const {
        const IListBox& list = *program->Window().Controls().lboConsole;
        for (std::int16_t i = 0; i < list.ListCount(); ++i) {
            if (list.List(i).rfind(title, 0) == 0) {
                return i;
            }
        }
        return -1;
    }

    // Nothing left to send and the adjusting cycle idle.
    bool Settled() const {
        Program& core = program->Core();
        for (Int16 i = 0; i < core.Console().ListCount(); ++i) {
            if (core.Console().flgChanged(i)) {
                return false;
            }
        }
        return core.Operations().RigTamskProp_EditEnabled() && !core.Sequence().OpRunning();
    }

    // The frames of the line whose meaning contains text, among sent (as the trace gives it).
    static int Count(const std::vector<std::string>& sent, const std::string& text) {
        int n = 0;
        for (const auto& f : sent) {
            n += f.find(text) != std::string::npos ? 1 : 0;
        }
        return n;
    }

    test::TempDir dir;
    QtProcessServices process;
    IniFileStore store;
    std::unique_ptr<QtProgram> program;
    int ends = 0;
};

// The technician's session: a wrong radio on COM 2 gives its message; Connect on COM 1 then
// reads the healthy one and every key, F5 and the dump work on the real window.
TEST_F(ProgramGui, ErrorBoxThenConnectAdjustReloadAndDump) {
    StandInProcess healthy(
        QString::fromStdString(dir.File("healthy.trace")),
        {QStringLiteral("--save-image"), QString::fromStdString(dir.File("image.bin"))});
    StandInProcess wrong(QString::fromStdString(dir.File("wrong.trace")),
                         {QStringLiteral("--fault"), QStringLiteral("wrong-model")});
    ASSERT_TRUE(healthy.Started());
    ASSERT_TRUE(wrong.Started());
    MapPort(1, healthy.Device());
    MapPort(2, wrong.Device());
    Start();

    // The wrong model: the box, photographed from its own event loop, then OK.
    Find<QAction>("mnuOptSelCom_2")->trigger();
    QString boxTitle;
    QString boxText;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxTitle = box->windowTitle();
            boxText = box->text();
            boxIcon = box->icon();
            box->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start();
    Find<QAbstractButton>("cmd00_0")->click();
    ASSERT_TRUE(WaitFor([&] { return !boxText.isEmpty(); }, 20000));
    watcher.stop();
    EXPECT_EQ(boxTitle, QStringLiteral("Quorvane ADJ Rev.2.0"));
    EXPECT_EQ(boxIcon, QMessageBox::Critical);
    EXPECT_EQ(boxText, QStringLiteral("Cannot Clone.\n\nCheck the following:\n"
                                      "- The COM port settings.\n"
                                      "- Cloning cable connections.\n"
                                      "- Transceiver power is ON."));
    EXPECT_EQ(Ops().stepNo(), 0);
    EXPECT_TRUE(Find("fra01_0")->isVisible());

    // Connect on COM 1 reads the whole image and fills the list.
    Find<QAction>("mnuOptSelCom_1")->trigger();
    Find<QAbstractButton>("cmd00_0")->click();
    ASSERT_TRUE(WaitFor([&] { return Settled(); }, kConnectDeadlineMs));
    EXPECT_EQ(List()->count(), 18);
    EXPECT_TRUE(Find("fra01_1")->isVisible());
    EXPECT_FALSE(Find("fra01_0")->isVisible());
    QFile imageFile(QString::fromStdString(dir.File("image.bin")));
    ASSERT_TRUE(imageFile.open(QIODevice::ReadOnly));
    const QByteArray image = imageFile.readAll();
    const auto& read = program->Core().Radio().eepImage().data();
    ASSERT_EQ(static_cast<std::size_t>(image.size()), read.size());
    EXPECT_TRUE(std::equal(read.begin(), read.end(),
                           reinterpret_cast<const std::uint8_t*>(image.constData())));
    EXPECT_EQ(program->Window().Controls().lblComBusy->Caption(), "COM 1: OPEN");

    // Right on SQL: one step up, sent at once as sub-command 08.
    const int sql = Line("       SQL");
    ASSERT_GE(sql, 0);
    // The closed error box may have left the window inactive.
    program->Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&program->Window()));
    List()->setFocus();
    List()->setCurrentRow(sql);
    ASSERT_TRUE(WaitFor([&] { return List()->hasFocus(); }, 5000));
    clsConsole& console = program->Core().Console();
    const int before = console.Value(static_cast<Int16>(sql));
    ASSERT_LE(before, 250);
    std::size_t seen = healthy.SentFrames().size();
    QTest::keyClick(List(), Qt::Key_Right);
    EXPECT_EQ(console.Value(static_cast<Int16>(sql)), before + 1);
    char expected[40];
    std::snprintf(expected, sizeof expected, "E8 sub 08 value 0x%02X (SQL)", before + 1);
    EXPECT_TRUE(WaitFor([&] { return Count(healthy.SentFrames(seen), expected) == 1; }, 5000))
        << expected;
    EXPECT_EQ(List()->currentRow(), sql);  // the key did not move the selection

    // Shift+Right: five steps.
    ASSERT_TRUE(WaitFor([&] { return Settled(); }, 5000));
    seen = healthy.SentFrames().size();
    QTest::keyClick(List(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(console.Value(static_cast<Int16>(sql)), before + 6);
    std::snprintf(expected, sizeof expected, "E8 sub 08 value 0x%02X (SQL)", before + 6);
    EXPECT_TRUE(WaitFor([&] { return Count(healthy.SentFrames(seen), expected) == 1; }, 5000))
        << expected;

    // F5 with the list focused: every readout again, and the list keeps its selection.
    ASSERT_TRUE(WaitFor([&] { return Settled(); }, 5000));
    seen = healthy.SentFrames().size();
    QTest::keyClick(List(), Qt::Key_F5);
    EXPECT_TRUE(
        WaitFor([&] { return Count(healthy.SentFrames(seen), "readout selector") >= 14; }, 10000));
    EXPECT_EQ(List()->currentRow(), sql);
    EXPECT_NE(program->Window().Controls().lbo01[1]->List(1), "----");

    // "Disp para" shows the dump with the new SQL level; a second press returns.
    ASSERT_TRUE(WaitFor([&] { return Settled(); }, 10000));
    Find<QAbstractButton>("cmd00_2")->click();
    auto* dump = Find<QPlainTextEdit>("txtDispPara");
    ASSERT_TRUE(WaitFor([&] { return Find("fra01_3")->isVisible(); }, 5000));
    EXPECT_FALSE(Find("fra01_1")->isVisible());
    EXPECT_TRUE(dump->toPlainText().contains(
        QStringLiteral("SQL Level:  %1").arg(before + 6, 3, 10, QLatin1Char(' '))))
        << dump->toPlainText().toStdString();
    EXPECT_FALSE(Find<QAbstractButton>("cmd00_0")->isEnabled());
    Find<QAbstractButton>("cmd00_2")->click();
    EXPECT_TRUE(WaitFor([&] { return Find("fra01_1")->isVisible(); }, 5000));
    EXPECT_FALSE(Find("fra01_3")->isVisible());
}

TEST_F(ProgramGui, ChoosingCom3MovesTheCheckMarkAndTheStatusLabel) {
    Start();
    auto* com1 = Find<QAction>("mnuOptSelCom_1");
    auto* com3 = Find<QAction>("mnuOptSelCom_3");
    ASSERT_TRUE(WaitFor([&] { return com1->isChecked(); }, 5000));
    com3->trigger();
    EXPECT_TRUE(WaitFor(
        [&] {
            return com3->isChecked() && !com1->isChecked() &&
                   Find<QLabel>("lblComBusy")->text() == QStringLiteral("COM 3: CLOSE");
        },
        5000));
    EXPECT_EQ(program->Core().Sequence().ComPortNo(), 3);
    EXPECT_EQ(program->PortDevice(3), "/dev/ttyS2");
}

TEST_F(ProgramGui, OptionsWrittenOnExitAreReadOnTheNextStart) {
    MapPort(1, QStringLiteral("/dev/ttyUSB0"));
    Start();
    Find<QAction>("mnuOptSelCom_4")->trigger();
    Find<QAction>("mnuOptionSelAutoRelease_3")->trigger();
    Find<QAction>("mnuFileExit")->trigger();
    EXPECT_TRUE(WaitFor([&] { return ends == 1; }, 5000));
    EXPECT_FALSE(program->Window().isVisible());
    EXPECT_FALSE(program->Core().Com().timSolidEnabled());
    EXPECT_FALSE(program->Ticks().Enabled());
    program.reset();

    EXPECT_EQ(store.GetProfileString("OPTION", "ComPort", "", 255, SettingsFile()), "4");
    EXPECT_EQ(store.GetProfileString("OPTION", "ComAutoRelease", "", 255, SettingsFile()), "3");
    EXPECT_EQ(store.GetProfileString("PORTS", "COM1", "", 255, SettingsFile()), "/dev/ttyUSB0");

    Start();
    EXPECT_EQ(program->Core().MainWindow().ComPortNo(), 4);
    EXPECT_EQ(program->Core().Sequence().comHoldReload(), 3000);
    EXPECT_TRUE(WaitFor(
        [&] {
            return Find<QAction>("mnuOptSelCom_4")->isChecked() &&
                   Find<QAction>("mnuOptionSelAutoRelease_3")->isChecked() &&
                   !Find<QAction>("mnuOptionSelAutoRelease_0")->isChecked();
        },
        5000));
}

TEST_F(ProgramGui, ASecondInstanceIsRefusedAndTouchesNoFile) {
    ASSERT_TRUE(process.ClaimSingleInstance());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVANE_TEST_SECOND_INSTANCE"),
               QString::fromStdString(dir.path().string()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 1);
    EXPECT_EQ(child.readAllStandardOutput().toStdString(),
              std::string("Quorvane ADJ Rev.2.0|") + kAlreadyRunningMessage);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("settings"))));
}

// The arrival of data runs a tick at once; while a modal box is open (here one opened by a
// window event, outside any tick) no tick runs, and the data waits in the port.
TEST_F(ProgramGui, ArrivalsTickAtOnceButNoTickRunsUnderAModalBox) {
    StandInProcess healthy(QString::fromStdString(dir.File("healthy.trace")));
    ASSERT_TRUE(healthy.Started());
    MapPort(1, healthy.Device());
    Start();
    const clsCmcVep3Drv& driver = program->Core().Driver();
    Find<QAbstractButton>("cmd00_0")->click();
    ASSERT_TRUE(WaitFor([&] { return driver.lastEeAdr() > 1000; }, 30000));

    // Without the 50 ms timer the read still moves: every arrival ticks.
    program->Ticks().Enabled(false);
    const Int32 atStop = driver.lastEeAdr();
    EXPECT_TRUE(WaitFor([&] { return driver.lastEeAdr() > atStop + 1000; }, 10000));
    program->Ticks().Enabled(true);

    Int32 atOpen = -1;
    Int32 atClose = -1;
    std::int32_t waiting = 0;
    QElapsedTimer opened;
    QTimer inside;
    inside.setInterval(20);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        if (atOpen < 0) {
            atOpen = driver.lastEeAdr();
            opened.start();
        }
        // Held open well past the time two frames need to arrive (or, should ticks drain
        // the port meanwhile, for three seconds).
        waiting = program->Serial().InBufferCount();
        if (waiting > 600 || opened.hasExpired(3000)) {
            atClose = driver.lastEeAdr();
            inside.stop();
            box->button(QMessageBox::Ok)->click();
        }
    });
    inside.start();
    QTimer::singleShot(0, &program->Window(), [&] {
        program->Window().Controls().messageBox->ShowCritical("held", "Quorvane ADJ Rev.2.0");
    });
    ASSERT_TRUE(WaitFor([&] { return atClose >= 0 && !QApplication::activeModalWidget(); }, 20000));
    EXPECT_EQ(atClose, atOpen);
    EXPECT_GT(waiting, 600);
    // Closed, the next tick takes the waiting data and the read goes on.
    EXPECT_TRUE(WaitFor([&] { return driver.lastEeAdr() > atClose + 500; }, 10000));
}

}  // namespace
}  // namespace quorvane
