// quorvane-walkthrough: the program's main job played by itself on its real window, with a
// screenshot of every stage; for machines without a display and for the documentation.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <string>

#include "qt/qt_command_line.h"
#include "qt/qt_platform.h"
#include "qt/qt_program.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "walkthrough.h"

namespace {

// The refusal of a second instance, told on the terminal: nobody is there to press OK.
class TerminalMessageBox final : public quorvane::IMessageBox {
  public:
    std::int16_t ShowCritical(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "quorvane-walkthrough: %s\n", text.c_str());
        return 1;
    }
};

int Refuse(const QString& problem) {
    std::fprintf(stderr,
                 "quorvane-walkthrough: %s\n(quorvane-walkthrough --help tells the usage)\n",
                 qPrintable(problem));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvane;
    // The walkthrough answers the file dialogs itself, which it can do only with Qt's own.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens the quorvane-adj window, plays Connect and the clone read, a value change, a\n"
        "BPF T1 sweep in the window of curves, an RX LVA adjustment, the parameter dump, the\n"
        "saving of the image and of the service record against the transceiver on the\n"
        "program's COM port, and saves a screenshot of every stage (and the record) in the\n"
        "output directory. Takes about 100 s."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Save the screenshots in <dir> (needed)."),
                                       QStringLiteral("dir"));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings-dir"),
        QStringLiteral("Use the settings file in <dir> instead of the program's own."),
        QStringLiteral("dir"));
    const QCommandLineOption errorPortOption(
        QStringLiteral("error-port"),
        QStringLiteral("Finally connect on COM <n> (1 to 4), which must give an error box, and "
                       "photograph the box, then open the saved image without a transceiver; 0 "
                       "(the default): none."),
        QStringLiteral("n"));
    parser.addOptions({outOption, settingsOption, errorPortOption});
    if (!ParseArguments(parser)) {
        return Refuse(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Refuse(QStringLiteral("unexpected argument '%1'")
                          .arg(parser.positionalArguments().constFirst()));
    }
    // From here on the window is the program's own, by its name too.
    ConfigureApplication(app);
    const QString out = parser.value(outOption);
    if (out.isEmpty()) {
        return Refuse(QStringLiteral("--out names the directory for the screenshots"));
    }
    QString settingsDir = parser.value(settingsOption);
    int errorPort = 0;
    if (parser.isSet(errorPortOption)) {
        bool number = false;
        errorPort = parser.value(errorPortOption).toInt(&number);
        if (!number || errorPort < 0 || errorPort > 4) {
            return Refuse(QStringLiteral("--error-port must be 0 to 4, not '%1'")
                              .arg(parser.value(errorPortOption)));
        }
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
