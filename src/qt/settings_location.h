#pragma once

#include <QString>

namespace quorvane {

// The per-user directory that holds the settings file when the program's own directory
// cannot be written: ~/.config/quorvane-adj on Linux.
QString UserSettingsDirectory();

// The directory of the settings file, for reads and writes alike: the program's own
// directory when the user may write there, else userDirectory. The latter is created when
// needed and, while it holds no settings file, starts with a copy of the one beside the
// program, so that ports mapped by whoever installed the program still apply.
// Touches files: call it only after the single-instance claim.
QString ChooseSettingsDirectory(const QString& programDirectory, const QString& userDirectory);
// The same choice with the writability of the program's directory given.
QString ChooseSettingsDirectory(const QString& programDirectory, bool programDirectoryWritable,
                                const QString& userDirectory);

}  // namespace quorvane
