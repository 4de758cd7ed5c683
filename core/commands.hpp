#pragma once

#include "core/command_ids.hpp"
#include "core/search.hpp"
#include "core/table_error.hpp"

#include <filesystem>
#include <string_view>

namespace velmora {

// What the commands need from a front end. Each front end implements it once over its own
// windows; the commands below decide everything else (which window, in which order), so that
// every front end moves between its windows in the same way.
class WindowPort {
public:
    WindowPort() = default;
    WindowPort(const WindowPort&) = delete;
    WindowPort& operator=(const WindowPort&) = delete;
    WindowPort(WindowPort&&) = delete;
    WindowPort& operator=(WindowPort&&) = delete;
    virtual ~WindowPort() = default;

    // Creates the window if it does not exist yet, makes it visible and brings it to the front
    // as the active window. A visible window is only brought to the front.
    virtual void show(WindowId window) = 0;
    // Creates the window if it does not exist yet and makes it invisible; it keeps its contents.
    virtual void hide(WindowId window) = 0;
    // Ends the program at once: every window goes, nothing is asked.
    virtual void endProgram() = 0;

    // The lookup window's entry boxes and display box, creating the window if need be.
    virtual EntrySlots& lookupSlots() = 0;
    // Where this search finds the code table.
    virtual std::filesystem::path tablePath() = 0;
    // Shows, or takes away, the sign that the program is busy (a busy cursor) while a search runs.
    virtual void setBusy(bool busy) = 0;
    // Tells the user, without ending the program, that the table could not be read: the error's
    // describe() as the message, its advice() beneath it.
    virtual void reportTableError(const TableError& error) = 0;
    // Tells the user, without ending the program, that the search ran out of memory:
    // kOutOfMemoryMessage with kOutOfMemoryAdvice beneath it.
    virtual void reportOutOfMemory() = 0;
};

inline constexpr std::string_view kOutOfMemoryMessage =
    "The search ran out of memory and was stopped.";
inline constexpr std::string_view kOutOfMemoryAdvice =
    "The lines shown come from the part of the table that was read. Close other programs or "
    "use a smaller RPO.txt, then click \"Search\" again.";

// The command the lookup window also runs on its own; run() gives every command.
namespace commands {

// "Search ": runs the search over the lookup window's slots, with a busy cursor while it runs;
// a table that cannot be read or a lack of memory is reported and the window goes on.
void search(WindowPort& port);

} // namespace commands

// Runs a command by its id, as a front end does when its control or menu entry is chosen.
void run(CommandId command, WindowPort& port);

// Whether the text of a tool's box holds something to run on: words to find, codes to decode.
bool toolAccepts(ToolId tool, std::string_view text);

// Runs a tool into the lookup window's display box over the table a search reads, with its box's
// text (none for the table check), the busy cursor and the reports of "Search ", printing what
// velmora-lookup prints with --find, --label (then each code too long for a box) and --check.
void runTool(ToolId tool, WindowPort& port, std::string_view text = {});

} // namespace velmora
