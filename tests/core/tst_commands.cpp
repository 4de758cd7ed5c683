#include "core/commands.hpp"
#include "recording_slots.hpp"
#include "table_files.hpp"

#include <map>
#include <new>
#include <QTemporaryDir>
#include <QTest>

using velmora::CommandId;
using velmora::WindowId;

namespace {

const char* nameOf(WindowId window) {
    switch (window) {
    case WindowId::start:
        return "start";
    case WindowId::lookup:
        return "lookup";
    case WindowId::help:
        return "help";
    }
    return "?";
}

// A front end in memory: it keeps one instance per window as a real one must, and records every
// call the commands make, in order.
class RecordingPort final : public velmora::WindowPort {
public:
    void show(WindowId window) override {
        record(QStringLiteral("show ") + nameOf(window));
        instance(window).visible = true;
    }
    void hide(WindowId window) override {
        record(QStringLiteral("hide ") + nameOf(window));
        instance(window).visible = false;
    }
    void endProgram() override { record(QStringLiteral("end")); }
    velmora::EntrySlots& lookupSlots() override {
        instance(WindowId::lookup);
        return lookup;
    }
    std::filesystem::path tablePath() override { return table; }
    void setBusy(bool busy) override { record(busy ? "busy" : "not busy"); }
    void reportTableError(const velmora::TableError& error) override {
        record(QStringLiteral("table error ") + QString::number(error.number()));
    }
    void reportOutOfMemory() override { record(QStringLiteral("out of memory")); }

    struct Instance {
        bool visible = false;
    };

    bool visible(WindowId window) const {
        const auto found = windows.find(window);
        return found != windows.end() && found->second.visible;
    }

    QStringList calls;
    std::map<WindowId, Instance> windows;
    RecordingSlots lookup;
    std::filesystem::path table;

private:
    void record(const QString& call) { calls << call; }
    // A window's slot is filled on first use and kept.
    Instance& instance(WindowId window) { return windows[window]; }
};

// Entry boxes whose display box cannot take another line: memory has run out.
class ExhaustedSlots final : public velmora::EntrySlots {
public:
    std::string entry(int slot) const override { return slot == 0 ? "L98" : ""; }
    void setEntry(int /*slot*/, const std::string& /*text*/) override {}
    void clearDisplay() override {}
    void printLine(std::string_view /*line*/) override { throw std::bad_alloc(); }
};

class ExhaustedPort final : public velmora::WindowPort {
public:
    void show(WindowId /*window*/) override {}
    void hide(WindowId /*window*/) override {}
    void endProgram() override { calls << "end"; }
    velmora::EntrySlots& lookupSlots() override { return lookup; }
    std::filesystem::path tablePath() override { return table; }
    void setBusy(bool busy) override { calls << (busy ? "busy" : "not busy"); }
    void reportTableError(const velmora::TableError& /*error*/) override { calls << "table error"; }
    void reportOutOfMemory() override { calls << "out of memory"; }

    QStringList calls;
    ExhaustedSlots lookup;
    std::filesystem::path table;
};

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

private slots:
    void lookUpHidesTheStartWindowThenShowsTheLookupWindow() {
        RecordingPort port;
        port.show(WindowId::start);
        velmora::run(CommandId::lookUpCodes, port);
        QCOMPARE(port.calls, (QStringList{"show start", "hide start", "show lookup"}));
        QVERIFY(!port.visible(WindowId::start));
        QVERIFY(port.visible(WindowId::lookup));
        QVERIFY(!port.windows.contains(WindowId::help));
    }

    void helpFromEitherMainWindowShowsOneHelpWindow() {
        RecordingPort port;
        velmora::run(CommandId::showHelp, port);
        velmora::run(CommandId::showHelp, port);
        velmora::run(CommandId::lookUpCodes, port);
        QVERIFY(port.visible(WindowId::help));
        velmora::run(CommandId::showHelp, port);
        QCOMPARE(port.calls,
                 (QStringList{"show help", "show help", "hide start", "show lookup", "show help"}));
        QCOMPARE(port.windows.size(), std::size_t{3});
    }

    void closeHelpBoxHidesOnlyTheHelpWindow() {
        RecordingPort port;
        velmora::run(CommandId::showHelp, port);
        velmora::run(CommandId::closeHelp, port);
        QCOMPARE(port.calls, (QStringList{"show help", "hide help"}));
        QVERIFY(!port.visible(WindowId::help));
        QVERIFY(port.windows.contains(WindowId::help));
    }

    void exitFromEitherMainWindowEndsTheProgram() {
        for (const CommandId exit : {CommandId::exitProgram, CommandId::exitProgram}) {
            RecordingPort port;
            velmora::run(exit, port);
            QCOMPARE(port.calls, QStringList{"end"});
        }
    }

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
        QVERIFY(port.windows.contains(WindowId::lookup));
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
        ExhaustedPort port;
        port.table = writeTableFile(folder_.path(), "L98,Engine\n").toStdString();
        velmora::run(CommandId::search, port);
        QCOMPARE(port.calls, (QStringList{"busy", "not busy", "out of memory"}));
        QVERIFY(!velmora::kOutOfMemoryMessage.empty());
        QVERIFY(velmora::kOutOfMemoryAdvice.find("\"Search\"") != std::string_view::npos);
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

        ExhaustedPort exhausted;
        exhausted.table = writeTableFile(folder_.path(), "L98,Engine\n").toStdString();
        velmora::runFind(exhausted, "engine");
        QCOMPARE(exhausted.calls, (QStringList{"busy", "not busy", "out of memory"}));
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
