#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// velmora-lookup run to its end from `folder`, as a person would run it in a terminal there.
// VELMORA_LOOKUP_PATH names the program under test.
struct LookupRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline LookupRun runLookup(const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(VELMORA_LOOKUP_PATH), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        qFatal("velmora-lookup did not finish");
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
