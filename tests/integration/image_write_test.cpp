// Whole images over the in-process stand-in: the automatic backup of every read, and a file
// written to the transceiver, read back and compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "app/clone_commands.h"
#include "image/image_file.h"
#include "platform/runtime_error.h"
#include "rig/program_rig.h"
#include "support/failing_file_writes.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

const ImageOrigin kOrigin{{0x8537, 0x0200, 0x04, 0x7FE0},
                          std::chrono::sys_days{std::chrono::December / 7 / 2026}};

const std::string kTail =
    "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
    "connections.\r\n- Transceiver power is ON.";

std::string Partial(const std::string& name, const fs::path& backup) {
    return "The EEPROM image '" + name +
           "' was not written to the end: the transceiver may hold a partly written image.\n\n"
           "The backup '" +
           backup.string() +
           "' holds what the transceiver held before the write.\n\nConnect again and write the "
           "image once more.";
}

std::string NotReadBack(const std::string& name) {
    return "The EEPROM image '" + name +
           "' was written to the transceiver, but could not be read back to be compared.\n\n"
           "Connect again to check it.";
}

std::string Write(test::ProgramRig& rig, const fs::path& file) {
    EXPECT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.program.Images().CanWrite());
    rig.SentFrames();
    rig.form.messageBox.texts.clear();
    rig.program.Images().StartWrite(file.string());
    EXPECT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 300000));
    return rig.form.messageBox.texts.empty() ? "" : rig.form.messageBox.texts[0];
}

TEST(ImageWrite, BackupThenWriteReadBackAndCompare) {
    test::TempDir data;
    test::ProgramRig rig({}, sim::SimImage::Generate(1), data.path().string());
    ASSERT_TRUE(rig.Connect());
    const fs::path first = data.path() / "backups" / "20261207-051502_8537-0200.qvimg";
    EXPECT_EQ(rig.program.Images().LastBackup(), first);
    const ImageFileResult kept = LoadImageFile(first);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept->origin->identity, (RadioIdentity{0x8537, 0x0200, 0x04, 0x7FE0}));

    Bytes image = kept->image;
    image[0x0000] = 0xA5;
    image[0x7FDF] = 0x5A;
    const fs::path file = data.path() / "new.qvimg";
    ASSERT_TRUE(SaveImageFile(file, image, kOrigin).ok());
    const WriteCheck check = rig.program.Images().CheckImageForWrite(file.string());
    ASSERT_TRUE(check.ok());
    EXPECT_EQ(check->text,
              "Write the EEPROM image 'new.qvimg' to the transceiver?\n\nImage: model 8537, sub "
              "0200, revision 04, read 2026-12-07 00:00:00 UTC\nTransceiver: model 8537, sub "
              "0200, revision 04");

    EXPECT_EQ(Write(rig, file), "The EEPROM image was written and read back unchanged.");
    const std::vector<std::string> sent = rig.SentFrames();
    ASSERT_GE(sent.size(), 2051u);
    EXPECT_EQ(sent[0], "E0 identify model 8537");
    EXPECT_EQ(sent[1], "E3 clone write model 8537 sub 0200");
    EXPECT_EQ(sent[2], "E4 record address 0000 bytes 16 checksum ok");
    EXPECT_EQ(sent[2047], "E4 record address 7FD0 bytes 16 checksum ok");
    EXPECT_EQ(sent[2048], "E5 end of clone write, signature ok");
    EXPECT_EQ(sent[2049], "E0 identify model 8537");
    EXPECT_EQ(sent[2050], "E2 clone read model 8537 sub 0200");
    EXPECT_NE(rig.Wire().find("E6 clone write result 00"), std::string::npos);
    EXPECT_EQ(rig.Transceiver().Image().Byte(0x0000), 0xA5);
    EXPECT_EQ(rig.Transceiver().Image().Byte(0x7FDF), 0x5A);
    // The read after the write made a second backup beside the first, which stays as it was.
    EXPECT_EQ(rig.program.Images().LastBackup(),
              data.path() / "backups" / "20261207-051502_8537-0200-2.qvimg");
    EXPECT_EQ(LoadImageFile(first)->image, kept->image);
    EXPECT_TRUE(rig.Settle());  // the items are back, built from what the transceiver holds
    const fs::path saved = data.path() / "saved.qvimg";
    EXPECT_TRUE(rig.program.Images().SaveImage(saved.string()).ok());
    EXPECT_EQ(LoadImageFile(saved)->image, image);
    const ImageResult<ImageFileView> opened = rig.program.Images().OpenImage(file.string());
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(opened->name, "new.qvimg");
    EXPECT_EQ(opened->identity, "model 8537, sub 0200, revision 04, read 2026-12-07 00:00:00 UTC");
    EXPECT_EQ(std::count(opened->dump.begin(), opened->dump.end(), '\n'), 66);

    // A backup that cannot be written is said, and the adjustment goes on.
    fs::remove_all(data.path() / "backups");
    std::ofstream(data.path() / "backups") << "a file where the folder belongs";
    rig.form.messageBox.texts.clear();
    ASSERT_TRUE(rig.Connect());
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0].rfind("Cannot save the backup '", 0), 0u);
}

