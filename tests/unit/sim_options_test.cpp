#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "sim/sim_options.h"

namespace quorvane::sim {
namespace {

struct Outcome {
    std::variant<SimOptions, int> result;
    std::string out, err;
};

Outcome Parse(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    auto result = ParseCommandLine(args, out, err);
    return {std::move(result), out.str(), err.str()};
}

TEST(SimOptions, HelpListsEveryOptionAndFaultVersionTellsTheRelease) {
    const Outcome help = Parse({"--help"});
    EXPECT_EQ(std::get<int>(help.result), 0);
    for (const char* line :
         {"  --baud N ", "  --seed N ", "  --image FILE ", "  --save-image FILE ", "  --sub XXXX ",
          "  --revision XX ", "  --fault NAME[:k] ", "  --trace FILE ", "  --turnaround MS ",
          "  --bytes-per-frame N ", "  --frame-gap MS ", "  --clone-end XXXX ", "  --mid on|off ",
          "  --link PATH ", "  --paced-input on|off ", "  --trace-clock ", "  --version ",
          "\nFaults:\n"}) {
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    }
    for (const auto& f : kFaults) {
        EXPECT_NE(help.out.find(std::string("\n  ") + f.name), std::string::npos) << f.name;
    }
    EXPECT_EQ(Parse({"--version"}).out, "tamskor-sim 2.0\n");
}

TEST(SimOptions, BothFormsReachTheConfigAndTheLastOfARepeatCounts) {
    const SimOptions d = std::get<SimOptions>(Parse({}).result);
    EXPECT_EQ(std::tie(d.config.baud, d.config.sub, d.config.revision, d.config.serial),
              std::make_tuple(9600, 0x0200, 0x04, "00000001"));
    EXPECT_FALSE(d.image.mid.has_value() || d.pacedInput || d.monotonicTrace);

    const Outcome all = Parse(
        {"--baud", "9600", "--baud=38400", "--seed=123456789", "--sub", "ffFF", "--revision=03",
         "--fault", "bad-checksum:4", "--fault=garbage", "--turnaround=20", "--bytes-per-frame=16",
         "--mid=off", "--clone-end", "017F", "--paced-input=on", "--trace-clock", "monotonic"});
    const SimOptions& o = std::get<SimOptions>(all.result);
    EXPECT_EQ(std::tie(o.config.baud, o.config.sub, o.config.revision, o.config.serial,
                       o.config.bytesPerFrame, o.config.cloneEnd),
              std::make_tuple(38400, 0xFFFF, 0x03, "23456789", 16, 0x017F));
    EXPECT_TRUE(o.config.faults.K(Fault::BadChecksum) == 4 && o.config.faults.Has(Fault::Garbage));
    EXPECT_EQ(o.config.turnaround, FromMs(20));
    EXPECT_TRUE(o.image.mid == false && o.pacedInput && o.monotonicTrace);
}

TEST(SimOptions, AWrongCommandLineExitsWithStatusTwoAndSaysWhy) {
    EXPECT_EQ(Parse({"--baud", "4800"}).err,
              "tamskor-sim: --baud: 4800 not in {9600,38400}\n"
              "(tamskor-sim --help lists the options)\n");
    const auto refusal = [](const std::vector<std::string>& args) {
        const Outcome o = Parse(args);
        EXPECT_EQ(std::get<int>(o.result), 2) << args[0];
        return o.err.substr(0, o.err.find('\n'));
    };
    EXPECT_EQ(refusal({"--speed"}),
              "tamskor-sim: The following argument was not expected: --speed");
    EXPECT_EQ(refusal({"--baud"}), "tamskor-sim: --baud: 1 required N missing");
    EXPECT_EQ(refusal({"--clone-end", "7FE0"}),
              "tamskor-sim: --clone-end: must be 4 hexadecimal digits 0000..7FDF, not '7FE0'");
    EXPECT_EQ(refusal({"--revision", "FD"}),
              "tamskor-sim: --sub and --revision must not contain the bytes FE or FD");
    EXPECT_EQ(refusal({"--fault", "smoke"}),
              "tamskor-sim: unknown fault 'smoke' (see --help for the faults)");
    EXPECT_EQ(refusal({"--turnaround", "-1"}),
              "tamskor-sim: --turnaround: Value -1 not in range 0 to 60000");
    EXPECT_EQ(refusal({"--image", "a", "--mid", "on"}),
              "tamskor-sim: --image cannot be combined with --mid");
}

}  // namespace
}  // namespace quorvane::sim
