#include "core/fold.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace velmora::text {
namespace {

// A run of consecutive code points that fold to the same base letters.
struct FoldRun {
    char32_t first;
    char32_t last;
    std::string_view base;
};

// In code point order, so that a look-up stops at the first run that ends at or past the code
// point. Capitals and small letters share a run where they alternate, as they do from U+0100 on.
constexpr std::array kFoldRuns = {
    FoldRun{0x00A0, 0x00A0, " "},  FoldRun{0x00C0, 0x00C5, "a"},  FoldRun{0x00C6, 0x00C6, "ae"},
    FoldRun{0x00C7, 0x00C7, "c"},  FoldRun{0x00C8, 0x00CB, "e"},  FoldRun{0x00CC, 0x00CF, "i"},
    FoldRun{0x00D0, 0x00D0, "d"},  FoldRun{0x00D1, 0x00D1, "n"},  FoldRun{0x00D2, 0x00D6, "o"},
    FoldRun{0x00D8, 0x00D8, "o"},  FoldRun{0x00D9, 0x00DC, "u"},  FoldRun{0x00DD, 0x00DD, "y"},
    FoldRun{0x00DE, 0x00DE, "th"}, FoldRun{0x00DF, 0x00DF, "ss"}, FoldRun{0x00E0, 0x00E5, "a"},
    FoldRun{0x00E6, 0x00E6, "ae"}, FoldRun{0x00E7, 0x00E7, "c"},  FoldRun{0x00E8, 0x00EB, "e"},
    FoldRun{0x00EC, 0x00EF, "i"},  FoldRun{0x00F0, 0x00F0, "d"},  FoldRun{0x00F1, 0x00F1, "n"},
    FoldRun{0x00F2, 0x00F6, "o"},  FoldRun{0x00F8, 0x00F8, "o"},  FoldRun{0x00F9, 0x00FC, "u"},
    FoldRun{0x00FD, 0x00FD, "y"},  FoldRun{0x00FE, 0x00FE, "th"}, FoldRun{0x00FF, 0x00FF, "y"},
    FoldRun{0x0100, 0x0105, "a"},  FoldRun{0x0106, 0x010D, "c"},  FoldRun{0x010E, 0x0111, "d"},
    FoldRun{0x0112, 0x011B, "e"},  FoldRun{0x011C, 0x0123, "g"},  FoldRun{0x0124, 0x0127, "h"},
    FoldRun{0x0128, 0x0131, "i"},  FoldRun{0x0132, 0x0133, "ij"}, FoldRun{0x0134, 0x0135, "j"},
    FoldRun{0x0136, 0x0138, "k"},  FoldRun{0x0139, 0x0142, "l"},  FoldRun{0x0143, 0x014B, "n"},
    FoldRun{0x014C, 0x0151, "o"},  FoldRun{0x0152, 0x0153, "oe"}, FoldRun{0x0154, 0x0159, "r"},
    FoldRun{0x015A, 0x0161, "s"},  FoldRun{0x0162, 0x0167, "t"},  FoldRun{0x0168, 0x0173, "u"},
    FoldRun{0x0174, 0x0175, "w"},  FoldRun{0x0176, 0x0178, "y"},  FoldRun{0x0179, 0x017E, "z"},
    FoldRun{0x017F, 0x017F, "s"},  FoldRun{0x0180, 0x0180, "b"},  FoldRun{0x0192, 0x0192, "f"},
    FoldRun{0x01A0, 0x01A1, "o"},  FoldRun{0x01AF, 0x01B0, "u"},  FoldRun{0x01CD, 0x01CE, "a"},
    FoldRun{0x01CF, 0x01D0, "i"},  FoldRun{0x01D1, 0x01D2, "o"},  FoldRun{0x01D3, 0x01DC, "u"},
    FoldRun{0x0218, 0x0219, "s"},  FoldRun{0x021A, 0x021B, "t"},
};

// Every folded letter is a two-byte UTF-8 sequence, and its base letters take no more room.
static_assert(std::ranges::all_of(kFoldRuns, [](const FoldRun& run) {
    return !run.base.empty() && run.base.size() <= 2 && run.first >= 0x80 && run.last < 0x800;
}));

constexpr char32_t kLastFolded = 0x021B;

// Byte lanes of a 64-bit word: every byte below 0x80 stays below 0x100 when at most 0x7F is added,
// so the lanes never carry into one another.
constexpr std::uint64_t kOnes = 0x0101010101010101U;
constexpr std::uint64_t kHighBits = kOnes * 0x80U;

// The code point of the two-byte UTF-8 sequence at `i`, or 0 when there is none there; every
// letter folded here is a two-byte sequence.
char32_t twoByteCodePoint(std::string_view utf8, std::size_t i) {
    if (i + 1 >= utf8.size()) {
        return 0;
    }
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    const auto trail = static_cast<std::uint8_t>(utf8[i + 1]);
    if (lead < 0xC2 || lead > 0xDF || (trail & 0xC0U) != 0x80) {
        return 0;
    }
    return static_cast<char32_t>((lead & 0x1FU) << 6U | (trail & 0x3FU));
}

std::string_view baseOf(char32_t codePoint) {
    if (codePoint > kLastFolded) {
        return {};
    }
    for (const FoldRun& run : kFoldRuns) {
        if (codePoint < run.first) {
            return {};
        }
        if (codePoint <= run.last) {
            return run.base;
        }
    }
    return {};
}

} // namespace

void foldForFind(std::string_view utf8, std::string& out) {
    // Every folded letter is a two-byte sequence that becomes at most two bytes, so the result is
    // never longer than the text: it is written in place, with no growth check for each byte.
    out.resize(utf8.size());
    char* const begin = out.data();
    char* next = begin;
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Eight ASCII bytes at a time, as most descriptions are: each capital gains 0x20.
        if (i + 8 <= utf8.size()) {
            std::uint64_t chunk = 0;
            std::memcpy(&chunk, utf8.data() + i, 8);
            if ((chunk & kHighBits) == 0) {
                const std::uint64_t fromA = chunk + kOnes * (0x80 - 'A');
                const std::uint64_t pastZ = chunk + kOnes * (0x80 - 'Z' - 1);
                chunk |= (fromA & ~pastZ & kHighBits) >> 2U;
                std::memcpy(next, &chunk, 8);
                next += 8;
                i += 8;
                continue;
            }
        }
        const char c = utf8[i];
        if (static_cast<std::uint8_t>(c) < 0x80) {
            *next++ = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            ++i;
            continue;
        }
        const std::string_view base = baseOf(twoByteCodePoint(utf8, i));
        if (base.empty()) {
            *next++ = c;
            ++i;
            continue;
        }
        next = std::copy(base.begin(), base.end(), next);
        i += 2;
    }
    out.resize(static_cast<std::size_t>(next - begin));
}

std::string foldForFind(std::string_view utf8) {
    std::string out;
    foldForFind(utf8, out);
    return out;
}

} // namespace velmora::text