TEST(ImageWrite, FaultsAndRefusedFiles) {
    test::TempDir data;
    const fs::path file = data.path() / "image.qvimg";
    ASSERT_TRUE(SaveImageFile(file, sim::SimImage::Generate(2).data(), kOrigin).ok());
    const std::string tail =
        "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
        "connections.\r\n- Transceiver power is ON.";
    for (const auto& [fault, message] : std::vector<std::pair<std::string, std::string>>{
             {"rejected-write",
              "Cannot write cloning data.\r\n\r\nCheck the following:\r\n- Cloning cable "
              "connections.\r\n- Transceiver power is ON."},
             {"no-write-result", "No answer from transceiver." + tail},
             {"write-hang-up:5", "Cannot access COM port" + tail}}) {
        sim::TamskorConfig config;
        ASSERT_FALSE(config.faults.Parse(fault));
        test::ProgramRig rig(config);
        ASSERT_TRUE(rig.Connect());
        const Bytes before = rig.Transceiver().Image().data();
        EXPECT_EQ(Write(rig, file), message) << fault;
        rig.RunFor(3000);
        EXPECT_EQ(rig.form.messageBox.texts.size(), 1u) << fault;
        EXPECT_TRUE(rig.InInitialState()) << fault;
        EXPECT_EQ(rig.Transceiver().Image().data(), before) << fault;
        const fs::path saved = data.path() / "after-failure.qvimg";
        EXPECT_TRUE(rig.program.Images().SaveImage(saved.string()).ok());
        EXPECT_EQ(LoadImageFile(saved)->image, before) << fault;
    }

    // A transceiver with a shorter clone area: its backup still holds a whole image.
    sim::TamskorConfig smaller;
    smaller.cloneEnd = 0x3FFF;
    test::ProgramRig rig(smaller, sim::SimImage::Generate(1), data.path().string());
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    EXPECT_EQ(LoadImageFile(rig.program.Images().LastBackup())->image.size(), 32736u);
    const fs::path shortFile = data.path() / "short.bin";
    std::ofstream(shortFile) << "too short";
    const fs::path otherModel = data.path() / "other.qvimg";
    ImageOrigin other = kOrigin;
    other.identity.model = 0x8538;
    ASSERT_TRUE(SaveImageFile(otherModel, sim::SimImage::Generate(2).data(), other).ok());
    EXPECT_EQ(rig.program.Images().CheckImageForWrite(otherModel.string()).cause(),
              ImageFault::OtherModel);
    EXPECT_EQ(rig.program.Images().CheckImageForWrite(otherModel.string()).text(),
              "Cannot write the image '" + otherModel.string() +
                  "': it was read from model 8538, the transceiver is model 8537.");
    for (const fs::path& refused : {shortFile, otherModel}) {
        rig.SentFrames();
        rig.form.messageBox.texts.clear();
        rig.program.Images().StartWrite(refused.string());
        EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
        rig.RunFor(2000);  // the adjusting cycle goes on; no write starts
        const std::vector<std::string> sent = rig.SentFrames();
        EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), [](const std::string& f) {
            return f.rfind("E8", 0) != 0;
        })) << refused;
    }
}

