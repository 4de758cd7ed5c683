#include "core/search.hpp"

#include "core/entry_filter.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmora::rpomodule {
namespace {

// The distinct entry texts with the slots that hold each, so that a record's code is compared
// with each distinct text once, after a look-up of its first two bytes. Texts of up to seven bytes
// are packed with their length into one integer: the table is read record by record and this
// comparison is the search's inner loop. A few packed texts (the fifteen boxes) are compared one
// after the other; many (a whole label) are looked up in sorted order.
class EntryMatcher {
public:
    explicit EntryMatcher(std::span<const std::string> entries) {
        std::unordered_map<std::string_view, std::size_t> groupOf;
        for (std::size_t slot = 0; slot < entries.size(); ++slot) {
            const std::string& text = entries[slot];
            const auto [found, added] = groupOf.try_emplace(text, groups_.size());
            if (added) {
                groups_.push_back(Group{text, {}});
                if (const auto key = pack(text)) {
                    packed_.emplace_back(*key, found->second);
                } else {
                    longGroups_.push_back(found->second);
                }
            }
            groups_[found->second].slots.push_back(slot);
            if (text.size() >= 2) {
                leadingPairs_.set(leadingPair(text));
            }
        }
        std::sort(packed_.begin(), packed_.end());
    }

    // The slots, in slot order, whose entry equals `code`; null when none does.
    const std::vector<std::size_t>* slotsMatching(std::string_view code) const {
        if (code.size() >= 2 && !leadingPairs_.test(leadingPair(code))) {
            return nullptr;
        }
        if (const auto key = pack(code)) {
            return packedGroup(*key);
        }
        const auto found =
            std::find_if(longGroups_.begin(), longGroups_.end(),
                         [&](std::size_t index) { return groups_[index].text == code; });
        return found == longGroups_.end() ? nullptr : &groups_[*found].slots;
    }

private:
    struct Group {
        std::string_view text;
        std::vector<std::size_t> slots;
    };
    using PackedKey = std::pair<std::uint64_t, std::size_t>;

    // Up to this many packed texts a plain scan is quicker than a binary search.
    static constexpr std::size_t kScanLimit = 16;

    const std::vector<std::size_t>* packedGroup(std::uint64_t key) const {
        if (packed_.size() <= kScanLimit) {
            for (const auto& [candidate, group] : packed_) {
                if (candidate == key) {
                    return &groups_[group].slots;
                }
            }
            return nullptr;
        }
        const auto found = std::lower_bound(
            packed_.begin(), packed_.end(), key,
            [](const PackedKey& entry, std::uint64_t wanted) { return entry.first < wanted; });
        return found == packed_.end() || found->first != key ? nullptr
                                                             : &groups_[found->second].slots;
    }

    // The first two bytes of a text, which settle almost every comparison with one look-up.
    static std::size_t leadingPair(std::string_view text) {
        return static_cast<std::size_t>(static_cast<unsigned char>(text[0])) << 8U |
               static_cast<unsigned char>(text[1]);
    }

    static std::optional<std::uint64_t> pack(std::string_view text) {
        if (text.size() > 7) {
            return std::nullopt;
        }
        std::uint64_t key = 0;
        std::memcpy(&key, text.data(), text.size());
        return key | (static_cast<std::uint64_t>(text.size()) << 56U);
    }

    std::bitset<65536> leadingPairs_;
    std::vector<Group> groups_;
    std::vector<PackedKey> packed_;
    std::vector<std::size_t> longGroups_;
};

// Address space for a printed line, taken before its description is read into it. It is not
// memory: the system hands out pages only as the description fills them. But a line that never
// has to move holds even a description of tens of megabytes once, where a string that doubles
// copies all it held at each step. Where the address space is short, the line grows as usual.
void reserveLineSpace(std::string& line) {
    static constexpr std::size_t kLineSpace = std::size_t{64} * 1024 * 1024;
    if (line.capacity() >= kLineSpace) {
        return;
    }
    try {
        line.reserve(kLineSpace);
    } catch (const std::bad_alloc&) {
        // Only the growth in place is lost.
    }
}

} // namespace

std::optional<TableError> search(EntrySlots& slots, const std::filesystem::path& table,
                                 std::size_t readSize, ReadPath readPath) {
    return search(
        slots, [&] { return CodeTableReader::open(table, readSize); }, readPath);
}

std::optional<TableError> search(EntrySlots& slots, const TableOpener& openTable,
                                 ReadPath readPath) {
    rpostatus.fill(kNotFound);
    slots.clearDisplay();

    std::array<std::string, kSlotCount> entries;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto& text = entries[static_cast<std::size_t>(slot)];
        text = slots.entry(slot);
        rpostatus[static_cast<std::size_t>(slot)] = checkEntry(text);
        slots.setEntry(slot, text);
    }

    auto reader = openTable();
    if (!reader) {
        return reader.error();
    }
    return matchAndReport(entries, rpostatus, *reader, slots, readPath);
}

void clearEntries(EntrySlots& slots) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        slots.setEntry(slot, {});
    }
}

std::int16_t checkEntry(std::string& text) {
    text = text::toUpper(text);
    if (text.empty()) {
        return kEmpty;
    }
    return text::characterCount(text) < kCodeLength ? kTooShort : kNotFound;
}

std::optional<TableError> matchAndReport(std::span<const std::string> entries,
                                         std::span<std::int16_t> statuses, CodeTableReader& reader,
                                         DisplaySurface& display, ReadPath readPath) {
    const EntryMatcher matcher(entries);
    const EntryFilter filter(entries);
    if (readPath == ReadPath::SkipUnwanted) {
        reader.setEntryFilter(&filter);
    }
    std::string line;
    while (!reader.atEnd()) {
        const std::string_view code = reader.readCode();
        const std::vector<std::size_t>* matching =
            reader.codeTooLong() ? nullptr : matcher.slotsMatching(code);
        if (matching == nullptr) {
            reader.skipDescription();
            continue;
        }
        // The description goes straight into the printed line, so it is held once.
        reserveLineSpace(line);
        line.assign(code);
        line += kMatchSeparator;
        reader.appendDescription(line);
        for (const std::size_t slot : *matching) {
            display.printLine(line);
            statuses[slot] = kFound;
        }
    }
    reader.setEntryFilter(nullptr);
    if (reader.error()) {
        // Messages now would call codes missing that the unread rest of the table may hold.
        return reader.error();
    }

    for (std::size_t slot = 0; slot < entries.size(); ++slot) {
        if (statuses[slot] == kTooShort) {
            display.printLine(entries[slot] + std::string(kTooShortMessage));
        }
        if (statuses[slot] == kNotFound) {
            display.printLine(entries[slot] + std::string(kNoMatchMessage));
        }
    }
    return std::nullopt;
}

std::optional<TableError> searchLabel(std::vector<std::string> codes, CodeTableReader& reader,
                                      DisplaySurface& display) {
    display.clearDisplay();
    std::vector<std::int16_t> statuses(codes.size());
    for (std::size_t slot = 0; slot < codes.size(); ++slot) {
        statuses[slot] = checkEntry(codes[slot]);
    }
    return matchAndReport(codes, statuses, reader, display);
}

std::optional<TableError> searchLabel(std::vector<std::string> codes,
                                      const std::filesystem::path& table, DisplaySurface& display,
                                      std::size_t readSize) {
    auto reader = CodeTableReader::open(table, readSize);
    if (!reader) {
        display.clearDisplay();
        return reader.error();
    }
    return searchLabel(std::move(codes), *reader, display);
}

} // namespace velmora::rpomodule
