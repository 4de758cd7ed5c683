// velmora-lookup as a user runs it: its command line, what it writes and where, and the exit
// status of every outcome that --help names.

#include "lookup_process.hpp"
#include "table_files.hpp"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#if defined(__unix__)
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\nC60,Air 72\xB0\n";

#if defined(__unix__)
// velmora-lookup with a pseudo-terminal as its standard output and error, as a user at a terminal
// runs it; what reached the terminal, with the terminal's CR before each line end taken out.
QByteArray runOnTerminal(const QByteArrayList& arguments, const QString& folder) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
        qFatal("no pseudo-terminal");
    }
    // An argument with a backslash goes through the shell's printf, whose octal escapes may give
    // any bytes.
    QByteArray command = "exec '" VELMORA_LOOKUP_PATH "'";
    for (const QByteArray& argument : arguments) {
        command +=
            argument.contains('\\') ? " \"$(printf '" + argument + "')\"" : " '" + argument + "'";
    }
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QString::fromLocal8Bit(ptsname(terminal)));
    process.setStandardErrorFile(QString::fromLocal8Bit(ptsname(terminal)));
    process.start("/bin/sh", {"-c", QString::fromLatin1(command)});
    process.waitForFinished(120000);
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

class LookupCliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    QString tablePath() const { return QDir(folder_.path()).filePath("RPO.txt"); }