TEST(ImageWrite, AWriteOrItsReadBackCutOffByTheCableOrARunTimeErrorIsSaidAndNothingFollowsIt) {
    const std::string overflow = "Run-time error: Overflow in label";
    auto failing = [](test::FakeLabel& label) {
        return [&label] { label.failOnce = [] { raiseOverflow("label"); }; };
    };
    auto comm = [](frmCom& com, CommEvent event) { return [&com, event] { com.OnComm(event); }; };
    const std::string r2000 = "E4 record address 2000 bytes 16 checksum ok";
    const std::string r2010 = "E4 record address 2010 bytes 16 checksum ok";
    for (int c = 0; c < 6; ++c) {
        test::TempDir data;
        test::ProgramRig rig({}, sim::SimImage::Generate(1), data.path().string());
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.Settle());
        const Bytes before = rig.Transceiver().Image().data();
        Bytes image = before;
        image[0x7F00] = static_cast<std::uint8_t>(image[0x7F00] ^ 0xFF);
        const fs::path file = data.path() / "new.qvimg";
        ASSERT_TRUE(SaveImageFile(file, image, kOrigin).ok());
        // Half way through the write the cable is pulled (and is back at once), the port
        // overflows, or a run-time error comes in a tick's window update or in the image
        // service's own step; half way through the read after the accepted write the cable is
        // pulled or a run-time error comes. What is sent after it: the record already on its
        // way, and the one its echo let out in the tick the error came in.
        const struct {
            bool readBack;
            std::function<void()> cut;
            std::string first;
            std::vector<std::string> sent;
        } cases[] = {
            {false,
             comm(rig.program.Com(), CommEvent::DeviceLost),
             "Cannot access COM 1." + kTail,
             {r2000}},
            {false,
             comm(rig.program.Com(), CommEvent::RxOver),
             "COM buffer overflow." + kTail,
             {r2000}},
            {false, failing(rig.form.lblComBusy), overflow, {r2000, r2010}},
            {false, failing(rig.form.lblProgress), overflow, {r2000, r2010}},
            {true,
             comm(rig.program.Com(), CommEvent::DeviceLost),
             "Cannot access COM 1." + kTail,
             {}},
            {true, failing(rig.form.lblComBusy), overflow, {}},
        };
        rig.program.Images().StartWrite(file.string());
        // Items are built again only by the read after the write.
        ASSERT_TRUE(rig.RunUntil(
            [&] {
                return (rig.program.Operations().stepNo() > 0) == cases[c].readBack &&
                       rig.program.Driver().lastEeAdr() >= 0x2000;
            },
            300000));
        rig.SentFrames();
        rig.form.messageBox.texts.clear();
        cases[c].cut();
        rig.RunFor(5000);
        const fs::path backup = data.path() / "backups" / "20261207-051502_8537-0200.qvimg";
        EXPECT_EQ(rig.form.messageBox.texts,
                  (std::vector<std::string>{cases[c].first, cases[c].readBack
                                                                ? NotReadBack("new.qvimg")
                                                                : Partial("new.qvimg", backup)}))
            << c;
        EXPECT_EQ(rig.SentFrames(), cases[c].sent) << c;
        EXPECT_TRUE(rig.InInitialState()) << c;
        // Past the cut of a write, and written before its read-back.
        EXPECT_EQ(rig.Transceiver().Image().Byte(0x7F00),
                  (cases[c].readBack ? image : before)[0x7F00])
            << c;
        const fs::path saved = data.path() / "after-failure.qvimg";
        EXPECT_TRUE(rig.program.Images().SaveImage(saved.string()).ok()) << c;
        EXPECT_EQ(LoadImageFile(saved)->image, before) << c;
    }
}

