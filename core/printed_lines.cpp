#include "core/printed_lines.hpp"

#include "core/text.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmora {
namespace {

// Pixels painted beyond each side of the view, so that a character the edge cuts is drawn whole.
constexpr double kPaintMargin = 64;
// PrintedLines::kCutMark as one character.
constexpr char32_t kCutMarkCharacter = U'\u2026';

} // namespace

PrintedLines::PrintedLines() {
    setFont([](char32_t) { return 1.0; }, 1);
}

void PrintedLines::setFont(Advance advance, int lineHeight) {
    advance_ = std::move(advance);
    lineHeight_ = std::max(1, lineHeight);
    asciiAdvances_.fill(-1);
    otherAdvances_.clear();
    widest_ = 0;
    for (const Run& run : runs_) {
        widest_ = std::max(widest_, measure(textOf(run)));
    }
    scrollTo(top_, left_);
}

void PrintedLines::setView(int width, int height) {
    viewWidth_ = std::max(0, width);
    viewHeight_ = std::max(0, height);
    scrollTo(top_, left_);
}

void PrintedLines::clear() {
    std::string().swap(text_);
    std::deque<Run>().swap(runs_);
    count_ = 0;
    widest_ = 0;
    top_ = 0;
    left_ = 0;
}

void PrintedLines::append(std::string_view utf8) {
    if (runs_.empty() || textOf(runs_.back()) != utf8) {
        runs_.push_back(Run{text_.size(), utf8.size(), count_});
        text_.append(utf8);
        widest_ = std::max(widest_, measure(utf8));
    }
    ++count_;
}

std::size_t PrintedLines::runOf(std::int64_t line) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), line,
                         [](std::int64_t index, const Run& run) { return index < run.firstLine; });
    return static_cast<std::size_t>(after - runs_.begin()) - 1;
}

std::string_view PrintedLines::line(std::int64_t index) const {
    return textOf(runs_[runOf(index)]);
}

std::string PrintedLines::copyText(std::string_view lineBreak) const {
    const auto repeats = [this](std::size_t run) {
        const std::int64_t next = run + 1 < runs_.size() ? runs_[run + 1].firstLine : count_;
        return static_cast<std::size_t>(next - runs_[run].firstLine);
    };
    std::size_t size = 0;
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        size += (runs_[run].size + lineBreak.size()) * repeats(run);
    }
    std::string joined;
    joined.reserve(size);
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        for (std::size_t i = repeats(run); i > 0; --i) {
            joined.append(textOf(runs_[run])).append(lineBreak);
        }
    }
    return joined;
}

int PrintedLines::wholeLinesShown() const {
    return std::max(1, viewHeight_ / lineHeight_);
}

std::int64_t PrintedLines::lastTopLine() const {
    return std::max<std::int64_t>(0, count_ - wholeLinesShown());
}

std::int64_t PrintedLines::widest() const {
    return static_cast<std::int64_t>(std::ceil(widest_));
}

std::int64_t PrintedLines::lastLeft() const {
    return std::max<std::int64_t>(0, widest() - viewWidth_);
}

int PrintedLines::columnStep() const {
    return std::max(1, static_cast<int>(std::lround(4 * advance_(U'n'))));
}

bool PrintedLines::scrollTo(std::int64_t topLine, std::int64_t left) {
    topLine = std::clamp<std::int64_t>(topLine, 0, lastTopLine());
    left = std::clamp<std::int64_t>(left, 0, lastLeft());
    const bool moved = topLine != top_ || left != left_;
    top_ = topLine;
    left_ = left;
    return moved;
}

bool PrintedLines::step(Step step) {
    const std::int64_t page = wholeLinesShown();
    switch (step) {
    case Step::LineUp:
        return scrollTo(top_ - 1, left_);
    case Step::LineDown:
        return scrollTo(top_ + 1, left_);
    case Step::PageUp:
        return scrollTo(top_ - page, left_);
    case Step::PageDown:
        return scrollTo(top_ + page, left_);
    case Step::ColumnLeft:
        return scrollTo(top_, left_ - columnStep());
    case Step::ColumnRight:
        return scrollTo(top_, left_ + columnStep());
    case Step::Start:
        return scrollTo(0, 0);
    case Step::End:
        return scrollTo(lastTopLine(), 0);
    }
    return false;
}

std::vector<PrintedLines::Piece> PrintedLines::visible() {
    std::vector<Piece> pieces;
    const int rows = (viewHeight_ + lineHeight_ - 1) / lineHeight_;
    if (count_ == 0) {
        return pieces;
    }
    std::size_t run = runOf(top_);
    for (int row = 0; row < rows && top_ + row < count_; ++row) {
        while (run + 1 < runs_.size() && runs_[run + 1].firstLine <= top_ + row) {
            ++run;
        }
        pieces.push_back(pieceOf(textOf(runs_[run]), row));
    }
    return pieces;
}

// The width of the character at `index`, and `index` moved past it. ASCII, nearly every character
// a table holds, is read from a table of its own; a byte that starts no character counts as one.
inline double PrintedLines::advanceAt(std::string_view line, std::size_t& index) {
    const auto lead = static_cast<unsigned char>(line[index]);
    if (lead < asciiAdvances_.size() && asciiAdvances_[lead] >= 0) {
        ++index;
        return asciiAdvances_[lead];
    }
    const text::Character next = text::firstCharacter(line.substr(index));
    index += next.length;
    return advanceOf(next.codePoint == text::kNotUtf8 ? U'\uFFFD' : next.codePoint);
}

double PrintedLines::advanceOf(char32_t character) {
    if (character < asciiAdvances_.size()) {
        double& known = asciiAdvances_[character];
        if (known < 0) {
            known = advance_(character);
        }
        return known;
    }
    const auto found = otherAdvances_.find(character);
    if (found != otherAdvances_.end()) {
        return found->second;
    }
    return otherAdvances_.emplace(character, advance_(character)).first->second;
}

// The width of the line as it shows: at most kShownCharacters, then the mark.
double PrintedLines::measure(std::string_view line) {
    double width = 0;
    std::size_t i = 0;
    std::size_t characters = 0;
    for (; i < line.size() && characters < kShownCharacters; ++characters) {
        width += advanceAt(line, i);
    }
    return i < line.size() ? width + advanceOf(kCutMarkCharacter) : width;
}

// Walks the line from its start to the right edge of the view; the characters before the left
// edge are only counted across, never copied.
PrintedLines::Piece PrintedLines::pieceOf(std::string_view line, int row) {
    const double from = static_cast<double>(left_) - kPaintMargin;
    const double to = static_cast<double>(left_ + viewWidth_) + kPaintMargin;
    double x = 0;
    double startX = -1;
    std::size_t start = 0;
    std::size_t i = 0;
    std::size_t characters = 0;
    for (; i < line.size() && characters < kShownCharacters && x < to; ++characters) {
        const std::size_t at = i;
        const double width = advanceAt(line, i);
        if (startX < 0 && x + width > from) {
            startX = x;
            start = at;
        }
        x += width;
    }
    if (startX < 0) {
        startX = x;
        start = i;
    }
    Piece piece{row, startX - static_cast<double>(left_),
                std::string(line.substr(start, i - start))};
    if (i < line.size() && characters == kShownCharacters && x < to) {
        piece.text += kCutMark;
    }
    return piece;
}

} // namespace velmora
