#pragma once

#include "cli/arguments.hpp"
#include "cli/output.hpp"

#include <string_view>

namespace lookup {

// The exit statuses, as --help and the README name them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// The table check found something to look at.
inline constexpr int kExitFindings = 4;

// Where a mode writes: its results to `out`, its complaints to `err`.
struct Streams {
    Output& out;
    Output& err;
};

// Writes "velmora-lookup: <message>" as one line of standard error.
void complain(Output& err, std::string_view message);
// The same for a command line that cannot be carried out; returns kExitUsage.
int usageError(Output& err, std::string_view problem);

// Each mode carries out a parsed command line and returns the exit status.
int runSearch(const Arguments& arguments, Streams streams);
int showHelp(Streams streams);
// A search without codes: a usage error, followed by the usage line.
int noCodesGiven(Output& err);
int showVersion(Streams streams);
int runCheck(const Arguments& arguments, Streams streams);
int runFind(const Arguments& arguments, Streams streams);
int runLabel(const Arguments& arguments, Streams streams);

} // namespace lookup