TEST(ImageWrite, ConnectOrAnotherPortEndsAWriteAsACutOffDoesAndTheOtherActionsLetItFinish) {
    const std::string r2000 = "E4 record address 2000 bytes 16 checksum ok";
    const std::string identify = "E0 identify model 8537";
    const std::string read = "E2 clone read model 8537 sub 0200";
    const std::vector<std::string> finish = {"E5 end of clone write, signature ok", identify, read};
    const std::string busy =
        "Transceiver is still sending clone data.\r\n\r\nWait until it stops, then press Connect "
        "again.";
    using Act = std::function<void(test::ProgramRig&)>;
    const Act connect = [](test::ProgramRig& r) { r.program.MainWindow().cmd00_Click(0); };
    const Act com2 = [](test::ProgramRig& r) { r.program.MainWindow().mnuOptSelCom_Click(2); };
    const Act device = [](test::ProgramRig& r) { r.program.ChooseComPortDevice(1, "/dev/ttyS7"); };
    const Act f5 = [](test::ProgramRig& r) { r.program.MainWindow().Form_KeyDown(vbKeyF5, 0); };
    const Act com1 = [](test::ProgramRig& r) { r.program.MainWindow().mnuOptSelCom_Click(1); };
    const Act release = [](test::ProgramRig& r) {
        r.program.MainWindow().mnuOptionSelAutoRelease_Click(1);
    };
    const Act fail = [](test::ProgramRig& r) {
        r.form.lblComBusy.failOnce = [] { raiseOverflow("label"); };
    };
    // When the technician acts: while the write's identify is under way (the clone-write
    // command not yet out), half way through the write, or half way through the read after it.
    enum class When : std::uint8_t { Identifying, Writing, ReadingBack };
    // What is sent up to the first E8 command (only E8 commands follow): the record already
    // on its way, then the action's own traffic; a write let go on sends its other 1533
    // records, the end and the read-back. Cut: the transceiver keeps what it held and the
    // image saved afterwards is the one from before the write.
    const struct {
        Act act;
        When when;
        std::vector<std::string> messages;
        std::size_t count;
        std::vector<std::string> last;
        bool cut;
    } cases[] = {
        {connect, When::Identifying, {}, 2, {identify, read}, true},
        // Nor does a run-time error then tell of a partly written image.
        {fail, When::Identifying, {"Run-time error: Overflow in label"}, 0, {}, true},
        {connect, When::Writing, {"P"}, 3, {r2000, identify, read}, true},
        {com2, When::Writing, {"P"}, 1, {r2000}, true},
        {device, When::Writing, {"P"}, 1, {r2000}, true},
        {connect, When::ReadingBack, {"N", busy}, 0, {}, true},
        {com2, When::ReadingBack, {"N"}, 0, {}, true},
        {device, When::ReadingBack, {"N"}, 0, {}, true},
        {f5, When::Writing, {"S"}, 1537, finish, false},
        {com1, When::Writing, {"S"}, 1537, finish, false},
        {release, When::Writing, {"S"}, 1537, finish, false},
        {f5, When::ReadingBack, {"S"}, 0, {}, false},
    };
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        test::TempDir data;
        test::ProgramRig rig({}, sim::SimImage::Generate(1), data.path().string());
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.Settle());
        const Bytes before = rig.Transceiver().Image().data();
        Bytes image = before;
        image[0x7F00] = static_cast<std::uint8_t>(image[0x7F00] ^ 0xFF);
        const fs::path file = data.path() / "new.qvimg";
        ASSERT_TRUE(SaveImageFile(file, image, kOrigin).ok());
        rig.program.Images().StartWrite(file.string());
        const clsCmcVep3Drv& driver = rig.program.Driver();
        ASSERT_TRUE(rig.RunUntil(
            [&] {
                if (cases[c].when == When::Identifying) {
                    return driver.workMode() == 1;
                }
                return (rig.program.Operations().stepNo() > 0) ==
                           (cases[c].when == When::ReadingBack) &&
                       driver.lastEeAdr() >= 0x2000;
            },
            300000));
        rig.SentFrames();
        rig.form.messageBox.texts.clear();
        // A message box the action shows runs the event loop: ticks go on behind it.
        rig.form.messageBox.onShow = [&] { rig.RunFor(1000); };
        cases[c].act(rig);
        rig.form.messageBox.onShow = nullptr;
        ASSERT_TRUE(rig.RunUntil(
            [&] {
                const Int16 step = rig.program.Operations().stepNo();
                return !rig.program.Images().Writing() && (step == 0 || step >= 10);
            },
            300000))
            << c;
        rig.RunFor(5000);
        std::vector<std::string> expected;
        for (const std::string& m : cases[c].messages) {
            const fs::path backup = data.path() / "backups" / "20261207-051502_8537-0200.qvimg";
            expected.push_back(m == "P"   ? Partial("new.qvimg", backup)
                               : m == "N" ? NotReadBack("new.qvimg")
                               : m == "S" ? "The EEPROM image was written and read back unchanged."
                                          : m);
        }
        EXPECT_EQ(rig.form.messageBox.texts, expected) << c;
        std::vector<std::string> sent = rig.SentFrames();
        const auto e8 = std::find_if(sent.begin(), sent.end(),
                                     [](const std::string& f) { return f.rfind("E8", 0) == 0; });
        EXPECT_TRUE(std::all_of(e8, sent.end(), [](const std::string& f) {
            return f.rfind("E8", 0) == 0;
        })) << c;
        sent.erase(e8, sent.end());
        ASSERT_EQ(sent.size(), cases[c].count) << c;
        EXPECT_EQ(std::vector<std::string>(
                      sent.end() - static_cast<std::ptrdiff_t>(cases[c].last.size()), sent.end()),
                  cases[c].last)
            << c;
        const bool written = !cases[c].cut || cases[c].when == When::ReadingBack;
        EXPECT_EQ(rig.Transceiver().Image().Byte(0x7F00), (written ? image : before)[0x7F00]) << c;
        const fs::path saved = data.path() / "saved.qvimg";
        ASSERT_TRUE(rig.program.Images().SaveImage(saved.string()).ok()) << c;
        EXPECT_EQ(LoadImageFile(saved)->image == before, cases[c].cut) << c;
    }
}

