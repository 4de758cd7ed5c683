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

// The lines printed into the display box, and which part of them shows, in pixels: both window
// front ends paint what it says and scroll by its steps. A line printed again right after itself
// only counts up; all text is held in one buffer. A line of more than kShownCharacters characters
// shows cut after them, with kCutMark at its end, so that painting never looks at more; its whole
// text stays held, for line() and for Copy.
class PrintedLines {
public:
    static constexpr std::size_t kShownCharacters = 20'000;
    static constexpr std::string_view kCutMark = "\xE2\x80\xA6";
    // How wide a character is in pixels, in the font the lines are painted in.
    using Advance = std::function<double(char32_t)>;

    // End: the last line at the bottom of the view. Start and End go to the left edge.
    enum class Step { LineUp, LineDown, PageUp, PageDown, ColumnLeft, ColumnRight, Start, End };

    // What shows of one line, in and near the view: `text` starts `x` pixels right of the view's
    // left edge, in row `row` of the view.
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
