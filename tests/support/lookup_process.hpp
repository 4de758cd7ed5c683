#pragma once

#include <optional>
#include <QByteArray>
#include <QIODevice>
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

// Where a run's streams lead, when not to the test's pipes: bytes for its standard input (then
// closed); a file or device for its standard output (then `out` is empty), emptied or appended
// to; a program it runs through (a shell, prlimit), with that program's own arguments first.
// Every member has an initializer, so a call names only those it sets: {.input = "G80\n"}.
struct LookupStreams {
    std::optional<QByteArray> input{};
    QString outputFile{};
    QIODevice::OpenMode outputMode = QIODevice::Truncate;
    QStringList through{};
};

inline LookupRun runLookup(const QStringList& arguments, const QString& folder,
                           const LookupStreams& streams = {}) {
    QProcess process;
    process.setWorkingDirectory(folder);
    if (!streams.outputFile.isEmpty()) {
        process.setStandardOutputFile(streams.outputFile, streams.outputMode);
    }
    const QStringList command = streams.through + QStringList{VELMORA_LOOKUP_PATH} + arguments;
    process.start(command.first(), command.mid(1));
    if (streams.input) {
        process.write(*streams.input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(120000)) {
        process.kill();
        qFatal("velmora-lookup did not finish");
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
