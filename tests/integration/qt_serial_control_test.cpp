// The serial control on a real pseudo-terminal: what QSerialPort does with the bytes, the
// queues and a device that goes away.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt/qt_serial_control.h"
#include "serial/port_form.h"

namespace quorvane {
namespace {

// Runs the event loop until done() holds; the deadline only bounds a failing test.
bool PumpUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return done();
}

// The far end of a pseudo-terminal, standing in for the cable.
struct Pty {
    Pty() {
        char name[256] = {};
        int slave = -1;
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);  // the device stays usable while only the program has it open
            ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
            path = name;
        }
    }
    ~Pty() { Close(); }
    void Close() {
        if (master >= 0) {
            ::close(master);
        }
        master = -1;
    }
    // Reads until n bytes have come.
    Bytes Read(std::size_t n) {
        Bytes got;
        PumpUntil([&] {
            std::uint8_t buf[4096];
            const ssize_t k = ::read(master, buf, sizeof buf);
            got.insert(got.end(), buf, buf + std::max<ssize_t>(k, 0));
            return got.size() >= n;
        });
        return got;
    }
    int master = -1;
    std::string path;
};

struct Sink final : ISerialEventSink {
    std::vector<CommEvent> events;
    void OnComm(CommEvent e) override { events.push_back(e); }
    long Count(CommEvent e) const { return std::count(events.begin(), events.end(), e); }
};

// COM 3 is the pseudo-terminal; the port form configures the control as the program does.
class QtSerial : public ::testing::Test {
  protected:
    bool Open(Int16 port = 3) {
        com.Reset();
        com.comPortNum(port);
        com.comOpen(true);
        return com.comOpen() && !com.errCannotOpen();
    }
    std::unique_ptr<Pty> pty = std::make_unique<Pty>();
    QtSerialControl control{[this](std::int16_t n) { return n == 3 ? pty->path : ""; }};
    frmCom com{control};
    Sink sink;
};

TEST_F(QtSerial, BytesGoBothWaysAndFramesSentAroundAReopenArriveWhole) {
    ASSERT_TRUE(Open());
    control.SetEventSink(&sink);
    EXPECT_FALSE(control.CommPort(4));  // not while open
    const Bytes in{0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x00, 0xFD};
    ASSERT_EQ(::write(pty->master, in.data(), in.size()), 7);
    ASSERT_TRUE(PumpUntil([&] { return control.InBufferCount() == 7; }));
    EXPECT_GE(sink.Count(CommEvent::Receive), 1);
    EXPECT_EQ(control.Input(), in);

    Bytes frame{0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x85, 0x37, 0x02, 0x00};
    frame.insert(frame.end(), 200, 0x31);
    frame.push_back(0xFD);
    ASSERT_TRUE(control.Output(frame));
    com.comOpen(true);  // what the sequencer does before every command
    ASSERT_TRUE(control.Output(frame));
    Bytes both = frame;
    both.insert(both.end(), frame.begin(), frame.end());
    EXPECT_EQ(pty->Read(both.size()), both);
    EXPECT_TRUE(PumpUntil([&] { return control.OutBufferCount() == 0; }));

    // What would pass the transmit queue is refused and reported; the port stays open.
    EXPECT_FALSE(control.Output(Bytes(1025, 0x30)));
    EXPECT_TRUE(PumpUntil([&] { return sink.Count(CommEvent::TxFull) == 1; }));
    EXPECT_TRUE(control.PortOpen());
}

TEST_F(QtSerial, ReceiveOverflowIsReportedAndBounded) {
    ASSERT_TRUE(Open());
    control.SetEventSink(&sink);
    control.RThreshold(0);  // nobody reads: the queue only fills
    const Bytes chunk(4096, 0x55);
    ASSERT_TRUE(PumpUntil([&] {
        (void)::write(pty->master, chunk.data(), chunk.size());
        return sink.Count(CommEvent::RxOver) >= 1;
    }));
    EXPECT_EQ(control.InBufferCount(), 32760);
    EXPECT_EQ(sink.Count(CommEvent::Receive), 0);
}

TEST_F(QtSerial, AMissingOrVanishedDeviceCannotBeOpenedUntilItIsBack) {
    EXPECT_FALSE(Open(5));  // no device behind it
    ASSERT_TRUE(Open());
    pty->Close();
    ASSERT_TRUE(PumpUntil([&] { return !control.PortOpen(); }));
    EXPECT_TRUE(com.errCannotOpen());
    EXPECT_FALSE(Open());  // the name is gone
    pty = std::make_unique<Pty>();
    EXPECT_TRUE(Open());
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
