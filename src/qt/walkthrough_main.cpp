// quorvane-walkthrough: the program's main job played by itself on its real window, with a
// screenshot of every stage; for machines without a display and for the documentation.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <vector>

#include "qt/qt_platform.h"
#include "qt/qt_program.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "qt/walkthrough.h"

namespace {

constexpr char kUsage[] =
    "Usage: quorvane-walkthrough --out DIR [--settings-dir DIR] [--error-port N]\n"
    "\n"
    "Opens the quorvane-adj window, plays Connect and the clone read, a value change, a\n"
    "BPF T1 sweep and the parameter dump against the transceiver on the program's COM port,\n"
    "and saves a screenshot of every stage in DIR. Takes about 90 s.\n"
    "  --settings-dir DIR  use DIR's settings file instead of the program's own\n"
    "  --error-port N      finally connect on COM N, which must give an error box, and\n"
    "                      photograph the box\n";

// The refusal of a second instance, told on the terminal: nobody is there to press OK.
class TerminalMessageBox final : public quorvane::IMessageBox {
  public:
    std::int16_t ShowCritical(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "quorvane-walkthrough: %s\n", text.c_str());
        return 1;
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    QApplication app(argc, argv);
    ConfigureApplication(app);

    const std::vector<std::string> args(argv + 1, argv + argc);
    QString out;
    QString settingsDir;
    int errorPort = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--out" && hasValue) {
            out = ToQString(args[++i]);
        } else if (args[i] == "--settings-dir" && hasValue) {
            settingsDir = ToQString(args[++i]);
        } else if (args[i] == "--error-port" && hasValue) {
            errorPort = std::atoi(args[++i].c_str());
        } else if (args[i] == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "quorvane-walkthrough: unknown or incomplete option %s\n\n%s",
                         args[i].c_str(), kUsage);
            return 2;
        }
    }
    if (out.isEmpty() || errorPort < 0 || errorPort > 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // A settings directory of its own gets a lock of its own, so a walkthrough for the
    // documentation can run beside a working program.
    QtProcessServices process(QStringLiteral("quorvane-adj"), settingsDir);
    TerminalMessageBox refusal;
    if (!ClaimSingleInstance(process, refusal)) {
        return 1;
    }
    if (settingsDir.isEmpty()) {
        settingsDir = ChooseSettingsDirectory(QCoreApplication::applicationDirPath(),
                                              UserSettingsDirectory());
    }
    QtProgram program(process, FromQString(QDir::toNativeSeparators(settingsDir)));
    std::printf("settings file: %s, COM %d is %s\n", program.SettingsFile().c_str(),
                program.Core().MainWindow().ComPortNo(),
                program.PortDevice(program.Core().MainWindow().ComPortNo()).c_str());
    Walkthrough walkthrough(program, out, stdout);
    return walkthrough.Run(errorPort) ? 0 : 1;
}
