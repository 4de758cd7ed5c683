#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// The lines printed into the display box, and which part of them shows: both window front ends
// paint what it says and scroll by its steps, so they scroll alike. The front end tells it how
// wide a character is and how high a line is in its font, and how large its view is, in pixels.
//
// A line printed again right after itself (every box holding the same code prints the record
// again) only counts up: its text is held once. All text is held in one buffer, so a result of
// a great many short lines costs little more than its characters.
//
// A line of more than kShownCharacters characters shows cut after them, with kCutMark at its end;
// its whole text stays held, for line() and for Copy. Painting then never looks at more than
// that many characters of a line, however long the line is.
class PrintedLines {
public:
    static constexpr std::size_t kShownCharacters = 20'000;
    static constexpr std::string_view kCutMark = "\xE2\x80\xA6";
    // How wide a character is in pixels, in the font the lines are painted in.
    using Advance = std::function<double(char32_t)>;

    // Start: the first line, at the left edge. End: the last line at the bottom of the view, at
    // the left edge.
    enum class Step { LineUp, LineDown, PageUp, PageDown, ColumnLeft, ColumnRight, Start, End };

    // What shows of one line: `text` (UTF-8) starts `x` pixels right of the view's left edge,
    // in row `row` of the view. Only the characters in and near the view are given.
    struct Piece {
        int row = 0;
        double x = 0;
        std::string text;
    };

    PrintedLines();

    // Measures every line again in the new font.
    void setFont(Advance advance, int lineHeight);
    void setView(int width, int height);

    void clear();
    void append(std::string_view utf8);

    std::int64_t count() const { return count_; }
    // The whole line, valid until the next append or clear.
    std::string_view line(std::int64_t index) const;
    // What Copy gives: every line whole, each followed by `lineBreak`.
    std::string copyText(std::string_view lineBreak) const;

    int lineHeight() const { return lineHeight_; }
    int wholeLinesShown() const;
    // The scroll position: the line at the top of the view and the pixel column at its left.
    std::int64_t topLine() const { return top_; }
    std::int64_t left() const { return left_; }
    std::int64_t lastTopLine() const;
    std::int64_t lastLeft() const;
    // The width of the widest line as it shows, in pixels.
    std::int64_t widest() const;
    // How far ColumnLeft and ColumnRight move, in pixels.
    int columnStep() const;

    // Both clamp to the lines there are; false when the position stays as it was.
    bool scrollTo(std::int64_t topLine, std::int64_t left);
    bool step(Step step);

    // The lines in view, top to bottom.
    std::vector<Piece> visible();

private:
    struct Run {
        std::size_t offset = 0;
        std::size_t size = 0;
        std::int64_t firstLine = 0;
    };

    std::string_view textOf(const Run& run) const { return {text_.data() + run.offset, run.size}; }
    std::size_t runOf(std::int64_t line) const;
    double advanceAt(std::string_view line, std::size_t& index);
    double advanceOf(char32_t character);
    double measure(std::string_view line);
    Piece pieceOf(std::string_view line, int row);

    std::string text_;
    std::deque<Run> runs_;
    std::int64_t count_ = 0;
    double widest_ = 0;

    Advance advance_;
    std::array<double, 128> asciiAdvances_{};
    std::unordered_map<char32_t, double> otherAdvances_;
    int lineHeight_ = 1;
    int viewWidth_ = 0;
    int viewHeight_ = 0;
    std::int64_t top_ = 0;
    std::int64_t left_ = 0;
};

} // namespace velmora
