#include "core/commands.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <new>
#include <QTemporaryDir>
#include <QTest>

using velmora::CommandId;
using velmora::WindowId;

namespace {

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
    void show(WindowId /*window*/) override {}
    void hide(WindowId /*window*/) override {}
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

class CommandsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    // Each row: "Search " or find from the lookup window's find box, the table it meets, then the
    // calls on the front end and the display box's lines. The busy cursor is gone before a
    // message shows, and the window goes on.
    void searchAndFindRunBusyAndReport_data() {
        QTest::addColumn<bool>("find");
        QTest::addColumn<QByteArray>("table"); // empty: no table; "exhausted": memory runs out
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("display");
        const QByteArray table = "G80,Limited slip axle\nL98,\"5.7L V8, TPI\"\n";
        QTest::newRow("search") << false << table << QStringList{"busy", "not busy"}
                                << QStringList{"L98  5.7L V8, TPI",
                                               "XY   : RPO code must be 3 characters."};
        QTest::newRow("find") << true << table << QStringList{"busy", "not busy"}
                              << QStringList{"G80  Limited slip axle", "1 record matched."};
        for (const bool find : {false, true}) {
            const char* name = find ? "find" : "search";
            QTest::addRow("%s, unreadable table", name)
                << find << QByteArray() << QStringList{"busy", "not busy", "table error 53"}
                << QStringList{};
            QTest::addRow("%s, out of memory", name)
                << find << QByteArray("exhausted")
                << QStringList{"busy", "not busy", "out of memory"} << QStringList{};
        }
    }
    void searchAndFindRunBusyAndReport() {
        QFETCH(bool, find);
        QFETCH(QByteArray, table);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, display);
        RecordingPort port;
        port.exhausted = table == "exhausted";
        port.table =
            table.isEmpty()
                ? std::filesystem::path(folder_.path().toStdString()) / "missing" / "RPO.txt"
                : std::filesystem::path(writeTableFile(folder_.path(), table).toStdString());
        port.lookup.boxes[0] = "l98";
        port.lookup.boxes[1] = "XY";
        port.lookup.display = {"an earlier result"};
        if (find) {
            velmora::runFind(port, "slip AXLE");
        } else {
            velmora::run(CommandId::search, port);
        }
        QCOMPARE(port.calls, calls);
        if (!port.exhausted) {
            QStringList shown;
            for (const std::string& line : port.lookup.display) {
                shown << QString::fromStdString(line);
            }
            QCOMPARE(shown, display);
            // Find leaves the entries as typed; the search upper-cases them.
            QCOMPARE(port.lookup.boxes[0], std::string(find ? "l98" : "L98"));
        }
    }
};

QTEST_APPLESS_MAIN(CommandsTest)
#include "tst_commands.moc"
