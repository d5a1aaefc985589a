#pragma once

#include <cstdint>

#include "platform/result.h"

namespace quorvane {

// Why an image file, a backup or an image command failed; the text of the failure says it
// to the technician.
enum class ImageFault : std::uint8_t {
    NoSuchFile,      // the path names nothing
    NotAFile,        // a folder, a FIFO or a device
    Unreadable,      // the system refused to open or read it
    WrongSize,       // neither a plain image nor an image file
    NoTrailer,       // the bytes after the image are no trailer
    UnknownVersion,  // a trailer of a format version this program does not know
    CutShort,        // the trailer is shorter than a whole one
    Damaged,         // the checksum does not match
    Malformed,       // a field of the trailer is not what its place holds
    CannotSave,      // the file or backup could not be written
    NamesTaken,      // every backup name of that second is taken
    NothingRead,     // no image has been read from a transceiver yet
    NoTransceiver,   // no transceiver is connected to write to
    OtherModel,      // the image was read from another model
};

template <class T>
using ImageResult = Result<T, ImageFault>;
using ImageStatus = Status<ImageFault>;

}  // namespace quorvane
