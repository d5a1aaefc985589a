#include "qt/settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "settings/settings_file.h"

namespace quorvane {

QString UserSettingsDirectory() {
    return NativePath(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                          .filePath(QStringLiteral("quorvane-adj")));
}

QString UserDataFolder() {
    return NativePath(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                          .filePath(QStringLiteral("quorvane-adj")));
}

QString NativePath(const QString& path, HostSystem system) {
    QString native = path;
    return system == HostSystem::Windows ? native.replace(QLatin1Char('/'), QLatin1Char('\\'))
                                         : native;
}

bool DirectoryWritable(const QString& directory, HostSystem system) {
    const QFileInfo dir(directory);
    if (!dir.isDir()) {
        return false;
    }
    if (system == HostSystem::Linux) {
        return dir.isWritable();
    }
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral("quorvane-adj-XXXXXX.tmp")));
    return probe.open();
}

QString ChooseSettingsDirectory(const QString& programDirectory, const QString& userDirectory) {
    // The file is replaced by writing a new one beside it, so the directory must be writable,
    // not only the file; an installed program (/usr/local/bin) usually is not.
    return ChooseSettingsDirectory(programDirectory, DirectoryWritable(programDirectory),
                                   userDirectory);
}

QString ChooseSettingsDirectory(const QString& programDirectory, bool programDirectoryWritable,
                                const QString& userDirectory) {
    if (programDirectoryWritable) {
        return programDirectory;
    }
    const QString name = QString::fromLatin1(kSettingsFileName);
    QDir user(userDirectory);
    if (!user.mkpath(QStringLiteral("."))) {
        // Nowhere to write: reading beside the program still gives the mapped ports.
        return programDirectory;
    }
    const QString userFile = user.filePath(name);
    const QString programFile = QDir(programDirectory).filePath(name);
    if (!QFileInfo::exists(userFile) && QFileInfo(programFile).isFile()) {
        if (QFile::copy(programFile, userFile)) {
            // A copy of a read-only file is read-only too; this one must take the options.
            QFile::setPermissions(
                userFile, QFile::permissions(userFile) | QFile::WriteOwner | QFile::ReadOwner);
        }
    }
    return userDirectory;
}

}  // namespace quorvane
