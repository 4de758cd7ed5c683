// velmora-lookup as a user runs it: its command line, output, and exit status of every outcome
// --help names. Then tables and files no one should give (huge, unreadable, growing, also the
// output, a FIFO swapped in, devices, link loops, paths too long): no crash, no hang, memory
// bounded, and the right lines or a clear message.

#include "lookup_process.hpp"
#include "peak_memory.hpp"
#include "table_files.hpp"

#include <algorithm>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#if defined(__unix__)
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\nC60,Air 72\xB0\n"
                          "G80,Limited-slip rear differential\n"
                          "WS6,Special perf. suspension\n"
                          "CC1,Removable roof panels (T-tops)\n"
                          "ZQ3,Posi-traction axle\n"
                          "1LE,Handling package\n";

// Writes to `path` `head`, `pieces` blocks that each hold `piece` 2^20 times, then `tail`, at
// `zeros` bytes from the start where that is set (the hole reads as NUL bytes: a sparse file).
QString bigTable(const QString& path, const QByteArray& head, const QByteArray& piece, int pieces,
                 const QByteArray& tail, qint64 zeros = 0) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    file.write(head);
    const QByteArray block = piece.repeated(1 << 20);
    for (int i = 0; i < pieces; ++i) {
        file.write(block);
    }
    if (zeros > 0) {
        file.resize(zeros);
        file.seek(zeros);
    }
    file.write(tail);
    return path;
}

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
#endif

} // namespace

class LookupCliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    QString tablePath() const { return inFolder("RPO.txt"); }
    QString inFolder(const QString& name) const { return QDir(folder_.path()).filePath(name); }
    QString table(const QByteArray& bytes) { return writeTableFile(folder_.path(), bytes); }
    // Holds the 200 MB table, made once for all the modes that read it, removed at the end.
    QTemporaryDir huge_;
    QString hugeTable() const { return QDir(huge_.path()).filePath("huge.txt"); }

