#pragma once

#include <chrono>
#include <string>

#include "record/service_session.h"

namespace quorvane {

// The service record of a session as plain text: who and what, the eighteen items as read and
// now, the parameter-dump lines that differ between the image as read and now, the last
// converter readouts and the journal. Lines end with "\n".
std::string ServiceRecordText(const ServiceSession& session, std::chrono::sys_seconds savedAt);

// The values that changed, for a spreadsheet: "kind,name,as read,now" and a row for each
// changed item and each differing dump line.
std::string ServiceRecordCsv(const ServiceSession& session);

}  // namespace quorvane
