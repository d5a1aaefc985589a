// The curves of sweeps and LVA adjustments: what the curves window shows while a sweep runs
// and after it, what the record's page draws, and the page in a real browser.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgGenerator>
#include <cmath>
#include <filesystem>
#include <utility>

#include "qt/curve_chart.h"
#include "qt/qt_curves_window.h"
#include "rig/known_image.h"
#include "rig/program_rig.h"
#include "support/file_text.h"
#include "support/record_session.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

using Points = std::vector<CurvePoint>;

// The stand-in's SD over BPF T1 with T2 at 60 (on its plateau): 120 up to 36, rising by 2 a
// step to 220 over 86..94, falling again to 120 from 144 on.
const Points kSdCurve = {{0, 120},  {36, 120}, {37, 122}, {60, 168},  {85, 218},  {86, 220},
                         {90, 220}, {94, 220}, {95, 218}, {143, 122}, {144, 120}, {255, 120}};

// The drawn polylines of an SVG document, each as (value, reading) pairs read back through the
// plot area the drawing filled.
std::vector<Points> DrawnLines(const QString& svg, const QRectF& bounds) {
    const QRectF area = CurvePlotArea(bounds);
    std::vector<Points> lines;
    static const QRegularExpression polyline(QStringLiteral("points=\"([^\"]*)\""));
    for (const auto& match : polyline.globalMatch(svg)) {
        Points line;
        for (const QString& pair : match.captured(1).split(u' ', Qt::SkipEmptyParts)) {
            const double x = pair.section(u',', 0, 0).toDouble();
            const double y = pair.section(u',', 1, 1).toDouble();
            line.push_back(
                {static_cast<Int16>(std::lround((x - area.left()) / area.width() * 255)),
                 static_cast<Int16>(std::lround((area.bottom() - y) / area.height() * 255))});
        }
        lines.push_back(line);
    }
    return lines;
}

// The curve is the longest line; the kept value a vertical one of two points.
void ExpectSweepDrawn(const QString& svg, const QRectF& bounds) {
    const std::vector<Points> lines = DrawnLines(svg, bounds);
    Points curve;
    bool kept = false;
    for (const Points& line : lines) {
        curve = line.size() > curve.size() ? line : curve;
        kept = kept || (line.size() == 2 && line[0].value == 90 && line[1].value == 90 &&
                        line[0].reading != line[1].reading);
    }
    ASSERT_EQ(curve.size(), 256u);
    for (const CurvePoint& p : kSdCurve) {
        EXPECT_EQ(curve[static_cast<std::size_t>(p.value)], p) << "value " << p.value;
    }
    EXPECT_TRUE(kept);
}

QString SvgOf(QWidget& widget) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(widget.size());
    widget.render(&generator);
    return QString::fromUtf8(buffer.data());
}

// Runs a command to its end (two minutes at most): its standard output, or "" with a failure.
QByteArray Run(const QString& command, const QStringList& arguments) {
    QProcess process;
    process.start(command, arguments);
    const bool ended = process.waitForFinished(120000);
    EXPECT_TRUE(ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << command.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// The page rendered by headless Chromium in a profile of its own: its DOM, and its print
// on paper ("A4" or "letter") into pdf.
QByteArray Chromium(const QString& chromium, const fs::path& page, const char* paper,
                    const fs::path& pdf, bool dom) {
    std::string html = test::ReadFile(page.string());
    html.insert(html.find("</head>"), std::string("<style>@page { size: ") + paper + "; }</style>");
    const fs::path copy = pdf.parent_path() / (std::string(paper) + ".html");
    test::WriteFile(copy.string(), html);
    const test::TempDir profile;
    QStringList arguments{
        QStringLiteral("--headless"),
        QStringLiteral("--no-sandbox"),
        QStringLiteral("--disable-gpu"),
        QStringLiteral("--disable-quic"),
        QStringLiteral("--no-first-run"),
        QStringLiteral("--disable-background-networking"),
        QStringLiteral("--disable-component-update"),
        QStringLiteral("--disable-sync"),
        QStringLiteral("--user-data-dir=") + QString::fromStdString(profile.path()),
        QStringLiteral("--print-to-pdf=") + QString::fromStdString(pdf)};
    if (dom) {
        arguments << QStringLiteral("--dump-dom");
    }
    arguments << QStringLiteral("file://") + QString::fromStdString(copy);
    return Run(chromium, arguments);
}

int PdfPages(const fs::path& pdf) {
    static const QRegularExpression pages(QStringLiteral("\\nPages: +(\\d+)"));
    const QString info =
        QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf)}));
    return pages.match(QStringLiteral("\n") + info).captured(1).toInt();
}

