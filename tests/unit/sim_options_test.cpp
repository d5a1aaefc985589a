#include <gtest/gtest.h>

#include "sim/sim_options.h"

namespace quorvane::sim {
namespace {

SimOptions Parse(const std::vector<std::string>& args) {
    auto r = ParseOptions(args);
    if (auto* e = std::get_if<std::string>(&r)) {
        ADD_FAILURE() << *e;
        return {};
    }
    return std::get<SimOptions>(r);
}

std::string Error(const std::vector<std::string>& args) {
    auto r = ParseOptions(args);
    return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : "accepted";
}

TEST(SimOptions, Defaults) {
    const SimOptions o = Parse({});
    EXPECT_EQ(o.config.baud, 9600);
    EXPECT_EQ(o.config.sub, 0x0200);
    EXPECT_EQ(o.config.revision, 0x04);
    EXPECT_EQ(o.config.turnaround, FromMs(5));
    EXPECT_EQ(o.config.bytesPerFrame, 32);
    EXPECT_EQ(o.config.cloneEnd, 0x7FDF);
    EXPECT_EQ(o.seed, 1u);
    EXPECT_EQ(o.config.serial, "00000001");
    EXPECT_TRUE(o.config.faults.Empty());
    EXPECT_FALSE(o.help);
}

TEST(SimOptions, EveryOptionInBothForms) {
    const SimOptions o = Parse({"--baud",
                                "38400",
                                "--seed=123456789",
                                "--save-image",
                                "/tmp/x.bin",
                                "--sub",
                                "0300",
                                "--revision=03",
                                "--fault",
                                "bad-checksum:4",
                                "--fault=garbage",
                                "--trace",
                                "-",
                                "--turnaround",
                                "20",
                                "--bytes-per-frame=16",
                                "--frame-gap",
                                "3",
                                "--mid",
                                "on",
                                "--link",
                                "/tmp/radio",
                                "--clone-end",
                                "017F",
                                "--paced-input=on",
                                "--trace-clock",
                                "monotonic",
                                "--help"});
    EXPECT_EQ(o.config.baud, 38400);
    EXPECT_EQ(o.seed, 123456789u);
    EXPECT_EQ(o.config.serial, "23456789");
    EXPECT_EQ(o.saveImagePath, "/tmp/x.bin");
    EXPECT_EQ(o.config.sub, 0x0300);
    EXPECT_EQ(o.config.revision, 0x03);
    EXPECT_TRUE(o.config.faults.Has(Fault::BadChecksum));
    EXPECT_EQ(o.config.faults.K(Fault::BadChecksum), 4);
    EXPECT_TRUE(o.config.faults.Has(Fault::Garbage));
    EXPECT_EQ(o.tracePath, "-");
    EXPECT_EQ(o.config.turnaround, FromMs(20));
    EXPECT_EQ(o.config.bytesPerFrame, 16);
    EXPECT_EQ(o.config.frameGap, FromMs(3));
    EXPECT_EQ(o.image.mid, true);
    EXPECT_EQ(o.linkPath, "/tmp/radio");
    EXPECT_EQ(o.config.cloneEnd, 0x017F);
    EXPECT_TRUE(o.pacedInput);
    EXPECT_TRUE(o.monotonicTrace);
    EXPECT_TRUE(o.help);
    EXPECT_EQ(Parse({"--image", "/tmp/i.bin"}).imagePath, "/tmp/i.bin");
}

TEST(SimOptions, BadValuesAreRefusedWithTheReason) {
    EXPECT_EQ(Error({"--baud", "4800"}), "--baud must be 9600 or 38400, not '4800'");
    EXPECT_EQ(Error({"--baud"}), "option --baud needs a value");
    EXPECT_EQ(Error({"--speed", "1"}), "unknown option '--speed'");
    EXPECT_EQ(Error({"--sub", "02000"}), "--sub must be 4 hexadecimal digits, not '02000'");
    EXPECT_EQ(Error({"--sub", "FE00"}), "--sub and --revision must not contain the bytes FE or FD");
    EXPECT_EQ(Error({"--revision", "FD"}),
              "--sub and --revision must not contain the bytes FE or FD");
    EXPECT_EQ(Error({"--revision", "4"}), "--revision must be 2 hexadecimal digits, not '4'");
    EXPECT_EQ(Error({"--fault", "smoke"}), "unknown fault 'smoke' (see --help for the faults)");
    EXPECT_EQ(Error({"--turnaround", "-1"}), "--turnaround must be 0..60000 ms, not '-1'");
    EXPECT_EQ(Error({"--bytes-per-frame", "123"}), "--bytes-per-frame must be 1..122, not '123'");
    EXPECT_EQ(Error({"--seed", "x"}), "--seed must be a number 0..4294967295, not 'x'");
    EXPECT_EQ(Error({"--mid", "yes"}), "--mid must be on or off, not 'yes'");
    EXPECT_EQ(Error({"--clone-end", "7FE0"}),
              "--clone-end must be 4 hexadecimal digits 0000..7FDF, not '7FE0'");
    EXPECT_EQ(Error({"--image", "a", "--mid", "off"}), "--image cannot be combined with --mid");
    EXPECT_EQ(Error({"--paced-input", "yes"}), "--paced-input must be on or off, not 'yes'");
    EXPECT_EQ(Error({"--trace-clock", "wall"}),
              "--trace-clock must be start or monotonic, not 'wall'");
}

TEST(SimOptions, HelpNamesEveryOptionAndFault) {
    const std::string help = HelpText();
    for (const char* option :
         {"--baud", "--seed", "--image", "--save-image", "--sub", "--revision", "--fault",
          "--trace", "--turnaround", "--bytes-per-frame", "--frame-gap", "--mid", "--link",
          "--clone-end", "--paced-input", "--trace-clock", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    for (const auto& f : kFaults) {
        EXPECT_NE(help.find(std::string("  ") + f.name), std::string::npos) << f.name;
    }
    EXPECT_NE(help.find("hang-up:k"), std::string::npos);
}

}  // namespace
}  // namespace quorvane::sim
