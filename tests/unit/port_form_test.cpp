#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/line_settings.h"
#include "serial/port_form.h"
#include "support/fake_serial_control.h"

namespace quorvane {
namespace {

using Journal = std::vector<std::string>;

// A link driver that only writes what it is asked into the journal.
class JournalDriver final : public ILinkDriverPort {
  public:
    explicit JournalDriver(Journal& j) : journal(&j) {}
    Journal* journal;
    bool failed = false;
    Bytes received;
    bool throwOnRead = false;
    bool throwStdOnRead = false;
    bool throwOnReset = false;
    void read(const Bytes& data) override {
        journal->push_back("read");
        received.insert(received.end(), data.begin(), data.end());
        if (throwOnRead) {
            raiseOverflow("test");
        }
        if (throwStdOnRead) {
            throw std::length_error("vector too long");
        }
    }
    void task() override { journal->push_back("driver task"); }
    void Reset() override {
        journal->push_back("driver reset");
        failed = false;
        if (throwOnReset) {
            throwOnReset = false;
            raiseIndexOutOfRange("test");
        }
    }
    void ClearRxBuffer() override { journal->push_back("clear rx"); }
    bool linkFailed() const override { return failed; }
};

// A main window whose error report does not reset anything, so the tick's own close shows.
class JournalWindow final : public ITickClient, public ISaveSettings {
  public:
    explicit JournalWindow(Journal& j) : journal(&j) {}
    Journal* journal;
    std::function<void()> onTask;
    std::vector<std::string> errors;
    void task() override {
        journal->push_back("main task");
        if (onTask) {
            onTask();
        }
    }
    void MsgBoxCloneErr() override { journal->push_back("error report"); }
    void TickError(const std::exception& e) override {
        journal->push_back("tick error");
        errors.push_back(e.what());
    }
    void SaveSettings() override { journal->push_back("save settings"); }
};

class PortForm : public ::testing::Test {
  protected:
    Journal journal;
    test::FakeSerialControl port;
    frmCom com{port};
    JournalDriver driver{journal};
    JournalWindow window{journal};

