// A whole label for a terminal: any number of codes, from the operands or, without any, from
// standard input, decoded in one pass over the table as the entry boxes are.

#include "cli/modes.hpp"
#include "cli/terminal_display.hpp"
#include "core/search.hpp"
#include "core/text.hpp"

#include <array>
#include <cstdio>
#include <iterator>
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

// All of standard input, as it is; nothing when it cannot be read.
std::optional<std::string> readStandardInput() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string text;
    std::array<char, 65536> buffer{};
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), stdin)) > 0) {
        text.append(buffer.data(), count);
    }
    if (std::ferror(stdin) != 0) {
        return std::nullopt;
    }
    return text;
}

} // namespace

int runLabel(const Arguments& arguments, Streams streams) {
    std::vector<std::string> pieces;
    if (arguments.operands.empty()) {
        if (isTerminal(0)) {
            complain(streams.err,
                     "type the codes of the label, then " + std::string(kEndOfInputKeys));
        }
        const auto input = readStandardInput();
        if (!input) {
            complain(streams.err, "standard input could not be read");
            return kExitFailure;
        }
        pieces = velmora::text::splitCodes(velmora::text::toUtf8(*input));
    } else {
        for (const std::string& operand : arguments.operands) {
            std::vector<std::string> more =
                velmora::text::splitCodes(velmora::text::toUtf8(operand));
            pieces.insert(pieces.end(), std::make_move_iterator(more.begin()),
                          std::make_move_iterator(more.end()));
        }
    }

    // A code that no entry box could hold is named and left out; the rest is still decoded.
    std::vector<std::string> codes;
    bool leftOut = false;
    for (std::string& code : pieces) {
        if (velmora::text::characterCount(code) > velmora::kCodeLength) {
            complain(streams.err,
                     "code \"" + code + "\" is longer than 3 characters and was left out");
            leftOut = true;
            continue;
        }
        codes.push_back(std::move(code));
    }
    if (codes.empty() && !leftOut) {
        return usageError(streams.err, "--label found no codes to decode");
    }

    const int status = readTableToOutput(
        arguments, streams, [&codes](velmora::CodeTableReader& reader, TerminalDisplay& display) {
            return velmora::rpomodule::searchLabel(std::move(codes), reader, display);
        });
    return status == kExitSuccess && leftOut ? kExitUsage : status;
}

} // namespace lookup
