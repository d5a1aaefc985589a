#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "app/program.h"
#include "rig/fake_controls.h"

namespace quorvane::test {

// The state after a reset: port closed, nothing running, the title page shown, and the
// eighteen item lines as at start-up. The channel line is drawn from whatever the image holds
// (a failed read may have filled part of it); its page stays hidden until a read ends.
inline bool InInitialState(Program& program, const FakeMainForm& form,
                           const std::vector<std::string>& initialLines) {
    const auto& lines = form.lboConsole.lines;
    return !program.Com().comOpen() && !program.Sequence().OpRunning() &&
           program.Operations().stepNo() == 0 && lines.size() == 18 && initialLines.size() == 18 &&
           lines[0].rfind("    CH No.: 01 ", 0) == 0 &&
           std::equal(lines.begin() + 1, lines.end(), initialLines.begin() + 1) &&
           form.fra01[0].Visible() && !form.fra01[1].Visible();
}

}  // namespace quorvane::test
