#include "qt/settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "settings/settings_file.h"

namespace quorvane {

QString UserSettingsDirectory() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("quorvane-adj"));
}

QString ChooseSettingsDirectory(const QString& programDirectory, const QString& userDirectory) {
    // The file is replaced by writing a new one beside it, so the directory must be writable,
    // not only the file; an installed program (/usr/local/bin) usually is not.
    const QFileInfo programDir(programDirectory);
    return ChooseSettingsDirectory(programDirectory, programDir.isDir() && programDir.isWritable(),
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
