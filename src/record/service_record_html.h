#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "image/image_compare.h"
#include "record/curve_chart.h"
#include "record/service_session.h"

namespace quorvane {

// The service record as one page for a browser and a printer: the facts of the text record
// (the transceiver, the items as read and now, the stored parameters that differ, the last
// readouts, the special operations' outcomes), each sweep and LVA adjustment drawn, and the
// journal at the end. Self-contained: its style and charts are inline, it has no script and
// fetches nothing. charts: null draws no chart, the runs are only named.
std::string RenderServiceRecordHtml(const ServiceSession& session, std::chrono::sys_seconds savedAt,
                                    const std::vector<DumpLineDifference>& differences,
                                    const ICurveChart* charts);

}  // namespace quorvane
