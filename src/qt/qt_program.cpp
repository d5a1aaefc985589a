#include "qt/qt_program.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStandardPaths>

#include "qt/qt_guard.h"
#include "qt/qt_message_box.h"
#include "qt/qt_port_dialog.h"
#include "qt/qt_port_enumeration.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "settings/port_map.h"

namespace quorvane {

QtProgram::QtProgram(IProcessServices& process, std::string settingsDirectory,
                     std::function<void()> onEnd, IPortEnumeration* ports)
    : window_(std::make_unique<QtMainWindow>()),
      serial_(std::make_unique<QtSerialControl>(
          [this](std::int16_t portNo) { return PortDevice(portNo); })) {
    program_ = std::make_unique<Program>(Platform{
        *serial_, clock_, store_, process, window_->Controls(), std::move(settingsDirectory),
        FromQString(UserDataFolder()), &wallClock_, nullptr, &curveChart_});
    frmCom& com = program_->Com();
    ticks_ = std::make_unique<QtTickSource>(
        [this] {
            program_->Tick();
            RefreshCurves();
        },
        static_cast<int>(frmCom::kTickPeriodMs));
    com.timSolidEnabledListener([this](bool on) { ticks_->Enabled(on); });
    com.receiveTickRunner([this] { ticks_->RunNow(); });
    ticks_->Enabled(com.timSolidEnabled());

    frmMain& main = program_->MainWindow();
    main.onEndProgram(std::move(onEnd));
    main.onTickRequest([this] { ticks_->RunSoon(); });
    program_->Operations().wakeRequest([this](Int32 ms) { ticks_->RunAfter(ms); });
    window_->Events(&main);

    if (ports == nullptr) {
        ownPorts_ = std::make_unique<QtPortEnumeration>([this] { return serial_->OpenDevice(); });
        ports = ownPorts_.get();
    }
    ports_ = ports;
    QObject::connect(window_->PortMenu(), &QMenu::aboutToShow, window_.get(),
                     [this] { RunGuarded(window_.get(), [this] { ShowPortDevices(); }); });
    QObject::connect(window_->SerialDeviceItem(), &QAction::triggered, window_.get(),
                     [this] { RunGuarded(window_.get(), [this] { ChooseSerialDevice(); }); });
    QObject::connect(window_->CurvesItem(), &QAction::triggered, window_.get(),
                     [this] { RunGuarded(window_.get(), [this] { ShowCurves(); }); });
}

QtProgram::~QtProgram() {
    // Nothing may call into the program while it goes: the window, the timer and the port.
    window_->Events(nullptr);
    ticks_->Enabled(false);
    frmCom& com = program_->Com();
    com.timSolidEnabledListener(nullptr);
    com.receiveTickRunner(nullptr);
    program_->MainWindow().onEndProgram(nullptr);
    program_->MainWindow().onTickRequest(nullptr);
    program_->Operations().wakeRequest(nullptr);
    program_.reset();
}

void QtProgram::Show() {
    window_->show();
}

std::string QtProgram::PortDevice(Int16 portNo) {
    return ComPortDevice(store_, SettingsFile(), portNo);
}

void QtProgram::ShowPortDevices() {
    for (Int16 n = 1; n <= 4; ++n) {
        const std::string device = PortDevice(n);
        window_->PortDeviceText(static_cast<std::size_t>(n),
                                ToQString(MenuDeviceText(device, ports_->Access(device))));
    }
}

void QtProgram::ChooseSerialDevice() {
    const Int16 portNo = program_->MainWindow().ComPortNo();
    if (portNo < frmCom::kMinComPortNum || portNo > frmCom::kMaxComPortNum) {
        return;  // a port number the settings file spoilt names no key to write
    }
    QtPortDialog dialog(*ports_, portNo, PortDevice(portNo), window_.get());
    if (onPortDialog_) {
        onPortDialog_(dialog);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    program_->ChooseComPortDevice(portNo, dialog.Chosen());
    ShowPortDevices();
    ticks_->RunSoon();
}

QtCurvesWindow& QtProgram::ShowCurves() {
    if (curves_ == nullptr) {
        curves_ = new QtCurvesWindow(window_.get());
    }
    curves_->show();
    curves_->raise();
    curves_->activateWindow();
    RefreshCurves();
    return *curves_;
}

void QtProgram::RefreshCurves() {
    if (curves_ != nullptr && curves_->isVisible()) {
        curves_->Refresh(program_->Operations().RunningCurve(), program_->Records().Session());
    }
}

int RunProgram(IProcessServices& process, IMessageBox& refusalBox,
               const std::function<std::string()>& settingsDirectory) {
    if (!ClaimSingleInstance(process, refusalBox)) {
        // A refused start is no success: a script that starts the program can tell.
        return 1;
    }
    QtProgram program(process, settingsDirectory(), [] { QCoreApplication::quit(); });
    program.Show();
    return QApplication::exec();
}

int RunDesktopProgram(QApplication& app) {
    ConfigureApplication(app);
    QtProcessServices process;
    QtMessageBox refusalBox;
    return RunProgram(process, refusalBox, [&process] {
        const QString own = ToQString(process.ProgramDirectory());
        return FromQString(ChooseSettingsDirectory(own, UserSettingsDirectory()));
    });
}

}  // namespace quorvane
