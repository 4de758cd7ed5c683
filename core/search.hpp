#pragma once

#include "core/code_table.hpp"
#include "core/display_surface.hpp"
#include "core/entry_limits.hpp"
#include "core/table_error.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::string_view kTooShortMessage = "   : RPO code must be 3 characters.";
inline constexpr std::string_view kNoMatchMessage = "   : No match found.";
inline constexpr std::string_view kMatchSeparator = "  ";

// What the search needs from the window it serves: the fifteen entry boxes and the display box.
// The lookup window, the command-line program and the tests each supply their own.
class EntrySlots : public DisplaySurface {
public:
    // The text of entry box `slot` (0 to 14), UTF-8.
    virtual std::string entry(int slot) const = 0;
    virtual void setEntry(int slot, const std::string& text) = 0;
};

// A slot's state during and after a search.
enum SlotStatus : std::int16_t { kEmpty, kFound, kTooShort, kNotFound };

namespace rpomodule {

// What a search leaves: the fifteen slots' statuses, and why the table could not be read when it
// could not.
struct SearchResult {
    std::array<std::int16_t, kSlotCount> statuses{};
    std::optional<TableError> error;
};

// Search: upper-cases and checks the entries, reads the table at `table` from start to end,
// prints a line for every record whose code equals an entry, then a message for every entry that
// is too short or not found. When the table cannot be read the entries are already upper-cased
// and the display box cleared; the reason comes back and nothing more is printed.
SearchResult search(EntrySlots& slots, const std::filesystem::path& table);

// Opens the code table when the search comes to reading it.
using TableOpener = std::function<Expected<CodeTableReader>()>;
// The same search, reading the table that `openTable` gives: one opened with further checks, or
// one that fails on purpose.
SearchResult search(EntrySlots& slots, const TableOpener& openTable);

// Clear entries: empties the fifteen entry boxes; the display box stays.
void clearEntries(EntrySlots& slots);

// The search over any number of slots, of which the fifteen entry boxes are one case and the
// codes of a whole label another.

// Upper-cases one entry in place and gives the status the check leaves it with: kEmpty,
// kTooShort or kNotFound.
std::int16_t checkEntry(std::string& text);

// One pass over the table from `reader`: a match line for every slot whose (checked) entry equals
// a record's code, in table order and, within a record, in slot order, each such slot's status
// set to kFound; then a message for every slot still too short or not found, in slot order. When
// the table fails part-way its reason comes back and no message is printed.
std::optional<TableError> matchAndReport(std::span<const std::string> entries,
                                         std::span<std::int16_t> statuses, CodeTableReader& reader,
                                         DisplaySurface& display);

// A whole label: the search with one slot for each of `codes`, however many, in the order given.
// Fifteen codes or fewer print exactly what the search prints with them in the entry boxes (save
// for the boxes left empty, which a label does not have). Clears the display first.
std::optional<TableError> searchLabel(std::vector<std::string> codes, CodeTableReader& reader,
                                      DisplaySurface& display);

// No label comes near this many codes: more is some other input, refused before it fills memory.
inline constexpr std::size_t kMostLabelCodes = 10000;

// The codes of a label in the order given, separated as paste separates them, and apart from them
// the codes too long for an entry box, each named by at most its first 32 bytes and "...".
struct Label {
    std::vector<std::string> codes;
    std::vector<std::string> tooLong;
    // Adds the codes of `text` (UTF-8, or read as Windows-1252 when it is not); false once the
    // label would hold more than kMostLabelCodes.
    bool add(std::string_view text);
};

// The line that names a code too long for an entry box, which a label leaves out.
std::string describeTooLong(std::string_view code);
// Why a label of more than kMostLabelCodes codes was not decoded.
std::string describeTooManyCodes();

} // namespace rpomodule
} // namespace velmora
