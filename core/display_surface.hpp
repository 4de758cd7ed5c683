#pragma once

#include <string_view>

namespace velmora {

// The display box as the core prints into it: the lookup window's gray box, standard output, or
// a recording in the tests.
class DisplaySurface {
public:
    DisplaySurface() = default;
    DisplaySurface(const DisplaySurface&) = delete;
    DisplaySurface& operator=(const DisplaySurface&) = delete;
    DisplaySurface(DisplaySurface&&) = delete;
    DisplaySurface& operator=(DisplaySurface&&) = delete;
    virtual ~DisplaySurface() = default;
    // Erases the display box and moves its print position to the top left.
    virtual void clearDisplay() = 0;
    // Prints one line at the print position and moves to the next line.
    virtual void printLine(std::string_view line) = 0;
};

} // namespace velmora
