// What velmora-lookup writes and where: text on a terminal and in a pipe, failed writes with
// their cause, the command line's edges and the exit statuses that --help names.

#include "lookup_process.hpp"
#include "table_files.hpp"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#if defined(__unix__)
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace {

#if defined(__unix__)
// velmora-lookup with a pseudo-terminal as its standard output, as a user at a terminal runs it;
// what reached the terminal, with the terminal's CR before each line end taken out.
QByteArray runOnTerminal(const QStringList& arguments, const QString& folder) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        qFatal("no pseudo-terminal");
    }
    runLookup(arguments, folder, {.outputFile = QString::fromLocal8Bit(ptsname(terminal))});
    QByteArray shown;
    pollfd ready{terminal, POLLIN, 0};
    while (poll(&ready, 1, 200) > 0) {
        char block[4096];
        const ssize_t count = read(terminal, block, sizeof block);
        if (count <= 0) {
            break;
        }
        shown.append(block, count);
    }
    close(terminal);
    return shown.replace("\r\n", "\n");
}

// velmora-lookup started by a shell with its standard output closed.
LookupRun runWithOutputClosed(const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start("/bin/sh",
                  QStringList{"-c", "exec \"$0\" \"$@\" >&-", QStringLiteral(VELMORA_LOOKUP_PATH)} +
                      arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), {}, process.readAllStandardError()};
}
#endif

} // namespace

class LookupOutputTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    void init() {
        writeTableFile(folder_.path(), "L98,esc \x1b]0;title\x07 red \x1b[31mX\ttab\r\n"
                                       "G80,C1 \xC2\x9B"
                                       "2J del \x7F end\n"
                                       "WS6,plain \xC3\xA9t\xC3\xA9\n");
    }

    void terminalShowsControlCharactersAsReplacement() {
#if defined(__unix__)
        const QByteArray replacement = "\xEF\xBF\xBD";
        const QByteArray shown = runOnTerminal({"L98", "G80", "WS6", "A\x01Z"}, folder_.path());
        QCOMPARE(shown, "L98  esc " + replacement + "]0;title" + replacement + " red " +
                            replacement + "[31mX\ttab\n" + "G80  C1 " + replacement + "2J del " +
                            replacement + " end\n" + "WS6  plain \xC3\xA9t\xC3\xA9\n" + "A" +
                            replacement + "Z   : No match found.\n");
#else
        QSKIP("pseudo-terminals are tried on Unix");
#endif
    }

    void pipeGetsTheTableByteForByte() {
        const LookupRun run = runLookup({"L98", "G80"}, folder_.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("L98  esc \x1b]0;title\x07 red \x1b[31mX\ttab\n"
                                     "G80  C1 \xC2\x9B"
                                     "2J del \x7F end\n"));
    }

    void everyFailedWriteIsReportedWithItsCause_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("search") << QStringList{"L98"};
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("version") << QStringList{"--version"};
    }
    void everyFailedWriteIsReportedWithItsCause() {
        QFETCH(QStringList, arguments);
#if defined(__unix__)
        const LookupRun full = runLookup(arguments, folder_.path(), {.outputFile = "/dev/full"});
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.err.contains("could not be written: No space left on device"),
                 full.err.constData());
        QCOMPARE(full.err.count('\n'), 1);

        const LookupRun closed = runWithOutputClosed(arguments, folder_.path());
        QCOMPARE(closed.exitCode, 1);
        QVERIFY2(closed.err.contains("could not be written: Bad file descriptor"),
                 closed.err.constData());
#else
        QSKIP("/dev/full is tried on Unix");
#endif
    }

    // Memory that runs out is a clear message and exit 1, never a bare "std::bad_alloc". The
    // address space is limited with prlimit so that a 40 MB description cannot be held, as it
    // is to be printed for two entry boxes.
    void runningOutOfMemoryIsReported() {
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
        const QString small = writeTableFile(folder_.path(), "L98,short\n", "small.txt");
        const QString big = writeTableFile(
            folder_.path(), "L98," + QByteArray(40 * 1024 * 1024, 'x') + "\n", "big.txt");
        const QString limit = QStringLiteral("--as=%1").arg(24 * 1024 * 1024);
        const auto limited = [&](const QString& table) {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.start("prlimit", {limit, VELMORA_LOOKUP_PATH, "--table", table, "L98", "L98"});
            process.waitForFinished(120000);
            return LookupRun{process.exitCode(), {}, process.readAllStandardError()};
        };
        if (limited(small).exitCode != 0) {
            QSKIP("the program does not start in the limited address space here");
        }
        const LookupRun run = limited(big);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err,
                 QByteArray("velmora-lookup: not enough memory to finish; what was written may be "
                            "incomplete\n"));
#else
        QSKIP("the address space is limited on Linux builds without AddressSanitizer");
#endif
    }

    void tableGivenWithEquals() {
        QTemporaryDir elsewhere;
        const LookupRun run = runLookup(
            {"--table=" + QDir(folder_.path()).filePath("RPO.txt"), "WS6"}, elsewhere.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("WS6  plain \xC3\xA9t\xC3\xA9\n"));
    }

    void helpNamesEveryExitStatus() {
        const LookupRun help = runLookup({"--help"}, folder_.path());
        QCOMPARE(help.exitCode, 0);
        const QByteArray text = help.out.mid(help.out.indexOf("Exit status:"));
        QVERIFY(text.contains("  0  the search ran"));
        QVERIFY(text.contains("  1  the code table cannot be read, the output cannot be written"));
        QVERIFY(text.contains("  2  a usage error"));
    }
};

QTEST_GUILESS_MAIN(LookupOutputTest)
#include "tst_lookup_output.moc"
