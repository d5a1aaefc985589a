#pragma once

#include <string>

#include "adjust/session_events.h"

namespace quorvane {

// Draws the curve of a sweep or an LVA adjustment for the record's page: the readings over
// the values 0 to 255, the best run and the kept value marked. The window toolkit draws it,
// the same drawing the curves window shows.
class ICurveChart {
  public:
    // An <svg> element to be placed inside an HTML page: no XML declaration, no outside
    // reference, sized by its viewBox.
    virtual std::string Svg(const SpecialOpOutcome& run) const = 0;

  protected:
    ~ICurveChart() = default;
};

}  // namespace quorvane
