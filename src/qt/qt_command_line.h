#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>

namespace quorvane {

// Parses the application's arguments; --help and --version print and end the process here.
// False on a malformed command line: the caller reports parser.errorText() and exits 2, which
// QCommandLineParser::process would not (it exits 1).
inline bool ParseArguments(QCommandLineParser& parser) {
    if (!parser.parse(QCoreApplication::arguments())) {
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    return true;
}

}  // namespace quorvane
