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
    // The most words, and the longest word in characters, that a front end should take: each
    // word costs a look through every description, and the longest word is the part of a
    // description kept from one piece to the next.
    static constexpr std::size_t kMostWords = 64;
    static constexpr std::size_t kLongestWord = 256;

    // The words of `texts`, each text split at blanks (text::isBlank).
    explicit DescriptionQuery(const std::vector<std::string>& texts);
    explicit DescriptionQuery(std::string_view text);

    // True when there is no word to look for; such a query matches every description, so every
    // front end lets find run only when this is false.
    bool empty() const { return words_.empty(); }
    std::size_t wordCount() const { return words_.size(); }
    // The length of the longest word, in characters.
    std::size_t longestWord() const;

    // Whether `description` (UTF-8) holds every word. Not const: the folded description is kept
    // in a buffer that is reused from one record to the next.
    bool matches(std::string_view description);

    // The same for a description handed over in pieces, none cut inside a character: start,
    // then feed every piece; allFound tells whether every word has been seen so far. Only the
    // last bytes of a piece, as many as the longest word has, are kept for the next.
    void start();
    void feed(std::string_view piece);
    bool allFound() const { return missing_ == 0; }

private:
    void addWords(std::string_view text);

    std::vector<std::string> words_;
    std::size_t longestBytes_ = 0;
    std::vector<bool> found_;
    std::size_t missing_ = 0;
    std::string folded_;
    std::string seen_;
};

// Find by description: clears the display, then prints every record of the table whose
// description holds every word of `query`, in table order, in the form of a search's match line,
// then the count line. When the table cannot be read, or fails part-way, the reason comes back
// and no count is printed (the unread rest of the table could change it).
std::optional<TableError> findByDescription(DescriptionQuery& query, CodeTableReader& reader,
                                            DisplaySurface& display);
std::optional<TableError>
findByDescription(DescriptionQuery& query, const std::filesystem::path& table,
                  DisplaySurface& display,
                  std::size_t readSize = CodeTableReader::kDefaultReadSize);

} // namespace velmora
