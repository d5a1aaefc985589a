// The settings file reader and writer on arbitrary file contents: typed reads of the program's
// options and of every value type, then one write; the write either leaves the file byte for
// byte as it was (refused) or changes only the key written.
#include <strings.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "fuzz_input.h"
#include "settings/ini_file_store.h"
#include "settings/profile_io.h"
#include "settings/settings_file.h"

namespace quorvane::fuzz {
namespace {

namespace fs = std::filesystem;

// One scratch directory for the whole run, on a memory file system when there is one.
class Scratch {
  public:
    Scratch() {
        std::error_code ec;
        const fs::path base = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        std::string pattern = (base / "quorvane-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            Finding("cannot create a scratch directory");
        }
        dir_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const fs::path& dir() const { return dir_; }

  private:
    fs::path dir_;
};

const Scratch& TheScratch() {
    static const Scratch scratch;
    return scratch;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::array<const char*, 5> kSections = {"OPTION", "option", "PORTS",
                                                  "Quorvane ADJ Rev.2.0", " x "};
constexpr std::array<const char*, 6> kKeys = {"ComPort", "comautorelease", "COM1", "a", "=", ""};

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    namespace fs = std::filesystem;
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    const std::string content = BytesToText(in.Rest());

    const fs::path file = fuzz::TheScratch().dir() / "QUORVAADJ.rs";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    IniFileStore store;
    clsCmcProfileIO prof(store, fuzz::TheScratch().dir().string());
    prof.SetCurrentPath();
    prof.Name("QUORVAADJ.rs");

    // The program's own reads, then one read of every value type.
    prof.Section("OPTION");
    Int32 shared = 0;
    (void)LoadOption(prof, kComPortOption, shared);
    (void)LoadOption(prof, kComAutoReleaseOption, shared);
    const std::array<ProfileValue, 9> kinds = {
        ProfileValue{Int16{0}}, ProfileValue{Int32{0}},      ProfileValue{std::uint8_t{0}},
        ProfileValue{0.0f},     ProfileValue{0.0},           ProfileValue{Currency{}},
        ProfileValue{Date{}},   ProfileValue{std::string()}, ProfileValue{false}};
    for (const char* key : fuzz::kKeys) {
        ProfileValue v = kinds[choice % kinds.size()];
        (void)prof.loadData(key, v);
    }

    // Everything readable before the write.
    std::array<std::string, fuzz::kSections.size() * fuzz::kKeys.size()> before;
    for (std::size_t s = 0; s < fuzz::kSections.size(); ++s) {
        for (std::size_t k = 0; k < fuzz::kKeys.size(); ++k) {
            before[s * fuzz::kKeys.size() + k] = store.GetProfileString(
                fuzz::kSections[s], fuzz::kKeys[k], "\x01", 255, file.string());
        }
    }

    const char* section = fuzz::kSections[choice % 4];
    const char* key = fuzz::kKeys[(choice / 4) % 4];
    const std::string value = std::to_string(choice);
    const bool written = store.WriteProfileString(section, key, value, file.string());
    if (!written) {
        QUORVANE_FUZZ_CHECK(fuzz::ReadAll(file) == content);
        return 0;
    }
    QUORVANE_FUZZ_CHECK(store.GetProfileString(section, key, "", 255, file.string()) == value);
    for (std::size_t s = 0; s < fuzz::kSections.size(); ++s) {
        for (std::size_t k = 0; k < fuzz::kKeys.size(); ++k) {
            const bool sameSection = strcasecmp(fuzz::kSections[s], section) == 0;
            const bool sameKey = strcasecmp(fuzz::kKeys[k], key) == 0;
            if (sameSection && sameKey) {
                continue;
            }
            QUORVANE_FUZZ_CHECK(store.GetProfileString(fuzz::kSections[s], fuzz::kKeys[k], "\x01",
                                                       255, file.string()) ==
                                before[s * fuzz::kKeys.size() + k]);
        }
    }
    return 0;
}
