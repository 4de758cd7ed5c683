#include "core/entry_filter.hpp"

namespace velmora {

EntryFilter::EntryFilter(std::span<const std::string> entries) {
    std::size_t slots = 64;
    while (slots < entries.size() * 4) {
        slots *= 2;
        --shift_;
    }
    keys_.assign(slots, 0);
    for (const std::string& entry : entries) {
        if (entry.size() > 3) {
            hasLongEntry_ = true;
            continue;
        }
        std::uint32_t key = static_cast<std::uint32_t>(entry.size()) << 24U;
        bool plain = true;
        for (std::size_t i = 0; i < entry.size(); ++i) {
            const auto byte = static_cast<unsigned char>(entry[i]);
            plain = plain && isCodeByte(byte);
            key |= static_cast<std::uint32_t>(byte) << (8 * i);
        }
        // An entry with a blank, a quote or a comma in it, or one that is not ASCII, can equal
        // only a code that is not of the common form, and those lines always may match.
        if (plain) {
            insert(key);
        }
    }
}

void EntryFilter::insert(std::uint32_t key) {
    key |= kUsed;
    const std::size_t bit = bitOf(key);
    marks_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    std::size_t slot = slotOf(key);
    while (keys_[slot] != 0) {
        if (keys_[slot] == key) {
            return;
        }
        slot = (slot + 1) & (keys_.size() - 1);
    }
    keys_[slot] = key;
}

} // namespace velmora
