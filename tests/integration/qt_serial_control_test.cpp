#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "qt/qt_serial_control.h"
#include "serial/port_form.h"

namespace quorvane {
namespace {

// Runs the event loop until cond holds or the deadline passes; the deadline only bounds a
// failing test, it is never what the test asserts.
bool PumpUntil(const std::function<bool()>& cond, int deadlineMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > deadlineMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The far end of a pseudo-terminal, standing in for the cable.
class Pty {
  public:
    Pty() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            return;
        }
        path_ = name;
        // The device stays usable while only the program has it open.
        ::close(slave_);
        slave_ = -1;
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { CloseMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !path_.empty(); }
    const std::string& path() const { return path_; }
    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    void Write(const Bytes& b) {
        std::size_t done = 0;
        while (done < b.size()) {
            const ssize_t n = ::write(master_, b.data() + done, b.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                PumpUntil([] { return true; });  // let the program drain the line
            }
        }
    }
    // Everything readable now.
    Bytes ReadAvailable() {
        Bytes out;
        std::uint8_t buf[4096];
        for (;;) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

class RecordingSink final : public ISerialEventSink {
  public:
    std::vector<CommEvent> events;
    void OnComm(CommEvent e) override { events.push_back(e); }
    int Count(CommEvent e) const {
        return static_cast<int>(std::count(events.begin(), events.end(), e));
    }
};

class QtSerial : public ::testing::Test {
  protected:
    Pty pty;
    std::string mapped;
    QtSerialControl control{[this](std::int16_t n) { return n == 3 ? mapped : std::string(); }};
    RecordingSink sink;

    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        mapped = pty.path();
        control.SetEventSink(&sink);
        control.InBufferSize(32760);
        control.OutBufferSize(1024);
        control.RThreshold(1);
        control.DTREnable(true);
        control.RTSEnable(true);
        ASSERT_TRUE(control.CommPort(3));
        ASSERT_TRUE(control.Settings("9600,N,8,1"));
    }
};

TEST_F(QtSerial, OpensByPathAndMovesBytesBothWays) {
    EXPECT_FALSE(control.Settings("9600,X,8,1"));
    EXPECT_EQ(control.Settings(), "9600,N,8,1");
    ASSERT_TRUE(control.PortOpen(true));
    EXPECT_TRUE(control.PortOpen());
    EXPECT_FALSE(control.CommPort(4));  // not while open

    const Bytes in{0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x00, 0xFD};
    pty.Write(in);
    ASSERT_TRUE(PumpUntil([&] { return control.InBufferCount() == 7; }));
    EXPECT_GE(sink.Count(CommEvent::Receive), 1);
    EXPECT_EQ(control.Input(), in);
    EXPECT_EQ(control.InBufferCount(), 0);

    const Bytes out{0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x85, 0x37, 0x00, 0x00, 0xFD};
    ASSERT_TRUE(control.Output(out));
    Bytes got;
    ASSERT_TRUE(PumpUntil([&] {
        const Bytes more = pty.ReadAvailable();
        got.insert(got.end(), more.begin(), more.end());
        return got.size() >= out.size();
    }));
    EXPECT_EQ(got, out);
    EXPECT_TRUE(PumpUntil([&] { return control.OutBufferCount() == 0; }));
    EXPECT_TRUE(control.PortOpen(false));
    EXPECT_FALSE(control.PortOpen());
}

TEST_F(QtSerial, BackToBackFramesWithAReopenBetweenArriveWhole) {
    frmCom com(control);
    com.comPortNum(3);
    com.comOpen(true);
    ASSERT_TRUE(com.comOpen());
    ASSERT_FALSE(com.errCannotOpen());
    Bytes first{0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x85, 0x37, 0x02, 0x00};
    first.insert(first.end(), 200, 0x31);
    first.push_back(0xFD);
    Bytes second = first;
    second[5] = 0x86;
    ASSERT_TRUE(control.Output(first));
    com.comOpen(true);  // what the sequencer does before every command
    ASSERT_TRUE(control.Output(second));
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    Bytes got;
    ASSERT_TRUE(PumpUntil([&] {
        const Bytes more = pty.ReadAvailable();
        got.insert(got.end(), more.begin(), more.end());
        return got.size() >= expected.size();
    }));
    EXPECT_EQ(got, expected);
}

TEST_F(QtSerial, TransmitQueueRefusesWhatDoesNotFit) {
    ASSERT_TRUE(control.PortOpen(true));
    EXPECT_FALSE(control.Output(Bytes(1025, 0x30)));
    ASSERT_TRUE(PumpUntil([&] { return sink.Count(CommEvent::TxFull) == 1; }));
    EXPECT_TRUE(control.PortOpen());
}

TEST_F(QtSerial, MissingDeviceCannotBeOpened) {
    mapped = "/dev/quorvane-no-such-tty";
    frmCom com(control);
    com.comPortNum(3);
    com.comOpen(true);
    EXPECT_FALSE(com.comOpen());
    EXPECT_TRUE(com.errCannotOpen());

    // A port number without a device behind it is the same failure.
    com.Reset();
    com.comPortNum(5);
    com.comOpen(true);
    EXPECT_TRUE(com.errCannotOpen());
}

TEST_F(QtSerial, ReceiveOverflowIsReportedAndBounded) {
    ASSERT_TRUE(control.PortOpen(true));
    control.RThreshold(0);  // nobody reads: the queue only fills
    const Bytes chunk(4096, 0x55);
    int written = 0;
    ASSERT_TRUE(PumpUntil([&] {
        if (written < 20) {
            pty.Write(chunk);
            ++written;
        }
        return sink.Count(CommEvent::RxOver) >= 1;
    }));
    EXPECT_LE(control.InBufferCount(), 32760);
    EXPECT_EQ(sink.Count(CommEvent::Receive), 0);
}

TEST_F(QtSerial, VanishedDeviceIsReportedAndCanBeOpenedAgain) {
    frmCom com(control);
    com.timSolidEnabled(true);
    com.comPortNum(3);
    com.comOpen(true);
    ASSERT_TRUE(com.comOpen());
    pty.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return !control.PortOpen(); }));
    EXPECT_EQ(sink.Count(CommEvent::DeviceLost), 0);  // the port form is the sink now
    EXPECT_TRUE(com.errCannotOpen());
    EXPECT_FALSE(com.comOpen());
    // Nothing keeps firing after the close.
    int before = 0;
    PumpUntil([&] { return ++before > 20; });

    Pty back;
    ASSERT_TRUE(back.ok());
    mapped = back.path();
    com.Reset();
    com.comPortNum(3);
    com.comOpen(true);
    EXPECT_TRUE(com.comOpen());
    EXPECT_FALSE(com.errCannotOpen());
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
