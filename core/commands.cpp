#include "core/commands.hpp"

#include "core/find.hpp"

#include <new>
#include <optional>

namespace velmora {
namespace {

// Takes the busy sign away however the search ends, before anything is reported, so that a
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

void clearEntries(WindowPort& port) {
    rpomodule::clearEntries(port.lookupSlots());
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
        return commands::clearEntries(port);
    case CommandId::showHelp:
        return port.show(WindowId::help);
    case CommandId::closeHelp:
        return port.hide(WindowId::help);
    case CommandId::exitProgram:
        return port.endProgram();
    }
}

void runFind(WindowPort& port, std::string_view words) {
    readIntoLookup(port, [&port, words] {
        DescriptionQuery query(words);
        return findByDescription(query, port.tablePath(), port.lookupSlots());
    });
}

} // namespace velmora
