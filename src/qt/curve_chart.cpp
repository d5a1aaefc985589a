#include "qt/curve_chart.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QSvgGenerator>
#include <algorithm>
#include <vector>

#include "qt/qt_text.h"
#include "record/record_text.h"

namespace quorvane {

namespace {

// Converter readings and values are bytes.
constexpr double kFull = 255.0;
constexpr int kValueTicks[] = {0, 32, 64, 96, 128, 160, 192, 224, 255};
constexpr int kReadingTicks[] = {0, 64, 128, 192, 255};

const QColor kGrid(0xd8, 0xd8, 0xd8);
const QColor kFrame(0x60, 0x60, 0x60);
const QColor kCurve(0x1f, 0x4e, 0x9c);
const QColor kBest(0xcd, 0xec, 0xcd);
const QColor kKept(0xc0, 0x10, 0x10);
const QColor kTarget(0xb0, 0x58, 0x00);

QFont ChartFont(int pixels, bool bold) {
    // The face the record's page names first, so screen, SVG and print measure alike.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QPen Pen(const QColor& color, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(color, width, style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

// Maps values and readings into the plot area.
struct Plot {
    QRectF area;
    double X(double value) const { return area.left() + value / kFull * area.width(); }
    double Y(double reading) const { return area.bottom() - reading / kFull * area.height(); }
};

QString Title(const SpecialOpOutcome& run, bool running) {
    if (!running) {
        return ToQString(OutcomeText(run));
    }
    QString title = ToQString(RunName(run)) +
                    QStringLiteral(" under way: %1 values read").arg(run.points.size());
    if (run.operation == ChangeSource::Sweep && !run.points.empty()) {
        title += QStringLiteral(", best SD reading %1 so far").arg(run.reading);
    }
    return title;
}

void DrawAxes(QPainter& p, const Plot& plot, const SpecialOpOutcome& run) {
    const QRectF& a = plot.area;
    p.setFont(ChartFont(11, false));
    for (const int v : kValueTicks) {
        p.setPen(Pen(kGrid, 1));
        p.drawLine(QPointF(plot.X(v), a.top()), QPointF(plot.X(v), a.bottom()));
        p.setPen(Pen(Qt::black, 1));
        p.drawText(QRectF(plot.X(v) - 20, a.bottom() + 3, 40, 14), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(v));
    }
    for (const int r : kReadingTicks) {
        p.setPen(Pen(kGrid, 1));
        p.drawLine(QPointF(a.left(), plot.Y(r)), QPointF(a.right(), plot.Y(r)));
        p.setPen(Pen(Qt::black, 1));
        p.drawText(QRectF(a.left() - 34, plot.Y(r) - 7, 30, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(r));
    }
    p.setPen(Pen(kFrame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(a);

    p.setPen(Pen(Qt::black, 1));
    p.drawText(QRectF(a.left(), a.bottom() + 18, a.width(), 16), Qt::AlignHCenter | Qt::AlignTop,
               ToQString(run.name) + QStringLiteral(" value"));
    const QString reading = run.operation == ChangeSource::Lva ? QStringLiteral("LVIN reading")
                                                               : QStringLiteral("SD reading");
    p.save();
    p.translate(a.left() - 38, a.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-a.height() / 2, -16, a.height(), 16), Qt::AlignHCenter | Qt::AlignBottom,
               reading);
    p.restore();
}

// A vertical mark across the plot at value, labelled at its top.
void DrawValueMark(QPainter& p, const Plot& plot, int value, const QString& label,
                   const QColor& color) {
    const double x = plot.X(value);
    p.setPen(Pen(color, 1.5, Qt::DashLine));
    p.drawLine(QPointF(x, plot.area.top()), QPointF(x, plot.area.bottom()));
    p.setFont(ChartFont(11, true));
    const bool right = value < 200;  // near the right edge the label goes to the left
    const QRectF box(right ? x + 4 : x - 104, plot.area.top() + 2, 100, 14);
    p.drawText(box, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop, label);
}

void DrawSweep(QPainter& p, const Plot& plot, const SpecialOpOutcome& run, bool running) {
    if (!run.points.empty()) {
        // The run of values that gave the best reading, at least a few pixels wide.
        const double left = plot.X(run.firstBest);
        const double width = std::max(plot.X(run.lastBest) - left, 3.0);
        p.fillRect(
            QRectF(left - (width <= 3.0 ? 1.5 : 0.0), plot.area.top(), width, plot.area.height()),
            kBest);
    }
    QPolygonF curve;
    curve.reserve(static_cast<qsizetype>(run.points.size()));
    for (const CurvePoint& point : run.points) {
        curve << QPointF(plot.X(point.value), plot.Y(point.reading));
    }
    p.setPen(Pen(kCurve, 1.5));
    p.drawPolyline(curve);
    if (!running) {
        DrawValueMark(p, plot, run.value, QStringLiteral("kept %1").arg(run.value), kKept);
    }
}

void DrawLva(QPainter& p, const Plot& plot, const SpecialOpOutcome& run, bool running) {
    p.setPen(Pen(kTarget, 1.5, Qt::DashLine));
    const double y = plot.Y(run.target);
    p.drawLine(QPointF(plot.area.left(), y), QPointF(plot.area.right(), y));
    p.setFont(ChartFont(11, true));
    p.drawText(QRectF(plot.area.right() - 124, y - 16, 120, 14), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("target %1").arg(run.target));

    // The readings against the value, the probes numbered in the order the bisection took them.
    std::vector<CurvePoint> sorted = run.points;
    std::sort(sorted.begin(), sorted.end(),
              [](const CurvePoint& a, const CurvePoint& b) { return a.value < b.value; });
    QPolygonF curve;
    for (const CurvePoint& point : sorted) {
        curve << QPointF(plot.X(point.value), plot.Y(point.reading));
    }
    p.setPen(Pen(kCurve, 1.5));
    p.drawPolyline(curve);
    p.setBrush(kCurve);
    p.setFont(ChartFont(10, false));
    const QFontMetricsF metrics(p.font());
    std::vector<QRectF> labels;
    for (std::size_t i = 0; i < run.points.size(); ++i) {
        const QPointF at(plot.X(run.points[i].value), plot.Y(run.points[i].reading));
        p.setPen(Pen(kCurve, 1));
        p.drawEllipse(at, 2.5, 2.5);
        // The last probes crowd round the target: a number goes above, below or to the left
        // of its dot where it overlaps none drawn before, or is left out.
        const QString number = QString::number(i + 1);
        const QSizeF size(metrics.horizontalAdvance(number) + 1, metrics.height());
        for (const QPointF corner :
             {QPointF(at.x() + 3, at.y() - 3 - size.height()), QPointF(at.x() + 3, at.y() + 3),
              QPointF(at.x() - 3 - size.width(), at.y() - 3 - size.height()),
              QPointF(at.x() - 3 - size.width(), at.y() + 3)}) {
            const QRectF box(corner, size);
            if (std::none_of(labels.begin(), labels.end(),
                             [&](const QRectF& other) { return other.intersects(box); })) {
                p.setPen(Pen(Qt::black, 1));
                p.drawText(box, Qt::AlignCenter, number);
                labels.push_back(box);
                break;
            }
        }
    }
    p.setBrush(Qt::NoBrush);
    if (!running && run.succeeded) {
        DrawValueMark(p, plot, run.value, QStringLiteral("kept %1").arg(run.value), kKept);
    }
}

}  // namespace

QRectF CurvePlotArea(const QRectF& bounds) {
    return bounds.adjusted(64, 30, -16, -40);
}

void DrawCurve(QPainter& painter, const QRectF& bounds, const SpecialOpOutcome& run, bool running) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const Plot plot{CurvePlotArea(bounds)};
    painter.setPen(Pen(Qt::black, 1));
    painter.setFont(ChartFont(13, true));
    painter.drawText(QRectF(bounds.left() + 8, bounds.top() + 4, bounds.width() - 16, 20),
                     Qt::AlignLeft | Qt::AlignTop, Title(run, running));
    DrawAxes(painter, plot, run);
    if (run.operation == ChangeSource::Lva) {
        DrawLva(painter, plot, run, running);
    } else {
        DrawSweep(painter, plot, run, running);
    }
    painter.restore();
}

std::string QtCurveChart::Svg(const SpecialOpOutcome& run) const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(kSize);
    generator.setViewBox(QRectF(QPointF(0, 0), kSize));
    generator.setTitle(ToQString(RunName(run)));
    {
        QPainter painter(&generator);
        DrawCurve(painter, QRectF(QPointF(0, 0), kSize), run, false);
    }
    const std::string svg = buffer.data().toStdString();
    // The page sizes the chart by its style and needs neither the XML declaration nor the
    // generator's absolute size and namespaces: the drawing itself follows the root's tag.
    const std::size_t root = svg.find("<svg");
    const std::size_t body = root == std::string::npos ? root : svg.find('>', root);
    if (body == std::string::npos) {
        return {};
    }
    return "<svg class=\"chart\" viewBox=\"0 0 " + std::to_string(kSize.width()) + " " +
           std::to_string(kSize.height()) + "\" role=\"img\">" + svg.substr(body + 1);
}

}  // namespace quorvane
