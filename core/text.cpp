#include "core/text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace velmora::text {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0 when there is none.
std::size_t sequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) {
        return static_cast<std::uint8_t>(s[i]);
    };
    const auto continuation = [&](std::size_t i) {
        return i < s.size() && (byte(i) & 0xC0) == 0x80;
    };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return continuation(1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2)) {
            return 0;
        }
        const std::uint8_t second = byte(1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)) {
            return 0; // overlong form or UTF-16 surrogate
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3)) {
            return 0;
        }
        const std::uint8_t second = byte(1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return 0; // overlong form or past U+10FFFF
        }
        return 4;
    }
    return 0;
}

// Bytes in the UTF-8 sequence of `cp`.
std::size_t utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Writes the UTF-8 sequence of `cp` at `at`, which has room for utf8Length(cp) bytes: six bits
// in each byte after the first, from the last byte back, and the rest under the lead's mark.
void writeUtf8(char32_t cp, char* at) {
    static constexpr std::array<std::uint8_t, 5> kLeadMarks{0, 0, 0xC0, 0xE0, 0xF0};
    const std::size_t length = utf8Length(cp);
    for (std::size_t i = length - 1; i > 0; --i) {
        at[i] = static_cast<char>(0x80U | (cp & 0x3FU));
        cp >>= 6U;
    }
    at[0] = static_cast<char>(kLeadMarks[length] | cp);
}

void appendUtf8(std::string& out, char32_t cp) {
    const std::size_t at = out.size();
    out.resize(at + utf8Length(cp));
    writeUtf8(cp, out.data() + at);
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t windows1252CodePoint(std::uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

// The upper-case partner of a letter of Latin-1 or Latin Extended-A by Unicode's simple mapping,
// or the code point itself where it has none (sharp s, kra, n preceded by apostrophe).
char32_t upperPartner(char32_t cp) {
    switch (cp) {
    case 0xB5: // micro sign
        return 0x39C;
    case 0xFF: // y diaeresis
        return 0x178;
    case 0x131: // dotless i
        return 'I';
    case 0x17F: // long s
        return 'S';
    default:
        break;
    }
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) {
        return cp - 0x20;
    }
    // Latin Extended-A pairs each capital with the small letter after it; in two runs the
    // capital has the odd number.
    const bool smallIsOdd = (cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177);
    const bool smallIsEven = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    return (smallIsOdd && cp % 2 == 1) || (smallIsEven && cp % 2 == 0) ? cp - 1 : cp;
}

bool separatesCodes(char32_t c) {
    return c == U',' || c == U';' || isBlank(c);
}

// Characters that never belong to a code: control characters, byte-order marks, word joiners.
bool leftOutOfCodes(char32_t c) {
    return c == kNotUtf8 || c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF || c == 0x2060;
}

// The pieces of UTF-8 text between characters for which `separates` holds, without the
// characters for which `dropped` holds; empty pieces are left out.
template <typename Separates, typename Dropped>
std::vector<std::string> split(std::string_view utf8, Separates separates, Dropped dropped) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t at = 0; at < utf8.size();) {
        const Character next = firstCharacter(utf8.substr(at));
        if (separates(next.codePoint)) {
            if (!piece.empty()) {
                pieces.push_back(std::move(piece));
                piece.clear();
            }
        } else if (!dropped(next.codePoint)) {
            piece.append(utf8.substr(at, next.length));
        }
        at += next.length;
    }
    if (!piece.empty()) {
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
        length = sequenceLength(bytes.substr(i));
        if (length == 0) {
            return false;
        }
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out(bytes);
    windows1252ToUtf8InPlace(out, 0);
    return out;
}

void windows1252ToUtf8InPlace(std::string& text, std::size_t from) {
    std::size_t grown = text.size();
    for (std::size_t i = from; i < text.size(); ++i) {
        grown += utf8Length(windows1252CodePoint(static_cast<std::uint8_t>(text[i]))) - 1;
    }
    // From the back, so that no byte is overwritten before it is read.
    std::size_t write = grown;
    std::size_t read = text.size();
    text.resize(grown);
    while (read > from) {
        const char16_t cp = windows1252CodePoint(static_cast<std::uint8_t>(text[--read]));
        write -= utf8Length(cp);
        writeUtf8(cp, text.data() + write);
    }
}

