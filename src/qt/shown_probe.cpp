#include "qt/shown_probe.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quorvane {

namespace {

class ShownProbe final : public QObject {
  public:
    ShownProbe(std::string file, QObject* parent) : QObject(parent), file_(std::move(file)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                // steady_clock is CLOCK_MONOTONIC on Linux.
                const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
                if (std::FILE* f = std::fopen(file_.c_str(), "w")) {
                    std::fprintf(f, "%lld\n", static_cast<long long>(us));
                    std::fclose(f);
                }
                deleteLater();
            }
        }
        return false;
    }

  private:
    std::string file_;
};

}  // namespace

void InstallShownProbe(QApplication& app) {
    const char* file = std::getenv("QUORVANE_BENCH_SHOWN_FILE");
    if (file == nullptr || *file == '\0') {
        return;
    }
    app.installEventFilter(new ShownProbe(file, &app));
}

}  // namespace quorvane
