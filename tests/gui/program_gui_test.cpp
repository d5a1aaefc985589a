// The whole program on its real window and serial port against the tamskor-sim command on a
// pseudo-terminal. The stand-in serves a short clone area, so a Connect takes about a second;
// with QUORVANE_SOAK set it serves the whole image, for the long soak (scripts/soak).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "qt/qt_curves_window.h"
#include "qt/qt_port_dialog.h"
#include "qt/qt_program.h"
#include "support/file_text.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

// Runs the event loop until done() holds; the deadline only bounds a failing test.
bool WaitFor(const std::function<bool()>& done, int deadlineMs = 10000) {
    const QDeadlineTimer deadline(deadlineMs);
    while (!done() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    return done();
}

// A fixed list of ports; a path is present when the list names it.
struct FixedPorts final : IPortEnumeration {
    std::vector<SerialPortEntry> ports;
    std::vector<SerialPortEntry> Ports(bool) override { return ports; }
    PortAccess Access(const std::string& path) override {
        for (const SerialPortEntry& p : ports) {
            if (path == p.device || path == p.byId || path == p.byPath) {
                return p.access;
            }
        }
        return PortAccess::Missing;
    }
};

class ProgramGui : public ::testing::Test {
  protected:
    ~ProgramGui() override { program.reset(); }

    void Start(const std::string& settings) {
        test::WriteFile(dir.File("QUORVAADJ.rs"), settings);
        program = std::make_unique<QtProgram>(
            process, dir.path().string(), [this] { ++ends; }, &fixedPorts);
        program->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->Window()));
    }
    std::unique_ptr<test::SimProcess> Sim(std::vector<std::string> args) {
        args.insert(args.end(), {"--link", link, "--bytes-per-frame", "122", "--trace", trace});
        return std::make_unique<test::SimProcess>(TAMSKOR_SIM_EXE, args);
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return program->Window().findChild<T*>(QString::fromLatin1(name));
    }
    bool Checked(const char* name) const { return Find<QAction>(name)->isChecked(); }
    // Connected and no operation running.
    bool Settled() {
        return program->Core().Operations().RigTamskProp_EditEnabled() &&
               !program->Core().Sequence().OpRunning();
    }
    // A frame the program sent once, as the stand-in's trace describes it.
    bool SentOnce(const std::string& text) const {
        const std::string all = test::ReadFile(trace);
        const std::size_t at = all.find(text);
        return at != std::string::npos && all.find(text, at + 1) == std::string::npos;
    }

    test::TempDir dir;
    std::string link = dir.File("radio");
    std::string trace = dir.File("trace");
    QtProcessServices process;
    FixedPorts fixedPorts;
    std::unique_ptr<QtProgram> program;
    int ends = 0;
};

