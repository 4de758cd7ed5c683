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
// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
// clang-format on
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

// The arguments as UTF-8. Windows hands a program its arguments in the ANSI code page, which
// cannot hold every file name, so there they are taken from the wide command line instead.
std::vector<std::string> argumentsOf(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i) {
            const int size =
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string text(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
            arguments.push_back(std::move(text));
        }
        LocalFree(wide);
        return arguments;
    }
#endif
    return {argv, argv + argc};
}

// A file name as given on the command line: UTF-8 on Windows (see argumentsOf), the system's own
// bytes elsewhere.
std::filesystem::path pathOf(const std::string& argument) {
#if defined(_WIN32)
    return {std::u8string(argument.begin(), argument.end())};
#else
    return {argument};
#endif
}

int lookup(const std::vector<std::string>& words) {
    Arguments arguments;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view argument = words[i];
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
                if (i + 1 == words.size()) {
                    return usageError("--table needs a file name");
                }
                arguments.table = words[++i];
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
        arguments.table ? pathOf(*arguments.table) : velmora::locateTable();
    TerminalSlots slots(std::move(arguments.entries));
    const auto failure = velmora::rpomodule::search(slots, table);
    std::fflush(stdout);
    if (failure) {
        std::cerr << "velmora-lookup: " << failure->describe() << '\n';
        return kExitTableUnreadable;
    }
    if (std::ferror(stdout) != 0) {
        std::cerr << "velmora-lookup: the results could not be written\n";
        return kExitTableUnreadable;
    }
    return kExitSearched;
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The lines are UTF-8 with LF ends, as on every other system, and a console shows them so.
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
#endif
    try {
        return lookup(argumentsOf(argc, argv));
    } catch (const std::exception& failure) {
        std::cerr << "velmora-lookup: " << failure.what() << '\n';
        return kExitTableUnreadable;
    }
}
