// A table whose source fails part-way, as a disk or a network share can: the reader keeps what it
// read and reports error 57, and the search keeps its match lines but prints no message, since
// the unread rest of the table may hold the codes it would call missing. No mode shows a record
// that the failure cut short.

#include "core/find.hpp"
#include "core/search.hpp"
#include "core/table_check.hpp"
#include "failing_source.hpp"
#include "recording_slots.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <QTest>

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)

namespace {

velmora::CodeTableReader failingReader(const std::string& bytes, std::size_t readSize) {
    return {std::make_unique<FailingSource>(bytes), "/shares/cars/RPO.txt", readSize};
}

// What `mode` shows of a table that fails after `bytes`, with the entries G80 and L98, or the word
// "i"; `failure` is set to what it reports.
Lines shown(const QString& mode, const std::string& bytes, std::size_t readSize,
            std::optional<velmora::TableError>& failure) {
    RecordingSlots surface({"G80", "L98"});
    auto reader = failingReader(bytes, readSize);
    if (mode == "search") {
        failure = velmora::rpomodule::search(surface, [&] { return std::move(reader); }).error;
    } else if (mode == "label") {
        failure = velmora::rpomodule::searchLabel({"g80", "l98"}, reader, surface);
    } else if (mode == "find") {
        velmora::DescriptionQuery query("i");
        failure = velmora::findByDescription(query, reader, surface);
    } else {
        const auto summary = velmora::checkTable(reader, [&](const velmora::TableFinding& found) {
            surface.display.push_back(std::to_string(found.line) + ": " + found.message);
        });
        failure = summary.hasValue() ? std::nullopt : std::optional(summary.error());
    }
    return surface.display;
}

} // namespace

class FailingTableTest : public QObject {
    Q_OBJECT

private slots:
    void searchKeepsTheMatchLinesAndPrintsNoMessage_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<Lines>("expected");
        QTest::newRow("failure after two records")
            << QByteArray("L98,first\nXYZ,skipped\nG80,second\n")
            << Lines{"L98  first", "G80  second"};
        QTest::newRow("failure before any byte") << QByteArray() << Lines{};
    }
    void searchKeepsTheMatchLinesAndPrintsNoMessage() {
        QFETCH(QByteArray, table);
        QFETCH(Lines, expected);
        for (const std::size_t readSize : {1U, 5U, 4096U}) {
            RecordingSlots surface({"l98", "g80", "ZZZ", "W", ""});
            const auto failure = velmora::rpomodule::search(surface, [&] {
                                     return failingReader(table.toStdString(), readSize);
                                 }).error;
            QVERIFY(failure.has_value());
            QCOMPARE(failure->number(), 57);
            QCOMPARE(failure->message(), std::string("Device I/O error"));
            QCOMPARE(failure->path, std::filesystem::path("/shares/cars/RPO.txt"));
            // Neither "   : No match found." for ZZZ nor the short-entry message for W.
            QCOMPARE(surface.display, expected);
            QCOMPARE(surface.boxes[0], std::string("L98"));
            QCOMPARE(surface.clears, 1);
        }
    }

    // Cut anywhere from the record's first byte to its closing quote, the record is not shown,
    // nor what the cut seems to make of it (a missing quote for the check); read up to its line
    // end, it is.
    void aRecordCutShortIsNeverShown_data() {
        QTest::addColumn<QString>("mode");
        for (const char* mode : {"search", "label", "find", "check"}) {
            QTest::newRow(mode) << QString(mode);
        }
    }
    void aRecordCutShortIsNeverShown() {
        QFETCH(QString, mode);
        const std::string first = "G80,first item\n";
        const std::string cut = "L98,\"" + std::string(300, 'i') + "\"\n";
        for (const std::size_t readSize : {1U, 7U, 4096U}) {
            for (std::size_t end = first.size(); end <= first.size() + cut.size(); ++end) {
                std::optional<velmora::TableError> failure;
                const Lines lines =
                    shown(mode, (first + cut + "N10,x\n").substr(0, end), readSize, failure);
                // The check shows no line of a table without findings.
                Lines expected;
                if (mode != "check") {
                    expected.emplace_back("G80  first item");
                    if (end == first.size() + cut.size()) {
                        expected.push_back("L98  " + std::string(300, 'i'));
                    }
                }
                if (lines != expected || !failure || failure->number() != 57) {
                    QFAIL(
                        qPrintable(QStringLiteral("failing after %1 bytes, read size %2: %3 lines")
                                       .arg(end)
                                       .arg(readSize)
                                       .arg(lines.size())));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(FailingTableTest)
#include "tst_failing_table.moc"
