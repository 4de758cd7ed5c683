#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Answers, from the first bytes of a line, whether the line's code can equal one of the search's
// entries, so that the reader can pass over every other line without reading it as a record.
//
// It decides only lines of the common form: a code of printable ASCII, no blank, quote or comma
// in it, starting the line and ended by a comma. For such a line with a code of up to three bytes
// the answer is exact; a longer one can match only when some entry is longer too. Every other
// line may match, and is left to the reader.
class EntryFilter {
public:
    explicit EntryFilter(std::span<const std::string> entries);

    // `lineStart` holds the line's first bytes, as many as there are up to four (fewer only
    // where the line or the buffer ends sooner).
    bool mayMatch(std::string_view lineStart) const {
        std::uint32_t key = 0;
        const std::size_t available = std::min<std::size_t>(lineStart.size(), 4);
        for (std::size_t i = 0; i < available; ++i) {
            const auto byte = static_cast<unsigned char>(lineStart[i]);
            if (byte == ',') {
                return contains(key | static_cast<std::uint32_t>(i) << 24U);
            }
            if (!isCodeByte(byte)) {
                return true;
            }
            key |= static_cast<std::uint32_t>(byte) << (8 * i);
        }
        // Four code bytes and no comma: a code of four bytes or more, unless the line was cut.
        return available < 4 || hasLongEntry_;
    }

private:
    // Marks a used slot, so that the key of the empty code differs from an empty slot.
    static constexpr std::uint32_t kUsed = 0x80000000U;

    static bool isCodeByte(unsigned char byte) {
        return byte > ' ' && byte < 0x7F && byte != '"' && byte != ',';
    }
    std::size_t slotOf(std::uint32_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B1U) >> shift_);
    }
    static std::size_t bitOf(std::uint32_t key) {
        return static_cast<std::size_t>((key * 0x9E3779B1U) >> 20U);
    }
    bool contains(std::uint32_t key) const {
        key |= kUsed;
        // Almost every code of a table is no entry: one bit of a small bitmap says so at once.
        const std::size_t bit = bitOf(key);
        if ((marks_[bit / 64] >> (bit % 64) & 1U) == 0) {
            return false;
        }
        for (std::size_t slot = slotOf(key);; slot = (slot + 1) & (keys_.size() - 1)) {
            if (keys_[slot] == key) {
                return true;
            }
            if (keys_[slot] == 0) {
                return false;
            }
        }
    }
    void insert(std::uint32_t key);

    // Open addressing with at least four slots a key (sixty-four for the fifteen entry boxes),
    // so that one probe mostly settles it.
    std::vector<std::uint32_t> keys_;
    std::array<std::uint64_t, 64> marks_{};
    unsigned shift_ = 26;
    bool hasLongEntry_ = false;
};

} // namespace velmora
