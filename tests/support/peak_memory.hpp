#pragma once

#include <csignal>
#include <optional>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// A program's exit status and its own peak resident memory, as velmora-peak-memory measures
// them.
struct ChildRun {
    int exitCode = -1;
    long peakKiB = 0;
};

// Whether memory can be measured here: velmora-peak-memory is built on Linux only. A test that
// measures skips, saying so, where it cannot.
#if defined(VELMORA_PEAK_MEMORY)
inline constexpr bool kCanMeasure = true;
#else
inline constexpr bool kCanMeasure = false;
#endif

// Runs `program` with its output in `outputFile` (emptied first) and measures it; empty only where
// nothing can be measured. A program still running after five minutes is killed and the test run
// ends as failed, as does a run that gives no figures: a hang must never pass for a skip.
inline std::optional<ChildRun> runMeasured([[maybe_unused]] const QString& program,
                                           [[maybe_unused]] const QStringList& arguments,
                                           [[maybe_unused]] const QString& outputFile) {
#if defined(VELMORA_PEAK_MEMORY)
    QProcess measure;
    measure.start(QStringLiteral(VELMORA_PEAK_MEMORY),
                  QStringList{outputFile, program} + arguments);
    if (!measure.waitForFinished(300000)) {
        // The measured program is the tool's one child; it goes first, so nothing is left.
        QFile child(QStringLiteral("/proc/%1/task/%1/children").arg(measure.processId()));
        const int pid = child.open(QIODevice::ReadOnly) ? child.readAll().trimmed().toInt() : 0;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
        }
        measure.kill();
        qFatal("%s %s ran past five minutes", qPrintable(program), qPrintable(arguments.join(' ')));
    }
    const QList<QByteArray> figures = measure.readAllStandardOutput().trimmed().split(' ');
    if (measure.exitCode() != 0 || figures.size() != 2) {
        qFatal("%s could not be measured", qPrintable(program));
    }
    return ChildRun{figures[0].toInt(), figures[1].toLong()};
#else
    return std::nullopt;
#endif
}
