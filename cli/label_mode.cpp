// A whole label for a terminal: any number of codes, from the operands or, without any, from
// standard input, decoded in one pass over the table as the entry boxes are.

#include "cli/modes.hpp"
#include "cli/terminal_display.hpp"
#include "core/search.hpp"
#include "core/text.hpp"

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace lookup {
namespace {

#if defined(_WIN32)
constexpr std::string_view kEndOfInputKeys = "Ctrl+Z, then Enter";
#else
constexpr std::string_view kEndOfInputKeys = "Ctrl+D";
#endif

// The separators that are single bytes in every encoding: standard input is cut after them, so
// that no code and no character is split between two pieces.
constexpr std::string_view kByteSeparators = " \t\r\n,;";
// Input without such a separator for this long holds a code too long for any box; the rest of
// it, up to the next separator, is skipped.
constexpr std::size_t kLongestPiece = 4096;

// Adds the codes on standard input to the label, a block at a time, so that memory stays flat:
// whether they fit, or nothing when standard input cannot be read.
std::optional<bool> readStandardInput(velmora::rpomodule::Label& label) {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::array<char, 65536> buffer{};
    std::string pending;
    bool skipping = false;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), stdin)) > 0) {
        std::string_view block(buffer.data(), count);
        if (skipping) {
            const std::size_t end = block.find_first_of(kByteSeparators);
            skipping = end == std::string_view::npos;
            block.remove_prefix(skipping ? block.size() : end);
        }
        pending += block;
        const std::size_t last = pending.find_last_of(kByteSeparators);
        const bool tooLong = last == std::string::npos && pending.size() > kLongestPiece;
        if (last == std::string::npos && !tooLong) {
            continue;
        }
        const std::size_t cut =
            tooLong ? velmora::text::lengthWithoutCutSequence(pending) : last + 1;
        if (!label.add(std::string_view(pending).substr(0, cut))) {
            return false;
        }
        pending.erase(0, tooLong ? pending.size() : cut);
        skipping = tooLong;
    }
    if (std::ferror(stdin) != 0) {
        return std::nullopt;
    }
    return label.add(pending);
}

} // namespace

int runLabel(const Arguments& arguments, Streams streams) {
    velmora::rpomodule::Label label;
    bool fits = true;
    if (arguments.operands.empty()) {
        if (isTerminal(0)) {
            complain(streams.err,
                     "type the codes of the label, then " + std::string(kEndOfInputKeys));
        }
        const auto read = readStandardInput(label);
        if (!read) {
            complain(streams.err, "standard input could not be read");
            return kExitFailure;
        }
        fits = *read;
    }
    for (const std::string& operand : arguments.operands) {
        fits = fits && label.add(operand);
    }
    if (!fits) {
        return usageError(streams.err, velmora::rpomodule::describeTooManyCodes());
    }
    // A code that no entry box could hold is named and left out; the rest is still decoded.
    for (const std::string& code : label.tooLong) {
        complain(streams.err, velmora::rpomodule::describeTooLong(code));
    }
    if (label.codes.empty() && label.tooLong.empty()) {
        return usageError(streams.err, "--label found no codes to decode");
    }

    const int status = readTableToOutput(
        arguments, streams, [&label](velmora::CodeTableReader& reader, TerminalDisplay& display) {
            return velmora::rpomodule::searchLabel(std::move(label.codes), reader, display);
        });
    return status == kExitSuccess && !label.tooLong.empty() ? kExitUsage : status;
}

} // namespace lookup
