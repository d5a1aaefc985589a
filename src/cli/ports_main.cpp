// quorvane-ports: shows or sets which device each COM port of quorvane-adj opens, in the
// same settings file the program uses.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <string>

#include "qt/qt_command_line.h"
#include "qt/qt_port_enumeration.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "settings/ini_file_store.h"
#include "settings/port_choice.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"

namespace {

int Refuse(const QString& problem) {
    std::fprintf(stderr, "quorvane-ports: %s\n(quorvane-ports --help tells the usage)\n",
                 qPrintable(problem));
    return 2;
}

// Every serial port found, one a line.
int PrintPortList() {
    using namespace quorvane;
    QtPortEnumeration ports;
    const std::string text = PortListText(PortRows(ports.Ports(true)));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

// The settings file and the device each of COM 1 to COM 4 opens.
int PrintComPorts(quorvane::IniFileStore& store, const std::string& file) {
    using namespace quorvane;
    std::printf("settings file: %s\n", file.c_str());
    QtPortEnumeration ports;
    for (Int16 n = 1; n <= 4; ++n) {
        const std::string device = ComPortDevice(store, file, n);
        std::printf("COM %d  %s\n", n, MenuDeviceText(device, ports.Access(device)).c_str());
    }
    return 0;
}

// Maps COM N to DEVICE, keeping every other line of the file.
int SetComPort(const QStringList& args, quorvane::IniFileStore& store, const std::string& file) {
    using namespace quorvane;
    if (args.size() != 2) {
        return Refuse(QStringLiteral("give a port number and a device, or nothing"));
    }
    bool number = false;
    const int portNo = args[0].toInt(&number);
    if (!number || portNo < 1 || portNo > 10) {
        return Refuse(QStringLiteral("the port number must be 1 to 10, not '%1'").arg(args[0]));
    }
    if (!SetComPortDevice(store, file, static_cast<Int16>(portNo), FromQString(args[1]))) {
        std::fprintf(stderr, "quorvane-ports: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("COM %d  %s  (in %s)\n", portNo,
                ComPortDevice(store, file, static_cast<Int16>(portNo)).c_str(), file.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows COM 1 to COM 4, or sets the device COM N (1 to 10) opens: key COMN of section\n"
        "[PORTS] in the settings file QUORVAADJ.rs. An empty DEVICE (\"\") restores the\n"
        "default /dev/ttyS<N-1>. Every other line of the file is kept.\n"
        "--list shows the serial ports found, as Option > Serial device... does."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsDir(
        QStringLiteral("settings-dir"),
        QStringLiteral("Use the settings file in <dir> instead of the one quorvane-adj uses."),
        QStringLiteral("dir"));
    parser.addOption(settingsDir);
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("List the serial ports found, one a line: device, description, "
                       "manufacturer, serial number, USB id, whether you may open it, and its "
                       "persistent names."));
    parser.addOption(list);
    parser.addPositionalArgument(QStringLiteral("N DEVICE"),
                                 QStringLiteral("COM port N (1 to 10) and the device it opens"),
                                 QStringLiteral("[N DEVICE]"));
    if (!ParseArguments(parser)) {
        return Refuse(parser.errorText());
    }
    if (parser.isSet(list)) {
        return PrintPortList();
    }
    const QString directory = parser.isSet(settingsDir)
                                  ? parser.value(settingsDir)
                                  : ChooseSettingsDirectory(QCoreApplication::applicationDirPath(),
                                                            UserSettingsDirectory());
    const std::string file = FromQString(QDir(directory).filePath(kSettingsFileName));
    IniFileStore store;

    const QStringList args = parser.positionalArguments();
    return args.isEmpty() ? PrintComPorts(store, file) : SetComPort(args, store, file);
}
