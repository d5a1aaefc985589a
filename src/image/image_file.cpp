#include "image/image_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>
#include <string_view>

#include "image/crc32.h"
#include "image/utc_time.h"
#include "platform/runtime_error.h"

namespace quorvane {

namespace chr = std::chrono;

namespace {

constexpr std::string_view kMagic = "QVADJIMG";
constexpr std::string_view kVersion = "01";
constexpr std::size_t kVersionAt = 9;
constexpr std::size_t kCrcAt = 51;  // the checksum covers every byte before it

// Trailer offsets of the fields after the version, each followed by one blank.
constexpr std::size_t kModelAt = 12;
constexpr std::size_t kSubAt = 17;
constexpr std::size_t kRevisionAt = 22;
constexpr std::size_t kEndAt = 25;
constexpr std::size_t kTimeAt = 30;
constexpr std::size_t kTimeSize = 20;

chr::sys_seconds Clamped(chr::sys_seconds t) {
    constexpr chr::sys_days kFirst{chr::year{0} / 1 / 1};
    constexpr chr::sys_days kAfterLast{chr::year{10000} / 1 / 1};
    return std::clamp<chr::sys_seconds>(t, kFirst, kAfterLast - chr::seconds{1});
}

std::string IsoTime(chr::sys_seconds t) {
    const UtcTime u = SplitUtc(t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", u.year, u.month, u.day,
                  u.hour, u.minute, u.second);
    return text;
}

// The value of width digits at text[at]: decimal or upper-case hexadecimal.
std::optional<unsigned> Number(std::string_view text, std::size_t at, std::size_t width,
                               unsigned base) {
    unsigned value = 0;
    for (const char c : text.substr(at, width)) {
        const int digit = (c >= '0' && c <= '9')   ? c - '0'
                          : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : 99;
        if (digit >= static_cast<int>(base)) {
            return std::nullopt;
        }
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

std::optional<chr::sys_seconds> ParseIsoTime(std::string_view t) {
    const auto y = Number(t, 0, 4, 10), mo = Number(t, 5, 2, 10), d = Number(t, 8, 2, 10);
    const auto h = Number(t, 11, 2, 10), mi = Number(t, 14, 2, 10), s = Number(t, 17, 2, 10);
    if (t.size() != kTimeSize || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != 'Z' || !y || !mo || !d || !h || !mi || !s || *h > 23 || *mi > 59 ||
        *s > 59) {
        return std::nullopt;
    }
    const chr::year_month_day ymd{chr::year{static_cast<int>(*y)}, chr::month{*mo}, chr::day{*d}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return chr::sys_days{ymd} + chr::hours{*h} + chr::minutes{*mi} + chr::seconds{*s};
}

std::optional<ImageOrigin> ParseOrigin(std::string_view trailer) {
    const auto model = Number(trailer, kModelAt, 4, 16);
    const auto sub = Number(trailer, kSubAt, 4, 16);
    const auto revision = Number(trailer, kRevisionAt, 2, 16);
    const auto end = Number(trailer, kEndAt, 4, 16);
    const auto readAt = ParseIsoTime(trailer.substr(kTimeAt, kTimeSize));
    constexpr std::array<std::size_t, 7> kBlanks{8, 11, 16, 21, 24, 29, 50};
    for (const std::size_t blank : kBlanks) {
        if (trailer[blank] != ' ') {
            return std::nullopt;
        }
    }
    if (!model || !sub || !revision || !end || !readAt || trailer.back() != '\n') {
        return std::nullopt;
    }
    return ImageOrigin{{static_cast<std::uint16_t>(*model), static_cast<std::uint16_t>(*sub),
                        static_cast<std::uint8_t>(*revision), static_cast<std::uint16_t>(*end)},
                       *readAt};
}

// Bytes of a file quoted in a reason: a control byte or one beyond ASCII would garble the
// message or cut it short, so such a byte is written as \xNN.
std::string Printable(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        if (c >= ' ' && c <= '~') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            text += escaped;
        }
    }
    return text;
}

ImageFileResult Refused(ImageFault cause, std::string reason) {
    return Failure<ImageFault>{cause, std::move(reason)};
}

}  // namespace

std::string ImageFileSizeReason(std::uintmax_t size) {
    return "it holds " + std::to_string(size) + " bytes; an image holds " +
           std::to_string(EepromImageFile::kImageSize) + ", an image file " +
           std::to_string(EepromImageFile::kFileSize);
}

Bytes EncodeImageFile(const Bytes& image, const ImageOrigin& origin) {
    if (image.size() != EepromImageFile::kImageSize) {
        raiseInvalidArgument("an image of " + std::to_string(image.size()) + " bytes");
    }
    const RadioIdentity& id = origin.identity;
    char fields[48];
    std::snprintf(fields, sizeof fields, "%04X %04X %02X %04X ", unsigned{id.model},
                  unsigned{id.sub}, unsigned{id.revision}, unsigned{id.endAddress});
    const std::string head = std::string(kMagic) + " " + std::string(kVersion) + " " + fields +
                             IsoTime(Clamped(origin.readAt)) + " ";
    Bytes out = image;
    out.insert(out.end(), head.begin(), head.end());
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X\n", static_cast<unsigned>(Crc32(out)));
    out.insert(out.end(), crc, crc + 9);
    return out;
}

ImageFileResult DecodeImageFile(const Bytes& bytes) {
    constexpr std::size_t kImage = EepromImageFile::kImageSize;
    if (bytes.size() == kImage) {
        return EepromImageFile{bytes, std::nullopt};
    }
    if (bytes.size() < kImage || bytes.size() > EepromImageFile::kFileSize) {
        return Refused(ImageFault::WrongSize, ImageFileSizeReason(bytes.size()));
    }
    const std::string trailer(bytes.begin() + kImage, bytes.end());
    const std::size_t known = std::min(trailer.size(), kMagic.size());
    if (trailer.compare(0, known, kMagic, 0, known) != 0) {
        return Refused(ImageFault::NoTrailer, "the bytes after its first " +
                                                  std::to_string(kImage) + " are no image trailer");
    }
    if (trailer.size() >= kVersionAt + kVersion.size() &&
        trailer.compare(kVersionAt, kVersion.size(), kVersion) != 0) {
        return Refused(ImageFault::UnknownVersion,
                       "its format version \"" +
                           Printable(trailer.substr(kVersionAt, kVersion.size())) +
                           "\" is unknown");
    }
    if (trailer.size() < EepromImageFile::kTrailerSize) {
        return Refused(ImageFault::CutShort,
                       "its trailer is cut short: " + std::to_string(trailer.size()) + " of " +
                           std::to_string(EepromImageFile::kTrailerSize) + " bytes");
    }
    const std::optional<unsigned> stored = Number(trailer, kCrcAt, 8, 16);
    if (!stored || *stored != Crc32(std::span(bytes).first(kImage + kCrcAt))) {
        return Refused(ImageFault::Damaged, "its checksum does not match: the file is damaged");
    }
    const std::optional<ImageOrigin> origin = ParseOrigin(trailer);
    if (!origin) {
        return Refused(ImageFault::Malformed, "its trailer is malformed");
    }
    return EepromImageFile{Bytes(bytes.begin(), bytes.begin() + kImage), origin};
}

}  // namespace quorvane