TEST(ImageWrite, TheQuestionWarnsOfAnUnknownOriginAndAnotherSubAndTheReadBackNamesWhatDiffers) {
    test::TempDir data;
    sim::TamskorConfig unstored;
    ASSERT_FALSE(unstored.faults.Parse("unstored-byte:3"));
    test::ProgramRig rig(unstored);
    rig.Transceiver().Image().Byte(0x0020, 0x11);
    rig.Transceiver().Image().Byte(0x0021, 0x22);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    Bytes image = rig.Transceiver().Image().data();
    image[0x0020] = 0xEE;
    image[0x0021] = 0xDD;
    const fs::path plain = data.path() / "plain.bin";
    std::ofstream(plain, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    ImageOrigin otherSub = kOrigin;
    otherSub.identity.sub = 0x0300;
    const fs::path other = data.path() / "other.qvimg";
    ASSERT_TRUE(SaveImageFile(other, image, otherSub).ok());

    // Unknown origin, No: the warning icon, and nothing but the adjusting cycle's readouts.
    rig.form.fileDialog.nextPath = plain.string();
    rig.SentFrames();
    rig.program.MainWindow().mnuFileWrite_Click();
    EXPECT_EQ(rig.form.confirmBox.texts.back(),
              "Write the EEPROM image 'plain.bin' to the transceiver?\n\nImage: origin "
              "unknown\nTransceiver: model 8537, sub 0200, revision 04\n\nNothing in the file "
              "says which transceiver it was read from.");
    EXPECT_TRUE(rig.form.confirmBox.warning);
    rig.RunFor(2000);
    for (const std::string& frame : rig.SentFrames()) {
        EXPECT_EQ(frame.rfind("E8 sub 03", 0), 0u) << frame;
    }

    // Another sub identifier, Yes: written; the byte the transceiver kept is named.
    rig.form.fileDialog.nextPath = other.string();
    rig.form.confirmBox.answer = true;
    rig.form.messageBox.texts.clear();
    rig.program.MainWindow().mnuFileWrite_Click();
    EXPECT_EQ(rig.form.confirmBox.texts.back(),
              "Write the EEPROM image 'other.qvimg' to the transceiver?\n\nImage: model 8537, sub "
              "0300, revision 04, read 2026-12-07 00:00:00 UTC\nTransceiver: model 8537, sub 0200, "
              "revision 04\n\nThe image was read from a transceiver with another sub identifier.");
    EXPECT_TRUE(rig.form.confirmBox.warning);
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 300000));
    EXPECT_EQ(rig.form.messageBox.texts,
              std::vector<std::string>{
                  "The EEPROM image was written, but the transceiver holds other bytes at:\n"
                  "0020: image EE, transceiver 11"});
    EXPECT_EQ(rig.Transceiver().Image().Byte(0x0021), 0xDD);
}