std::string toUtf8(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

std::size_t lengthWithoutCutSequence(std::string_view bytes) {
    // The last lead byte among the final three bytes, if its sequence needs more than remain.
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<std::uint8_t>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

void Utf16Decoder::feed(std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!haveByte_) {
            firstByte_ = byte;
            haveByte_ = true;
            continue;
        }
        haveByte_ = false;
        const unsigned high = bigEndian_ ? firstByte_ : byte;
        const unsigned low = bigEndian_ ? byte : firstByte_;
        takeUnit(static_cast<char16_t>(high << 8U | low), out);
    }
}

void Utf16Decoder::takeUnit(char16_t unit, std::string& out) {
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (highSurrogate_ != 0) {
        if (low) {
            const auto cp = static_cast<char32_t>(
                0x10000U + ((std::uint32_t{highSurrogate_} - 0xD800U) << 10U) +
                (std::uint32_t{unit} - 0xDC00U));
            highSurrogate_ = 0;
            appendUtf8(out, cp);
            return;
        }
        highSurrogate_ = 0;
        appendUtf8(out, kReplacementCharacter);
    }
    if (high) {
        highSurrogate_ = unit;
    } else if (low) {
        appendUtf8(out, kReplacementCharacter);
    } else {
        appendUtf8(out, unit);
    }
}

void Utf16Decoder::finish(std::string& out) {
    if (highSurrogate_ != 0) {
        appendUtf8(out, kReplacementCharacter);
    }
    if (haveByte_) {
        appendUtf8(out, kReplacementCharacter);
    }
    highSurrogate_ = 0;
    haveByte_ = false;
}

std::string toUpper(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<std::uint8_t>(utf8[i + 1]) : 0U;
        if (byte >= 'a' && byte <= 'z') {
            out += static_cast<char>(byte - ('a' - 'A'));
        } else if (byte >= 0xC2 && byte <= 0xC5 && (next & 0xC0U) == 0x80U) {
            // U+0080 to U+017F: two bytes, five bits in the first and six in the second.
            appendUtf8(out,
                       upperPartner(static_cast<char32_t>((byte & 0x1FU) << 6U | (next & 0x3FU))));
            ++i;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

Character firstCharacter(std::string_view utf8) {
    const std::size_t length = sequenceLength(utf8);
    if (length == 0) {
        return {kNotUtf8, 1};
    }
    // The lead byte's own bits, by the sequence's length, then six bits from each byte after it.
    static constexpr std::array<std::uint8_t, 5> kLeadBits{0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t codePoint = static_cast<std::uint8_t>(utf8[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        codePoint = codePoint << 6U | (static_cast<std::uint8_t>(utf8[i]) & 0x3FU);
    }
    return {codePoint, length};
}

std::size_t letterCount(std::string_view utf8) {
    // The blocks of combining marks and of variation selectors, which add to the character
    // before them.
    const auto addsToLast = [](char32_t c) {
        return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
               (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
               (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F);
    };
    std::size_t count = 0;
    while (!utf8.empty()) {
        const Character character = firstCharacter(utf8);
        if (count == 0 || !addsToLast(character.codePoint)) {
            ++count;
        }
        utf8.remove_prefix(character.length);
    }
    return count;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (; !utf8.empty(); ++count) {
        utf8.remove_prefix(firstCharacter(utf8).length);
    }
    return count;
}

bool isBlank(char32_t c) {
    switch (c) {
    case U' ':
    case U'\t':
    case U'\n':
    case U'\v':
    case U'\f':
    case U'\r':
    case 0x0085: // next line
    case 0x00A0: // no-break space, as web pages copy
    case 0x1680:
    case 0x180E:
    case 0x200B: // zero-width space
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
    case 0x202F: // narrow no-break space
    case 0x205F:
    case 0x3000: // ideographic space
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A; // the typographic spaces
    }
}

bool holdsCodeSeparator(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const Character next = firstCharacter(utf8.substr(at));
        if (separatesCodes(next.codePoint)) {
            return true;
        }
        at += next.length;
    }
    return false;
}

std::vector<std::string> splitCodes(std::string_view utf8) {
    return split(utf8, separatesCodes, leftOutOfCodes);
}

std::vector<std::string> splitWords(std::string_view utf8) {
    return split(utf8, isBlank, [](char32_t) { return false; });
}

} // namespace velmora::text
