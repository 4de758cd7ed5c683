#pragma once

#include <string>
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

    // A line handed over in pieces, as a long description is read: begun, appended to, then
    // printed, or dropped when its record turns out cut short. Here the pieces are gathered and
    // printed as one line; a surface that can write as it goes overrides all four.
    virtual void beginLine() { pendingLine_.clear(); }
    virtual void appendToLine(std::string_view piece) { pendingLine_ += piece; }
    virtual void endLine() {
        printLine(pendingLine_);
        pendingLine_.clear();
    }
    virtual void dropLine() { pendingLine_.clear(); }

private:
    std::string pendingLine_;
};

} // namespace velmora