private slots:
    void init() { writeTableFile(folder_.path(), kTable); }

    // Each row: the table in RPO.txt, the command line, the exit status, the whole output ("%1":
    // the table's path) and a part of the one message on standard error (none where empty).
    void commandLine_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("search")
            << kTable << QStringList{"l98", "", "c6", "ZZZ", "C60", " c6", "\u00e9\u00e9\u00e9"}
            << 0
            << QByteArray("L98  5.7L V8, TPI\nC60  Air 72\xC2\xB0\n"
                          "C6   : RPO code must be 3 characters.\n"
                          "ZZZ   : No match found.\n"
                          " C6   : No match found.\n"
                          "\xC3\x89\xC3\x89\xC3\x89   : No match found.\n")
            << QByteArray();
        QTest::newRow("a lone - is an entry")
            << kTable << QStringList{"-"} << 0
            << QByteArray("-   : RPO code must be 3 characters.\n") << QByteArray();
        QTest::newRow("after --, -ab is an entry")
            << kTable << QStringList{"--", "-ab"} << 0 << QByteArray("-AB   : No match found.\n")
            << QByteArray();
        // Fourteen empty slots (all but the first) each match the empty code.
        QTest::newRow("slots without an entry are empty")
            << QByteArray("C60,Air\n, empty code\n") << QStringList{"--", "C60"} << 0
            << "C60  Air\n" + QByteArray("  empty code\n").repeated(14) << QByteArray();
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
        QTest::newRow("check: 2 findings in 3 records")
            << QByteArray("G80,\nL98,x\nL98,x\n") << QStringList{"--check", "RPO.txt"} << 4
            << QByteArray("line 1: the description is empty\n"
                          "line 3: the same code and description as line 2\n"
                          "2 findings in 3 records of RPO.txt\n")
            << QByteArray();
        QTest::newRow("check: UTF-16 is a note, not a finding")
            << QByteArray("\xFF\xFEG\x00"
                          "8\x00"
                          "0\x00,\x00x\x00",
                          12)
            << QStringList{"--check"} << 0
            << QByteArray("note: the table is saved as UTF-16 (little-endian); it is read, but "
                          "other programs may expect UTF-8\nNo findings in 1 record of %1\n")
            << QByteArray();
        QTest::newRow("find: 2 records")
            << kTable << QStringList{"--find", "7"} << 0
            << QByteArray("L98  5.7L V8, TPI\nC60  Air 72\xC2\xB0\n2 records matched.\n")
            << QByteArray();
        // More than fifteen codes, one argument with several: match lines in the table's order.
        QTest::newRow("label")
            << kTable
            << QStringList{"--label"} + QStringList(35, "Q01") +
                   QStringList{"g80,ws6;cc1", "L98", "zq3"}
            << 0
            << "L98  5.7L V8, TPI\nG80  Limited-slip rear differential\n"
               "WS6  Special perf. suspension\nCC1  Removable roof panels (T-tops)\n"
               "ZQ3  Posi-traction axle\n" +
                   QByteArray("Q01   : No match found.\n").repeated(35)
            << QByteArray();
        QTest::newRow("find: no record") << kTable << QStringList{"--find", "brake"} << 0
                                         << QByteArray("No record matched.\n") << QByteArray();
        for (const QStringList& arguments : {QStringList{"--table", "nothing.txt", "L98"},
                                             {"--table", "nothing.txt", "--find", "slip"},
                                             {"--table", "nothing.txt", "--label", "L98"},
                                             {"--check", "nothing.txt"}}) {
            QTest::addRow("missing table: %s", qPrintable(arguments.join(' ')))
                << kTable << arguments << 1 << QByteArray()
                << QByteArray("Error 53: File not found: nothing.txt");
        }
        // Usage errors: status 2, nothing on standard output, and a message that names the fault.
        QStringList words{"--find"};
        for (int i = 0; i <= 64; ++i) {
            words << QStringLiteral("w%1").arg(i);
        }
        const QByteArray noCodes = "no codes to look up (try --help)\n"
                                   "Usage: velmora-lookup [--table FILE] ENTRY...";
        const QList<std::pair<QStringList, QByteArray>> usage{
            {{}, noCodes},
            {{"--table", "RPO.txt", "--"}, noCodes},
            {QStringList(16, "A01"), "at most 15"},
            {{"L98X"}, "longer than 3"},
            {{"--colour"}, "unknown option --colour"},
            {{"--table"}, "needs a file"},
            {{"--table", "", "L98"}, "not an empty one"},
            {{"--table=", "L98"}, "not an empty one"},
            {{"--table", "RPO.txt", "--table=other.txt", "L98"}, "only once"},
            {{"--find", "axle", "--label"},
             "--find and --label cannot be given together: give one of them"},
            {{"--check", "--find", "axle"},
             "--check and --find cannot be given together: give one of them"},
            {{"--find", "a", "--find", "b"}, "--find may be given only once"},
            {{"L98", "--find", "brake"}, "\"L98\" stands before --find"},
            {{"--find", " "}, "at least one word"},
            {words, "at most 64 different words"},
            {{"--find", QString(257, 'a')}, "at most 256 characters"},
            {{"--check", "RPO.txt", "--table", "RPO.txt"}, "not both"},
            {{"--check", "a.txt", "b.txt"}, "one FILE"},
            {{"--check", ""}, "not an empty one"},
        };
        for (const auto& [arguments, message] : usage) {
            QTest::addRow("usage: %s", qPrintable(arguments.join(' ').left(40)))
                << kTable << arguments << 2 << QByteArray() << message;
        }
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

    // A no-break space and an em space separate codes as a blank does; a word too long for a code
    // is named and left out, and the rest decoded.
    void labelFromStandardInput() {
        const LookupRun run = runLookup({"--label"}, folder_.path(),
                                        {.input = "1le,\xc2\xa0g80;ws6\tZZ9\r\n\n  l9 ;;L98X"
                                                  "\xe2\x80\x83L98\r\nTOOLONG xyz"});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray("L98  5.7L V8, TPI\n"
                                     "G80  Limited-slip rear differential\n"
                                     "WS6  Special perf. suspension\n"
                                     "1LE  Handling package\n"
                                     "ZZ9   : No match found.\n"
                                     "L9   : RPO code must be 3 characters.\n"
                                     "XYZ   : No match found.\n"));
        QCOMPARE(run.err, QByteArray("velmora-lookup: code \"L98X\" is longer than 3 characters "
                                     "and was left out\n"
                                     "velmora-lookup: code \"TOOLONG\" is longer than 3 characters "
                                     "and was left out\n"));
    }

    // Input that is no label: nothing is decoded.
    void notALabelIsAUsageError_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("no codes") << QByteArray(" ,;\n") << QByteArray("no codes");
        QTest::newRow("endless codes")
            << QByteArray("L98 G80\n").repeated(100000) << QByteArray("nothing was decoded");
    }
    void notALabelIsAUsageError() {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, err);
        const LookupRun run = runLookup({"--label"}, folder_.path(), {.input = input});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.contains(err), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
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

    // On a terminal, text beyond ASCII shows as itself; control characters (which move the cursor
    // or retitle the window), bidirectional overrides (which reorder what follows) and bytes not
    // UTF-8 show as U+FFFD, on standard output and error alike. A pipe gets the table's bytes.
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

        const QStringList closing{"/bin/sh", "-c", "exec \"$0\" \"$@\" >&-"};
        const LookupRun closed = runLookup(arguments, folder_.path(), {.through = closing});
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
        const QString big = writeTableFile(
            folder_.path(), "L98," + QByteArray(40 * 1024 * 1024, 'x') + "\n", "big.txt");
        const QStringList prlimit{"prlimit", QStringLiteral("--as=%1").arg(24 * 1024 * 1024)};
        const auto limited = [&](const QString& table) {
            return runLookup({"--table", table, "L98", "L98"}, folder_.path(),
                             {.outputFile = QProcess::nullDevice(), .through = prlimit});
        };
        if (limited(tablePath()).exitCode != 0) {
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

    // A 200 MB description that matches, in every mode that shows or checks it, and one that
    // does not: it is written as it is read, so memory stays what a one-record table needs.
    void hugeDescriptionAtFlatMemory_data() {
        QTest::addColumn<QStringList>("arguments");
        // The output's end after the description, or the whole output when it is not shown.
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("shown");
        QTest::newRow("search") << QStringList{"L98"} << QByteArray() << true;
        QTest::newRow("label") << QStringList{"--label", "L98"} << QByteArray() << true;
        QTest::newRow("find, its word at the end")
            << QStringList{"--find", "brake"} << QByteArray("1 record matched.\n") << true;
        QTest::newRow("check") << QStringList{"--check"}
                               << "No findings in 1 record of " + hugeTable().toUtf8() + "\n"
                               << false;
        QTest::newRow("search, not matching")
            << QStringList{"G80"} << QByteArray("G80   : No match found.\n") << false;
    }
    void hugeDescriptionAtFlatMemory() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, after);
        QFETCH(bool, shown);
        if (!QFile::exists(hugeTable())) {
            bigTable(hugeTable(), "L98,", "d", 200, " brake\n");
        }
        const QString output = QDir(huge_.path()).filePath("out.txt");
        const auto small =
            runMeasured(QStringLiteral(VELMORA_LOOKUP_PATH),
                        QStringList{"--table", table("L98,d brake\n")} + arguments, output);
        const auto run = runMeasured(QStringLiteral(VELMORA_LOOKUP_PATH),
                                     QStringList{"--table", hugeTable()} + arguments, output);
        if (!run || !small) {
            QSKIP("peak memory cannot be measured here");
        }
        QCOMPARE(run->exitCode, 0);
        if (shown) {
            const QByteArray end = " brake\n" + after;
            QFile file(output);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.size(), 5 + (qint64{200} << 20) + end.size());
            QCOMPARE(file.read(6), QByteArray("L98  d"));
            QVERIFY(file.seek(file.size() - end.size()));
            QCOMPARE(file.readAll(), end);
        } else {
            QCOMPARE(readFileBytes(output), after);
        }
        qInfo("velmora-lookup --table <200 MB description> %s: peak %ld KiB (a one-record table: "
              "%ld KiB)",
              qPrintable(arguments.join(' ')), run->peakKiB, small->peakKiB);
        QVERIFY(run->peakKiB - small->peakKiB < 4 * 1024);
    }

    // Fields that can never be shown: a 2 GiB code of NUL bytes (a sparse file), 200 MB of
    // byte 0x80 before the first comma, a quoted code of 100 MB whose closing quote is missing.
    // Only the first bytes of such a code are kept, so memory stays what a small table needs,
    // and the record after it is still found.
    void fieldsThatCanNeverMatchAreNotHeld() {
        if (!kCanMeasure) {
            QSKIP("peak memory is measured on Linux only");
        }
        QTemporaryDir big;
        const QByteArray tail = "\nG80,found\n";
        const QStringList tables{
            bigTable(QDir(big.path()).filePath("nul.txt"), {}, {}, 0, tail, qint64{2} << 30),
            bigTable(QDir(big.path()).filePath("high.txt"), {}, "\x80", 200, ",x" + tail),
            bigTable(QDir(big.path()).filePath("quote.txt"), "\"", "abc, ", 20, tail),
        };
        const QString output = QDir(big.path()).filePath("out.txt");
        const auto small = runMeasured(QStringLiteral(VELMORA_LOOKUP_PATH),
                                       {"--table", table("G80,found\n"), "G80", "L98"}, output);
        for (const QString& path : tables) {
            const auto run = runMeasured(QStringLiteral(VELMORA_LOOKUP_PATH),
                                         {"--table", path, "G80", "L98"}, output);
            QCOMPARE(run->exitCode, 0);
            QCOMPARE(readFileBytes(output), QByteArray("G80  found\nL98   : No match found.\n"));
            qInfo("%s: peak %ld KiB (a one-record table: %ld KiB)",
                  qPrintable(QFileInfo(path).fileName()), run->peakKiB, small->peakKiB);
            QVERIFY(run->peakKiB - small->peakKiB < 8 * 1024);
        }
    }

    // Root may read every file, so as root velmora-lookup runs as the user nobody, through
    // setpriv.
    void tableWithoutReadPermission() {
#if defined(__unix__)
        const bool root = geteuid() == 0;
        QTemporaryDir open(QDir::tempPath() + "/velmora-permission-XXXXXX");
        QVERIFY(QFile::setPermissions(
            open.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadOther | QFileDevice::ExeOther));
        const QString path = writeTableFile(open.path(), "G80,x\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));

        QString program = QStringLiteral(VELMORA_LOOKUP_PATH);
        QStringList arguments{"--table", path, "G80"};
        if (root) {
            // The build folder may be closed to other users; a copy beside the table is not.
            const QString copy = QDir(open.path()).filePath("velmora-lookup");
            QVERIFY(QFile::copy(program, copy));
            arguments =
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", copy} + arguments;
            program = QStringLiteral("setpriv");
        }
        QProcess process;
        process.setWorkingDirectory(open.path());
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(120000));
        const QByteArray complaint = process.readAllStandardError();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(complaint.contains("Error 70: Permission denied"), complaint.constData());
#else
        QSKIP("permissions are not tried on this system");
#endif
    }

    // A table in a folder named with blanks and letters beyond ASCII: read by its path, from its
    // folder, and through a symbolic link in another folder; once the link leads nowhere, the
    // table is not found.
    void tableByItsPathAndThroughALink() {
        const QString folder =
            QDir(folder_.path())
                .filePath(QStringLiteral("Ann's car/\u00e9t\u00e9 \u00d1and\u00fa"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeTableFile(folder, "G80,found\n");
        QTemporaryDir other;
        QVERIFY(QFile::link(path, QDir(other.path()).filePath("RPO.txt")));
        for (const LookupRun& run :
             {runLookup({"--table", path, "G80"}, folder_.path()), runLookup({"g80"}, folder),
              runLookup({"G80"}, other.path())}) {
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.out, QByteArray("G80  found\n"));
        }
        QVERIFY(QFile::remove(path));
        const LookupRun dangling = runLookup({"G80"}, other.path());
        QCOMPARE(dangling.exitCode, 1);
        QVERIFY(dangling.err.contains("Error 53: File not found"));
    }

#if defined(__linux__)
    // Another program appends to the table once velmora-lookup has it open (seen in /proc): the
    // table is read to its size at opening, so the search ends and reads no appended line.
    void growingTableIsReadToItsSizeAtOpening() {
        const QByteArray skipped = QByteArray("ZZZ,skipped\n").repeated(4 << 20);
        const QString path = writeTableFile(folder_.path(), "L98,first\n" + skipped, "growing.txt");
        const QString output = inFolder("growing-out.txt");
        QProcess lookup;
        lookup.setStandardOutputFile(output);
        lookup.start(QStringLiteral(VELMORA_LOOKUP_PATH), {"--table", path, "L98"});
        QVERIFY(lookup.waitForStarted());
        const QString descriptors = QStringLiteral("/proc/%1/fd").arg(lookup.processId());
        const auto tableIsOpen = [&] {
            const QFileInfoList open =
                QDir(descriptors)
                    .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
            return std::any_of(open.begin(), open.end(), [&](const QFileInfo& descriptor) {
                return descriptor.symLinkTarget() == path;
            });
        };
        QElapsedTimer waited;
        waited.start();
        while (!tableIsOpen() && waited.elapsed() < 10000) {
        }
        if (!tableIsOpen()) {
            lookup.waitForFinished();
            QSKIP("the table was read before another process could append to it");
        }
        const QByteArray encoded = QFile::encodeName(path);
        const std::jthread writer([&encoded](const std::stop_token& stop) {
            const int file = open(encoded.constData(), O_WRONLY | O_APPEND);
            const QByteArray block = QByteArray("L98,appended\n").repeated(1 << 12);
            // At most 200 MB, a short pause every block, so the disk is never filled.
            for (int i = 0; i < 4000 && file >= 0 && !stop.stop_requested(); ++i) {
                if (write(file, block.constData(), static_cast<std::size_t>(block.size())) < 0) {
                    break;
                }
                usleep(100);
            }
            close(file);
        });
        QVERIFY(lookup.waitForFinished(120000));
        QCOMPARE(lookup.exitCode(), 0);
        QCOMPARE(readFileBytes(output), QByteArray("L98  first\n"));
        QVERIFY(QFileInfo(path).size() > 10 + skipped.size());
    }

    // In every mode, the table is never written: appended to, written over, or by a second name.
    void tableThatIsAlsoTheOutputIsRefused_data() {
        QTest::addColumn<QStringList>("mode");
        QTest::addColumn<bool>("append");
        QTest::addColumn<bool>("hardLink");
        QTest::newRow("appended to") << QStringList{"L98"} << true << false;
        QTest::newRow("written over") << QStringList{"L98"} << false << false;
        QTest::newRow("a second name of the same file") << QStringList{"L98"} << true << true;
        QTest::newRow("find") << QStringList{"--find", "x"} << true << false;
        QTest::newRow("label") << QStringList{"--label", "L98"} << true << false;
        QTest::newRow("check") << QStringList{"--check"} << true << false;
    }
    void tableThatIsAlsoTheOutputIsRefused() {
        QFETCH(QStringList, mode);
        QFETCH(bool, append);
        QFETCH(bool, hardLink);
        const QString table = writeTableFile(folder_.path(), "L98,x\n", "same.txt");
        QString output = table;
        if (hardLink) {
            output = inFolder("second-name.txt");
            QFile::remove(output);
            QCOMPARE(
                link(QFile::encodeName(table).constData(), QFile::encodeName(output).constData()),
                0);
        }
        const LookupRun run = runLookup(
            QStringList{"--table", table} + mode, folder_.path(),
            {.outputFile = output, .outputMode = append ? QIODevice::Append : QIODevice::Truncate});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Error 55: File already open") &&
                     run.err.contains("is also the file the results are written to"),
                 run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        if (append) {
            QCOMPARE(readFileBytes(table), QByteArray("L98,x\n"));
        }
    }

    // Another process swaps the table's name between a file and a FIFO as fast as it can: every
    // run ends, with the table's line or a clear message. Runs must meet both the file and the
    // FIFO, or the race was not arranged and the test says so.
    void fifoSwappedInByAnotherProcess() {
        const QByteArray name = QFile::encodeName(inFolder("swapped.txt"));
        const QByteArray file = QFile::encodeName(writeTableFile(folder_.path(), "L98,x\n", "a"));
        const QByteArray fifo = QFile::encodeName(inFolder("b"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        const std::jthread swapper([&](const std::stop_token& stop) {
            while (!stop.stop_requested()) {
                rename(file.constData(), name.constData());
                rename(name.constData(), file.constData());
                rename(fifo.constData(), name.constData());
                rename(name.constData(), fifo.constData());
            }
        });
        int found = 0;
        int fifoRefused = 0;
        for (int i = 0; i < 200; ++i) {
            const LookupRun run =
                runLookup({"--table", QString::fromUtf8(name), "L98"}, folder_.path());
            if (run.exitCode == 0) {
                QCOMPARE(run.out, QByteArray("L98  x\n"));
                ++found;
            } else {
                QCOMPARE(run.exitCode, 1);
                // Between two renames the name may lead nowhere.
                QVERIFY2(run.err.contains("Error 75") || run.err.contains("Error 53"),
                         run.err.constData());
                fifoRefused += run.err.contains("Error 75") ? 1 : 0;
            }
        }
        qInfo("FIFO swapped in: of 200 runs %d found the file, %d refused the FIFO", found,
              fifoRefused);
        QVERIFY2(found > 0, "no run read the table while it was a file");
        if (fifoRefused == 0) {
            QSKIP("no run met the FIFO: the race could not be arranged here");
        }
    }

    // Files that are not plain, or that the kernel makes up as they are read, and paths that
    // lead nowhere: refused with their cause, or read to their end though sized 0; none blocks.
    void filesThatAreNotPlainFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out"); // the cause, where the file is refused
        const QByteArray device = "is a folder or device, not a file";
        QTest::newRow("endless device") << "/dev/zero" << 1 << device;
        QTest::newRow("FIFO without a writer") << "fifo" << 1 << device;
        QTest::newRow("page map, endless but for a bound")
            << "/proc/self/pagemap" << 0 << QByteArray("L98   : No match found.\n");
        QTest::newRow("environment, a record in it")
            << "/proc/self/environ" << 0 << QByteArray("L98  from the kernel\n");
        QTest::newRow("folder") << "/tmp" << 1 << device;
        QTest::newRow("link loop") << "loop" << 1 << QByteArray("links lead round in a circle");
        QTest::newRow("path too long")
            << "long" << 1 << QByteArray("the path is longer than the system allows");
    }
    void filesThatAreNotPlainFiles() {
        QFETCH(QString, path);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        if (path == "fifo") {
            path = inFolder("lonely-fifo");
            QFile::remove(path);
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (path == "loop") {
            path = inFolder("loop-a");
            QVERIFY(QFile::link(inFolder("loop-b"), path) && QFile::link(path, inFolder("loop-b")));
        } else if (path == "long") {
            path = folder_.path() + QString("/a").repeated(3000) + "/RPO.txt";
        } else if (access(QFile::encodeName(path).constData(), R_OK) != 0) {
            QSKIP("not readable here");
        }
        qputenv("VELMORA_TABLE_LINE", "\nL98,from the kernel\n");
        const LookupRun run = runLookup({"--table", path, "L98"}, folder_.path());
        if (run.exitCode == 1) {
            QVERIFY2(run.err.contains("Error 75: Path/File access error") &&
                         run.err.contains(out) && !run.err.contains("File not found"),
                     run.err.constData());
        } else {
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.out, out);
        }
        QCOMPARE(run.exitCode, exitCode);
    }

    // An endless label, a code of 8 MB, more different records than the check remembers: memory
    // stays near what a small run needs, and the output says where a bound was met.
    void memoryStaysBounded_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<long>("mostKiB");
        QTest::newRow("endless label")
            << "yes L98 | head -c 8000000 | \"$0\" --table \"$1\" --label" << 2 << QByteArray()
            << 2048L;
        QTest::newRow("a code of 8 MB")
            << "(head -c 8000000 /dev/zero | tr '\\0' A; echo ' G80') | \"$0\" --table \"$1\" "
               "--label"
            << 2 << QByteArray("G80  x\n") << 2048L;
        QTest::newRow("check of 1,200,000 different records")
            << "\"$0\" --check \"$2\"" << 0
            << QByteArray(
                   "different records were remembered: repeats of later ones were not looked for")
            << 32768L;
    }
    void memoryStaysBounded() {
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(long, mostKiB);
        if (!kCanMeasure) {
            QSKIP("peak memory is measured on Linux only");
        }
        const QString small = writeTableFile(folder_.path(), "G80,x\n", "small.txt");
        QByteArray records;
        for (int i = 0; i < 1200000; ++i) {
            records += "A01," + QByteArray::number(i) + '\n';
        }
        const QString large = writeTableFile(folder_.path(), records, "large.txt");
        const QString output = inFolder("bounded-out.txt");
        const QStringList shell{QStringLiteral(VELMORA_LOOKUP_PATH), small, large};
        const auto base =
            runMeasured("/bin/sh", QStringList{"-c", "\"$0\" --table \"$1\" G80"} + shell, output);
        const auto run = runMeasured("/bin/sh", QStringList{"-c", command} + shell, output);
        QCOMPARE(run->exitCode, status);
        QVERIFY2(readFileBytes(output).contains(out), readFileBytes(output).constData());
        qInfo("peak %ld KiB (a one-record search: %ld KiB)", run->peakKiB, base->peakKiB);
        // The bound is the shipped program's: the sanitizer's own records grow with the work.
#if defined(__SANITIZE_ADDRESS__)
        Q_UNUSED(mostKiB);
#else
        QVERIFY(run->peakKiB - base->peakKiB < mostKiB);
#endif
    }
#endif
};

QTEST_GUILESS_MAIN(LookupCliTest)
#include "tst_lookup_cli.moc"
