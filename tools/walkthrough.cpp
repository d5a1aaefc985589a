#include "walkthrough.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdarg>
#include <string>

namespace quorvane {
namespace {

// Lets the event loop run for ms: ticks, serial data and painting all go on meanwhile.
void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int ProgressMarks(const std::string& caption) {
    int n = 0;
    for (char c : caption) {
        n += c == 'o' ? 1 : 0;
    }
    return n;
}

}  // namespace

Walkthrough::Walkthrough(QtProgram& program, QString outputDirectory, std::FILE* log)
    : program_(program), out_(std::move(outputDirectory)), log_(log) {}

bool Walkthrough::Run(int errorPort) {
    QDir().mkpath(out_);
    clock_.start();
    // An image file opens only without a transceiver: after the error box, whose reset ends
    // the session.
    const bool done = Title() && ConnectAndRead() && ChangeValue() && Sweep() && Lva() &&
                      ParameterDump() && FileMenuAndSave() && SaveRecord() &&
                      (errorPort == 0 || (ErrorBox(errorPort) && OpenImage()));
    if (done) {
        Exit();
        Say("Done: %d screenshots in %s\n", shots_, qPrintable(QDir(out_).absolutePath()));
    }
    return done;
}

bool Walkthrough::Title() {
    program_.Show();
    if (!WaitUntil(
            [this] {
                QWindow* handle = program_.Window().windowHandle();
                return handle != nullptr && handle->isExposed();
            },
            10000, "the window to appear")) {
        return false;
    }
    program_.Window().activateWindow();
    Pump(500);
    Shot("01-title.png", "the title page before Connect");
    return true;
}

bool Walkthrough::ConnectAndRead() {
    const frmMainControls& c = program_.Window().Controls();
    Say("Connect: identifying the transceiver, then reading its 32736-byte EEPROM at 9600 "
        "baud. The read takes about 75 s of real time; the dots under the title fill up.\n");
    Click("cmd00_0");
    int reported = 0;
    if (!WaitUntil(
            [&] {
                const int marks = ProgressMarks(c.lblProgress->Caption());
                if (marks >= reported + 8 && program_.Core().Operations().stepNo() == 2) {
                    reported = marks - marks % 8;
                    Say("  read %d %%\n", marks * 100 / 32);
                }
                return marks >= 12;
            },
            60000, "the clone read to start")) {
        return false;
    }
    Shot("02-clone-read.png", "the clone read under way");
    auto readoutsFilled = [&c] {
        for (IListBox* list : c.lbo01) {
            for (std::int16_t i = 1; i < list->ListCount(); ++i) {
                if (list->List(i) == "----") {
                    return false;
                }
            }
        }
        return true;
    };
    if (!WaitUntil(
            [&] {
                const int marks = ProgressMarks(c.lblProgress->Caption());
                if (marks >= reported + 8 && program_.Core().Operations().stepNo() == 2) {
                    reported = marks - marks % 8;
                    Say("  read %d %%\n", marks * 100 / 32);
                }
                return program_.Core().Operations().RigTamskProp_EditEnabled() &&
                       readoutsFilled() && Settled();
            },
            240000, "the read, the first readouts and the sending of every value")) {
        return false;
    }
    Pump(300);
    Shot("03-adjusting.png", "the adjusting page: eighteen items and the converter readouts");
    return true;
}

bool Walkthrough::ChangeValue() {
    const int line = Line("       SQL");
    if (line < 0) {
        Say("walkthrough: no SQL line in the list\n");
        return false;
    }
    Select(line);
    const Int16 before = program_.Core().Console().Value(static_cast<Int16>(line));
    Say("Value change: SQL, Right arrow three times (each step goes to the transceiver at "
        "once as an E8 command).\n");
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Right);
        Pump(150);
    }
    if (!WaitUntil([this] { return Settled(); }, 10000, "the SQL value to be sent")) {
        return false;
    }
    Say("  SQL %d -> %d\n", before, program_.Core().Console().Value(static_cast<Int16>(line)));
    Pump(200);
    Shot("04-value-change.png", "SQL raised by three steps");
    return true;
}

bool Walkthrough::Sweep() {
    clsIndOp_RigTamsk& ops = program_.Core().Operations();
    const int line = Line("    BPF T1");
    if (line < 0) {
        Say("walkthrough: no BPF T1 line in the list\n");
        return false;
    }
    Say("View > Sweep and LVA curves: the window of curves, beside the main window.\n");
    Trigger("mnuViewCurves");
    auto* curves = program_.Window().findChild<QWidget*>(QStringLiteral("curvesWindow"));
    if (curves == nullptr ||
        !WaitUntil([curves] { return curves->isVisible(); }, 5000, "the window of curves")) {
        return false;
    }
    program_.Window().activateWindow();
    Select(line);
    Say("BPF T1 sweep: Enter on the line steps the filter through 0..255 while reading the "
        "detector, and keeps the middle of the peak; its curve grows in the window of curves.\n");
    Key(Qt::Key_Return);
    clsConsole& console = program_.Core().Console();
    const auto item = static_cast<Int16>(line);
    if (!WaitUntil([&] { return ops.subStepNo() == 15 && console.Value(item) >= 120; }, 120000,
                   "the sweep to pass half way")) {
        return false;
    }
    Shot("05-bpf-sweep.png", "the BPF T1 sweep half way");
    ShotOf(*curves, "12-curves-sweep.png", "the sweep's curve half way");
    if (!WaitUntil([&] { return ops.subStepNo() == 0 && Settled(); }, 240000, "the sweep to end")) {
        return false;
    }
    Say("  BPF T1 kept at %d\n", console.Value(item));
    Pump(300);
    Shot("06-bpf-sweep-done.png", "the sweep ended on the middle of the peak");
    return true;
}

