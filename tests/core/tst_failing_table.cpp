// A table whose source fails part-way, as a disk or a network share can: the reader keeps what it
// read and reports error 57, and the search keeps its match lines but prints no message, since
// the unread rest of the table may hold the codes it would call missing.

#include "core/search.hpp"
#include "failing_source.hpp"
#include "recording_slots.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <QTest>

using Lines = std::vector<std::string>;

namespace {

velmora::CodeTableReader failingReader(const std::string& bytes, std::size_t readSize) {
    return {std::make_unique<FailingSource>(bytes), "/shares/cars/RPO.txt", readSize};
}

} // namespace

class FailingTableTest : public QObject {
    Q_OBJECT

private slots:
    void readerKeepsTheRecordsBeforeTheFailure() {
        for (const std::size_t readSize : {1U, 3U, 64U}) {
            auto reader = failingReader("L98,first\nG80,second\n", readSize);
            std::vector<velmora::Record> records;
            while (!reader.atEnd()) {
                records.push_back(reader.next());
            }
            QCOMPARE(records.size(), std::size_t{2});
            QCOMPARE(records[1].description, std::string("second"));
            QVERIFY(reader.error().has_value());
            QCOMPARE(reader.error()->number(), 57);
            QCOMPARE(reader.error()->message(), std::string("Device I/O error"));
            QCOMPARE(reader.error()->path, std::filesystem::path("/shares/cars/RPO.txt"));
        }
    }

    void searchKeepsTheMatchLinesAndPrintsNoMessage_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("failure after two records")
            << QByteArray("L98,first\nXYZ,skipped\nG80,second\n")
            << QStringList{"L98  first", "G80  second"};
        QTest::newRow("failure before any byte") << QByteArray() << QStringList{};
    }
    void searchKeepsTheMatchLinesAndPrintsNoMessage() {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, expected);
        for (const std::size_t readSize : {1U, 5U, 4096U}) {
            RecordingSlots surface({"l98", "g80", "ZZZ", "W", ""});
            const auto failure = velmora::rpomodule::search(surface, [&] {
                                     return failingReader(table.toStdString(), readSize);
                                 }).error;
            QVERIFY(failure.has_value());
            QCOMPARE(failure->number(), 57);
            Lines lines;
            for (const QString& line : expected) {
                lines.push_back(line.toStdString());
            }
            // Neither "   : No match found." for ZZZ nor the short-entry message for W.
            QCOMPARE(surface.display, lines);
            QCOMPARE(surface.boxes[0], std::string("L98"));
            QCOMPARE(surface.clears, 1);
        }
    }
};

QTEST_GUILESS_MAIN(FailingTableTest)
#include "tst_failing_table.moc"
