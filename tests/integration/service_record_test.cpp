// The service record of whole sessions over the in-process stand-in: what the journal says
// went out against what went over the wire, and the record's files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/host_system.h"
#include "rig/known_image.h"
#include "rig/program_rig.h"
#include "support/failing_file_writes.h"
#include "support/file_text.h"
#include "support/record_session.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

class ServiceRecord : public ::testing::Test {
  protected:
    ServiceRecord() { program().MainWindow().Form_Load(); }

    Program& program() { return rig.program; }
    void Key(Int16 item, Int16 keyCode) {
        rig.form.lboConsole.listIndex = item;
        program().MainWindow().lboConsole_KeyDown(keyCode, 0);
    }
    // Saves through File > "Save service record..." at name in the backups folder.
    std::string SaveAs(const std::string& name) {
        rig.form.fileDialog.nextPath = (backups / name).string();
        program().MainWindow().mnuFileRecord_Click();
        return test::ReadFile((backups / name).string());
    }
    // The value frames the journal says were sent, as the stand-in's trace names them.
    std::vector<std::string> JournalSends() {
        std::vector<std::string> out;
        for (const JournalEntry& e : rig.program.Records().Session()->Journal()) {
            if (const auto* send = std::get_if<JournalSend>(&e.what)) {
                const SentValue& sent = send->sent;
                char frame[40];
                std::snprintf(
                    frame, sizeof frame,
                    sent.subCommand == 0 ? "E8 sub %02X channel %d" : "E8 sub %02X value 0x%02X",
                    sent.subCommand, sent.data);
                out.push_back(frame);
            }
        }
        return out;
    }
    // The value frames on the wire: every E8 but the adjust mode and the readout requests.
    std::vector<std::string> WireSends() {
        std::vector<std::string> out;
        for (const std::string& f : rig.SentFrames()) {
            const std::string frame = f.substr(0, f.find(" ("));
            if (frame.rfind("E8 sub", 0) == 0 && frame.rfind("E8 sub 03", 0) != 0 &&
                frame.rfind("E8 sub 02", 0) != 0) {
                out.push_back(frame);
            }
        }
        return out;
    }

    test::TempDir folder;
    const fs::path backups = folder.path() / "backups";
    test::FailingFileWrites disk;
    test::ProgramRig rig{{}, test::KnownImage(), folder.path().string(), &disk};
};

