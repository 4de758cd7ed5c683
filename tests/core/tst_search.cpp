#include "core/commands.hpp"
#include "core/find.hpp"
#include "core/search.hpp"
#include "core/table_check.hpp"
#include "core/table_file.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <QTemporaryDir>
#include <QTest>

using Lines = std::vector<std::string>;
using Statuses = std::vector<std::int16_t>;
using velmora::ToolId;
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

// Hands out its bytes, then fails instead of reaching the end, as a disk or a network share that
// goes away part-way through the table.
class FailingSource final : public velmora::ByteSource {
public:
    explicit FailingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* destination, std::size_t capacity) override {
        const std::size_t count = std::min(capacity, bytes_.size() - offset_);
        std::copy_n(bytes_.data() + offset_, count, destination);
        offset_ += count;
        failed_ = count == 0;
        return count;
    }
    bool failed() const override { return failed_; }

private:
    std::string bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

velmora::CodeTableReader failingReader(const std::string& bytes, std::size_t readSize) {
    return {std::make_unique<FailingSource>(bytes), "/shares/cars/RPO.txt", readSize};
}

// What `mode` shows of a table that fails after `bytes`: the search of `surface`'s boxes, or the
// label g80 l98 zzz w, or the word "i"; `failure` is set to what it reports.
Lines shown(const QString& mode, const std::string& bytes, std::size_t readSize,
            RecordingSlots& surface, std::optional<velmora::TableError>& failure) {
    auto reader = failingReader(bytes, readSize);
    if (mode == "search") {
        failure = velmora::rpomodule::search(surface, [&] { return std::move(reader); }).error;
    } else if (mode == "label") {
        failure = velmora::rpomodule::searchLabel({"g80", "l98", "zzz", "w"}, reader, surface);
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

// Entry boxes whose display box cannot take another line: memory has run out.
class ExhaustedSlots final : public velmora::EntrySlots {
public:
    std::string entry(int slot) const override { return slot == 0 ? "L98" : ""; }
    void setEntry(int /*slot*/, const std::string& /*text*/) override {}
    void clearDisplay() override {}
    void printLine(std::string_view /*line*/) override { throw std::bad_alloc(); }
};

// A front end in memory that records the calls a search or a find makes, in order. Moving
// between windows is tried on the windows themselves.
class RecordingPort final : public velmora::WindowPort {
public:
    void show(velmora::WindowId /*window*/) override {}
    void hide(velmora::WindowId /*window*/) override {}
    void endProgram() override {}
    velmora::EntrySlots& lookupSlots() override {
        return exhausted ? static_cast<velmora::EntrySlots&>(exhaustedSlots) : lookup;
    }
    std::filesystem::path tablePath() override { return table; }
    void setBusy(bool busy) override { calls << (busy ? "busy" : "not busy"); }
    void reportTableError(const velmora::TableError& error) override {
        calls << QStringLiteral("table error ") + QString::number(error.number());
    }
    void reportOutOfMemory() override { calls << QStringLiteral("out of memory"); }

    QStringList calls;
    RecordingSlots lookup;
    ExhaustedSlots exhaustedSlots;
    std::filesystem::path table;
    // The searches' slots are ones whose display box cannot take another line.
    bool exhausted = false;
};

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
        QTest::newRow("empty boxes print nothing") << kTable << Lines{} << Lines{} << Statuses{};
        Lines emptyCode(14, "  empty code");
        emptyCode.emplace_back("G80  x");
        QTest::newRow("an empty code matches every empty box")
            << QByteArray(",empty code\nG80,x\n") << Lines{"G80"} << emptyCode << Statuses(15, 1);
    }
    void linesAndStatuses() {
        QFETCH(QByteArray, table);
        QFETCH(Lines, entries);
        QFETCH(Lines, lines);
        QFETCH(Statuses, statuses);
        writeTableFile(folder_.path(), table);
        RecordingSlots surface(entries);
        QCOMPARE(search(surface), lines);
        QCOMPARE(surface.clears, 1);
        statuses.resize(15, 0);
        QCOMPARE(statuses_, statuses);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            QCOMPARE(surface.boxes[i], QString::fromStdString(entries[i]).toUpper().toStdString());
        }
    }

    // Every search reads the table afresh; once it is gone, the search names it, and the entries
    // are checked all the same.
    void everySearchRereadsTheTable() {
        RecordingSlots surface({"NEW", "g8"});
        const Lines tooShort{"G8   : RPO code must be 3 characters."};
        QCOMPARE(search(surface), (Lines{"NEW   : No match found.", tooShort[0]}));
        writeTableFile(folder_.path(), "NEW,added between searches\n");
        QCOMPARE(search(surface), (Lines{"NEW  added between searches", tooShort[0]}));
        QVERIFY(std::filesystem::remove(table_));
        const auto result = velmora::rpomodule::search(surface, table_);
        QVERIFY(result.error.has_value());
        QCOMPARE(result.error->path, table_);
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
        // A table in a folder wins over those in the folders looked in after it.
        for (const auto& folder : {installed, program, current}) {
            writeTableFile(QString::fromStdString(folder.string()), "A,b");
            QCOMPARE(velmora::locateTable(current, program), folder / "RPO.txt");
        }
        QCOMPARE(velmora::locateTable(current, {}), current / "RPO.txt");
    }

    // A label of thousands of codes, most of them repeated, then every code of a table of thirty
    // from C39 down to C10 and ten that are unknown, short or repeated: match lines follow the
    // table, then every slot's message in slot order.
    void labelOfThousandsOfCodesInOnePass() {
        QByteArray table;
        std::vector<std::string> codes;
        Lines expected;
        for (int i = 0; i < 30; ++i) {
            std::string record = "C" + std::to_string(10 + i) + ",Option " + std::to_string(i);
            table += QByteArray::fromStdString(record + '\n');
            codes.insert(codes.begin(), "c" + std::to_string(10 + i));
            // C12 is on the label twice.
            expected.insert(expected.end(), i == 2 ? 2 : 1, record.replace(3, 1, "  "));
        }
        writeTableFile(folder_.path(), table + "L98,\"5.7L V8, TPI\"\nWS,two-letter code\n"
                                               "C15,second C15 record\n");
        expected.insert(expected.end(),
                        {"L98  5.7L V8, TPI", "WS  two-letter code", "C15  second C15 record"});
        for (int i = 0; i < 5000; ++i) {
            const std::string code = "Z" + std::to_string(i % 100);
            codes.insert(codes.begin() + i, code);
            expected.push_back(code + (i % 100 < 10 ? "   : RPO code must be 3 characters."
                                                    : "   : No match found."));
        }
        codes.insert(codes.end(), {"ZZ1", "l98", "X", "C12", "ws", "QQ", "ZZ2", "", "W S", "C9"});
        expected.insert(expected.end(),
                        {"ZZ1   : No match found.", "X   : RPO code must be 3 characters.",
                         "QQ   : RPO code must be 3 characters.", "ZZ2   : No match found.",
                         "W S   : No match found.", "C9   : RPO code must be 3 characters."});
        RecordingSlots display;
        display.display.emplace_back("an earlier result");
        auto reader = velmora::CodeTableReader::open(table_);
        QVERIFY(reader.hasValue());
        QVERIFY(!velmora::rpomodule::searchLabel(codes, *reader, display));
        QCOMPARE(display.display, expected);
    }

    // A table whose source fails part-way, as a disk or a network share can: the reader keeps what
    // it read and reports error 57, and the search keeps its match lines but prints no message,
    // since the unread rest of the table may hold the codes it would call missing. Cut anywhere
    // up to its closing quote, a record is not shown, nor what the cut seems to make of it (a
    // missing quote for the check); read up to its line end, it is.
    void aRecordCutShortIsNeverShown_data() {
        QTest::addColumn<QString>("mode");
        for (const char* mode : {"search", "label", "find", "check"}) {
            QTest::newRow(mode) << QString(mode);
        }
    }
    void aRecordCutShortIsNeverShown() {
        QFETCH(QString, mode);
        const std::string first = "XYZ,unread\nG80,first item\n";
        const std::string cut = "L98,\"" + std::string(300, 'i') + "\"\n";
        for (const std::size_t readSize : {1U, 7U, 4096U}) {
            for (std::size_t end = 0; end <= first.size() + cut.size(); ++end) {
                std::optional<velmora::TableError> failure;
                // Neither "   : No match found." for ZZZ nor the short-entry message for W.
                RecordingSlots surface({"g80", "l98", "zzz", "w"});
                const Lines lines = shown(mode, (first + cut + "N10,x\n").substr(0, end), readSize,
                                          surface, failure);
                // The check shows no line of a table without findings.
                Lines expected;
                if (mode != "check" && end >= first.size()) {
                    expected.emplace_back("G80  first item");
                    if (end == first.size() + cut.size()) {
                        expected.push_back("L98  " + std::string(300, 'i'));
                    }
                }
                if (lines != expected || !failure || failure->number() != 57 ||
                    !failure->describe().starts_with("Error 57: Device I/O error: ") ||
                    failure->path != "/shares/cars/RPO.txt" ||
                    (mode == "search" && (surface.boxes[0] != "G80" || surface.clears != 1))) {
                    QFAIL(
                        qPrintable(QStringLiteral("failing after %1 bytes, read size %2: %3 lines")
                                       .arg(end)
                                       .arg(readSize)
                                       .arg(lines.size())));
                }
            }
        }
    }

    // Each row: "Search " or one of the lookup window's tools with the text of its box, the table
    // it meets, then the calls on the front end and the display box's lines ("%1" standing for
    // the table's path). The busy cursor is gone before a message shows, and the window goes on.
    void searchAndToolsRunBusyAndReport_data() {
        QTest::addColumn<int>("tool");         // -1: "Search "
        QTest::addColumn<QByteArray>("table"); // empty: no table; "exhausted": memory runs out
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<Lines>("display");
        const QByteArray table = "G80,Limited slip axle\nL98,\"5.7L V8, TPI\"\n";
        const QStringList fine{"busy", "not busy"};
        QTest::newRow("search") << -1 << table << fine
                                << Lines{"L98  5.7L V8, TPI",
                                         "XY   : RPO code must be 3 characters."};
        QTest::newRow("find") << int(ToolId::findByDescription) << table << fine
                              << Lines{"G80  Limited slip axle", "1 record matched."};
        QTest::newRow("label") << int(ToolId::decodeLabel) << table << fine
                               << Lines{
                                      "L98  5.7L V8, TPI", "WS6   : No match found.",
                                      "XY   : RPO code must be 3 characters.",
                                      "code \"abcd\" is longer than 3 characters and was left out"};
        QTest::newRow("check") << int(ToolId::checkTable) << table << fine
                               << Lines{"No findings in 2 records of %1"};
        for (const int tool : {-1, 0, 1, 2}) {
            QTest::addRow("%d, unreadable table", tool)
                << tool << QByteArray() << QStringList{"busy", "not busy", "table error 53"}
                << Lines{};
            QTest::addRow("%d, out of memory", tool)
                << tool << QByteArray("exhausted")
                << QStringList{"busy", "not busy", "out of memory"} << Lines{};
        }
    }
    void searchAndToolsRunBusyAndReport() {
        QFETCH(int, tool);
        QFETCH(QByteArray, table);
        QFETCH(QStringList, calls);
        QFETCH(Lines, display);
        RecordingPort port;
        port.exhausted = table == "exhausted";
        port.table =
            table.isEmpty()
                ? std::filesystem::path(folder_.path().toStdString()) / "missing" / "RPO.txt"
                : std::filesystem::path(writeTableFile(folder_.path(), table).toStdString());
        port.lookup.boxes[0] = "l98";
        port.lookup.boxes[1] = "XY";
        port.lookup.display = {"an earlier result"};
        if (tool < 0) {
            velmora::run(velmora::CommandId::search, port);
        } else {
            const std::array<std::string_view, 3> texts{"slip AXLE", "l98\nWS6, XY;abcd", ""};
            velmora::runTool(ToolId(tool), port, texts.at(std::size_t(tool)));
        }
        QCOMPARE(port.calls, calls);
        if (!port.exhausted) {
            for (std::string& line : display) {
                line = QString::fromStdString(line).arg(port.table.string().c_str()).toStdString();
            }
            QCOMPARE(port.lookup.display, display);
            // The tools leave the entries as typed; the search upper-cases them.
            QCOMPARE(port.lookup.boxes[0], std::string(tool < 0 ? "L98" : "l98"));
        }
    }
};

QTEST_APPLESS_MAIN(SearchTest)
#include "tst_search.moc"
