#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace quorvane::test {

// The tamskor-sim command as a child process serving a pseudo-terminal. Its standard error is
// the test's; its standard output (the device path) is read here. Every wait has a deadline.
class SimProcess {
  public:
    // Starts exe with args and waits (up to deadlineMs) for the device path it prints; Ok()
    // tells whether it came.
    SimProcess(const std::string& exe, const std::vector<std::string>& args,
               int deadlineMs = 10000) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> all{exe};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        if (pid_ > 0) {
            device_ = ReadLine(deadlineMs);
        }
    }
    ~SimProcess() {
        Stop();
        if (out_ >= 0) {
            ::close(out_);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Ok() const { return pid_ > 0 && !device_.empty(); }
    const std::string& Device() const { return device_; }

    // True once the child has ended by itself (the hang-up fault closes the line and ends it).
    bool Ended() {
        if (pid_ <= 0) {
            return true;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        return false;
    }

    // Asks the child to end (it removes its link) and waits for it; killed after 5 s.
    void Stop() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 500; ++i) {
            if (Ended()) {
                return;
            }
            pollfd none{-1, 0, 0};
            ::poll(&none, 0, 10);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    std::string ReadLine(int deadlineMs) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
        std::string line;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                    .count();
            pollfd p{out_, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) {
                return {};
            }
            char c = 0;
            if (::read(out_, &c, 1) != 1) {
                return {};
            }
            if (c == '\n') {
                return line;
            }
            line.push_back(c);
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

}  // namespace quorvane::test
