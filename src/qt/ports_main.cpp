// quorvane-ports: shows or sets which device each COM port of quorvane-adj opens, in the
// same settings file the program uses (it must sit beside the program).
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <vector>

#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "settings/ini_file_store.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"

namespace {

constexpr char kUsage[] =
    "Usage: quorvane-ports [--settings-dir DIR]             show COM 1 to COM 4\n"
    "       quorvane-ports [--settings-dir DIR] N DEVICE    open DEVICE for COM N\n"
    "\n"
    "COM N (1 to 10) is key COMN of section [PORTS] in the settings file QUORVAADJ.rs;\n"
    "an empty DEVICE (\"\") restores the default /dev/ttyS<N-1>. Every other line of the\n"
    "file is kept. Without --settings-dir the file is the one quorvane-adj uses.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "quorvane-ports: %s\n\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QString directory;
    if (!args.empty() && args[0] == "--settings-dir") {
        if (args.size() < 2) {
            return Usage("--settings-dir needs a directory");
        }
        directory = ToQString(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    } else {
        directory = ChooseSettingsDirectory(QCoreApplication::applicationDirPath(),
                                            UserSettingsDirectory());
    }
    const std::string file = FromQString(QDir(directory).filePath(kSettingsFileName));
    IniFileStore store;

    if (args.empty()) {
        std::printf("settings file: %s\n", file.c_str());
        for (Int16 n = 1; n <= 4; ++n) {
            std::printf("COM %d  %s\n", n, ComPortDevice(store, file, n).c_str());
        }
        return 0;
    }
    if (args.size() != 2) {
        return Usage("give a port number and a device, or nothing");
    }
    int portNo = 0;
    try {
        std::size_t used = 0;
        portNo = std::stoi(args[0], &used);
        if (used != args[0].size()) {
            portNo = 0;
        }
    } catch (const std::exception&) {
        portNo = 0;
    }
    if (portNo < 1 || portNo > 10) {
        return Usage("the port number must be 1 to 10");
    }
    if (!store.WriteProfileString(kPortsSection, "COM" + std::to_string(portNo), args[1], file)) {
        std::fprintf(stderr, "quorvane-ports: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("COM %d  %s  (in %s)\n", portNo,
                ComPortDevice(store, file, static_cast<Int16>(portNo)).c_str(), file.c_str());
    return 0;
}
