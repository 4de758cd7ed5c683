// Files that no table should be, through velmora-lookup: a table that grows while it is read, the
// table that is also the output, a FIFO swapped in by another process, devices and kernel files,
// link loops and paths too long. Every run must end, with the right lines or a clear message.

#include "lookup_process.hpp"
#include "peak_memory.hpp"
#include "table_files.hpp"

#include <csignal>
#include <fcntl.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child process that runs `work` until the test stops it.
class Child {
public:
    template <typename Work> explicit Child(Work work) : pid_(fork()) {
        if (pid_ == 0) {
            work();
            _exit(0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&&) = delete;
    Child& operator=(Child&&) = delete;
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return pid_ > 0; }

private:
    pid_t pid_;
};

qint64 sizeOf(const QString& path) {
    struct stat status {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_size : -1;
}

} // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    QString inFolder(const QString& name) const { return QDir(folder_.path()).filePath(name); }

private slots:
    // Another program appends to the table while velmora-lookup reads it: the table is read up
    // to the size it had when it was opened, so the search ends and no appended line is read.
    // The writer starts only once the table is open (seen in /proc), so the appended records
    // can be told apart exactly.
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
            const QDir open(descriptors);
            for (const QString& name :
                 open.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
                if (QFile::symLinkTarget(open.filePath(name)) == path) {
                    return true;
                }
            }
            return false;
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
        Child writer([&encoded] {
            const int file = open(encoded.constData(), O_WRONLY | O_APPEND);
            const QByteArray block = QByteArray("L98,appended\n").repeated(1 << 12);
            // At most 200 MB, a short pause every block, so the disk is never filled.
            for (int i = 0; i < 4000 && file >= 0; ++i) {
                if (write(file, block.constData(), static_cast<std::size_t>(block.size())) < 0) {
                    break;
                }
                usleep(100);
            }
        });
        QVERIFY(writer.started());
        QVERIFY(lookup.waitForFinished(120000));
        QCOMPARE(lookup.exitCode(), 0);
        QCOMPARE(readFileBytes(output), QByteArray("L98  first\n"));
        QVERIFY(sizeOf(path) > 10 + skipped.size());
    }

    void tableThatIsAlsoTheOutputIsRefused_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<bool>("hardLink");
        QTest::newRow("appended to") << true << false;
        QTest::newRow("written over") << false << false;
        QTest::newRow("a second name of the same file") << true << true;
    }
    void tableThatIsAlsoTheOutputIsRefused() {
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
            {"--table", table, "L98"}, folder_.path(),
            {.outputFile = output, .outputMode = append ? QIODevice::Append : QIODevice::Truncate});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Error 55: File already open"), run.err.constData());
        QVERIFY(run.err.contains("is also the file the results are written to"));
        QCOMPARE(run.err.count('\n'), 1);
        if (append) {
            QCOMPARE(sizeOf(table), qint64{6});
        }
    }

    // Another process swaps the table's name between a file and a FIFO as fast as it can: every
    // run ends, with the table's line or a clear message. Runs must meet both the file and the
    // FIFO, or the race was not arranged and the test says so.
    void fifoSwappedInByAnotherProcess() {
        const QByteArray name = QFile::encodeName(inFolder("RPO.txt"));
        const QByteArray file = QFile::encodeName(writeTableFile(folder_.path(), "L98,x\n", "a"));
        const QByteArray fifo = QFile::encodeName(inFolder("b"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        Child swapper([&] {
            for (;;) {
                rename(file.constData(), name.constData());
                rename(name.constData(), file.constData());
                rename(fifo.constData(), name.constData());
                rename(name.constData(), fifo.constData());
            }
        });
        QVERIFY(swapper.started());
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

    // Files that are not plain files, or that the kernel makes up as they are read: refused, or
    // read to their end although their size reads 0. None may block.
    void filesThatAreNotPlainFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        const QByteArray none = "L98   : No match found.\n";
        QTest::newRow("endless device") << "/dev/zero" << 1 << none;
        QTest::newRow("random device") << "/dev/urandom" << 1 << none;
        QTest::newRow("FIFO without a writer") << "fifo" << 1 << none;
        QTest::newRow("page map, endless but for a bound") << "/proc/self/pagemap" << 0 << none;
        QTest::newRow("environment, a record in it")
            << "/proc/self/environ" << 0 << QByteArray("L98  from the kernel\n");
        QTest::newRow("folder") << "/tmp" << 1 << none;
    }
    void filesThatAreNotPlainFiles() {
        QFETCH(QString, path);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        if (path == "fifo") {
            path = inFolder("lonely-fifo");
            QFile::remove(path);
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        if (access(QFile::encodeName(path).constData(), R_OK) != 0) {
            QSKIP("not readable here");
        }
        qputenv("VELMORA_TABLE_LINE", "\nL98,from the kernel\n");
        const LookupRun run = runLookup({"--table", path, "L98"}, folder_.path());
        if (run.exitCode == 1) {
            QVERIFY2(run.err.contains("Error 75: Path/File access error"), run.err.constData());
            QVERIFY(run.err.contains("is a folder or device, not a file"));
        } else {
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.out, out);
        }
        QCOMPARE(run.exitCode, exitCode);
    }

    // Input no one should give: an endless label, a code of 8 MB, a table of more different
    // records than the check remembers. Memory stays near what a small run needs, and the
    // output says where a bound was met.
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
        const QString large = inFolder("large.txt");
        if (!QFile::exists(large)) {
            QFile file(large);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int i = 0; i < 1200000; i += 1000) {
                QByteArray block;
                for (int j = i; j < i + 1000; ++j) {
                    block += "A01," + QByteArray::number(j) + '\n';
                }
                file.write(block);
            }
        }
        const QString output = inFolder("bounded-out.txt");
        const QStringList shell{QStringLiteral(VELMORA_LOOKUP_PATH), small, large};
        const auto base =
            runMeasured("/bin/sh", QStringList{"-c", "\"$0\" --table \"$1\" G80"} + shell, output);
        const auto run = runMeasured("/bin/sh", QStringList{"-c", command} + shell, output);
        QCOMPARE(run->exitCode, status);
        QVERIFY2(readFileBytes(output).contains(out), readFileBytes(output).constData());
        qInfo("peak %ld KiB (a one-record search: %ld KiB)", run->peakKiB, base->peakKiB);
        QVERIFY(run->peakKiB - base->peakKiB < mostKiB);
    }

    void pathsThatLeadNowhere() {
        const QString first = inFolder("loop-a");
        const QString second = inFolder("loop-b");
        QVERIFY(QFile::link(second, first));
        QVERIFY(QFile::link(first, second));
        const LookupRun loop = runLookup({"--table", first, "L98"}, folder_.path());
        QCOMPARE(loop.exitCode, 1);
        QVERIFY2(loop.err.contains("links lead round in a circle"), loop.err.constData());
        QVERIFY(!loop.err.contains("File not found"));

        const QString tooLong = folder_.path() + QString("/a").repeated(3000) + "/RPO.txt";
        const LookupRun deep = runLookup({"--table", tooLong, "L98"}, folder_.path());
        QCOMPARE(deep.exitCode, 1);
        QVERIFY2(deep.err.contains("the path is longer than the system allows"),
                 deep.err.constData());
        QVERIFY(!deep.err.contains("File not found"));
    }
};

QTEST_GUILESS_MAIN(HostileFilesTest)
#include "tst_hostile_files.moc"
