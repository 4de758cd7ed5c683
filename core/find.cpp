#include "core/find.hpp"

#include "core/fold.hpp"
#include "core/search.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <iterator>

namespace velmora {
namespace {

// Follows a code of which the reader kept only the start (a horizontal ellipsis).
constexpr std::string_view kCutCodeMark = "\xE2\x80\xA6";

std::optional<TableError> printMatches(DescriptionQuery& query, CodeTableReader& reader,
                                       DisplaySurface& display) {
    std::size_t count = 0;
    std::string line;
    while (!reader.atEnd()) {
        // The code is only valid until the next call on the reader, so the line is begun with it
        // before the description is read; the description goes straight into the line and so is
        // held only once.
        line.assign(reader.readCode());
        if (reader.codeTooLong()) {
            // Only the code's start was kept: say so rather than show it as the whole code.
            line += kCutCodeMark;
        }
        line += kMatchSeparator;
        const std::size_t descriptionStart = line.size();
        reader.appendDescription(line);
        if (!query.matches(std::string_view(line).substr(descriptionStart))) {
            continue;
        }
        display.printLine(line);
        ++count;
    }
    if (reader.error()) {
        return reader.error();
    }
    display.printLine(matchCountLine(count));
    return std::nullopt;
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

void DescriptionQuery::addWords(std::string_view text) {
    std::vector<std::string> words = text::splitWords(text::foldForFind(text));
    words_.insert(words_.end(), std::make_move_iterator(words.begin()),
                  std::make_move_iterator(words.end()));
}

bool DescriptionQuery::matches(std::string_view description) {
    if (words_.empty()) {
        return true;
    }
    text::foldForFind(description, folded_);
    return std::ranges::all_of(words_, [this](const std::string& word) {
        return folded_.find(word) != std::string::npos;
    });
}

std::string matchCountLine(std::size_t count) {
    if (count == 0) {
        return "No record matched.";
    }
    if (count == 1) {
        return "1 record matched.";
    }
    return std::to_string(count) + " records matched.";
}

std::optional<TableError> findByDescription(DescriptionQuery& query, CodeTableReader& reader,
                                            DisplaySurface& display) {
    display.clearDisplay();
    return printMatches(query, reader, display);
}

std::optional<TableError> findByDescription(DescriptionQuery& query,
                                            const std::filesystem::path& table,
                                            DisplaySurface& display, std::size_t readSize) {
    // Cleared before the table is opened, as the search does, so that a table that cannot be
    // read leaves no earlier result standing as if it were this one's.
    display.clearDisplay();
    auto reader = CodeTableReader::open(table, readSize);
    if (!reader) {
        return reader.error();
    }
    return printMatches(query, *reader, display);
}

} // namespace velmora