TEST_F(ServiceRecord, AKeysSweepLvaAndRssiSessionIsRecordedAsTheWireSawIt) {
    program().Tick();
    EXPECT_FALSE(rig.form.mnuFileRecord.enabled);  // nothing read yet
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.form.mnuFileRecord.enabled);
    ASSERT_TRUE(test::RunRecordSession(rig));
    EXPECT_EQ(JournalSends(), WireSends());

    const std::string record = SaveAs("bench.txt");
    const char* port = kThisSystem == HostSystem::Windows ? "Port         COM 1 (COM1)\n"
                                                          : "Port         COM 1 (/dev/ttyS0)\n";
    for (const char* line :
         {port, "Transceiver  model 8537, sub 0200, revision 04\n",
          ".qvimg\n\nAdjustment items   as read   now\n  CH No.",
          "  Power(L2)         153   155  changed\n", "  RX LVA            114    58  changed\n",
          "  BPF T1             90    90\n",
          "   2                  POW L2 Level:  153 |                 POW L2 Level:  155\n",
          "  65                 RSSI S1 Level:   43 |                RSSI S1 Level:  220\n",
          "05:15:02  key     Power(L2)    153 ->  155   E8 0A 9B  at 129\n",
          "05:15:02  sweep   BPF T1 swept: kept 90 (best SD reading 220)\n",
          "05:15:02  LVA     RX LVA        60 ->   58   E8 06 3A  at 60\n",
          "05:15:02  LVA     RX LVA adjusted to 58 (target 60, LVIN 60)\n",
          "05:15:02  RSSI    RSSI S3 level stored: 220\n", "  SD   :220:DCh:  4.31V\n",
          "Converter readouts, as last shown\n  [A/D]\n", "\n  [D/A]\n"}) {
        EXPECT_NE(record.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(record.find("No value was changed"), std::string::npos);
    EXPECT_EQ(test::ReadFile((backups / "bench.csv").string()),
              "kind,name,as read,now\r\nitem,Power(L2),153,155\r\nitem,RX LVA,114,58\r\n"
              "item,LV(RX LVA),100,60\r\nparameter,POW L2 Level,153,155\r\n"
              "parameter,RX LVA Level,114,58\r\nparameter,RSSI S1 Level,43,220\r\n"
              "parameter,RSSI S3 Level,118,220\r\n");
    // The page says the same, with the runs named (this rig draws no chart).
    const std::string page = test::ReadFile((backups / "bench.html").string());
    EXPECT_EQ(page.find("No value was changed"), std::string::npos);
    for (const char* html :
         {"<tr class=\"changed\"><td>Power(L2)</td><td class=\"n\">153</td><td class=\"n\">155</td>"
          "<td class=\"mark\">changed</td></tr>\n",
          "<tr><td class=\"n\">65</td><td>RSSI S1 Level</td><td class=\"n\">43</td>"
          "<td class=\"n\">220</td></tr>\n",
          kThisSystem == HostSystem::Windows
              ? "<tr><th>Port</th><td>COM 1 (COM1)</td></tr>\n"
              : "<tr><th>Port</th><td>COM 1 (/dev/ttyS0)</td></tr>\n",
          "SD   :220:DCh:  4.31V\n",
          "05:15:02  key     Power(L2)    153 -&gt;  155   E8 0A 9B  at 129\n",
          "<figcaption>05:15:02  BPF T1 sweep</figcaption>\n<p>BPF T1 swept: kept 90 (best SD "
          "reading 220); 256 readings, not drawn.</p>",
          "<figcaption>05:15:02  RX LVA adjustment</figcaption>\n<p>RX LVA adjusted to 58 (target "
          "60, LVIN 60); 9 readings, not drawn.</p>",
          "<td>RSSI S1 level stored: 220</td>",
          "@page { @bottom-left { content: \"Service record, model 8537, sub 0200, revision 04, "
          "2026-12-07 05:15:02 UTC\";"}) {
        EXPECT_NE(page.find(html), std::string::npos) << html;
    }

    // Saving again never overwrites: the same name is refused, the dialog proposes the next.
    rig.form.fileDialog.nextPath = (backups / "bench.txt").string();
    program().MainWindow().mnuFileRecord_Click();
    EXPECT_EQ(rig.form.messageBox.texts.back(),
              "Cannot save the service record '" + (backups / "bench.txt").string() +
                  "': a file of that name exists, and records are never overwritten.");
    EXPECT_EQ(test::ReadFile((backups / "bench.txt").string()), record);
}

TEST_F(ServiceRecord, AChangedSessionIsSavedBesideItsBackupWhenAnotherRadioOrTheExitEndsIt) {
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    Key(test::kPowerL2Item, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    const fs::path first = backups / "20261207-051502_8537-0200-record.txt";
    // The same radio again: the session goes on.
    ASSERT_TRUE(rig.Connect());
    EXPECT_FALSE(fs::exists(first));

    rig.Replug();
    rig.wallClock.now += std::chrono::seconds{60};
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_NE(test::ReadFile(first.string()).find("  Power(L2)         153   154  changed\n"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(backups / "20261207-051502_8537-0200-record.csv"));
    EXPECT_TRUE(fs::exists(backups / "20261207-051502_8537-0200-record.html"));

    // Nothing changed on the second radio: its record says so, and the exit saves none.
    EXPECT_NE(SaveAs("unchanged.txt").find("No value was changed in this session.\n"),
              std::string::npos);
    EXPECT_NE(test::ReadFile((backups / "unchanged.html").string())
                  .find("<p class=\"note\">No value was changed in this session.</p>"),
              std::string::npos);
    // A dead line: the message shown goes into the journal, and still nothing was changed.
    sim::TamskorConfig dead;
    dead.faults.Add(sim::Fault::NoAnswer, 0);
    rig.Replug(std::move(dead));
    program().MainWindow().Form_KeyDown(vbKeyF5, 0);
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 5000));
    const JournalEntry& shown = program().Records().Session()->Journal().back();
    ASSERT_TRUE(std::holds_alternative<JournalMessage>(shown.what));
    EXPECT_EQ(std::get<JournalMessage>(shown.what).text, rig.form.messageBox.texts.back());
    program().ShutdownCom();
    EXPECT_FALSE(fs::exists(backups / "20261207-051602_8537-0200-record.txt"));
}

TEST_F(ServiceRecord, TheExitSavesAChangedSessionWholeOrSaysWhyNot) {
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    Key(test::kPowerL2Item, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    const fs::path record = backups / "20261207-051502_8537-0200-record.txt";
    disk.fault = test::FailingFileWrites::Fault::FullDisk;
    rig.form.messageBox.texts.clear();
    program().ShutdownCom();
    EXPECT_EQ(rig.form.messageBox.texts,
              std::vector<std::string>{"Cannot save the service record '" + record.string() +
                                       "': No space left on device."});
    // The backup alone: neither half of the record, nor a temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1);

    disk.fault = test::FailingFileWrites::Fault::None;
    program().ShutdownCom();
    EXPECT_NE(test::ReadFile(record.string()).find("  Power(L2)         153   154  changed\n"),
              std::string::npos);
    EXPECT_EQ(test::ReadFile((backups / "20261207-051502_8537-0200-record.csv").string()),
              "kind,name,as read,now\r\nitem,Power(L2),153,154\r\n"
              "parameter,POW L2 Level,153,154\r\n");
}

}  // namespace
}  // namespace quorvane
