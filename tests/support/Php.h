#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

// Runs the php command line with `args` and returns what it printed; a php that fails or
// cannot be started gives "php failed: " and its error output.
inline std::string RunPhp(const QStringList& args) {
    QProcess php;
    php.start("php", QStringList{"-n"} + args);
    if (!php.waitForFinished(30000) || php.exitStatus() != QProcess::NormalExit ||
        php.exitCode() != 0)
        return "php failed: " + php.readAllStandardError().toStdString() +
               php.readAllStandardOutput().toStdString();
    return php.readAllStandardOutput().toStdString();
}
