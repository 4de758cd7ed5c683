#include "core/search.hpp"

#include "core/text.hpp"

namespace velmora::rpomodule {
namespace {

// Whether an entry equals a code. Most codes differ from an entry in their first byte, so that is
// looked at before the whole texts are compared.
bool equals(std::string_view entry, std::string_view code) {
    return entry.size() == code.size() && (entry.empty() || (entry[0] == code[0] && entry == code));
}

} // namespace

SearchResult search(EntrySlots& slots, const std::filesystem::path& table) {
    return search(slots, [&] { return CodeTableReader::open(table); });
}

SearchResult search(EntrySlots& slots, const TableOpener& openTable) {
    SearchResult result;
    slots.clearDisplay();

    std::array<std::string, kSlotCount> entries;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto& text = entries[static_cast<std::size_t>(slot)];
        text = slots.entry(slot);
        result.statuses[static_cast<std::size_t>(slot)] = checkEntry(text);
        slots.setEntry(slot, text);
    }

    auto reader = openTable();
    if (!reader) {
        result.error = reader.error();
        return result;
    }
    result.error = matchAndReport(entries, result.statuses, *reader, slots);
    return result;
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
                                         DisplaySurface& display) {
    // Most codes start with a byte that starts no entry: one look-up settles them.
    std::array<bool, 256> startsAnEntry{};
    bool emptyEntry = false;
    for (const std::string& entry : entries) {
        if (entry.empty()) {
            emptyEntry = true;
        } else {
            startsAnEntry[static_cast<unsigned char>(entry[0])] = true;
        }
    }
    std::string line;
    while (!reader.atEnd()) {
        const std::string_view code = reader.readCode();
        if (reader.codeTooLong() ||
            (code.empty() ? !emptyEntry : !startsAnEntry[static_cast<unsigned char>(code[0])])) {
            continue;
        }
        std::size_t matches = 0;
        for (std::size_t slot = 0; slot < entries.size(); ++slot) {
            if (equals(entries[slot], code)) {
                statuses[slot] = kFound;
                ++matches;
            }
        }
        if (matches == 1) {
            // Written as it is read, so that no length of description is held.
            display.beginLine();
            display.appendToLine(code);
            display.appendToLine(kMatchSeparator);
            reader.readDescription(
                [&display](std::string_view piece) { display.appendToLine(piece); });
            if (reader.error()) {
                display.dropLine();
            } else {
                display.endLine();
            }
        } else if (matches > 1) {
            // The same code in several slots: the line is printed once for each, so it is held.
            line.assign(code);
            line += kMatchSeparator;
            reader.appendDescription(line);
            for (std::size_t i = 0; i < matches && !reader.error(); ++i) {
                display.printLine(line);
            }
        }
    }
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

bool Label::add(std::string_view text) {
    // A code named as too long is named by at most this many bytes.
    constexpr std::size_t kLongestShown = 32;
    for (std::string& code : text::splitCodes(text::toUtf8(text))) {
        if (codes.size() + tooLong.size() == kMostLabelCodes) {
            return false;
        }
        if (text::characterCount(code) <= kCodeLength) {
            codes.push_back(std::move(code));
            continue;
        }
        if (code.size() > kLongestShown) {
            code.resize(text::lengthWithoutCutSequence(code.substr(0, kLongestShown)));
            code += "...";
        }
        tooLong.push_back(std::move(code));
    }
    return true;
}

std::string describeTooLong(std::string_view code) {
    return "code \"" + std::string(code) + "\" is longer than " + std::to_string(kCodeLength) +
           " characters and was left out";
}

std::string describeTooManyCodes() {
    return "a label may hold at most " + std::to_string(kMostLabelCodes) +
           " codes; nothing was decoded";
}

} // namespace velmora::rpomodule
