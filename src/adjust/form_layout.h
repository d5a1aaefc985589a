#pragma once

#include "platform/checked.h"
#include "platform/main_form.h"

namespace quorvane {

// Button captions, the readout placeholders and an empty progress bar.
void RigOpFunc_FormResource(const frmMainControls& form);

// Sizes and places the window (only when *firstCall is true, which it then clears) and lays
// out every control for the window's current inner size.
void RigOpFunc_FormLayout(const frmMainControls& form, bool& firstCall);

}  // namespace quorvane
