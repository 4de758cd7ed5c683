#include "modes.hpp"
#include "version.hpp"

namespace lookup {
namespace {

constexpr std::string_view kUsage =
    "Usage: velmora-lookup [--table FILE] [ENTRY...]\n"
    "Looks up up to 15 RPO codes in the code table and prints each match, then a message for\n"
    "every entry that is too short or not found.\n"
    "\n"
    "  ENTRY         the text of one entry slot, at most 3 characters; an empty ENTRY (\"\")\n"
    "                leaves its slot empty\n"
    "  --table FILE  read FILE instead of looking up RPO.txt in the current folder, beside\n"
    "                the program, then in the installed data folder\n"
    "  --            every argument after it is an ENTRY, even one that starts with -\n"
    "  --help        show this text\n"
    "  --version     show the version\n"
    "\n"
    "Exit status: 0 after a search, 1 when the code table cannot be read, 2 for a usage error.\n";

} // namespace

int showHelp(Streams streams) {
    streams.out.write(kUsage);
    return kExitSuccess;
}

int showVersion(Streams streams) {
    streams.out.write("velmora-lookup ");
    streams.out.writeLine(velmora::kVersion);
    return kExitSuccess;
}

} // namespace lookup
