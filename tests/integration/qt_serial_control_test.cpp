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

// The far end of a pseudo-terminal, standing in for the cable. The device stays usable while
// only the program has it open, and goes away with this end.
struct Pty {
    Pty() {
        char name[256] = {};
        int slave = -1;
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);
            ::fcntl(master, F_SETFL, O_NONBLOCK);
            path = name;
        }
    }
    ~Pty() { ::close(master); }
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
    std::string device = pty->path;
    QtSerialControl control{[this](std::int16_t n) { return n == 3 ? device : ""; }};
    frmCom com{control};
    Sink sink;
};

TEST_F(QtSerial, BytesGoBothWaysFramesAroundAReopenArriveWholeAndTheQueuesAreBounded) {
    ASSERT_TRUE(Open());
    control.SetEventSink(&sink);
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
    Bytes got(both.size());
    std::size_t n = 0;
    EXPECT_TRUE(PumpUntil([&] {
        n += std::max<ssize_t>(::read(pty->master, got.data() + n, got.size() - n), 0);
        return n == got.size();
    }));
    EXPECT_EQ(got, both);

    // What would pass the transmit queue is refused and reported; the port stays open.
    EXPECT_FALSE(control.Output(Bytes(1025, 0x30)));
    EXPECT_TRUE(PumpUntil([&] { return sink.Count(CommEvent::TxFull) == 1; }));
    EXPECT_TRUE(control.PortOpen());

    // Past the receive queue bytes are dropped and reported.
    control.RThreshold(0);  // nobody reads: the queue only fills
    const long received = sink.Count(CommEvent::Receive);
    const Bytes chunk(4096, 0x55);
    ASSERT_TRUE(PumpUntil([&] {
        (void)::write(pty->master, chunk.data(), chunk.size());
        return sink.Count(CommEvent::RxOver) >= 1;
    }));
    EXPECT_EQ(control.InBufferCount(), 32760);
    EXPECT_EQ(sink.Count(CommEvent::Receive), received);
}

TEST_F(QtSerial, AMissingOrVanishedDeviceCannotBeOpenedUntilItIsBack) {
    EXPECT_FALSE(Open(5));  // no device behind it
    ASSERT_TRUE(Open());
    pty.reset();
    ASSERT_TRUE(PumpUntil([&] { return !control.PortOpen(); }));
    EXPECT_TRUE(com.errCannotOpen());
    EXPECT_FALSE(Open());  // the name is gone
    pty = std::make_unique<Pty>();
    device = pty->path;
    EXPECT_TRUE(Open());
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
