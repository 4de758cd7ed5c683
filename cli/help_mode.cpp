#include "cli/modes.hpp"
#include "core/version.hpp"

namespace lookup {
namespace {

// Also the line that follows a command line without codes.
constexpr std::string_view kUsageLine = "Usage: velmora-lookup [--table FILE] ENTRY...\n";
constexpr std::string_view kUsage =
    "       velmora-lookup [--table FILE] --find WORD...\n"
    "       velmora-lookup [--table FILE] --label [CODE...]\n"
    "       velmora-lookup --check [FILE]\n"
    "Looks up up to 15 RPO codes in the code table and prints each match, then a message for\n"
    "every entry that is too short or not found.\n"
    "\n"
    "  ENTRY         the text of one entry slot, at most 3 characters; an empty ENTRY (\"\")\n"
    "                leaves its slot empty\n"
    "  --find WORD...\n"
    "                print every record whose description holds every WORD, in any order and\n"
    "                ignoring case and accents, then how many records matched (at most 64\n"
    "                words of at most 256 characters)\n"
    "  --label [CODE...]\n"
    "                decode a whole label: any number of codes, from the arguments or, with\n"
    "                none, from standard input, separated by blanks, tabs, line breaks, commas\n"
    "                or semicolons; a code longer than 3 characters is named and left out\n"
    "  --table FILE  read FILE instead of looking up RPO.txt in the current folder, then beside\n"
// Windows programs are unzipped, not installed: there is no data folder to look in.
#if defined(_WIN32)
    "                the program (also --table=FILE)\n"
#else
    "                the program, then in the installed data folder (also --table=FILE)\n"
#endif
    "  --            every argument after it is an ENTRY, even one that starts with -\n"
    "  --check [FILE]\n"
    "                check the code table (FILE, or the one a search would read): list,\n"
    "                line by line, what may surprise whoever edits it, then a count\n"
    "  --help        show this text\n"
    "  --version     show the version\n"
    "\n"
    "Exit status:\n"
    "  0  the search ran (or --find or --label), whether or not anything was found; --check\n"
    "     found nothing; or this text or the version was shown\n"
    "  1  the code table cannot be read, the output cannot be written, or memory ran out\n"
    "  2  a usage error; with --label also a code longer than 3 characters, left out while\n"
    "     the other codes were decoded\n"
    "  4  --check found something in the table\n";

} // namespace

int showHelp(Streams streams) {
    streams.out.write(kUsageLine);
    streams.out.write(kUsage);
    return kExitSuccess;
}

int noCodesGiven(Output& err) {
    usageError(err, "no codes to look up");
    err.write(kUsageLine);
    return kExitUsage;
}

int showVersion(Streams streams) {
    streams.out.write("velmora-lookup ");
    streams.out.writeLine(velmora::kVersion);
    return kExitSuccess;
}

} // namespace lookup