bool Walkthrough::Lva() {
    clsIndOp_RigTamsk& ops = program_.Core().Operations();
    const int line = Line("    RX LVA");
    if (line < 0) {
        Say("walkthrough: no RX LVA line in the list\n");
        return false;
    }
    Select(line);
    Say("RX LVA: Enter finds by bisection the value whose LVIN reading meets the LV(RX LVA) "
        "target.\n");
    Key(Qt::Key_Return);
    if (!WaitUntil([&] { return ops.subStepNo() != 0; }, 10000, "the LVA adjustment to start") ||
        !WaitUntil([&] { return ops.subStepNo() == 0 && Settled(); }, 120000,
                   "the LVA adjustment to end")) {
        return false;
    }
    Say("  %s\n", program_.Window().Controls().lboConsole->List(static_cast<Int16>(line)).c_str());
    Pump(300);
    return true;
}

bool Walkthrough::ParameterDump() {
    clsIndOp_RigTamsk& ops = program_.Core().Operations();
    const frmMainControls& c = program_.Window().Controls();
    Say("Disp para: the dump of every stored adjustment parameter.\n");
    Click("cmd00_2");
    if (!WaitUntil([&] { return ops.RigTamskProp_DispPara() && !c.txtDispPara->Text().empty(); },
                   10000, "the parameter dump")) {
        return false;
    }
    Pump(300);
    Shot("07-parameter-dump.png", "the parameter dump");
    Click("cmd00_2");
    return WaitUntil([&] { return ops.RigTamskProp_EditEnabled(); }, 10000,
                     "the return to the adjusting page");
}

bool Walkthrough::FileMenuAndSave() {
    QtMainWindow& window = program_.Window();
    auto* menu = window.findChild<QMenu*>(QStringLiteral("mnuFileTop"));
    Say("File menu: save the image as it is now, open an image file, write one to the "
        "transceiver, save the session's service record.\n");
    window.menuBar()->setActiveAction(menu->menuAction());
    if (!WaitUntil([menu] { return menu->isVisible(); }, 5000, "the File menu")) {
        return false;
    }
    Pump(300);
    ShotWithBox(menu, "10-file-menu.png", "the File menu while connected");
    menu->hide();
    savedImage_ = QDir(files_.path()).filePath(QStringLiteral("bench-radio.qvimg"));
    Say("Save EEPROM image: the image with the new SQL and BPF T1 values.\n");
    TriggerWithFile("mnuFileSave", savedImage_);
    return WaitUntil([this] { return QFileInfo::exists(savedImage_); }, 5000, "the saved image");
}

bool Walkthrough::SaveRecord() {
    const QString record = QDir(out_).filePath(QStringLiteral("service-record.txt"));
    const QString page = QDir(out_).filePath(QStringLiteral("service-record.html"));
    for (const char* extension : {".txt", ".csv", ".html"}) {
        QFile::remove(QDir(out_).filePath(QStringLiteral("service-record") + extension));
    }
    Say("Save service record: the session as text, table and a page to print, its curves "
        "drawn.\n");
    TriggerWithFile("mnuFileRecord", record);
    if (!WaitUntil([&] { return QFileInfo::exists(page); }, 5000, "the service record")) {
        return false;
    }
    Say("  saved %s\n", qPrintable(page));
    return true;
}

bool Walkthrough::OpenImage() {
    const frmMainControls& c = program_.Window().Controls();
    Say("Open EEPROM image: the saved file's parameters, with no transceiver connected.\n");
    TriggerWithFile("mnuFileOpen", savedImage_);
    if (!WaitUntil([&] { return c.fra01[3]->Visible() && c.lblImageFile->Visible(); }, 10000,
                   "the opened image's dump")) {
        return false;
    }
    Say("  %s\n", c.lblImageFile->Caption().c_str());
    Pump(300);
    Shot("11-opened-image.png", "an image file's parameter dump");
    return true;
}

