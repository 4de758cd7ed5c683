#include "core/search.hpp"
#include "core/table_file.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;
using velmora::rpomodule::rpostatus;

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\n"
                          "G80,Limited slip\n"
                          "1LE,Handling package\n"
                          "WS,two-letter code\n"
                          "L98,second L98 record\n"
                          "l03,lower-case code\n"
                          " X1,blank code\n";

std::vector<std::int16_t> statuses() {
    return {rpostatus.begin(), rpostatus.end()};
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::filesystem::path table_;

    Lines searched(RecordingSlots& surface) {
        const auto failure = velmora::rpomodule::search(surface, table_);
        if (failure) {
            qWarning("unexpected failure: %s", failure->describe().c_str());
        }
        return surface.display;
    }

private slots:
    void init() {
        table_ = writeTableFile(folder_.path(), kTable).toStdString();
        rpostatus.fill(0);
    }

    void matchesInTableOrderThenMessagesInSlotOrder() {
        RecordingSlots surface({"g80", "zz9", "L9", "l98", "", "1le"});
        QCOMPARE(searched(surface), (Lines{
                                        "L98  5.7L V8, TPI",
                                        "G80  Limited slip",
                                        "1LE  Handling package",
                                        "L98  second L98 record",
                                        "ZZ9   : No match found.",
                                        "L9   : RPO code must be 3 characters.",
                                    }));
        QCOMPARE(surface.boxes[0], std::string("G80"));
        QCOMPARE(surface.boxes[3], std::string("L98"));
        QCOMPARE(statuses(),
                 (std::vector<std::int16_t>{1, 3, 2, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }

    // Each row: a table (the common one where empty), the entries, the display box's lines.
    void search_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("an entry twice prints twice")
            << QByteArray() << QStringList{"G80", "QQQ", "G80", "QQQ"}
            << QStringList{"G80  Limited slip", "G80  Limited slip", "QQQ   : No match found.",
                           "QQQ   : No match found."};
        // " X1" is three characters with its blank; the table's unquoted " X1" was read as "X1".
        QTest::newRow("short entries match or are reported")
            << QByteArray() << QStringList{"ws", "w", " x1"}
            << QStringList{"WS  two-letter code", "W   : RPO code must be 3 characters.",
                           " X1   : No match found."};
        QTest::newRow("a blank inside an entry is compared")
            << QByteArray("\" X1\",quoted code with its blank\n") << QStringList{" x1", "X1 "}
            << QStringList{" X1  quoted code with its blank", "X1    : No match found."};
        QTest::newRow("a lower-case code never matches")
            << QByteArray() << QStringList{"l03"} << QStringList{"L03   : No match found."};
        // Only the first bytes of a code too long for any entry are kept; they must not match.
        QTest::newRow("a long code never matches by its first bytes")
            << QByteArray("ABCDEFGHIJKLM,too long\n\"ABCDEFGHIJKL\"\"\",quoted\n"
                          "ABCDEFGHIJKL,twelve bytes\n")
            << QStringList{"ABCDEFGHIJKL"} << QStringList{"ABCDEFGHIJKL  twelve bytes"};
    }
    void search() {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);
        if (!table.isEmpty()) {
            writeTableFile(folder_.path(), table);
        }
        std::vector<std::string> texts;
        for (const QString& entry : entries) {
            texts.push_back(entry.toStdString());
        }
        RecordingSlots surface(texts);
        Lines lines;
        for (const QString& line : expected) {
            lines.push_back(line.toStdString());
        }
        QCOMPARE(searched(surface), lines);
    }

    void emptyBoxesPrintNothingUnlessACodeIsEmpty() {
        RecordingSlots empty;
        QCOMPARE(searched(empty), Lines{});
        QCOMPARE(empty.clears, 1);
        QCOMPARE(statuses(), std::vector<std::int16_t>(15, 0));

        writeTableFile(folder_.path(), ",empty code\nG80,x\n");
        RecordingSlots surface({"G80"});
        const Lines lines = searched(surface);
        QCOMPARE(lines.size(), std::size_t{15});
        QCOMPARE(lines.front(), std::string("  empty code"));
        QCOMPARE(std::count(lines.begin(), lines.end(), "  empty code"), 14);
        QCOMPARE(lines.back(), std::string("G80  x"));
    }

    void clearEntriesKeepsDisplayAndStatuses() {
        RecordingSlots surface({"G80", "ZZZ"});
        const Lines shown = searched(surface);
        const auto before = statuses();
        velmora::rpomodule::clearEntries(surface);
        QCOMPARE(surface.boxes, (std::array<std::string, 15>{}));
        QCOMPARE(surface.display, shown);
        QCOMPARE(statuses(), before);
        QCOMPARE(searched(surface), Lines{});
    }

    void everySearchRereadsTheTable() {
        RecordingSlots surface({"NEW"});
        QCOMPARE(searched(surface), (Lines{"NEW   : No match found."}));
        writeTableFile(folder_.path(), "NEW,added between searches\n");
        QCOMPARE(searched(surface), (Lines{"NEW  added between searches"}));
    }

    void missingTableAfterEntriesAreChecked() {
        QTemporaryDir empty;
        const auto missing = std::filesystem::path(empty.filePath("RPO.txt").toStdString());
        RecordingSlots surface({"l98", "g8"});
        surface.display = {"old line"};
        const auto failure = velmora::rpomodule::search(surface, missing);
        QVERIFY(failure.has_value());
        QCOMPARE(failure->number(), 53);
        QCOMPARE(failure->path, missing);
        QCOMPARE(surface.boxes[0], std::string("L98"));
        QCOMPARE(surface.display, Lines{});
        QCOMPARE(statuses()[1], std::int16_t{2});
    }

    void tableLookupOrder() {
        QTemporaryDir root;
        const std::filesystem::path base = root.path().toStdString();
        const auto current = base / "work";
        const auto program = base / "prefix" / "bin";
        const auto installed = base / "prefix" / "share" / "velmora";
        for (const auto& folder : {current, program, installed}) {
            std::filesystem::create_directories(folder);
        }
        QCOMPARE(velmora::locateTable(current, program), current / "RPO.txt");

        writeTableFile(QString::fromStdString(installed.string()), "A,b");
        QCOMPARE(velmora::locateTable(current, program), installed / "RPO.txt");
        writeTableFile(QString::fromStdString(program.string()), "A,b");
        QCOMPARE(velmora::locateTable(current, program), program / "RPO.txt");
        writeTableFile(QString::fromStdString(current.string()), "A,b");
        QCOMPARE(velmora::locateTable(current, program), current / "RPO.txt");
        QCOMPARE(velmora::locateTable(current, {}), current / "RPO.txt");
    }
};

QTEST_APPLESS_MAIN(SearchTest)
#include "tst_search.moc"
