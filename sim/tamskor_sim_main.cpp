// tamskor-sim: the stand-in transceiver on a pseudo-terminal.
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pty_server.h"
#include "sim_options.h"
#include "tamskor_sim.h"
#include "wire_trace.h"

namespace {

using namespace quorvane::sim;

// A symbolic link to the device that lives as long as this object.
class DeviceLink {
  public:
    DeviceLink(const std::string& link, const std::string& target) : link_(link), target_(target) {
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0) {
            // Never clobber a file or directory; an old link (a stale run) may go.
            if (!S_ISLNK(st.st_mode)) {
                throw std::runtime_error(link + " exists and is not a symbolic link");
            }
            if (unlink(link.c_str()) != 0) {
                throw std::runtime_error("cannot replace " + link + ": " + std::strerror(errno));
            }
        }
        if (symlink(target.c_str(), link.c_str()) != 0) {
            throw std::runtime_error("cannot make the link " + link + ": " + std::strerror(errno));
        }
    }
    ~DeviceLink() {
        // Remove only the link this run made.
        char buf[4096];
        const ssize_t n = readlink(link_.c_str(), buf, sizeof buf - 1);
        if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == target_) {
            unlink(link_.c_str());
        }
    }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

  private:
    std::string link_;
    std::string target_;
};

// SIGINT, SIGTERM and SIGHUP as a readable descriptor, so the serving loop polls for them.
class SignalFd {
  public:
    SignalFd() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGHUP);
        if (sigprocmask(SIG_BLOCK, &set_, nullptr) != 0) {
            throw std::runtime_error("cannot block signals");
        }
        fd_ = signalfd(-1, &set_, SFD_CLOEXEC | SFD_NONBLOCK);
        if (fd_ < 0) {
            throw std::runtime_error(std::string("cannot watch signals: ") + std::strerror(errno));
        }
    }
    ~SignalFd() { close(fd_); }
    SignalFd(const SignalFd&) = delete;
    SignalFd& operator=(const SignalFd&) = delete;
    int Fd() const { return fd_; }

  private:
    sigset_t set_{};
    int fd_ = -1;
};

int Run(const SimOptions& options) {
    SimImage image = options.imagePath.empty() ? SimImage::Generate(options.seed, options.image)
                                               : SimImage::Load(options.imagePath);
    if (!options.saveImagePath.empty()) {
        image.Save(options.saveImagePath);
    }
    TamskorSim transceiver(options.config, std::move(image));

    std::ofstream traceFile;
    std::unique_ptr<WireTrace> trace;
    if (options.tracePath == "-") {
        trace = std::make_unique<WireTrace>(std::cerr);
    } else if (!options.tracePath.empty()) {
        traceFile.open(options.tracePath, std::ios::out | std::ios::trunc);
        if (!traceFile) {
            throw std::runtime_error("cannot write the trace file " + options.tracePath);
        }
        trace = std::make_unique<WireTrace>(traceFile);
    }
    transceiver.SetTrace(trace.get());

    signal(SIGPIPE, SIG_IGN);
    SignalFd signals;
    PtyServer server(transceiver);
    server.PacedInput(options.pacedInput);
    server.MonotonicTime(options.monotonicTrace);
    std::optional<DeviceLink> link;
    if (!options.linkPath.empty()) {
        link.emplace(options.linkPath, server.DevicePath());
    }
    std::cout << server.DevicePath() << std::endl;

    const PtyServer::End end = server.Serve(signals.Fd());
    int status = 0;
    if (end == PtyServer::End::HungUp) {
        std::cerr << "tamskor-sim: hung up as the hang-up fault asked; line closed\n";
    } else if (end == PtyServer::End::LineError) {
        std::cerr << "tamskor-sim: the pseudo-terminal failed\n";
        status = 1;
    }
    if (!options.saveImagePath.empty()) {
        transceiver.Image().Save(options.saveImagePath);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    auto parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    try {
        return Run(std::get<SimOptions>(parsed));
    } catch (const std::exception& e) {
        std::cerr << "tamskor-sim: " << e.what() << '\n';
        return 1;
    }
}