    void SetUp() override {
        port.journal = &journal;
        com.vep3D(&driver);
        com.tickClient(&window);
        com.settingsSaver(&window);
        com.timSolidEnabled(true);
        journal.clear();
    }
};

TEST_F(PortForm, ResetAppliesTheConfiguration) {
    EXPECT_FALSE(com.comOpen());
    EXPECT_EQ(com.comPortNum(), 1);
    EXPECT_EQ(com.comBaud(), 9600);
    EXPECT_TRUE(port.dtr);
    EXPECT_TRUE(port.rts);
    EXPECT_EQ(port.inBufferSize, 32760);
    EXPECT_EQ(port.OutBufferSize(), 1024);
    EXPECT_EQ(port.rThreshold, 1);
    EXPECT_EQ(port.sThreshold, 0);
    EXPECT_EQ(port.inputLen, 0);
    EXPECT_EQ(port.inputMode, 1);
    EXPECT_EQ(port.sink(), &com);

    com.HighSpeedBRatioSet();
    EXPECT_EQ(com.comBaud(), 38400);
    EXPECT_EQ(port.rThreshold, 1024);
    com.Reset();
    EXPECT_EQ(com.comBaud(), 9600);
    EXPECT_EQ(port.rThreshold, 1);

    // A faster line for measurements keeps everything else, the arrival tick included.
    EXPECT_EQ(com.resetBaud(), 9600);
    com.resetBaud(38400);
    com.Reset();
    EXPECT_EQ(com.comBaud(), 38400);
    EXPECT_EQ(port.rThreshold, 1);
    com.comOpen(true);
    EXPECT_EQ(port.Settings(), "38400,N,8,1");
    com.comOpen(false);
    com.resetBaud(9600);
    com.Reset();
    EXPECT_EQ(com.comBaud(), 9600);
}

TEST_F(PortForm, PortNumberRange) {
    for (Int16 n : {5, 0, 11}) {
        com.comPortNum(n);
    }
    EXPECT_EQ(com.comPortNum(), 5);
    com.comPortNum(10);
    EXPECT_EQ(com.comPortNum(), 10);
}

TEST_F(PortForm, OpenHandsPortAndLineSettingsToTheControl) {
    com.comPortNum(3);
    com.comOpen(true);
    EXPECT_TRUE(com.comOpen());
    EXPECT_TRUE(com.comSendEnable());
    EXPECT_EQ(port.CommPort(), 3);
    EXPECT_EQ(port.Settings(), "9600,N,8,1");
    EXPECT_EQ(journal, (Journal{"CommPort 3", "Settings 9600,N,8,1", "ClearOutBuffer", "PortOpen 1",
                                "driver reset"}));

    com.comOpen(false);
    com.comBaud(38400);
    com.comOpen(true);
    EXPECT_EQ(port.Settings(), "38400,N,8,1");
}

TEST_F(PortForm, OpeningAnOpenPortClearsTheQueueAndResetsTheDriverOnly) {
    com.comOpen(true);
    journal.clear();
    com.comOpen(true);
    EXPECT_EQ(journal, (Journal{"ClearOutBuffer", "driver reset"}));
    EXPECT_EQ(port.opens, 1);
    EXPECT_FALSE(com.errCannotOpen());
}

TEST_F(PortForm, FailedOpenIsLatched) {
    port.failOpen = true;
    com.comOpen(true);
    EXPECT_FALSE(com.comOpen());
    EXPECT_TRUE(com.errCannotOpen());
    EXPECT_TRUE(com.totalError());
    EXPECT_EQ(journal.back(), "driver reset");
    com.Reset();
    EXPECT_FALSE(com.errCannotOpen());
    EXPECT_FALSE(com.totalError());

    // Line settings the control refuses: the port is not opened with stale ones.
    port.failOpen = false;
    com.comBaud(-5);
    com.comOpen(true);
    EXPECT_FALSE(com.comOpen());
    EXPECT_TRUE(com.errCannotOpen());
}

TEST_F(PortForm, ClearingTheQueueOfAClosedPortIsNoOpenFailureAndDriverErrorsCount) {
    port.failClearOutBuffer = true;
    com.comOpen(true);
    EXPECT_TRUE(com.comOpen());
    EXPECT_FALSE(com.errCannotOpen());
    driver.failed = true;
    EXPECT_TRUE(com.totalError());
}

TEST_F(PortForm, CommunicationEvents) {
    com.comOpen(true);
    journal.clear();

    com.OnComm(CommEvent::Receive);  // nothing queued: no tick
    EXPECT_TRUE(journal.empty());
    port.Queue({1, 2, 3});
    com.OnComm(CommEvent::Receive);
    EXPECT_EQ(driver.received, (Bytes{1, 2, 3}));
    EXPECT_EQ(journal[1], "read");

    for (CommEvent e : {CommEvent::Break, CommEvent::CtsTimeout, CommEvent::DsrTimeout,
                        CommEvent::Frame, CommEvent::Overrun, CommEvent::CdTimeout,
                        CommEvent::RxParity, CommEvent::TxFull, CommEvent::Dcb}) {
        journal.clear();
        com.OnComm(e);
        EXPECT_EQ(journal, Journal{"clear rx"});
    }
    journal.clear();
    com.OnComm(static_cast<CommEvent>(3));  // unknown: nothing
    EXPECT_TRUE(journal.empty());

    com.OnComm(CommEvent::RxOver);
    EXPECT_TRUE(com.errOverflow());
    EXPECT_FALSE(com.comOpen());
    com.comOpen(true);
    EXPECT_TRUE(com.errOverflow());  // survives until Reset
    com.Reset();
    EXPECT_FALSE(com.errOverflow());

    com.comOpen(true);
    port.PortOpen(false);  // the control closed the vanished device itself
    com.OnComm(CommEvent::DeviceLost);
    EXPECT_TRUE(com.errCannotOpen());
    EXPECT_FALSE(com.comOpen());
}

TEST_F(PortForm, ArrivalTickGoesThroughTheCallersRunnerWhenOneIsSet) {
    com.comOpen(true);
    int runs = 0;
    com.receiveTickRunner([&] { ++runs; });
    journal.clear();
    port.Queue({7});
    com.OnComm(CommEvent::Receive);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(journal.empty());  // the runner decides whether the tick runs now
    EXPECT_TRUE(driver.received.empty());
    com.OnComm(CommEvent::RxOver);  // other events are still handled here
    EXPECT_TRUE(com.errOverflow());
    EXPECT_EQ(runs, 1);
}

TEST_F(PortForm, TickRunsItsStagesInOrder) {
    com.comOpen(true);
    port.Queue({0x42});
    window.onTask = [&] { driver.failed = true; };
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"Input", "read", "driver task", "main task", "error report",
                                "ClearOutBuffer", "PortOpen 0", "driver reset"}));
    EXPECT_FALSE(com.comOpen());

    // Nothing queued and no error: only the two steps.
    window.onTask = nullptr;
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"driver task", "main task"}));
}

