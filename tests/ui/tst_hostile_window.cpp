// Files that no table should be, through the lookup window's "Search ": a table another process
// keeps appending to, a FIFO and an endless device in the table's place. The search runs on the
// window's thread, so each must end at once; each prints the time and the process's peak memory.

#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <array>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::ui;

namespace {

// True when process `pid` holds the file `path` open. Plain system calls only: it runs in a
// child process forked from the test.
bool holdsOpen(pid_t pid, const std::string& path) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    DIR* descriptors = opendir(folder.c_str());
    if (descriptors == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = readdir(descriptors)) {
        std::array<char, 4096> target{};
        const std::string link = folder + "/" + entry->d_name;
        const ssize_t size = readlink(link.c_str(), target.data(), target.size() - 1);
        found = found ||
                (size > 0 && path == std::string(target.data(), static_cast<std::size_t>(size)));
    }
    closedir(descriptors);
    return found;
}

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class HostileWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString table_;
    QStringList errors_;

    // One search in the lookup window for `code`; the lines it shows, the time and peak printed.
    QStringList searchFor(const QString& code, const char* what) {
        LookupWindow& window = lookupWindowOn(table_, errors_);
        window.entryBox(0)->setText(code);
        QElapsedTimer clock;
        clock.start();
        window.searchButton()->click();
        qInfo("%s: %lld ms, peak of the test process %ld KiB", what,
              static_cast<long long>(clock.elapsed()), peakKiB());
        return shownLines(window);
    }

private slots:
    void init() { errors_.clear(); }
    void cleanup() { app().releaseAll(); }

    // A child process appends to the table as soon as it sees the test process hold it open:
    // the search ends, and shows nothing of what was appended after it opened the table.
    void growingTableEndsTheSearch() {
        table_ = writeTableFile(folder_.path(),
                                "L98,first\n" + QByteArray("ZZZ,skipped\n").repeated(4 << 20));
        const std::string path =
            QFile::encodeName(QFileInfo(table_).canonicalFilePath()).toStdString();
        const pid_t searcher = getpid();
        const pid_t writer = fork();
        if (writer == 0) {
            for (int i = 0; i < 1'000'000 && !holdsOpen(searcher, path); ++i) {
            }
            const int file = open(path.c_str(), O_WRONLY | O_APPEND);
            const std::string block = [] {
                std::string lines;
                for (int i = 0; i < 4096; ++i) {
                    lines += "L98,appended\n";
                }
                return lines;
            }();
            for (int i = 0; i < 4000 && file >= 0; ++i) {
                if (write(file, block.data(), block.size()) < 0) {
                    break;
                }
                usleep(100);
            }
            _exit(0);
        }
        QVERIFY(writer > 0);
        const QStringList lines = searchFor("L98", "growing table");
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        QCOMPARE(lines, QStringList{"L98  first"});
        QVERIFY(errors_.isEmpty());
    }

    void fifoOrDeviceInTheTablesPlace_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("endless device") << "/dev/zero";
    }
    void fifoOrDeviceInTheTablesPlace() {
        QFETCH(QString, path);
        if (path == "fifo") {
            path = QDir(folder_.path()).filePath("fifo");
            QFile::remove(path);
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        table_ = path;
        QCOMPARE(searchFor("L98", qPrintable(path)), QStringList{});
        QCOMPARE(errors_.size(), 1);
        QVERIFY2(errors_.first().startsWith("Error 75: Path/File access error"),
                 qPrintable(errors_.first()));
    }
};

QTEST_MAIN(HostileWindowTest)
#include "tst_hostile_window.moc"
