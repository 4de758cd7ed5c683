#pragma once

#include "cli/modes.hpp"
#include "cli/output.hpp"
#include "core/code_table.hpp"
#include "core/display_surface.hpp"
#include "core/table_error.hpp"

#include <functional>
#include <optional>

namespace lookup {

// The display box is standard output: a terminal has nothing to clear.
class TerminalDisplay final : public velmora::DisplaySurface {
public:
    explicit TerminalDisplay(Output& out) : out_(out) {}
    void clearDisplay() override {}
    void printLine(std::string_view line) override { out_.writeLine(line); }

private:
    Output& out_;
};

// What a mode does with the opened table: prints into the display, and gives back the reason
// when the table fails part-way.
using TableReading =
    std::function<std::optional<velmora::TableError>(velmora::CodeTableReader&, TerminalDisplay&)>;

// Opens the table the command line names, which may not be standard output's file: results
// appended to the table would be read back as table.
velmora::Expected<velmora::CodeTableReader> openTableFor(const Arguments& arguments);

// Opens the table the command line names and runs `read` over it into standard output. A table
// that cannot be read, or fails part-way, is named on standard error: kExitFailure; otherwise
// kExitSuccess.
int readTableToOutput(const Arguments& arguments, Streams streams, const TableReading& read);

} // namespace lookup