TEST_F(PortForm, TickDoesNotReenterAndStopsWhenDisabled) {
    window.onTask = [&] { com.timSolid_Timer(); };
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"driver task", "main task"}));

    bool listenerState = true;
    com.timSolidEnabledListener([&](bool on) { listenerState = on; });
    com.comOpen(true);
    journal.clear();
    com.Form_Unload();
    EXPECT_FALSE(com.comOpen());
    EXPECT_FALSE(com.timSolidEnabled());
    EXPECT_FALSE(listenerState);
    journal.clear();
    com.timSolid_Timer();
    EXPECT_TRUE(journal.empty());
}

TEST_F(PortForm, RuntimeErrorInATickGoesToTheWindow) {
    com.comOpen(true);
    port.Queue({1});
    driver.throwOnRead = true;
    com.timSolid_Timer();
    EXPECT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(journal.back(), "tick error");
    // The next tick runs normally.
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"driver task", "main task"}));
}

TEST_F(PortForm, AnyStandardExceptionInATickOrAnEventGoesToTheWindow) {
    com.comOpen(true);
    port.Queue({1});
    driver.throwStdOnRead = true;
    port.Fire(CommEvent::Receive);  // the arrival tick
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0], "vector too long");
    driver.throwStdOnRead = false;

    // An overflow event closes the port outside a tick; what fails there is reported too.
    driver.throwOnReset = true;
    port.Fire(CommEvent::RxOver);
    ASSERT_EQ(window.errors.size(), 2u);
    EXPECT_TRUE(com.errOverflow());
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal.back(), "error report");

    // With no window wired there is no one to tell: the exception goes on to the caller.
    com.tickClient(nullptr);
    driver.throwOnReset = true;
    EXPECT_THROW(port.Fire(CommEvent::DeviceLost), RuntimeError);
}

TEST_F(PortForm, AllOverClosesBeforeSaving) {
    com.comOpen(true);
    journal.clear();
    com.AllOver();
    EXPECT_EQ(journal, (Journal{"ClearOutBuffer", "PortOpen 0", "driver reset", "save settings"}));
}

TEST(LineSettings, ParsesOrRefuses) {
    auto s = ParseLineSettings("9600,N,8,1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baud, 9600);
    EXPECT_EQ(s->parity, 'N');
    EXPECT_EQ(s->dataBits, 8);
    EXPECT_EQ(s->stopBits, LineSettings::StopBits::One);
    s = ParseLineSettings("38400,e,7,1.5");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baud, 38400);
    EXPECT_EQ(s->parity, 'E');
    EXPECT_EQ(s->stopBits, LineSettings::StopBits::OnePointFive);
    for (const char* bad :
         {"", "9600", "9600,N,8", "9600,N,8,1,", "-5,N,8,1", "0,N,8,1", "96OO,N,8,1", "9600,X,8,1",
          "9600,N,9,1", "9600,N,8,3", "9600,NN,8,1", "9999999999,N,8,1", " 9600,N,8,1"}) {
        EXPECT_FALSE(ParseLineSettings(bad)) << bad;
    }
}

}  // namespace
}  // namespace quorvane