// No chart is cut by a page break: every page that shows a chart's caption shows the name
// under its value axis too.
void ExpectWholeCharts(const fs::path& pdf) {
    const QString text = QString::fromUtf8(
        Run(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")}));
    int charts = 0;
    for (const QString& page : text.split(u'\f')) {
        for (const auto& [caption, axis] : {std::pair{"BPF T1 sweep", "BPF T1 value"},
                                            std::pair{"RX LVA adjustment", "RX LVA value"}}) {
            EXPECT_EQ(page.count(QLatin1String(caption)), page.count(QLatin1String(axis)))
                << caption << " on a page of " << pdf;
            charts += static_cast<int>(page.count(QLatin1String(axis)));
        }
    }
    EXPECT_EQ(charts, 2) << pdf;
}

// The point count of the longest line of each <svg> in the DOM.
std::vector<std::size_t> CurveSizes(const QString& dom) {
    std::vector<std::size_t> sizes;
    static const QRegularExpression points(QStringLiteral("points=\"([^\"]*)\""));
    const QStringList svgs = dom.split(QStringLiteral("<svg"));
    for (qsizetype i = 1; i < svgs.size(); ++i) {
        std::size_t longest = 0;
        for (const auto& match :
             points.globalMatch(svgs[i].section(QStringLiteral("</svg>"), 0, 0))) {
            longest = std::max<std::size_t>(
                longest,
                static_cast<std::size_t>(match.captured(1).split(u' ', Qt::SkipEmptyParts).size()));
        }
        sizes.push_back(longest);
    }
    return sizes;
}

class Curves : public ::testing::Test {
  protected:
    Program& program() { return rig.program; }
    const ServiceSession* session() { return program().Records().Session(); }
    void Refresh() { window.Refresh(program().Operations().RunningCurve(), session()); }
    QStringList Rows() const {
        QStringList rows;
        for (int i = 0; i < window.List()->count(); ++i) {
            rows << window.List()->item(i)->text();
        }
        return rows;
    }

    test::TempDir folder;
    QtCurveChart chart;
    test::ProgramRig rig{{}, test::KnownImage(), folder.path().string(), nullptr, &chart};
    QtCurvesWindow window;
};

TEST_F(Curves, ABpfT1SweepShowsTheStandInsPeakAsItGrowsInTheWindowAndInTheRecordsChart) {
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    window.resize(900, 420);
    window.show();
    Refresh();
    EXPECT_EQ(window.List()->count(), 0);
    EXPECT_EQ(window.View()->Shown(), nullptr);

    // Half way: the curve so far, under way at the top.
    program().Console().EnterPushed(test::kBpfT1Item);
    ASSERT_TRUE(rig.RunUntil(
        [&] {
            const SpecialOpOutcome* run = program().Operations().RunningCurve();
            return run != nullptr && run->points.size() == 100;
        },
        60000));
    Refresh();
    EXPECT_EQ(Rows(), QStringList{"BPF T1 sweep, under way"});
    ASSERT_NE(window.View()->Shown(), nullptr);
    EXPECT_TRUE(window.View()->Running());
    const Points& soFar = window.View()->Shown()->points;
    ASSERT_EQ(soFar.size(), 100u);
    EXPECT_EQ(soFar[60], (CurvePoint{60, 168}));
    EXPECT_EQ(soFar[90], (CurvePoint{90, 220}));
    EXPECT_EQ(soFar[99], (CurvePoint{99, 210}));
    rig.Period();
    Refresh();
    EXPECT_EQ(window.View()->Shown()->points.size(), 101u);  // it grows with every reading

    // Ended: named by item and time, kept in the middle of the plateau.
    ASSERT_TRUE(test::RunToBeep(rig, 1));
    Refresh();
    EXPECT_EQ(Rows(), QStringList{"BPF T1 sweep, 05:15:02 UTC"});
    ASSERT_NE(window.View()->Shown(), nullptr);
    EXPECT_FALSE(window.View()->Running());
    const SpecialOpOutcome& run = *window.View()->Shown();
    EXPECT_EQ(run.points.size(), 256u);
    EXPECT_EQ(run.value, 90);
    EXPECT_EQ(run.reading, 220);
    EXPECT_EQ(run.firstBest, 86);
    EXPECT_EQ(run.lastBest, 94);
    const QString shown = SvgOf(*window.View());
    ExpectSweepDrawn(shown, window.View()->rect());
    ExpectSweepDrawn(QString::fromStdString(chart.Svg(run)),
                     QRectF(QPointF(0, 0), QtCurveChart::kSize));

    // A later run goes on top and is shown; one chosen further down stays chosen.
    program().Console().Value(test::kLvRxLvaItem, 60);
    program().Console().EnterPushed(test::kRxLvaItem);
    ASSERT_TRUE(test::RunToBeep(rig, 2));
    Refresh();
    EXPECT_EQ(Rows(),
              (QStringList{"RX LVA adjustment, 05:15:02 UTC", "BPF T1 sweep, 05:15:02 UTC"}));
    EXPECT_EQ(window.View()->Shown()->points.size(), 9u);
    window.List()->setCurrentRow(1);
    program().Console().EnterPushed(test::kBpfT1Item);
    rig.RunFor(1000);
    Refresh();
    EXPECT_EQ(window.List()->currentRow(), 2);
    EXPECT_EQ(window.View()->Shown()->name, "BPF T1");
    EXPECT_FALSE(window.View()->Running());
}

TEST_F(Curves, TheRecordsPageOfTheIntegrationSessionShowsInChromiumAndPrintsWholeCharts) {
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    ASSERT_TRUE(test::RunRecordSession(rig));
    const fs::path record = folder.path() / "record.txt";
    ASSERT_TRUE(program().Records().Save(record.string()).ok());
    const fs::path page = folder.path() / "record.html";
    const std::string html = test::ReadFile(page.string());
    // Self-contained: nothing to run and nothing to fetch.
    for (const char* outside : {"<script", "http:", "https:", "src=", "href=", "url(", "@import"}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }

    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        GTEST_SKIP() << "Chromium is not installed (Debian package chromium, which scripts/setup "
                        "installs): the record's page was not rendered in a browser";
    }
    const fs::path a4 = folder.path() / "a4.pdf";
    const fs::path letter = folder.path() / "letter.pdf";
    const QString dom = QString::fromUtf8(Chromium(chromium, page, "A4", a4, true));
    Chromium(chromium, page, "letter", letter, false);

    const QString items = dom.section(QStringLiteral("<table class=\"items\">"), 1, 1)
                              .section(QStringLiteral("</table>"), 0, 0);
    EXPECT_EQ(items.count(QStringLiteral("<tr>")) + items.count(QStringLiteral("<tr class=")), 19);
    EXPECT_EQ(items.count(QStringLiteral("<tr class=\"changed\">")), 3);
    EXPECT_EQ(CurveSizes(dom), (std::vector<std::size_t>{256, 9}));
    EXPECT_EQ(PdfPages(a4), 7);
    EXPECT_EQ(PdfPages(letter), 7);
    ExpectWholeCharts(a4);
    ExpectWholeCharts(letter);
}

}  // namespace
}  // namespace quorvane
