#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "serial/port_form.h"
#include "support/fake_serial_control.h"

namespace quorvane {
namespace {

using Journal = std::vector<std::string>;

// The driver and the main window as the port form sees them: each call goes into the port's
// journal of calls, so the order of everything a tick does shows in one list.
struct Driver final : ILinkDriverPort {
    explicit Driver(Journal& j) : journal(&j) {}
    Journal* journal;
    bool failed = false;
    Bytes received;
    bool throwOnRead = false;
    void read(const Bytes& data) override {
        journal->push_back("read");
        received.insert(received.end(), data.begin(), data.end());
        if (std::exchange(throwOnRead, false)) {
            throw std::length_error("vector too long");
        }
    }
    void task() override { journal->push_back("driver task"); }
    void Reset() override {
        journal->push_back("driver reset");
        failed = false;
    }
    void ClearRxBuffer() override { journal->push_back("clear rx"); }
    bool linkFailed() const override { return failed; }
};

struct Window final : ITickClient, ISaveSettings {
    explicit Window(Journal& j) : journal(&j) {}
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
    test::FakeSerialControl port;
    Journal& journal = port.calls;
    frmCom com{port};
    Driver driver{journal};
    Window window{journal};

    void SetUp() override {
        com.vep3D(&driver);
        com.tickClient(&window);
        com.settingsSaver(&window);
        com.timSolidEnabled(true);
        journal.clear();
    }
};

TEST_F(PortForm, ResetAppliesTheConfigurationAndOpenHandsItToTheControl) {
    com.HighSpeedBRatioSet();
    EXPECT_EQ(journal[7] + " " + std::to_string(com.comBaud()), "RThreshold 1024 38400");
    com.resetBaud(38400);  // a faster line for measurements keeps the arrival tick
    journal.clear();
    com.Reset();
    EXPECT_EQ(std::tuple(com.comOpen(), com.comPortNum(), com.comBaud()),
              std::tuple(false, Int16{1}, 38400));
    EXPECT_EQ(journal,
              (Journal{"ClearOutBuffer", "driver reset", "DTREnable 1", "InBufferSize 32760",
                       "InputLen 0", "InputMode 1", "OutBufferSize 1024", "RThreshold 1",
                       "RTSEnable 1", "SThreshold 0"}));
    for (Int16 n : {10, 0, 11}) {
        com.comPortNum(n);  // 1..10 only
    }
    journal.clear();
    com.comOpen(true);
    EXPECT_TRUE(com.comSendEnable());
    EXPECT_EQ(journal, (Journal{"CommPort 10", "Settings 38400,N,8,1", "ClearOutBuffer",
                                "PortOpen 1", "driver reset"}));
    journal.clear();
    com.comOpen(true);  // already open: the queue is cleared and the driver reset, no more
    EXPECT_EQ(journal, (Journal{"ClearOutBuffer", "driver reset"}));
    driver.failed = true;
    EXPECT_TRUE(com.totalError());
}

TEST_F(PortForm, FailedOpenIsLatchedUntilReset) {
    port.failClearOutBuffer = true;  // on a closed port that is no failure of the open
    port.failOpen = true;
    com.comOpen(true);
    EXPECT_FALSE(com.comOpen());
    EXPECT_TRUE(com.errCannotOpen() && com.totalError());
    EXPECT_EQ(journal.back(), "driver reset");
    com.Reset();
    EXPECT_FALSE(com.totalError());
    port.failOpen = false;
    com.comOpen(true);
    EXPECT_TRUE(com.comOpen() && !com.errCannotOpen());
    com.comOpen(false);
    com.comBaud(-5);  // line settings the control refuses: not opened with stale ones
    com.comOpen(true);
    EXPECT_TRUE(!com.comOpen() && com.errCannotOpen());
}

TEST_F(PortForm, CommunicationEvents) {
    com.comOpen(true);
    journal.clear();
    com.OnComm(CommEvent::Receive);  // nothing queued: no tick
    EXPECT_TRUE(journal.empty());
    port.Queue({1, 2, 3});
    com.OnComm(CommEvent::Receive);
    EXPECT_EQ(driver.received, (Bytes{1, 2, 3}));
    for (CommEvent e : {CommEvent::Break, CommEvent::CtsTimeout, CommEvent::DsrTimeout,
                        CommEvent::Frame, CommEvent::Overrun, CommEvent::CdTimeout,
                        CommEvent::RxParity, CommEvent::TxFull, CommEvent::Dcb}) {
        journal.clear();
        com.OnComm(e);
        EXPECT_EQ(journal, Journal{"clear rx"});
    }
    com.OnComm(CommEvent::RxOver);
    EXPECT_TRUE(com.errOverflow() && !com.comOpen());
    com.comOpen(true);
    EXPECT_TRUE(com.errOverflow());  // survives until Reset
    com.Reset();
    EXPECT_FALSE(com.errOverflow());
    com.comOpen(true);
    com.OnComm(CommEvent::DeviceLost);
    EXPECT_TRUE(com.errCannotOpen() && !com.comOpen());
}

TEST_F(PortForm, TickRunsItsStagesInOrderOnceAtATime) {
    com.comOpen(true);
    port.Queue({0x42});
    window.onTask = [&] { driver.failed = true; };
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"Input", "read", "driver task", "main task", "error report",
                                "ClearOutBuffer", "PortOpen 0", "driver reset"}));
    window.onTask = [&] { com.timSolid_Timer(); };  // a tick inside a tick does nothing
    journal.clear();
    com.timSolid_Timer();
    EXPECT_EQ(journal, (Journal{"driver task", "main task"}));

    bool listenerState = true;
    com.timSolidEnabledListener([&](bool on) { listenerState = on; });
    com.comOpen(true);
    com.Form_Unload();
    EXPECT_FALSE(com.comOpen() || com.timSolidEnabled() || listenerState);
    journal.clear();
    com.timSolid_Timer();
    EXPECT_TRUE(journal.empty());
}

TEST_F(PortForm, AnyStandardExceptionInATickGoesToTheWindow) {
    com.comOpen(true);
    port.Queue({1});
    driver.throwOnRead = true;
    com.OnComm(CommEvent::Receive);  // the arrival tick
    EXPECT_EQ(window.errors, std::vector<std::string>{"vector too long"});
    journal.clear();
    com.timSolid_Timer();  // the next tick runs normally
    EXPECT_EQ(journal, (Journal{"driver task", "main task"}));
}

}  // namespace
}  // namespace quorvane
