#pragma once

#include <optional>
#include <QProcess>
#include <QString>
#include <QStringList>

// A program's exit status and its own peak resident memory, as velmora-peak-memory measures
// them; empty where that cannot be measured (not Linux).
struct ChildRun {
    int exitCode = -1;
    long peakKiB = 0;
};

// The output file is emptied first, or appended to when `append` is set.
inline std::optional<ChildRun> runMeasured(const QString& program, const QStringList& arguments,
                                           const QString& outputFile, bool append = false) {
#if defined(VELMORA_PEAK_MEMORY)
    QProcess measure;
    const QStringList options = append ? QStringList{QStringLiteral("--append")} : QStringList{};
    measure.start(QStringLiteral(VELMORA_PEAK_MEMORY),
                  options + QStringList{outputFile, program} + arguments);
    if (!measure.waitForFinished(300000) || measure.exitCode() != 0) {
        return std::nullopt;
    }
    const QList<QByteArray> figures = measure.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 2) {
        return std::nullopt;
    }
    return ChildRun{figures[0].toInt(), figures[1].toLong()};
#else
    Q_UNUSED(program);
    Q_UNUSED(arguments);
    Q_UNUSED(outputFile);
    Q_UNUSED(append);
    return std::nullopt;
#endif
}