TEST_F(ProgramGui, AVanishingDeviceGivesTheBoxThenConnectAndKeysReachTheWire) {
    Start("[PORTS]\nCOM1=" + link + "\n");
    QString box;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = shown->windowTitle() + "|" + QString::number(shown->icon()) + "|" +
                  QString::number(shown->standardButtons()) + "|" +
                  QString::number(shown->textFormat()) + "|" + shown->text();
            shown->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start(20);
    {
        const auto hangingUp = Sim({"--clone-end", "017F", "--fault", "hang-up:3"});
        Find<QAbstractButton>("cmd00_0")->click();
        ASSERT_TRUE(WaitFor([&] { return !box.isEmpty() && hangingUp->Ended(); }));
    }
    EXPECT_EQ(box,
              "Quorvane ADJ Rev.2.0|3|1024|0|Cannot access COM 1.\n\nCheck the following:\n"
              "- The COM port settings.\n- Cloning cable connections.\n"
              "- Transceiver power is ON.");

    // Back under the same name. Without the 50 ms timer the read still goes on: every
    // arrival of bytes runs a tick.
    const bool soak = qEnvironmentVariableIsSet("QUORVANE_SOAK");
    const auto healthy = Sim({"--clone-end", soak ? "7FDF" : "017F"});
    ASSERT_TRUE(healthy->Ok());
    program->Ticks().Enabled(false);
    Find<QAbstractButton>("cmd00_0")->click();
    EXPECT_TRUE(WaitFor([&] { return program->Core().Driver().lastEeAdr() >= 0x100; }));
    program->Ticks().Enabled(true);
    ASSERT_TRUE(WaitFor([&] { return Settled(); }, soak ? 150000 : 10000));
    EXPECT_EQ(Find<QLabel>("lblComBusy")->text(), "COM 1: OPEN");

    int sql = program->Core().Console().Value(8);
    ASSERT_LE(sql, 240);
    for (const auto& [modifiers, step] : {std::pair{Qt::NoModifier, 1}, {Qt::ShiftModifier, 5}}) {
        char frame[40];
        std::snprintf(frame, sizeof frame, "E8 sub 08 value 0x%02X (SQL)", sql += step);
        auto* list = Find<QListWidget>("lboConsole");
        list->setFocus();
        list->setCurrentRow(8);  // "       SQL"
        QTest::keyClick(list, Qt::Key_Right, modifiers);
        EXPECT_TRUE(WaitFor([&] { return SentOnce(frame) && Settled(); })) << frame;
    }

    // View > Sweep and LVA curves follows the ticks: a sweep started on BPF T1 shows at once
    // and grows.
    Find<QAction>("mnuViewCurves")->trigger();
    auto* curves = static_cast<QtCurvesWindow*>(Find("curvesWindow"));
    ASSERT_NE(curves, nullptr);
    EXPECT_TRUE(curves->isVisible());
    EXPECT_EQ(curves->List()->count(), 0);
    auto* list = Find<QListWidget>("lboConsole");
    list->setFocus();
    list->setCurrentRow(11);  // "    BPF T1"
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] {
        const SpecialOpOutcome* shown = curves->View()->Shown();
        return curves->List()->count() == 1 &&
               curves->List()->item(0)->text() == "BPF T1 sweep, under way" && shown != nullptr &&
               shown->points.size() >= 10;
    }));
}

TEST_F(ProgramGui, TheMenusShowTheStoredAndChosenOptionsAndExitWritesThem) {
    Start("[OPTION]\nComPort=3\nComAutoRelease=2\n[PORTS]\nCOM1=/dev/ttyUSB0\n");
    Find<QAction>("mnuOptSelCom_4")->trigger();
    EXPECT_TRUE(WaitFor([&] {
        return Checked("mnuOptSelCom_4") && !Checked("mnuOptSelCom_3") &&
               Checked("mnuOptionSelAutoRelease_2") && !Checked("mnuOptionSelAutoRelease_0") &&
               Find<QLabel>("lblComBusy")->text() == "COM 4: CLOSE";
    }));
    Find<QAction>("mnuFileExit")->trigger();
    EXPECT_TRUE(WaitFor([&] { return ends == 1 && !program->Window().isVisible(); }));
    EXPECT_EQ(test::ReadFile(dir.File("QUORVAADJ.rs")),
              "[OPTION]\nComPort=4\nComAutoRelease=2\n[PORTS]\nCOM1=/dev/ttyUSB0\n");
}

