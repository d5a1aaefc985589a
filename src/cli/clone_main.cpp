// quorvane-clone: reads a transceiver's EEPROM into an image file, writes an image file to it,
// and shows or compares the parameters of image files, without the window.
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/clone_commands.h"
#include "app/clone_session.h"
#include "app/image_policy.h"
#include "image/backup_folder.h"
#include "image/image_compare.h"
#include "platform/steady_clock.h"
#include "platform/wall_clock.h"
#include "qt/qt_command_line.h"
#include "qt/qt_serial_control.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "settings/ini_file_store.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"

namespace quorvane {
namespace {

constexpr char kName[] = "quorvane-clone";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n(%s --help tells the usage)\n", kName, problem.c_str(), kName);
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// One transceiver on one device: reads and writes run on the event loop with the 50 ms tick
// and a tick at each arrival of data. Between them the process sleeps in the event loop, as
// the window does.
class Transfer final : public ICloneTerminal {
  public:
    explicit Transfer(std::string device)
        : device_(std::move(device)),
          serial_([this](std::int16_t) { return device_; }),
          session_(serial_, clock_, 1),
          terminal_(::isatty(STDERR_FILENO) != 0) {
        QObject::connect(&ticks_, &QTimer::timeout, [this] { Tick(); });
        ticks_.start(static_cast<int>(frmCom::kTickPeriodMs));
        // Arriving data gets its tick as soon as the event that brought it has been handled.
        session_.Com().receiveTickRunner(
            [this] { QTimer::singleShot(0, &ticks_, [this] { Tick(); }); });
    }
    ~Transfer() {
        ticks_.stop();
        session_.Com().receiveTickRunner(nullptr);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    void Say(const std::string& text) override { std::printf("%s\n", text.c_str()); }
    void Complain(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool Ask(const std::string& question) override {
        std::fprintf(stderr, "%s", question.c_str());
        std::string answer;
        return std::getline(std::cin, answer) && (answer == "y" || answer == "yes");
    }
    void RunToEnd(CloneSession&, const char* what) override {
        what_ = what;
        shown_ = -1;
        if (session_.Running()) {
            loop_.exec();
        }
        if (terminal_) {
            std::fprintf(stderr, "\n");
        }
    }

    CloneSession& Session() { return session_; }
    const std::string& Device() const { return device_; }

  private:
    void Tick() {
        session_.Tick();
        const int percent = static_cast<int>(session_.Progress() * 100.0);
        if (terminal_ && percent != shown_) {
            std::fprintf(stderr, "\r%s %s: %3d %%", what_, device_.c_str(), percent);
            shown_ = percent;
        }
        if (!session_.Running()) {
            loop_.quit();
        }
    }

    std::string device_;
    SteadyClock clock_;
    QtSerialControl serial_;
    CloneSession session_;
    QTimer ticks_;
    QEventLoop loop_;
    bool terminal_;
    const char* what_ = "";
    int shown_ = -1;
};

int Dump(const std::string& file) {
    const ImageFileResult loaded = LoadImageFile(file);
    if (!loaded) {
        return Fail(loaded.text());
    }
    const std::string text = ImageParameterDump(loaded->image);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

// As diff(1): 0 when the images are the same, 1 when they differ, 2 when one cannot be read.
int Diff(const std::string& a, const std::string& b) {
    const ImageFileResult fa = LoadImageFile(a);
    const ImageFileResult fb = LoadImageFile(b);
    if (!fa || !fb) {
        std::fprintf(stderr, "%s\n", (!fa ? fa.text() : fb.text()).c_str());
        return 2;
    }
    const std::string text = RenderSideBySide(CompareParameterDumps(fa->image, fb->image),
                                              std::filesystem::path(a).filename().string(),
                                              std::filesystem::path(b).filename().string());
    std::fwrite(text.data(), 1, text.size(), stdout);
    const std::vector<ByteDifference> bytes = FirstByteDifferences(fa->image, fb->image, 1);
    if (text.empty() && !bytes.empty()) {
        // Channel data and other bytes the dump does not show differ too.
        std::printf(
            "The parameter dumps are the same; the images differ at bytes the dump does "
            "not show, the first at %04X.\n",
            static_cast<unsigned>(bytes[0].address));
    }
    return bytes.empty() ? 0 : 1;
}

// The device named by --device, or the one COM N opens in the settings file; nothing, with
// the reason, when the command line names neither, both, or a port out of range.
std::optional<std::string> NamedDevice(const QCommandLineParser& parser,
                                       const QCommandLineOption& device,
                                       const QCommandLineOption& com, std::string& problem) {
    if (parser.isSet(com) == parser.isSet(device)) {
        problem = "give either --device or --com";
        return std::nullopt;
    }
    if (!parser.isSet(com)) {
        return FromQString(parser.value(device));
    }
    bool number = false;
    const int n = parser.value(com).toInt(&number);
    if (!number || n < 1 || n > 10) {
        problem = "the port number must be 1 to 10";
        return std::nullopt;
    }
    const QString directory =
        ChooseSettingsDirectory(QCoreApplication::applicationDirPath(), UserSettingsDirectory());
    IniFileStore store;
    return ComPortDevice(store, FromQString(QDir(directory).filePath(kSettingsFileName)),
                         static_cast<Int16>(n));
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    using namespace quorvane;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "EEPROM images of the transceiver without the window.\n"
        "  read --device PATH --out FILE   read the transceiver into an image file\n"
        "  write --device PATH FILE        back up, write FILE, read back and compare\n"
        "  dump FILE                       the parameter dump, as the window shows it\n"
        "  diff A B                        the dump lines that differ, side by side\n"
        "--com N takes the device of COM N from the settings file instead of --device.\n"
        "Every image read is kept as an automatic backup, as the window keeps it.\n"
        "Exit status: 0 done, 1 failed, 2 a wrong command line; diff, as diff(1):\n"
        "0 the images are the same, 1 they differ, 2 a file cannot be read."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("The serial device."),
                                    QStringLiteral("path"));
    const QCommandLineOption com(QStringLiteral("com"),
                                 QStringLiteral("COM port N (1 to 10) of the settings file."),
                                 QStringLiteral("n"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The image file to write."),
                                 QStringLiteral("file"));
    const QCommandLineOption yes(
        QStringLiteral("yes"),
        QStringLiteral("Write without asking; the question's warning of an image of unknown "
                       "origin or another sub identifier is still printed on standard error."));
    parser.addOptions({device, com, out, yes});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("read, write, dump or diff"));
    if (!ParseArguments(parser)) {
        return Usage(FromQString(parser.errorText()));
    }
    const QStringList args = parser.positionalArguments();
    const std::string command = args.isEmpty() ? "" : FromQString(args[0]);
    auto arg = [&](int i) { return FromQString(args[i]); };
    if (command == "dump" && args.size() == 2) {
        return Dump(arg(1));
    }
    if (command == "diff" && args.size() == 3) {
        return Diff(arg(1), arg(2));
    }
    const bool read = command == "read" && args.size() == 1 && parser.isSet(out);
    const bool write = command == "write" && args.size() == 2;
    if (!read && !write) {
        return Usage("give read, write, dump or diff with its arguments");
    }
    std::string problem;
    const std::optional<std::string> path = NamedDevice(parser, device, com, problem);
    if (!path) {
        return Usage(problem);
    }
    Transfer transfer(*path);
    SystemWallClock wallClock;
    const ImagePolicy policy(BackupFolder(FromQString(UserDataFolder())));
    CloneCommands commands(
        CloneCommands::Links{transfer.Session(), transfer, wallClock, policy, transfer.Device()});
    return read ? commands.Read(FromQString(parser.value(out)))
                : commands.Write(arg(1), parser.isSet(yes));
}
