#include "search.hpp"

#include "text.hpp"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <new>
#include <vector>

namespace velmora::rpomodule {
namespace {

// The distinct entry texts with the slots that hold each, so that a record's code is compared
// with each distinct text once, after a look-up of its first two bytes. Texts of up to seven bytes
// are packed with their length into one integer: the table is read record by record and this
// comparison is the search's inner loop.
class EntryMatcher {
public:
    explicit EntryMatcher(const std::array<std::string, kSlotCount>& entries) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const std::string& text = entries[static_cast<std::size_t>(slot)];
            auto found = std::find_if(groups_.begin(), groups_.end(),
                                      [&text](const Group& group) { return group.text == text; });
            Group* group = found == groups_.end() ? nullptr : &*found;
            if (group == nullptr) {
                group = &groups_.emplace_back(Group{text, {}});
                if (const auto key = pack(text)) {
                    packedKeys_.push_back(*key);
                    packedGroups_.push_back(groups_.size() - 1);
                } else {
                    longGroups_.push_back(groups_.size() - 1);
                }
            }
            group->slots.push_back(slot);
            if (text.size() >= 2) {
                leadingPairs_.set(leadingPair(text));
            }
        }
    }

    // The slots, in slot order, whose entry equals `code`; empty when none does.
    const std::vector<int>* slotsMatching(std::string_view code) const {
        if (code.size() >= 2 && !leadingPairs_.test(leadingPair(code))) {
            return nullptr;
        }
        if (const auto key = pack(code)) {
            for (std::size_t i = 0; i < packedKeys_.size(); ++i) {
                if (packedKeys_[i] == *key) {
                    return &groups_[packedGroups_[i]].slots;
                }
            }
            return nullptr;
        }
        const auto found =
            std::find_if(longGroups_.begin(), longGroups_.end(),
                         [&](std::size_t index) { return groups_[index].text == code; });
        return found == longGroups_.end() ? nullptr : &groups_[*found].slots;
    }

private:
    struct Group {
        std::string text;
        std::vector<int> slots;
    };

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
    std::vector<std::uint64_t> packedKeys_;
    std::vector<std::size_t> packedGroups_;
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
        text = text::toUpper(slots.entry(slot));
        slots.setEntry(slot, text);
        auto& status = rpostatus[static_cast<std::size_t>(slot)];
        if (text.empty()) {
            status = kEmpty;
        }
        if (text::characterCount(text) < kCodeLength && status != kEmpty) {
            status = kTooShort;
        }
    }

    auto reader = openTable();
    if (!reader) {
        return reader.error();
    }
    const EntryMatcher matcher(entries);
    const EntryFilter filter(entries);
    if (readPath == ReadPath::SkipUnwanted) {
        reader->setEntryFilter(&filter);
    }
    std::string line;
    while (!reader->atEnd()) {
        const std::string_view code = reader->readCode();
        const std::vector<int>* matching =
            reader->codeTooLong() ? nullptr : matcher.slotsMatching(code);
        if (matching == nullptr) {
            reader->skipDescription();
            continue;
        }
        // The description goes straight into the printed line, so it is held once.
        reserveLineSpace(line);
        line.assign(code);
        line += kMatchSeparator;
        reader->appendDescription(line);
        for (const int slot : *matching) {
            slots.printLine(line);
            rpostatus[static_cast<std::size_t>(slot)] = kFound;
        }
    }
    if (reader->error()) {
        // Messages now would call codes missing that the unread rest of the table may hold.
        return reader->error();
    }

    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto& text = entries[static_cast<std::size_t>(slot)];
        const auto status = rpostatus[static_cast<std::size_t>(slot)];
        if (status == kTooShort) {
            slots.printLine(text + std::string(kTooShortMessage));
        }
        if (status == kNotFound) {
            slots.printLine(text + std::string(kNoMatchMessage));
        }
    }
    return std::nullopt;
}

void clearEntries(EntrySlots& slots) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        slots.setEntry(slot, {});
    }
}

} // namespace velmora::rpomodule
