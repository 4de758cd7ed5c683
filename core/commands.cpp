#include "core/commands.hpp"

#include "core/find.hpp"
#include "core/table_check.hpp"
#include "core/text.hpp"

#include <new>
#include <optional>

namespace velmora {
namespace {

// Takes the busy sign away however the reading ends, before anything is reported, so that a
// message box never shows with a busy cursor over it.
class BusySign {
public:
    explicit BusySign(WindowPort& port) : port_(port) { port_.setBusy(true); }
    BusySign(const BusySign&) = delete;
    BusySign& operator=(const BusySign&) = delete;
    BusySign(BusySign&&) = delete;
    BusySign& operator=(BusySign&&) = delete;
    ~BusySign() { port_.setBusy(false); }

private:
    WindowPort& port_;
};

// One reading of the table into the lookup window: the busy sign while it runs; then the table's
// error or the lack of memory is reported, and the window goes on.
template <typename Read> void readIntoLookup(WindowPort& port, Read read) {
    std::optional<TableError> tableError;
    bool outOfMemory = false;
    {
        const BusySign busy(port);
        try {
            tableError = read();
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }
    if (tableError) {
        port.reportTableError(*tableError);
    } else if (outOfMemory) {
        port.reportOutOfMemory();
    }
}

} // namespace

namespace commands {

void search(WindowPort& port) {
    readIntoLookup(
        port, [&port] { return rpomodule::search(port.lookupSlots(), port.tablePath()).error; });
}

} // namespace commands

void run(CommandId command, WindowPort& port) {
    switch (command) {
    case CommandId::lookUpCodes:
        // Hide first, then show: the lookup window comes up as the only main window.
        port.hide(WindowId::start);
        return port.show(WindowId::lookup);
    case CommandId::search:
        return commands::search(port);
    case CommandId::clearEntries:
        return rpomodule::clearEntries(port.lookupSlots());
    case CommandId::showHelp:
        return port.show(WindowId::help);
    case CommandId::closeHelp:
        return port.hide(WindowId::help);
    case CommandId::exitProgram:
        return port.endProgram();
    }
}

bool toolAccepts(ToolId tool, std::string_view text) {
    switch (tool) {
    case ToolId::findByDescription:
        return !DescriptionQuery(text).empty();
    case ToolId::decodeLabel:
        return !text::splitCodes(text::toUtf8(text)).empty();
    case ToolId::checkTable:
        break;
    }
    return true;
}

void runTool(ToolId tool, WindowPort& port, std::string_view text) {
    readIntoLookup(port, [tool, &port, text]() -> std::optional<TableError> {
        DisplaySurface& display = port.lookupSlots();
        // Cleared before the table is opened, so that a table that cannot be read leaves no
        // earlier result standing as if it were this one's.
        display.clearDisplay();
        rpomodule::Label label;
        if (tool == ToolId::decodeLabel && !label.add(text)) {
            display.printLine(rpomodule::describeTooManyCodes());
            return std::nullopt;
        }
        auto reader = CodeTableReader::open(port.tablePath());
        if (!reader) {
            return reader.error();
        }
        switch (tool) {
        case ToolId::findByDescription: {
            DescriptionQuery query(text);
            return findByDescription(query, *reader, display);
        }
        case ToolId::decodeLabel: {
            auto failed = rpomodule::searchLabel(std::move(label.codes), *reader, display);
            if (!failed) {
                for (const std::string& code : label.tooLong) {
                    display.printLine(rpomodule::describeTooLong(code));
                }
            }
            return failed;
        }
        case ToolId::checkTable: {
            auto checked = printTableCheck(*reader, port.tablePath(), display);
            return checked ? std::nullopt : std::optional(checked.error());
        }
        }
        return std::nullopt;
    });
}

} // namespace velmora
