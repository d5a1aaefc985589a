#pragma once

#include <chrono>
#include <string>

#include "record/curve_chart.h"
#include "record/service_session.h"

namespace quorvane {

// A session's record as it is saved: the text and, beside it, the table and the page.
struct ServiceRecordFiles {
    // Plain text: who and what, the eighteen items as read and now, the parameter-dump lines
    // that differ between the image as read and now, the last converter readouts and the
    // journal. Lines end with "\n".
    std::string text;
    // The values that changed, for a spreadsheet: "kind,name,as read,now" and a row for each
    // changed item and each differing dump line. Lines end with CR LF.
    std::string csv;
    // The same as one HTML page with the sweeps and LVA adjustments drawn by charts (none
    // when charts is null).
    std::string html;
};

ServiceRecordFiles RenderServiceRecord(const ServiceSession& session,
                                       std::chrono::sys_seconds savedAt,
                                       const ICurveChart* charts = nullptr);

}  // namespace quorvane
