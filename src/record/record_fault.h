#pragma once

#include <cstdint>

#include "platform/result.h"

namespace quorvane {

// Why a service record was not saved; the text of the failure says it to the technician.
enum class RecordFault : std::uint8_t {
    NothingRead,  // no transceiver has been read, so there is no session to record
    SameName,     // two files of the record would have one name
    NameTaken,    // a file of that name exists, and records are never overwritten
    CannotWrite,  // the folder or a file could not be written
};

using RecordStatus = Status<RecordFault>;

}  // namespace quorvane
