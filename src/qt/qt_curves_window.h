#pragma once

#include <QWidget>
#include <chrono>
#include <cstddef>
#include <vector>

#include "adjust/session_events.h"
#include "record/service_session.h"

class QListWidget;

namespace quorvane {

// Paints one run with DrawCurve, or a line saying there is none.
class QtCurveView final : public QWidget {
  public:
    explicit QtCurveView(QWidget* parent = nullptr);

    // null: nothing to show.
    void Show(const SpecialOpOutcome* run, bool running);
    const SpecialOpOutcome* Shown() const { return has_ ? &run_ : nullptr; }
    bool Running() const { return running_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SpecialOpOutcome run_;
    bool has_ = false;
    bool running_ = false;
};

// The window of curves, beside the main window and never in its way: the sweep or LVA
// adjustment under way first, its curve growing as the readings come in, then the session's
// ended runs, newest first, each named by item and time; the chosen one is drawn.
class QtCurvesWindow final : public QWidget {
  public:
    explicit QtCurvesWindow(QWidget* parent = nullptr);

    // The run under way (null: none) and the session (null: none yet). Cheap when nothing
    // changed, so it may follow every tick.
    void Refresh(const SpecialOpOutcome* running, const ServiceSession* session);

    QListWidget* List() const { return list_; }
    QtCurveView* View() const { return view_; }

  private:
    // A row of the list: the run under way, or the session's ended run number `index`.
    struct Row {
        bool running = false;
        std::size_t index = 0;
        bool operator==(const Row&) const = default;
    };

    void Rebuild(const SpecialOpOutcome* running, const ServiceSession* session);
    void ShowChosen();

    QListWidget* list_ = nullptr;
    QtCurveView* view_ = nullptr;
    std::vector<Row> rows_;
    std::vector<SpecialOpOutcome> ended_;  // the session's ended runs, oldest first
    SpecialOpOutcome running_;
    const ServiceSession* session_ = nullptr;
    std::size_t runningPoints_ = 0;
    bool hasRunning_ = false;
};

}  // namespace quorvane
