// quorvane-adj: the desktop program.
#include <QApplication>

#include "qt/qt_program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return quorvane::RunDesktopProgram(app);
}