bool Walkthrough::ErrorBox(int errorPort) {
    frmMain& main = program_.Core().MainWindow();
    const Int16 ownPort = main.ComPortNo();
    const std::string status = "COM " + std::to_string(errorPort) + ": CLOSE";
    Say("Error box: COM %d in the Option menu, then Connect.\n", errorPort);
    Trigger(("mnuOptSelCom_" + std::to_string(errorPort)).c_str());
    if (!WaitUntil([&] { return program_.Window().Controls().lblComBusy->Caption() == status; },
                   5000, "the port change")) {
        return false;
    }
    // The box is modal and opens inside a tick, so it is photographed and closed from a
    // timer of its own event loop.
    bool shot = false;
    int seen = 0;
    QTimer watcher;
    watcher.setInterval(100);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || ++seen < 5) {
            return;
        }
        watcher.stop();
        Say("  the box says: %s\n", qPrintable(box->text().replace('\n', QStringLiteral(" / "))));
        ShotWithBox(box, "08-error-box.png", "the error box");
        shot = true;
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start();
    Click("cmd00_0");
    if (!WaitUntil([&] { return shot && QApplication::activeModalWidget() == nullptr; }, 120000,
                   "the error box")) {
        return false;
    }
    Trigger(("mnuOptSelCom_" + std::to_string(ownPort)).c_str());
    return WaitUntil([&] { return main.ComPortNo() == ownPort; }, 5000, "the port change back");
}

void Walkthrough::Exit() {
    Trigger("mnuFileExit");
    WaitUntil([this] { return !program_.Window().isVisible(); }, 5000, "the window to close");
}

bool Walkthrough::WaitUntil(const std::function<bool()>& done, int timeoutMs, const char* what) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            Say("walkthrough: gave up waiting for %s after %d s\n", what, timeoutMs / 1000);
            return false;
        }
        Pump(20);
    }
    return true;
}

void Walkthrough::Shot(const char* file, const char* what) {
    Save(program_.Window().grab(), file, what);
}

void Walkthrough::ShotOf(QWidget& widget, const char* file, const char* what) {
    Save(widget.grab(), file, what);
}

void Walkthrough::ShotWithBox(QWidget* box, const char* file, const char* what) {
    QtMainWindow& window = program_.Window();
    QPixmap shot = window.grab();
    const QPixmap boxShot = box->grab();
    QPoint at = window.mapFromGlobal(box->mapToGlobal(QPoint(0, 0)));
    // Without a window manager the box may sit anywhere; it belongs over the window.
    if (!window.rect().contains(QRect(at, boxShot.size()))) {
        at = QPoint((shot.width() - boxShot.width()) / 2, (shot.height() - boxShot.height()) / 2);
    }
    QPainter painter(&shot);
    painter.drawPixmap(at, boxShot);
    painter.setPen(window.palette().color(QPalette::Shadow));
    painter.drawRect(QRect(at, boxShot.size()).adjusted(-1, -1, 0, 0));
    painter.end();
    Save(shot, file, what);
}

void Walkthrough::Save(const QPixmap& shot, const char* file, const char* what) {
    const QString path = QDir(out_).filePath(QString::fromLatin1(file));
    if (shot.save(path)) {
        ++shots_;
        Say("  %3lld s  saved %s (%s)\n", clock_.elapsed() / 1000, qPrintable(path), what);
    } else {
        Say("walkthrough: cannot save %s\n", qPrintable(path));
    }
}

void Walkthrough::Say(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vfprintf(log_, format, args);
    va_end(args);
    std::fflush(log_);
}

void Walkthrough::Click(const char* name) {
    auto* button = program_.Window().findChild<QPushButton*>(QString::fromLatin1(name));
    if (button != nullptr) {
        button->click();
    }
}

void Walkthrough::Trigger(const char* name) {
    auto* action = program_.Window().findChild<QAction*>(QString::fromLatin1(name));
    if (action != nullptr) {
        action->trigger();
    }
}

void Walkthrough::TriggerWithFile(const char* name, const QString& path) {
    // The dialog is modal: it is answered from a timer of its own event loop, as soon as it
    // is there (building it may take a while on a busy machine).
    auto* answer = new QTimer(&program_.Window());
    QObject::connect(answer, &QTimer::timeout, [answer, path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            answer->stop();
            answer->deleteLater();
            // A focused name field would keep its text: the name goes in unfocused.
            if (QWidget* focused = dialog->focusWidget()) {
                focused->clearFocus();
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
        }
    });
    answer->start(100);
    Trigger(name);
}

void Walkthrough::Key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = program_.Window().focusWidget();
    if (target == nullptr) {
        target = &program_.Window();
    }
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r") : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

int Walkthrough::Line(const std::string& title) const {
    const IListBox& list = *program_.Window().Controls().lboConsole;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        if (list.List(i).rfind(title, 0) == 0) {
            return i;
        }
    }
    return -1;
}

void Walkthrough::Select(int line) {
    const frmMainControls& c = program_.Window().Controls();
    static_cast<QtListBox*>(c.lboConsole)->widget()->setFocus();
    c.lboConsole->ListIndex(static_cast<std::int16_t>(line));
    Pump(100);
}

bool Walkthrough::Settled() const {
    Program& core = program_.Core();
    const clsConsole& console = core.Console();
    for (Int16 i = 0; i < console.ListCount(); ++i) {
        if (console.flgChanged(i)) {
            return false;
        }
    }
    const Int16 step = core.Operations().stepNo();
    return step >= 10 && step <= 28 && !core.Sequence().OpRunning();
}

}  // namespace quorvane
