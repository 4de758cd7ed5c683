#pragma once

#include "core/code_table.hpp"
#include "core/display_surface.hpp"
#include "core/table_error.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The words a user looks for. A description matches when it holds every word, in any order and
// anywhere (inside a longer word too, so "posi" finds "Positraction"), ignoring case and accents.
// A word given twice is looked for once.
class DescriptionQuery {
public:
    // The most words, and the longest word in characters, that a front end should take.
    static constexpr std::size_t kMostWords = 64;
    static constexpr std::size_t kLongestWord = 256;

    // The words of `texts`, each text split at blanks (text::isBlank).
    explicit DescriptionQuery(const std::vector<std::string>& texts);
    explicit DescriptionQuery(std::string_view text);

    // No word to look for: such a query matches every description.
    bool empty() const { return words_.empty(); }
    std::size_t wordCount() const { return words_.size(); }
    // The length of the longest word, in characters.
    std::size_t longestWord() const;

    // Whether `description` (UTF-8) holds every word; or, for a description handed over in
    // pieces, none cut inside a character: start, feed every piece, then allFound.
    bool matches(std::string_view description);
    void start();
    void feed(std::string_view piece);
    bool allFound() const { return missing_ == 0; }

private:
    // A word looked for in one pass over the description, across pieces: for each length of a
    // partial match, the longest start of the word that also ends it, where the match goes on
    // when the next byte breaks it.
    struct Word {
        explicit Word(std::string folded);
        // Reads on through `description`; true once the whole word has been seen.
        bool readOn(std::string_view description);

        std::string text;
        std::vector<std::size_t> fallback;
        std::size_t matched = 0;
    };

    void addWords(std::string_view text);

    std::vector<Word> words_;
    std::size_t missing_ = 0;
    std::string folded_;
};

// Find by description: clears the display, then prints every record whose description holds
// every word of `query` as a search's match line, then the count line. When the table cannot be
// read, or fails part-way, the reason comes back and no count is printed.
std::optional<TableError> findByDescription(DescriptionQuery& query, CodeTableReader& reader,
                                            DisplaySurface& display);
std::optional<TableError>
findByDescription(DescriptionQuery& query, const std::filesystem::path& table,
                  DisplaySurface& display,
                  std::size_t readSize = CodeTableReader::kDefaultReadSize);

} // namespace velmora
