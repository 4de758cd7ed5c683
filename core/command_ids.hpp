#pragma once

// The names by which the windows and their commands are known below the front ends: the layouts
// in forms/ bind controls to these commands, and each front end runs them through the command
// table (commands.hpp).
namespace velmora {

// The three windows; each is a single instance for the whole program.
enum class WindowId {
    start,  // the banner and "Look up RPO Codes"
    lookup, // the entry boxes, "Search " and the display box
    help,   // the help picture and its notes
};

// Every user command. Exit and Help stand in the menus of both main windows and do the same in
// each.
enum class CommandId {
    lookUpCodes,  // "Look up RPO Codes": from the start window to the lookup window
    search,       // "Search "
    clearEntries, // "Clear"
    showHelp,     // Help > Help
    closeHelp,    // "Close Help Box"
    exitProgram,  // File > Exit, Ctrl+Q
};
// The lookup window's tools, reached by their shortcuts and from the display box's context menu:
// each prints into the display box.
enum class ToolId {
    findByDescription, // the records whose descriptions hold the words of the find box
    decodeLabel,       // the codes of a whole label, from the label box
    checkTable,        // what would surprise the table's editor
};

inline constexpr int kCommandCount = static_cast<int>(CommandId::exitProgram) + 1;

} // namespace velmora