private slots:
    void init() { writeTableFile(folder_.path(), kTable); }

    // Each row: the table in RPO.txt, the command line, then the exit status, the whole output
    // ("%1" standing for the table's path) and a part of the one message on standard error
    // (none where empty).
    void commandLine_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QStringList sixteen;
        for (int i = 0; i < 16; ++i) {
            sixteen << QStringLiteral("A%1").arg(i);
        }
        const QByteArray twoFindings = "g80,x\nL98,\"open\n";
        QTest::newRow("search") << kTable << QStringList{"l98", "", "c6", "ZZZ", "C60", " c6"} << 0
                                << QByteArray("L98  5.7L V8, TPI\nC60  Air 72\xC2\xB0\n"
                                              "C6   : RPO code must be 3 characters.\n"
                                              "ZZZ   : No match found.\n"
                                              " C6   : No match found.\n")
                                << QByteArray();
        QTest::newRow("a lone - is an entry")
            << kTable << QStringList{"-"} << 0
            << QByteArray("-   : RPO code must be 3 characters.\n") << QByteArray();
        QTest::newRow("after --, -ab is an entry")
            << kTable << QStringList{"--", "-ab"} << 0 << QByteArray("-AB   : No match found.\n")
            << QByteArray();
        QTest::newRow("three two-byte characters")
            << kTable << QStringList{"\u00e9\u00e9\u00e9"} << 0
            << QByteArray("\xC3\x89\xC3\x89\xC3\x89   : No match found.\n") << QByteArray();
        QTest::newRow("--table=FILE") << kTable << QStringList{"--table=RPO.txt", "L98"} << 0
                                      << QByteArray("L98  5.7L V8, TPI\n") << QByteArray();
        QTest::newRow("version") << kTable << QStringList{"--version"} << 0
                                 << QByteArray("velmora-lookup 1.00.0001\n") << QByteArray();
        QTest::newRow("check: no findings in 0 records")
            << QByteArray() << QStringList{"--check"} << 0
            << QByteArray("No findings in 0 records of %1\n") << QByteArray();
        QTest::newRow("check: 1 finding in 1 record")
            << QByteArray("G80,\n") << QStringList{"--check"} << 4
            << QByteArray("line 1: the description is empty\n1 finding in 1 record of %1\n")
            << QByteArray();
        QTest::newRow("check: 2 findings in 2 records")
            << twoFindings << QStringList{"--check", "RPO.txt"} << 4
            << QByteArray("line 1: the code \"g80\" has lower-case letters, so it never matches "
                          "(entries are upper-cased)\n"
                          "line 2: the description's closing quote is missing; it ends with the "
                          "line\n"
                          "2 findings in 2 records of RPO.txt\n")
            << QByteArray();
        QTest::newRow("find: 1 record")
            << kTable << QStringList{"--find", "tpi"} << 0
            << QByteArray("L98  5.7L V8, TPI\n1 record matched.\n") << QByteArray();
        QTest::newRow("find: 2 records")
            << kTable << QStringList{"--find", "7"} << 0
            << QByteArray("L98  5.7L V8, TPI\nC60  Air 72\xC2\xB0\n2 records matched.\n")
            << QByteArray();
        QTest::newRow("find: no record") << kTable << QStringList{"--find", "brake"} << 0
                                         << QByteArray("No record matched.\n") << QByteArray();
        QTest::newRow("find, missing table")
            << kTable << QStringList{"--table", "nothing.txt", "--find", "slip"} << 1
            << QByteArray() << QByteArray("Error 53: File not found: nothing.txt");
        QTest::newRow("label, missing table")
            << kTable << QStringList{"--table", "nothing.txt", "--label", "L98"} << 1
            << QByteArray() << QByteArray("Error 53: File not found: nothing.txt");
        QTest::newRow("missing table")
            << kTable << QStringList{"--table", "nothing.txt", "L98"} << 1 << QByteArray()
            << QByteArray("Error 53: File not found: nothing.txt");
        QTest::newRow("check, missing table") << kTable << QStringList{"--check", "nothing.txt"}
                                              << 1 << QByteArray() << QByteArray("Error 53");
        for (const QStringList& noCodes :
             {QStringList{}, QStringList{"--table", "RPO.txt", "--"}}) {
            QTest::addRow("no codes: %s", qPrintable(noCodes.join(' ')))
                << kTable << noCodes << 2 << QByteArray()
                << QByteArray("no codes to look up (try --help)\n"
                              "Usage: velmora-lookup [--table FILE] ENTRY...");
        }
        QTest::newRow("check: UTF-16 is a note, not a finding")
            << QByteArray("\xFF\xFEG\x00"
                          "8\x00"
                          "0\x00,\x00x\x00",
                          12)
            << QStringList{"--check"} << 0
            << QByteArray("note: the table is saved as UTF-16 (little-endian); it is read, but "
                          "other programs may expect UTF-8\nNo findings in 1 record of %1\n")
            << QByteArray();
        QTest::newRow("sixteen entries")
            << kTable << sixteen << 2 << QByteArray() << QByteArray("at most 15");
        QTest::newRow("four characters")
            << kTable << QStringList{"L98X"} << 2 << QByteArray() << QByteArray("longer than 3");
        QTest::newRow("unknown option") << kTable << QStringList{"--colour"} << 2 << QByteArray()
                                        << QByteArray("unknown option --colour");
        QTest::newRow("--table without a file")
            << kTable << QStringList{"--table"} << 2 << QByteArray() << QByteArray("needs a file");
        QTest::newRow("--table with an empty name")
            << kTable << QStringList{"--table", "", "L98"} << 2 << QByteArray()
            << QByteArray("not an empty one");
        QTest::newRow("--table= with an empty name")
            << kTable << QStringList{"--table=", "L98"} << 2 << QByteArray()
            << QByteArray("not an empty one");
        QTest::newRow("--table twice")
            << kTable << QStringList{"--table", "RPO.txt", "--table=other.txt", "L98"} << 2
            << QByteArray() << QByteArray("only once");
        QTest::newRow("--find and --label")
            << kTable << QStringList{"--find", "axle", "--label"} << 2 << QByteArray()
            << QByteArray("--find and --label cannot be given together: give one of them");
        QTest::newRow("--check and --find")
            << kTable << QStringList{"--check", "--find", "axle"} << 2 << QByteArray()
            << QByteArray("--check and --find cannot be given together: give one of them");
        QTest::newRow("--find twice")
            << kTable << QStringList{"--find", "a", "--find", "b"} << 2 << QByteArray()
            << QByteArray("--find may be given only once");
        QTest::newRow("codes before a mode")
            << kTable << QStringList{"L98", "--find", "brake"} << 2 << QByteArray()
            << QByteArray("\"L98\" stands before --find");
        QTest::newRow("find without a word") << kTable << QStringList{"--find", " "} << 2
                                             << QByteArray() << QByteArray("at least one word");
        QStringList words{"--find"};
        for (int i = 0; i <= 64; ++i) {
            words << QStringLiteral("w%1").arg(i);
        }
        QTest::newRow("find, too many words")
            << kTable << words << 2 << QByteArray() << QByteArray("at most 64 different words");
        QTest::newRow("find, too long a word")
            << kTable << QStringList{"--find", QString(257, 'a')} << 2 << QByteArray()
            << QByteArray("at most 256 characters");
        QTest::newRow("check: FILE and --table")
            << kTable << QStringList{"--check", "RPO.txt", "--table", "RPO.txt"} << 2
            << QByteArray() << QByteArray("not both");
        QTest::newRow("check: two files") << kTable << QStringList{"--check", "a.txt", "b.txt"} << 2
                                          << QByteArray() << QByteArray("one FILE");
        QTest::newRow("check: empty name") << kTable << QStringList{"--check", ""} << 2
                                           << QByteArray() << QByteArray("not an empty one");
    }
    void commandLine() {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        writeTableFile(folder_.path(), table);
        const LookupRun run = runLookup(arguments, folder_.path());
        QCOMPARE(run.exitCode, status);
        QCOMPARE(run.out, QByteArray(out).replace("%1", tablePath().toUtf8()));
        QVERIFY2(run.err.contains(err), run.err.constData());
        QCOMPARE(run.err.count('\n'), err.isEmpty() ? 0 : err.count('\n') + 1);
    }

    // A user reading --help learns every option and every exit status.
    void helpNamesEveryOptionAndExitStatus() {
        const LookupRun help = runLookup({"--help"}, folder_.path());
        QCOMPARE(help.exitCode, 0);
        for (const char* option :
             {"--table FILE", "--find WORD", "--label", "--check", "--help", "--version", "--"}) {
            QVERIFY2(help.out.contains(option), option);
        }
        const QByteArray statuses = help.out.mid(help.out.indexOf("Exit status:"));
        for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  4  "}) {
            QVERIFY2(statuses.contains(status), status);
        }
    }

    void slotsWithoutAnEntryAreEmpty() {
        // Fourteen empty slots (all but the first) each match the empty code.
        writeTableFile(folder_.path(), "C60,Air\n, empty code\n");
        const LookupRun run = runLookup({"--table", tablePath(), "--", "C60"}, QDir::tempPath());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.count("  empty code\n"), 14);
        QVERIFY(run.out.startsWith("C60  Air\n"));
    }

    // On a terminal, text beyond ASCII shows as itself; control characters, which could move
    // the cursor or retitle the window, bidirectional overrides, which reorder what follows, and
    // bytes that are not UTF-8 show as U+FFFD, on standard output and error alike. A pipe gets
    // the table's bytes.
    void terminalShowsControlCharactersAsReplacement() {
        writeTableFile(folder_.path(),
                       "L98,esc \x1b]0;title\x07 red \x1b[31mX\ttab\r\n"
                       "G80,C1 \xC2\x9B"
                       "2J del \x7F end\n"
                       "WS6,\xC3\xA9t\xC3\xA9\xC2\xA0\xE2\x80\x93\n"
                       "1LE,<\xE2\x80\xAE \xE2\x81\xA6 \xE2\x81\xA9 \xE2\x80\xAA>\n");
        const QByteArray pipe = runLookup({"L98", "G80"}, folder_.path()).out;
        QCOMPARE(pipe, QByteArray("L98  esc \x1b]0;title\x07 red \x1b[31mX\ttab\n"
                                  "G80  C1 \xC2\x9B"
                                  "2J del \x7F end\n"));
#if defined(__unix__)
        const QByteArray r = "\xEF\xBF\xBD";
        const QByteArray shown =
            runOnTerminal({"L98", "G80", "WS6", "1LE", "A\x01Z"}, folder_.path());
        QCOMPARE(shown, "L98  esc " + r + "]0;title" + r + " red " + r + "[31mX\ttab\n" +
                            "G80  C1 " + r + "2J del " + r + " end\n" +
                            "WS6  \xC3\xA9t\xC3\xA9\xC2\xA0\xE2\x80\x93\n" + "1LE  <" + r + " " +
                            r + " " + r + " " + r + ">\n" + "A" + r + "Z   : No match found.\n");
        // A raw 0x9B and U+202E in a path echoed in an error.
        QCOMPARE(runOnTerminal({"--table", "a\\2332J\\342\\200\\256b", "L98"}, folder_.path()),
                 "velmora-lookup: Error 53: File not found: a" + r + "2J" + r + "b\n");
        QCOMPARE(runOnTerminal({"\x1B[2J"}, folder_.path()),
                 "velmora-lookup: entry \"" + r +
                     "[2J\" is longer than 3 characters (try --help)\n");
#endif
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
    // address space is limited with prlimit so that a 40 MB description cannot be held.
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
};

QTEST_GUILESS_MAIN(LookupCliTest)
#include "tst_lookup_cli.moc"
