#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lookup {

// What a run of velmora-lookup does; every mode but the search is chosen by an option.
enum class Mode { Search, Help, Version, Check, Find, Label };

struct Arguments {
    Mode mode = Mode::Search;
    // The code table given with --table, as UTF-8 (Windows) or the system's own bytes.
    std::optional<std::string> table;
    // The arguments that are not options, in order.
    std::vector<std::string> operands;
};

// A command line that cannot be carried out, with what is wrong in the user's terms.
struct UsageError {
    std::string problem;
};

// Parses the words of a command line, the program's name first.
std::variant<Arguments, UsageError> parseArguments(const std::vector<std::string>& words);

// The program's command line as UTF-8 words on Windows, where the ANSI arguments cannot hold every
// file name; argv as it is elsewhere.
std::vector<std::string> commandLineWords(int argc, char** argv);

// The code table the run reads: the one given with --table, or RPO.txt where the search looks
// for it.
std::filesystem::path tablePath(const Arguments& arguments);

} // namespace lookup