TEST(ImageWrite, ABackupOnAFullDiskOrInAReadOnlyFolderIsSaidAndLeavesNoFile) {
    test::TempDir data;
    const fs::path backups = data.path() / "backups";
    test::FailingFileWrites disk;
    test::ProgramRig rig({}, sim::SimImage::Generate(1), data.path().string(), &disk);
    for (const auto& [fault, reason] :
         std::vector<std::pair<test::FailingFileWrites::Fault, std::string>>{
             {test::FailingFileWrites::Fault::FullDisk, "No space left on device"},
             {test::FailingFileWrites::Fault::ReadOnly, "Read-only file system"}}) {
        disk.fault = fault;
        rig.form.messageBox.texts.clear();
        ASSERT_TRUE(rig.Connect());
        EXPECT_EQ(rig.form.messageBox.texts,
                  std::vector<std::string>{"Cannot save the backup '" +
                                           (backups / "20261207-051502_8537-0200.qvimg").string() +
                                           "': " + reason + "."});
        EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 0);
        EXPECT_TRUE(rig.program.Images().LastBackup().empty());
        EXPECT_TRUE(rig.Settle());  // the adjustment goes on
    }
    disk.fault = test::FailingFileWrites::Fault::None;
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.program.Images().LastBackup(), backups / "20261207-051502_8537-0200.qvimg");
    EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1);
}

// quorvane-clone's terminal on the in-process stand-in: it keeps what was said, answers the
// question, and runs each operation on the hand-set clock; it can cut one operation part way
// through (the port goes, unless cut says otherwise).
class RigTerminal final : public ICloneTerminal {
  public:
    explicit RigTerminal(test::SimRig& sim) : sim_(sim) {}
    void Say(const std::string& text) override { said.push_back(text); }
    void Complain(const std::string& text) override { complained.push_back(text); }
    bool Ask(const std::string& question) override {
        asked.push_back(question);
        return answer;
    }
    void RunToEnd(CloneSession& session, const char* what) override {
        while (session.Running()) {
            sim_.Advance(50);
            session.Tick();
            if (cutAt > 0 && what == cutWhile && session.Progress() >= cutAt) {
                cutAt = 0;
                sentAtCut = SentFrames();
                cut(session);
            }
        }
    }
    // The frames the program has sent so far.
    std::vector<std::string> SentFrames() const {
        std::vector<std::string> out;
        std::istringstream in(trace.str());
        for (std::string line; std::getline(in, line);) {
            if (line.find("PC>TR") != std::string::npos) {
                out.push_back(line.substr(line.find("| ") + 2));
            }
        }
        return out;
    }

    std::ostringstream trace;
    bool answer = false;
    double cutAt = 0;
    std::string cutWhile = "writing";
    std::function<void(CloneSession&)> cut = [](CloneSession& session) {
        session.Com().OnComm(CommEvent::DeviceLost);
    };
    std::vector<std::string> sentAtCut;
    std::vector<std::string> said, complained, asked;

  private:
    test::SimRig& sim_;
};

struct CommandRig {
    explicit CommandRig(sim::TamskorConfig config, const fs::path& data)
        : sim(std::move(config)),
          terminal(sim),
          wire(terminal.trace),
          session(sim.serial, sim.clock, 1),
          policy(data / "backups"),
          commands({session, terminal, wallClock, policy, "/dev/ttyUSB0"}) {
        sim.transceiver.SetTrace(&wire);
    }
    test::SimRig sim;
    RigTerminal terminal;
    sim::WireTrace wire;
    test::FixedWallClock wallClock;
    CloneSession session;
    ImagePolicy policy;
    CloneCommands commands;
};

