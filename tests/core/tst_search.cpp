#include "core/search.hpp"
#include "core/table_file.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;
using Statuses = std::vector<std::int16_t>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(Statuses)

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\n"
                          "G80,Limited slip\n"
                          "1LE,Handling package\n"
                          "WS,two-letter code\n"
                          "L98,second L98 record\n"
                          "l03,lower-case code\n"
                          " X1,blank code\n";

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::filesystem::path table_;
    Statuses statuses_;

    Lines search(RecordingSlots& surface) {
        const auto result = velmora::rpomodule::search(surface, table_);
        if (result.error) {
            qWarning("unexpected failure: %s", result.error->describe().c_str());
        }
        statuses_.assign(result.statuses.begin(), result.statuses.end());
        return surface.display;
    }

private slots:
    void init() { table_ = writeTableFile(folder_.path(), kTable).toStdString(); }

    // Each row: a table, the entries typed, the lines shown and the slots' statuses after.
    void linesAndStatuses_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<Lines>("entries");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<Statuses>("statuses");
        QTest::newRow("matches in table order, then messages in slot order")
            << kTable << Lines{"g80", "zz9", "L9", "l98", "", "1le"}
            << Lines{"L98  5.7L V8, TPI",       "G80  Limited slip",
                     "1LE  Handling package",   "L98  second L98 record",
                     "ZZ9   : No match found.", "L9   : RPO code must be 3 characters."}
            << Statuses{1, 3, 2, 1, 0, 1};
        QTest::newRow("duplicate entries print once per slot")
            << kTable << Lines{"G80", "QQQ", "G80", "QQQ"}
            << Lines{"G80  Limited slip", "G80  Limited slip", "QQQ   : No match found.",
                     "QQQ   : No match found."}
            << Statuses{1, 3, 1, 3};
        // The leading blank counts: " X1" is three characters, and the table's unquoted " X1"
        // was read as "X1".
        QTest::newRow("short entries match or are reported")
            << kTable << Lines{"ws", "w", " x1"}
            << Lines{"WS  two-letter code", "W   : RPO code must be 3 characters.",
                     " X1   : No match found."}
            << Statuses{1, 2, 3};
        QTest::newRow("a blank inside an entry is compared")
            << QByteArray("\" X1\",quoted code with its blank\n") << Lines{" x1", "X1 "}
            << Lines{" X1  quoted code with its blank", "X1    : No match found."}
            << Statuses{1, 3};
        QTest::newRow("a lower-case code never matches")
            << kTable << Lines{"l03"} << Lines{"L03   : No match found."} << Statuses{3};
        // Only the first bytes of a code too long for any entry are kept; they must not match
        // an entry that equals them.
        QTest::newRow("a long code never matches by its first bytes")
            << QByteArray("ABCDEFGHIJKLM,too long\n\"ABCDEFGHIJKL\"\"\",quoted\n"
                          "ABCDEFGHIJKL,twelve bytes\n")
            << Lines{"ABCDEFGHIJKL"} << Lines{"ABCDEFGHIJKL  twelve bytes"} << Statuses{1};
    }
    void linesAndStatuses() {
        QFETCH(QByteArray, table);
        QFETCH(Lines, entries);
        QFETCH(Lines, lines);
        QFETCH(Statuses, statuses);
        writeTableFile(folder_.path(), table);
        RecordingSlots surface(entries);
        QCOMPARE(search(surface), lines);
        statuses.resize(15, 0);
        QCOMPARE(statuses_, statuses);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(surface.boxes[i], QString::fromStdString(entries[i]).toUpper().toStdString());
        }
    }

    void emptyBoxesPrintNothingUnlessACodeIsEmpty() {
        RecordingSlots empty;
        QCOMPARE(search(empty), Lines{});
        QCOMPARE(empty.clears, 1);
        QCOMPARE(statuses_, Statuses(15, 0));

        writeTableFile(folder_.path(), ",empty code\nG80,x\n");
        RecordingSlots surface({"G80"});
        const Lines lines = search(surface);
        QCOMPARE(lines.size(), std::size_t{15});
        QCOMPARE(lines.front(), std::string("  empty code"));
        QCOMPARE(std::count(lines.begin(), lines.end(), "  empty code"), 14);
        QCOMPARE(lines.back(), std::string("G80  x"));
    }

    void everySearchRereadsTheTable() {
        RecordingSlots surface({"NEW"});
        QCOMPARE(search(surface), (Lines{"NEW   : No match found."}));
        writeTableFile(folder_.path(), "NEW,added between searches\n");
        QCOMPARE(search(surface), (Lines{"NEW  added between searches"}));
    }

    void missingTableAfterEntriesAreChecked() {
        QTemporaryDir empty;
        const auto missing = std::filesystem::path(empty.filePath("RPO.txt").toStdString());
        RecordingSlots surface({"l98", "g8"});
        const auto result = velmora::rpomodule::search(surface, missing);
        QVERIFY(result.error.has_value());
        QCOMPARE(result.error->path, missing);
        QCOMPARE(result.statuses[1], std::int16_t{2});
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
