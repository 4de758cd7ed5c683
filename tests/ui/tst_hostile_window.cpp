// A FIFO and an endless device in the table's place, through the lookup window's "Search ": the
// search runs on the window's thread, so each must end at once with a message. A table another
// process keeps appending to is read to its size at opening by the same reader, through
// velmora-lookup (tst_hostile_files).

#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace velmora::ui;

class HostileWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    void cleanup() { app().releaseAll(); }

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
        QStringList errors;
        LookupWindow& window = lookupWindowOn(path, errors);
        window.entryBox(0)->setText(QStringLiteral("L98"));
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{});
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith("Error 75: Path/File access error"),
                 qPrintable(errors.first()));
    }
};

QTEST_MAIN(HostileWindowTest)
#include "tst_hostile_window.moc"
