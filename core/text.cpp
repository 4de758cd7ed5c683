#include "text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

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

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = sequenceLength(bytes.substr(i));
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte >= 0x80 && byte <= 0x9F) {
            appendUtf8(out, kHighControls[byte - 0x80]);
        } else {
            appendUtf8(out, byte);
        }
    }
    return out;
}

std::string toUtf8(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

std::string toUpper(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(out[i]);
        if (byte >= 'a' && byte <= 'z') {
            out[i] = static_cast<char>(byte - ('a' - 'A'));
        } else if (byte == 0xC3 && i + 1 < out.size()) {
            // U+00E0..U+00FE are C3 A0..C3 BE; their upper-case partners are C3 80..C3 9E.
            const auto next = static_cast<std::uint8_t>(out[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7) {
                out[i + 1] = static_cast<char>(next - 0x20);
            }
            ++i;
        }
    }
    return out;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t length = sequenceLength(utf8.substr(i));
        i += length == 0 ? 1 : length;
        ++count;
    }
    return count;
}

} // namespace velmora::text
