#pragma once

#include <string>

#include "platform/checked.h"
#include "platform/program_title.h"
#include "platform/ui_controls.h"
#include "protocol/wire.h"

namespace quorvane {

// The error state that decides the message, as it was before the reset that precedes the box.
struct CloneErrorState {
    bool errCannotOpen = false;                          // the port could not be opened
    bool errOverflow = false;                            // the receive buffer overflowed
    Int16 comPortNum = 1;                                // the port of the failed open
    LinkError lastError = LinkError::None;               // the link driver's last error
    SequenceError sequencerError = SequenceError::None;  // the sequencer's own error
};

// The one message for the state, by precedence: port open, overflow, link error, sequencer.
std::string CloneErrorMessage(const CloneErrorState& state);

// The message of a run-time error (a standard exception) that what describes.
std::string RuntimeErrorMessage(const std::string& what);

// Shows text (with "\n" sequences expanded) in the modal critical box titled with the
// program's title; returns the button code.
Int16 MsgBoxCritical(IMessageBox& box, const std::string& text);

}  // namespace quorvane