TEST(ImageWrite, TheCommandLineAsksJudgesAndFailsInTheWindowsWords) {
    test::TempDir data;
    const fs::path backups = data.path() / "backups";
    sim::TamskorConfig unstored;
    ASSERT_FALSE(unstored.faults.Parse("unstored-byte:3"));
    CommandRig rig(unstored, data.path());
    rig.sim.transceiver.Image().Byte(0x0020, 0x11);
    Bytes image = rig.sim.transceiver.Image().data();
    image[0x0020] = 0xEE;
    ImageOrigin otherSub = kOrigin;
    otherSub.identity.sub = 0x0300;
    const fs::path file = data.path() / "other.qvimg";
    ASSERT_TRUE(SaveImageFile(file, image, otherSub).ok());

    // No: nothing goes out after the read.
    EXPECT_EQ(rig.commands.Write(file.string(), false), 1);
    const std::string question =
        "Write the EEPROM image 'other.qvimg' to the transceiver?\n\nImage: model 8537, sub "
        "0300, revision 04, read 2026-12-07 00:00:00 UTC\nTransceiver: model 8537, sub 0200, "
        "revision 04\n\nThe image was read from a transceiver with another sub identifier.";
    EXPECT_EQ(rig.terminal.asked,
              std::vector<std::string>{question + "\n\nDevice: /dev/ttyUSB0\n[y/N] "});
    EXPECT_EQ(rig.terminal.complained,
              (std::vector<std::string>{
                  "backup: " + (backups / "20261207-051502_8537-0200.qvimg").string(),
                  "Nothing was written."}));
    EXPECT_EQ(
        rig.terminal.SentFrames(),
        (std::vector<std::string>{"E0 identify model 8537", "E2 clone read model 8537 sub 0200"}));

    // Yes: written, read back (and kept, as every read is) and judged as the window judges.
    rig.terminal.answer = true;
    rig.terminal.complained.clear();
    EXPECT_EQ(rig.commands.Write(file.string(), false), 1);
    EXPECT_EQ(rig.terminal.complained,
              (std::vector<std::string>{
                  "backup: " + (backups / "20261207-051502_8537-0200-2.qvimg").string(),
                  "backup: " + (backups / "20261207-051502_8537-0200-3.qvimg").string(),
                  "The EEPROM image was written, but the transceiver holds other bytes at:\n"
                  "0020: image EE, transceiver 11"}));
    EXPECT_EQ(rig.commands.Read((data.path() / "read.qvimg").string()), 0);
    EXPECT_EQ(rig.terminal.complained.back(),
              "backup: " + (backups / "20261207-051502_8537-0200-4.qvimg").string());

    // Half way through the write the port goes, or a run-time error stops it; half way through
    // the read after it the port goes. One message, and nothing on the line after it. --yes
    // writes without asking but still says the question's warning.
    const fs::path plain = data.path() / "plain.bin";
    std::ofstream(plain, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    const std::string sub = "The image was read from a transceiver with another sub identifier.";
    const std::string unknown = "Nothing in the file says which transceiver it was read from.";
    for (int c = 0; c < 3; ++c) {
        test::TempDir other;
        CommandRig cut({}, other.path());
        const fs::path backup = other.path() / "backups" / "20261207-051502_8537-0200.qvimg";
        const struct {
            const char* what;
            bool runtime;
            const fs::path& file;
            std::string warning;
            std::string message;
        } cases[] = {
            {"writing", false, file, sub,
             "Cannot access COM 1." + kTail + "\n\n" + Partial("other.qvimg", backup)},
            {"writing", true, plain, unknown,
             "Run-time error: Overflow in tick\n\n" + Partial("plain.bin", backup)},
            {"reading back", false, plain, unknown,
             "Cannot access COM 1." + kTail + "\n\n" + NotReadBack("plain.bin")},
        };
        cut.terminal.cutAt = 0.5;
        cut.terminal.cutWhile = cases[c].what;
        if (cases[c].runtime) {
            // As the port form's guard hands on an error that escapes a tick.
            cut.terminal.cut = [](CloneSession& session) {
                session.TickError(RuntimeError(ErrorKind::Overflow, "Overflow in tick"));
            };
        }
        EXPECT_EQ(cut.commands.Write(cases[c].file.string(), true), 1) << c;
        EXPECT_EQ(cut.terminal.complained,
                  (std::vector<std::string>{"backup: " + backup.string(), cases[c].warning,
                                            "/dev/ttyUSB0: " + cases[c].message}))
            << c;
        EXPECT_TRUE(cut.terminal.asked.empty()) << c;
        cut.sim.Advance(5000);
        const std::vector<std::string> sent = cut.terminal.SentFrames();
        // While writing, only the record that was already on its way when the write stopped.
        ASSERT_EQ(sent.size(), cut.terminal.sentAtCut.size() + (c < 2 ? 1 : 0)) << c;
        if (c < 2) {
            EXPECT_EQ(sent.back(), "E4 record address 3FF0 bytes 16 checksum ok") << c;
        }
        // The stand-in takes a write whole once it has ended: only a read-back finds it.
        EXPECT_EQ(cut.sim.transceiver.Image().Byte(0x0020) == 0xEE, c == 2) << c;
        EXPECT_TRUE(cut.terminal.said.empty()) << c;
    }
}

}  // namespace
}  // namespace quorvane
