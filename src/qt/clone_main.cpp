// quorvane-clone: reads a transceiver's EEPROM into an image file, writes an image file to it,
// and shows or compares the parameters of image files, without the window.
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "app/clone_session.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "image/backup_store.h"
#include "image/image_compare.h"
#include "platform/steady_clock.h"
#include "platform/wall_clock.h"
#include "protocol/eeprom.h"
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

std::string DumpOf(const Bytes& image) {
    clsCmcEeprom eeprom;
    eeprom.eeSize(Len(image));
    eeprom.WriteBlock(0, image);
    return clsIndEep_RigTamsk(eeprom).ParameterDumpText();
}

// One transceiver on one device: reads and writes run on the event loop with the 50 ms tick
// and a tick at each arrival of data.
class Transfer {
  public:
    explicit Transfer(std::string device)
        : device_(std::move(device)),
          serial_([this](std::int16_t) { return device_; }),
          session_(serial_, clock_, 1) {
        QObject::connect(&ticks_, &QTimer::timeout, [this] { session_.Tick(); });
        ticks_.start(static_cast<int>(frmCom::kTickPeriodMs));
        // Arriving data gets its tick as soon as the event that brought it has been handled.
        session_.Com().receiveTickRunner(
            [this] { QTimer::singleShot(0, &ticks_, [this] { session_.Tick(); }); });
    }
    ~Transfer() {
        ticks_.stop();
        session_.Com().receiveTickRunner(nullptr);
    }

    // Runs one operation to its end; the message naming the device when it failed.
    std::string Run(const std::function<void()>& start, const char* what) {
        start();
        const bool terminal = ::isatty(STDERR_FILENO) != 0;
        int shown = -1;
        while (session_.Running()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            const int percent = static_cast<int>(session_.Progress() * 100.0);
            if (terminal && percent != shown) {
                std::fprintf(stderr, "\r%s %s: %3d %%", what, device_.c_str(), percent);
                shown = percent;
            }
        }
        if (terminal) {
            std::fprintf(stderr, "\n");
        }
        return session_.Error().empty() ? "" : device_ + ": " + session_.Error();
    }

    CloneSession& Session() { return session_; }
    const std::string& Device() const { return device_; }

  private:
    std::string device_;
    SteadyClock clock_;
    QtSerialControl serial_;
    CloneSession session_;
    QTimer ticks_;
};

std::string BackupFolder() {
    return FromQString(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/quorvane-adj/backups"));
}

int Read(Transfer& transfer, const std::string& out) {
    const std::string error = transfer.Run([&] { transfer.Session().StartRead(); }, "reading");
    if (!error.empty()) {
        return Fail(error);
    }
    const ImageOrigin origin{transfer.Session().Identity(), SystemWallClock().Now()};
    const std::string saved = SaveImageFile(out, transfer.Session().Image(), origin);
    return saved.empty() ? 0 : Fail(saved);
}

int Write(Transfer& transfer, const std::string& file, bool yes) {
    const ImageFileResult loaded = LoadImageFile(file);
    if (!loaded.file) {
        return Fail(loaded.error);
    }
    std::string error = transfer.Run([&] { transfer.Session().StartRead(); }, "reading");
    if (!error.empty()) {
        return Fail(error);
    }
    const RadioIdentity radio = transfer.Session().Identity();
    const ImageOrigin now{radio, SystemWallClock().Now()};
    const ImageBackupStore::Result backup =
        ImageBackupStore(BackupFolder()).Save(transfer.Session().Image(), now);
    if (!backup.error.empty()) {
        return Fail(backup.error);
    }
    std::fprintf(stderr, "backup: %s\n", backup.path.c_str());
    const std::optional<ImageOrigin>& origin = loaded.file->origin;
    if (origin && origin->identity.model != radio.model) {
        return Fail("Cannot write the image '" + file + "': it was read from another model.");
    }
    if (!yes) {
        std::fprintf(stderr, "Write '%s' to the transceiver on %s? [y/N] ", file.c_str(),
                     transfer.Device().c_str());
        std::string answer;
        if (!std::getline(std::cin, answer) || (answer != "y" && answer != "yes")) {
            return Fail("Nothing was written.");
        }
    }
    error = transfer.Run([&] { transfer.Session().StartWrite(loaded.file->image); }, "writing");
    if (!error.empty()) {
        return Fail(error);
    }
    error = transfer.Run([&] { transfer.Session().StartRead(); }, "reading back");
    if (!error.empty()) {
        return Fail(error);
    }
    const std::size_t end = std::min<std::size_t>(EepromImageFile::kImageSize,
                                                  static_cast<std::size_t>(radio.endAddress));
    const Bytes wanted(loaded.file->image.begin(),
                       loaded.file->image.begin() + static_cast<std::ptrdiff_t>(end));
    const Bytes read = transfer.Session().Image();
    const Bytes got(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(end));
    const auto differences = FirstByteDifferences(wanted, got, 8);
    if (!differences.empty()) {
        char text[64];
        std::snprintf(text, sizeof text, "the first at %04X",
                      static_cast<unsigned>(differences[0].address));
        return Fail("The EEPROM image was written, but reads back different: " + std::string(text) +
                    ".");
    }
    std::printf("The EEPROM image was written and read back unchanged.\n");
    return 0;
}

int Dump(const std::string& file) {
    const ImageFileResult loaded = LoadImageFile(file);
    if (!loaded.file) {
        return Fail(loaded.error);
    }
    const std::string text = DumpOf(loaded.file->image);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int Diff(const std::string& a, const std::string& b) {
    const ImageFileResult fa = LoadImageFile(a);
    const ImageFileResult fb = LoadImageFile(b);
    if (!fa.file || !fb.file) {
        return Fail(!fa.file ? fa.error : fb.error);
    }
    const std::string text = RenderSideBySide(CompareParameterDumps(fa.file->image, fb.file->image),
                                              std::filesystem::path(a).filename().string(),
                                              std::filesystem::path(b).filename().string());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
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
        "--com N takes the device of COM N from the settings file instead of --device."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("The serial device."),
                                    QStringLiteral("path"));
    const QCommandLineOption com(QStringLiteral("com"),
                                 QStringLiteral("COM port N (1 to 10) of the settings file."),
                                 QStringLiteral("n"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The image file to write."),
                                 QStringLiteral("file"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Write without asking."));
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
    return read ? Read(transfer, FromQString(parser.value(out)))
                : Write(transfer, arg(1), parser.isSet(yes));
}
