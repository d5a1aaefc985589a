#include "pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quorvane::sim {

namespace {

std::runtime_error SystemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

speed_t SpeedOf(std::int32_t baud) {
    return baud == 38400 ? B38400 : B9600;
}

}  // namespace

PtyServer::PtyServer(TamskorSim& transceiver) : transceiver_(&transceiver) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        throw SystemError("cannot open a pseudo-terminal");
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        Close();
        throw SystemError("cannot unlock the pseudo-terminal");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        Close();
        throw SystemError("cannot name the pseudo-terminal");
    }
    path_ = name;
    slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        Close();
        throw SystemError("cannot open " + path_);
    }
    // Raw: no echo by the line discipline, no translation, byte by byte.
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        Close();
        throw SystemError("cannot read the line settings of " + path_);
    }
    cfmakeraw(&tio);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, SpeedOf(transceiver.Config().baud));
    cfsetospeed(&tio, SpeedOf(transceiver.Config().baud));
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        Close();
        throw SystemError("cannot set raw mode on " + path_);
    }
}

PtyServer::~PtyServer() {
    Close();
}

void PtyServer::Close() {
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void PtyServer::AwaitDrain(int signalFd) {
    // Closing the line discards what the program has not read yet. The last bytes may still be
    // on their way into the program's queue, so wait 50 ms first, then up to 2 s more, looking
    // every 10 ms, for the program to have read them.
    pollfd p{signalFd, POLLIN, 0};
    if (::poll(&p, 1, 50) != 0) {
        return;
    }
    for (int i = 0; i < 200; ++i) {
        int queued = 0;
        if (ioctl(slave_, FIONREAD, &queued) != 0 || queued == 0) {
            return;
        }
        if (::poll(&p, 1, 10) != 0) {
            return;
        }
    }
}

PtyServer::End PtyServer::Serve(int signalFd) {
    using Clock = std::chrono::steady_clock;
    // steady_clock is CLOCK_MONOTONIC on Linux: its epoch is the system's boot.
    const auto start = monotonicTime_ ? Clock::time_point{} : Clock::now();
    auto now = [&start] {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    };
    // The program's bytes on their way to the stand-in, when they are paced.
    PacedLine inbound(transceiver_->Config().baud);
    Bytes out;
    std::uint8_t buf[4096];
    for (;;) {
        const SimTime t = now();
        // Arrivals first, at their own times, so the stand-in never sees time go back.
        for (const auto& [due, byte] : inbound.TakeDueTimed(t)) {
            transceiver_->Receive(byte, due);
        }
        const Bytes due = transceiver_->TakeDue(t);
        out.insert(out.end(), due.begin(), due.end());
        while (!out.empty()) {
            const ssize_t n = ::write(master_, out.data(), out.size());
            if (n > 0) {
                out.erase(out.begin(), out.begin() + n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                break;  // the far side's queue is full; poll says when it has room
            }
        }
        if (out.empty() && transceiver_->HungUp(t)) {
            AwaitDrain(signalFd);
            Close();
            return End::HungUp;
        }

        std::optional<SimTime> next = transceiver_->NextEvent();
        if (const auto arrival = inbound.NextDue()) {
            next = next ? std::min(*next, *arrival) : *arrival;
        }
        int timeoutMs = -1;
        if (next) {
            const SimTime wait = *next - t;
            timeoutMs = wait <= 0 ? 0 : static_cast<int>((wait + 999) / 1000);
        }
        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0},
                         {signalFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return End::LineError;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return End::Signal;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                const Bytes received(buf, buf + n);
                if (pacedInput_) {
                    inbound.Send(received, now());
                } else {
                    transceiver_->Receive(received, now());
                }
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                return End::LineError;
            }
        } else if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return End::LineError;
        }
    }
}

}  // namespace quorvane::sim
