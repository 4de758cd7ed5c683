#pragma once

// The names by which the windows and their commands are known below the front ends: the layouts
// in forms/ bind controls to these commands, and each front end runs them through the command
// table (commands.hpp).
namespace velmora {

// The three windows; each is a single instance for the whole program.
enum class WindowId {
    RPO,      // the start window
    RPO2,     // the lookup window
    helpform, // the help window
};

// Every user command, named after the window, the control and the click that runs it.
enum class CommandId {
    RPO_cmdlookup_Click,
    RPO_nexit_Click,
    RPO_nhelp2_Click,
    RPO2_cmdlookup_Click,
    RPO2_cmdclear_Click,
    RPO2_nexit_Click,
    RPO2_nhelp2_Click,
    helpform_Command1_Click,
};

inline constexpr int kCommandCount = 8;

} // namespace velmora
