// The image file reader on files a user could hand the program, in memory. A whole file is
// 32796 bytes, more than a fuzzer input should hold, so the input describes one:
//
//   mode 0: an image of one repeated byte, then the rest of the input as the bytes after it
//           (a trailer of any length and content);
//   mode 1: a file the program wrote (origin from the input), then bytes of its trailer
//           changed, its checksum made right again or not, and the file cut or lengthened;
//   mode 2: a file of any size up to 64 KB of one repeated byte.
//
// Whatever comes, a file is refused with a reason a message can show, or its image and origin
// write back as exactly the bytes read; a file the program wrote always reads back.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "fuzz_input.h"
#include "image/crc32.h"
#include "image/image_file.h"

namespace quorvane::fuzz {
namespace {

constexpr std::size_t kImage = EepromImageFile::kImageSize;
constexpr std::size_t kCrcAt = kImage + 51;  // where the trailer's checksum stands

Bytes Image(FuzzInput& in) {
    Bytes image(kImage, in.Byte());
    for (int n = in.Byte() % 16; n > 0; --n) {
        image[in.Word() % kImage] = in.Byte();
    }
    return image;
}

ImageOrigin Origin(FuzzInput& in) {
    ImageOrigin origin;
    origin.identity = {in.Word(), in.Word(), in.Byte(), in.Word()};
    // Seconds from about 17,000 years before 1970 to as many after: past both ends of the
    // years a trailer can hold.
    std::int64_t seconds = 0;
    for (int i = 0; i < 5; ++i) {
        seconds = seconds << 8 | in.Byte();
    }
    origin.readAt =
        std::chrono::sys_seconds{std::chrono::seconds{seconds - (std::int64_t{1} << 39)}};
    return origin;
}

// A written file, changed as the input says; written is what it must read back as when it
// was left as written.
Bytes ChangedFile(FuzzInput& in, std::optional<EepromImageFile>& written) {
    const Bytes image = Image(in);
    const ImageOrigin origin = Origin(in);
    Bytes file = EncodeImageFile(image, origin);
    const std::uint8_t how = in.Byte();
    for (int n = how % 4; n > 0; --n) {
        file[kImage + in.Byte() % EepromImageFile::kTrailerSize] = in.Byte();
    }
    if ((how & 4) != 0) {
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X",
                      static_cast<unsigned>(Crc32(std::span(file).first(kCrcAt))));
        std::copy(crc, crc + 8, file.begin() + kCrcAt);
    }
    if ((how & 8) != 0) {
        file.resize(kImage - 2 + in.Byte() % 64, in.Byte());
    }
    if (how % 4 == 0 && (how & 8) == 0) {
        written = EepromImageFile{image, origin};
    }
    return file;
}

bool Printable(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    using fuzz::kImage;
    fuzz::FuzzInput in(data, size);
    Bytes file;
    std::optional<EepromImageFile> written;
    switch (in.Byte() % 3) {
        case 0:
            file.assign(kImage, in.Byte());
            {
                const Bytes rest = in.Rest();
                file.insert(file.end(), rest.begin(), rest.end());
            }
            break;
        case 1:
            file = fuzz::ChangedFile(in, written);
            break;
        default:
            file.assign(in.Word(), in.Byte());
            break;
    }

    const ImageFileResult result = DecodeImageFile(file);
    if (written) {
        QUORVANE_FUZZ_CHECK(result && result->image == written->image && result->origin &&
                            result->origin->identity == written->origin->identity);
    }
    if (!result) {
        // The reason goes into a message box and onto a terminal as it stands.
        QUORVANE_FUZZ_CHECK(!result.text().empty() && fuzz::Printable(result.text()));
        return 0;
    }
    QUORVANE_FUZZ_CHECK(result->image.size() == kImage);
    if (!result->origin) {
        QUORVANE_FUZZ_CHECK(file.size() == kImage && result->image == file);
        return 0;
    }
    QUORVANE_FUZZ_CHECK(EncodeImageFile(result->image, *result->origin) == file);
    return 0;
}
