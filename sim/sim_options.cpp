#include "sim_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <ostream>

#include "protocol/common.h"
#include "protocol/wire.h"

namespace quorvane::sim {

namespace {

// Exactly `digits` hexadecimal digits up to max, handed on as their decimal value.
CLI::Validator HexDigits(std::size_t digits, unsigned max) {
    return CLI::Validator(
        [digits, max](std::string& text) -> std::string {
            unsigned v = 0;
            bool hex = text.size() == digits;
            for (char c : text) {
                const int d = HexDigitValue(c);
                hex = hex && d >= 0;
                v = v * 16 + static_cast<unsigned>(std::max(d, 0));
            }
            if (!hex || v > max) {
                char range[32];
                std::snprintf(range, sizeof range, " %0*X..%0*X", static_cast<int>(digits), 0,
                              static_cast<int>(digits), max);
                return "must be " + std::to_string(digits) + " hexadecimal digits" +
                       (max + 1 < (1u << (4 * digits)) ? range : "") + ", not '" + text + "'";
            }
            text = std::to_string(v);
            return {};
        },
        "");
}

std::string FaultList() {
    std::string s = "Faults:\n";
    for (const auto& f : kFaults) {
        const std::string name = std::string(f.name) + (f.takesK ? ":k" : "");
        const std::string k =
            f.takesK ? " (k defaults to " + std::to_string(f.defaultK) + ")" : std::string();
        char line[200];
        std::snprintf(line, sizeof line, "  %-18s %s%s\n", name.c_str(), f.help, k.c_str());
        s += line;
    }
    return s;
}

}  // namespace

std::variant<SimOptions, int> ParseCommandLine(const std::vector<std::string>& args,
                                               std::ostream& out, std::ostream& err) {
    SimOptions o;
    CLI::App app(
        "A stand-in Tamskor transceiver with its cloning cable, on a pseudo-terminal.\n"
        "Prints the device path on standard output, then serves until SIGINT or SIGTERM.\n"
        "Point the program's COM port at the printed path (settings file, [PORTS] COMn=PATH).",
        "tamskor-sim");
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.get_formatter()->column_width(28);
    app.set_version_flag("--version", "tamskor-sim " QUORVANE_VERSION);
    app.footer(FaultList());

    // The help shows each value's form and range in the words of the option's own line.
    const auto among = [](auto values) { return CLI::IsMember(values).description(""); };
    const auto range = [](int lo, int hi) { return CLI::Range(lo, hi).description(""); };
    app.add_option("--baud", o.config.baud,
                   "line rate, 9600 (default) or 38400; bytes leave at this pace")
        ->check(among(std::vector<int>{9600, 38400}))
        ->type_name("N");
    app.add_option("--seed", o.seed,
                   "seed of the generated EEPROM image and serial number\n"
                   "(default 1; the same seed always gives the same image)")
        ->type_name("N");
    app.add_option("--image", o.imagePath,
                   "load the EEPROM image from FILE (exactly 32736 bytes)\n"
                   "instead of generating it")
        ->type_name("FILE");
    app.add_option("--save-image", o.saveImagePath,
                   "write the image to FILE at start and again on exit, with every\n"
                   "change made by adjust commands and clone writes")
        ->type_name("FILE");
    app.add_option("--sub", o.config.sub,
                   "sub identifier, 4 hexadecimal digits (default 0200); digits\n"
                   "above 9 make the identity answer malformed for the program")
        ->transform(HexDigits(4, 0xFFFF))
        ->type_name("XXXX");
    // Read as a number: CLI11 would take a one-character value of a byte type as a character.
    unsigned revision = o.config.revision;
    app.add_option("--revision", revision,
                   "revision byte of the identity answer, 2 hex digits (default 04)")
        ->transform(HexDigits(2, 0xFF))
        ->type_name("XX");
    std::vector<std::string> faults;
    app.add_option("--fault", faults, "misbehave as NAME says (Faults below); may be repeated")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->type_name("NAME[:k]");
    app.add_option("--trace", o.tracePath,
                   "record every frame (time, direction, bytes, meaning) in FILE;\n"
                   "'-' for standard error")
        ->type_name("FILE");
    int turnaroundMs = 5;
    app.add_option("--turnaround", turnaroundMs,
                   "from the end of a request to its answer, 0..60000 (default 5)")
        ->check(range(0, 60000))
        ->type_name("MS");
    app.add_option("--bytes-per-frame", o.config.bytesPerFrame,
                   "data bytes in a clone-read frame, 1..122 (default 32)")
        ->check(range(1, 122))
        ->type_name("N");
    int frameGapMs = 0;
    app.add_option("--frame-gap", frameGapMs,
                   "pause between clone-read frames, 0..60000 (default 0)")
        ->check(range(0, 60000))
        ->type_name("MS");
    app.add_option("--clone-end", o.config.cloneEnd,
                   "last address of the clone area, 4 hex digits, at most 7FDF\n"
                   "(default 7FDF); a smaller area makes a quick clone read")
        ->transform(HexDigits(4, kImageSize - 1))
        ->type_name("XXXX");
    std::string mid;
    app.add_option("--mid", mid, "Mid flag of the generated image (default: chosen by the seed)")
        ->check(among(std::vector<std::string>{"on", "off"}))
        ->type_name("on|off");
    app.add_option("--link", o.linkPath,
                   "also make a symbolic link PATH to the device (an existing\n"
                   "symbolic link there is replaced); removed on exit")
        ->check([](const std::string& path) { return path.empty() ? "needs a path" : ""; })
        ->type_name("PATH");
    std::string paced = "off";
    app.add_option("--paced-input", paced,
                   "on: the program's bytes reach the stand-in, and their echo\n"
                   "the program, one at a time at the line rate, as on a real\n"
                   "line; off (default): as soon as they are written")
        ->check(among(std::vector<std::string>{"on", "off"}))
        ->type_name("on|off");
    std::string traceClock = "start";
    app.add_option("--trace-clock", traceClock,
                   "trace times from the start (default), or on the system's\n"
                   "monotonic clock (CLOCK_MONOTONIC), to compare them with\n"
                   "times taken in another process")
        ->check(among(std::vector<std::string>{"start", "monotonic"}))
        ->type_name("start|monotonic");

    auto refuse = [&err](const std::string& why) {
        err << "tamskor-sim: " << why << "\n(tamskor-sim --help lists the options)\n";
        return 2;
    };
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, out, err);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, out, err);
    } catch (const CLI::ParseError& e) {
        return refuse(e.what());
    }
    if (!o.imagePath.empty() && !mid.empty()) {
        return refuse("--image cannot be combined with --mid");
    }
    for (const std::string& fault : faults) {
        if (auto error = o.config.faults.Parse(fault)) {
            return refuse(*error + " (see --help for the faults)");
        }
    }
    // Identifiers and the revision become frame bytes; FE and FD would break the framing.
    o.config.revision = static_cast<std::uint8_t>(revision);
    for (unsigned b : {unsigned(o.config.sub >> 8), unsigned(o.config.sub & 0xFF), revision}) {
        if (b == wire::kPreamble || b == wire::kEndOfFrame) {
            return refuse("--sub and --revision must not contain the bytes FE or FD");
        }
    }
    o.config.turnaround = FromMs(turnaroundMs);
    o.config.frameGap = FromMs(frameGapMs);
    if (!mid.empty()) {
        o.image.mid = mid == "on";
    }
    o.pacedInput = paced == "on";
    o.monotonicTrace = traceClock == "monotonic";
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08u", static_cast<unsigned>(o.seed % 100000000u));
    o.config.serial = serial;
    return o;
}

}  // namespace quorvane::sim
