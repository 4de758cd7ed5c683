#include "core/find.hpp"

#include "core/fold.hpp"
#include "core/search.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <utility>

namespace velmora {
namespace {

// Follows a code of which the reader kept only the start (a horizontal ellipsis).
constexpr std::string_view kCutCodeMark = "\xE2\x80\xA6";

// How much of a description find holds while it does not yet know whether the record
// matches; past that it reads a matching description a second time to print it.
constexpr std::size_t kMostHeld = CodeTableReader::kPieceSize;

// Reads one record's description into `query` and prints the record's line when it holds every
// word: as soon as the last word is seen, with what was held before it, then the rest as it is
// read. True when it was printed. `held` is the buffer for what is held, kept from one record to
// the next.
bool printIfMatching(DescriptionQuery& query, CodeTableReader& reader, std::string_view start,
                     DisplaySurface& display, std::string& held) {
    const auto descriptionStart = reader.descriptionStart();
    held.clear();
    bool holding = true;
    bool printing = false;
    const auto printFromHere = [&] {
        printing = true;
        display.beginLine();
        display.appendToLine(start);
        display.appendToLine(held);
        held.clear();
    };
    query.start();
    if (query.allFound()) {
        printFromHere();
    }
    reader.readDescription([&](std::string_view piece) {
        if (printing) {
            display.appendToLine(piece);
            return;
        }
        query.feed(piece);
        if (!holding) {
            return;
        }
        held += piece;
        if (query.allFound()) {
            printFromHere();
        } else if (held.size() > kMostHeld && descriptionStart) {
            holding = false;
            std::string().swap(held);
        }
    });
    if (!printing && query.allFound() && !reader.error() &&
        reader.returnToDescription(*descriptionStart)) {
        // Matched only past what was held: the description is read again to be printed.
        display.beginLine();
        display.appendToLine(start);
        reader.readDescription([&display](std::string_view piece) { display.appendToLine(piece); });
        printing = true;
    }
    if (printing && reader.error()) {
        display.dropLine();
        return false;
    }
    if (printing) {
        display.endLine();
    }
    return printing;
}

// The line that ends a find: "3 records matched.", "1 record matched.", "No record matched.".
std::string matchCountLine(std::size_t count) {
    if (count == 0) {
        return "No record matched.";
    }
    return std::to_string(count) + (count == 1 ? " record matched." : " records matched.");
}

} // namespace

DescriptionQuery::DescriptionQuery(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        addWords(text);
    }
}

DescriptionQuery::DescriptionQuery(std::string_view text) {
    addWords(text);
}

DescriptionQuery::Word::Word(std::string folded) : text(std::move(folded)), fallback(text.size()) {
    for (std::size_t i = 1, length = 0; i < text.size(); ++i) {
        while (length > 0 && text[i] != text[length]) {
            length = fallback[length - 1];
        }
        length += text[i] == text[length] ? 1U : 0U;
        fallback[i] = length;
    }
}

bool DescriptionQuery::Word::readOn(std::string_view description) {
    for (std::size_t i = 0; i < description.size(); ++i) {
        if (matched == 0) {
            // Straight on to the next place where the word could start.
            i = description.find(text.front(), i);
            if (i == std::string_view::npos) {
                return false;
            }
        }
        while (matched > 0 && description[i] != text[matched]) {
            matched = fallback[matched - 1];
        }
        if (description[i] == text[matched] && ++matched == text.size()) {
            return true;
        }
    }
    return false;
}

void DescriptionQuery::addWords(std::string_view text) {
    // Folded first, so that a no-break space separates words as a blank does.
    for (std::string& word : text::splitWords(text::foldForFind(text))) {
        if (std::ranges::find(words_, word, &Word::text) == words_.end()) {
            words_.emplace_back(std::move(word));
        }
    }
}

std::size_t DescriptionQuery::longestWord() const {
    std::size_t longest = 0;
    for (const Word& word : words_) {
        longest = std::max(longest, text::characterCount(word.text));
    }
    return longest;
}

bool DescriptionQuery::matches(std::string_view description) {
    start();
    feed(description);
    return allFound();
}

void DescriptionQuery::start() {
    for (Word& word : words_) {
        word.matched = 0;
    }
    missing_ = words_.size();
}

void DescriptionQuery::feed(std::string_view piece) {
    if (missing_ == 0) {
        return;
    }
    text::foldForFind(piece, folded_);
    for (Word& word : words_) {
        // A word seen whole is matched to its end and looked for no more.
        if (word.matched < word.text.size() && word.readOn(folded_)) {
            --missing_;
        }
    }
}

std::optional<TableError> findByDescription(DescriptionQuery& query, CodeTableReader& reader,
                                            DisplaySurface& display) {
    display.clearDisplay();
    std::size_t count = 0;
    std::string start;
    std::string held;
    while (!reader.atEnd()) {
        // The code is only valid until the next call on the reader, so the line's start is
        // copied before the description is read.
        start.assign(reader.readCode());
        if (reader.codeTooLong()) {
            // Only the code's start was kept: say so rather than show it as the whole code.
            start += kCutCodeMark;
        }
        start += kMatchSeparator;
        if (printIfMatching(query, reader, start, display, held)) {
            ++count;
        }
    }
    if (reader.error()) {
        return reader.error();
    }
    display.printLine(matchCountLine(count));
    return std::nullopt;
}

std::optional<TableError> findByDescription(DescriptionQuery& query,
                                            const std::filesystem::path& table,
                                            DisplaySurface& display, std::size_t readSize) {
    auto reader = CodeTableReader::open(table, readSize);
    if (!reader) {
        // A table that cannot be read leaves no earlier result standing as if it were this one's.
        display.clearDisplay();
        return reader.error();
    }
    return findByDescription(query, *reader, display);
}

} // namespace velmora
