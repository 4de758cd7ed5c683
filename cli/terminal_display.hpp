#pragma once

#include "display_surface.hpp"
#include "output.hpp"

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

} // namespace lookup
