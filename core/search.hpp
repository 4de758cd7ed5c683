#pragma once

#include "code_table.hpp"
#include "table_error.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr int kSlotCount = 15;
// Entries of fewer characters are reported as too short unless a code equals them.
inline constexpr std::size_t kCodeLength = 3;

inline constexpr std::string_view kTooShortMessage = "   : RPO code must be 3 characters.";
inline constexpr std::string_view kNoMatchMessage = "   : No match found.";
inline constexpr std::string_view kMatchSeparator = "  ";

// What the search needs from the window it serves: the fifteen entry boxes and the display box.
// The lookup window, the command-line program and the tests each supply their own.
class EntrySlots {
public:
    EntrySlots() = default;
    EntrySlots(const EntrySlots&) = delete;
    EntrySlots& operator=(const EntrySlots&) = delete;
    EntrySlots(EntrySlots&&) = delete;
    EntrySlots& operator=(EntrySlots&&) = delete;
    virtual ~EntrySlots() = default;
    // The text of entry box `slot` (0 to 14), UTF-8.
    virtual std::string entry(int slot) const = 0;
    virtual void setEntry(int slot, const std::string& text) = 0;
    // Erases the display box and moves its print position to the top left.
    virtual void clearDisplay() = 0;
    // Prints one line at the print position and moves to the next line.
    virtual void printLine(std::string_view line) = 0;
};

// A slot's state during and after a search.
enum SlotStatus : std::int16_t {
    kEmpty = 0,
    kFound = 1,
    kTooShort = 2,
    kNotFound = 3,
};

namespace rpomodule {

// The fifteen slot statuses, kept for the whole run; only the search reads or writes them.
inline std::array<std::int16_t, kSlotCount> rpostatus{};

// How the search reads the table: passing over the lines whose code can equal no entry, or
// reading every record through the exact reader, which the first must always agree with.
enum class ReadPath { SkipUnwanted, EveryRecord };

// The way a search reads when not told: SkipUnwanted. A program built to compare the two ways
// links its own definition in place of the core's.
extern const ReadPath kDefaultReadPath;

// Search: upper-cases and checks the entries, reads the table at `table` from start to end,
// prints a line for every record whose code equals an entry, then a message for every entry that
// is too short or not found. When the table cannot be read the entries are already upper-cased
// and the display box cleared; the reason comes back and nothing more is printed.
std::optional<TableError> search(EntrySlots& slots, const std::filesystem::path& table,
                                 std::size_t readSize = CodeTableReader::kDefaultReadSize,
                                 ReadPath readPath = kDefaultReadPath);

// Opens the code table when the search comes to reading it.
using TableOpener = std::function<Expected<CodeTableReader>()>;
// The same search, reading the table that `openTable` gives: one opened with further checks, or
// one that fails on purpose.
std::optional<TableError> search(EntrySlots& slots, const TableOpener& openTable,
                                 ReadPath readPath = kDefaultReadPath);

// Clear entries: empties the fifteen entry boxes; the display box and statuses stay.
void clearEntries(EntrySlots& slots);

} // namespace rpomodule
} // namespace velmora
