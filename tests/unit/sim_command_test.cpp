// The tamskor-sim command, run as a child process on a real pseudo-terminal. Every wait has a
// deadline and waits in poll for the child's output, never in a sleep.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "protocol/common.h"
#include "sim/sim_image.h"
#include "support/sim_wire.h"

extern char** environ;

namespace quorvane::sim {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDeadlineMs = 10000;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The command as a child process with its standard output and error on pipes.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int out[2], err[2];
        EXPECT_EQ(pipe(out), 0);
        EXPECT_EQ(pipe(err), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all{TAMSKOR_SIM_EXE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, TAMSKOR_SIM_EXE, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
        close(err_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // One line of standard output, without its end; "" at end of output or deadline.
    std::string ReadLine() {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
        std::string line;
        char c = 0;
        while (MsLeft(deadline) > 0) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, MsLeft(deadline)) <= 0) {
                break;
            }
            if (read(out_, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return line;
            }
            line.push_back(c);
        }
        return line;
    }

    // Everything on standard output until it closes (the process ends) or the deadline.
    std::string ReadAll() {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
        std::string all;
        char buf[512];
        while (MsLeft(deadline) > 0) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, MsLeft(deadline)) <= 0) {
                break;
            }
            const ssize_t n = read(out_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            all.append(buf, static_cast<std::size_t>(n));
        }
        return all;
    }

    // Waits until the child ends (its output closes), then returns its exit status, or -1
    // when it did not end by the deadline or ended by a signal.
    int Wait() {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
        char buf[256];
        while (MsLeft(deadline) > 0) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, MsLeft(deadline)) <= 0) {
                return -1;
            }
            if (read(out_, buf, sizeof buf) <= 0) {
                break;
            }
        }
        int status = 0;
        if (waitpid(pid_, &status, 0) != pid_) {
            return -1;
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Errors() {
        std::string all;
        char buf[512];
        for (;;) {
            pollfd p{err_, POLLIN, 0};
            if (poll(&p, 1, 0) <= 0) {
                break;
            }
            const ssize_t n = read(err_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            all.append(buf, static_cast<std::size_t>(n));
        }
        return all;
    }

    void Signal(int sig) { kill(pid_, sig); }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

// The program's end of the line: the device opened raw.
class Line {
  public:
    explicit Line(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(fd_, 0) << path;
        termios tio{};
        tcgetattr(fd_, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd_, TCSANOW, &tio);
    }
    ~Line() { close(fd_); }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    void Write(const Bytes& b) { EXPECT_EQ(write(fd_, b.data(), b.size()), ssize_t(b.size())); }

    // Reads until `count` bytes came, the line hung up, or the deadline passed.
    Bytes Read(std::size_t count, bool* hungUp = nullptr) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kDeadlineMs);
        Bytes got;
        std::uint8_t buf[4096];
        while (got.size() < count && MsLeft(deadline) > 0) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, MsLeft(deadline)) <= 0) {
                break;
            }
            const ssize_t n = read(fd_, buf, sizeof buf);
            if (n > 0) {
                got.insert(got.end(), buf, buf + n);
            } else if ((p.revents & (POLLHUP | POLLERR)) != 0 || n == 0 ||
                       (errno != EAGAIN && errno != EINTR)) {
                if (hungUp != nullptr) {
                    *hungUp = true;
                }
                break;
            }
        }
        return got;
    }

  private:
    int fd_ = -1;
};

class SimCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("sim_command_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(SimCommand, ServesTheIdentifyExchangeOnAPseudoTerminal) {
    const std::string link = (dir_ / "radio").string();
    const std::string image = (dir_ / "image.bin").string();
    SimProcess sim({"--seed", "5", "--link", link, "--save-image", image});
    const std::string path = sim.ReadLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path << sim.Errors();
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), path);
    {
        Line line(link);
        const Bytes identify = HexToBytes("FEFEEEEFE085370000FD");
        line.Write(identify);
        const Bytes got = line.Read(10 + 66);
        ASSERT_EQ(got.size(), 76u);
        EXPECT_EQ(Bytes(got.begin(), got.begin() + 10), identify);
        const auto frames = test::FramesIn(RightB(got, 66));
        ASSERT_EQ(frames.size(), 1u);
        ASSERT_EQ(frames[0].size(), 63u);
        EXPECT_EQ(frames[0][2], 0xE1);
        EXPECT_EQ(frames[0][42], 0x04);
        EXPECT_EQ(BytesToText(Bytes(frames[0].begin() + 24, frames[0].begin() + 32)), "00000005");

        const Bytes sql = HexToBytes("FEFEEEEFE885370200083830FD");  // SQL 0x80
        line.Write(sql);
        EXPECT_EQ(line.Read(sql.size()), sql);
    }
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    SimImage expected = SimImage::Generate(5);
    expected.Byte(274, 0x80);
    EXPECT_EQ(SimImage::Load(image), expected);
}

