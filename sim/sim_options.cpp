#include "sim_options.h"

#include <charconv>
#include <cstdio>

#include "protocol/common.h"

namespace quorvane::sim {

namespace {

bool ParseInt(const std::string& text, long long lo, long long hi, long long& out) {
    long long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty() || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

bool ParseHex(const std::string& text, std::size_t digits, unsigned& out) {
    if (text.size() != digits) {
        return false;
    }
    unsigned v = 0;
    for (char c : text) {
        const int d = HexDigitValue(c);
        if (d < 0) {
            return false;
        }
        v = v * 16 + static_cast<unsigned>(d);
    }
    out = v;
    return true;
}

}  // namespace

std::string HelpText() {
    std::string s =
        "Usage: tamskor-sim [options]\n"
        "\n"
        "A stand-in Tamskor transceiver with its cloning cable, on a pseudo-terminal.\n"
        "Prints the device path on standard output, then serves until SIGINT or SIGTERM.\n"
        "Point the program's COM port at the printed path (settings file, [PORTS] COMn=PATH).\n"
        "\n"
        "Options:\n"
        "  --baud N             line rate, 9600 (default) or 38400; bytes leave at this pace\n"
        "  --seed N             seed of the generated EEPROM image and serial number\n"
        "                       (default 1; the same seed always gives the same image)\n"
        "  --image FILE         load the EEPROM image from FILE (exactly 32736 bytes)\n"
        "                       instead of generating it\n"
        "  --save-image FILE    write the image to FILE at start and again on exit, with every\n"
        "                       change made by adjust commands and clone writes\n"
        "  --sub XXXX           sub identifier, 4 hexadecimal digits (default 0200); digits\n"
        "                       above 9 make the identity answer malformed for the program\n"
        "  --revision XX        revision byte of the identity answer, 2 hex digits (default 04)\n"
        "  --fault NAME[:k]     misbehave as NAME says; may be given more than once\n"
        "  --trace FILE         record every frame (time, direction, bytes, meaning) in FILE;\n"
        "                       '-' for standard error\n"
        "  --turnaround MS      from the end of a request to its answer (default 5)\n"
        "  --bytes-per-frame N  data bytes in a clone-read frame, 1..122 (default 32)\n"
        "  --frame-gap MS       pause between clone-read frames (default 0)\n"
        "  --clone-end XXXX     last address of the clone area, 4 hex digits, at most 7FDF\n"
        "                       (default 7FDF); a smaller area makes a quick clone read\n"
        "  --mid on|off         Mid flag of the generated image (default: chosen by the seed)\n"
        "  --link PATH          also make a symbolic link PATH to the device (an existing\n"
        "                       symbolic link there is replaced); removed on exit\n"
        "  --paced-input on|off on: the program's bytes reach the stand-in, and their echo\n"
        "                       the program, one at a time at the line rate, as on a real\n"
        "                       line; off (default): as soon as they are written\n"
        "  --trace-clock start|monotonic\n"
        "                       trace times from the start (default), or on the system's\n"
        "                       monotonic clock (CLOCK_MONOTONIC), to compare them with\n"
        "                       times taken in another process\n"
        "  --help               this text\n"
        "\n"
        "Faults:\n";
    for (const auto& f : kFaults) {
        std::string name = f.name;
        if (f.takesK) {
            name += ":k";
        }
        char line[160];
        std::snprintf(
            line, sizeof line, "  %-18s %s%s\n", name.c_str(), f.help,
            f.takesK ? (" (k defaults to " + std::to_string(f.defaultK) + ")").c_str() : "");
        s += line;
    }
    return s;
}

std::variant<SimOptions, std::string> ParseOptions(const std::vector<std::string>& args) {
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        static const char* const kWithValue[] = {
            "--baud",       "--seed",      "--image",           "--save-image",
            "--sub",        "--revision",  "--fault",           "--trace",
            "--turnaround", "--link",      "--bytes-per-frame", "--frame-gap",
            "--mid",        "--clone-end", "--paced-input",     "--trace-clock"};
        bool known = false;
        for (const char* n : kWithValue) {
            known = known || name == n;
        }
        if (!known) {
            return "unknown option '" + name + "'";
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                return "option " + name + " needs a value";
            }
            value = args[++i];
        }
        long long n = 0;
        unsigned h = 0;
        if (name == "--baud") {
            if (!ParseInt(value, 0, 1000000, n) || (n != 9600 && n != 38400)) {
                return "--baud must be 9600 or 38400, not '" + value + "'";
            }
            o.config.baud = static_cast<std::int32_t>(n);
        } else if (name == "--seed") {
            if (!ParseInt(value, 0, 4294967295LL, n)) {
                return "--seed must be a number 0..4294967295, not '" + value + "'";
            }
            o.seed = static_cast<std::uint32_t>(n);
        } else if (name == "--image") {
            o.imagePath = value;
        } else if (name == "--save-image") {
            o.saveImagePath = value;
        } else if (name == "--sub") {
            if (!ParseHex(value, 4, h)) {
                return "--sub must be 4 hexadecimal digits, not '" + value + "'";
            }
            o.config.sub = static_cast<std::uint16_t>(h);
        } else if (name == "--revision") {
            if (!ParseHex(value, 2, h)) {
                return "--revision must be 2 hexadecimal digits, not '" + value + "'";
            }
            o.config.revision = static_cast<std::uint8_t>(h);
        } else if (name == "--fault") {
            if (auto error = o.config.faults.Parse(value)) {
                return *error + " (see --help for the faults)";
            }
        } else if (name == "--trace") {
            o.tracePath = value;
        } else if (name == "--turnaround") {
            if (!ParseInt(value, 0, 60000, n)) {
                return "--turnaround must be 0..60000 ms, not '" + value + "'";
            }
            o.config.turnaround = FromMs(n);
        } else if (name == "--frame-gap") {
            if (!ParseInt(value, 0, 60000, n)) {
                return "--frame-gap must be 0..60000 ms, not '" + value + "'";
            }
            o.config.frameGap = FromMs(n);
        } else if (name == "--bytes-per-frame") {
            if (!ParseInt(value, 1, 122, n)) {
                return "--bytes-per-frame must be 1..122, not '" + value + "'";
            }
            o.config.bytesPerFrame = static_cast<int>(n);
        } else if (name == "--clone-end") {
            if (!ParseHex(value, 4, h) || h >= static_cast<unsigned>(kImageSize)) {
                return "--clone-end must be 4 hexadecimal digits 0000..7FDF, not '" + value + "'";
            }
            o.config.cloneEnd = static_cast<std::int32_t>(h);
        } else if (name == "--mid") {
            if (value != "on" && value != "off") {
                return "--mid must be on or off, not '" + value + "'";
            }
            o.image.mid = value == "on";
        } else if (name == "--link") {
            if (value.empty()) {
                return "--link needs a path";
            }
            o.linkPath = value;
        } else if (name == "--paced-input") {
            if (value != "on" && value != "off") {
                return "--paced-input must be on or off, not '" + value + "'";
            }
            o.pacedInput = value == "on";
        } else if (name == "--trace-clock") {
            if (value != "start" && value != "monotonic") {
                return "--trace-clock must be start or monotonic, not '" + value + "'";
            }
            o.monotonicTrace = value == "monotonic";
        }
    }
    if (!o.imagePath.empty() && o.image.mid) {
        return "--image cannot be combined with --mid";
    }
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08u", static_cast<unsigned>(o.seed % 100000000u));
    o.config.serial = serial;
    // Identifiers and the revision become frame bytes; FE and FD would break the framing.
    for (unsigned b : {unsigned(o.config.sub >> 8), unsigned(o.config.sub & 0xFF),
                       unsigned(o.config.revision)}) {
        if (b == 0xFE || b == 0xFD) {
            return "--sub and --revision must not contain the bytes FE or FD";
        }
    }
    return o;
}

}  // namespace quorvane::sim
