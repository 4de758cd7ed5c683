#include "lookup_process.hpp"
#include "table_files.hpp"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class LookupCliTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    void init() { writeTableFile(folder_.path(), "L98,\"5.7L V8, TPI\"\nC60,Air 72\xB0\n"); }

    void printsTheSearchLines() {
        const LookupRun run = runLookup({"l98", "", "c6", "ZZZ", "C60", " c6"}, folder_.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("L98  5.7L V8, TPI\n"
                                     "C60  Air 72\xC2\xB0\n"
                                     "C6   : RPO code must be 3 characters.\n"
                                     "ZZZ   : No match found.\n"
                                     " C6   : No match found.\n"));
        QCOMPARE(run.err, QByteArray());
    }

    void slotsWithoutAnEntryAreEmpty() {
        // Fourteen empty slots (all but the first) each match the empty code.
        writeTableFile(folder_.path(), "C60,Air\n, empty code\n");
        const LookupRun run = runLookup(
            {"--table", QDir(folder_.path()).filePath("RPO.txt"), "--", "C60"}, QDir::tempPath());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.count("  empty code\n"), 14);
        QVERIFY(run.out.startsWith("C60  Air\n"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("complaint");
        QStringList sixteen;
        for (int i = 0; i < 16; ++i) {
            sixteen << QStringLiteral("A%1").arg(i);
        }
        QTest::newRow("sixteen entries") << sixteen << "at most 15";
        QTest::newRow("four characters") << QStringList{"L98X"} << "longer than 3";
        QTest::newRow("unknown option") << QStringList{"--colour"} << "unknown option --colour";
        QTest::newRow("table without file") << QStringList{"--table"} << "needs a file";
        QTest::newRow("empty name") << QStringList{"--table", "", "L98"} << "not an empty one";
        QTest::newRow("empty name after =") << QStringList{"--table=", "L98"} << "not an empty one";
        QTest::newRow("given twice")
            << QStringList{"--table", "RPO.txt", "--table=other.txt", "L98"} << "only once";
        QTest::newRow("codes before a mode")
            << QStringList{"L98", "--find", "brake"} << "\"L98\" stands before --find";
        QTest::newRow("find without a word") << QStringList{"--find", " "} << "at least one word";
        QStringList words{"--find"};
        for (int i = 0; i <= 64; ++i) {
            words << QStringLiteral("w%1").arg(i);
        }
        QTest::newRow("find, too many words") << words << "at most 64 different words";
        QTest::newRow("find, too long a word")
            << QStringList{"--find", QString(257, 'a')} << "at most 256 characters";
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, complaint);
        const LookupRun run = runLookup(arguments, folder_.path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.contains(complaint.toUtf8()), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
    }

    void threeCharactersMayBeMultiByte() {
        QCOMPARE(runLookup({QString::fromUtf8("\xC3\xA9\xC3\xA9\xC3\xA9")}, folder_.path()).out,
                 QByteArray("\xC3\x89\xC3\x89\xC3\x89   : No match found.\n"));
    }

    void missingTableIsError53() {
        QTemporaryDir empty;
        const QString missing = QDir(empty.path()).filePath("RPO.txt");
        const LookupRun run = runLookup({"--table", missing, "L98"}, empty.path());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(run.err.contains("53"));
        QVERIFY(run.err.contains("File not found"));
        QVERIFY(run.err.contains(missing.toUtf8()));
    }

    void folderInPlaceOfTheTable() {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir("RPO.txt"));
        const LookupRun run = runLookup({"L98"}, root.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("folder"), run.err.constData());
    }

    void helpAndVersion() {
        const LookupRun version = runLookup({"--version"}, folder_.path());
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("velmora-lookup 1.00.0001\n"));
        const LookupRun help = runLookup({"--help"}, folder_.path());
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: velmora-lookup [--table FILE] [ENTRY...]"));
    }

    // The table check: findings with their lines and a count, and an exit status that says
    // whether anything was found.
    void checkListsFindingsThenACount() {
        writeTableFile(folder_.path(), "L98,\"5.7L V8, TPI\"\nC60,Air 72\xC2\xB0\n");
        const LookupRun clean = runLookup({"--check"}, folder_.path());
        QCOMPARE(clean.exitCode, 0);
        QCOMPARE(clean.out, "No findings in 2 records of " +
                                QDir(folder_.path()).filePath("RPO.txt").toUtf8() + '\n');

        const QString path = writeTableFile(folder_.path(), "g80,x\nL98,\"open\n", "edited.txt");
        for (const QStringList& arguments :
             {QStringList{"--check", path}, QStringList{"--table", path, "--check"}}) {
            const LookupRun run = runLookup(arguments, QDir::tempPath());
            QCOMPARE(run.exitCode, 4);
            QCOMPARE(run.out, "line 1: the code \"g80\" has lower-case letters, so it never "
                              "matches (entries are upper-cased)\n"
                              "line 2: the description's closing quote is missing; it ends with "
                              "the line\n"
                              "2 findings in 2 records of " +
                                  path.toUtf8() + '\n');
            QCOMPARE(run.err, QByteArray());
        }

        const LookupRun missing = runLookup({"--check", "nothing.txt"}, folder_.path());
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("Error 53: File not found"));
        QCOMPARE(runLookup({"--check", path, "--table", path}, folder_.path()).exitCode, 2);
        QCOMPARE(runLookup({"--check", path, path}, folder_.path()).exitCode, 2);
        QCOMPARE(runLookup({"--check", ""}, folder_.path()).exitCode, 2);

        const LookupRun help = runLookup({"--help"}, folder_.path());
        QVERIFY(help.out.contains("--check [FILE]"));
        QVERIFY(help.out.contains("  4  --check found something"));
    }
};

QTEST_GUILESS_MAIN(LookupCliTest)
#include "tst_lookup_cli.moc"
