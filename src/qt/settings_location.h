#pragma once

#include <QString>

#include "platform/host_system.h"

namespace quorvane {

// The per-user directory that holds the settings file when the program's own directory
// cannot be written: ~/.config/quorvane-adj on Linux, %LOCALAPPDATA%\quorvane-adj on Windows.
QString UserSettingsDirectory();

// The folder of the user's kept data, whose "backups" holds the automatic backups and the
// service records: ~/.local/share/quorvane-adj on Linux, %LOCALAPPDATA%\quorvane-adj on
// Windows.
QString UserDataFolder();

// path as the system writes paths to its users and its file functions: backslashes on
// Windows (Qt hands out forward ones everywhere); unchanged on Linux.
QString NativePath(const QString& path, HostSystem system = kThisSystem);

// Whether the program may keep its settings file in directory, which means writing a new file
// there and renaming it. Linux tells by the permissions. Windows does not mark a folder such as
// C:\Program Files read-only, and Qt's check reads only that mark, so there a file is tried.
bool DirectoryWritable(const QString& directory, HostSystem system = kThisSystem);

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
