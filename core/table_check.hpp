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
// lower-case, longer than three characters (with combining marks), empty or with a blank; a quote
// left open or text after one; an empty description; a Windows-1252 line; a repeated record.
// Returns the counts and notes (a UTF-16 table; repeats not looked for past kMostRemembered
// records), or why the table could not be read to its end (a record it cut short has no findings).
Expected<TableCheckSummary> checkTable(CodeTableReader& reader, const FindingSink& report);

// The check as the person who edits the table reads it, printed into `display`: each finding as
// "line N: ...", each note as "note: ...", then the count, e.g. "2 findings in 75 records of
// /home/ann/RPO.txt" for the table at `path`. When the table fails part-way the findings before
// stay printed and the reason comes back.
Expected<TableCheckSummary> printTableCheck(CodeTableReader& reader,
                                            const std::filesystem::path& path,
                                            DisplaySurface& display);

} // namespace velmora
