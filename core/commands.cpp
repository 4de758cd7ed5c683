#include "core/commands.hpp"

#include "core/find.hpp"

#include <array>
#include <new>
#include <optional>

namespace velmora {
namespace {

struct CommandEntry {
    CommandId id; // cppcheck-suppress unusedStructMember ; read in a constant expression
    WindowId window;
    std::string_view handler;
    void (*run)(WindowPort&); // cppcheck-suppress unusedStructMember ; called through run()
};

constexpr std::array<CommandEntry, kCommandCount> kCommandTable{{
    {CommandId::RPO_cmdlookup_Click, WindowId::RPO, "RPO_cmdlookup_Click",
     commands::RPO_cmdlookup_Click},
    {CommandId::RPO_nexit_Click, WindowId::RPO, "RPO_nexit_Click", commands::RPO_nexit_Click},
    {CommandId::RPO_nhelp2_Click, WindowId::RPO, "RPO_nhelp2_Click", commands::RPO_nhelp2_Click},
    {CommandId::RPO2_cmdlookup_Click, WindowId::RPO2, "RPO2_cmdlookup_Click",
     commands::RPO2_cmdlookup_Click},
    {CommandId::RPO2_cmdclear_Click, WindowId::RPO2, "RPO2_cmdclear_Click",
     commands::RPO2_cmdclear_Click},
    {CommandId::RPO2_nexit_Click, WindowId::RPO2, "RPO2_nexit_Click", commands::RPO2_nexit_Click},
    {CommandId::RPO2_nhelp2_Click, WindowId::RPO2, "RPO2_nhelp2_Click",
     commands::RPO2_nhelp2_Click},
    {CommandId::helpform_Command1_Click, WindowId::helpform, "helpform_Command1_Click",
     commands::helpform_Command1_Click},
}};

// Each entry stands at its command's number, so a command finds its entry without a search.
constexpr bool inCommandOrder() {
    for (std::size_t i = 0; i < kCommandTable.size(); ++i) {
        if (static_cast<std::size_t>(kCommandTable.at(i).id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inCommandOrder());

const CommandEntry& entryFor(CommandId command) {
    return kCommandTable.at(static_cast<std::size_t>(command));
}

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

void RPO_cmdlookup_Click(WindowPort& port) {
    // Hide first, then show: the lookup window comes up as the only main window.
    port.hide(WindowId::RPO);
    port.show(WindowId::RPO2);
}

void RPO_nexit_Click(WindowPort& port) {
    port.endProgram();
}

void RPO_nhelp2_Click(WindowPort& port) {
    port.show(WindowId::helpform);
}

void RPO2_cmdlookup_Click(WindowPort& port) {
    readIntoLookup(
        port, [&port] { return rpomodule::search(port.lookupSlots(), port.tablePath()).error; });
}

void RPO2_cmdclear_Click(WindowPort& port) {
    rpomodule::clearEntries(port.lookupSlots());
}

void RPO2_nexit_Click(WindowPort& port) {
    port.endProgram();
}

void RPO2_nhelp2_Click(WindowPort& port) {
    port.show(WindowId::helpform);
}

void helpform_Command1_Click(WindowPort& port) {
    port.hide(WindowId::helpform);
}

} // namespace commands

void run(CommandId command, WindowPort& port) {
    entryFor(command).run(port);
}

void runFind(WindowPort& port, std::string_view words) {
    readIntoLookup(port, [&port, words] {
        DescriptionQuery query(words);
        return findByDescription(query, port.tablePath(), port.lookupSlots());
    });
}

WindowId commandWindow(CommandId command) {
    return entryFor(command).window;
}

std::string_view handlerName(CommandId command) {
    return entryFor(command).handler;
}

} // namespace velmora
