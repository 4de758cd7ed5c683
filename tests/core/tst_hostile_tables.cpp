// Tables no one should write, through velmora-lookup: no crash, no hang, memory bounded, a clear
// message where the table cannot be read, the right records where it can.

#include "lookup_process.hpp"
#include "peak_memory.hpp"
#include "table_files.hpp"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#if defined(__unix__)
#include <unistd.h>
#endif

namespace {

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

} // namespace

class HostileTablesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    // Holds the 200 MB table, made once for all the modes that read it, removed at the end.
    QTemporaryDir huge_;

    QString hugeTable() const { return QDir(huge_.path()).filePath("huge.txt"); }

    QString table(const QByteArray& bytes) { return writeTableFile(folder_.path(), bytes); }

private slots:
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
};

QTEST_GUILESS_MAIN(HostileTablesTest)
#include "tst_hostile_tables.moc"