TEST_F(SimCommand, HangUpFaultClosesTheLineMidRead) {
    SimProcess sim({"--baud", "38400", "--fault", "hang-up:2", "--turnaround", "0"});
    const std::string path = sim.ReadLine();
    ASSERT_FALSE(path.empty()) << sim.Errors();
    Line line(path);
    line.Write(HexToBytes("FEFEEEEFE285370200FD"));
    bool hungUp = false;
    const Bytes got = line.Read(100000, &hungUp);
    EXPECT_TRUE(hungUp);
    const auto frames = test::FramesIn(got);
    ASSERT_EQ(frames.size(), 3u);  // the echo and two data frames
    EXPECT_EQ(frames[2][2], 0xE4);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_NE(sim.Errors().find("hung up"), std::string::npos);
}

TEST_F(SimCommand, PacedInputArrivesAtTheLineRateOnTheMonotonicClock) {
    const std::string trace = (dir_ / "trace.txt").string();
    SimProcess sim({"--paced-input", "on", "--trace-clock", "monotonic", "--trace", trace});
    const std::string path = sim.ReadLine();
    ASSERT_FALSE(path.empty()) << sim.Errors();
    const auto micros = [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   Clock::now().time_since_epoch())
            .count();
    };
    long long written = 0;
    long long echoed = 0;
    {
        Line line(path);
        const Bytes identify = HexToBytes("FEFEEEEFE085370000FD");
        written = micros();
        line.Write(identify);
        EXPECT_EQ(line.Read(identify.size()), identify);
        echoed = micros();
        line.Read(66);
    }
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0) << sim.Errors();

    // The frame is complete on the line ten byte times after it was written, and the echo of
    // its last byte comes no earlier; both times are on the same clock as ours.
    std::ifstream in(trace);
    std::string first;
    std::getline(in, first);
    ASSERT_NE(first.find("PC>TR"), std::string::npos) << first;
    const double ms = std::stod(first);
    const auto at = static_cast<long long>(ms * 1000.0 + 0.5);
    EXPECT_GE(at, written + 10 * 10 * 1000000LL / 9600 - 1) << first;
    EXPECT_LE(at, echoed) << first;
}

TEST_F(SimCommand, HelpAndBadOptions) {
    SimProcess help({"--help"});
    const std::string text = help.ReadAll();
    EXPECT_EQ(help.Wait(), 0);
    for (const char* option : {"--baud", "--seed", "--image", "--save-image", "--sub", "--revision",
                               "--fault", "--trace", "--turnaround", "--link", "--help"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
    for (const char* fault : {"no-echo", "no-answer", "wrong-model", "refused-sub",
                              "unfit-revision", "bad-checksum:k", "wrong-count", "foreign-readout",
                              "garbage", "late-answer", "dropped-bytes:k", "hang-up:k"}) {
        EXPECT_NE(text.find(fault), std::string::npos) << fault;
    }

    SimProcess bad({"--fault", "smoke"});
    EXPECT_EQ(bad.Wait(), 2);
    EXPECT_NE(bad.Errors().find("unknown fault 'smoke'"), std::string::npos);

    const std::string notAnImage = (dir_ / "short.bin").string();
    { std::ofstream(notAnImage) << "tiny"; }
    SimProcess load({"--image", notAnImage});
    EXPECT_EQ(load.Wait(), 1);
    EXPECT_NE(load.Errors().find("not 32736"), std::string::npos);

    // A regular file is never replaced by the link.
    const std::string occupied = (dir_ / "occupied").string();
    { std::ofstream(occupied) << "keep me"; }
    SimProcess link({"--link", occupied});
    EXPECT_EQ(link.Wait(), 1);
    EXPECT_NE(link.Errors().find("is not a symbolic link"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(occupied), 7u);
}

}  // namespace
}  // namespace quorvane::sim
