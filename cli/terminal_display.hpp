#pragma once

#include "cli/modes.hpp"
#include "cli/output.hpp"
#include "core/code_table.hpp"
#include "core/display_surface.hpp"
#include "core/table_error.hpp"

#include <functional>
#include <optional>

namespace lookup {

// Prints a display box's lines to standard output as they come, a long line piece by piece: a
// terminal has nothing to clear. `Base` is the surface it serves as.
template <typename Base> class WritingToOutput : public Base {
public:
    explicit WritingToOutput(Output& out) : out_(out) {}
    void clearDisplay() override {}
    void printLine(std::string_view line) override { out_.writeLine(line); }
    void beginLine() override { out_.beginLine(); }
    void appendToLine(std::string_view piece) override { out_.appendToLine(piece); }
    void endLine() override { out_.endLine(); }
    void dropLine() override { out_.dropLine(); }

private:
    Output& out_;
};

// The display box is standard output.
using TerminalDisplay = WritingToOutput<velmora::DisplaySurface>;

// What a mode does with the opened table: prints into the display, and gives back the reason
// when the table fails part-way.
using TableReading =
    std::function<std::optional<velmora::TableError>(velmora::CodeTableReader&, TerminalDisplay&)>;

// Opens the table the command line names, which may not be standard output's file: results
// appended to the table would be read back as table.
velmora::Expected<velmora::CodeTableReader> openTableFor(const Arguments& arguments);

// Runs `read` over the table the command line names into standard output: kExitSuccess, or
// kExitFailure with the reason on standard error when the table cannot be read or fails part-way.
int readTableToOutput(const Arguments& arguments, Streams streams, const TableReading& read);

} // namespace lookup
