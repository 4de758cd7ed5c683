// velmora-lookup: the lookup window's search for a terminal. Each argument is the text of one
// entry slot, in slot order; the display box's lines go to standard output.

#include "code_table.hpp"
#include "search.hpp"
#include "text.hpp"
#include "version.hpp"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kExitSearched = 0;
constexpr int kExitTableUnreadable = 1;
constexpr int kExitUsage = 2;

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

// The entry boxes are the arguments; the display box is standard output.
class TerminalSlots final : public velmora::EntrySlots {
public:
    explicit TerminalSlots(std::vector<std::string> entries) : entries_(std::move(entries)) {
        entries_.resize(velmora::kSlotCount);
    }
    std::string entry(int slot) const override { return entries_[static_cast<std::size_t>(slot)]; }
    void setEntry(int slot, const std::string& text) override {
        entries_[static_cast<std::size_t>(slot)] = text;
    }
    void clearDisplay() override {}
    void printLine(std::string_view line) override {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }

private:
    std::vector<std::string> entries_;
};

struct Arguments {
    std::optional<std::string> table;
    std::vector<std::string> entries;
};

int usageError(const std::string& problem) {
    std::cerr << "velmora-lookup: " << problem << " (try --help)\n";
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The lines are UTF-8 with LF ends, as on every other system.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    Arguments arguments;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "--help" || argument == "-h") {
                std::cout << kUsage;
                return kExitSearched;
            } else if (argument == "--version") {
                std::cout << "velmora-lookup " << velmora::kVersion << '\n';
                return kExitSearched;
            } else if (argument == "--table") {
                if (i + 1 == argc) {
                    return usageError("--table needs a file name");
                }
                arguments.table = argv[++i];
            } else if (argument.substr(0, 8) == "--table=") {
                arguments.table = std::string(argument.substr(8));
            } else {
                return usageError("unknown option " + std::string(argument));
            }
            continue;
        }
        const std::string entry = velmora::text::toUtf8(argument);
        if (velmora::text::characterCount(entry) > velmora::kCodeLength) {
            return usageError("entry \"" + entry + "\" is longer than 3 characters");
        }
        if (arguments.entries.size() == velmora::kSlotCount) {
            return usageError("at most 15 entries");
        }
        arguments.entries.push_back(entry);
    }

    const std::filesystem::path table =
        arguments.table
            ? std::filesystem::path(std::u8string(arguments.table->begin(), arguments.table->end()))
            : velmora::locateTable(std::filesystem::current_path(), velmora::programFolder());
    TerminalSlots slots(std::move(arguments.entries));
    const auto failure = velmora::rpomodule::search(slots, table);
    std::fflush(stdout);
    if (failure) {
        std::cerr << "velmora-lookup: " << failure->describe() << '\n';
        return kExitTableUnreadable;
    }
    return std::ferror(stdout) != 0 ? kExitTableUnreadable : kExitSearched;
}
