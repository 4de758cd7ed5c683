#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A UTF-8 validity check written apart from the program's own, for tests to compare it with:
// each sequence is decoded by the bit pattern of its lead byte into a code point, which must then
// be in its shortest form, no surrogate, and at most U+10FFFF.
inline bool referenceUtf8Valid(std::string_view bytes) {
    static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<std::uint8_t>(bytes[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if ((lead & 0x80U) == 0) {
            ++i;
            continue;
        }
        if ((lead & 0xE0U) == 0xC0U) {
            extra = 1;
            cp = lead & 0x1FU;
        } else if ((lead & 0xF0U) == 0xE0U) {
            extra = 2;
            cp = lead & 0x0FU;
        } else if ((lead & 0xF8U) == 0xF0U) {
            extra = 3;
            cp = lead & 0x07U;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if (i + k >= bytes.size()) {
                return false;
            }
            const auto next = static_cast<std::uint8_t>(bytes[i + k]);
            if ((next & 0xC0U) != 0x80U) {
                return false;
            }
            cp = cp << 6U | (next & 0x3FU);
        }
        if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}
