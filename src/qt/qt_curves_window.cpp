#include "qt/qt_curves_window.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>

#include "image/utc_time.h"
#include "platform/program_title.h"
#include "qt/curve_chart.h"
#include "qt/qt_text.h"
#include "record/record_text.h"

namespace quorvane {

QtCurveView::QtCurveView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("curveView"));
    setMinimumSize(QtCurveChart::kSize / 2);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtCurveView::Show(const SpecialOpOutcome* run, bool running) {
    has_ = run != nullptr;
    running_ = running;
    if (has_) {
        run_ = *run;
    }
    update();
}

void QtCurveView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (has_) {
        DrawCurve(painter, rect(), run_, running_);
        return;
    }
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("No sweep and no LVA adjustment in this session yet.\n"
                                    "Press Enter on BPF T1, BPF T2, BPF ALL, RX LVA or TX LVA."));
}

QtCurvesWindow::QtCurvesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("curvesWindow"));
    setWindowTitle(QStringLiteral("Sweep and LVA curves - ") + QLatin1String(kProgramTitle));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("curveList"));
    list_->setFixedWidth(230);
    view_ = new QtCurveView(this);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(view_, 1);
    resize(QtCurveChart::kSize.width() + 270, QtCurveChart::kSize.height() + 120);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowChosen(); });
}

void QtCurvesWindow::Refresh(const SpecialOpOutcome* running, const ServiceSession* session) {
    const std::size_t ended = session != nullptr ? session->Curves().size() : 0;
    if (session != session_ || ended != ended_.size() || (running != nullptr) != hasRunning_) {
        Rebuild(running, session);
        return;
    }
    if (running != nullptr && running->points.size() != runningPoints_) {
        running_ = *running;
        runningPoints_ = running_.points.size();
        const int row = list_->currentRow();
        if (row >= 0 && rows_[static_cast<std::size_t>(row)].running) {
            view_->Show(&running_, true);
        }
    }
}

void QtCurvesWindow::Rebuild(const SpecialOpOutcome* running, const ServiceSession* session) {
    const int current = list_->currentRow();
    const bool followNewest = current <= 0 || rows_[static_cast<std::size_t>(current)].running;
    const Row chosen = current >= 0 ? rows_[static_cast<std::size_t>(current)] : Row{};

    session_ = session;
    hasRunning_ = running != nullptr;
    running_ = hasRunning_ ? *running : SpecialOpOutcome{};
    runningPoints_ = running_.points.size();
    ended_.clear();
    std::vector<QString> names;
    if (session != nullptr) {
        for (const JournalEntry* e : session->Curves()) {
            ended_.push_back(*e->Outcome());
            names.push_back(
                ToQString(RunName(*e->Outcome()) + ", " + UtcClockText(e->at) + " UTC"));
        }
    }

    const QSignalBlocker quiet(list_);
    list_->clear();
    rows_.clear();
    if (hasRunning_) {
        rows_.push_back({true, 0});
        list_->addItem(ToQString(RunName(running_)) + QStringLiteral(", under way"));
    }
    for (std::size_t i = ended_.size(); i-- > 0;) {
        rows_.push_back({false, i});
        list_->addItem(names[i]);
    }
    int row = rows_.empty() ? -1 : 0;
    for (std::size_t i = 0; !followNewest && i < rows_.size(); ++i) {
        if (rows_[i] == chosen) {
            row = static_cast<int>(i);
        }
    }
    list_->setCurrentRow(row);
    ShowChosen();
}

void QtCurvesWindow::ShowChosen() {
    const int row = list_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        view_->Show(nullptr, false);
        return;
    }
    const Row& r = rows_[static_cast<std::size_t>(row)];
    view_->Show(r.running ? &running_ : &ended_[r.index], r.running);
}

}  // namespace quorvane
