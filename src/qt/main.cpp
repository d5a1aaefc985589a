// quorvane-adj: the desktop program.
#include <QApplication>

#include "qt/qt_message_box.h"
#include "qt/qt_platform.h"
#include "qt/qt_program.h"
#include "qt/qt_text.h"
#include "qt/settings_location.h"
#include "qt/shown_probe.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);
    quorvane::InstallShownProbe(app);
    quorvane::QtProcessServices process;
    quorvane::QtMessageBox refusalBox;
    // The settings file sits beside the program while the user may write there, else in the
    // user's configuration directory, so an installed program still saves its options.
    return quorvane::RunProgram(process, refusalBox, [&process] {
        const QString own = quorvane::ToQString(process.ProgramDirectory());
        return quorvane::FromQString(
            quorvane::ChooseSettingsDirectory(own, quorvane::UserSettingsDirectory()));
    });
}
