// quorvane-bench-rx: the link driver's receive path (clsCmcVep3Drv::read) over the byte stream
// of a whole clone read as the stand-in puts it on the line: the identify exchange, then the
// read request's echo, every data frame and the end frame. The stream is cut into batches of
// the sizes the program meets: single bytes (a pseudo-terminal at 9600 baud), a USB adapter's
// packets, one 50 ms tick at 9600 and at 38400 baud, and the 1024-byte receive threshold.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench_rows.h"
#include "protocol/common.h"
#include "protocol/eeprom.h"
#include "protocol/link_driver.h"
#include "rig/manual_clock.h"
#include "serial/port_form.h"
#include "sim/tamskor_sim.h"

using namespace quorvane;

namespace {

const Bytes kIdentify = HexToBytes("E085370000");
const Bytes kCloneRead = HexToBytes("E285370200");

// The request frame the driver puts on the line for a payload.
Bytes Framed(const Bytes& payload) {
    Bytes wire{0xFE, 0xFE, 0xEE, 0xEF};
    wire.insert(wire.end(), payload.begin(), payload.end());
    wire.push_back(0xFD);
    return wire;
}

// A line that takes every byte and delivers none: the bench hands the driver its input.
class NullLine final : public ISerialControl {
  public:
    void SetEventSink(ISerialEventSink*) override {}
    bool CommPort(std::int16_t) override { return true; }
    std::int16_t CommPort() const override { return 1; }
    bool Settings(const std::string&) override { return true; }
    std::string Settings() const override { return "9600,N,8,1"; }
    void DTREnable(bool) override {}
    void RTSEnable(bool) override {}
    void InBufferSize(std::int32_t) override {}
    void OutBufferSize(std::int32_t) override {}
    std::int32_t OutBufferSize() const override { return 512; }
    void RThreshold(std::int32_t) override {}
    void SThreshold(std::int32_t) override {}
    void InputLen(std::int32_t) override {}
    void InputMode(std::int16_t) override {}
    bool PortOpen() const override { return open_; }
    bool PortOpen(bool open) override { return (open_ = open, true); }
    std::int32_t InBufferCount() const override { return 0; }
    std::int32_t OutBufferCount() const override { return 0; }
    bool ClearOutBuffer() override { return true; }
    Bytes Input() override { return {}; }
    bool Output(const Bytes&) override { return true; }

  private:
    bool open_ = false;
};

// Everything the stand-in sends until it falls silent.
Bytes Drain(sim::TamskorSim& radio, sim::SimTime& now) {
    Bytes out;
    while (auto next = radio.NextEvent()) {
        now = std::max(now, *next);
        const Bytes due = radio.TakeDue(now);
        out.insert(out.end(), due.begin(), due.end());
    }
    return out;
}

struct Recording {
    Bytes identify;  // echo and answer
    Bytes read;      // echo, data frames, end frame
};

// What the line carries, recorded from the stand-in.
Recording Record(int bytesPerFrame) {
    sim::TamskorConfig config;
    config.bytesPerFrame = bytesPerFrame;
    sim::TamskorSim radio(config, sim::SimImage::Generate(1));
    sim::SimTime now = 0;
    Recording r;
    radio.Receive(Framed(kIdentify), now);
    r.identify = Drain(radio, now);
    radio.Receive(Framed(kCloneRead), now);
    r.read = Drain(radio, now);
    return r;
}

std::vector<Bytes> Batches(const Bytes& stream, std::size_t size) {
    std::vector<Bytes> out;
    for (std::size_t i = 0; i < stream.size(); i += size) {
        out.emplace_back(
            stream.begin() + static_cast<std::ptrdiff_t>(i),
            stream.begin() + static_cast<std::ptrdiff_t>(std::min(i + size, stream.size())));
    }
    return out;
}

void BM_CloneReadReceive(benchmark::State& state) {
    const Recording recording = Record(static_cast<int>(state.range(0)));
    const auto batch = static_cast<std::size_t>(state.range(1));
    const std::vector<Bytes> identify = Batches(recording.identify, batch);
    const std::vector<Bytes> read = Batches(recording.read, batch);

    test::ManualClock clock{100000};
    NullLine line;
    frmCom com{line};
    clsCmcVep3Drv driver{clock};
    clsCmcEeprom image;
    com.vep3D(&driver);
    driver.myObjCom(&com);
    com.comOpen(true);
    driver.myEep(&image);
    bool ok = true;
    for (auto _ : state) {
        driver.workMode(1);
        driver.Send(kIdentify);
        for (const Bytes& b : identify) {
            driver.read(b);
        }
        driver.workMode(2);
        driver.Send(kCloneRead);
        for (const Bytes& b : read) {
            driver.read(b);
        }
        ok = ok && !driver.Running() && driver.lastError() == LinkError::None &&
             driver.lastEeAdr() == driver.EndAddress() - 1;
    }
    if (!ok) {
        state.SkipWithError("the clone read did not complete cleanly");
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) *
        static_cast<std::int64_t>(recording.identify.size() + recording.read.size()));
}
BENCHMARK(BM_CloneReadReceive)
    ->ArgNames({"frame", "batch"})
    ->ArgsProduct({{32, 122}, {1, 16, 48, 192, 1024}})
    ->Unit(benchmark::kMillisecond);

// Keeps the console output and notes the slowest and fastest rate.
class RateReporter final : public benchmark::ConsoleReporter {
  public:
    // Plain text: the table's rows are found at the start of a line.
    RateReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred) {
                failed = true;
                continue;
            }
            const auto it = run.counters.find("bytes_per_second");
            if (run.run_type != Run::RT_Iteration || it == run.counters.end()) {
                continue;
            }
            const double mbs = it->second.value / 1e6;
            if (slowest < 0 || mbs < slowest) {
                slowest = mbs;
                slowestName = run.benchmark_name();
            }
            fastest = std::max(fastest, mbs);
        }
    }
    double slowest = -1;
    double fastest = 0;
    std::string slowestName;
    bool failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.failed || reporter.slowest < 0) {
        return 1;
    }
    bench::Row("Link driver receive, clone-read stream",
               bench::Format("%.0f MB/s slowest (%s), %.0f MB/s fastest", reporter.slowest,
                             reporter.slowestName.c_str(), reporter.fastest),
               ">= 50 MB/s", reporter.slowest >= 50.0);
    return 0;
}
