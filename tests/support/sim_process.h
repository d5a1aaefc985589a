#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace quorvane::test {

// The tamskor-sim command as a child process serving a pseudo-terminal. Its standard error is
// the test's; its standard output (the device path) is read here. Every wait has a deadline.
class SimProcess {
  public:
    // Starts exe with args and waits up to deadlineMs for the device path it prints first;
    // Ok() tells whether it came.
    SimProcess(const std::string& exe, std::vector<std::string> args, int deadlineMs = 10000) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        args.insert(args.begin(), exe);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        pollfd p{out[0], POLLIN, 0};
        for (char c = 0;
             pid_ > 0 && ::poll(&p, 1, deadlineMs) == 1 && ::read(out[0], &c, 1) == 1;) {
            if (c == '\n') {
                break;
            }
            device_.push_back(c);
        }
        out_ = out[0];  // kept open: the child may write more
    }
    ~SimProcess() {
        Stop();
        ::close(out_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Ok() const { return pid_ > 0 && !device_.empty(); }
    const std::string& Device() const { return device_; }

    // True once the child has ended by itself (the hang-up fault closes the line and ends it).
    bool Ended() {
        if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
        }
        return pid_ <= 0;
    }

    // Asks the child to end (it removes its link and saves its image) and waits for it.
    void Stop() {
        if (!Ended()) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

}  // namespace quorvane::test