TEST_F(ProgramGui, ThePortMenuShowsDevicesAndTheDevicePickedInTheDialogIsWhereConnectGoes) {
    const auto sim = Sim({"--clone-end", "017F"});
    ASSERT_TRUE(sim->Ok());
    // The stand-in's line with a persistent name, and a pair of identical adapters.
    const std::string byPath = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:";
    auto twin = [&](const char* device, const char* socket) {
        return SerialPortEntry{device,    "USB Serial",     "QinHeng", "",
                               0x1a86,    0x7523,           "",        byPath + socket,
                               "dialout", PortAccess::Busy, ""};
    };
    fixedPorts.ports = {
        {sim->Device(), "Cloning cable", "Tamskor", "T1", 0x0403, 0x6001, link, "", "dialout",
         PortAccess::Usable, ""},
        twin("/dev/ttyUSB1", "1:1.0-port0"),
        twin("/dev/ttyUSB2", "2:1.0-port0"),
    };
    Start("[OPTION]\nComPort=2\n[PORTS]\nCOM1=/dev/ttyUSB2\nCOM2=/dev/ttyUSB9\n");
    emit Find<QMenu>("mnuOptionComPort")->aboutToShow();
    EXPECT_EQ(Find<QAction>("mnuOptSelCom_2")->text(), "COM &2");
    EXPECT_EQ(program->Window().PortDeviceText(1), "/dev/ttyUSB2");
    EXPECT_EQ(program->Window().PortDeviceText(2), "/dev/ttyUSB9 (missing)");

    std::vector<std::string> mapNames;
    QString busyRow;
    program->onPortDialog([&](QDialog& shown) {
        QTimer::singleShot(0, [&] {
            auto& dialog = static_cast<QtPortDialog&>(shown);
            for (const PortRow& row : dialog.Rows()) {
                mapNames.push_back(row.mapName);
            }
            auto* list = dialog.findChild<QTreeWidget*>("ports");
            busyRow = list->topLevelItem(2)->text(0) + " " + list->topLevelItem(2)->text(5);
            list->setCurrentItem(list->topLevelItem(0));
            dialog.accept();
        });
    });
    program->Window().SerialDeviceItem()->trigger();
    EXPECT_EQ(mapNames,
              (std::vector<std::string>{link, byPath + "1:1.0-port0", byPath + "2:1.0-port0"}));
    EXPECT_EQ(busyRow.toStdString(), "/dev/ttyUSB2 no: busy");
    EXPECT_EQ(test::ReadFile(dir.File("QUORVAADJ.rs")),
              "[OPTION]\nComPort=2\n[PORTS]\nCOM1=/dev/ttyUSB2\nCOM2=" + link + "\n");
    EXPECT_EQ(program->Window().PortDeviceText(2), QString::fromStdString(link));

    Find<QAbstractButton>("cmd00_0")->click();
    ASSERT_TRUE(WaitFor([&] { return Settled(); }));
    EXPECT_EQ(Find<QLabel>("lblComBusy")->text(), "COM 2: OPEN");
}

TEST_F(ProgramGui, SaveWriteWithYesThenOpenThroughTheFileMenu) {
    Start("[PORTS]\nCOM1=" + link + "\n");
    const auto radio = Sim({"--clone-end", "017F"});
    Find<QAbstractButton>("cmd00_0")->click();
    ASSERT_TRUE(WaitFor([&] { return Settled() && Find<QAction>("mnuFileWrite")->isEnabled(); }));
    // Every modal window is answered: a file dialog with the file, a box with Yes or OK.
    const QString file = QString::fromStdString(dir.File("radio.qvimg"));
    QStringList boxes;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // A focused name field would keep its text: the name goes in unfocused.
            if (QWidget* focused = dialog->focusWidget()) {
                focused->clearFocus();
            }
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            boxes << (yes != nullptr && box->defaultButton() == box->button(QMessageBox::No)
                          ? "default No"
                          : box->text());
            (yes != nullptr ? yes : box->button(QMessageBox::Ok))->click();
        }
    });
    answerer.start(20);
    Find<QAction>("mnuFileSave")->trigger();
    Find<QAction>("mnuFileWrite")->trigger();
    EXPECT_TRUE(WaitFor([&] { return boxes.size() == 2 && Settled(); }));
    EXPECT_EQ(boxes.join("|"), "default No|The EEPROM image was written and read back unchanged.");

    // Another port ends the session; the file then opens without a transceiver.
    Find<QAction>("mnuOptSelCom_2")->trigger();
    Find<QAction>("mnuOptSelCom_1")->trigger();
    ASSERT_TRUE(WaitFor([&] { return Find<QAction>("mnuFileOpen")->isEnabled(); }));
    Find<QAction>("mnuFileOpen")->trigger();
    EXPECT_TRUE(WaitFor([&] { return Find<QLabel>("lblImageFile")->isVisible(); }));
    EXPECT_TRUE(Find<QLabel>("lblImageFile")->text().startsWith("radio.qvimg  model 8537"));
}

}  // namespace
}  // namespace quorvane
