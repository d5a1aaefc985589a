// quorvane-bench-adj FILE: quorvane-adj itself, the same start-up from the same code, with a
// probe the program does not carry: the moment its first window is exposed is written to
// FILE, once, as microseconds of CLOCK_MONOTONIC. quorvane-bench-startup starts it.
#include <QApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>
#include <string>

#include "proc_stats.h"
#include "qt/qt_program.h"

namespace {

class ShownProbe final : public QObject {
  public:
    ShownProbe(std::string file, QObject* parent) : QObject(parent), file_(std::move(file)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !written_) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                const long long us = quorvane::bench::MonotonicUs();
                if (std::FILE* f = std::fopen(file_.c_str(), "w")) {
                    std::fprintf(f, "%lld\n", us);
                    std::fclose(f);
                }
                written_ = true;
            }
        }
        return false;
    }

  private:
    std::string file_;
    bool written_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Usage: quorvane-bench-adj FILE\n", stderr);
        return 2;
    }
    const std::string file = argv[1];
    QApplication app(argc, argv);
    app.installEventFilter(new ShownProbe(file, &app));
    return quorvane::RunDesktopProgram(app);
}
