#include "core/fold.hpp"

#include "core/text.hpp"

#include <algorithm>
#include <array>
#include <iterator>
#include <utf8proc.h>

namespace velmora::text {
namespace {

// Each character folds alone, so a description folds the same whole or in pieces.
constexpr auto kFoldOptions = static_cast<utf8proc_option_t>(
    UTF8PROC_CASEFOLD | UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK);

// Latin letters that Unicode treats as letters of their own, with no decomposition, but that a
// reader takes for the base letters typed in their place ("aether" for "Æther", "lodz" for
// "Łódź"). Small letters only: case folding comes first.
struct BaseLetters {
    char32_t letter;
    std::string_view base;
};
constexpr std::array kBaseLetters = {
    BaseLetters{0x00E6, "ae"}, BaseLetters{0x00F0, "d"},  BaseLetters{0x00F8, "o"},
    BaseLetters{0x00FE, "th"}, BaseLetters{0x0111, "d"},  BaseLetters{0x0127, "h"},
    BaseLetters{0x0131, "i"},  BaseLetters{0x0138, "k"},  BaseLetters{0x0142, "l"},
    BaseLetters{0x014B, "n"},  BaseLetters{0x0153, "oe"}, BaseLetters{0x0167, "t"},
    BaseLetters{0x0180, "b"},  BaseLetters{0x0192, "f"}};

void append(char32_t c, std::string& out) {
    for (const BaseLetters& entry : kBaseLetters) {
        // cppcheck-suppress useStlAlgorithm
        if (entry.letter == c) {
            out += entry.base;
            return;
        }
    }
    std::array<utf8proc_uint8_t, 4> bytes{};
    const auto length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), bytes.data());
    out.append(bytes.begin(), bytes.begin() + length);
}

} // namespace

void foldForFind(std::string_view utf8, std::string& out) {
    out.clear();
    // The longest folded form of one character (U+FDFA) has 18.
    std::array<utf8proc_int32_t, 32> folded{};
    while (!utf8.empty()) {
        // A run of ASCII, as most descriptions are: only the capitals change.
        const auto run = static_cast<std::size_t>(
            std::ranges::find_if(utf8, [](char c) { return (c & 0x80) != 0; }) - utf8.begin());
        const std::size_t end = out.size();
        out.resize(end + run);
        std::transform(utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(run),
                       out.begin() + static_cast<std::ptrdiff_t>(end),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        utf8.remove_prefix(run);
        if (utf8.empty()) {
            return;
        }
        const Character character = firstCharacter(utf8);
        const utf8proc_ssize_t count =
            character.codePoint == kNotUtf8
                ? -1
                : utf8proc_decompose_char(static_cast<utf8proc_int32_t>(character.codePoint),
                                          folded.data(), std::ssize(folded), kFoldOptions, nullptr);
        if (count < 0 || count > std::ssize(folded)) {
            // A byte that starts no valid UTF-8 sequence stays as it is.
            out.append(utf8.substr(0, character.length));
        } else {
            std::for_each_n(folded.begin(), count,
                            [&out](utf8proc_int32_t c) { append(static_cast<char32_t>(c), out); });
        }
        utf8.remove_prefix(character.length);
    }
}

std::string foldForFind(std::string_view utf8) {
    std::string out;
    foldForFind(utf8, out);
    return out;
}

} // namespace velmora::text
