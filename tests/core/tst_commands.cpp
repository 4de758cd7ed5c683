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
    void searchRunsBusyOverTheLookupSlots() {
        RecordingPort port;
        port.table = writeTableFile(folder_.path(), "L98,\"5.7L V8, TPI\"\n").toStdString();
        port.lookup.boxes[0] = "l98";
        port.lookup.boxes[1] = "XY";
        velmora::run(CommandId::search, port);
        QCOMPARE(port.calls, (QStringList{"busy", "not busy"}));
        QCOMPARE(port.lookup.boxes[0], std::string("L98"));
        QCOMPARE(port.lookup.display,
                 (std::vector<std::string>{"L98  5.7L V8, TPI",
                                           "XY   : RPO code must be 3 characters."}));
    }

    // The busy cursor is gone before the message shows, and the window goes on.
    void unreadableTableIsReportedAfterTheBusySign() {
        RecordingPort port;
        port.table = std::filesystem::path(folder_.path().toStdString()) / "missing" / "RPO.txt";
        port.lookup.boxes[0] = "G80";
        velmora::run(CommandId::search, port);
        QCOMPARE(port.calls, (QStringList{"busy", "not busy", "table error 53"}));
        QCOMPARE(port.lookup.clears, 1);
        QVERIFY(port.lookup.display.empty());
    }

    void runningOutOfMemoryIsReportedAndNothingEnds() {
        RecordingPort port;
        port.exhausted = true;
        port.table = writeTableFile(folder_.path(), "L98,Engine\n").toStdString();
        velmora::run(CommandId::search, port);
        QCOMPARE(port.calls, (QStringList{"busy", "not busy", "out of memory"}));
    }

    // Find from the lookup window's find box prints into its display box as "Search " does, with
    // the same busy sign and reports.
    void findPrintsIntoTheLookupDisplayWithTheSearchsReports() {
        RecordingPort port;
        port.table =
            writeTableFile(folder_.path(), "G80,Limited slip axle\nL98,V8 engine\n").toStdString();
        port.lookup.boxes[0] = "l98";
        velmora::runFind(port, "slip AXLE");
        QCOMPARE(port.calls, (QStringList{"busy", "not busy"}));
        QCOMPARE(port.lookup.display,
                 (std::vector<std::string>{"G80  Limited slip axle", "1 record matched."}));
        QCOMPARE(port.lookup.boxes[0], std::string("l98"));

        port.calls.clear();
        port.table = std::filesystem::path(folder_.path().toStdString()) / "missing" / "RPO.txt";
        velmora::runFind(port, "slip");
        QCOMPARE(port.calls, (QStringList{"busy", "not busy", "table error 53"}));
        QVERIFY(port.lookup.display.empty());

        port.calls.clear();
        port.exhausted = true;
        port.table = writeTableFile(folder_.path(), "L98,Engine\n").toStdString();
        velmora::runFind(port, "engine");
        QCOMPARE(port.calls, (QStringList{"busy", "not busy", "out of memory"}));
    }

    void clearEmptiesTheEntriesAndLeavesTheDisplay() {
        RecordingPort port;
        port.lookup.boxes[0] = "L98";
        port.lookup.boxes[1] = "G80";
        port.lookup.display = {"kept"};
        velmora::run(CommandId::clearEntries, port);
        QVERIFY(port.calls.isEmpty());
        QCOMPARE(port.lookup.boxes[0], std::string());
        QCOMPARE(port.lookup.boxes[1], std::string());
        QCOMPARE(port.lookup.display, std::vector<std::string>{"kept"});
    }
};

QTEST_APPLESS_MAIN(CommandsTest)
#include "tst_commands.moc"
