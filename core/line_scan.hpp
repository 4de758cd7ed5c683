#pragma once

#include "core/entry_filter.hpp"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// The ways a read buffer can be scanned. All give the same bitmaps; the vector ones look at
// sixteen or thirty-two bytes at a time.
enum class ScanKernel {
    Portable, // plain C++, for any processor and compiler
    Sse2,     // x86-64 with GCC or Clang: every such processor has it
    Avx2,     // chosen at run time where the processor and the system have it
};

// Whether this build on this processor can run `kernel`.
bool kernelSupported(ScanKernel kernel);
// The fastest kernel that kernelSupported allows.
ScanKernel fastestKernel();

// Marks, one bit a byte, where data[0, size) holds a line end (LF or CR) and where a double
// quote: bit i of word i / 64 stands for data[i]. Each array takes (size + 63) / 64 words; the
// bits past `size` in the last word are zero.
void markLineEndsAndQuotes(ScanKernel kernel, const char* data, std::size_t size,
                           std::uint64_t* lineEnds, std::uint64_t* quotes);

// The line ends and quotes of one read buffer, found in one pass, so that the reader can step
// from line to line without looking at the bytes in between.
class LineIndex {
public:
    explicit LineIndex(ScanKernel kernel = fastestKernel()) : kernel_(kernel) {}

    // Indexes data[0, size); the places below refer to it until the next call. Only the first
    // 4 GiB of a larger buffer are indexed.
    void index(const char* data, std::size_t size);

    // The place of the first line end at or after `from`, or the indexed size when none is.
    std::size_t nextLineEnd(std::size_t from) const { return nextMarked(lineEnds_, from); }
    // The place of the first double quote at or after `from`, or the indexed size.
    std::size_t nextQuote(std::size_t from) const { return nextMarked(quotes_, from); }
    std::size_t size() const { return size_; }

    // The line ends in order, for a walk from line to line that no line's length slows down.
    // Listed on first use after each index, since a table whose lines all need the reader's
    // own rules never uses them.
    const std::uint32_t* lineEndPlaces() {
        listLineEnds();
        return places_.data();
    }
    std::size_t lineEndCount() {
        listLineEnds();
        return placeCount_;
    }

private:
    std::size_t nextMarked(const std::vector<std::uint64_t>& marks, std::size_t from) const {
        if (from >= size_) {
            return size_;
        }
        std::size_t word = from / 64;
        std::uint64_t bits = marks[word] & (~std::uint64_t{0} << (from % 64));
        while (bits == 0) {
            if (++word == words_) {
                return size_;
            }
            bits = marks[word];
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }
    void listLineEnds();

    ScanKernel kernel_;
    std::size_t size_ = 0;
    std::size_t words_ = 0;
    std::vector<std::uint64_t> lineEnds_;
    std::vector<std::uint64_t> quotes_;
    std::vector<std::uint32_t> places_;
    std::size_t placeCount_ = 0;
    bool listed_ = false;
};

// Where skipLinesThatCannotMatch stopped, and how many line ends it passed (CRLF counts once).
struct SkippedLines {
    std::size_t stop = 0;
    std::uint64_t lineEnds = 0;
};

// Moves from `from`, where a record's code starts in data[0, index.size()), over every line that
// `filter` says cannot match, each with its line end. `cursor` is a place in the index's list of
// line ends at or before the first one after `from`; it is moved on for the next call (0 after
// each new index). Stops at the first line that may match or
// that the filter cannot judge, at a line that runs past the indexed bytes, at a blank or a line
// end that starts a line (the reader's own rules take those), at a CR that ends the indexed bytes
// (an LF may follow it), or at the end.
SkippedLines skipLinesThatCannotMatch(const char* data, std::size_t from, LineIndex& index,
                                      const EntryFilter& filter, std::size_t& cursor);

} // namespace velmora
