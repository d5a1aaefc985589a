#pragma once

#include <chrono>
#include <string>

#include "record/service_session.h"

namespace quorvane {

// A session's record as it is saved: the text and, beside it, the table.
struct ServiceRecordFiles {
    // Plain text: who and what, the eighteen items as read and now, the parameter-dump lines
    // that differ between the image as read and now, the last converter readouts and the
    // journal. Lines end with "\n".
    std::string text;
    // The values that changed, for a spreadsheet: "kind,name,as read,now" and a row for each
    // changed item and each differing dump line. Lines end with CR LF.
    std::string csv;
};

ServiceRecordFiles RenderServiceRecord(const ServiceSession& session,
                                       std::chrono::sys_seconds savedAt);

}  // namespace quorvane
