#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "image/image_fault.h"
#include "platform/byte_string.h"
#include "protocol/wire.h"

// An EEPROM image file (".qvimg"): the transceiver's 32736 image bytes first, unchanged, so
// that cmp or a hex editor sees them at their own addresses, then a trailer of 60 ASCII bytes:
// fixed-width fields, each followed by one blank, the last by a line feed, so that
// `tail -c 60 FILE` prints it as one line:
//
//   offset  size  field
//        0     8  magic "QVADJIMG"
//        9     2  format version, decimal: "01"
//       12     4  model identifier as the transceiver answered, upper-case hexadecimal: "8537"
//       17     4  sub identifier, upper-case hexadecimal: "0200"
//       22     2  revision, upper-case hexadecimal: "04"
//       25     4  end address of the clone area, upper-case hexadecimal: "7FE0"
//       30    20  time of the read, UTC, ISO 8601 to the second: "2026-12-07T05:15:02Z"
//       51     8  CRC-32 (IEEE 802.3, as zlib computes it) of every byte before it, from the
//                 first image byte to the blank at trailer offset 50, upper-case hexadecimal
//       59     1  line feed
//
// Offsets count from the first trailer byte (file offset 32736); a whole file is 32796 bytes.
// Example trailer: "QVADJIMG 01 8537 0200 04 7FE0 2026-12-07T05:15:02Z 1A2B3C4D\n".
//
// A plain file of exactly 32736 bytes reads as an image of unknown origin. Every other file
// is refused with the reason, and the caller gets no image.
namespace quorvane {

// The transceiver as its identification answer described it.
struct RadioIdentity {
    std::uint16_t model = 0;       // 0x8537
    std::uint16_t sub = 0;         // 0x0200
    std::uint8_t revision = 0;     // 0x04
    std::uint16_t endAddress = 0;  // the end of the clone area, 0x7FE0

    bool operator==(const RadioIdentity&) const = default;
};

// Where an image came from: which transceiver, and when it was read.
struct ImageOrigin {
    RadioIdentity identity;
    std::chrono::sys_seconds readAt;  // kept from year 0000 to 9999, clamped outside

    bool operator==(const ImageOrigin&) const = default;
};

struct EepromImageFile {
    static constexpr std::size_t kImageSize = wire::kImageSize;
    static constexpr std::size_t kTrailerSize = 60;
    static constexpr std::size_t kFileSize = kImageSize + kTrailerSize;

    Bytes image;                        // exactly kImageSize bytes
    std::optional<ImageOrigin> origin;  // absent for a plain image file
};

// An image file, or why there is none.
using ImageFileResult = ImageResult<EepromImageFile>;

// The file's bytes. The image must be kImageSize bytes: any other size is a fault of the
// caller and raises InvalidArgument.
Bytes EncodeImageFile(const Bytes& image, const ImageOrigin& origin);

// The image and its origin; a failure's text is the reason alone, for example
// "its checksum does not match: the file is damaged".
ImageFileResult DecodeImageFile(const Bytes& bytes);

// Why a file of size bytes is refused when it is neither a plain image nor an image file.
std::string ImageFileSizeReason(std::uintmax_t size);

// Reads and decodes a file; a failure's text names the file and the reason:
// "Cannot read the image 'PATH': there is no such file."
ImageFileResult LoadImageFile(const std::filesystem::path& path);

// Writes the file atomically (a temporary file renamed over path), replacing a file of that
// name. Fails with CannotSave: "Cannot save the image 'PATH': REASON."
ImageStatus SaveImageFile(const std::filesystem::path& path, const Bytes& image,
                          const ImageOrigin& origin);

}  // namespace quorvane
