#pragma once

#include "core/code_table.hpp"
#include "core/display_surface.hpp"
#include "core/table_error.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// One thing in a code table that would surprise the person who edits it, with the line it
// stands on (counted from 1).
struct TableFinding {
    std::uint64_t line = 0;
    std::string message;
    friend bool operator==(const TableFinding&, const TableFinding&) = default;
};

struct TableCheckSummary {
    std::uint64_t records = 0;
    std::uint64_t findings = 0;
    // What is worth knowing about the table, or the check, as a whole.
    std::vector<std::string> notes;
};

// The number of different records the check remembers for finding repeats, far more than any
// real table holds, so that its memory stays a few tens of MiB.
inline constexpr std::size_t kMostRemembered = 500000;

using FindingSink = std::function<void(const TableFinding&)>;

// Reads the whole table and hands each finding to `report` as it is found, in line order: a code
// with lower-case letters, longer than three characters (a letter with its combining marks
// counting as one), empty, or with a blank in it; a missing closing quote; text dropped after a
// closing quote; an empty description; a line read as Windows-1252; a code and description that
// stand in the table twice. Returns the counts and notes (a UTF-16 table; repeats not looked for
// past kMostRemembered records), or why the table could not be read to its end (the findings
// before that were reported; a record the failure cut short has none).
Expected<TableCheckSummary> checkTable(CodeTableReader& reader, const FindingSink& report);

// The check as the person who edits the table reads it, printed into `display`: each finding as
// "line N: ...", each note as "note: ...", then the count, e.g. "2 findings in 75 records of
// /home/ann/RPO.txt" for the table at `path`. When the table fails part-way the findings before
// stay printed and the reason comes back.
Expected<TableCheckSummary> printTableCheck(CodeTableReader& reader,
                                            const std::filesystem::path& path,
                                            DisplaySurface& display);

} // namespace velmora
