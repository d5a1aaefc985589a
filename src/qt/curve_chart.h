#pragma once

#include <QRectF>
#include <QSize>

#include "adjust/session_events.h"
#include "record/curve_chart.h"

class QPainter;

namespace quorvane {

// The one drawing of a sweep's or an LVA adjustment's curve, on screen and in the record:
// the readings over the values 0 to 255 (both axes labelled), the best run of a sweep shaded,
// the LVA target level and probes marked, and the kept value once the run has ended.

// Where the values 0..255 (left to right) and the readings 0..255 (bottom to top) lie when
// the chart fills bounds.
QRectF CurvePlotArea(const QRectF& bounds);

// running: the run is still under way, its points growing; nothing is kept yet.
void DrawCurve(QPainter& painter, const QRectF& bounds, const SpecialOpOutcome& run, bool running);

// The record's charts, drawn by DrawCurve through QSvgGenerator.
class QtCurveChart final : public ICurveChart {
  public:
    // The size of a chart in the record's page, in its own units (CSS pixels at 100 %).
    static constexpr QSize kSize{640, 300};

    std::string Svg(const SpecialOpOutcome& run) const override;
};

}  // namespace quorvane
