#include "cli/arguments.hpp"

#include "core/table_file.hpp"

#include <algorithm>
#include <array>
#include <string_view>

#if defined(_WIN32)
// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#endif

namespace lookup {
namespace {

struct ModeOption {
    std::string_view name;
    Mode mode;
};

// The options that choose what the run does instead of a search.
constexpr std::array kModeOptions{
    ModeOption{"--help", Mode::Help},       ModeOption{"-h", Mode::Help},
    ModeOption{"--version", Mode::Version}, ModeOption{"--check", Mode::Check},
    ModeOption{"--find", Mode::Find},       ModeOption{"--label", Mode::Label},
};

} // namespace

std::variant<Arguments, UsageError> parseArguments(const std::vector<std::string>& words) {
    Arguments arguments;
    const ModeOption* chosen = nullptr;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view argument = words[i];
        if (optionsEnded || argument.size() < 2 || argument.front() != '-') {
            arguments.operands.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (const auto* option =
                       std::ranges::find(kModeOptions, argument, &ModeOption::name);
                   option != kModeOptions.end()) {
            // Help and version answer at once, whatever else the line holds.
            if (option->mode == Mode::Help || option->mode == Mode::Version) {
                return Arguments{option->mode, {}, {}};
            }
            if (chosen != nullptr && chosen->mode == option->mode) {
                return UsageError{std::string(argument) + " may be given only once"};
            }
            if (chosen != nullptr) {
                return UsageError{std::string(chosen->name) + " and " + std::string(argument) +
                                  " cannot be given together: give one of them"};
            }
            if (!arguments.operands.empty()) {
                // Else the codes would silently become the mode's words, codes or file.
                return UsageError{"\"" + arguments.operands.front() + "\" stands before " +
                                  std::string(argument) +
                                  ": give codes alone to search for them, or " +
                                  std::string(argument) + " and then what it works on"};
            }
            chosen = option;
            arguments.mode = option->mode;
        } else if (argument == "--table" || argument.substr(0, 8) == "--table=") {
            if (arguments.table) {
                return UsageError{"--table may be given only once"};
            }
            if (argument == "--table") {
                if (i + 1 == words.size()) {
                    return UsageError{"--table needs a file name"};
                }
                arguments.table = words[++i];
            } else {
                arguments.table = std::string(argument.substr(8));
            }
            if (arguments.table->empty()) {
                return UsageError{"--table needs a file name, not an empty one"};
            }
        } else {
            return UsageError{"unknown option " + std::string(argument)};
        }
    }
    return arguments;
}

std::vector<std::string> commandLineWords(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> words;
        for (int i = 0; i < count; ++i) {
            const int size =
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string text(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
            words.push_back(std::move(text));
        }
        LocalFree(wide);
        return words;
    }
#endif
    return {argv, argv + argc};
}

std::filesystem::path tablePath(const Arguments& arguments) {
    if (!arguments.table) {
        return velmora::locateTable();
    }
#if defined(_WIN32)
    return {std::u8string(arguments.table->begin(), arguments.table->end())};
#else
    return {*arguments.table};
#endif
}

} // namespace lookup
